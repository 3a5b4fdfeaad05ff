#pragma once
// Backups of the database and restoring one: the automatic backup's settings and due time,
// consistent snapshots of the live file, and a restore that checks the chosen file and keeps the
// current database until the restored one has opened. Widget-free; the settings page and the main
// window run the long steps (snapshot, staging) on a worker and the swap on the GUI thread, which
// owns the default connection.

#include "store/tool.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace Backup {

// The keys of group "Backups" in "config.ini". A missing key reads as off, 0, empty, invalid.
struct Settings
{
    bool autoBackup = false;
    int cycleDays = 0;
    QString folder;
    QDateTime lastBackup;

    static Settings read(const QString &configFile = Tool::ConfigFileName);
};

// Each writes its keys and syncs; false when the file did not take them.
bool writeAutoBackup(bool on, int cycleDays, const QString &configFile = Tool::ConfigFileName);
bool writeFolder(const QString &folder, const QString &configFile = Tool::ConfigFileName);
bool writeLastBackup(const QDateTime &when, const QString &configFile = Tool::ConfigFileName);

// Due when the last backup plus the cycle is not after now; never backed up (invalid) is due.
bool isDue(const QDateTime &lastBackup, int cycleDays, const QDateTime &now);
// folder + "/" + "yyyy_MM_dd_hh_mm" + "_PCR.db3", with forward slashes only.
QString targetPath(const QString &folder, const QDateTime &now);

// Progress and cancel of the long steps, from the thread that runs them.
struct Control
{
    const std::atomic<bool> *cancel = nullptr;
    std::function<void(qint64 done, qint64 total)> progress;   // pages copied, pages in all
    // Pages copied between two looks at progress and cancel: small enough for both to follow,
    // large enough that a 230 MB file needs only a few dozen steps.
    int stepPages = 1024;
};

enum class Result { Done, Failed, Cancelled };

// A consistent snapshot of the database file `database` into `target`, which must not exist.
// Read on a connection of its own inside one read transaction, so it holds exactly what was
// committed when it began (what the -wal holds included) while other connections go on writing.
// The copy is a self-contained database (no -wal) and appears at target only when complete.
Result snapshot(const QString &database, const QString &target, const Control &control = {},
                QString *error = nullptr);

// A snapshot also carries the anchors of the audit chain's heads (store/auditanchors.h) that the
// anchor file of `database` holds, in a table of its own: a backup can be verified against the
// heads its workspace had recorded, wherever it is kept.

// The files SQLite keeps beside a database ("-journal", "-wal", "-shm") that are present.
QStringList companionsOf(const QString &database);

enum class RestoreResult { Done, SameFile, NotADatabase, Incompatible, Failed, Cancelled };

// First step of a restore, on any thread: checks that `source` is a database of this program
// whose tables have this program's columns (Incompatible otherwise) and takes a snapshot of it
// beside `live`, under a free name returned in *staging.
RestoreResult stage(const QString &source, const QString &live, QString *staging, const Control &control = {},
                    QString *error = nullptr);

// Second step, on the thread of the default connection: `close` closes it, the live file is set
// aside, the staged copy takes its place and `reopen` opens it (true when it did). Any failure
// puts the live file back and reopens it. A live file that some connection still holds (its
// -wal or -shm is still there once closed) is not swapped. On success the former database is
// left at *setAside, for the caller to read or remove on a worker (removing a large file takes
// a while); without setAside it is removed here.
RestoreResult swapIn(const QString &staging, const QString &live, const std::function<void()> &close,
                     const std::function<bool()> &reopen, QString *error = nullptr, QString *setAside = nullptr);

} // namespace Backup
