#pragma once
// The tamper-evident audit trail. Each AuditLog row carries, in column "Hash", the SHA-256 of the
// previous row's hash and its own four texts; rows are chained in insertion (rowid) order. A row
// changed afterwards no longer matches its hash, and a row removed breaks the link of the row
// after it. Appends are serialised by a write transaction around reading the tail and inserting,
// so writers on other connections or threads keep the chain whole.

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
    bool readable = false;   // the table could be read at all
    bool intact = false;
    qint64 entries = 0;
    qint64 brokenAt = 0;     // 1-based position in insertion order, 0 when intact
    Tool::Struct_AuditLog brokenEntry;
    QString lastHash;
    QString error;
};

// Reads the whole trail of db in insertion order and checks every link.
Verdict verify(QSqlDatabase db);
// The same on a file, read-only on a private connection (nothing is changed, not even an
// unchained trail), or on the server of a postgresql:// location.
Verdict verifyFile(const QString &fileName);

// The verdict as one or two lines for a person: intact with its count and last hash, or the
// first broken entry (position, time, operator, type, details).
QString describe(const Verdict &verdict);

bool hasColumn(QSqlDatabase db);

// When AuditLog has no hash column yet: adds it and chains every existing entry, in one
// transaction. *chained: how many entries were chained, -1 when the column was already there.
bool upgrade(QSqlDatabase db, qint64 *chained, QString *error = nullptr);

// Appends entries after the current head, in one write transaction (or inside the caller's,
// when one is open on db).
bool append(QSqlDatabase db, const QList<Tool::Struct_AuditLog> &entries, QString *error = nullptr);
bool append(QSqlDatabase db, const Tool::Struct_AuditLog &entry, QString *error = nullptr);

// The hash of the newest entry; empty for an empty or unchained trail.
QString lastHash(QSqlDatabase db);

} // namespace AuditChain
