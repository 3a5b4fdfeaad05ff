// Round trips of the reference thermometer and the bath against pcrsim: one READ? (over a
// pseudo-terminal and over TCP) and one bath "r" query (pseudo-terminal), median and worst, and
// the share of each that is the fixed pauses the protocols prescribe (200 ms after every write;
// the bath's read waits another 300 ms before it looks for the reply).
//   bench_references [reads]   (default 50 READ? per transport, 30 bath queries)

#include "../../tests/instruments/SimHarness.h"
#include "instruments/Criteria1586A.h"
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

QVector<double> readRoundTrips(const QString &mode, const QString &address, const QString &port, int reads)
{
    Criteria1586A reference;
    const ChannelSetting setting = ChannelSetting::fromList(
        {"101", "铂电阻", "ITS90", "四线制", "℃", "", "", "-1.2e-4", "2.5e-5", "0", "0", "25.5", "0", "0", "1", "0"});
    return inWorker([&] {
        QVector<double> times;
        if (!reference.Open(mode, address, port) || !reference.SetChannel(setting))
            return times;
        double v = 0;
        reference.ReadValue(v);
        for (int i = 0; i < reads; ++i) {
            const auto t0 = Clock::now();
            if (!reference.ReadValue(v))
                return QVector<double>();
            times << msSince(t0);
        }
        reference.Close();
        return times;
    });
}

QVector<double> bathRoundTrips(const QString &pty, int reads)
{
    FieldTank bath;
    return inWorker([&] {
        QVector<double> times;
        if (!bath.Open("串口", pty, "9600") || !bath.Initialize())
            return times;
        double v = 0;
        bath.ReadTemperature(v);
        for (int i = 0; i < reads; ++i) {
            const auto t0 = Clock::now();
            if (!bath.ReadTemperature(v))
                return QVector<double>();
            times << msSince(t0);
        }
        bath.Close();
        return times;
    });
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
    report("pty READ?", readRoundTrips("串口", sim.scpiPtyPath, "115200", reads), Criteria1586A::WritePauseMs);
    report("tcp READ?", readRoundTrips("网络", "127.0.0.1", sim.scpiTcpPort, reads), Criteria1586A::WritePauseMs);
    report("pty bath r", bathRoundTrips(sim.bathPtyPath, std::max(1, reads * 3 / 5)), FieldTank::WritePauseMs + FieldTank::ReadPauseMs);
    return 0;
}
