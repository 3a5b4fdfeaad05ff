#pragma once
// The steps of a cycle file while it is being edited: step numbers, set temperatures (as
// entered, in the display unit) and hold times, one element per step, and the selected step.
// Widget-free; CyclicFileAdd shows it.

#include <QString>
#include <QStringList>

class CycleSteps
{
public:
    enum Result {
        Done,
        NeedInput,            // a temperature or a hold time is missing
        NeedSelection,        // no step has been selected
        BadTemperature,       // no number with at most one decimal
        TemperatureOutOfRange,// outside what a heating block can hold (MinCelsius..MaxCelsius)
        BadHold,              // no number of minutes with at most two decimals
        HoldOutOfRange,       // zero, or longer than a day
    };

    // What a PCR block can plausibly be set to, in ℃.
    static constexpr double MinCelsius = -10.0;
    static constexpr double MaxCelsius = 120.0;
    static constexpr double MaxHoldMinutes = 1440.0;

    // The checks of one step as typed: temperature in `unit` ("℃" or "℉"), hold in minutes.
    // On Done, *temperature and *hold (if given) hold the normalised texts kept in the editor.
    static Result checkStep(const QString &temperature, const QString &hold, const QString &unit,
                            QString *normalTemperature = nullptr, QString *normalHold = nullptr);
    // The message for a result other than Done, naming the range in the display unit.
    static QString problemText(Result result, const QString &unit);
    // The stored form of a set point typed in the display unit: ℃ with one decimal (as typed in ℃).
    static QString storedTemperature(const QString &typed, const QString &unit);
    // The stored form back in the display unit, as the editor shows it.
    static QString displayedTemperature(const QString &stored, const QString &unit);

    // Temperatures are typed and kept in this unit; "℃" unless set.
    void setUnit(const QString &unit) { m_unit = unit; }
    QString unit() const { return m_unit; }
    // Replaces everything with stored steps (temperatures converted to the display unit).
    void load(const QStringList &storedTemperatures, const QStringList &durations);

    const QStringList &steps() const { return m_steps; }
    const QStringList &temperatures() const { return m_temperatures; }
    const QStringList &durations() const { return m_durations; }
    int count() const { return m_steps.size(); }
    int selected() const { return m_selected; }
    bool isRow(int index) const { return index >= 0 && index < count(); }

    // The temperatures as stored (℃).
    QStringList storedTemperatures() const;

    // A double click on a row.
    void select(int row);
    // Inserts after the selected step (appends when none is selected or the selection lies
    // beyond the end); the new step becomes the selected one. Step numbers stay 1..n. A step
    // that fails checkStep() changes nothing.
    Result add(const QString &temperature, const QString &duration);
    // Replaces the selected step's temperature and hold time.
    Result set(const QString &temperature, const QString &duration);
    // Removes the selected step; the selection stays where it was, so it now names the step that
    // followed (or no row at all).
    Result remove();
    void clear();

private:
    QStringList m_steps;
    QStringList m_temperatures;
    QStringList m_durations;
    int m_selected = -1;
    QString m_unit = QStringLiteral("℃");
};
