// What the calibration page shows of a run: the cycle-file step the block should be in, the time
// done and left, and each probe's figures so far.

#include "../support/TestSuite.h"

#include "acquisition/RunProgress.h"

#include <QtTest>

Q_DECLARE_METATYPE(CycleStep)

class TestRunProgress : public QObject
{
    Q_OBJECT

private slots:
    // The demo program 60 °C, 95 °C, 72 °C with one-minute holds, and one with decimal minutes.
    void stepAgainstTheCycleFile_data()
    {
        QTest::addColumn<QVector<CycleStep>>("steps");
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("cycle");
        QTest::addColumn<double>("temperature");
        QTest::addColumn<int>("left");
        const QVector<CycleStep> demo = {{60, 1}, {95, 1}, {72, 1}};
        const QVector<CycleStep> decimal = {{95, 0.5}, {72.5, 1.5}};
        QTest::newRow("start") << demo << 0 << 0 << 0 << 60.0 << 60;
        QTest::newRow("into the second") << demo << 90 << 1 << 0 << 95.0 << 30;
        QTest::newRow("last second of the third") << demo << 179 << 2 << 0 << 72.0 << 1;
        QTest::newRow("program again") << demo << 200 << 0 << 1 << 60.0 << 40;
        QTest::newRow("before the start") << demo << -5 << 0 << 0 << 60.0 << 60;
        QTest::newRow("decimal minutes") << decimal << 45 << 1 << 0 << 72.5 << 75;
        QTest::newRow("no steps") << QVector<CycleStep>() << 10 << -1 << 0 << 0.0 << 0;
        QTest::newRow("no hold at all") << QVector<CycleStep>{{95, 0}} << 10 << -1 << 0 << 0.0 << 0;
    }

    void stepAgainstTheCycleFile()
    {
        QFETCH(QVector<CycleStep>, steps);
        QFETCH(int, elapsed);
        const RunProgress::StepAt at = RunProgress::stepAt(steps, elapsed);
        QTEST(at.step, "step");
        QTEST(at.cycle, "cycle");
        QTEST(at.temperature, "temperature");
        QTEST(int(at.secondsLeft), "left");
    }

    // The demo's duration 00:03:41 against the time since the first sample.
    void timeLeft_data()
    {
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("clock");
        QTest::newRow("begun") << 221 << 0 << 221 << 0 << "00:03:41";
        QTest::newRow("half") << 221 << 90 << 131 << 40 << "00:02:11";
        QTest::newRow("over") << 221 << 300 << 0 << 100 << "00:00:00";
        QTest::newRow("no duration") << 0 << 0 << 0 << 100 << "00:00:00";
        QTest::newRow("day") << 86399 << 1 << 86398 << 0 << "23:59:58";
    }

    void timeLeft()
    {
        QFETCH(int, duration);
        QFETCH(int, elapsed);
        QTEST(int(RunProgress::remainingSeconds(duration, elapsed)), "left");
        QTEST(RunProgress::percentDone(duration, elapsed), "percent");
        QTEST(RunProgress::clockText(RunProgress::remainingSeconds(duration, elapsed)), "clock");
    }

    void probeRanges()
    {
        RunProgress::ProbeRanges r;
        r.reset(3);
        r.add({"25.5", "30", "x"});
        r.add({"24.0", "31.25", "nan"});
        r.add({"26", "", "40"});
        const auto &p = r.ranges();
        QCOMPARE(p.size(), 3);
        QCOMPARE(p[0].current, 26.0);
        QCOMPARE(p[0].low, 24.0);
        QCOMPARE(p[0].high, 26.0);
        // An unreadable value leaves the figures as they were.
        QCOMPARE(p[1].current, 31.25);
        QCOMPARE(p[1].low, 30.0);
        QVERIFY(p[2].seen);
        QCOMPARE(p[2].low, 40.0);
        QCOMPARE(p[2].high, 40.0);
        r.reset(2);
        QVERIFY(!r.ranges()[0].seen);
    }
};

PCR_TEST_CLASS(TestRunProgress)
#include "tst_runprogress.moc"
