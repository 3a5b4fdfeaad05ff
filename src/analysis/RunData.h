#pragma once

#include "AnalysisTypes.h"

#include <QString>

// Reading one stored run (rows in table order, which is time order) inside a time window.
namespace Analysis {

// "yyyy-MM-dd hh:mm:ss.zzz" as stored with samples, in local time; false when it is not one.
bool parseSampleTime(const QString &text, QDateTime &time);

// Values joined by "," into exactly `probeCount` finite numbers; false otherwise.
bool parseSampleValues(const QString &text, int probeCount, QVector<double> &values);

// Fed row by row. A row with a value count other than the probe count, an unreadable time or a
// value that is not a number is skipped; a row before `from` is skipped; the first row after
// `to` ends the reading. `from` and `to` themselves are inside.
class RunWindowReader
{
public:
    RunWindowReader(int probeCount, const QDateTime &from, const QDateTime &to);

    // False once the run has passed `to`: later rows are not looked at.
    bool addRow(const QString &time, const QString &values);
    bool finished() const { return m_finished; }

    const QVector<RunSample> &samples() const { return m_samples; }
    QVector<RunSample> takeSamples();

    // Rows skipped for a bad value count, time or value (not those outside the window).
    int skippedRows() const { return m_skipped; }

private:
    int m_probeCount;
    QDateTime m_from;
    QDateTime m_to;
    bool m_finished = false;
    int m_skipped = 0;
    QVector<RunSample> m_samples;
};

// The whole reading over rows already in memory; `timeOf` and `valuesOf` give a row's time text
// and values text.
template <typename Rows, typename TimeOf, typename ValuesOf>
QVector<RunSample> readRunWindow(const Rows &rows, TimeOf timeOf, ValuesOf valuesOf,
                                 int probeCount, const QDateTime &from, const QDateTime &to)
{
    RunWindowReader reader(probeCount, from, to);
    for (const auto &row : rows) {
        if (!reader.addRow(timeOf(row), valuesOf(row)))
            break;
    }
    return reader.takeSamples();
}

} // namespace Analysis
