#pragma once
// A stop request for a worker thread that ends its pauses at once: the worker sleeps in
// sleepFor(), the thread that owns it calls request().

#include <chrono>
#include <condition_variable>
#include <mutex>

class StopSignal
{
public:
    void request()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopped = true;
        }
        wake.notify_all();
    }
    bool requested() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return stopped;
    }
    // A new run of the worker.
    void reset()
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopped = false;
    }
    // Waits ms milliseconds unless a stop is requested first; false when stopped.
    bool sleepFor(int ms)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return !wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopped; });
    }

private:
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopped = false;
};
