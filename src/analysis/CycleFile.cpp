#include "CycleFile.h"

#include "Compare.h"

#include <QCoreApplication>
#include <QStringList>

namespace Analysis {

QString cycleFileErrorText(CycleFileError error)
{
    switch (error) {
    case CycleFileError::None:
        return QString();
    case CycleFileError::NotFound:
        return QCoreApplication::translate("Analysis", "未查找到循环文件！");
    case CycleFileError::Corrupt:
        return QCoreApplication::translate("Analysis", "循环文件异常！");
    case CycleFileError::RateTooFewSteps:
        return QCoreApplication::translate("Analysis", "升降温循环文件步骤不能小于3步！");
    case CycleFileError::RateStep1AboveStep2:
        return QCoreApplication::translate("Analysis", "升降温循环文件步骤1温度需要小于步骤2温度！");
    case CycleFileError::RateStep3AboveStep2:
        return QCoreApplication::translate("Analysis", "升降温循环文件步骤3温度需要小于步骤2温度！");
    case CycleFileError::RateSpanTooSmall:
        return QCoreApplication::translate("Analysis", "升降温循环文件的升降温温差需要大于十度！");
    }
    return QString();
}

CycleFileError parseCycleSteps(const CycleFileColumns &columns, QVector<CycleStep> &steps)
{
    steps.clear();
    bool countOk = false;
    const int count = columns.stepCount.trimmed().toInt(&countOk);
    const QStringList temperatures = columns.setTemperatures.split(QLatin1Char(','));
    const QStringList holdTimes = columns.holdTimes.split(QLatin1Char(','));
    if (!countOk || count != temperatures.size() || temperatures.size() != holdTimes.size())
        return CycleFileError::Corrupt;

    // A text that is not a number would otherwise become a set temperature of 0 and send the
    // plateau search after a step the instrument never ran.
    QVector<CycleStep> parsed;
    parsed.reserve(count);
    for (int i = 0; i < count; ++i) {
        bool tOk = false, hOk = false;
        CycleStep step;
        step.temperature = temperatures.at(i).toDouble(&tOk);
        step.holdTime = holdTimes.at(i).toDouble(&hOk);
        if (!tOk || !hOk || !qIsFinite(step.temperature) || !qIsFinite(step.holdTime))
            return CycleFileError::Corrupt;
        parsed.append(step);
    }
    steps = parsed;
    return CycleFileError::None;
}

CycleFileError checkRateSteps(const QVector<CycleStep> &steps)
{
    if (steps.size() < 3)
        return CycleFileError::RateTooFewSteps;
    const double t1 = steps.at(0).temperature;
    const double t2 = steps.at(1).temperature;
    const double t3 = steps.at(2).temperature;
    if (t1 > t2)
        return CycleFileError::RateStep1AboveStep2;
    if (t3 > t2)
        return CycleFileError::RateStep3AboveStep2;
    if (belowLimit(t2 - t1, 10.0) || belowLimit(t2 - t3, 10.0))
        return CycleFileError::RateSpanTooSmall;
    return CycleFileError::None;
}

CycleFileError loadCycleFile(const CycleFileColumns *record, CycleFileRole role,
                             QVector<CycleStep> &steps)
{
    steps.clear();
    if (!record)
        return CycleFileError::NotFound;
    QVector<CycleStep> parsed;
    CycleFileError error = parseCycleSteps(*record, parsed);
    if (error == CycleFileError::None && role == CycleFileRole::Rate)
        error = checkRateSteps(parsed);
    if (error == CycleFileError::None)
        steps = parsed;
    return error;
}

} // namespace Analysis
