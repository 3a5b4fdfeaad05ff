#include "store/runrecords.h"

#include "store/ThreadConnection.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>

namespace RunRecords {

const char *const TableName = "CalibrationRunState";

namespace {

bool exec(QSqlQuery &q, const QString &sql, const QVariantList &values)
{
    if (!q.prepare(sql)) {
        qDebug().noquote() << "SQL:" << q.lastError().text() << sql;
        return false;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        qDebug().noquote() << "SQL:" << q.lastError().text() << sql;
        return false;
    }
    return true;
}

QString table()
{
    return QLatin1String(TableName);
}

} // namespace

QStringList columns()
{
    return {QStringLiteral("CalibrationName"), QStringLiteral("State"), QStringLiteral("Time")};
}

QString runningWord()
{
    return QStringLiteral("进行中");
}

QString interruptedWord()
{
    return QStringLiteral("已中断");
}

bool begin(const Tool::Struct_Calibration &project)
{
    QSqlDatabase db = ThreadConnection::current();
    if (!db.transaction())
        return false;
    QSqlQuery q(db);
    const bool ok = Tool::addCalibration(project)
        && exec(q, QStringLiteral("insert into %1 values (?, ?, ?)").arg(table()),
                {project.CalibrationName, runningWord(), QDateTime::currentDateTime().toString(Tool::TimeFormat)});
    q.finish();
    if (ok && db.commit())
        return true;
    db.rollback();
    return false;
}

bool complete(const QString &name)
{
    QSqlQuery q(ThreadConnection::current());
    return exec(q, QStringLiteral("delete from %1 where CalibrationName = ?").arg(table()), {name});
}

bool remove(const QString &name)
{
    return Tool::deleteCalibration(name) && complete(name);
}

int markInterrupted()
{
    QSqlQuery q(ThreadConnection::current());
    if (!exec(q, QStringLiteral("update %1 set State = ? where State = ?").arg(table()), {interruptedWord(), runningWord()}))
        return -1;
    const int n = q.numRowsAffected();
    if (n > 0)
        qDebug().noquote() << QStringLiteral("发现%1个中断的校准运行。").arg(n);
    return n;
}

bool states(QHash<QString, QString> &byName)
{
    QSqlQuery q(ThreadConnection::current());
    q.setForwardOnly(true);
    if (!exec(q, QStringLiteral("select CalibrationName, State from %1").arg(table()), {}))
        return false;
    QHash<QString, QString> out;
    while (q.next())
        out.insert(q.value(0).toString(), q.value(1).toString());
    if (q.lastError().isValid())
        return false;
    byName.swap(out);
    return true;
}

QString displayState(const QString &word)
{
    if (word == runningWord())
        return QCoreApplication::translate("RunRecords", "运行中");
    if (word == interruptedWord())
        return QCoreApplication::translate("RunRecords", "运行中断");
    return QString();
}

} // namespace RunRecords
