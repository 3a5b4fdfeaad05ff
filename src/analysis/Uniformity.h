#pragma once

#include "AnalysisTypes.h"

// Reducing the segments of a uniformity run to one row per set temperature.
namespace Analysis {

enum UniformityCode {
    UniformityOk = 0,
    UniformityNoSamples = 1,          // no uniformity samples
    UniformityFirstSampleCount = 2,   // the first sample's value count differs from the probe count
    UniformitySegmentSampleCount = 3, // a sample of a segment has another value count
    UniformitySegmentsMismatch = 4,   // more segments than steps, or an empty segment
};

// Appends one row per segment (set temperature of step b, probe means, range, overall mean),
// sorted ascending by whole rows, keeping only the first of equal set temperatures, and logs
// each as "数据输出：(...)". On a code other than 0 `rows` is left as it was. Values are in ℃;
// convert with displayRows afterwards.
int UniformityAnalysisData(const QVector<RunSample> &samples, const QVector<Segment> &segments,
                           const QVector<CycleStep> &steps, int probeCount,
                           QVector<UniformityRow> &rows);

// The uncertainty of one plateau: u1 the sample standard deviation of the probe means about
// the overall mean, u2 the measuring instrument's own standard uncertainty, combined as
// uc = sqrt(u1² + u2²) and expanded with k = 2. One probe divides by zero: u1, uc and U are NaN.
struct UncertaintyBudget
{
    double u1 = 0.0;
    double u2 = 0.0;
    double combined = 0.0;
    double k = 2.0;
    double expanded = 0.0;
};
UncertaintyBudget uncertaintyBudget(const UniformityRow &row, double instrumentStandardUncertainty = 0.0);

// The measuring instrument's standard uncertainty from its registered expanded uncertainty
// (taken as k = 2): half the number the text holds ("0.1", "0.1℃", "U=0.1 ℃", "±0.05°C"), 0
// when it holds none (empty, words, a negative or non-finite value). *found says which.
double instrumentStandardUncertainty(const QString &registered, bool *found = nullptr);

// 2 × the sample standard deviation of the probe means about the overall mean (k = 2), with no
// instrument component. One probe divides by zero and gives NaN.
double expandedUncertainty(const UniformityRow &row);
QVector<double> expandedUncertainty(const QVector<UniformityRow> &rows);

} // namespace Analysis
