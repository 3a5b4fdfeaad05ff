#include "store/SampleWriter.h"

#include "store/ThreadConnection.h"
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
    QSqlQuery settings(db);
    if (!settings.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(qMax(0, busyTimeoutMs)))
        || !settings.exec(QStringLiteral("PRAGMA synchronous = NORMAL"))) {
        lastError = QStringLiteral("open: %1").arg(settings.lastError().text());
        return false;
    }
    const auto prepared = [&](std::unique_ptr<QSqlQuery> &query, const QString &sql) {
        query = std::make_unique<QSqlQuery>(db);
        query->setForwardOnly(true);
        if (query->prepare(sql))
            return true;
        lastError = QStringLiteral("prepare: %1").arg(query->lastError().text());
        return false;
    };
    const Schema::Table *table = Schema::table(QStringLiteral("CalibrationData"));
    QStringList marks;
    for (int i = 0; i < table->columns.size(); ++i)
        marks << QStringLiteral("?");
    if (!prepared(begin, QStringLiteral("BEGIN IMMEDIATE"))
        || !prepared(insert, QStringLiteral("insert into CalibrationData (%1) values (%2)")
                                 .arg(table->columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))))
        || !prepared(commit, QStringLiteral("COMMIT")) || !prepared(rollback, QStringLiteral("ROLLBACK")))
        return false;

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
    rollback->exec();
    return writable;
}

bool SampleWriter::isOpen() const
{
    return insert != nullptr;
}

void SampleWriter::close()
{
    begin.reset();
    insert.reset();
    commit.reset();
    rollback.reset();
    connection.reset();
}

bool SampleWriter::exec(QSqlQuery &query, const char *what)
{
    lastBusy = false;
    if (query.exec())
        return true;
    const QSqlError error = query.lastError();
    lastError = QStringLiteral("%1: %2").arg(QLatin1String(what), error.text());
    // SQLITE_BUSY, SQLITE_LOCKED and their extended codes.
    const int code = error.nativeErrorCode().toInt();
    lastBusy = (code & 0xff) == 5 || (code & 0xff) == 6;
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
            const bool wasBusy = lastBusy;
            insert->finish();
            rollback->exec();
            lastBusy = wasBusy;
            return false;
        }
    }
    insert->finish();
    if (!exec(*commit, "commit")) {
        const bool wasBusy = lastBusy;
        rollback->exec();
        lastBusy = wasBusy;
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
