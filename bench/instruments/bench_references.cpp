// Round trips of the reference thermometer and the bath against pcrsim: one READ? (over a
// pseudo-terminal and over TCP) and one bath "r" query (pseudo-terminal), median and worst, and
// the share of each that is the fixed pauses the protocols prescribe (200 ms after every write;
// the bath's read waits another 300 ms before it looks for the reply).
//   bench_references [reads]   (default 50 READ? per transport, 30 bath queries)

#include "../../tests/instruments/SimHarness.h"
#include "instruments/Criteria1586A.h"
#include "instruments/CriteriaMorva1621.h"
#include "instruments/FieldTank.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

void report(const char *what, QVector<double> ms, double pauseMs)
{
    if (ms.isEmpty()) {
        std::printf("%s: FAILED\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("%s, %d round trips: median %.1f ms, worst %.1f ms; fixed pauses %.0f ms = %.1f %% of the median, "
                "the rest (transfer, reply, wake-up) %.1f ms\n",
                what, int(ms.size()), median, ms.last(), pauseMs, 100 * pauseMs / median, median - pauseMs);
}

// Times `reads` calls of `once` after a first one; empty when one fails.
template <class F> QVector<double> timeCalls(int reads, F once)
{
    QVector<double> times;
    if (!once())
        return times;
    for (int i = 0; i < reads; ++i) {
        const auto t0 = Clock::now();
        if (!once())
            return QVector<double>();
        times << msSince(t0);
    }
    return times;
}

QVector<double> readRoundTrips(const QString &mode, const QString &address, const QString &port, int reads)
{
    Criteria1586A reference;
    const ChannelSetting setting = ChannelSetting::fromList(
        {"101", "铂电阻", "ITS90", "四线制", "℃", "", "", "-1.2e-4", "2.5e-5", "0", "0", "25.5", "0", "0", "1", "0"});
    return inWorker([&] {
        QVector<double> times;
        double v = 0;
        if (reference.Open(mode, address, port) && reference.SetChannel(setting))
            times = timeCalls(reads, [&] { return reference.ReadValue(v); });
        reference.Close();
        return times;
    });
}

QVector<double> bathRoundTrips(const QString &pty, int reads)
{
    FieldTank bath;
    return inWorker([&] {
        QVector<double> times;
        double v = 0;
        if (bath.Open("串口", pty, "9600") && bath.Initialize())
            times = timeCalls(reads, [&] { return bath.ReadTemperature(v); });
        bath.Close();
        return times;
    });
}

// Whether a Bluetooth LE adapter is present is asked on the GUI thread when a page is built.
void adapterCheck()
{
    const auto t0 = Clock::now();
    const bool present = CriteriaMorva1621::AdapterPresent();
    std::printf("Bluetooth LE adapter present: %s, answered in %.1f ms\n", present ? "yes" : "no", msSince(t0));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int reads = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 50;
    PcrSim sim;
    if (!sim.start({"--scpi-tcp", "0", "--scpi-pty", "--bath-pty"})) {
        std::printf("pcrsim did not start\n");
        return 1;
    }
    adapterCheck();
    report("pty READ?", readRoundTrips("串口", sim.scpiPtyPath, "115200", reads), Criteria1586A::WritePauseMs);
    report("tcp READ?", readRoundTrips("网络", "127.0.0.1", sim.scpiTcpPort, reads), Criteria1586A::WritePauseMs);
    report("pty bath r", bathRoundTrips(sim.bathPtyPath, std::max(1, reads * 3 / 5)), FieldTank::WritePauseMs + FieldTank::ReadPauseMs);
    return 0;
}
