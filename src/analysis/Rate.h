#pragma once

#include "AnalysisTypes.h"

#include <QStringList>

// Heating and cooling rates of a rate run (low, high, low again).
namespace Analysis {

enum RateCode {
    RateOk = 0,                // also when there is no data: the texts are empty
    RateNoHeatingStart = 10,   // a probe never rises above T1 + 5
    RateNoHeatingEnd = 11,     // ... nor above T2 - 5 after that
    RateNoCoolingStart = 12,   // ... never falls below T2 - 5 after its heating end
    RateNoCoolingEnd = 13,     // ... nor below T3 + 5 after that
    RateUnusableInput = 14,    // fewer than three steps, or no usable sampling interval
};

// The results in ℃, unrounded; times in whole seconds. Rates come out positive for a normal run.
struct RateResult
{
    bool hasData = false;  // false: no samples, or the first sample's count differs from the probe count
    double heatingStart = 0.0;
    double heatingEnd = 0.0;
    int heatingTime = 0;
    double heatingRate = 0.0;
    double coolingStart = 0.0;
    double coolingEnd = 0.0;
    int coolingTime = 0;
    double coolingRate = 0.0;
};

// Sampling intervals an analysis accepts, in seconds: what the calibration page can set up. An
// interval outside (a damaged or edited record) makes the input unusable rather than the
// arithmetic undefined.
constexpr double MinInterval = 0.001;
constexpr double MaxInterval = 3600;
bool isUsableInterval(double interval);

// Per probe: heating starts at the first sample above T1 + 5, ends at the next above T2 - 5;
// cooling starts from there at the first below T2 - 5 and ends at the next below T3 + 5. Times
// are index differences × `interval` (seconds), truncated to whole seconds probe by probe.
int RateAnalysisData(const QVector<RunSample> &samples, const QVector<CycleStep> &steps,
                     int probeCount, double interval, RateResult &result);

// The eight texts in document order, converted to the display unit: temperatures and rates
// fixed-point with `decimals`, times as integers. Empty texts when there is no data.
QStringList rateTexts(const RateResult &result, const QString &unit, int decimals);

// The export job's form: appends the eight texts on code 0 (empty ones when there is no data)
// and logs computed ones as "返回数据为：(...)".
int RateAnalysisData(const QVector<RunSample> &samples, const QVector<CycleStep> &steps,
                     int probeCount, double interval, const QString &unit, int decimals,
                     QStringList &texts);

} // namespace Analysis
