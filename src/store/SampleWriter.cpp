#include "store/SampleWriter.h"

#include "store/ThreadConnection.h"
#include "store/dialect.h"
#include "store/schema.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// A null text would be stored as NULL; samples hold texts, the empty one included.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

} // namespace

SampleWriter::SampleWriter() = default;

SampleWriter::~SampleWriter()
{
    close();
}

bool SampleWriter::open(const QString &databaseFile, int busyTimeoutMs)
{
    close();
    lastError.clear();
    connection = std::make_unique<ThreadConnection>(databaseFile);
    if (!connection->isOpen()) {
        lastError = QStringLiteral("open: %1").arg(connection->errorString());
        close();
        return false;
    }
    if (!prepare(busyTimeoutMs)) {
        const QString why = lastError;
        close();
        lastError = why;
        return false;
    }
    return true;
}

bool SampleWriter::prepare(int busyTimeoutMs)
{
    QSqlDatabase db = connection->database();
    const bool server = Dialect::isPostgreSQL(db);
    QSqlQuery settings(db);
    if (!server
        && (!settings.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(qMax(0, busyTimeoutMs)))
            || !settings.exec(QStringLiteral("PRAGMA synchronous = NORMAL")))) {
        lastError = QStringLiteral("open: %1").arg(settings.lastError().text());
        return false;
    }
    const auto prepared = [&](std::unique_ptr<QSqlQuery> &query, const QString &sql) {
        query = std::make_unique<QSqlQuery>(db);
        query->setForwardOnly(true);
        // The server prepares no transaction statements: those are sent as they are.
        if (server && !sql.startsWith(QLatin1String("insert"))) {
            unprepared.insert(query.get(), sql);
            return true;
        }
        if (query->prepare(sql))
            return true;
        lastError = QStringLiteral("prepare: %1").arg(query->lastError().text());
        return false;
    };
    const Schema::Table *table = Schema::table(QStringLiteral("CalibrationData"));
    QStringList marks;
    for (int i = 0; i < table->columns.size(); ++i)
        marks << QStringLiteral("?");
    if (!prepared(begin, Dialect::beginWrite(db))
        || !prepared(insert, QStringLiteral("insert into CalibrationData (%1) values (%2)")
                                 .arg(table->columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))))
        || !prepared(commit, QStringLiteral("COMMIT")) || !prepared(rollback, QStringLiteral("ROLLBACK")))
        return false;

    // On the server a read-only account shows at the first insert: the insert is tried and
    // rolled back.
    if (server)
        return probeServerWrite(db);
    // A read-only file opens without complaint, and even takes the write lock; a write tells.
    // The header's user version is written back unchanged and the transaction rolled back.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("PRAGMA user_version")) || !probe.next()) {
        lastError = QStringLiteral("open: %1").arg(probe.lastError().text());
        return false;
    }
    const QString rewrite = QStringLiteral("PRAGMA user_version = %1").arg(probe.value(0).toLongLong());
    probe.finish();
    if (!exec(*begin, "open"))
        return false;
    const bool writable = probe.exec(rewrite);
    if (!writable)
        lastError = QStringLiteral("open: %1").arg(probe.lastError().text());
    rollbackQuietly();
    return writable;
}

bool SampleWriter::probeServerWrite(QSqlDatabase db)
{
    if (!exec(*begin, "open"))
        return false;
    const auto &fields = Tool::Struct_CalibrationData::fields();
    for (int column = 0; column < int(fields.size()); ++column)
        insert->bindValue(column, QStringLiteral(""));
    const bool writable = exec(*insert, "open");
    insert->finish();
    rollbackQuietly();
    Q_UNUSED(db)
    return writable;
}

bool SampleWriter::isOpen() const
{
    return insert != nullptr;
}

void SampleWriter::close()
{
    unprepared.clear();
    begin.reset();
    insert.reset();
    commit.reset();
    rollback.reset();
    connection.reset();
}

// Ends a failed transaction; what failed before stays the error.
void SampleWriter::rollbackQuietly()
{
    const QString why = lastError;
    exec(*rollback, "rollback");
    lastError = why;
}

bool SampleWriter::exec(QSqlQuery &query, const char *what)
{
    const auto text = unprepared.constFind(&query);
    if (text != unprepared.constEnd() ? query.exec(*text) : query.exec())
        return true;
    lastError = QStringLiteral("%1: %2").arg(QLatin1String(what), query.lastError().text());
    return false;
}

bool SampleWriter::write(const std::vector<Tool::Struct_CalibrationData> &rows)
{
    if (!insert) {
        lastError = QStringLiteral("not open");
        return false;
    }
    if (rows.empty())
        return true;
    if (!exec(*begin, "begin"))
        return false;
    const auto &fields = Tool::Struct_CalibrationData::fields();
    for (const Tool::Struct_CalibrationData &row : rows) {
        int column = 0;
        for (const auto &field : fields)
            insert->bindValue(column++, text(row.*(field.second)));
        if (!exec(*insert, "insert")) {
            insert->finish();
            rollbackQuietly();
            return false;
        }
    }
    insert->finish();
    if (!exec(*commit, "commit")) {
        rollbackQuietly();
        return false;
    }
    return true;
}

bool SampleWriter::discard(const QString &projectName)
{
    if (!insert) {
        lastError = QStringLiteral("not open");
        return false;
    }
    QSqlQuery remove(connection->database());
    remove.prepare(QStringLiteral("delete from CalibrationData where Name = ?"));
    remove.addBindValue(text(projectName));
    if (!exec(remove, "discard"))
        return false;
    qDebug().noquote() << QStringLiteral("删除校准数据：%1").arg(projectName);
    return true;
}
