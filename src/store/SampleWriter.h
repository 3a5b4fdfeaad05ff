#pragma once
// Writes the samples of a run through a database connection of its own (a ThreadConnection, so a
// restore knows the file is in use): one prepared insert, one transaction per batch. The
// connection belongs to the thread that opened it; the run keeps it on a thread of its own, off
// the GUI thread.

#include "store/tool.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <vector>

class QSqlQuery;
class ThreadConnection;

class SampleWriter
{
public:
    // Long enough to outwait a read of a day-long run on the main connection.
    static constexpr int DefaultBusyTimeoutMs = 5000;

    SampleWriter();
    ~SampleWriter();
    SampleWriter(const SampleWriter &) = delete;
    SampleWriter &operator=(const SampleWriter &) = delete;

    // Opens databaseFile for writing in the calling thread: synchronous NORMAL, the busy timeout,
    // and a first take of the write lock, so that a database that cannot be written is known
    // before the first sample. False with error() otherwise.
    bool open(const QString &databaseFile, int busyTimeoutMs = DefaultBusyTimeoutMs);
    bool isOpen() const;
    void close();

    // Stores rows in one transaction: all of them or, on failure, none (error() tells why).
    bool write(const std::vector<Tool::Struct_CalibrationData> &rows);
    // Deletes every sample stored under a project name.
    bool discard(const QString &projectName);

    QString error() const { return lastError; }

private:
    bool prepare(int busyTimeoutMs);
    bool probeServerWrite(QSqlDatabase db);
    bool exec(QSqlQuery &query, const char *what);
    void rollbackQuietly();

    std::unique_ptr<ThreadConnection> connection;
    std::unique_ptr<QSqlQuery> begin, insert, commit, rollback;
    QHash<const QSqlQuery *, QString> unprepared;   // statements run as text, not prepared
    QString lastError;
};
