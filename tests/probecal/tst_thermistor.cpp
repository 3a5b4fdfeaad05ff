// The probe calibration page and its manual dialog, offscreen, with every box recorded: against
// pcrsim a run pauses for the liquid, a rebuilt page resumes it, leaving the page mid-run keeps
// the points taken and the next page finishes and stores the fit; the residual question before
// storing; the connection buttons; the manual dialog's typed-in reference and its count.

#include "../acquisition/ProbeCalibrationTest.h"
#include "../calibration/CalibrationTest.h"

#include "app/messages.h"
#include "probecal/Thermistor.h"
#include "probecal/ThermistorManual.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace ProbeCalibration;
using CalibrationTest::child;
using Run = ProbeCalibrationRun;

namespace {

// What the form shows for the points: texts, and the point after which the liquid is changed.
void fillPoints(Thermistor &page, const QStringList &texts, int liquidAfter = 0)
{
    for (int i = 0; i < MaximumPoints; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        child<QLineEdit>(&page, ("lineEdit_Temp" + n).constData())->setText(texts.value(i));
        child<QCheckBox>(&page, ("checkBox_Temp" + n).constData())->setChecked(i + 1 == liquidAfter);
    }
}

QPushButton *calibrationButton(Thermistor &page)
{
    return child<QPushButton>(&page, "pushButton_Calibration");
}

// Waits until the page's run has ended and its end has been shown.
bool waitForEnd(Thermistor &page, int ms = 120000)
{
    return ProbeCalibrationTest::waitFor([&] { return !page.isRunning(); }, ms);
}

} // namespace

class ThermistorPageTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<PcrSim> sim;
    Tool::Struct_Standardizer probes;

    // config.ini as the page reads it: the simulator's devices, a reading every 0.1 s.
    void writeConfig(const QString &reference = QStringLiteral("Fluke 1586A"))
    {
        const auto ini = Tool::configFile();
        writeDevice(*ini, "TField", {Names::vade(), "串口", sim ? sim->bathPtyPath : QString(), "9600"});
        writeDevice(*ini, "TCollection", {Names::collector(), "网络", "127.0.0.1", sim ? sim->tcpPort : QString()});
        writeDevice(*ini, "TCriteria", {reference, "网络", "127.0.0.1", sim ? sim->scpiTcpPort : QString()});
        writeReferenceProbe(*ini, {"ITS90-4W", "CH001", "-1.2e-4", "-2.5e-5", "0", "0", "25.5", "0", "0"});
        ini->setValue("TStandardizer/Interval", "0.1");
        ini->setValue("TStandardizer/Index", "0.05");
        ini->setValue("TStandardizer/Delay", "0");
    }

    bool startSim()
    {
        sim = std::make_unique<PcrSim>();
        return ProbeCalibrationTest::startSim(*sim, 1000);
    }

    QString storedB3() const
    {
        QList<Tool::Struct_Standardizer> sets;
        Tool::getStandardizer(sets, probes.Number);
        return sets.value(0).B3;
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
        Thermistor::setConnectionEditor(nullptr);
        Thermistor::setManualDialog(nullptr);
        sim.reset();
        ws.reset();
    }

    // Without "探头添加" an account verifies but never calibrates: both calibration starts are off.
    void calibrationNeedsTheRight()
    {
        Tool::CurrentUser.grant(Right::StandardizerAdd, false);
        Thermistor page;
        QVERIFY(!calibrationButton(page)->isEnabled());
        QVERIFY(!child<QPushButton>(&page, "pushButton_ManualCalibration")->isEnabled());
        QVERIFY(child<QPushButton>(&page, "pushButton_Verification")->isEnabled());
        QVERIFY(child<QPushButton>(&page, "pushButton_ManualVerification")->isEnabled());
        Tool::CurrentUser.grant(Right::StandardizerAdd, true);
        Thermistor allowed;
        QVERIFY(calibrationButton(allowed)->isEnabled());
    }

    // Paused after point 2 for the liquid; a page built anew asks and resumes at point 3; leaving
    // that page while it settles point 4 keeps points 1 to 3; the next page takes point 4 alone,
    // fits and stores.
    void pauseResumeAndLeave()
    {
        QVERIFY(startSim());
        writeConfig();
        MessageRecorder boxes;
        const QStringList four{"25", "30", "35", "40"};
        {
            Thermistor page;
            fillPoints(page, four, 2);
            calibrationButton(page)->click();
            QVERIFY(page.isRunning());
            QCOMPARE(calibrationButton(page)->text(), QStringLiteral("停止校准"));
            QVERIFY(!child<QPushButton>(&page, "pushButton_ManualCalibration")->isEnabled());
            QVERIFY(waitForEnd(page));
            QCOMPARE(boxes.texts(), QStringList{"请更换液体!"});
            QCOMPARE(calibrationButton(page)->text(), QStringLiteral("自动校准"));
            QCOMPARE(child<QLineEdit>(&page, "lineEdit_SetTemp")->text(), QStringLiteral("30.00"));
            QVERIFY(!child<QLineEdit>(&page, "lineEdit_TempChange")->text().isEmpty());
        }
        boxes.clear();
        {
            Thermistor page;   // the form comes back from config.ini
            QCOMPARE(child<QLineEdit>(&page, "lineEdit_Temp4")->text().toDouble(), 40.0);   // as the run kept it
            QVERIFY(child<QCheckBox>(&page, "checkBox_Temp2")->isChecked());
            child<QCheckBox>(&page, "checkBox_Temp2")->setChecked(false);
            boxes.answerNext(QMessageBox::Yes);
            QList<int> taken;
            connect(page.run(), &Run::pointCompleted, [&](int k, const QString &, const QStringList &) { taken << k; });
            calibrationButton(page)->click();
            QCOMPARE(boxes.texts(), QStringList{"有未完成的校准，是否继续?"});
            QCOMPARE(boxes.last().defaultButton, QMessageBox::Yes);   // No would drop points 1 and 2
            QVERIFY(ProbeCalibrationTest::waitFor([&] { return taken == QList<int>{2}; }));
        }   // left while point 4 settles
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(storedB3().split(',').first(), QStringLiteral("0"));
        boxes.clear();
        {
            Thermistor page;
            boxes.answerNext(QMessageBox::Yes);
            QList<int> taken;
            connect(page.run(), &Run::pointCompleted, [&](int k, const QString &, const QStringList &) { taken << k; });
            calibrationButton(page)->click();
            QVERIFY(waitForEnd(page));
            QCOMPARE(taken, QList<int>{3});
            QCOMPARE(boxes.texts(), QStringList({"有未完成的校准，是否继续?", "校准结束！"}));
            QCOMPARE(page.run()->lists().calibrationReferences.size(), 4);
        }
        QVERIFY(storedB3().split(',').first() != QStringLiteral("0"));
    }

    // What refuses a start, before anything is opened.
    void refusedStarts_data()
    {
        QTest::addColumn<QStringList>("points");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("message");
        const QStringList four{"25", "30", "35", "40"};
        QTest::newRow("three points") << QStringList{"25", "30", "35"} << "0.05" << "Fluke 1586A" << "温度点数不许少于4个！";
        QTest::newRow("an empty third point") << QStringList{"25", "30", "", "40", "45"} << "0.05" << "Fluke 1586A"
                                              << "温度点数不许少于4个！";
        QTest::newRow("index zero") << four << "0" << "Fluke 1586A" << "稳定指标必须大于0！";
        QTest::newRow("no index") << four << "" << "Fluke 1586A" << "稳定指标必须大于0！";
        QTest::newRow("manual reference") << four << "0.05" << "Manual" << "当前模式下不许选择手动模式！";
        QTest::newRow("one temperature four times") << QStringList{"20", "20", "20", "20"} << "0.05" << "Fluke 1586A"
                                                    << "第2个温度点 20 ℃ 与第1个点重复！";
        QTest::newRow("beyond any bath") << QStringList{"20", "40", "60", "5000"} << "0.05" << "Fluke 1586A"
                                         << "第4个温度点 5000 ℃ 超出恒温设备的范围（-80 ~ 300 ℃）！";
    }
    void refusedStarts()
    {
        QFETCH(QStringList, points);
        QFETCH(QString, index);
        QFETCH(QString, reference);
        QFETCH(QString, message);
        writeConfig(reference);
        MessageRecorder boxes;
        Thermistor page;
        fillPoints(page, points);
        child<QLineEdit>(&page, "lineEdit_Index")->setText(index);
        calibrationButton(page)->click();
        QVERIFY(!page.isRunning());
        QCOMPARE(boxes.texts(), QStringList{message});
    }

    // A fit with a wrong point asks before storing; No keeps the coefficients as they were.
    void residualQuestion_data()
    {
        QTest::addColumn<double>("wrongBy");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("texts");   // the boxes after the first, if a question came
        QTest::addColumn<bool>("stored");
        QTest::newRow("within the limit") << 0.005 << int(QMessageBox::NoButton) << QStringList{"校准结束！"} << true;
        QTest::newRow("over, kept out") << 0.1 << int(QMessageBox::No) << QStringList{"系数未保存。"} << false;
        QTest::newRow("over, stored anyway") << 0.1 << int(QMessageBox::Yes) << QStringList{"校准结束！"} << true;
        // Coefficients that would fail a verification at their own points: no question, refused.
        QTest::newRow("beyond a verification's limit") << 0.5 << int(QMessageBox::NoButton)
                                                       << QStringList{"拟合结果不能复现校准点（残差超过 0.1 K），系数未保存：\n通道1（CH101）第3点残差"}
                                                       << false;
    }
    void residualQuestion()
    {
        QFETCH(double, wrongBy);
        QFETCH(int, answer);
        QFETCH(QStringList, texts);
        QFETCH(bool, stored);
        writeConfig();
        MessageRecorder boxes;
        if (answer != QMessageBox::NoButton)
            boxes.answerNext(QMessageBox::StandardButton(answer));
        Thermistor page;
        fillPoints(page, {"0", "20", "40", "60", "80", "100"});
        QVERIFY(page.GetParameter());
        RunLists &lists = page.run()->lists();
        lists = ProbeCalibrationTest::exactLists({0, 20, 40, 60, 80, 100}, 16);
        lists.probeSet = probes.Name;
        lists.calibrationReferences[2] = QString::number(40 + wrongBy, 'f', 4);
        page.Save_slots();
        QStringList got = boxes.texts();
        if (answer != QMessageBox::NoButton) {
            QVERIFY(got.first().contains(QStringLiteral("拟合残差超过 0.02 K")));
            QVERIFY(got.first().contains(QStringLiteral("通道16（CH116）：第3点残差")));
            got.removeFirst();
        }
        QCOMPARE(got.size(), texts.size());
        for (int i = 0; i < texts.size(); ++i)
            QVERIFY2(got.at(i).startsWith(texts.at(i)), qPrintable(got.at(i)));
        QCOMPARE(storedB3().split(',').first() != QStringLiteral("0"), stored);
    }

    // The verdict after a verification: exactly 0.1 ℃ off passes, 0.1001 fails, with the probe's
    // temperature in the details.
    void verdicts_data()
    {
        QTest::addColumn<QString>("reading");
        QTest::addColumn<bool>("pass");
        QTest::newRow("0.1 off") << "25.1000" << true;
        QTest::newRow("0.1001 off") << "25.1001" << false;
    }
    void verdicts()
    {
        QFETCH(QString, reading);
        QFETCH(bool, pass);
        writeConfig();
        MessageRecorder boxes;
        Thermistor page;
        fillPoints(page, {"25", "30", "35", "40"});
        QVERIFY(page.GetParameter1());
        RunLists &lists = page.run()->lists();
        for (const char *t : {"25.0000", "30.0000", "35.0000", "40.0000"}) {
            lists.verificationReferences << t;
            lists.verificationReadings << QVector<QString>(16, QString::fromLatin1(t)).toList();
        }
        lists.verificationReadings[0][15] = reading;
        page.Verification_slots();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("提示"));   // a result, not a failure of the program
        const QString channel16 = boxes.last().text.split('\n').last();
        QCOMPARE(channel16, pass ? QStringLiteral("通道16:合格 ") : QStringLiteral("通道16:不合格 25.100℃ "));
    }

    // The reference's connection button refuses for "Manual" and "ZIVI-D"; an accepted edit is
    // kept by the page and written to config.ini when it goes.
    void connectionButtons_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("message");
        QTest::newRow("manual") << "Manual" << "无需设置通讯信息！";
        QTest::newRow("bath's own") << "ZIVI-D" << "请直接设置恒温设备！";
        QTest::newRow("SCPI") << "Fluke 1586A" << QString();
    }
    void connectionButtons()
    {
        QFETCH(QString, reference);
        QFETCH(QString, message);
        writeConfig(reference);
        MessageRecorder boxes;
        QStringList edited;
        Thermistor::setConnectionEditor([&](QWidget *, DeviceSettings &s) {
            edited << s.name;
            s.mode = QStringLiteral("网络");
            s.address = QStringLiteral("10.0.0.9");
            s.port = QStringLiteral("4000");
            return true;
        });
        {
            Thermistor page;
            child<QPushButton>(&page, "pushButton_Scan3")->click();
            child<QPushButton>(&page, "pushButton_Scan2")->click();
            QCOMPARE(boxes.texts(), message.isEmpty() ? QStringList() : QStringList{message});
            QCOMPARE(edited, message.isEmpty() ? QStringList({reference, "1611A"}) : QStringList{"1611A"});
        }
        const auto ini = Tool::configFile();
        QCOMPARE(readDevice(*ini, "TCollection").address, QStringLiteral("10.0.0.9"));
        QCOMPARE(readDevice(*ini, "TCriteria").address == QStringLiteral("10.0.0.9"), message.isEmpty());
    }

    // A setting is written when it is changed on the page; leaving the page writes nothing, so the
    // collector link chosen meanwhile in the probe registry's device import stays and is used.
    void settingsWrittenWhenChanged()
    {
        writeConfig();
        Thermistor::setConnectionEditor([](QWidget *, DeviceSettings &s) { return s.address = "/dev/ttyUSB7", true; });
        Run::Setup used;
        Thermistor::setManualDialog([&](QWidget *, const Run::Setup &setup) { used = setup; });
        {
            Thermistor page;
            child<QPushButton>(&page, "pushButton_Scan1")->click();
            QCOMPARE(readDevice(*Tool::configFile(), "TField").address, QStringLiteral("/dev/ttyUSB7"));
            writeDevice(*Tool::configFile(), "TCollection", {Names::collector(), "网络", "10.1.1.1", "5000"});
            fillPoints(page, {"25", "30", "35", "40"});   // a plan the manual dialog takes
            child<QPushButton>(&page, "pushButton_ManualCalibration")->click();
            QCOMPARE(used.collector.address, QStringLiteral("10.1.1.1"));
        }
        QCOMPARE(readDevice(*Tool::configFile(), "TCollection").address, QStringLiteral("10.1.1.1"));
    }

    // The manual dialog without a reference driver: a cancelled input takes nothing; a typed
    // value takes the point with every probe, logged; the count refuses fewer than four points.
    void manualTypedReference()
    {
        QVERIFY(startSim());
        writeConfig(Names::manual());
        MessageRecorder boxes;
        Thermistor page;
        Run::Setup setup = page.setupFromForm(Mode::Calibration);
        setup.probes = probes;
        setup.points = {{25, false}, {30, false}, {35, false}, {40, false}};
        ThermistorManual dialog(setup);
        dialog.pt_Open_clicked();
        QVERIFY(ProbeCalibrationTest::waitFor([&] { return dialog.run()->isConnected(); }));
        QVERIFY(dialog.pointButton(0)->isEnabled());
        QVERIFY(!dialog.pointButton(1)->isEnabled());

        dialog.pt_1_clicked();   // cancelled: no value queued
        QVERIFY(!dialog.run()->isActive());
        QVERIFY(dialog.run()->lists().calibrationReferences.isEmpty());

        boxes.inputNext(QStringLiteral("25.00004"));
        dialog.pt_1_clicked();
        QVERIFY(ProbeCalibrationTest::waitFor([&] { return !dialog.run()->isActive(); }));
        QCOMPARE(dialog.run()->lists().calibrationReferences, QStringList{"25.0000"});
        QCOMPARE(dialog.run()->lists().calibrationReadings.value(0).size(), 16);
        QCOMPARE(child<QLineEdit>(&dialog, "lineEdit_1")->text(), QStringLiteral("25.0000"));
        QVERIFY(dialog.pointButton(1)->isEnabled());
        const QString log = child<QPlainTextEdit>(&dialog, "plainTextEdit")->toPlainText();
        QVERIFY(log.contains(QStringLiteral("温度点1:")));
        QVERIFY(log.contains(QStringLiteral("标准温度：25.0000  通道16：")));

        dialog.pt_Count_clicked();
        QCOMPARE(boxes.texts().last(), QStringLiteral("温度点数不许少于4个！"));
        dialog.pt_Open_clicked();
        QVERIFY(ProbeCalibrationTest::waitFor([&] { return !dialog.run()->isActive(); }));
        QVERIFY(!dialog.run()->isConnected());
        QVERIFY(!dialog.pointButton(1)->isEnabled());
        // What the dialog took is in the database for the page, marked as typed in.
        RunLists back;
        QVERIFY(loadStoredLists(back, probes));
        QCOMPARE(back.calibrationReferences, QStringList{"25.0000"});
        QVERIFY(Workspace::auditDetails().last().endsWith(QStringLiteral("标准温度 25.0000 ℃（手动输入）。")));
    }

    // The manual dialog holds its points to the same plan rules: a bad plan opens nothing.
    void manualRefusesABadPlan()
    {
        writeConfig();
        MessageRecorder boxes;
        int opened = 0;
        Thermistor::setManualDialog([&](QWidget *, const Run::Setup &) { ++opened; });
        Thermistor page;
        fillPoints(page, {"20", "20", "20", "20"});
        child<QPushButton>(&page, "pushButton_ManualCalibration")->click();
        Thermistor::setManualDialog(nullptr);
        QCOMPARE(opened, 0);
        QCOMPARE(boxes.texts(), QStringList{"第2个温度点 20 ℃ 与第1个点重复！"});
    }
};

PCR_TEST_CLASS(ThermistorPageTest)
#include "tst_thermistor.moc"
