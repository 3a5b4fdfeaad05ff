#pragma once
// A restore must not erase audit history: the entries the live trail holds after the backup's
// head (by chain position, never by time) are carried into the restored copy, chained on after its
// own entries, before the copy takes the live file's place. Widget-free; runs on any thread
// (private connections).

#include "store/tool.h"

#include <QDateTime>
#include <QString>

namespace AuditCarry {

// The time a backup stands for: the time in its name when the program named it
// ("yyyy_MM_dd_hh_mm_PCR.db3"), else the time of its newest audit entry, else the file's time.
QDateTime backupTime(const QString &file);

// The time a backup's name gives, invalid for any other name.
QDateTime timeInName(const QString &file);

// How a backup's trail stands to this workspace's chain.
enum class Kinship {
    Own,       // its chain is a prefix of (or equal to) this workspace's: a head on record here, or
               // a prefix of the live trail, which holds to its anchors
    Foreign,   // any other chain: restored only when the user confirms it by name
};

struct Result
{
    Kinship kinship = Kinship::Own;
    qint64 backupEntries = 0;   // entries the backup holds
    qint64 common = 0;          // leading entries the backup and the live trail share
    int carried = 0;            // live entries carried into the restored copy
    bool chained = false;       // the backup had no chain; it was computed (own: the live one's)
};

// Appends to restoredFile the entries of liveFile that follow the backup's head, by chain
// position: for a backup of this workspace the restored trail is then the live one, hash for
// hash, and every recorded head still holds. A backup whose own chain is broken, or whose chain
// is foreign while acceptForeign is false, is refused (false; for the foreign one result->kinship
// says so and nothing is changed). An accepted foreign backup gets the live entries after the
// part both share. An unchained backup is chained here only to compare it: a chain computed over
// its entries that is no prefix of this workspace's is foreign like any other. On failure
// restoredFile may have been changed and must not be used.
bool carry(const QString &liveFile, const QString &restoredFile, bool acceptForeign, Result *result,
           QString *error = nullptr);

} // namespace AuditCarry
