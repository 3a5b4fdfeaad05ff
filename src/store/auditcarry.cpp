#include "store/auditcarry.h"

#include "store/auditanchors.h"
#include "store/auditchain.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace AuditCarry {
namespace {

// A connection of its own on a file, removed again when it goes.
class Connection
{
public:
    Connection(const QString &file, bool readOnly)
    {
        static QAtomicInt next;
        m_name = QStringLiteral("pcr-audit-carry-%1").arg(next.fetchAndAddRelaxed(1));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file);
        if (readOnly)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        m_open = QFileInfo(file).isFile() && db.open();
        if (!m_open)
            m_error = db.lastError().text();
    }
    ~Connection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    bool isOpen() const { return m_open; }
    QString error() const { return m_error; }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
    bool m_open = false;
    QString m_error;
};

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

Tool::Struct_AuditLog entryAt(const QSqlQuery &q, int first)
{
    return Tool::Struct_AuditLog{q.value(first).toString(), q.value(first + 1).toString(),
                                 q.value(first + 2).toString(), q.value(first + 3).toString()};
}

bool newestEntry(QSqlDatabase db, Tool::Struct_AuditLog *entry, bool *found, QString *error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select Time, Operator, Type, Details from AuditLog order by rowid desc limit 1")))
        return fail(error, q.lastError().text());
    *found = q.next();
    if (*found)
        *entry = entryAt(q, 0);
    return true;
}

} // namespace

QDateTime timeInName(const QString &file)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4}_\\d{2}_\\d{2}_\\d{2}_\\d{2})_PCR\\.db3$"));
    const QRegularExpressionMatch m = pattern.match(QFileInfo(file).fileName());
    return m.hasMatch() ? QDateTime::fromString(m.captured(1), QStringLiteral("yyyy_MM_dd_hh_mm")) : QDateTime();
}

QDateTime backupTime(const QString &file)
{
    const QDateTime named = timeInName(file);
    if (named.isValid())
        return named;
    {
        const Connection c(file, true);
        if (c.isOpen()) {
            Tool::Struct_AuditLog last;
            bool found = false;
            if (newestEntry(c.db(), &last, &found, nullptr) && found) {
                const QDateTime t = QDateTime::fromString(last.Time, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
                if (t.isValid())
                    return t;
            }
        }
    }
    return QFileInfo(file).lastModified();
}

namespace {

struct Trail
{
    QList<Tool::Struct_AuditLog> entries;
    QStringList hashes;   // stored (live) or computed (backup)
    bool hadColumn = false;
};

// The trail by column names, in insertion order. compute: the chain is computed and, where the
// table has hashes, held to them.
bool readTrail(QSqlDatabase db, bool compute, Trail *t, QString *error)
{
    t->hadColumn = AuditChain::hasColumn(db);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select Time, Operator, Type, Details%1 from AuditLog order by rowid")
                    .arg(t->hadColumn ? QStringLiteral(", ") + AuditChain::column() : QString())))
        return fail(error, q.lastError().text());
    QString previous;
    while (q.next()) {
        const Tool::Struct_AuditLog e = entryAt(q, 0);
        const QString stored = t->hadColumn ? q.value(4).toString() : QString();
        if (compute) {
            previous = AuditChain::entryHash(previous, e);
            if (t->hadColumn && stored != previous)
                return fail(error, QStringLiteral("the backup's audit chain is broken at entry %1").arg(t->entries.size() + 1));
        }
        t->entries << e;
        t->hashes << (compute ? previous : stored);
    }
    if (q.lastError().isValid())
        return fail(error, q.lastError().text());
    return true;
}

} // namespace

bool carry(const QString &liveFile, const QString &restoredFile, bool acceptForeign, Result *result, QString *error)
{
    Result r;
    const Connection restored(restoredFile, false);
    if (!restored.isOpen())
        return fail(error, restored.error());
    Trail backup;
    if (!readTrail(restored.db(), true, &backup, error))
        return false;
    r.backupEntries = backup.entries.size();
    const QString backupHead = backup.hashes.isEmpty() ? QString() : backup.hashes.last();

    Trail live;
    bool ownByLive = false;
    bool ownByAnchor = false;
    if (QFileInfo(liveFile).isFile()) {
        const Connection c(liveFile, true);
        if (!c.isOpen())
            return fail(error, c.error());
        if (!readTrail(c.db(), false, &live, error))
            return false;
        const QList<AuditAnchors::Anchor> anchors =
            AuditAnchors::current(AuditAnchors::read(AuditAnchors::pathForLocation(liveFile)));
        for (const AuditAnchors::Anchor &a : anchors)
            ownByAnchor = ownByAnchor || (a.count == r.backupEntries && a.hash == backupHead);
        // The live trail vouches for a prefix only while it holds to its own anchors.
        const qint64 n = r.backupEntries;
        ownByLive = n == 0
            || (n <= live.hashes.size() && live.hashes.at(int(n - 1)) == backupHead
                && AuditChain::verify(c.db(), anchors).intact);
    } else {
        ownByLive = true;   // no live trail: nothing to compare with, nothing to carry
    }
    r.kinship = ownByLive || ownByAnchor ? Kinship::Own : Kinship::Foreign;
    if (r.kinship == Kinship::Foreign && !acceptForeign) {
        if (result)
            *result = r;
        return fail(error, QStringLiteral("the backup's audit chain is not one of this workspace"));
    }
    // Equal hashes at a position mean equal trails up to it.
    if (r.kinship == Kinship::Own) {
        r.common = qMin<qint64>(r.backupEntries, live.entries.size());
    } else {
        while (r.common < qMin<qint64>(r.backupEntries, live.entries.size())
               && backup.hashes.at(int(r.common)) == live.hashes.at(int(r.common)))
            ++r.common;
    }
    const QList<Tool::Struct_AuditLog> newer = r.kinship == Kinship::Own && r.backupEntries > live.entries.size()
        ? QList<Tool::Struct_AuditLog>()
        : live.entries.mid(int(r.common));

    QSqlDatabase db = restored.db();
    if (!backup.hadColumn) {
        // The hashes the comparison computed; for a backup of this workspace the live trail's own.
        if (!db.transaction())
            return fail(error, db.lastError().text());
        QSqlQuery q(db);
        bool ok = q.exec(QStringLiteral("ALTER TABLE AuditLog ADD COLUMN %1 TEXT").arg(AuditChain::column()));
        QSqlQuery update(db);
        ok = ok && update.prepare(QStringLiteral("UPDATE AuditLog SET %1 = ? WHERE rowid = ?").arg(AuditChain::column()));
        QVector<qint64> rowids;
        ok = ok && q.exec(QStringLiteral("select rowid from AuditLog order by rowid"));
        while (ok && q.next())
            rowids << q.value(0).toLongLong();
        q.finish();
        for (int i = 0; ok && i < rowids.size() && i < backup.hashes.size(); ++i) {
            update.addBindValue(backup.hashes.at(i));
            update.addBindValue(rowids.at(i));
            ok = update.exec();
        }
        update.finish();
        ok = ok && q.exec(QStringLiteral("PRAGMA user_version = 1"));
        if (!ok || !db.commit()) {
            const QString why = update.lastError().isValid() ? update.lastError().text() : q.lastError().text();
            db.rollback();
            return fail(error, why);
        }
        r.chained = true;
    }
    // The restored copy's heads: on record already (own), or recorded as a foreign chain once the
    // copy is in place.
    if (!newer.isEmpty() && !AuditChain::append(db, newer, error, QStringLiteral("-")))
        return false;
    r.carried = newer.size();
    if (result)
        *result = r;
    return true;
}

} // namespace AuditCarry
