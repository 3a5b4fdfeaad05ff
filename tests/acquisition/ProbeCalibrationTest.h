#pragma once
// Shared by the probe calibration tests: a probe set of the simulator's probes, readings that
// follow their true characteristics, and pcrsim serving the bath, the SCPI thermometer and the
// collector whose probes sit in that bath.

#include "../instruments/SimHarness.h"

#include "Thermistor.h"   // the simulator's probe model
#include "acquisition/ProbeCalibrationRun.h"
#include "store/tool.h"

#include <QElapsedTimer>
#include <QProcess>

#include <functional>

namespace ProbeCalibrationTest {

constexpr quint64 Seed = 7;

// n probes on channels 101…, 2-wire R(T) thermistors with the registry's default coefficients.
inline Tool::Struct_Standardizer probeSet(int n = 16, const QString &number = QStringLiteral("T-16"),
                                          const QString &name = QStringLiteral("槽校探头"))
{
    QStringList names, numbers, types, conversions, p1, p2, p3, b0, b1, b2, b3;
    for (int i = 0; i < n; ++i) {
        names << QStringLiteral("CH%1").arg(101 + i);
        numbers << QString::number(101 + i);
        types << QStringLiteral("热敏电阻-2W");
        conversions << QStringLiteral("R(T)");
        p1 << QStringLiteral("0");
        p2 << QStringLiteral("1");
        p3 << QStringLiteral("0");
        b0 << QStringLiteral("-4");
        b1 << QStringLiteral("4000");
        b2 << QStringLiteral("0");
        b3 << QStringLiteral("0");
    }
    const QString comma = QStringLiteral(",");
    return Tool::Struct_Standardizer::fromValues({number, name, QString::number(n), QStringLiteral("2024-01-01 00:00:00"),
                                                  names.join(comma), numbers.join(comma), types.join(comma),
                                                  conversions.join(comma), p1.join(comma), p2.join(comma), p3.join(comma),
                                                  b0.join(comma), b1.join(comma), b2.join(comma), b3.join(comma)});
}

// What the collector reports in resistance mode for probe j of the simulator at t ℃, as text.
inline QString resistanceText(int probe, double celsius)
{
    return QString::number(pcrsim::thermistorResistance(pcrsim::probeThermistor(Seed, probe), celsius), 'f', 6);
}

// The run lists of a calibration at the given reference temperatures, every probe read exactly.
inline ProbeCalibration::RunLists exactLists(const QVector<double> &temperatures, int probes)
{
    ProbeCalibration::RunLists lists;
    for (double t : temperatures) {
        lists.points.append({t, false});
        lists.calibrationReferences << QString::number(t, 'f', 4);
        QStringList values;
        for (int j = 0; j < probes; ++j)
            values << resistanceText(j, t);
        lists.calibrationReadings << values;
    }
    return lists;
}

// pcrsim serving the bath on a pseudo-terminal, the SCPI thermometer and the collector on
// loopback TCP, with the probes of Seed.
inline bool startSim(PcrSim &sim, double timeScale)
{
    return sim.start({"--bath-pty", "--scpi-tcp", "0", "--collector-tcp", "0", "--seed", QString::number(Seed),
                      "--time-scale", QString::number(timeScale)});
}

inline bool waitFor(const std::function<bool()> &condition, int ms = 60000)
{
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms)
        spin(20);
    return condition();
}

// The true characteristics as `pcrsim --print-probes` gives them.
inline QVector<pcrsim::ThermistorCoefficients> printedProbes(int channels = 16)
{
    QProcess p;
    p.start(QStringLiteral(PCRSIM_PATH), {QStringLiteral("--print-probes"), QStringLiteral("--seed"),
                                           QString::number(Seed), QStringLiteral("--channels"), QString::number(channels)});
    p.waitForFinished(10000);
    QVector<pcrsim::ThermistorCoefficients> out;
    for (const QString &line : QString::fromLatin1(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList f = line.split(QLatin1Char(' '));
        if (f.size() == 6)
            out.append({f[2].toDouble(), f[3].toDouble(), f[4].toDouble(), f[5].toDouble()});
    }
    return out;
}

} // namespace ProbeCalibrationTest
