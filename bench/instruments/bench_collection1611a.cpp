// Collector round trips against pcrsim, and what a caller costs while it waits for nothing.
//   bench_collection1611a [reads]   (default 500 reads per transport)

#include "../../tests/instruments/SimHarness.h"
#include "instruments/Collection1611A.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

QList<ChannelSetting> sixteenChannels()
{
    QList<ChannelSetting> list;
    for (int j = 0; j < 16; ++j)
        list << ChannelSetting::fromList({QString::number(101 + j), "热敏电阻", "R(T)", "二线制", "℃", "", "", "0.001129148",
                                          "0.000234125", "0", "0.0000000876741", "", "", "", "1", "0"});
    return list;
}

void roundTrips(const char *name, const QString &mode, const QString &address, const QString &port, int reads)
{
    Collection1611A driver;
    const QVector<double> ms = inWorker([&] {
        QVector<double> times;
        if (!driver.Open(mode, address, port) || !driver.SetChannels(sixteenChannels()))
            return times;
        QStringList v;
        for (int i = 0; i < 20; ++i)
            driver.ReadChannels(v);
        for (int i = 0; i < reads; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            if (!driver.ReadChannels(v) || v.size() != 16)
                return QVector<double>();
            times << std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        }
        driver.Close();
        return times;
    });
    if (ms.isEmpty()) {
        std::printf("%-4s 16-channel ReadChannels: FAILED\n", name);
        return;
    }
    QVector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%-4s 16-channel ReadChannels, %d round trips: median %.3f ms, p99 %.3f ms, worst %.3f ms\n", name, int(sorted.size()),
                sorted[sorted.size() / 2], sorted[int(sorted.size() * 0.99)], sorted.last());
}

void silentWait()
{
    ScriptedPeer peer;  // answers the address query, then nothing
    peer.answer = [](const QByteArray &) { return QList<QByteArray>(); };
    Collection1611A driver;
    struct Cost
    {
        double wallMs = 0, workerCpuMs = 0, processCpuMs = 0;
        bool ok = false;
    };
    const Cost c = inWorker([&] {
        Cost cost;
        if (!driver.Open("网络", "127.0.0.1", peer.port()))
            return cost;
        const QList<ChannelSetting> one = sixteenChannels().mid(0, 1);
        const auto t0 = std::chrono::steady_clock::now();
        const double cpu0 = threadCpuMs(), proc0 = processCpuMs();
        QString reply;
        for (int i = 0; i < 10; ++i)
            driver.Read(reply);        // 10 x 0.5 s
        driver.SetChannels(one);       // 3 x 0.5 s
        QStringList v;
        driver.ReadChannels(v);        // 4 x 0.5 s
        cost.workerCpuMs = threadCpuMs() - cpu0;
        cost.processCpuMs = processCpuMs() - proc0;
        cost.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        cost.ok = true;
        driver.Close();
        return cost;
    });
    if (!c.ok) {
        std::printf("silent wait: FAILED\n");
        return;
    }
    std::printf("waiting for replies that never come: %.0f ms of waiting cost the calling thread %.2f ms CPU "
                "(%.3f %%), the whole process %.2f ms\n",
                c.wallMs, c.workerCpuMs, 100 * c.workerCpuMs / c.wallMs, c.processCpuMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int reads = argc > 1 ? std::max(1, QString(argv[1]).toInt()) : 500;
    PcrSim sim;
    if (!sim.start({"--collector-tcp", "0", "--collector-pty", "--program", "95:1,60:1,72:1"})) {
        std::printf("pcrsim did not start\n");
        return 1;
    }
    roundTrips("tcp", "网络", "127.0.0.1", sim.tcpPort, reads);
    roundTrips("pty", "串口", sim.ptyPath, "115200", reads);
    silentWait();
    return 0;
}
