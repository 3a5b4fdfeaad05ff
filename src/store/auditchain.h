#pragma once
// The tamper-evident audit trail. Each AuditLog row carries, in column "Hash", the SHA-256 of the
// previous row's hash and its own four texts; rows are chained in insertion (rowid) order. A row
// changed afterwards no longer matches its hash, and a row removed breaks the link of the row
// after it. Appends are serialised by a write transaction around reading the tail and inserting,
// so writers on other connections or threads keep the chain whole.
//
// The chain alone proves nothing against someone who rewrites the table and recomputes every
// hash: each write therefore also records the head (entry count and hash) outside the table
// (store/auditanchors.h), and verification holds the table to every head it is given.

#include "store/auditanchors.h"
#include "store/tool.h"

#include <QSqlDatabase>
#include <QString>

namespace AuditChain {

// The column added to AuditLog.
QString column();

// The hash of an entry given the previous entry's hash (empty for the first entry): 64 hex digits.
QString entryHash(const QString &previous, const Tool::Struct_AuditLog &entry);

// Follows a chain entry by entry, in order; stops judging at the first broken link.
class Verifier
{
public:
    // False once the chain is broken (at this entry or before).
    bool add(const Tool::Struct_AuditLog &entry, const QString &storedHash);
    bool intact() const { return m_broken == 0; }
    qint64 count() const { return m_count; }
    // 1-based position of the first entry whose hash does not match; 0 while intact.
    qint64 brokenAt() const { return m_broken; }
    const Tool::Struct_AuditLog &brokenEntry() const { return m_brokenEntry; }
    // The stored hash of the last entry seen (the chain's head as it stands).
    const QString &lastHash() const { return m_last; }

private:
    qint64 m_count = 0;
    qint64 m_broken = 0;
    Tool::Struct_AuditLog m_brokenEntry;
    QString m_last;
};

struct Verdict
{
    enum class Failure {
        None,
        Link,          // an entry does not match its hash (edited, removed, inserted)
        Anchor,        // the chain holds together but an entry differs from a recorded head
        Truncated,     // a recorded head counts more entries than the table holds
        Unanchored,    // entries after the newest recorded head (added behind the writer's back)
        ChainRemoved,  // the hash column is gone from a trail that was chained
    };
    bool readable = false;   // the table could be read at all
    bool intact = false;
    bool damaged = false;    // reading stopped at an error part of the way (a damaged file)
    Failure failure = Failure::None;
    qint64 entries = 0;
    qint64 brokenAt = 0;     // 1-based position in insertion order, 0 when intact
    Tool::Struct_AuditLog brokenEntry;
    QString lastHash;
    QString error;
    int anchorsChecked = 0;
    AuditAnchors::Anchor anchor;   // the head the trail failed against
};

// Reads the whole trail of db in insertion order, checks every link and holds it to the anchors
// (each one's count and hash; their order does not matter). anchoredTail: the newest entry must
// itself be a recorded head, as it is where every write records one (one file, one anchor file);
// not on a server, whose other stations record theirs elsewhere.
Verdict verify(QSqlDatabase db, const QList<AuditAnchors::Anchor> &anchors = {}, bool anchoredTail = false);
// The same on a file, read-only on a private connection (nothing is changed, not even an
// unchained trail), or on the server of a postgresql:// location; against the anchors of its
// anchor file, those the database carries (a backup) and `extra`.
Verdict verifyFile(const QString &fileName, const QList<AuditAnchors::Anchor> &extra = {});

// The trail's head: entries and the newest stored hash.
struct Head
{
    qint64 count = 0;
    QString hash;
    bool valid = false;
    // "COUNT:HASH", as --anchor takes it; empty when not valid.
    QString text() const;
};
Head head(QSqlDatabase db);

// The verdict as one or two lines for a person: intact with its count and last hash, or the
// first broken entry (position, time, operator, type, details).
QString describe(const Verdict &verdict);

bool hasColumn(QSqlDatabase db);

// Whether db was ever chained: its schema version (SQLite) or its anchor file says so.
bool wasChained(QSqlDatabase db);

// When AuditLog has no hash column yet and never had one: adds it and chains every existing
// entry, in one transaction, and records that in the schema version and the anchor file.
// *chained: how many entries were chained, -1 when the column was already there, -2 when it was
// refused because the trail had been chained before (its column removed since: that is for
// verification to report, never to be mended by chaining the table afresh).
bool upgrade(QSqlDatabase db, qint64 *chained, QString *error = nullptr);

// Appends entries after the current head, in one write transaction (or inside the caller's,
// when one is open on db), and records the new head in db's anchor file (only for a transaction
// of its own: a caller's may still roll back). anchorFile "-": none.
bool append(QSqlDatabase db, const QList<Tool::Struct_AuditLog> &entries, QString *error = nullptr,
            const QString &anchorFile = QString());
bool append(QSqlDatabase db, const Tool::Struct_AuditLog &entry, QString *error = nullptr);

// The hash of the newest entry; empty for an empty or unchained trail.
QString lastHash(QSqlDatabase db);

} // namespace AuditChain
