#pragma once
// A temporary workspace folder used as the working directory, as the program's workspace is.

#include "ServerDatabase.h"
#include "store/tool.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

class Workspace
{
public:
    Workspace() : m_old(QDir::currentPath())
    {
        QDir::setCurrent(m_dir.path());
        Tool::CurrentUser = Tool::Struct_UesrManagement();
    }
    ~Workspace()
    {
        Tool::closeDatabase();
        QDir::setCurrent(m_old);
        // Each copies the server's template: dropped, a run does not leave gigabytes behind.
        if (m_server.isPostgreSQL())
            ServerDatabase::admin(QStringLiteral("drop database if exists %1 with (force)").arg(m_server.dbname));
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    bool isValid() const { return m_dir.isValid(); }
    // Opens "PCR.db3" here as the program does (a new file gets the schema and the initial
    // account); false when the folder or the database cannot be had. In the server run, a
    // database of this workspace's own on the private server, named in its config.ini.
    bool openDatabase() const
    {
        if (!isValid())
            return false;
        if (!ServerDatabase::requested())
            return Tool::openDatabase();
        if (!m_server.isPostgreSQL()) {
            m_server = ServerDatabase::create();
            if (!m_server.isPostgreSQL() || !m_server.write(path(Tool::ConfigFileName)))
                return false;
        }
        return Tool::openDatabase(m_server);
    }
    // The database openDatabase() opens: "PCR.db3" here, or this workspace's on the server.
    DatabaseSettings databaseSettings() const
    {
        if (m_server.isPostgreSQL())
            return m_server;
        DatabaseSettings s;
        s.file = path(Tool::DatabaseFileName);
        return s;
    }

    void write(const QString &name, const QByteArray &content) const
    {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(content);
    }
    QByteArray read(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Raw statements on the open database, for setting up and checking (tests only).
    static bool sql(const QString &statement)
    {
        QSqlQuery q(QSqlDatabase::database());
        return q.exec(statement);
    }
    static QList<Tool::Struct_AuditLog> audit()
    {
        QList<Tool::Struct_AuditLog> rows;
        Tool::getAuditLog(rows, QString(), QString(), QString(), QString());
        return rows;
    }
    // The details of the audit entries, oldest first.
    static QStringList auditDetails()
    {
        QStringList details;
        for (const auto &row : audit())
            details << row.Details;
        return details;
    }

private:
    QTemporaryDir m_dir;
    QString m_old;
    mutable DatabaseSettings m_server;
};
