#include "store/runrecords.h"

#include "store/boundquery.h"
#include "store/ThreadConnection.h"
#include "store/dialect.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RunRecords {

const char *const TableName = "CalibrationRunState";

namespace {

using BoundQuery::exec;

// --- leases --------------------------------------------------------------------------------

QByteArray digest(const QString &name)
{
    return QCryptographicHash::hash(QByteArrayLiteral("PCR run:") + name.toUtf8(), QCryptographicHash::Sha1);
}

bool onServer()
{
    return Dialect::isPostgreSQL(ThreadConnection::current());
}

// The lock file of a run on a file database, beside it.
QByteArray lockFile(const QString &name)
{
    const QFileInfo db(Tool::databaseFileName());
    return QFile::encodeName(db.absolutePath() + QStringLiteral("/.") + db.fileName() + QStringLiteral(".run-")
                             + QString::fromLatin1(digest(name).toHex().left(20)) + QStringLiteral(".lock"));
}

// The advisory lock key of a run on the server.
qint64 lockKey(const QString &name)
{
    return qFromBigEndian<qint64>(digest(name).constData());
}

// The leases this process holds: the lock file's descriptor (-1 on a server), by run name.
QMutex leaseMutex;
QHash<QString, int> &held()
{
    static QHash<QString, int> leases;
    return leases;
}

bool serverLock(const char *function, const QString &name)
{
    QSqlQuery q(ThreadConnection::current());
    return exec(q, QStringLiteral("select %1(?)").arg(QLatin1String(function)), {lockKey(name)}) && q.next()
        && q.value(0).toBool();
}

bool takeLease(const QString &name)
{
    QMutexLocker lock(&leaseMutex);
    if (held().contains(name))
        return false;
    if (onServer()) {
        if (!serverLock("pg_try_advisory_lock", name))
            return false;
        held().insert(name, -1);
        return true;
    }
    const QByteArray path = lockFile(name);
    // A prober that found the owner gone removes the file; a lock on a file no longer in place
    // is no lease, so it is taken again on the file that is.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            qDebug().noquote() << "运行锁无法创建：" << QFile::decodeName(path) << strerror(errno);
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        struct stat mine, there;
        if (::fstat(fd, &mine) == 0 && ::stat(path.constData(), &there) == 0 && mine.st_ino == there.st_ino
            && mine.st_dev == there.st_dev) {
            held().insert(name, fd);
            return true;
        }
        ::close(fd);
    }
    return false;
}

void releaseLease(const QString &name)
{
    QMutexLocker lock(&leaseMutex);
    const auto it = held().find(name);
    if (it == held().end())
        return;
    if (it.value() < 0) {
        serverLock("pg_advisory_unlock", name);
    } else {
        ::unlink(lockFile(name).constData());
        ::close(it.value());
    }
    held().erase(it);
}

// Whether someone holds the lease of name now. A lock file left by an owner that is gone is
// removed on the way.
bool leaseHeld(const QString &name)
{
    QMutexLocker lock(&leaseMutex);
    if (held().contains(name))
        return true;
    if (onServer()) {
        // Taken at once, it was free: given back.
        if (!serverLock("pg_try_advisory_lock", name))
            return true;
        serverLock("pg_advisory_unlock", name);
        return false;
    }
    const QByteArray path = lockFile(name);
    // Read-only is enough to test a lock, also on another user's file.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (free)
        ::unlink(path.constData());
    ::close(fd);
    return !free;
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
    if (!takeLease(project.CalibrationName))
        return false;
    if (!db.transaction()) {
        releaseLease(project.CalibrationName);
        return false;
    }
    QSqlQuery q(db);
    const bool ok = Tool::addCalibration(project)
        && exec(q, QStringLiteral("insert into %1 values (?, ?, ?)").arg(table()),
                {project.CalibrationName, runningWord(), QDateTime::currentDateTime().toString(Tool::TimeFormat)});
    q.finish();
    if (ok && db.commit())
        return true;
    db.rollback();
    releaseLease(project.CalibrationName);
    return false;
}

bool complete(const QString &name)
{
    QSqlQuery q(ThreadConnection::current());
    const bool ok = exec(q, QStringLiteral("delete from %1 where CalibrationName = ?").arg(table()), {name});
    // Given up even when the mark stays: the mark then reads as a cut-off run.
    releaseLease(name);
    return ok;
}

bool remove(const QString &name)
{
    const bool ok = Tool::deleteCalibration(name) && complete(name);
    releaseLease(name);
    return ok;
}

int markInterrupted()
{
    QHash<QString, QString> byName;
    if (!states(byName))
        return -1;
    int n = 0;
    for (auto it = byName.cbegin(); it != byName.cend(); ++it) {
        if (it.value() != runningWord() || leaseHeld(it.key()))
            continue;
        QSqlQuery q(ThreadConnection::current());
        if (!exec(q, QStringLiteral("update %1 set State = ? where CalibrationName = ? and State = ?").arg(table()),
                  {interruptedWord(), it.key(), runningWord()}))
            return -1;
        n += qMax(0, q.numRowsAffected());
    }
    if (n > 0)
        qDebug().noquote() << QStringLiteral("发现%1个中断的校准运行。").arg(n);
    return n;
}

bool isLive(const QString &name)
{
    QHash<QString, QString> byName;
    // Unknown is not live: a database that cannot say refuses the export on its own.
    return states(byName) && byName.value(name) == runningWord() && leaseHeld(name);
}

QString liveRefusal(const QString &name)
{
    return QCoreApplication::translate("RunRecords", "项目“%1”正在校准中（运行尚未结束），不能导出或删除；请在运行结束后再试。")
        .arg(name);
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
