// The PCR block model and the probe characteristics behind pcrsim.

#include "BlockModel.h"
#include "Thermistor.h"

#include <QtTest>
#include <cmath>

using namespace pcrsim;

class TestBlockModel : public QObject
{
    Q_OBJECT

private:
    static BlockModelConfig config(const QString &program, quint64 seed = 7, int channels = 16)
    {
        BlockModelConfig c;
        QString error;
        if (!parseProgram(program, &c.program, &error))
            qFatal("bad test program: %s", qPrintable(error));
        c.seed = seed;
        c.channels = channels;
        return c;
    }

private slots:
    void parsesPrograms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("three steps") << "95:1,60:0.5,72:1" << true;
        QTest::newRow("spaces") << " 95 : 1 , 60 : 2 " << true;
        QTest::newRow("one step") << "37:10" << true;
        QTest::newRow("zero hold with ramps") << "95:0,60:0" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("missing minutes") << "95" << false;
        QTest::newRow("words") << "hot:1" << false;
        QTest::newRow("three fields") << "95:1:2" << false;
        QTest::newRow("trailing comma") << "95:1," << false;
        QTest::newRow("negative hold") << "95:-1" << false;
        QTest::newRow("too hot") << "400:1" << false;
        QTest::newRow("no time at all") << "60:0" << false;
        QTest::newRow("nan") << "nan:1" << false;
    }
    void parsesPrograms()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QVector<ProgramStep> steps{{1, 1}};
        QString error;
        QCOMPARE(parseProgram(text, &steps, &error), valid);
        if (valid) {
            QVERIFY(!steps.isEmpty());
        } else {
            QVERIFY2(!error.isEmpty(), "a refused program says why");
            QCOMPARE(steps.size(), 1);  // left untouched
        }
    }

    void scheduleFollowsRampsAndHolds()
    {
        const BlockModel m(config("95:1,60:0.5"));
        // First pass starts at 25 °C: 70 K up at 4 K/s, hold 60 s, 35 K down at 3 K/s, hold 30 s.
        QCOMPARE(m.firstCycleDuration(), 70 / 4.0 + 60 + 35 / 3.0 + 30);
        // Later passes ramp up from 60.
        QCOMPARE(m.cycleDuration(), 35 / 4.0 + 60 + 35 / 3.0 + 30);
        QCOMPARE(m.setPoint(-5), 25.0);
        QCOMPARE(m.setPoint(10), 25 + 4.0 * 10);
        QCOMPARE(m.setPoint(70 / 4.0 + 30), 95.0);
        const double secondPass = m.firstCycleDuration();
        QCOMPARE(m.setPoint(secondPass + 1), 60 + 4.0);
        QCOMPARE(m.setPoint(secondPass + m.cycleDuration() * 3 + 35 / 4.0 + 10), 95.0);
    }

    // The closed form must be the solution of the block's equation of motion
    // b'' = w² (s − b) − 2 z w b' driven by the set point s(t).
    void closedFormMatchesIntegration()
    {
        const BlockModel m(config("95:0.5,55:0.25,72:0.5"));
        const auto &c = m.config();
        const double w = c.naturalFrequency, z = c.damping;
        double b = c.initialTemperature, v = 0;
        const double dt = 0.002;
        double worst = 0;
        const auto accel = [&](double t, double bb, double vv) { return w * w * (m.setPoint(t) - bb) - 2 * z * w * vv; };
        for (double t = 0; t < 2.5 * m.firstCycleDuration(); t += dt) {
            // RK4
            const double k1b = v, k1v = accel(t, b, v);
            const double k2b = v + dt / 2 * k1v, k2v = accel(t + dt / 2, b + dt / 2 * k1b, v + dt / 2 * k1v);
            const double k3b = v + dt / 2 * k2v, k3v = accel(t + dt / 2, b + dt / 2 * k2b, v + dt / 2 * k2v);
            const double k4b = v + dt * k3v, k4v = accel(t + dt, b + dt * k3b, v + dt * k3v);
            b += dt / 6 * (k1b + 2 * k2b + 2 * k3b + k4b);
            v += dt / 6 * (k1v + 2 * k2v + 2 * k3v + k4v);
            worst = std::max(worst, std::fabs(b - m.blockTemperature(t + dt)));
        }
        QVERIFY2(worst < 2e-3, qPrintable(QString::number(worst)));
    }

    void overshootsAndSettles()
    {
        const BlockModel m(config("95:1,60:1"));
        const double rampEnd = 70 / 4.0;
        double peak = 0;
        for (double t = rampEnd; t < rampEnd + 15; t += 0.01)
            peak = std::max(peak, m.blockTemperature(t));
        // A real cycler overshoots by a fraction of a kelvin and settles in seconds.
        QVERIFY2(peak > 95.2 && peak < 96.5, qPrintable(QString::number(peak)));
        QVERIFY(std::fabs(m.blockTemperature(rampEnd + 30) - 95) < 0.01);
        // While ramping, the block trails the set point.
        QVERIFY(m.blockTemperature(10) < m.setPoint(10));
    }

    void wellsSitAtTheirPlateauMeans()
    {
        const BlockModel m(config("95:1,60:0.5,72:1", 3));
        const QVector<Plateau> ps = m.plateaus(0, 2 * m.cycleDuration() + m.firstCycleDuration() - 1);
        QCOMPARE(ps.size(), 9);
        for (const Plateau &p : ps) {
            QCOMPARE(p.setTemperature, m.config().program[p.step].temperature);
            QVERIFY(p.holdStart < p.settledStart && p.settledStart < p.holdStart + 20);
            QCOMPARE(p.end - p.holdStart, m.config().program[p.step].holdMinutes * 60);
            for (double t = p.settledStart; t <= p.end; t += 1.0) {
                for (int j = 0; j < m.channels(); ++j) {
                    const double mean = m.plateauMean(j, p.setTemperature);
                    QVERIFY2(std::fabs(m.wellTemperature(j, t) - mean) < 0.05,
                             qPrintable(QString("well %1 at %2: %3 vs %4").arg(j).arg(t).arg(m.wellTemperature(j, t)).arg(mean)));
                }
            }
        }
        // Offsets: rim wells cooler than inner ones when hot, a spread of some tenths of a kelvin.
        double lo = 1e9, hi = -1e9;
        for (int j = 0; j < 16; ++j) {
            lo = std::min(lo, m.wellOffset(j, 95));
            hi = std::max(hi, m.wellOffset(j, 95));
        }
        QVERIFY(hi - lo > 0.1 && hi - lo < 0.8);
        QVERIFY(m.wellOffset(5, 95) > m.wellOffset(0, 95));  // inner well vs corner
    }

    void measuredNoiseIsSmallAndCentred()
    {
        const BlockModel m(config("60:100"));
        double sum = 0, sumSq = 0;
        int n = 0;
        for (double t = 60; t < 5000; t += 0.1) {
            const double e = m.measuredTemperature(2, t) - m.wellTemperature(2, t);
            sum += e;
            sumSq += e * e;
            ++n;
        }
        const double mean = sum / n, sigma = std::sqrt(sumSq / n - mean * mean);
        QVERIFY(std::fabs(mean) < 0.001);
        QVERIFY(sigma > 0.008 && sigma < 0.012);
    }

    void sameSeedSameRun()
    {
        const BlockModel a(config("95:1,60:1", 11)), b(config("95:1,60:1", 11)), c(config("95:1,60:1", 12));
        bool differs = false;
        for (double t = 0; t < 300; t += 7.3) {
            QCOMPARE(a.measuredTemperatures(t), b.measuredTemperatures(t));
            differs = differs || a.measuredTemperatures(t) != c.measuredTemperatures(t);
        }
        QVERIFY(differs);
        // Evaluation order does not matter.
        QCOMPARE(a.measuredTemperature(3, 123.4), b.measuredTemperature(3, 123.4));
    }

    void channelsLimitTheWells()
    {
        const BlockModel m(config("95:1", 1, 4));
        QCOMPARE(m.wellTemperatures(10).size(), 4);
        QCOMPARE(m.measuredTemperatures(10).size(), 4);
    }

    void idleWithoutProgram()
    {
        BlockModelConfig c;
        c.initialTemperature = 31;
        const BlockModel m(c);
        QCOMPARE(m.blockTemperature(1000), 31.0);
        QCOMPARE(m.setPoint(1000), 31.0);
        QVERIFY(m.plateaus(0, 1000).isEmpty());
    }

    void thermistorRoundTrips()
    {
        for (int j = 0; j < 16; ++j) {
            const ThermistorCoefficients c = probeThermistor(5, j);
            for (double t = -20; t <= 130; t += 7.5) {
                const double r = thermistorResistance(c, t);
                QVERIFY(r > 100 && r < 1e6);
                QVERIFY(std::fabs(thermistorTemperature(c, r) - t) < 1e-9);
            }
        }
        // A nominal 10 kΩ NTC.
        QVERIFY(std::fabs(thermistorResistance(nominalThermistor(), 25) - 10000) < 5);
        QVERIFY(std::isnan(thermistorTemperature(nominalThermistor(), 0)));
        QVERIFY(std::isnan(thermistorTemperature({0, 0, 0, 0}, 1000)));
    }

    // Each probe has its own characteristic: read with the nominal coefficients it is off by
    // tenths of a kelvin, which is what probe calibration exists for.
    void probesDifferFromNominal()
    {
        double worst = 0;
        for (int j = 0; j < 16; ++j) {
            const double r = thermistorResistance(probeThermistor(9, j), 25);
            worst = std::max(worst, std::fabs(thermistorTemperature(nominalThermistor(), r) - 25));
        }
        QVERIFY(worst > 0.05 && worst < 0.5);
    }
};

QTEST_GUILESS_MAIN(TestBlockModel)
#include "tst_blockmodel.moc"
