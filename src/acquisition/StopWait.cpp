#include "acquisition/StopWait.h"

void StopWait::stop()
{
    std::lock_guard<std::mutex> lock(mutex);
    stopFlag = true;
    changed.notify_all();
}

void StopWait::reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    stopFlag = false;
}

bool StopWait::stopped() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return stopFlag;
}

bool StopWait::sleepUntil(Clock::time_point deadline)
{
    std::unique_lock<std::mutex> lock(mutex);
    return !changed.wait_until(lock, deadline, [this] { return stopFlag; });
}

bool StopWait::sleepFor(std::chrono::milliseconds duration)
{
    return sleepUntil(Clock::now() + duration);
}

bool StopWait::waitUntil(Clock::time_point deadline, const std::function<bool()> &ready)
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait_until(lock, deadline, [&] { return stopFlag || ready(); });
    return ready();
}

void StopWait::wake()
{
    std::lock_guard<std::mutex> lock(mutex);
    changed.notify_all();
}
