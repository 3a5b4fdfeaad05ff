#include "registry/CycleSteps.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cmath>

namespace {

bool filled(const QString &temperature, const QString &duration)
{
    return !temperature.trimmed().isEmpty() && !duration.trimmed().isEmpty();
}

bool fahrenheit(const QString &unit)
{
    return unit == QStringLiteral("℉");
}

double toCelsius(double v, const QString &unit)
{
    return fahrenheit(unit) ? (v - 32) * 5 / 9 : v;
}

double fromCelsius(double v, const QString &unit)
{
    return fahrenheit(unit) ? v * 9 / 5 + 32 : v;
}

// "72.5" but not "72.55", "7e1" or "0x48": what a block's display shows.
bool readNumber(const QString &text, int maxDecimals, double *value)
{
    static const QRegularExpression one(QStringLiteral("^[-+]?\\d{1,4}(\\.\\d?)?$"));
    static const QRegularExpression two(QStringLiteral("^[-+]?\\d{1,4}(\\.\\d{0,2})?$"));
    const QString t = text.trimmed();
    if (!(maxDecimals <= 1 ? one : two).match(t).hasMatch())
        return false;
    bool ok = false;
    *value = t.toDouble(&ok);
    return ok && std::isfinite(*value);
}

// Shortest text of a value with at most `decimals` decimals: 1.50 -> "1.5", 10.0 -> "10".
QString shortText(double value, int decimals)
{
    QString t = QString::number(value, 'f', decimals);
    if (t.contains(QLatin1Char('.'))) {
        while (t.endsWith(QLatin1Char('0')))
            t.chop(1);
        if (t.endsWith(QLatin1Char('.')))
            t.chop(1);
    }
    return t == QStringLiteral("-0") ? QStringLiteral("0") : t;
}

} // namespace

CycleSteps::Result CycleSteps::checkStep(const QString &temperature, const QString &hold, const QString &unit,
                                         QString *normalTemperature, QString *normalHold)
{
    if (!filled(temperature, hold))
        return NeedInput;
    double t = 0;
    if (!readNumber(temperature, 1, &t))
        return BadTemperature;
    // Compared as stored (one decimal in ℃), so that what passes here is what is kept.
    const double celsius = std::round(toCelsius(t, unit) * 10) / 10;
    if (celsius < MinCelsius || celsius > MaxCelsius)
        return TemperatureOutOfRange;
    double h = 0;
    if (!readNumber(hold, 2, &h))
        return BadHold;
    if (h <= 0 || h > MaxHoldMinutes)
        return HoldOutOfRange;
    if (normalTemperature)
        *normalTemperature = shortText(t, 1);
    if (normalHold)
        *normalHold = shortText(h, 2);
    return Done;
}

QString CycleSteps::problemText(Result result, const QString &unit)
{
    const QString u = fahrenheit(unit) ? QStringLiteral("℉") : QStringLiteral("℃");
    switch (result) {
    case Done:
        return QString();
    case NeedInput:
        return QCoreApplication::translate("CycleSteps", "请先输入内容！");
    case NeedSelection:
        return QCoreApplication::translate("CycleSteps", "请先选择内容！");
    case BadTemperature:
        return QCoreApplication::translate("CycleSteps", "设定点温度应为数字，最多一位小数！");
    case TemperatureOutOfRange:
        return QCoreApplication::translate("CycleSteps", "设定点温度超出范围（%1 ~ %2 %3）！")
            .arg(shortText(fromCelsius(MinCelsius, unit), 1), shortText(fromCelsius(MaxCelsius, unit), 1), u);
    case BadHold:
        return QCoreApplication::translate("CycleSteps", "持续时间应为分钟数，最多两位小数！");
    case HoldOutOfRange:
        return QCoreApplication::translate("CycleSteps", "持续时间应大于0且不超过%1分钟！").arg(MaxHoldMinutes);
    }
    return QString();
}

QString CycleSteps::storedTemperature(const QString &typed, const QString &unit)
{
    if (!fahrenheit(unit))
        return typed.trimmed();
    double t = 0;
    if (!readNumber(typed, 1, &t))
        return typed.trimmed();
    return QString::number(toCelsius(t, unit), 'f', 1);
}

QString CycleSteps::displayedTemperature(const QString &stored, const QString &unit)
{
    bool ok = false;
    const double c = stored.trimmed().toDouble(&ok);
    if (!ok || !fahrenheit(unit))
        return stored.trimmed();
    return QString::number(fromCelsius(c, unit), 'f', 1);
}

void CycleSteps::load(const QStringList &storedTemperatures, const QStringList &durations)
{
    clear();
    const int n = qMin(storedTemperatures.size(), durations.size());
    for (int i = 0; i < n; ++i) {
        m_steps.append(QString::number(i + 1));
        m_temperatures.append(displayedTemperature(storedTemperatures.at(i), m_unit));
        m_durations.append(durations.at(i).trimmed());
    }
}

QStringList CycleSteps::storedTemperatures() const
{
    QStringList out;
    for (const QString &t : m_temperatures)
        out << storedTemperature(t, m_unit);
    return out;
}

void CycleSteps::select(int row)
{
    if (isRow(row))
        m_selected = row;
}

CycleSteps::Result CycleSteps::add(const QString &temperature, const QString &duration)
{
    QString t, h;
    const Result check = checkStep(temperature, duration, m_unit, &t, &h);
    if (check != Done)
        return check;
    const int at = qMin(m_selected + 1, count());
    m_steps.append(QString::number(count() + 1));
    m_temperatures.insert(at, t);
    m_durations.insert(at, h);
    m_selected = at;
    return Done;
}

CycleSteps::Result CycleSteps::set(const QString &temperature, const QString &duration)
{
    if (!filled(temperature, duration))
        return NeedInput;
    if (!isRow(m_selected))
        return NeedSelection;
    QString t, h;
    const Result check = checkStep(temperature, duration, m_unit, &t, &h);
    if (check != Done)
        return check;
    m_temperatures[m_selected] = t;
    m_durations[m_selected] = h;
    return Done;
}

CycleSteps::Result CycleSteps::remove()
{
    if (!isRow(m_selected))
        return NeedSelection;
    m_temperatures.removeAt(m_selected);
    m_durations.removeAt(m_selected);
    m_steps.removeLast();
    return Done;
}

void CycleSteps::clear()
{
    m_steps.clear();
    m_temperatures.clear();
    m_durations.clear();
    m_selected = -1;
}
