#include "registry/ProfileValues.h"

#include "analysis/Units.h"

#include <QCoreApplication>

#include <cmath>

namespace ProfileValues {

namespace {

// Everything but the settling time is a temperature difference or a rate of one.
bool converts(int index)
{
    return index != Count - 1;
}

QString trimmedNumber(double v, int decimals)
{
    QString text = QString::number(v, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

QString convert(const QString &text, int index, double factor)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !converts(index))
        return text.trimmed();
    return trimmedNumber(v * factor, 4);
}

} // namespace

QStringList names()
{
    return {QCoreApplication::translate("ProfileValues", "准确度"), QCoreApplication::translate("ProfileValues", "均匀度"), QCoreApplication::translate("ProfileValues", "最小升温速率"), QCoreApplication::translate("ProfileValues", "最小降温速率"), QCoreApplication::translate("ProfileValues", "最大过冲"), QCoreApplication::translate("ProfileValues", "稳定时间")};
}

QStringList units(const QString &unit)
{
    const QString rate = unit + QStringLiteral("/s");
    return {unit, unit, rate, rate, unit, QStringLiteral("s")};
}

QString check(const QStringList &typed)
{
    if (typed.size() != Count)
        return QCoreApplication::translate("ProfileValues", "请输入全部性能指标！");
    for (const QString &t : typed)
        if (t.trimmed().isEmpty())
            return QCoreApplication::translate("ProfileValues", "请输入全部性能指标！");
    for (int i = 0; i < Count; ++i) {
        bool ok = false;
        const double v = typed.at(i).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < 0)
            return QCoreApplication::translate("ProfileValues", "%1应为不小于0的数字！").arg(names().at(i));
    }
    return QString();
}

QStringList toStored(const QStringList &typed, const QString &unit)
{
    QStringList out;
    const bool fahrenheit = Analysis::isFahrenheit(unit);
    for (int i = 0; i < typed.size(); ++i)
        out << (fahrenheit ? convert(typed.at(i), i, 5.0 / 9.0) : typed.at(i).trimmed());
    return out;
}

QStringList toShown(const QStringList &stored, const QString &unit)
{
    QStringList out;
    const bool fahrenheit = Analysis::isFahrenheit(unit);
    for (int i = 0; i < stored.size(); ++i)
        out << (fahrenheit ? convert(stored.at(i), i, 9.0 / 5.0) : stored.at(i));
    return out;
}

QString changes(const PerformanceProfileRecord &before, const PerformanceProfileRecord &after, const QString &unit)
{
    const QStringList old = toShown(before.limits(), unit), now = toShown(after.limits(), unit);
    const QStringList labels = names();
    QStringList parts;
    for (int i = 0; i < Count && i < old.size() && i < now.size(); ++i) {
        if (old.at(i) != now.at(i))
            parts << QCoreApplication::translate("ProfileValues", "%1：%2 → %3").arg(labels.at(i), old.at(i).isEmpty() ? QCoreApplication::translate("ProfileValues", "（空）") : old.at(i), now.at(i));
    }
    return parts.join(QCoreApplication::translate("ProfileValues", "；"));
}

QString listing(const PerformanceProfileRecord &record, const QString &unit)
{
    const QStringList shown = toShown(record.limits(), unit);
    const QStringList labels = names();
    QStringList parts;
    for (int i = 0; i < Count && i < shown.size(); ++i)
        parts << QCoreApplication::translate("ProfileValues", "%1：%2").arg(labels.at(i), shown.at(i));
    return parts.join(QCoreApplication::translate("ProfileValues", "；"));
}

} // namespace ProfileValues
