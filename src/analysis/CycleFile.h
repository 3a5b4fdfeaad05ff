#pragma once

#include "AnalysisTypes.h"

#include <QString>

// Turning a stored cycle file into steps, and the checks a rate cycle file must pass.
namespace Analysis {

enum class CycleFileError {
    None,
    NotFound,             // "未查找到循环文件！"
    Corrupt,              // "循环文件异常！"
    RateTooFewSteps,      // "升降温循环文件步骤不能小于3步！"
    RateStep1AboveStep2,  // "升降温循环文件步骤1温度需要小于步骤2温度！"
    RateStep3AboveStep2,  // "升降温循环文件步骤3温度需要小于步骤2温度！"
    RateSpanTooSmall,     // "升降温循环文件的升降温温差需要大于十度！"
};

// The message the caller shows under "警告"; empty for None.
QString cycleFileErrorText(CycleFileError error);

// The three columns of a cycle-file record that the analysis reads.
struct CycleFileColumns
{
    QString stepCount;        // StepCount
    QString setTemperatures;  // SetTemperatures, ℃, joined by ","
    QString holdTimes;        // HoldTimes, minutes, joined by ","
};

enum class CycleFileRole { Uniformity, Rate };

// Step count, temperatures and hold times must agree and every element must be a number;
// otherwise Corrupt and `steps` is left empty.
CycleFileError parseCycleSteps(const CycleFileColumns &columns, QVector<CycleStep> &steps);

// The rate checks in their fixed order; only steps 1 to 3 are looked at.
CycleFileError checkRateSteps(const QVector<CycleStep> &steps);

// One named cycle file as the export job loads it: `record` is null when no file of that name
// exists. A rate file also passes the rate checks. `steps` is cleared first and filled only on
// success.
CycleFileError loadCycleFile(const CycleFileColumns *record, CycleFileRole role,
                             QVector<CycleStep> &steps);

} // namespace Analysis
