// Probe calibration against pcrsim: what the application costs while the run waits for the bath
// to settle (a reading every 20 s of real time), and how long a six-point calibration of 16
// probes from 0 to 100 ℃ takes at a simulator time scale of 60 (a reading every 20 simulated
// seconds), with the CPU of every thread.
//
//   bench_probecal [--wait-seconds N] [--time-scale F] [--skip-wait] [--skip-run]

#include "../acquisition/ThreadCpu.h"
#include "../../tests/instruments/SimHarness.h"

#include "acquisition/ProbeCalibrationRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

using namespace ProbeCalibration;
using Run = ProbeCalibrationRun;

namespace {

double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

Tool::Struct_Standardizer sixteenProbes()
{
    QStringList names, numbers, types, conversions, zeros, ones, b0, b1;
    for (int i = 0; i < 16; ++i) {
        names << QStringLiteral("CH%1").arg(101 + i);
        numbers << QString::number(101 + i);
        types << QStringLiteral("热敏电阻-2W");
        conversions << QStringLiteral("R(T)");
        zeros << QStringLiteral("0");
        ones << QStringLiteral("1");
        b0 << QStringLiteral("-4");
        b1 << QStringLiteral("4000");
    }
    const QString c = QStringLiteral(",");
    return Tool::Struct_Standardizer::fromValues({"B-16", "基准探头", "16", "2024-01-01 00:00:00", names.join(c),
                                                  numbers.join(c), types.join(c), conversions.join(c), zeros.join(c),
                                                  ones.join(c), zeros.join(c), b0.join(c), b1.join(c), zeros.join(c),
                                                  zeros.join(c)});
}

Run::Setup setupFor(const PcrSim &sim, const QVector<double> &temperatures, double interval, double index)
{
    Run::Setup s;
    s.mode = Mode::Calibration;
    s.bath = {Names::vade(), QStringLiteral("串口"), sim.bathPtyPath, QStringLiteral("9600")};
    s.collector = {Names::collector(), QStringLiteral("网络"), QStringLiteral("127.0.0.1"), sim.tcpPort};
    s.reference = {Names::fluke1586A(), QStringLiteral("网络"), QStringLiteral("127.0.0.1"), sim.scpiTcpPort};
    s.referenceProbe = {"ITS90-4W", "CH001", "-1.2e-4", "-2.5e-5", "0", "0", "25.5", "0", "0"};
    s.probes = sixteenProbes();
    for (double t : temperatures)
        s.points.append({t, false});
    s.intervalSeconds = interval;
    s.index = index;
    return s;
}

bool startSim(PcrSim &sim, double timeScale)
{
    return sim.start({QStringLiteral("--bath-pty"), QStringLiteral("--scpi-tcp"), QStringLiteral("0"),
                      QStringLiteral("--collector-tcp"), QStringLiteral("0"), QStringLiteral("--time-scale"),
                      QString::number(timeScale)});
}

void printThreads(const std::map<QString, double> &used, double wallMs)
{
    for (const auto &t : used)
        if (t.second > 0)
            std::printf("    thread %-16s %9.1f ms CPU  (%.3f %%)\n", t.first.toLocal8Bit().constData(), t.second,
                        100.0 * t.second / wallMs);
}

// The run held in its stabilisation wait: the bath at 25 ℃ held there, an index it never meets.
void benchWait(int seconds)
{
    PcrSim sim;
    if (!startSim(sim, 1)) {
        std::printf("pcrsim did not start\n");
        return;
    }
    Run run;
    int readings = 0;
    QObject::connect(&run, &Run::readingTaken, [&](const Run::Reading &) { ++readings; });
    ThreadCpuWatch watch;
    run.start(setupFor(sim, {25, 30, 35, 40}, StandardIntervalSeconds, 1e-9));
    // Opening and configuring are over once the first reading has come.
    QEventLoop loop;
    const auto first = QObject::connect(&run, &Run::readingTaken, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(first);
    const double cpu0 = processCpuMs();
    const auto threads0 = watch.used();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double wallMs = wall.elapsed();
    const double cpu = processCpuMs() - cpu0;
    auto threads = watch.used();
    for (auto &t : threads)
        t.second -= threads0.count(t.first) ? threads0.at(t.first) : 0;
    run.stop();
    run.finish();
    std::printf("stabilisation wait, a reading every %.0f s, %d readings in %.1f s:\n", StandardIntervalSeconds,
                readings - 1, wallMs / 1000);
    std::printf("  process CPU %.1f ms = %.4f %% of one core\n", cpu, 100.0 * cpu / wallMs);
    printThreads(threads, wallMs);
}

void benchRun(double timeScale)
{
    PcrSim sim;
    if (!startSim(sim, timeScale)) {
        std::printf("pcrsim did not start\n");
        return;
    }
    Run run;
    QList<qint64> pointTimes;
    int readings = 0;
    QElapsedTimer wall;
    QObject::connect(&run, &Run::readingTaken, [&](const Run::Reading &) { ++readings; });
    QObject::connect(&run, &Run::pointCompleted, [&](int, const QString &, const QStringList &) { pointTimes << wall.elapsed(); });
    QEventLoop loop;
    Run::EndReason reason = Run::EndReason::Stopped;
    QObject::connect(&run, &Run::runEnded, [&](Run::EndReason r, Run::Fault) {
        reason = r;
        loop.quit();
    });
    ThreadCpuWatch watch;
    const double cpu0 = processCpuMs();
    wall.start();
    run.start(setupFor(sim, {0, 20, 40, 60, 80, 100}, StandardIntervalSeconds / timeScale, 0.01));
    loop.exec();
    const double wallMs = wall.elapsed();
    const double cpu = processCpuMs() - cpu0;
    const Fit fit = fitCalibration(run.lists(), 16);
    std::printf("six-point calibration of 16 probes, 0 to 100 ℃, time scale %g (a reading every %.3f s):\n", timeScale,
                StandardIntervalSeconds / timeScale);
    std::printf("  %s after %.1f s (%.1f simulated minutes), %d reference readings\n",
                reason == Run::EndReason::Completed ? "completed" : "ended early", wallMs / 1000,
                wallMs / 1000 * timeScale / 60, readings);
    QStringList points;
    qint64 previous = 0;
    for (qint64 t : pointTimes) {
        points << QString::number((t - previous) / 1000.0, 'f', 1);
        previous = t;
    }
    std::printf("  seconds per point: %s\n", points.join(QStringLiteral(", ")).toLocal8Bit().constData());
    std::printf("  largest fit residual %.4f K\n", fit.ok ? fit.worstResidual : qQNaN());
    std::printf("  process CPU %.1f ms = %.3f %% of one core\n", cpu, 100.0 * cpu / wallMs);
    printThreads(watch.used(), wallMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int waitIndex = args.indexOf(QStringLiteral("--wait-seconds"));
    const int seconds = waitIndex > 0 ? args.value(waitIndex + 1).toInt() : 120;
    const int scaleIndex = args.indexOf(QStringLiteral("--time-scale"));
    const double timeScale = scaleIndex > 0 ? args.value(scaleIndex + 1).toDouble() : 60;

    // The run stores its points in the database of the working directory.
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    if (!Tool::openDatabase() || !Tool::addStandardizer(sixteenProbes()))
        return 1;
    if (!args.contains(QStringLiteral("--skip-wait")))
        benchWait(seconds > 0 ? seconds : 120);
    if (!args.contains(QStringLiteral("--skip-run")))
        benchRun(timeScale > 0 ? timeScale : 60);
    return 0;
}
