#include "registry/CalibrationDates.h"

#include "store/tool.h"

#include <cmath>

namespace CalibrationDates {

const char *const NotCalibrated = "未校";
const char *const Calibrated = "已校";
const char *const Overdue = "过期";

namespace {

const QString MinuteFormat = QStringLiteral("yyyy-MM-dd hh:mm");

bool cycleMonths(const QString &cycle, int *months)
{
    bool ok = false;
    const double value = cycle.trimmed().toDouble(&ok);
    if (!ok || value < 0 || value > 12000 || std::floor(value) != value)
        return false;
    *months = int(value);
    return true;
}

} // namespace

QDateTime parse(const QString &text)
{
    const QString t = text.trimmed();
    QDateTime time = QDateTime::fromString(t, Tool::TimeFormat);
    if (!time.isValid())
        time = QDateTime::fromString(t, MinuteFormat);
    return time;
}

QString minuteText(const QDateTime &time)
{
    return time.toString(MinuteFormat);
}

bool storedFromTyped(const QString &typed, QString *stored)
{
    bool anyDigit = false;
    for (const QChar c : typed)
        anyDigit = anyDigit || c.isDigit();
    if (!anyDigit) {
        stored->clear();
        return true;
    }
    const QDateTime time = QDateTime::fromString(typed.trimmed(), MinuteFormat);
    if (!time.isValid())
        return false;
    *stored = time.toString(Tool::TimeFormat);
    return true;
}

bool isValidCycle(const QString &cycle)
{
    int months = 0;
    return cycle.trimmed().isEmpty() || cycleMonths(cycle, &months);
}

QDateTime recheckDate(const QString &calibrationDate, const QString &cycle)
{
    int months = 0;
    const QDateTime date = parse(calibrationDate);
    if (!date.isValid() || !cycleMonths(cycle, &months))
        return QDateTime();
    return date.addMonths(months);
}

QString state(const QString &calibrationDate, const QString &cycle, const QDateTime &now)
{
    if (calibrationDate.trimmed().isEmpty())
        return QString::fromUtf8(NotCalibrated);
    if (!parse(calibrationDate).isValid())
        return QString::fromUtf8(Overdue);
    const QDateTime recheck = recheckDate(calibrationDate, cycle);
    if (!recheck.isValid() || now < recheck)
        return QString::fromUtf8(Calibrated);
    return QString::fromUtf8(Overdue);
}

} // namespace CalibrationDates
