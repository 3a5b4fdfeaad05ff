#pragma once
// The rules of the performance profile editor without its widgets: what may be stored, how the
// six limits go between the display unit and the stored ℃, and what an audit entry says changed.

#include "store/profiles.h"

#include <QString>
#include <QStringList>

namespace ProfileValues {

// The six limits in column order, and whether each converts with the temperature unit.
constexpr int Count = 6;
// Names of the limits as the editor and the audit trail show them, translated.
QStringList names();
// Unit of each limit in the display unit: "℃", "℃", "℃/s", "℃/s", "℃", "s".
QStringList units(const QString &unit);

// Why typed limits cannot be stored (every one is needed, each a number ≥ 0); empty when they can.
QString check(const QStringList &typed);

// Typed limits (display unit) as stored (℃, ℃/s, s): converted from ℉ with four decimals,
// otherwise as typed without surrounding blanks.
QStringList toStored(const QStringList &typed, const QString &unit);
// Stored limits in the display unit, without trailing zeros.
QStringList toShown(const QStringList &stored, const QString &unit);

// "准确度：0.25 → 0.3；..." for the limits that differ, in the display unit; empty when none does.
QString changes(const PerformanceProfileRecord &before, const PerformanceProfileRecord &after, const QString &unit);
// "准确度：0.25；均匀度：0.5；..." of a new profile, in the display unit.
QString listing(const PerformanceProfileRecord &record, const QString &unit);

} // namespace ProfileValues
