#pragma once
// Reading a project's stored samples back at the speed of the database: only the time and value
// columns are selected, rows are stepped through SQLite directly, and the texts are parsed from
// their stored bytes ("yyyy-MM-dd hh:mm:ss.zzz" in local time, values joined by ","), resolving
// the local time once per minute rather than once per row. What comes out is what parsing each
// row with Analysis::parseSampleTime and Analysis::parseSampleValues gives, but for the hour a
// clock repeats when it goes back: a local date-time puts both of its passes on the same
// instants, this reader puts the first pass before the change and the second after it.
//
//   SampleReader reader;                                   // this thread's connection
//   QVector<RunSample> run = reader.readRun(name, model, probes, from, to);
//   if (reader.status() != SampleReader::Ok) ...

#include "analysis/AnalysisTypes.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <atomic>
#include <functional>
#include <limits>

class SampleReader
{
public:
    // One row as read. The time is both the instant and the local offset in force then, so it
    // gives back the stored wall-clock time.
    struct Row
    {
        qint64 msecs = 0;         // milliseconds since the epoch
        int offsetSeconds = 0;    // local offset from UTC at that instant
        const double *values = nullptr;   // ℃ as stored
        int count = 0;
        // The same instant and the same date() and time() as the stored text read as local time.
        QDateTime time() const;
    };
    // Returns false to stop the reading.
    using Visitor = std::function<bool(const Row &)>;

    enum Status { Ok, Failed, Cancelled };

    static constexpr qint64 NoLimitFrom = std::numeric_limits<qint64>::min();
    static constexpr qint64 NoLimitTo = std::numeric_limits<qint64>::max();

    // db: an open connection of the calling thread; by default the one Tool uses on it.
    SampleReader();
    explicit SampleReader(const QSqlDatabase &db);

    // Polled every few hundred rows; a set flag ends the reading with Cancelled.
    void setCancelFlag(const std::atomic<bool> *cancel) { m_cancel = cancel; }
    // Rows looked at so far and in all (counted first; only when set).
    void setProgress(std::function<void(qint64 done, qint64 total)> progress) { m_progress = std::move(progress); }

    // The rows of project `name`, of one calibration item `model` or of both when it is empty,
    // in stored order. A row whose value count is not probeCount (probeCount < 0: the count of
    // the first row), whose time does not read or which holds a value that is no finite number
    // is skipped and counted; a row before fromMsecs is passed over; the first row after toMsecs
    // ends the reading. Ok unless the query failed or the reading was cancelled.
    Status read(const QString &name, const QString &model, int probeCount, qint64 fromMsecs, qint64 toMsecs,
                const Visitor &visit);

    // The samples of one item inside [from, to] (both included); invalid bounds are open.
    QVector<RunSample> readRun(const QString &name, const QString &model, int probeCount, const QDateTime &from,
                               const QDateTime &to);

    // Rows of the project (and item) as stored; -1 when the query fails.
    qint64 countRows(const QString &name, const QString &model);

    Status status() const { return m_status; }
    int skippedRows() const { return m_skipped; }
    // The value count in effect (the first row's when probeCount was negative).
    int probeCount() const { return m_probeCount; }
    QString errorString() const { return m_error; }

private:
    class Parser;
    bool handleRow(Parser &parser, const char *time, int timeLength, const char *values, int valuesLength,
                const Visitor &visit, bool &stop);

    QSqlDatabase m_db;
    const std::atomic<bool> *m_cancel = nullptr;
    std::function<void(qint64, qint64)> m_progress;
    Status m_status = Ok;
    int m_skipped = 0;
    int m_probeCount = -1;
    qint64 m_from = NoLimitFrom;
    qint64 m_to = NoLimitTo;
    QString m_error;
};
