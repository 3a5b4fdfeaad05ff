#pragma once
// The worker thread of a run: started for one task, stopped through a flag, always joined.
// Its waits are timed and end at once when a stop is asked for, so a stopped run reacts within
// the instrument call it is in, never after a sleep.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class RunWorker
{
public:
    using Clock = std::chrono::steady_clock;

    RunWorker() = default;
    // Asks the task to stop and joins it.
    ~RunWorker();
    RunWorker(const RunWorker &) = delete;
    RunWorker &operator=(const RunWorker &) = delete;

    // Runs task in a new thread named name, a literal (15 characters show in ps and top).
    // False while an earlier task has not been joined yet.
    bool start(std::function<void()> task, const char *name = "pcr-worker");

    // Any thread. The task sees it through stopRequested() and in its waits.
    void requestStop();
    bool stopRequested() const { return stopFlag.load(); }

    // --- the task's own thread
    // Sleeps until deadline; false when a stop ended the wait early.
    bool sleepUntil(Clock::time_point deadline);
    bool sleepFor(std::chrono::milliseconds duration);
    // Waits until ready() holds, a stop is asked for or deadline passes; ready() is evaluated
    // under the worker's lock, and whoever makes it true calls wake() afterwards. Returns ready().
    bool waitUntil(Clock::time_point deadline, const std::function<bool()> &ready);

    // Any thread: has a waitUntil re-check its condition.
    void wake();

    // --- the owner's thread
    // True when no task runs (none started, or it has returned).
    bool finished() const;
    // Waits at most ms for the task to return; true when it has.
    bool waitFinished(int ms);
    // Waits for the task to return and joins its thread. Safe to call again.
    void join();

private:
    std::thread thread;
    std::atomic<bool> stopFlag{false};
    mutable std::mutex mutex;
    std::condition_variable changed;
    bool done = true;
};
