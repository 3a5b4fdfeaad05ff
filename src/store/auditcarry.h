#pragma once
// A restore must not erase audit history: the entries the live database holds beyond what the
// backup holds are carried into the restored copy, chained on after its own entries, before the
// copy takes the live file's place. Widget-free; runs on any thread (private connections).

#include "store/tool.h"

#include <QDateTime>
#include <QString>

namespace AuditCarry {

// The time a backup stands for: the time in its name when the program named it
// ("yyyy_MM_dd_hh_mm_PCR.db3"), else the time of its newest audit entry, else the file's time.
QDateTime backupTime(const QString &file);

// The time a backup's name gives, invalid for any other name.
QDateTime timeInName(const QString &file);

// Appends to restoredFile the entries of liveFile written after the newest entry restoredFile
// holds: those after the same entry in the live trail, or, when the live trail does not hold it
// (a backup of another workspace), those stamped later. An unchained or plain-text backup is
// brought up to date first, as opening it would (audited under operatorName). *carried: the
// number of entries carried. On failure restoredFile may have been changed and must not be used.
bool carry(const QString &liveFile, const QString &restoredFile, const QString &operatorName, int *carried,
           QString *error = nullptr);

} // namespace AuditCarry
