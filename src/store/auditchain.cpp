#include "store/auditchain.h"

#include "store/DatabaseSettings.h"
#include "store/databasefile.h"
#include "store/dialect.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDebug>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

#include <algorithm>
#include <limits>

namespace AuditChain {
namespace {

// The SQLite schema version of a database whose trail is chained.
constexpr int ChainedVersion = 1;

void fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
}

// BEGIN IMMEDIATE takes the write lock before the tail is read: two writers cannot both read the
// same head. Inside a caller's transaction the caller's lock already serialises. On PostgreSQL
// the stations serialise on an advisory lock held until the transaction ends.
class WriteTransaction
{
public:
    explicit WriteTransaction(QSqlDatabase db) : m_db(db)
    {
        if (Dialect::isPostgreSQL(m_db)) {
            beginOnServer();
            return;
        }
        QSqlQuery q(m_db);
        // Each try waits out the connection's busy timeout; a few writers at once may need more
        // than one turn.
        for (int attempt = 0; attempt < 3 && !m_own; ++attempt) {
            if (q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
                m_own = true;
                m_ok = true;
                return;
            }
            m_error = q.lastError().text();
            // "cannot start a transaction within a transaction": the caller's holds.
            if (m_error.contains(QStringLiteral("within a transaction"))) {
                m_ok = true;
                return;
            }
            if (!m_error.contains(QStringLiteral("locked")) && !m_error.contains(QStringLiteral("busy")))
                return;
        }
    }
    ~WriteTransaction()
    {
        if (m_own)
            QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
    }
    bool ok() const { return m_ok; }
    const QString &error() const { return m_error; }

    void beginOnServer()
    {
        QSqlQuery q(m_db);
        // A savepoint is only allowed inside a transaction block: then the caller's is open.
        if (!q.exec(QStringLiteral("SAVEPOINT pcr_audit_tail"))) {
            if (!q.exec(QStringLiteral("BEGIN"))) {
                m_error = q.lastError().text();
                return;
            }
            m_own = true;
        }
        m_ok = Dialect::lockAuditTail(m_db, &m_error);
    }
    bool commit()
    {
        if (!m_own)
            return true;
        QSqlQuery q(m_db);
        if (!q.exec(QStringLiteral("COMMIT"))) {
            m_error = q.lastError().text();
            return false;
        }
        m_own = false;
        return true;
    }

private:
    QSqlDatabase m_db;
    bool m_own = false;
    bool m_ok = false;
    QString m_error;
};

void addField(QCryptographicHash &h, const QString &text)
{
    // Length-prefixed, so that text moved from one field to the next changes the hash.
    const QByteArray bytes = text.toUtf8();
    uchar length[4];
    qToBigEndian<quint32>(quint32(bytes.size()), length);
    h.addData(reinterpret_cast<const char *>(length), 4);
    h.addData(bytes);
}

Tool::Struct_AuditLog entryFrom(const QSqlQuery &q, int first)
{
    return Tool::Struct_AuditLog{q.value(first).toString(), q.value(first + 1).toString(),
                                 q.value(first + 2).toString(), q.value(first + 3).toString()};
}

} // namespace

QString column()
{
    return QStringLiteral("Hash");
}

QString entryHash(const QString &previous, const Tool::Struct_AuditLog &entry)
{
    QCryptographicHash h(QCryptographicHash::Sha256);
    addField(h, previous);
    addField(h, entry.Time);
    addField(h, entry.Operator);
    addField(h, entry.Type);
    addField(h, entry.Details);
    return QString::fromLatin1(h.result().toHex());
}

bool Verifier::add(const Tool::Struct_AuditLog &entry, const QString &storedHash)
{
    ++m_count;
    if (m_broken == 0 && storedHash != entryHash(m_last, entry)) {
        m_broken = m_count;
        m_brokenEntry = entry;
    }
    m_last = storedHash;
    return m_broken == 0;
}

bool hasColumn(QSqlDatabase db)
{
    bool ok = false;
    const QStringList columns = Dialect::columnNames(db, QStringLiteral("AuditLog"), &ok);
    return ok && columns.contains(column(), Qt::CaseInsensitive);
}

Verdict verify(QSqlDatabase db, const QList<AuditAnchors::Anchor> &anchors, bool anchoredTail)
{
    using Failure = Verdict::Failure;
    Verdict v;
    if (!hasColumn(db)) {
        v.error = QStringLiteral("AuditLog has no column %1").arg(column());
        // A trail that was chained and lost its column is a finding, not a trail to chain anew.
        if (wasChained(db) || !anchors.isEmpty()) {
            v.readable = true;
            v.failure = Failure::ChainRemoved;
        }
        return v;
    }
    QList<AuditAnchors::Anchor> sorted;
    for (const AuditAnchors::Anchor &a : anchors)
        if (a.count > 0)
            sorted << a;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const AuditAnchors::Anchor &a, const AuditAnchors::Anchor &b) { return a.count < b.count; });
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select Time, Operator, Type, Details, Hash from AuditLog order by rowid"))) {
        v.error = q.lastError().text();
        return v;
    }
    Verifier verifier;
    int next = 0;
    qint64 anchorAt = 0;
    Tool::Struct_AuditLog anchorEntry;
    Tool::Struct_AuditLog unanchoredEntry;
    const qint64 newestAnchor = sorted.isEmpty() ? -1 : sorted.last().count;
    while (q.next()) {
        const Tool::Struct_AuditLog entry = entryFrom(q, 0);
        const QString hash = q.value(4).toString();
        verifier.add(entry, hash);
        if (verifier.count() == newestAnchor + 1)
            unanchoredEntry = entry;
        for (; next < sorted.size() && sorted.at(next).count <= verifier.count(); ++next) {
            ++v.anchorsChecked;
            if (anchorAt == 0 && sorted.at(next).hash != hash) {
                anchorAt = verifier.count();
                anchorEntry = entry;
                v.anchor = sorted.at(next);
            }
        }
    }
    v.readable = true;
    v.entries = verifier.count();
    v.lastHash = verifier.lastHash();
    // The rows end early on a damaged page: what was read says nothing of the rest.
    if (q.lastError().isValid()) {
        v.damaged = true;
        v.error = q.lastError().text();
        return v;
    }
    // The first entry that disagrees with anything: its own link, a recorded head, or missing.
    const qint64 never = std::numeric_limits<qint64>::max();
    const qint64 link = verifier.brokenAt() ? verifier.brokenAt() : never;
    const qint64 anchor = anchorAt ? anchorAt : never;
    const qint64 missing = next < sorted.size() ? v.entries + 1 : never;
    const qint64 newest = sorted.isEmpty() ? 0 : sorted.last().count;
    const qint64 unanchored = anchoredTail && !sorted.isEmpty() && newest < v.entries ? newest + 1 : never;
    const qint64 first = std::min({link, anchor, missing, unanchored});
    if (first == never) {
        v.intact = true;
        return v;
    }
    v.brokenAt = first;
    if (first == link) {
        v.failure = Failure::Link;
        v.brokenEntry = verifier.brokenEntry();
    } else if (first == anchor) {
        v.failure = Failure::Anchor;
        v.brokenEntry = anchorEntry;
    } else if (first == missing) {
        v.failure = Failure::Truncated;
        v.anchor = sorted.last();
        v.anchorsChecked += sorted.size() - next;
    } else {
        v.failure = Failure::Unanchored;
        v.anchor = sorted.last();
        v.brokenEntry = unanchoredEntry;
    }
    return v;
}

Verdict verifyFile(const QString &fileName, const QList<AuditAnchors::Anchor> &extra)
{
    static QAtomicInt next;
    const QString name = QStringLiteral("pcr-audit-verify-%1").arg(next.fetchAndAddRelaxed(1));
    Verdict v;
    DatabaseSettings settings;
    const bool readable = DatabaseSettings::fromLocation(fileName, &settings, &v.error);
    {
        QSqlDatabase db = Dialect::addConnection(settings, name);
        if (!settings.isPostgreSQL())
            DatabaseFile::setReadOnly(db, fileName);
        if (!readable) {
            // v.error says why
        } else if (!settings.isPostgreSQL() && !QFileInfo(fileName).isFile())
            v.error = QStringLiteral("no such file: %1").arg(fileName);
        else if (!db.open())
            v.error = db.lastError().text();
        else {
            bool ok = true;
            const QString anchorFile = AuditAnchors::pathForLocation(fileName);
            QList<AuditAnchors::Anchor> anchors;
            {
                // The file's heads and the table as of one moment: no writer is between its
                // commit and its head while the lock is held, and the read transaction begun
                // under it keeps that moment's table. (A server's table only grows: read after.)
                const AuditAnchors::Lock lock(settings.isPostgreSQL() ? QString() : anchorFile, true);
                QSqlQuery snapshot(db);
                if (!settings.isPostgreSQL() && snapshot.exec(QStringLiteral("BEGIN")))
                    snapshot.exec(QStringLiteral("select count(*) from sqlite_master"));
                anchors = AuditAnchors::current(AuditAnchors::read(anchorFile, &ok));
            }
            // Every write to this file recorded its head in its anchor file: the newest entry too.
            const bool anchoredTail = !settings.isPostgreSQL() && !anchors.isEmpty();
            anchors << AuditAnchors::carried(db) << extra;
            v = verify(db, anchors, anchoredTail);
            if (!settings.isPostgreSQL())
                QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            if (!ok && v.intact) {
                v.intact = false;
                v.readable = false;
                v.error = QStringLiteral("anchor file unreadable: %1").arg(AuditAnchors::pathForLocation(fileName));
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return v;
}

QString describe(const Verdict &v)
{
    using Failure = Verdict::Failure;
    const auto tr = [](const char *text) { return QCoreApplication::translate("AuditChain", text); };
    if (v.damaged)
        return tr("审计日志已损坏：读到第 %1 条记录后无法继续读取（%2）。").arg(v.entries).arg(v.error);
    if (v.failure == Failure::ChainRemoved)
        return tr("审计日志已被改动：此数据库的审计记录曾建立哈希链，哈希列现已不存在。");
    if (!v.readable)
        return tr("无法校验审计日志：%1").arg(v.error);
    if (v.intact)
        return tr("审计日志完整：共 %1 条记录，哈希链末条哈希 %2。").arg(v.entries).arg(v.lastHash)
            + (v.anchorsChecked > 0 ? tr("与 %1 个锚点一致。").arg(v.anchorsChecked) : QString());
    const Tool::Struct_AuditLog &e = v.brokenEntry;
    const QString entry = tr("该记录：%1 | %2 | %3 | %4").arg(e.Time, e.Operator, e.Type, e.Details);
    const QString anchor = QStringLiteral("%1:%2").arg(v.anchor.count).arg(v.anchor.hash);
    switch (v.failure) {
    case Failure::Anchor:
        return tr("审计日志已被改动：第 %1 条记录与锚点 %2（%3）不符（共 %4 条）。")
                   .arg(QString::number(v.brokenAt), anchor, v.anchor.where, QString::number(v.entries))
            + QLatin1Char('\n') + entry;
    case Failure::Unanchored:
        return tr("审计日志已被改动：第 %1 条记录（共 %2 条）在最新锚点 %3（%4）之后，没有写入时记录的锚点。")
                   .arg(QString::number(v.brokenAt), QString::number(v.entries), anchor, v.anchor.where)
            + QLatin1Char('\n') + entry;
    case Failure::Truncated:
        return tr("审计日志已被截短或清空：锚点 %1（%2）记录了 %3 条，表中只有 %4 条，第 %5 条起的记录缺失。")
            .arg(anchor, v.anchor.where, QString::number(v.anchor.count), QString::number(v.entries),
                 QString::number(v.brokenAt));
    default:
        return tr("审计日志已被改动：哈希链在第 %1 条记录处断开（共 %2 条）。").arg(v.brokenAt).arg(v.entries)
            + QLatin1Char('\n') + entry;
    }
}

bool wasChained(QSqlDatabase db)
{
    if (!Dialect::isPostgreSQL(db)) {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next() && q.value(0).toLongLong() >= ChainedVersion)
            return true;
    }
    return !AuditAnchors::read(AuditAnchors::pathFor(db)).isEmpty();
}

QString Head::text() const
{
    return valid ? QStringLiteral("%1:%2").arg(count).arg(hash) : QString();
}

Head head(QSqlDatabase db)
{
    Head h;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select count(*) from AuditLog")) || !q.next())
        return h;
    h.count = q.value(0).toLongLong();
    h.hash = lastHash(db);
    h.valid = h.count == 0 || !h.hash.isEmpty();
    return h;
}

bool upgrade(QSqlDatabase db, qint64 *chained, QString *error)
{
    if (chained)
        *chained = -1;
    const bool server = Dialect::isPostgreSQL(db);
    if (hasColumn(db)) {
        // Chained before the version was kept: say so now, so that losing the column is noticed.
        QSqlQuery version(db);
        if (!server && version.exec(QStringLiteral("PRAGMA user_version")) && version.next()
            && version.value(0).toLongLong() < ChainedVersion)
            version.exec(QStringLiteral("PRAGMA user_version = %1").arg(ChainedVersion));
        return true;
    }
    if (wasChained(db)) {
        if (chained)
            *chained = -2;
        return true;
    }
    const QString anchorFile = AuditAnchors::pathFor(db);
    const AuditAnchors::Lock lock(anchorFile);
    WriteTransaction tx(db);
    if (!tx.ok()) {
        fail(error, tx.error());
        return false;
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("ALTER TABLE AuditLog ADD COLUMN %1 TEXT").arg(column()))) {
        fail(error, q.lastError().text());
        return false;
    }
    struct Row
    {
        qint64 rowid;
        Tool::Struct_AuditLog entry;
    };
    QVector<Row> rows;
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select rowid, Time, Operator, Type, Details from AuditLog order by rowid"))) {
        fail(error, q.lastError().text());
        return false;
    }
    while (q.next())
        rows.push_back(Row{q.value(0).toLongLong(), entryFrom(q, 1)});
    q.finish();
    QSqlQuery update(db);
    if (!update.prepare(QStringLiteral("UPDATE AuditLog SET %1 = ? WHERE rowid = ?").arg(column()))) {
        fail(error, update.lastError().text());
        return false;
    }
    QString previous;
    for (const Row &row : rows) {
        previous = entryHash(previous, row.entry);
        update.addBindValue(previous);
        update.addBindValue(row.rowid);
        if (!update.exec()) {
            fail(error, update.lastError().text());
            return false;
        }
    }
    update.finish();
    if (!server && !q.exec(QStringLiteral("PRAGMA user_version = %1").arg(ChainedVersion))) {
        fail(error, q.lastError().text());
        return false;
    }
    if (!tx.commit()) {
        fail(error, tx.error());
        return false;
    }
    if (chained)
        *chained = rows.size();
    // The one migration is on record outside the table too.
    QString why;
    if (!anchorFile.isEmpty()
        && !AuditAnchors::append(anchorFile, {qint64(rows.size()), previous, QString::fromLatin1(AuditAnchors::migrateKind()), {}}, &why))
        qDebug().noquote() << "审计锚点写入失败！" << why;
    return true;
}

bool append(QSqlDatabase db, const QList<Tool::Struct_AuditLog> &entries, QString *error, const QString &anchorFile)
{
    const QString anchors = anchorFile.isEmpty() ? AuditAnchors::pathFor(db)
        : anchorFile == QLatin1String("-")       ? QString()
                                                  : anchorFile;
    // Taken before the database's write lock by every writer of the chain, so that the file's
    // lines follow the chain's order across processes.
    const AuditAnchors::Lock lock(anchors);
    WriteTransaction tx(db);
    if (!tx.ok()) {
        fail(error, tx.error());
        return false;
    }
    QString previous;
    {
        QSqlQuery tail(db);
        if (!tail.exec(QStringLiteral("select %1 from AuditLog order by rowid desc limit 1").arg(column()))) {
            fail(error, tail.lastError().text());
            return false;
        }
        if (tail.next())
            previous = tail.value(0).toString();
    }
    QSqlQuery insert(db);
    const QStringList columns = {QStringLiteral("Time"), QStringLiteral("Operator"), QStringLiteral("Type"),
                                 QStringLiteral("Details"), column()};
    if (!insert.prepare(QStringLiteral("insert into AuditLog (%1) values (?, ?, ?, ?, ?)")
                            .arg(columns.join(QStringLiteral(", "))))) {
        fail(error, insert.lastError().text());
        return false;
    }
    for (const Tool::Struct_AuditLog &entry : entries) {
        previous = entryHash(previous, entry);
        for (const QString &text : entry.values())
            insert.addBindValue(text.isNull() ? QStringLiteral("") : text);
        insert.addBindValue(previous);
        if (!insert.exec()) {
            fail(error, insert.lastError().text());
            return false;
        }
    }
    insert.finish();
    AuditAnchors::Anchor anchor{-1, previous, QString::fromLatin1(AuditAnchors::appendKind()), {}};
    if (!anchors.isEmpty()) {
        QSqlQuery count(db);
        if (count.exec(QStringLiteral("select count(*) from AuditLog")) && count.next())
            anchor.count = count.value(0).toLongLong();
    }
    if (!tx.commit()) {
        fail(error, tx.error());
        return false;
    }
    // After the commit: a head on record is a head the table holds. A failed write of the file
    // leaves the entry stored; the next write records a later head.
    QString why;
    if (anchor.count >= 0 && !AuditAnchors::append(anchors, anchor, &why))
        qDebug().noquote() << "审计锚点写入失败！" << why;
    return true;
}

bool append(QSqlDatabase db, const Tool::Struct_AuditLog &entry, QString *error)
{
    return append(db, QList<Tool::Struct_AuditLog>{entry}, error);
}

QString lastHash(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("select %1 from AuditLog order by rowid desc limit 1").arg(column())) && q.next())
        return q.value(0).toString();
    return QString();
}

} // namespace AuditChain
