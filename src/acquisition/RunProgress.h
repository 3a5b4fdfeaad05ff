#pragma once
// What the engineer follows during a run, worked out without widgets: where the block should be
// in its cycle file, how much of the acquisition is done and left, and each probe's current,
// lowest and highest reading so far.

#include "analysis/AnalysisTypes.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace RunProgress {

// The step of the cycle file the block should be in `elapsed` seconds after the acquisition
// began, by the hold times (ramps take no time in this reckoning); the program repeats.
struct StepAt
{
    int step = -1;            // from 0; -1 without usable steps
    int cycle = 0;            // how many times the program has run through before, from 0
    double temperature = 0;   // set temperature of the step, ℃
    double holdMinutes = 0;
    qint64 secondsLeft = 0;   // until the next step
};
StepAt stepAt(const QVector<CycleStep> &steps, qint64 elapsedSeconds);

// Seconds of the acquisition left (never below 0) and its share done in percent (0 to 100; 100
// for a run of no duration once it has begun).
qint64 remainingSeconds(qint64 durationSeconds, qint64 elapsedSeconds);
int percentDone(qint64 durationSeconds, qint64 elapsedSeconds);

// "hh:mm:ss", also beyond a day ("26:00:05"); negative counts as 0.
QString clockText(qint64 seconds);

// Current, lowest and highest reading of each probe over the samples so far.
class ProbeRanges
{
public:
    struct Range
    {
        double current = 0;
        double low = 0;
        double high = 0;
        bool seen = false;   // a readable value arrived
    };

    void reset(int probes);
    // One sample as delivered; a value that is no number leaves its probe's figures as they were.
    void add(const QStringList &values);
    const QVector<Range> &ranges() const { return m_ranges; }

private:
    QVector<Range> m_ranges;
};

} // namespace RunProgress
