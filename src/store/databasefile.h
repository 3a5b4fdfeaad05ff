#pragma once
// What a database file is, found out without changing it (read-only, on a private connection):
// the program writes its tables and initial account only into a file that is new or already its
// own, never into another program's database, an empty file or a damaged one. A file that cannot
// be read because of where it lies (a read-only folder, a full disk, an I/O error) is told apart
// from a damaged one: it may well be a healthy database.

#include <QString>

class QSqlDatabase;

namespace DatabaseFile {

enum class Kind {
    Missing,       // no such file: a new database may be created
    Ours,          // an SQLite database holding at least one of the program's tables
    Foreign,       // an SQLite database (an empty file included) holding none of them
    NotDatabase,   // not readable as an SQLite database (damaged, or another kind of file)
    Unreadable,    // the file cannot be read at all (permissions): nothing can be said of it
    Inaccessible,  // an I/O condition stands in the way (see Condition); nothing is wrong with the file as far as is known
};

// What stands in the way of reading or writing a database where it lies.
enum class Condition {
    None,
    ReadOnly,   // the folder or the file cannot be written (read-only medium, permissions)
    Full,       // the file system has no room left
    IoError,    // another I/O failure (the device, a lock held elsewhere)
    Damaged,    // the file is no database or is damaged
};

// The condition an SQLite result code (primary or extended) names; folderCondition is what the
// folder itself shows (ReadOnly, Full or None) and decides the codes SQLite gives for both.
Condition conditionOf(int sqliteCode, Condition folderCondition);
// Whether files can be made in folder now: ReadOnly, Full or None (a trial file, so that it also
// holds for a privileged user and on read-only mounts).
Condition folderCondition(const QString &folder);
// The user's sentence for a condition, naming the file (empty for None).
QString conditionText(Condition condition, const QString &fileName);

// readOnlyCopy: for Inaccessible, whether the file can still be read as it is (read-only, as an
// unchanging file) and holds the program's tables.
Kind classify(const QString &fileName, QString *detail = nullptr, Condition *condition = nullptr,
              bool *readOnlyCopy = nullptr);

// Whether a write-ahead log with content lies beside fileName (a failed reader may leave an
// empty one): then the file alone does not hold everything committed.
bool hasPendingLog(const QString &fileName);

// Sets db (an SQLite connection not yet open) to read fileName read-only; where a normal
// read-only open cannot work (a folder without room for the shared-memory file) and no write-ahead
// log waits beside it, the file is read as unchanging.
void setReadOnly(QSqlDatabase &db, const QString &fileName);

} // namespace DatabaseFile
