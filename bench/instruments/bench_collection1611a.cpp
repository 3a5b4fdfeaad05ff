// Collector round trips against pcrsim, reads while the GUI thread is blocked, what a caller
// costs while it waits for nothing, and how long destroying a driver in the middle of a read takes.
//   bench_collection1611a [reads] [--no-destroy]   (default 500 reads per transport)

#include "../../tests/instruments/SimHarness.h"
#include "instruments/Collection1611A.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

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

QString percentiles(QVector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return QString::asprintf("median %.3f ms, p99 %.3f ms, worst %.3f ms", ms[ms.size() / 2], ms[int(ms.size() * 0.99)], ms.last());
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
            const auto t0 = Clock::now();
            if (!driver.ReadChannels(v) || v.size() != 16)
                return QVector<double>();
            times << msSince(t0);
        }
        driver.Close();
        return times;
    });
    if (ms.isEmpty()) {
        std::printf("%-4s 16-channel ReadChannels: FAILED\n", name);
        return;
    }
    std::printf("%-4s 16-channel ReadChannels, %d round trips: %s\n", name, int(ms.size()), qPrintable(percentiles(ms)));
}

// A worker reads every 100 ms while this (GUI) thread sleeps 5 s without running its event loop.
void readsWhileGuiBlocked(const char *name, const QString &mode, const QString &address, const QString &port)
{
    Collection1611A driver;
    if (!inWorker([&] { return driver.Open(mode, address, port) && driver.SetChannels(sixteenChannels()); })) {
        std::printf("%-4s reads while the GUI thread is blocked: FAILED to open\n", name);
        return;
    }
    std::atomic<bool> stop{false}, done{false};
    int attempts = 0, good = 0;
    QVector<double> ms;
    std::thread reader([&] {
        while (!stop.load()) {
            const auto t0 = Clock::now();
            QStringList v;
            ++attempts;
            good += driver.ReadChannels(v) && v.size() == 16 ? 1 : 0;
            ms << msSince(t0);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::seconds(5));
    stop = true;
    // A driver that needs this thread gets it again until the reader has ended.
    while (!done.load())
        spin(10);
    reader.join();
    inWorker([&] { return driver.Close(); });
    std::printf("%-4s reads while the GUI thread is blocked 5 s: %d of %d succeeded; %s\n", name, good, attempts,
                qPrintable(percentiles(ms)));
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
        const auto t0 = Clock::now();
        const double cpu0 = threadCpuMs(), proc0 = processCpuMs();
        QString reply;
        for (int i = 0; i < 10; ++i)
            driver.Read(reply);        // 10 x 0.5 s
        driver.SetChannels(one);       // 3 x 0.5 s
        QStringList v;
        driver.ReadChannels(v);        // 4 x 0.5 s
        cost.workerCpuMs = threadCpuMs() - cpu0;
        cost.processCpuMs = processCpuMs() - proc0;
        cost.wallMs = msSince(t0);
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

// The driver is destroyed while a worker waits in ReadChannels for replies that never come
// (four attempts of 0.5 s): how long the destruction and the worker's call take from then on.
void destroyMidRead()
{
    ScriptedPeer peer;
    peer.answer = [](const QByteArray &request) {
        return request.toHex().startsWith("0110") ? QList<QByteArray>{request} : QList<QByteArray>();
    };
    QVector<double> destroyMs, callMs;
    for (int round = 0; round < 10; ++round) {
        auto driver = std::make_unique<Collection1611A>();
        Collection1611A *d = driver.get();
        std::atomic<bool> returned{false};
        Clock::time_point returnedAt;
        const int before = peer.countRequests("01030100");
        std::thread reader([&] {
            QStringList v;
            if (d->Open("网络", "127.0.0.1", peer.port()) && d->SetChannels(sixteenChannels().mid(0, 2)))
                d->ReadChannels(v);
            returnedAt = Clock::now();
            returned = true;
        });
        while (peer.countRequests("01030100") == before && !returned.load())
            spin(5);
        spin(50);
        const auto t0 = Clock::now();
        driver.reset();
        destroyMs << msSince(t0);
        reader.join();
        callMs << std::chrono::duration<double, std::milli>(returnedAt - t0).count();
    }
    std::printf("destroying a driver mid-read, 10 times: destructor %s; the pending ReadChannels returned after %s\n",
                qPrintable(percentiles(destroyMs)), qPrintable(percentiles(callMs)));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int reads = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 500;
    PcrSim sim;
    if (!sim.start({"--collector-tcp", "0", "--collector-pty", "--program", "95:1,60:1,72:1"})) {
        std::printf("pcrsim did not start\n");
        return 1;
    }
    roundTrips("tcp", "网络", "127.0.0.1", sim.tcpPort, reads);
    roundTrips("pty", "串口", sim.ptyPath, "115200", reads);
    readsWhileGuiBlocked("tcp", "网络", "127.0.0.1", sim.tcpPort);
    readsWhileGuiBlocked("pty", "串口", sim.ptyPath, "115200");
    silentWait();
    if (!args.contains("--no-destroy"))
        destroyMidRead();
    return 0;
}
