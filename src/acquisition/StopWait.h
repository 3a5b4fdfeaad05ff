#pragma once
// The waits of a run's thread: timed, and ended at once by a stop, so that a stopped run reacts
// within the instrument call it is in, never after a sleep. The thread itself is a WorkerThread.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

class StopWait
{
public:
    using Clock = std::chrono::steady_clock;

    // Any thread: ends every wait, now and until reset().
    void stop();
    // Before the next run.
    void reset();
    bool stopped() const;

    // Sleeps until deadline; false when a stop ended it early.
    bool sleepUntil(Clock::time_point deadline);
    bool sleepFor(std::chrono::milliseconds duration);
    // Waits until ready() holds, a stop comes or deadline passes, and returns ready(). ready()
    // is evaluated under this object's lock; whoever makes it true calls wake() afterwards.
    bool waitUntil(Clock::time_point deadline, const std::function<bool()> &ready);
    // Any thread: has a waitUntil check its condition again.
    void wake();

private:
    mutable std::mutex mutex;
    std::condition_variable changed;
    bool stopFlag = false;
};
