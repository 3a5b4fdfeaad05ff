#include "store/probepoints.h"

#include "store/boundquery.h"
#include "store/ThreadConnection.h"
#include "store/dialect.h"
#include "store/tool.h"

#include <QDateTime>
#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace ProbePoints {

const char *const RunTableName = "ProbeCalibrationRun";
const char *const PointTableName = "ProbeCalibrationPoint";

namespace {

const QString Open = QStringLiteral("进行中");
const QString Closed = QStringLiteral("已结束");

using BoundQuery::exec;

QString runs()
{
    return QLatin1String(RunTableName);
}

QString points()
{
    return QLatin1String(PointTableName);
}

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

// Runs `work` in a transaction of the calling thread's connection: committed when it succeeds,
// rolled back otherwise.
template<class F> bool inTransaction(F work)
{
    QSqlDatabase db = ThreadConnection::current();
    if (!db.transaction()) {
        qDebug().noquote() << "SQL:" << db.lastError().text();
        return false;
    }
    bool ok = false;
    {
        QSqlQuery q(db);
        ok = work(q);
    }
    if (ok && db.commit())
        return true;
    db.rollback();
    return false;
}

} // namespace

QStringList runColumns()
{
    return {QStringLiteral("RunId"),   QStringLiteral("ProbeSet"), QStringLiteral("Mode"),  QStringLiteral("Plan"),
            QStringLiteral("Started"), QStringLiteral("Operator"), QStringLiteral("State")};
}

QStringList pointColumns()
{
    return {QStringLiteral("RunId"),     QStringLiteral("Point"),    QStringLiteral("SetTemperature"),
            QStringLiteral("Reference"), QStringLiteral("Readings"), QStringLiteral("ReferenceInstrument"),
            QStringLiteral("Operator"),  QStringLiteral("Time")};
}

QString calibrationWord()
{
    return QStringLiteral("校准");
}

QString verificationWord()
{
    return QStringLiteral("验证");
}

bool openRun(const QString &probeSet, const QString &mode, Run &run, bool *found)
{
    *found = false;
    QSqlQuery q(ThreadConnection::current());
    q.setForwardOnly(true);
    if (!exec(q,
              QStringLiteral("select RunId, ProbeSet, Mode, Plan, Started, Operator from %1 "
                             "where ProbeSet = ? and Mode = ? and State = ? order by Started desc")
                  .arg(runs()),
              {probeSet, mode, Open}))
        return false;
    Run r;
    if (!q.next())
        return !q.lastError().isValid();
    r.id = q.value(0).toString();
    r.probeSet = q.value(1).toString();
    r.mode = q.value(2).toString();
    r.plan = q.value(3).toString();
    r.started = q.value(4).toString();
    r.operatorName = q.value(5).toString();
    q.finish();
    if (!exec(q,
              QStringLiteral("select Point, SetTemperature, Reference, Readings, ReferenceInstrument, Operator, Time "
                             "from %1 where RunId = ?")
                  .arg(points()),
              {r.id}))
        return false;
    while (q.next()) {
        Point p;
        p.index = q.value(0).toInt();
        p.setTemperature = q.value(1).toString();
        p.reference = q.value(2).toString();
        p.readings = q.value(3).toString().split(QLatin1Char(','));
        p.instrument = q.value(4).toString();
        p.operatorName = q.value(5).toString();
        p.time = q.value(6).toString();
        r.points << p;
    }
    if (q.lastError().isValid())
        return false;
    std::sort(r.points.begin(), r.points.end(), [](const Point &a, const Point &b) { return a.index < b.index; });
    run = r;
    *found = true;
    return true;
}

bool beginRun(const QString &probeSet, const QString &mode, const QString &plan, QString *runId)
{
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const bool ok = inTransaction([&](QSqlQuery &q) {
        QSqlDatabase db = ThreadConnection::current();
        return exec(q, QStringLiteral("update %1 set State = ? where ProbeSet = ? and Mode = ? and State = ?").arg(runs()),
                    {Closed, probeSet, mode, Open})
            && exec(q, Dialect::insertInto(db, runs(), runColumns()),
                    {id, probeSet, mode, plan, now(), Tool::CurrentUser.Name, Open});
    });
    if (ok && runId)
        *runId = id;
    return ok;
}

bool storePoint(const QString &runId, const Point &point, const QString &auditText)
{
    return inTransaction([&](QSqlQuery &q) {
        QSqlDatabase db = ThreadConnection::current();
        return exec(q, QStringLiteral("delete from %1 where RunId = ? and Point = ?").arg(points()), {runId, point.index})
            && exec(q, Dialect::insertInto(db, points(), pointColumns()),
                    {runId, point.index, point.setTemperature, point.reference, point.readings.join(QLatin1Char(',')),
                     point.instrument, point.operatorName, point.time})
            // Inside this transaction: the entry is written with the point or not at all.
            && Tool::SaveAuditLog(AuditEvent::StandardizerCalibrate, auditText);
    });
}

} // namespace ProbePoints
