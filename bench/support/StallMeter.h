#pragma once
// How long the GUI thread does not answer: a 10 ms timer on it, and the worst lateness of its
// ticks while something runs. Work done on the GUI thread between two ticks shows as that much
// lateness; work on a worker does not. On a machine shared with other work the lateness also
// holds the time the thread waited for a processor, so the longest processor time the thread
// spent between two ticks is kept beside it. Also waits, with the event loop running, for a
// condition.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <functional>

class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &StallMeter::tick);
    }

    void start()
    {
        m_worst = 0;
        m_worstBusy = 0;
        m_ticks = 0;
        m_clock.start();
        m_last = 0;
        m_lastCpu = cpuMs();
        m_timer.start(Interval);
    }
    // The interval up to now counts too: work that never returned to the event loop shows.
    void stop()
    {
        tick();
        m_timer.stop();
    }
    qint64 worstMs() const { return m_worst; }
    // The most processor time the GUI thread spent between two ticks.
    double worstBusyMs() const { return m_worstBusy; }
    int ticks() const { return m_ticks; }
    qint64 elapsedMs() const { return m_clock.elapsed(); }

    // Runs the event loop until done() holds (checked every 5 ms) or timeoutMs has passed.
    static bool waitUntil(const std::function<bool()> &done, int timeoutMs)
    {
        if (done())
            return true;
        QEventLoop loop;
        QTimer check;
        QElapsedTimer clock;
        clock.start();
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (done() || clock.elapsed() > timeoutMs)
                loop.quit();
        });
        check.start(5);
        loop.exec();
        return done();
    }

private:
    static constexpr int Interval = 10;

    static double cpuMs()
    {
        timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    }

    void tick()
    {
        const qint64 now = m_clock.elapsed();
        const double cpu = cpuMs();
        m_worst = std::max(m_worst, now - m_last - Interval);
        m_worstBusy = std::max(m_worstBusy, cpu - m_lastCpu);
        m_last = now;
        m_lastCpu = cpu;
        ++m_ticks;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_worst = 0;
    double m_lastCpu = 0;
    double m_worstBusy = 0;
    int m_ticks = 0;
};
