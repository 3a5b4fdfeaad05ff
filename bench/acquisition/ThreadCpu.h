#pragma once
// What a run costs: CPU time of this process's threads by name (the run names its threads
// "pcr-..."), and the GUI thread's time spent delivering events to one object.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTimer>

#include <ctime>
#include <map>
#include <unistd.h>
#include <vector>

// Times every event delivered to watched (in the GUI thread: the run's queued samples, messages
// and end, with whatever its receivers do).
class TimingApplication : public QApplication
{
public:
    using QApplication::QApplication;
    QObject *watched = nullptr;
    std::vector<qint64> deliveries;   // nanoseconds each

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (receiver != watched || !watched)
            return QApplication::notify(receiver, event);
        QElapsedTimer t;
        t.start();
        const bool done = QApplication::notify(receiver, event);
        deliveries.push_back(t.nsecsElapsed());
        return done;
    }
};

inline std::map<QString, double> threadCpuMs()
{
    std::map<QString, double> cpu;
    const double tick = 1000.0 / double(sysconf(_SC_CLK_TCK));
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(task));
        if (!comm.open(QIODevice::ReadOnly) || !stat.open(QIODevice::ReadOnly))
            continue;
        const QString name = QString::fromLocal8Bit(comm.readAll()).trimmed();
        const QString text = QString::fromLocal8Bit(stat.readAll());
        // utime and stime are fields 14 and 15 of stat, 12 and 13 after the name.
        const QStringList fields = text.mid(text.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
        cpu[name] += (fields.value(11).toDouble() + fields.value(12).toDouble()) * tick;
    }
    return cpu;
}

// CPU milliseconds each thread but the main one used between two readings (threads of one name
// add up).
inline std::map<QString, double> otherThreadsCpuMs(const std::map<QString, double> &before,
                                                   const std::map<QString, double> &after)
{
    const QString main = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget().section(QLatin1Char('/'), -1).left(15);
    std::map<QString, double> used;
    for (const auto &t : after)
        if (t.first != main)
            used[t.first] = t.second - (before.count(t.first) ? before.at(t.first) : 0);
    return used;
}

inline double threadCpuNowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// The CPU of every thread seen while it lives: the run's threads are gone once it has ended.
class ThreadCpuWatch
{
public:
    ThreadCpuWatch() : start(threadCpuMs()), last(start)
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { read(); });
        timer.start(500);
    }
    // CPU milliseconds of each thread but the main one since the watch began.
    std::map<QString, double> used()
    {
        read();
        return otherThreadsCpuMs(start, last);
    }
    // What the watching itself cost the main thread.
    double ownCpuMs() const { return own; }

private:
    // A thread's entry is kept once it has gone: the run's threads end with it.
    void read()
    {
        const double before = threadCpuNowMs();
        for (const auto &t : threadCpuMs())
            last[t.first] = t.second;
        own += threadCpuNowMs() - before;
    }
    std::map<QString, double> start, last;
    double own = 0;
    QTimer timer;
};
