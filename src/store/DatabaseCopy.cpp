#include "store/DatabaseCopy.h"

#include "store/auditchain.h"
#include "store/certificates.h"
#include "store/dialect.h"
#include "store/schema.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace DatabaseCopy {
namespace {

// A private connection, removed again when it goes.
class Connection
{
public:
    Connection(const DatabaseSettings &settings, bool readOnly)
    {
        static QAtomicInt next;
        m_name = QStringLiteral("pcr-copy-%1").arg(next.fetchAndAddRelaxed(1));
        QSqlDatabase db = Dialect::addConnection(settings, m_name);
        if (readOnly && !settings.isPostgreSQL())
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            m_error = db.lastError().text();
    }
    ~Connection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen())
                db.rollback();
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    QString error() const { return m_error; }

private:
    QString m_name;
    QString m_error;
};

Status failed(Report *report, Status status, const QString &why)
{
    report->error = why;
    return status;
}

qint64 count(const QSqlDatabase &db, const QString &table)
{
    QSqlQuery q(db);
    return q.exec(QStringLiteral("select count(*) from %1").arg(table)) && q.next() ? q.value(0).toLongLong() : -1;
}

std::vector<Schema::Table> allTables()
{
    std::vector<Schema::Table> all = Schema::tables();
    all.insert(all.end(), Schema::addedTables().begin(), Schema::addedTables().end());
    return all;
}

} // namespace

Status copy(const DatabaseSettings &from, const DatabaseSettings &to, Report *report,
            const std::function<void(const QString &, qint64)> &progress)
{
    Report scratch;
    if (!report)
        report = &scratch;
    *report = Report();
    if (from == to)
        return failed(report, Status::SourceUnreadable, QStringLiteral("source and target are the same database"));
    if (!from.isPostgreSQL() && !QFileInfo(from.file).isFile())
        return failed(report, Status::SourceUnreadable, QStringLiteral("no such file: %1").arg(from.file));

    Connection source(from, true);
    if (!source.error().isEmpty())
        return failed(report, Status::SourceUnreadable, source.error());
    bool read = false;
    QString why;
    QSet<QString> sourceTables;
    for (const QString &name : Dialect::tableNames(source.db(), &read, &why))
        sourceTables.insert(name.toLower());
    if (!read)
        return failed(report, Status::SourceUnreadable, why);
    for (const Schema::Table &t : Schema::tables())
        if (!sourceTables.contains(t.name.toLower()))
            return failed(report, Status::SourceUnreadable,
                          QStringLiteral("not a database of this program: table %1 missing").arg(t.name));
    // A trail that lost its chain is not chained afresh on the way (that would hide the edits).
    if (!AuditChain::hasColumn(source.db()) && AuditChain::wasChained(source.db()))
        return failed(report, Status::SourceUnreadable,
                      QStringLiteral("the audit trail's hash column was removed from a chained database"));

    Connection target(to, false);
    if (!target.error().isEmpty())
        return failed(report, Status::TargetUnreachable, target.error());
    QSqlDatabase out = target.db();
    bool madeSchema = true;   // the target had none of our tables: a failed copy takes them away again
    {
        QSet<QString> present;
        for (const QString &name : Dialect::tableNames(out, &read, &why))
            present.insert(name.toLower());
        if (!read)
            return failed(report, Status::TargetUnreachable, why);
        for (const Schema::Table &t : allTables()) {
            if (!present.contains(t.name.toLower()))
                continue;
            madeSchema = false;
            const qint64 rows = count(out, t.name);
            if (rows != 0)
                return failed(report, Status::TargetNotEmpty,
                              rows < 0 ? QStringLiteral("table %1 cannot be read").arg(t.name)
                                       : QStringLiteral("table %1 already holds %2 rows").arg(t.name).arg(rows));
        }
    }
    if (!Schema::ensure(out, &why, false))
        return failed(report, Status::TargetUnreachable, why);
    // Tables without an account would open as a database nobody can log in to.
    const auto undo = [&out, madeSchema] {
        out.rollback();
        if (!madeSchema)
            return;
        QSqlQuery drop(out);
        for (const Schema::Table &t : allTables())
            drop.exec(QStringLiteral("drop table if exists %1").arg(t.name));
        drop.exec(QStringLiteral("drop table if exists CertificateNumber"));
    };
    const auto failedCopy = [&](Status status, const QString &reason) {
        undo();
        return failed(report, status, reason);
    };

    if (!out.transaction())
        return failedCopy(Status::TargetUnreachable, out.lastError().text());
    for (const Schema::Table &t : allTables()) {
        if (!sourceTables.contains(t.name.toLower()))
            continue;   // an older file without a table that came later
        QSqlQuery in(source.db());
        in.setForwardOnly(true);
        if (!in.exec(QStringLiteral("select * from %1 order by rowid").arg(t.name)))
            return failedCopy(Status::SourceUnreadable, in.lastError().text());
        const QVector<int> columns = Dialect::visibleColumns(in.record());
        const int n = qMin(columns.size(), t.columns.size());
        // An older trail without hashes is chained here, as opening it would.
        const bool chain = t.name == QLatin1String("AuditLog") && n < t.columns.size();
        const int written = chain ? t.columns.size() : n;
        QStringList marks;
        for (int i = 0; i < written; ++i)
            marks << QStringLiteral("?");
        QSqlQuery insert(out);
        if (!insert.prepare(QStringLiteral("insert into %1 (%2) values (%3)")
                                .arg(t.name, t.columns.mid(0, written).join(QStringLiteral(", ")), marks.join(QLatin1Char(',')))))
            return failedCopy(Status::CopyFailed, insert.lastError().text());
        qint64 rows = 0;
        QString previous;
        while (in.next()) {
            for (int i = 0; i < n; ++i)
                insert.bindValue(i, in.value(columns.at(i)));
            if (chain) {
                const Tool::Struct_AuditLog entry{in.value(columns.value(0)).toString(), in.value(columns.value(1)).toString(),
                                                  in.value(columns.value(2)).toString(), in.value(columns.value(3)).toString()};
                previous = AuditChain::entryHash(previous, entry);
                for (int i = n; i < written - 1; ++i)
                    insert.bindValue(i, QString());
                insert.bindValue(written - 1, previous);
            }
            if (!insert.exec())
                return failedCopy(Status::CopyFailed,
                              QStringLiteral("%1, row %2: %3").arg(t.name).arg(rows + 1).arg(insert.lastError().text()));
            if (++rows % 2000 == 0 && progress)
                progress(t.name, rows);
        }
        if (progress)
            progress(t.name, rows);
        const qint64 inSource = count(source.db(), t.name);
        const qint64 inTarget = count(out, t.name);
        if (inSource != rows || inTarget != rows)
            return failedCopy(Status::CopyFailed,
                          QStringLiteral("%1: %2 rows in the source, %3 read, %4 in the target")
                              .arg(t.name).arg(inSource).arg(rows).arg(inTarget));
        report->rows.append({t.name, rows});
    }
    // Tables made on first use, copied by their column names: certificate numbers.
    if (sourceTables.contains(QStringLiteral("certificatenumber"))) {
        const QString table = QStringLiteral("CertificateNumber");
        if (!Certificates::ensureTable(out, &why))
            return failedCopy(Status::CopyFailed, why);
        const QStringList columns = Dialect::columnNames(source.db(), table, &read, &why);
        if (!read)
            return failedCopy(Status::SourceUnreadable, why);
        QSqlQuery in(source.db());
        in.setForwardOnly(true);
        if (!in.exec(QStringLiteral("select %1 from %2").arg(columns.join(QStringLiteral(", ")), table)))
            return failedCopy(Status::SourceUnreadable, in.lastError().text());
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        QSqlQuery insert(out);
        if (!insert.prepare(QStringLiteral("insert into %1 (%2) values (%3)")
                                .arg(table, columns.join(QStringLiteral(", ")), marks.join(QLatin1Char(',')))))
            return failedCopy(Status::CopyFailed, insert.lastError().text());
        qint64 rows = 0;
        while (in.next()) {
            for (int i = 0; i < columns.size(); ++i)
                insert.bindValue(i, in.value(i));
            if (!insert.exec())
                return failedCopy(Status::CopyFailed,
                                  QStringLiteral("%1, row %2: %3").arg(table).arg(rows + 1).arg(insert.lastError().text()));
            ++rows;
        }
        if (count(source.db(), table) != rows || count(out, table) != rows)
            return failedCopy(Status::CopyFailed, QStringLiteral("%1: row counts differ").arg(table));
        report->rows.append({table, rows});
    }
    if (!out.commit())
        return failedCopy(Status::CopyFailed, out.lastError().text());
    return Status::Done;
}

} // namespace DatabaseCopy
