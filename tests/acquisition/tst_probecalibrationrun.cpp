// The probe calibration run without any page, against pcrsim: the bath on a pseudo-terminal, the
// SCPI thermometer and the collector on loopback TCP, with the collector's probes in the bath.
// A six-point calibration reproduces the simulator's true probe characteristics and the probes
// then pass their verification, with the SCPI reference and with the bath's own; a liquid change
// pauses the run and a new run object resumes after it; a bath that goes away ends the run with
// its message and keeps the points taken; a stop ends a run in the middle.

#include "../calibration/CalibrationTest.h"
#include "ProbeCalibrationTest.h"

#include "acquisition/ProbeCalibrationRun.h"
#include "analysis/Thermistor.h"
#include "store/WorkerThread.h"

#include <QtTest>

#include <cmath>
#include <memory>

using namespace ProbeCalibration;
using Run = ProbeCalibrationRun;

namespace {

// Everything a run reports, in order.
struct Reports
{
    QList<double> setPoints;
    QList<Run::Reading> readings;
    QList<int> points;
    QList<Run::EndReason> ends;
    QList<Run::Fault> faults;
    std::function<void(int)> onPoint;

    explicit Reports(Run &run)
    {
        QObject::connect(&run, &Run::setTemperatureChanged, [this](double t) { setPoints << t; });
        QObject::connect(&run, &Run::readingTaken, [this](const Run::Reading &r) { readings << r; });
        QObject::connect(&run, &Run::pointCompleted, [this](int k, const QString &, const QStringList &) {
            points << k;
            if (onPoint)
                onPoint(k);
        });
        QObject::connect(&run, &Run::runEnded, [this](Run::EndReason r, Run::Fault f) {
            ends << r;
            faults << f;
        });
    }
    int delayReadings(int point) const
    {
        int n = 0;
        for (const Run::Reading &r : readings)
            n += r.point == point && r.delay ? 1 : 0;
        return n;
    }
};

QVector<Point> pointsAt(const QVector<double> &temperatures, const QList<int> &liquidAfter = {})
{
    QVector<Point> points;
    for (int i = 0; i < temperatures.size(); ++i)
        points.append({temperatures[i], liquidAfter.contains(i + 1)});
    return points;
}

} // namespace

class ProbeCalibrationRunTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<PcrSim> sim;
    Tool::Struct_Standardizer probes;

    bool startSim(double timeScale)
    {
        sim = std::make_unique<PcrSim>();
        return ProbeCalibrationTest::startSim(*sim, timeScale);
    }

    Run::Setup setup(Mode mode, const QString &referenceName, const QVector<Point> &points) const
    {
        Run::Setup s;
        s.mode = mode;
        s.bath = {Names::vade(), "串口", sim->bathPtyPath, "9600"};
        s.collector = {Names::collector(), "网络", "127.0.0.1", sim->tcpPort};
        if (referenceName == Names::ziviD())
            s.reference = {Names::ziviD(), QString(), QString(), QString()};
        else
            s.reference = {Names::fluke1586A(), "网络", "127.0.0.1", sim->scpiTcpPort};
        s.referenceProbe = {"ITS90-4W", "CH001", "-1.2e-4", "-2.5e-5", "0", "0", "25.5", "0", "0"};
        QList<Tool::Struct_Standardizer> stored;
        Tool::getStandardizer(stored, probes.Number);
        s.probes = stored.value(0);
        s.points = points;
        s.delayMinutes = 0;
        s.index = 0.05;
        // One reading per 20 simulated seconds at the time scale of the calibration runs.
        s.intervalSeconds = 0.1;
        return s;
    }

    // Runs to its end; the reports.
    static bool runToEnd(Run &run, const Run::Setup &s, Reports &reports, int ms = 300000)
    {
        if (run.start(s) != Run::Fault::None)
            return false;
        return ProbeCalibrationTest::waitFor([&] { return !run.isActive(); }, ms) && reports.ends.size() == 1;
    }

    // The stored coefficients against the true characteristics, worst error over 0…100 ℃.
    double worstError() const
    {
        const QVector<pcrsim::ThermistorCoefficients> truth = ProbeCalibrationTest::printedProbes();
        QList<Tool::Struct_Standardizer> stored;
        Tool::getStandardizer(stored, probes.Number);
        const auto list = [&](const QString &s) { return s.split(','); };
        const QStringList b0 = list(stored[0].B0_R0), b1 = list(stored[0].B1), b2 = list(stored[0].B2), b3 = list(stored[0].B3);
        if (truth.size() != 16 || b3.size() != 16)
            return 1e9;
        double worst = 0;
        for (int j = 0; j < 16; ++j) {
            const Analysis::ThermistorCoefficients c{b0[j].toDouble(), b1[j].toDouble(), b2[j].toDouble(), b3[j].toDouble()};
            for (double t = 0; t <= 100.0001; t += 1) {
                const double r = pcrsim::thermistorResistance(truth[j], t);
                worst = std::max(worst, std::fabs(Analysis::thermistorTemperature(c, r) - t));
            }
        }
        return worst;
    }

    // Calibration at time scale 200, fit and store, then verification on a fresh simulator.
    void calibrateAndVerify(const QString &referenceName)
    {
        const QVector<Point> six = pointsAt({0, 20, 40, 60, 80, 100});
        QVERIFY(startSim(200));
        {
            Run run;
            Reports reports(run);
            QVERIFY(runToEnd(run, setup(Mode::Calibration, referenceName, six), reports));
            QCOMPARE(reports.ends.first(), Run::EndReason::Completed);
            QCOMPARE(reports.points, QList<int>({0, 1, 2, 3, 4, 5}));
            QCOMPARE(reports.setPoints, QList<double>({0, 20, 40, 60, 80, 100}));
            QVERIFY(reports.readings.size() >= 6 * WindowSize);
            QCOMPARE(reports.delayReadings(0), 0);
            QVERIFY(run.lists().complete(Mode::Calibration));

            const Fit fit = fitCalibration(run.lists(), 16);
            QVERIFY(fit.ok);
            qInfo("worst fit residual %.4f K", fit.worstResidual);
            QVERIFY(fit.probesOver(StandardResidualLimit).isEmpty());
            QVERIFY(storeFit(probes, fit));
        }
        const double worst = worstError();
        qInfo("worst error of the stored coefficients over 0…100 ℃: %.4f K", worst);
        QVERIFY(worst < 0.005);

        QVERIFY(startSim(1000));
        Run run;
        Reports reports(run);
        run.loadLists();
        Run::Setup s = setup(Mode::Verification, referenceName, six);
        QVERIFY(runToEnd(run, s, reports));
        QCOMPARE(reports.ends.first(), Run::EndReason::Completed);
        const Analysis::ProbeSetVerdict verdict = Analysis::verifyProbeSet(
            run.lists().verificationReferences, run.lists().verificationReadings, 16);
        QVERIFY(verdict.ok);
        QCOMPARE(verdict.details, QStringList(QVector<QString>(16).toList()));
        // The calibration's points are still there for the manual dialog's fit.
        QCOMPARE(run.lists().calibrationReferences.size(), 6);
    }

private slots:
    void init()
    {
        QVERIFY(CalibrationTest::enterFreshWorkspace(ws));
        probes = ProbeCalibrationTest::probeSet();
        QVERIFY(Tool::addStandardizer(probes));
    }
    void cleanup()
    {
        sim.reset();
        ws.reset();
    }

    void calibrationWithTheScpiReference() { calibrateAndVerify(Names::fluke1586A()); }
    void calibrationWithTheBathReference() { calibrateAndVerify(Names::ziviD()); }

    // A liquid flag on point 2 pauses after it; a new run object (as after a restart) resumes at
    // point 3 and leaves points 1 and 2 as they were. A delay of 2 minutes adds six readings.
    void liquidChangeAndResume()
    {
        QVERIFY(startSim(1000));
        const QVector<Point> four = pointsAt({25, 30, 35, 40}, {2});
        RunLists first;
        {
            Run run;
            Reports reports(run);
            Run::Setup s = setup(Mode::Calibration, Names::fluke1586A(), four);
            s.delayMinutes = 2;
            QVERIFY(runToEnd(run, s, reports));
            QCOMPARE(reports.ends.first(), Run::EndReason::Paused);
            QCOMPARE(Run::endText(reports.ends.first(), reports.faults.first(), Mode::Calibration),
                     QStringLiteral("请更换液体!"));
            QCOMPARE(reports.points, QList<int>({0, 1}));
            QCOMPARE(reports.delayReadings(0), 6);
            QCOMPARE(reports.delayReadings(1), 6);
            first = run.lists();
        }
        Run run;
        Reports reports(run);
        run.loadLists();
        QCOMPARE(run.lists().calibrationReferences, first.calibrationReferences);
        QCOMPARE(resumeDecision(run.lists().probeSet, probes.Name, run.lists().calibrationReferences.size(), 4),
                 Resume::Ask);
        QVERIFY(runToEnd(run, setup(Mode::Calibration, Names::fluke1586A(), four), reports));
        QCOMPARE(reports.ends.first(), Run::EndReason::Completed);
        QCOMPARE(reports.points, QList<int>({2, 3}));
        QCOMPARE(reports.setPoints, QList<double>({35, 40}));
        QCOMPARE(run.lists().calibrationReferences.mid(0, 2), first.calibrationReferences);
        QCOMPARE(run.lists().calibrationReadings.mid(0, 2), first.calibrationReadings);
        QCOMPARE(run.lists().calibrationReferences.size(), 4);
    }

    // The bath goes away after the first point: the run ends with the bath's message, the point
    // taken stays (also in config.ini).
    void bathStopsAnswering()
    {
        // The bath the run sets on its own; the probes and the reference sit in another one.
        PcrSim bathOnly;
        QVERIFY(bathOnly.start({"--bath-pty", "--time-scale", "1000"}));
        QVERIFY(startSim(1000));
        Run run;
        Reports reports(run);
        Run::Setup s = setup(Mode::Calibration, Names::fluke1586A(), pointsAt({25, 30, 35, 40}));
        s.bath.address = bathOnly.bathPtyPath;
        reports.onPoint = [&](int k) {
            if (k == 0)
                bathOnly.stop();
        };
        QVERIFY(runToEnd(run, s, reports, 120000));
        QCOMPARE(reports.ends.first(), Run::EndReason::Failed);
        QCOMPARE(reports.faults.first(), Run::Fault::BathSetup);
        QCOMPARE(Run::endText(reports.ends.first(), reports.faults.first(), Mode::Calibration),
                 QStringLiteral("温场设备设置失败!"));
        QCOMPARE(reports.points, QList<int>({0}));
        Run later;
        later.loadLists();
        QCOMPARE(later.lists().calibrationReferences.size(), 1);
        QCOMPARE(later.lists().calibrationReadings.first().size(), 16);
    }

    // The disk fills up after point 1: the run stops at once with its message, and point 1 is
    // all that is reported, kept and found by the next run.
    void pointThatCannotBeStoredStopsTheRun()
    {
        QVERIFY(startSim(1000));
        Run run;
        Reports reports(run);
        QVERIFY(Workspace::sql("create trigger full before insert on ProbeCalibrationPoint when new.Point >= 1 "
                               "begin select raise(abort, 'database or disk is full'); end"));
        QVERIFY(runToEnd(run, setup(Mode::Calibration, Names::fluke1586A(), pointsAt({25, 30, 35, 40})), reports, 120000));
        QCOMPARE(reports.ends.first(), Run::EndReason::Failed);
        QCOMPARE(reports.faults.first(), Run::Fault::PointStore);
        QCOMPARE(Run::endText(reports.ends.first(), reports.faults.first(), Mode::Calibration),
                 QStringLiteral("测量点保存到数据库失败，运行已停止！"));
        QCOMPARE(reports.points, QList<int>({0}));
        QCOMPARE(run.lists().calibrationReferences.size(), 1);
        Run later;
        QVERIFY(later.loadLists(probes));
        QCOMPARE(later.lists().calibrationReferences, run.lists().calibrationReferences);
    }

    // Stopped while the bath settles, and destroyed while it settles: the run ends as stopped,
    // the points taken stay, and no thread is left behind.
    void stopped_data()
    {
        QTest::addColumn<bool>("destroy");
        QTest::newRow("stop") << false;
        QTest::newRow("destroyed") << true;
    }
    void stopped()
    {
        QFETCH(bool, destroy);
        QVERIFY(startSim(1000));
        const int threads = CalibrationTest::threadCount();
        auto run = std::make_unique<Run>();
        Reports reports(*run);
        Run::Setup s = setup(Mode::Calibration, Names::fluke1586A(), pointsAt({25, 30, 35, 40}));
        bool afterFirst = false;
        QObject::connect(run.get(), &Run::readingTaken, [&](const Run::Reading &r) { afterFirst = r.point == 1; });
        QCOMPARE(run->start(s), Run::Fault::None);
        QVERIFY(ProbeCalibrationTest::waitFor([&] { return afterFirst; }));
        if (destroy) {
            run.reset();
        } else {
            run->stop();
            QVERIFY(ProbeCalibrationTest::waitFor([&] { return !run->isActive(); }, 5000));
            QCOMPARE(reports.ends, QList<Run::EndReason>{Run::EndReason::Stopped});
            QCOMPARE(Run::endText(reports.ends.first(), reports.faults.first(), Mode::Calibration),
                     QStringLiteral("手动终止!"));
            run.reset();
        }
        QCOMPARE(reports.points, QList<int>({0}));
        Run later;
        later.loadLists();
        QCOMPARE(later.lists().calibrationReferences.size(), 1);
        QTRY_COMPARE(CalibrationTest::threadCount(), threads);
    }

    // What refuses a start before anything is opened.
    void refusedStarts_data()
    {
        QTest::addColumn<QString>("bath");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown bath") << "XYZ" << "Fluke 1586A" << int(Run::Fault::NoDevice) << "设备获取失败！";
        QTest::newRow("manual reference") << "VADE" << "Manual" << int(Run::Fault::ManualReference)
                                          << "当前模式下不许选择手动模式！";
    }
    void refusedStarts()
    {
        QFETCH(QString, bath);
        QFETCH(QString, reference);
        QFETCH(int, fault);
        QFETCH(QString, text);
        QVERIFY(startSim(1000));
        Run run;
        Run::Setup s = setup(Mode::Calibration, Names::fluke1586A(), pointsAt({25, 30, 35, 40}));
        s.bath.name = bath;
        s.reference.name = reference;
        QCOMPARE(int(run.start(s)), fault);
        QVERIFY(!run.isActive());
        QCOMPARE(Run::faultText(Run::Fault(fault), Mode::Calibration), text);
    }

    // The manual steps: connect, a point with the reference read and one typed in (replacing
    // it), disconnect; the log tells each.
    void manualSteps()
    {
        QVERIFY(startSim(1000));
        Run run;
        QStringList log;
        QList<bool> steps;
        QObject::connect(&run, &Run::logLine, [&](const QString &l) { log << l; });
        QObject::connect(&run, &Run::stepEnded, [&](Run::Step, bool ok, Run::Fault) { steps << ok; });
        Run::Setup s = setup(Mode::Verification, Names::fluke1586A(), pointsAt({25, 30, 35, 40}));
        QCOMPARE(run.connectDevices(s), Run::Fault::None);
        QVERIFY(ProbeCalibrationTest::waitFor([&] { return !run.isActive(); }));
        QCOMPARE(steps, QList<bool>{true});
        QVERIFY(run.isConnected() && run.hasReferenceDriver());
        QCOMPARE(log, QStringList({"设备连接成功！", "采集设备设置成功！", "标准器设置成功！"}));

        QCOMPARE(run.readPoint(0), Run::Fault::None);
        QVERIFY(ProbeCalibrationTest::waitFor([&] { return !run.isActive(); }));
        QCOMPARE(run.readPoint(0, 25.5), Run::Fault::None);
        QVERIFY(ProbeCalibrationTest::waitFor([&] { return !run.isActive(); }));
        QCOMPARE(steps, QList<bool>({true, true, true}));
        QCOMPARE(run.lists().verificationReferences, QStringList{"25.5000"});
        QCOMPARE(run.lists().verificationReadings.size(), 1);
        QVERIFY(log.contains(QStringLiteral("\n温度点1:")));
        QVERIFY(log.last().startsWith(QStringLiteral("标准温度：25.5000  通道16：")));

        QCOMPARE(run.disconnectDevices(), Run::Fault::None);
        QVERIFY(ProbeCalibrationTest::waitFor([&] { return !run.isActive(); }));
        QVERIFY(!run.isConnected());
        QCOMPARE(log.last(), QStringLiteral("设备断开成功！"));
    }
};

PCR_TEST_CLASS(ProbeCalibrationRunTest)
#include "tst_probecalibrationrun.moc"
