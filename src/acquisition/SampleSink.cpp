#include "acquisition/SampleSink.h"

#include <QDebug>

#include <chrono>
#include <iterator>
#include <thread>
#include <pthread.h>

namespace {

// The slice of a wait for the writer; the writer itself never waits longer than its busy
// timeout, so these waits end.
constexpr std::chrono::milliseconds WaitSlice(100);
// The pause before a locked database is tried again.
constexpr std::chrono::milliseconds BusyRetry(200);

} // namespace

SampleSink::SampleSink(const Options &options) : options(options) {}

SampleSink::~SampleSink()
{
    finish();
}

bool SampleSink::start()
{
    waits.reset();
    if (!worker.start([this](WorkerThread &) {
            pthread_setname_np(pthread_self(), "pcr-samples");
            writerLoop();
        }))
        return false;
    std::unique_lock<std::mutex> lock(mutex);
    while (state == State::Starting)
        changed.wait_for(lock, WaitSlice);
    if (state == State::Open)
        return true;
    lock.unlock();
    worker.wait();
    return false;
}

bool SampleSink::append(Tool::Struct_CalibrationData row)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (state != State::Open)
        return false;
    queue.push_back(std::move(row));
    return true;
}

bool SampleSink::flush()
{
    quint64 ticket;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (state != State::Open)
            return state != State::Failed && queue.empty();
        ticket = ++flushAsked;
    }
    waits.wake();
    std::unique_lock<std::mutex> lock(mutex);
    while (state == State::Open && flushDone < ticket)
        changed.wait_for(lock, WaitSlice);
    return state != State::Failed;
}

bool SampleSink::finish()
{
    waits.stop();
    worker.cancel();
    worker.wait();
    std::lock_guard<std::mutex> lock(mutex);
    if (state == State::Starting)
        state = State::Closed;   // never started
    return state != State::Failed;
}

bool SampleSink::failed() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return state == State::Failed;
}

QString SampleSink::error() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return failure;
}

qint64 SampleSink::committed() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return rowsCommitted;
}

void SampleSink::writerLoop()
{
    SampleWriter writer;
    const bool opened = writer.open(options.databaseFile, options.busyTimeoutMs);
    {
        std::lock_guard<std::mutex> lock(mutex);
        state = opened ? State::Open : State::Failed;
        if (!opened)
            failure = writer.error();
        changed.notify_all();
    }
    if (!opened) {
        qDebug().noquote() << "添加数据失败！" << failure;
        return;
    }

    const auto interval = std::chrono::milliseconds(qMax(1, options.commitIntervalMs));
    auto due = StopWait::Clock::now() + interval;
    for (;;) {
        if (!waits.stopped())
            waits.waitUntil(due, [this] {
                std::lock_guard<std::mutex> lock(mutex);
                return flushAsked > flushDone;
            });
        const bool stopping = waits.stopped();
        switch (commitQueued(writer)) {
        case Commit::Failed:
            return;
        case Commit::Busy:
            // The lock is tried again after a pause (also when stopping, or with a flush asked).
            std::this_thread::sleep_for(BusyRetry);
            due = StopWait::Clock::now() + interval;
            continue;
        case Commit::Done:
            break;
        }
        due = StopWait::Clock::now() + interval;
        if (stopping)
            break;
    }
    writer.close();
    std::lock_guard<std::mutex> lock(mutex);
    state = State::Closed;
    changed.notify_all();
}

SampleSink::Commit SampleSink::commitQueued(SampleWriter &writer)
{
    std::vector<Tool::Struct_CalibrationData> batch;
    quint64 ticket;
    {
        std::lock_guard<std::mutex> lock(mutex);
        batch.swap(queue);
        ticket = flushAsked;
    }
    const bool written = writer.write(batch);
    const auto now = StopWait::Clock::now();
    if (!written && writer.busy()) {
        if (!busyNow) {
            busyNow = true;
            busySince = now;
            qDebug().noquote() << "数据库被占用，数据稍后写入：" << writer.error();
        }
        if (now - busySince < std::chrono::milliseconds(qMax(0, options.lockGiveUpMs))) {
            // Back in front of what came meanwhile, in order.
            std::lock_guard<std::mutex> lock(mutex);
            batch.insert(batch.end(), std::make_move_iterator(queue.begin()), std::make_move_iterator(queue.end()));
            queue.swap(batch);
            return Commit::Busy;
        }
    }
    if (written && busyNow) {
        busyNow = false;
        qDebug().noquote() << "数据库已释放，数据已写入。";
    }
    qint64 total;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!written) {
            state = State::Failed;
            failure = writer.error();
            queue.clear();
        } else {
            rowsCommitted += qint64(batch.size());
            flushDone = ticket;
        }
        total = rowsCommitted;
        changed.notify_all();
    }
    if (!written) {
        qDebug().noquote() << "添加数据失败！" << failure;
        return Commit::Failed;
    }
    if (!batch.empty() && onCommit)
        onCommit(total);
    return Commit::Done;
}
