#pragma once
// A database connection of its own for a worker thread. A QSqlDatabase may only be used on the
// thread that opened it, so every thread that reads or writes the database opens one of these
// on the file the application has open (or on its PostgreSQL server, given the postgresql://
// location Tool::databaseFileName() returns then). While it lives, Tool's operations called on
// that thread use it instead of the default connection.
//
//   const QString file = Tool::databaseFileName();       // on the GUI thread
//   ... on the worker:
//   ThreadConnection connection(file);
//   if (!connection.isOpen()) return;                    // connection.errorString() says why
//   SampleReader reader(connection.database());

#include <QSqlDatabase>
#include <QString>

class ThreadConnection
{
public:
    explicit ThreadConnection(const QString &fileName);
    ~ThreadConnection();
    ThreadConnection(const ThreadConnection &) = delete;
    ThreadConnection &operator=(const ThreadConnection &) = delete;

    bool isOpen() const;
    QString errorString() const { return m_error; }
    QSqlDatabase database() const;

    // The connection Tool uses on the calling thread: the innermost ThreadConnection living on
    // it, else the default connection (not opened again if it was closed).
    static QSqlDatabase current();

    // How many ThreadConnections on this file (compared by absolute path) are open in the
    // process. A restore must not swap a file that a worker still reads.
    static int openCount(const QString &fileName);

    // Counts a connection opened some other way (SQLite directly) in openCount() while it lives.
    class Claim
    {
    public:
        explicit Claim(const QString &fileName);
        ~Claim();
        Claim(const Claim &) = delete;
        Claim &operator=(const Claim &) = delete;

    private:
        QString m_file;
    };

private:
    QString m_name;
    QString m_file;
    QString m_error;
    QString m_outer;   // the connection this one stands in front of on its thread
};
