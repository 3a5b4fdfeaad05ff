#pragma once

#include "AnalysisTypes.h"

// How a cycler's block reaches and holds its set points, beyond the plateau statistics:
// overshoot, settling, well deviations a fixed time after the set point is reached, and the
// ramp rates from crossing times interpolated between samples and over a sliding window.
// Everything runs on stored ℃ and seconds; turn results into the display unit afterwards.
namespace Analysis {

struct PerformanceSettings
{
    double band = 0.5;                   // ℃ either side of the set point that counts as settled
    QVector<double> fixedTimes{15, 30};  // seconds after the set point is first reached
    double rateWindow = 1.0;             // seconds of the sliding window of the maximum rate
};

// The wells a fixed time after the set point was first reached, interpolated between samples.
struct FixedTimeFigures
{
    double after = 0;              // seconds after reaching
    bool available = false;        // false: the step's data ends before that moment
    QVector<double> deviations;    // per well, value − set temperature
    double meanDeviation = qQNaN();  // mean of the deviations
    double spread = qQNaN();         // largest minus smallest deviation
};

// One step of the uniformity run. The step's data runs from just after the previous step's
// segment (the run's first sample for the first step) to the end of its own segment, so it holds
// the ramp into the plateau. NaN marks a figure the data does not give.
struct StepPerformance
{
    int step = 0;                  // index in the cycle file
    double setTemperature = 0;
    bool heating = true;           // approached from below; false: a cooling step (undershoot)
    bool reached = false;          // the block mean came to the set point (or into the band)
    bool crossed = false;          // it crossed the set point; false: reached only the band
    QDateTime reachedTime;         // the first crossing, interpolated between samples
    double overshoot = qQNaN();      // block mean beyond the set point (below it when cooling), ≥ 0
    double wellOvershoot = qQNaN();  // the same for the worst well
    int worstWell = -1;            // index of that well
    // Seconds from reaching to the moment after which the block mean stays within the band;
    // NaN when it is still outside at the step's last sample.
    double settlingTime = qQNaN();
    QVector<FixedTimeFigures> atTimes;   // one per fixed time of the settings
};

// Ramp rates of the rate run. The crossings of the project's thresholds (T1 + 5, T2 − 5 on the
// way up, T2 − 5, T3 + 5 on the way down) are interpolated between samples per probe, so the
// times are not whole samples; the maximum rates are the block mean's steepest change over the
// sliding window.
struct RatePerformance
{
    bool hasData = false;          // false: no samples, or a threshold is never crossed
    double heatingTime = qQNaN();  // s, mean over the probes
    double heatingRate = qQNaN();  // ℃/s, threshold span / heatingTime
    double coolingTime = qQNaN();
    double coolingRate = qQNaN();  // positive for a normal run
    double maxHeatingRate = qQNaN();
    double maxCoolingRate = qQNaN();  // positive
};

struct PerformanceResult
{
    QVector<StepPerformance> steps;
    RatePerformance rate;
};

// The moment at which the straight line through (t0, v0) and (t1, v1) passes `level`; t1 when
// the two values are equal. Times in seconds.
double interpolatedTime(double t0, double v0, double t1, double v1, double level);

// Figures of each step, with segment k the confirmed plateau of step k (segments in time order).
QVector<StepPerformance> stepPerformance(const QVector<RunSample> &samples, const QVector<Segment> &segments,
                                         const QVector<CycleStep> &steps, int probeCount,
                                         const PerformanceSettings &settings);

// Rates of a rate run of at least three steps (low, high, low).
RatePerformance ratePerformance(const QVector<RunSample> &samples, const QVector<CycleStep> &steps,
                                int probeCount, double window);

// The block mean's steepest rise and fall over `window` seconds, both positive (0 without any).
void maximumRates(const QVector<RunSample> &samples, int probeCount, double window, double *heating,
                  double *cooling);

} // namespace Analysis
