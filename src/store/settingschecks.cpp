#include "store/settingschecks.h"

#include <QDebug>
#include <QStringList>

namespace SettingsChecks {

namespace {

QString choice(const char *key, const QString &value, const QStringList &choices, const QString &fallback)
{
    if (value.isEmpty() || choices.contains(value))
        return value;
    qWarning().noquote() << QStringLiteral("config.ini 中 %1 的值无效：%2，改用 %3").arg(QLatin1String(key), value, fallback);
    return fallback;
}

} // namespace

SystemSettings validated(const QString &corporateName, const QString &language, const QString &unit,
                         const QString &accuracy, const QString &format)
{
    SystemSettings s;
    s.corporateName = corporateName;
    s.language = choice("Language", language, {QStringLiteral("中文"), QStringLiteral("English")}, QStringLiteral("中文"));
    s.unit = choice("TemperatureUnit", unit, {QStringLiteral("℃"), QStringLiteral("℉")}, QStringLiteral("℃"));
    s.format = choice("Format", format, {QStringLiteral("Word"), QStringLiteral("Excel"), QStringLiteral("PDF")},
                      QStringLiteral("Word"));
    bool ok = false;
    const int decimals = accuracy.trimmed().toInt(&ok);
    if (accuracy.isEmpty()) {
        s.accuracy = 0;
    } else if (!ok || decimals < 0 || decimals > MaxAccuracy) {
        qWarning().noquote() << QStringLiteral("config.ini 中 TemperatureAccuracy 的值无效：%1，改用 2").arg(accuracy);
        s.accuracy = 2;
    } else {
        s.accuracy = decimals;
    }
    return s;
}

} // namespace SettingsChecks
