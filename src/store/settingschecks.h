#pragma once
// The values of config.ini's [SystemSet] as the program may use them. A value outside its choices
// (a hand-edited file, a damaged one) is replaced by the default of a fresh installation, with a
// log line; a missing key stays empty (or 0), as it always read.

#include <QString>

namespace SettingsChecks {

struct SystemSettings
{
    QString corporateName;
    QString language;   // "中文" or "English"
    QString unit;       // "℃" or "℉"
    int accuracy = 0;   // 0 to 4 decimals
    QString format;     // "Word", "Excel" or "PDF"
};

constexpr int MaxAccuracy = 4;

// raw: the texts as read (a null text for a missing key).
SystemSettings validated(const QString &corporateName, const QString &language, const QString &unit,
                         const QString &accuracy, const QString &format);

} // namespace SettingsChecks
