#include "acquisition/RunWorker.h"

#include <pthread.h>

RunWorker::~RunWorker()
{
    requestStop();
    join();
}

bool RunWorker::start(std::function<void()> task, const char *name)
{
    if (thread.joinable())
        return false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        done = false;
    }
    stopFlag = false;
    thread = std::thread([this, name, task = std::move(task)] {
        pthread_setname_np(pthread_self(), name);
        task();
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
        changed.notify_all();
    });
    return true;
}

void RunWorker::requestStop()
{
    std::lock_guard<std::mutex> lock(mutex);
    stopFlag = true;
    changed.notify_all();
}

bool RunWorker::sleepUntil(Clock::time_point deadline)
{
    std::unique_lock<std::mutex> lock(mutex);
    return !changed.wait_until(lock, deadline, [this] { return stopFlag.load(); });
}

bool RunWorker::sleepFor(std::chrono::milliseconds duration)
{
    return sleepUntil(Clock::now() + duration);
}

bool RunWorker::waitUntil(Clock::time_point deadline, const std::function<bool()> &ready)
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait_until(lock, deadline, [&] { return stopFlag.load() || ready(); });
    return ready();
}

void RunWorker::wake()
{
    std::lock_guard<std::mutex> lock(mutex);
    changed.notify_all();
}

bool RunWorker::finished() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return done;
}

bool RunWorker::waitFinished(int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done; });
}

void RunWorker::join()
{
    if (thread.joinable() && thread.get_id() != std::this_thread::get_id())
        thread.join();
}
