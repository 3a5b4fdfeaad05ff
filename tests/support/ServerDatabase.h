#pragma once
// The store tests' second back end: ctest runs the "_pg" copies of a test executable with
// PCR_TEST_PG naming the env file of the private server (tests/support/pg-test-server.sh).
// Workspace::openDatabase() then opens a fresh database on that server instead of "PCR.db3".
// A test about the SQLite file itself says so with PCR_SQLITE_ONLY and is skipped there.

#include "store/DatabaseSettings.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

namespace ServerDatabase {

// Whether this run is the server run.
inline bool requested()
{
    return !qEnvironmentVariableIsEmpty("PCR_TEST_PG");
}

inline QString value(const QString &key)
{
    QFile f(qEnvironmentVariable("PCR_TEST_PG"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key.toLatin1() + '='))
            return QString::fromUtf8(line.mid(key.size() + 1)).trimmed();
    return QString();
}

// Why the server run cannot go on (no server binaries, no server), empty when it can.
inline QString unavailable()
{
    if (!requested())
        return QStringLiteral("not a server run");
    if (value(QStringLiteral("PCR_TEST_PG_MISSING")) == QLatin1String("1"))
        return QStringLiteral("PostgreSQL server binaries not installed (apt-get install postgresql); skipped");
    if (value(QStringLiteral("PCR_TEST_PG_PORT")).isEmpty())
        return QStringLiteral("the private PostgreSQL server was not started (run the tests through ctest)");
    return QString();
}

inline DatabaseSettings server(const QString &dbname)
{
    DatabaseSettings s;
    s.kind = DatabaseSettings::Kind::PostgreSQL;
    s.host = value(QStringLiteral("PCR_TEST_PG_HOST"));
    s.port = value(QStringLiteral("PCR_TEST_PG_PORT")).toInt();
    s.user = value(QStringLiteral("PCR_TEST_PG_USER"));
    s.dbname = dbname;
    return s;
}

// Runs one statement on the server's maintenance database.
inline bool admin(const QString &statement, QString *error = nullptr)
{
    const QString name = QStringLiteral("tst-pg-admin");
    bool ok = false;
    {
        const DatabaseSettings s = server(QStringLiteral("postgres"));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(s.host);
        db.setPort(s.port);
        db.setUserName(s.user);
        db.setDatabaseName(s.dbname);
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(statement);
            if (!ok && error)
                *error = q.lastError().text();
        } else if (error) {
            *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

// A new empty database on the server, named after the process and a counter.
inline DatabaseSettings create(QString *error = nullptr)
{
    static QAtomicInt next;
    const QString dbname = QStringLiteral("pcrtest_%1_%2").arg(QCoreApplication::applicationPid()).arg(next.fetchAndAddRelaxed(1));
    admin(QStringLiteral("drop database if exists %1").arg(dbname));
    if (!admin(QStringLiteral("create database %1").arg(dbname), error))
        return DatabaseSettings();
    return server(dbname);
}

} // namespace ServerDatabase

// For a test about the SQLite file itself (its pragmas, companions, copies, a damaged file).
#define PCR_SQLITE_ONLY()                                                                          \
    do {                                                                                           \
        if (ServerDatabase::requested())                                                           \
            QSKIP("about the SQLite file; not run on the server");                                 \
    } while (false)

// At the start of a test class that runs on both back ends (initTestCase).
#define PCR_SERVER_RUN_CHECK()                                                                     \
    do {                                                                                           \
        if (ServerDatabase::requested() && !ServerDatabase::unavailable().isEmpty())               \
            QSKIP(qPrintable(ServerDatabase::unavailable()));                                      \
    } while (false)
