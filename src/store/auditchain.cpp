#include "store/auditchain.h"

#include "store/DatabaseSettings.h"
#include "store/databasefile.h"
#include "store/dialect.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

namespace AuditChain {
namespace {

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

Verdict verify(QSqlDatabase db)
{
    Verdict v;
    if (!hasColumn(db)) {
        v.error = QStringLiteral("AuditLog has no column %1").arg(column());
        return v;
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select Time, Operator, Type, Details, Hash from AuditLog order by rowid"))) {
        v.error = q.lastError().text();
        return v;
    }
    Verifier verifier;
    while (q.next())
        verifier.add(entryFrom(q, 0), q.value(4).toString());
    v.readable = true;
    v.intact = verifier.intact();
    v.entries = verifier.count();
    v.brokenAt = verifier.brokenAt();
    v.brokenEntry = verifier.brokenEntry();
    v.lastHash = verifier.lastHash();
    return v;
}

Verdict verifyFile(const QString &fileName)
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
        else
            v = verify(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return v;
}

QString describe(const Verdict &v)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("AuditChain", text); };
    if (!v.readable)
        return tr("无法校验审计日志：%1").arg(v.error);
    if (v.intact)
        return tr("审计日志完整：共 %1 条记录，哈希链末条哈希 %2。").arg(v.entries).arg(v.lastHash);
    const Tool::Struct_AuditLog &e = v.brokenEntry;
    return tr("审计日志已被改动：哈希链在第 %1 条记录处断开（共 %2 条）。").arg(v.brokenAt).arg(v.entries)
        + QLatin1Char('\n') + tr("该记录：%1 | %2 | %3 | %4").arg(e.Time, e.Operator, e.Type, e.Details);
}

bool upgrade(QSqlDatabase db, qint64 *chained, QString *error)
{
    if (chained)
        *chained = -1;
    if (hasColumn(db))
        return true;
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
    if (!tx.commit()) {
        fail(error, tx.error());
        return false;
    }
    if (chained)
        *chained = rows.size();
    return true;
}

bool append(QSqlDatabase db, const QList<Tool::Struct_AuditLog> &entries, QString *error)
{
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
    if (!tx.commit()) {
        fail(error, tx.error());
        return false;
    }
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
