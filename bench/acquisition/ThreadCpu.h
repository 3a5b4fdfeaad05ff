#pragma once
// CPU time of this process's threads, by thread name (the run names its threads "pcr-...").

#include <QDir>
#include <QFile>
#include <QString>

#include <map>
#include <unistd.h>

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

// CPU milliseconds each "pcr-" thread used between two readings.
inline std::map<QString, double> runThreadsCpuMs(const std::map<QString, double> &before,
                                                 const std::map<QString, double> &after)
{
    std::map<QString, double> used;
    for (const auto &t : after)
        if (t.first.startsWith(QLatin1String("pcr-")))
            used[t.first] = t.second - (before.count(t.first) ? before.at(t.first) : 0);
    return used;
}
