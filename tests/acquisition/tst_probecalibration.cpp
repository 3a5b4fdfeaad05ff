// The rules of probe calibration on plain values: the point list, the resume decision, the
// stability test, the channel settings, the run lists in config.ini, and the fit with its
// residuals and its storing.

#include "../support/TestSuite.h"
#include "../support/Workspace.h"
#include "ProbeCalibrationTest.h"

#include "acquisition/ProbeCalibration.h"
#include "analysis/Thermistor.h"

#include <QSettings>
#include <QtTest>

#include <cmath>

using namespace ProbeCalibration;
Q_DECLARE_METATYPE(ProbeCalibration::Resume)

class ProbeCalibrationRules : public QObject
{
    Q_OBJECT

private slots:
    void points_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<bool>>("liquid");
        QTest::addColumn<QString>("expected");   // "t/flag" per point, or the message
        QTest::newRow("four") << QStringList{"0", "20", "40", "60"} << QList<bool>{} << "0/0 20/0 40/0 60/0";
        QTest::newRow("three refused") << QStringList{"0", "20", "40"} << QList<bool>{} << "温度点数不许少于4个！";
        QTest::newRow("empty third ends the list") << QStringList{"0", "20", "", "60", "80", "100"} << QList<bool>{}
                                                   << "温度点数不许少于4个！";
        QTest::newRow("empty fifth ends the list") << QStringList{"0", "20", "40", "60", " ", "100"} << QList<bool>{}
                                                   << "0/0 20/0 40/0 60/0";
        QTest::newRow("liquid flags kept") << QStringList{"-10", "0", "30", "60", "90"}
                                           << QList<bool>{false, true, false, false, true} << "-10/0 0/1 30/0 60/0 90/1";
        QTest::newRow("hundredths, as the bath takes them") << QStringList{"0.004", "20.126", "40", "60"}
                                                            << QList<bool>{} << "0/0 20.13/0 40/0 60/0";
        QTest::newRow("nine at most") << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"} << QList<bool>{}
                                      << "1/0 2/0 3/0 4/0 5/0 6/0 7/0 8/0 9/0";
        QTest::newRow("no temperature") << QStringList{"0", "2.0.1", "40", "60"} << QList<bool>{}
                                        << "第2个温度点“2.0.1”不是温度！";
        QTest::newRow("a lone minus") << QStringList{"0", "20", "40", "-"} << QList<bool>{} << "第4个温度点“-”不是温度！";
    }
    void points()
    {
        QFETCH(QStringList, texts);
        QFETCH(QList<bool>, liquid);
        QFETCH(QString, expected);
        QVector<Point> points;
        QString message;
        const bool ok = collectPoints(texts, liquid, points, &message);
        QStringList got;
        for (const Point &p : points)
            got << QStringLiteral("%1/%2").arg(p.temperature).arg(int(p.liquidChange));
        QCOMPARE(ok ? got.join(' ') : message, expected);
        QCOMPARE(ok, message.isEmpty());
    }

    void resume_data()
    {
        QTest::addColumn<QString>("storedSet");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("points");
        QTest::addColumn<Resume>("decision");
        QTest::newRow("another set") << "别的" << 2 << 6 << Resume::Fresh;
        QTest::newRow("nothing stored") << "探头" << 0 << 6 << Resume::Fresh;
        QTest::newRow("two of six") << "探头" << 2 << 6 << Resume::Ask;
        QTest::newRow("five of six") << "探头" << 5 << 6 << Resume::Ask;
        QTest::newRow("all six") << "探头" << 6 << 6 << Resume::DataError;
        QTest::newRow("more than entered") << "探头" << 6 << 4 << Resume::DataError;
    }
    void resume()
    {
        QFETCH(QString, storedSet);
        QFETCH(int, stored);
        QFETCH(int, points);
        QFETCH(Resume, decision);
        QCOMPARE(resumeDecision(storedSet, QStringLiteral("探头"), stored, points), decision);
    }

    // Stable once 15 readings are there and the index is greater than their spread.
    void stability_data()
    {
        QTest::addColumn<QVector<double>>("readings");
        QTest::addColumn<double>("index");
        QTest::addColumn<bool>("stable");
        QTest::addColumn<double>("spread");
        const auto span = [](int n, double from, double to) {
            QVector<double> r;
            for (int i = 0; i < n; ++i)
                r << (i % 2 ? to : from);
            return r;
        };
        QTest::newRow("14 readings") << span(14, 25.0, 25.0) << 0.05 << false << 0.0;
        QTest::newRow("spread equal to the index") << span(15, 25.01, 25.06) << 0.05 << false << 0.05;
        QTest::newRow("index just above") << span(15, 25.01, 25.06) << 0.0501 << true << 0.05;
        QTest::newRow("spread just above") << span(15, 25.01, 25.0601) << 0.05 << false << 0.0501;
        QVector<double> settling = span(15, 25.0, 25.001);
        settling.prepend(26.0);   // the 16th pushes the oldest out
        QTest::newRow("oldest dropped") << settling << 0.01 << true << 0.001;
    }
    void stability()
    {
        QFETCH(QVector<double>, readings);
        QFETCH(double, index);
        QFETCH(bool, stable);
        QFETCH(double, spread);
        StabilityWindow w;
        for (double r : readings)
            w.add(r);
        QCOMPARE(w.isStable(index), stable);
        QVERIFY(std::fabs(w.spread() - spread) < 1e-9);
        QCOMPARE(w.size(), qMin(readings.size(), WindowSize));
    }

    void delay()
    {
        QCOMPARE(delayReadings(0), 0);
        QCOMPARE(delayReadings(2), 6);
        QCOMPARE(delayReadings(-1), 0);
    }

    void collectorChannels_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("wiring");
        QTest::newRow("calibration, 2-wire") << int(Mode::Calibration) << "热敏电阻-2W" << "Ohm" << "二线制";
        QTest::newRow("verification, 3-wire") << int(Mode::Verification) << "热敏电阻-3W" << "℃" << "三线制";
        QTest::newRow("verification, 4-wire") << int(Mode::Verification) << "热敏电阻-4W" << "℃" << "四线制";
    }
    void collectorChannels()
    {
        QFETCH(int, mode);
        QFETCH(QString, type);
        QFETCH(QString, unit);
        QFETCH(QString, wiring);
        Tool::Struct_Standardizer set = ProbeCalibrationTest::probeSet(3);
        set.ProbeTypes = QStringList{type, type, type}.join(',');
        set.B0_R0 = QStringLiteral("0.001,0.002,0.003");
        set.ChannelParameter2 = QStringLiteral("1,1.5,1");
        set.ChannelParameter3 = QStringLiteral("0,0,-0.2");
        const QList<ChannelSetting> s = collectorSettings(set, Mode(mode));
        QCOMPARE(s.size(), 3);
        QCOMPARE(s[1].toList(), QStringList({"102", "热敏电阻", "R(T)", wiring, unit, "", "", "0.002", "4000", "0", "0",
                                             "0", "0", "0", "1.5", "0"}));
        QCOMPARE(s[2][ChannelSetting::ScaleOffset], QStringLiteral("-0.2"));

        set.B3 = QStringLiteral("0,0");   // one probe without its last coefficient
        QVERIFY(collectorSettings(set, Mode(mode)).isEmpty());
    }

    void referenceChannel_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("channel");
        QTest::addColumn<QStringList>("fields");   // channel, function, conversion, wiring
        QTest::newRow("ITS90-4W") << "ITS90-4W" << "CH001" << QStringList{"001", "铂电阻", "ITS90", "四线制"};
        QTest::newRow("ITS90-2W") << "ITS90-2W" << "CH101" << QStringList{"101", "铂电阻", "ITS90", "二线制"};
        QTest::newRow("PT385-3W") << "PT385-3W" << "CH110" << QStringList{"110", "铂电阻", "PT385", "三线制"};
        QTest::newRow("R(T)-2W") << "R(T)-2W" << "CH105" << QStringList{"105", "热敏电阻", "R(T)", "二线制"};
        QTest::newRow("R(T)-4W") << "R(T)-4W" << "CH001" << QStringList{"001", "热敏电阻", "R(T)", "四线制"};
    }
    void referenceChannel()
    {
        QFETCH(QString, type);
        QFETCH(QString, channel);
        QFETCH(QStringList, fields);
        const ReferenceProbe p{type, channel, "a", "b", "c", "d", "25.5", "a4", "b4"};
        const QStringList rest{"℃", "", "", "a", "b", "c", "d", "25.5", "a4", "b4", "1", "0"};
        QCOMPARE(referenceSetting(p).toList(), fields + rest);
    }

    // config.ini keeps the set and the plan only; measured points an older version left there
    // are never read back, and go (into the log) with a notice.
    void listsInConfig()
    {
        Workspace ws;
        RunLists lists;
        lists.probeSet = QStringLiteral("槽校探头");
        lists.points = {{0, false}, {20.5, true}, {40, false}, {60, false}};
        const auto file = Tool::configFile(ws.path("config.ini"));
        QSettings &ini = *file;
        writeLists(ini, lists);
        QCOMPARE(ini.value("TSet/Temp2").toString(), QStringLiteral("20.50"));
        QCOMPARE(ini.value("TSet/Liquid2").toBool(), true);
        QCOMPARE(ini.value("TSet/Temp5").toString(), QString());
        QCOMPARE(dropConfigPoints(ini), QString());

        ini.setValue("TCalibration/CalibrationTemp", QStringList{"20.0170", "30.0000"});
        ini.setValue("TCalibration/DeviceOhm1", QStringList{"12001.6", "11990.26"});
        RunLists back = readLists(ini);
        QCOMPARE(back.probeSet, lists.probeSet);
        QCOMPARE(back.points, lists.points);
        QVERIFY(back.calibrationReferences.isEmpty());
        QVERIFY(dropConfigPoints(ini).contains(QStringLiteral("不再使用")));
        QVERIFY(!ini.contains("TCalibration/CalibrationTemp") && !ini.contains("TCalibration/DeviceOhm1"));
    }

    // Points go to the database, each with its audit entry in the same transaction, and come
    // back from there in order with the run's plan; a point that cannot be written changes
    // nothing, neither the lists nor the trail.
    void pointsInTheDatabase()
    {
        Workspace ws;
        QVERIFY(ws.openDatabase());
        Tool::CurrentUser.Name = QStringLiteral("tester");
        const Tool::Struct_Standardizer set = ProbeCalibrationTest::probeSet(2);
        QVERIFY(Tool::addStandardizer(set));
        RunLists lists;
        QVERIFY(loadStoredLists(lists, set));
        lists.points = {{20, false}, {30, true}, {40, false}, {50, false}};
        const QString fluke = instrumentText({"Fluke 1586A", "网络", "127.0.0.1", "5981"}, false);
        QVERIFY(storePoint(lists, Mode::Calibration, 0, "20.0012", {"12001.6", "11990.2"}, fluke));
        QVERIFY(storePoint(lists, Mode::Calibration, 1, "30.0003", {"8001.5", "7990.1"}, fluke));
        QVERIFY(storePoint(lists, Mode::Verification, 0, "20.0011", {"20.001", "19.998"}, instrumentText({}, true)));
        // Someone edits config.ini meanwhile: it is not where the points are.
        Tool::configFile()->setValue("TCalibration/CalibrationTemp", QStringList{"20.0182", "30.0003"});

        RunLists back;
        back.points = {{99, false}};
        QVERIFY(loadStoredLists(back, set));
        QCOMPARE(back.calibrationReferences, QStringList({"20.0012", "30.0003"}));
        QCOMPARE(back.calibrationReadings.last(), QStringList({"8001.5", "7990.1"}));
        QCOMPARE(back.calibrationPlan, lists.points);
        QCOMPARE(back.verificationReferences, QStringList{"20.0011"});
        QCOMPARE(back.points, QVector<Point>({{99, false}}));   // the plan to start with stays
        QCOMPARE(Workspace::auditDetails().size(), 3);
        QCOMPARE(Workspace::auditDetails().first(), QStringLiteral("探头校准测量点：槽校探头，第1点，标准温度 20.0012 ℃（Fluke 1586A（网络 127.0.0.1 5981））。"));
        QCOMPARE(Workspace::audit().first().Operator, QStringLiteral("tester"));

        // The disk fills up: the third point is refused and nothing of it is left anywhere.
        // (The table taken away stands for the full disk on either back end.)
        QVERIFY(Workspace::sql("alter table ProbeCalibrationPoint rename to ProbeCalibrationPointAway"));
        QVERIFY(!storePoint(back, Mode::Calibration, 2, "40.0001", {"5001.5", "4990.1"}, fluke));
        QCOMPARE(back.calibrationReferences.size(), 2);
        QCOMPARE(Workspace::auditDetails().size(), 3);
        QVERIFY(Workspace::sql("alter table ProbeCalibrationPointAway rename to ProbeCalibrationPoint"));

    }

    // The plan is checked before any device is driven: four or more points, within the bath's
    // range, none repeated, none closer than the spacing (a setting).
    void plan_data()
    {
        QTest::addColumn<QVector<double>>("points");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("spacing");
        QTest::addColumn<QString>("message");   // empty: accepted
        QTest::newRow("well spread") << QVector<double>{20, 30, 40, 50} << "" << "" << "";
        QTest::newRow("5 K apart") << QVector<double>{20, 25, 30, 35} << "" << "" << "";
        QTest::newRow("one temperature four times") << QVector<double>{20, 20, 20, 20} << "" << ""
                                                    << "第2个温度点 20 ℃ 与第1个点重复！";
        QTest::newRow("repeated later") << QVector<double>{20, 30, 40, 30} << "" << ""
                                        << "第4个温度点 30 ℃ 与第2个点重复！";
        QTest::newRow("4.99 K apart") << QVector<double>{20, 30, 34.99, 50} << "" << ""
                                      << "第3个温度点 34.99 ℃ 与第2个点 30 ℃ 相差不足 5 K！";
        QTest::newRow("spacing set to 10 K") << QVector<double>{20, 25, 40, 50} << "" << "10"
                                             << "第2个温度点 25 ℃ 与第1个点 20 ℃ 相差不足 10 K！";
        QTest::newRow("-300 ℃") << QVector<double>{-300, 20, 40, 60} << "" << ""
                                << "第1个温度点 -300 ℃ 超出恒温设备的范围（-80 ~ 300 ℃）！";
        QTest::newRow("5000 ℃") << QVector<double>{20, 40, 60, 5000} << "" << ""
                                << "第4个温度点 5000 ℃ 超出恒温设备的范围（-80 ~ 300 ℃）！";
        QTest::newRow("below the model's range") << QVector<double>{20, 40, 60, 80} << "RIRI-95ZA" << ""
                                                 << "第1个温度点 20 ℃ 超出恒温设备RIRI-95ZA的范围（35 ~ 95 ℃）！";
        QTest::newRow("within the model's range") << QVector<double>{-20, 0, 100, 150} << "RURE-20RI" << "" << "";
        QTest::newRow("three") << QVector<double>{20, 40, 60} << "" << "" << "温度点数不许少于4个！";
    }
    void plan()
    {
        QFETCH(QVector<double>, points);
        QFETCH(QString, model);
        QFETCH(QString, spacing);
        QFETCH(QString, message);
        Workspace ws;
        const auto ini = Tool::configFile(ws.path("config.ini"));
        if (!model.isEmpty())
            ini->setValue("TField/Model", model);
        if (!spacing.isEmpty())
            ini->setValue("TStandardizer/MinimumSpacing", spacing);
        QVector<Point> plan;
        for (double t : points)
            plan.append({t, false});
        QCOMPARE(checkPlan(plan, readPlanLimits(*ini)), message);
    }

    // A resumed run must have the plan it was begun with; another plan starts afresh only when
    // the engineer agrees, and the question names both.
    void resumeWithAnotherPlan_data()
    {
        QTest::addColumn<QVector<double>>("entered");
        QTest::addColumn<bool>("agree");
        QTest::addColumn<Resume>("decision");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<int>("kept");
        QTest::newRow("same plan, continued") << QVector<double>{20, 30, 40, 50} << true << Resume::Ask << true << 2;
        QTest::newRow("another plan, refused") << QVector<double>{60, 70, 80, 90} << false << Resume::PlanDiffers << false << 2;
        QTest::newRow("another plan, restarted") << QVector<double>{60, 70, 80, 90} << true << Resume::PlanDiffers << true << 0;
    }
    void resumeWithAnotherPlan()
    {
        QFETCH(QVector<double>, entered);
        QFETCH(bool, agree);
        QFETCH(Resume, decision);
        QFETCH(bool, starts);
        QFETCH(int, kept);
        RunLists lists = ProbeCalibrationTest::exactLists({20, 30}, 2);
        lists.probeSet = QStringLiteral("探头");
        lists.calibrationRun = QStringLiteral("run-1");
        lists.calibrationPlan = {{20, false}, {30, true}, {40, false}, {50, false}};
        QVector<Point> plan;
        for (double t : entered)
            plan.append({t, false});
        QString asked;
        const ResumeChoices choices{[&] { return agree; }, [&](const QString &plans) { asked = plans; return agree; },
                                    [](const QString &) {}};
        Resume got = Resume::Fresh;
        QCOMPARE(prepareLists(lists, QStringLiteral("探头"), Mode::Calibration, plan, choices, &got), starts);
        QCOMPARE(got, decision);
        QCOMPARE(lists.calibrationReferences.size(), kept);
        QCOMPARE(lists.calibrationRun.isEmpty(), kept == 0);
        if (decision == Resume::PlanDiffers)
            QCOMPARE(asked, QStringLiteral("未完成的运行按计划（20, 30, 40, 50 ℃）已测2个点，与本次的计划（60, 70, 80, 90 ℃）不同。"));
    }

    // Four readings of one temperature are distinct by noise alone; their fit goes through them
    // and misses 50 ℃ by kelvins. The design is refused, naming the probe.
    void degenerateDesignRefused()
    {
        RunLists lists = ProbeCalibrationTest::exactLists({20, 20, 20, 20}, 2);
        for (int k = 0; k < 4; ++k)
            for (int j = 0; j < 2; ++j)
                lists.calibrationReadings[k][j] =
                    QString::number(lists.calibrationReadings[k][j].toDouble() * (1 + 1e-6 * (k - 1.5)), 'f', 6);
        const Fit f = fitCalibration(lists, 2);
        QVERIFY(!f.ok);
        QCOMPARE(f.message, QStringLiteral("通道1的各校准点电阻过于接近，无法确定四个系数（温度点相距太近），校准失败！"));
        QVERIFY(fitCalibration(ProbeCalibrationTest::exactLists({20, 25, 30, 35}, 2), 2).ok);
    }

    // Coefficients that cannot give back their own points within a verification's limit are
    // refused, with the probe named; a lesser residual is the engineer's to accept.
    void residualsBeyondTheVerdictRefused()
    {
        RunLists lists = ProbeCalibrationTest::exactLists({0, 20, 40, 60, 80, 100}, 2);
        lists.calibrationReadings[3][1] = QString::number(lists.calibrationReadings[3][1].toDouble() * 1.02, 'f', 6);
        const Fit f = fitCalibration(lists, 2, {"CH101", "CH102"});
        QVERIFY(!f.ok);
        QVERIFY2(f.message.contains(QStringLiteral("通道2（CH102）第4点残差")), qPrintable(f.message));
        QVERIFY(!f.message.contains(QStringLiteral("通道1")));
    }

    void settingsNotOnThePage_data()
    {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QString>("limit");
        QTest::addColumn<double>("intervalRead");
        QTest::addColumn<double>("limitRead");
        QTest::newRow("missing") << QString() << QString() << 20.0 << 0.02;
        QTest::newRow("set") << "0.1" << "0.05" << 0.1 << 0.05;
        QTest::newRow("unusable") << "0" << "abc" << 20.0 << 0.02;
        QTest::newRow("negative") << "-5" << "-1" << 20.0 << 0.02;
    }
    void settingsNotOnThePage()
    {
        QFETCH(QString, interval);
        QFETCH(QString, limit);
        QFETCH(double, intervalRead);
        QFETCH(double, limitRead);
        Workspace ws;
        const auto file = Tool::configFile(ws.path("config.ini"));
        QSettings &ini = *file;
        if (!interval.isNull())
            ini.setValue("TStandardizer/Interval", interval);
        if (!limit.isNull())
            ini.setValue("TStandardizer/ResidualLimit", limit);
        QCOMPARE(readInterval(ini), intervalRead);
        QCOMPARE(readResidualLimit(ini), limitRead);
    }

    // Six exact points give back each probe's characteristic; a wrong reference at one point
    // shows in the residuals of every probe; a point short of a probe value is refused.
    void fit_data()
    {
        QTest::addColumn<int>("wrongPoint");      // -1: none
        QTest::addColumn<double>("wrongBy");      // K added to that point's reference
        QTest::addColumn<int>("dropProbeAt");     // -1: none; else the point whose last value goes
        QTest::addColumn<bool>("fitted");
        QTest::addColumn<bool>("overLimit");
        QTest::newRow("exact") << -1 << 0.0 << -1 << true << false;
        QTest::newRow("reference off by 0.1 K") << 3 << 0.1 << -1 << true << true;
        QTest::newRow("reference off by 0.01 K") << 3 << 0.01 << -1 << true << false;
        QTest::newRow("a probe value missing") << -1 << 0.0 << 2 << false << false;
    }
    void fit()
    {
        QFETCH(int, wrongPoint);
        QFETCH(double, wrongBy);
        QFETCH(int, dropProbeAt);
        QFETCH(bool, fitted);
        QFETCH(bool, overLimit);
        const int probes = 4;
        RunLists lists = ProbeCalibrationTest::exactLists({0, 20, 40, 60, 80, 100}, probes);
        if (wrongPoint >= 0)
            lists.calibrationReferences[wrongPoint] =
                QString::number(lists.calibrationReferences[wrongPoint].toDouble() + wrongBy, 'f', 4);
        if (dropProbeAt >= 0)
            lists.calibrationReadings[dropProbeAt].removeLast();

        const Fit f = fitCalibration(lists, probes);
        QCOMPARE(f.ok, fitted);
        if (!fitted) {
            QCOMPARE(f.message, QStringLiteral("数据错误，校准失败!"));
            QVERIFY(f.b0.isEmpty() && f.residuals.isEmpty());
            return;
        }
        QCOMPARE(f.residuals.size(), probes);
        QCOMPARE(f.residuals.first().size(), 6);
        QCOMPARE(f.probesOver(StandardResidualLimit).size(), overLimit ? probes : 0);
        QCOMPARE(residualReport(f, ProbeCalibrationTest::probeSet(probes), StandardResidualLimit).isEmpty(), !overLimit);
        if (wrongPoint < 0) {
            QVERIFY(f.worstResidual < 1e-6);
            // The stored texts reproduce the true characteristic over the range.
            for (int j = 0; j < probes; ++j) {
                const Analysis::ThermistorCoefficients c{f.b0[j].toDouble(), f.b1[j].toDouble(), f.b2[j].toDouble(),
                                                         f.b3[j].toDouble()};
                for (double t = 0; t <= 100; t += 5) {
                    const double r = ProbeCalibrationTest::resistanceText(j, t).toDouble();
                    QVERIFY2(std::fabs(Analysis::thermistorTemperature(c, r) - t) < 1e-5, qPrintable(QString::number(t)));
                }
            }
        }
    }

    // The coefficients land in the probe set, full precision, with one audit entry; a set that
    // is not there changes nothing.
    void storing()
    {
        Workspace ws;
        QVERIFY(ws.openDatabase());
        Tool::CurrentUser.Name = QStringLiteral("tester");
        const Tool::Struct_Standardizer set = ProbeCalibrationTest::probeSet(4);
        QVERIFY(Tool::addStandardizer(set));
        const Fit f = fitCalibration(ProbeCalibrationTest::exactLists({0, 20, 40, 60, 80, 100}, 4), 4);
        QVERIFY(storeFit(set, f));
        QList<Tool::Struct_Standardizer> back;
        QVERIFY(Tool::getStandardizer(back, set.Number));
        QCOMPARE(back.first().B3, f.b3.join(','));
        QCOMPARE(back.first().B3.split(',').first().toDouble(), f.b3.first().toDouble());
        QVERIFY(f.b3.first().size() > 12);   // not eight fixed decimals
        const auto audit = Workspace::audit();
        QCOMPARE(audit.size(), 1);
        QCOMPARE(audit.first().Type, QStringLiteral("探头文件管理-校准"));
        QCOMPARE(audit.first().Operator, QStringLiteral("tester"));
        QCOMPARE(audit.first().Details, QStringLiteral("探头校准：槽校探头"));

        Fit failed;
        QVERIFY(!storeFit(set, failed));
        QCOMPARE(Workspace::audit().size(), 1);
    }
};

PCR_TEST_CLASS(ProbeCalibrationRules)
#include "tst_probecalibration.moc"
