#pragma once
// The writer thread of a run: the acquisition hands it each sample row and goes on at once; it
// commits what has come through a SampleWriter at least once a second, when asked to flush and
// at the end. A database locked by someone else only delays the commits; any other failed write
// ends it: later rows are refused, what was committed stays.

#include "acquisition/StopWait.h"
#include "store/SampleWriter.h"
#include "store/WorkerThread.h"
#include "store/tool.h"

#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

class SampleSink
{
public:
    struct Options
    {
        QString databaseFile;
        int busyTimeoutMs = SampleWriter::DefaultBusyTimeoutMs;
        int commitIntervalMs = 1000;
        // Another program holding the database (a long read, a backup) delays the commits: the
        // rows wait and are written once it lets go. Only a lock held longer than this ends the
        // writer.
        int lockGiveUpMs = 10 * 60 * 1000;
    };

    explicit SampleSink(const Options &options);
    // Commits what is queued and joins the thread.
    ~SampleSink();
    SampleSink(const SampleSink &) = delete;
    SampleSink &operator=(const SampleSink &) = delete;

    // Starts the thread and waits until its connection is open; false with error() when the
    // database cannot be written.
    bool start();
    // Any thread. False once the writer has failed or finished; the row is then not stored.
    bool append(Tool::Struct_CalibrationData row);
    // Commits everything appended so far and waits for it; false when a write failed.
    bool flush();
    // Commits what is queued, closes the connection and joins the thread; true when every row
    // appended was committed.
    bool finish();

    bool failed() const;
    QString error() const;
    qint64 committed() const;

    // Called in the writer's thread after every commit with the number of rows committed so far.
    std::function<void(qint64 committed)> onCommit;

private:
    enum class State { Starting, Open, Failed, Closed };
    void writerLoop();
    enum class Commit { Done, Busy, Failed };
    // Commits the queue; Busy keeps it queued for the next try; Failed sets the state Failed.
    Commit commitQueued(SampleWriter &writer);

    const Options options;
    StopWait waits;
    WorkerThread worker;

    mutable std::mutex mutex;
    std::condition_variable changed;
    State state = State::Starting;
    std::vector<Tool::Struct_CalibrationData> queue;
    quint64 flushAsked = 0;
    quint64 flushDone = 0;
    qint64 rowsCommitted = 0;
    QString failure;
    StopWait::Clock::time_point busySince{};
    bool busyNow = false;   // writer thread only
};
