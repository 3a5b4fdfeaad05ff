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
        NeedInput,       // a temperature or a hold time is missing
        NeedSelection,   // no step has been selected
    };

    const QStringList &steps() const { return m_steps; }
    const QStringList &temperatures() const { return m_temperatures; }
    const QStringList &durations() const { return m_durations; }
    int count() const { return m_steps.size(); }
    int selected() const { return m_selected; }
    bool isRow(int index) const { return index >= 0 && index < count(); }

    // A double click on a row.
    void select(int row);
    // Inserts after the selected step (appends when none is selected or the selection lies
    // beyond the end); the new step becomes the selected one. Step numbers stay 1..n.
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
};
