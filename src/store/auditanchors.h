#pragma once
// Heads of the audit chain kept outside the table: an append-only text file in the workspace,
// one line per audit write ("COUNT HASH KIND TIME"), written with O_APPEND and synced before the
// writer goes on. A trail rewritten in the database alone (edited and re-chained, truncated,
// emptied) no longer reaches the heads recorded here. Several processes on one workspace take an
// exclusive lock on the file around reading the chain's tail and appending, so its lines follow
// the chain. On a shared server each station keeps its own file: the heads that station saw,
// each one a prefix of the server's chain.

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace AuditAnchors {

struct Anchor
{
    qint64 count = 0;   // entries in the trail when the head was taken
    QString hash;       // the stored hash of entry `count`
    QString kind;       // "append", "migrate" (an older trail chained once), "foreign" (see below)
    QString where;      // where the anchor came from, for messages
};

// Kinds. A "foreign" line marks a restore that took over another workspace's chain after the
// user confirmed it: the heads before it belong to the chain it replaced.
inline const char *appendKind() { return "append"; }
inline const char *migrateKind() { return "migrate"; }
inline const char *foreignKind() { return "foreign"; }

// The anchor file of a database: beside an SQLite file ("PCR.db3.anchors"); for a server, in the
// working directory (the station's workspace), named after the server and database. Empty for an
// in-memory database.
QString pathFor(const QSqlDatabase &db);
QString pathForLocation(const QString &location);

// "COUNT:HASH" as given on a command line.
bool parse(const QString &text, Anchor *anchor);

// Every line of the file (a missing file has none); *ok false when it exists but cannot be read.
// Lines that are no anchor are skipped.
QList<Anchor> read(const QString &path, bool *ok = nullptr);
// The anchors that speak for the current chain: those from the last "foreign" line on.
QList<Anchor> current(const QList<Anchor> &all);

// Appends one line and syncs it to the disk.
bool append(const QString &path, const Anchor &anchor, QString *error = nullptr);

// An advisory lock on the file, held while the object lives: exclusive for a writer (the file is
// created when missing), shared for a reader that wants the file and the table as of one moment
// (a missing file is not created). Without a path nothing is locked.
class Lock
{
public:
    explicit Lock(const QString &path, bool shared = false);
    ~Lock();
    Lock(const Lock &) = delete;
    Lock &operator=(const Lock &) = delete;

private:
    int m_fd = -1;
};

// The anchors a backup carries, in its table of that name (read-only connection).
QString tableName();
QList<Anchor> carried(const QSqlDatabase &db);

} // namespace AuditAnchors
