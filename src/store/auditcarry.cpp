#include "store/auditcarry.h"

#include "store/auditchain.h"
#include "store/safeguards.h"

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

bool carry(const QString &liveFile, const QString &restoredFile, const QString &operatorName, int *carried,
           QString *error)
{
    if (carried)
        *carried = 0;
    const Connection restored(restoredFile, false);
    if (!restored.isOpen())
        return fail(error, restored.error());
    // The backup's own newest entry, before bringing it up to date adds entries of today.
    Tool::Struct_AuditLog last;
    bool hasLast = false;
    if (!newestEntry(restored.db(), &last, &hasLast, error))
        return false;
    if (!Safeguards::apply(restored.db(), operatorName, nullptr, error))
        return false;

    QList<Tool::Struct_AuditLog> newer;
    if (QFileInfo(liveFile).isFile()) {
        const Connection live(liveFile, true);
        if (!live.isOpen())
            return fail(error, live.error());
        QSqlQuery q(live.db());
        q.setForwardOnly(true);
        const QString columns = QStringLiteral("select Time, Operator, Type, Details from AuditLog ");
        bool ok = true;
        if (!hasLast) {
            ok = q.exec(columns + QStringLiteral("order by rowid"));
        } else {
            QSqlQuery same(live.db());
            same.prepare(QStringLiteral("select max(rowid) from AuditLog "
                                        "where Time = ? and Operator = ? and Type = ? and Details = ?"));
            for (const QString &v : last.values())
                same.addBindValue(v);
            if (!same.exec() || !same.next())
                return fail(error, same.lastError().text());
            const QVariant at = same.value(0);
            if (!at.isNull()) {
                q.prepare(columns + QStringLiteral("where rowid > ? order by rowid"));
                q.addBindValue(at.toLongLong());
            } else {
                q.prepare(columns + QStringLiteral("where Time > ? order by rowid"));
                q.addBindValue(last.Time);
            }
            ok = q.exec();
        }
        if (!ok)
            return fail(error, q.lastError().text());
        while (q.next())
            newer << entryAt(q, 0);
    }
    if (!newer.isEmpty() && !AuditChain::append(restored.db(), newer, error))
        return false;
    if (carried)
        *carried = newer.size();
    return true;
}

} // namespace AuditCarry
