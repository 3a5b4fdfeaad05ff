// The calibration bath model behind pcrsim: approach, overshoot, settling, the slow drift, and
// the errors of what sits in it.

#include "BathModel.h"

#include <QtTest>
#include <cmath>

using namespace pcrsim;

class TestBathModel : public QObject
{
    Q_OBJECT

private:
    static BathModel settledAt(double start, quint64 seed = 5)
    {
        BathModelConfig c;
        c.seed = seed;
        c.initialTemperature = start;
        return BathModel(c);
    }

private slots:
    void stepResponse_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::newRow("25 to 37") << 25.0 << 37.0;
        QTest::newRow("25 to 95") << 25.0 << 95.0;
        QTest::newRow("25 to -20") << 25.0 << -20.0;
        QTest::newRow("37 to 36") << 37.0 << 36.0;
        QTest::newRow("150 to 300") << 150.0 << 300.0;
    }
    // A lag with a small overshoot: from where it was, past the set point by 0.7 % of the step at
    // most, and within 2 mK after 15 time constants.
    void stepResponse()
    {
        QFETCH(double, from);
        QFETCH(double, to);
        BathModel bath = settledAt(from);
        const double tau = bath.config().timeConstant, c = bath.config().overshoot;
        const double t0 = 100;
        QVERIFY(bath.setSetPoint(t0, to));
        QCOMPARE(bath.setPoint(), to);
        QVERIFY(std::fabs(bath.approach(t0) - from) < 1e-12);
        const double step = to - from;
        double peak = 0;      // furthest beyond the set point, in the direction of the step
        double previous = from;
        bool monotonicUntilPeak = true;
        bool pastPeak = false;
        for (double t = t0; t <= t0 + 20 * tau; t += tau / 50) {
            const double x = bath.approach(t);
            const double beyond = (x - to) * (step > 0 ? 1 : -1);
            if (beyond < peak)
                pastPeak = true;
            peak = std::max(peak, beyond);
            if (!pastPeak && (x - previous) * step < -1e-12)
                monotonicUntilPeak = false;
            previous = x;
        }
        const double expected = c * std::exp(-1 - 1 / c) * std::fabs(step);
        QVERIFY2(std::fabs(peak - expected) < 0.02 * expected, qPrintable(QString("overshoot %1, expected %2").arg(peak).arg(expected)));
        QVERIFY(monotonicUntilPeak);
        QVERIFY(std::fabs(bath.approach(t0 + 15 * tau) - to) < 0.002);
    }

    // A set point changed on the way: the temperature carries on from where it is.
    void setPointChangedOnTheWay()
    {
        BathModel bath = settledAt(25);
        QVERIFY(bath.setSetPoint(0, 60));
        const double before = bath.temperature(300);
        QVERIFY(bath.setSetPoint(300, 40));
        QVERIFY(std::fabs(bath.temperature(300) - before) < 1e-9);
        QVERIFY(std::fabs(bath.approach(300 + 15 * bath.config().timeConstant) - 40) < 0.002);
    }

    void refusedSetPoints_data()
    {
        QTest::addColumn<double>("value");
        QTest::newRow("too cold") << -80.01;
        QTest::newRow("too hot") << 300.01;
        QTest::newRow("not a number") << std::nan("");
        QTest::newRow("infinite") << HUGE_VAL;
    }
    void refusedSetPoints()
    {
        QFETCH(double, value);
        BathModel bath = settledAt(25);
        QVERIFY(bath.setSetPoint(10, 50));
        const double at200 = bath.temperature(200);
        QVERIFY(!bath.setSetPoint(100, value));
        QCOMPARE(bath.setPoint(), 50.0);
        QCOMPARE(bath.temperature(200), at200);
    }

    // Settled, it holds within a few millikelvin and drifts slowly: a probe and the reference read
    // a second apart see nearly the same bath.
    void holdsWithinMillikelvins()
    {
        const BathModel bath = settledAt(37, 11);
        double lo = 1e9, hi = -1e9, fastest = 0;
        for (double t = 0; t < 4 * 3600; t += 1) {
            const double f = bath.fluctuation(t);
            lo = std::min(lo, f);
            hi = std::max(hi, f);
            fastest = std::max(fastest, std::fabs(bath.fluctuation(t + 1) - f));
            QCOMPARE(bath.temperature(t), 37 + f);
        }
        QVERIFY2(hi <= 0.0016 && lo >= -0.0016, qPrintable(QString("%1 .. %2").arg(lo).arg(hi)));
        QVERIFY(hi - lo > 0.002);      // it does move
        QVERIFY(fastest < 0.00002);    // by less than 0.02 mK a second
    }

    void errorsOfWhatSitsInIt()
    {
        const BathModel bath = settledAt(37, 3);
        const BathModel again = settledAt(37, 3);
        const BathModel other = settledAt(37, 4);
        int differ = 0;
        for (int j = 0; j < 16; ++j) {
            QVERIFY(std::fabs(bath.immersionError(j)) <= 0.001);
            QCOMPARE(bath.immersionError(j), again.immersionError(j));
            QCOMPARE(bath.probeTemperature(j, 500), bath.temperature(500) + bath.immersionError(j));
            differ += bath.immersionError(j) != other.immersionError(j) ? 1 : 0;
        }
        QCOMPARE(differ, 16);
        double worst = 0;
        for (double t = 0; t < 600; t += 0.37) {
            worst = std::max(worst, std::fabs(bath.referenceReading(t) - bath.temperature(t) - 0.0008));
            QCOMPARE(bath.referenceReading(t), again.referenceReading(t));
        }
        QVERIFY(worst < 0.0012);  // 0.2 mK of noise, six sigma
        QVERIFY(worst > 0);
        QCOMPARE(bath.displayReading(50), bath.temperature(50) + 0.0003);
    }
};

QTEST_GUILESS_MAIN(TestBathModel)
#include "tst_bathmodel.moc"
