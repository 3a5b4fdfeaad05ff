#pragma once
// Dates of the instrument registries: what the editors accept and what the PCR instrument list
// derives from a calibration date and cycle. Widget-free.

#include <QDateTime>
#include <QString>

namespace CalibrationDates {

// The stored state words (shown through Tool::toDisplayText).
extern const char *const NotCalibrated;   // "未校"
extern const char *const Calibrated;      // "已校"
extern const char *const Overdue;         // "过期"

// A stored or typed time: "yyyy-MM-dd hh:mm:ss" as a calibration writes it, or
// "yyyy-MM-dd hh:mm" as the editors take it (read as the start of that minute). Invalid otherwise.
QDateTime parse(const QString &text);

// The editors' form "yyyy-MM-dd hh:mm".
QString minuteText(const QDateTime &time);

// The text of a date editor with the mask "0000-00-00 00:00": an editor holding no digit is
// empty (*stored empty, true); a complete valid date gives "yyyy-MM-dd hh:mm:ss" (true);
// anything else is false.
bool storedFromTyped(const QString &typed, QString *stored);

// A calibration cycle: empty, or a whole number of months >= 0 ("12", "12.0").
bool isValidCycle(const QString &cycle);

// Calibration date + cycle months; invalid when the date is empty or unreadable or the cycle is
// empty or no whole number.
QDateTime recheckDate(const QString &calibrationDate, const QString &cycle);

// "未校" without a calibration date; "已校" while now is before the recheck date or when there is
// no cycle to recheck by; "过期" from the recheck date on, and for an unreadable date.
QString state(const QString &calibrationDate, const QString &cycle, const QDateTime &now);

} // namespace CalibrationDates
