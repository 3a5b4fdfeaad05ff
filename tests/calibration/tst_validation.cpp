// The set-up form: combo boxes from the registries, input rules, configuration, and the
// validation with every code and message in its order.

#include "CalibrationTest.h"

#include "chart/ChartView.h"
#include "registry/CalibrationDates.h"

#include <QLabel>
#include <QSettings>
#include <QtTest>

#include <memory>

using namespace CalibrationTest;

class ValidationTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> ws;

private slots:
    void init() { QVERIFY(enterFreshWorkspace(ws)); }
    void cleanup() { ws.reset(); }

    // Each code appears while the one before it passes; the layout is checked before the name.
    void codesAndMessagesInOrder()
    {
        MessageRecorder recorder;
        QString message;
        const auto check = [&](const std::function<void(Calibration &)> &fill) {
            Calibration page;
            fill(page);
            message.clear();
            return page.CheckParameter(message);
        };
        const auto none = [](Calibration &) {};

        QCOMPARE(check(none), 101);
        QCOMPARE(message, QStringLiteral("数据库获取错误！"));
        QVERIFY(Tool::addPCRDevice(CalibrationDemo::pcrDevice()));
        QCOMPARE(check(none), 102);
        QCOMPARE(message, QStringLiteral("数据库获取错误！"));
        QVERIFY(Tool::addElectrometer(CalibrationDemo::collector({})));
        QCOMPARE(check(none), 103);
        QVERIFY(Tool::addStandardizer(CalibrationDemo::probeSet(0)));
        QCOMPARE(check(none), 104);
        QCOMPARE(message, QStringLiteral("数据库获取错误！"));

        // 15 points for 16 probes, and no project name either: the layout is reported.
        Tool::Struct_Layout fifteen = CalibrationDemo::layout();
        fifteen.Name = QStringLiteral("十五点");
        fifteen.PointCount = QStringLiteral("15");
        QVERIFY(Tool::addLayout(fifteen));
        QCOMPARE(check(none), 1);
        QCOMPARE(message, QStringLiteral("布点图与标准器不符！"));

        QVERIFY(Tool::addLayout(CalibrationDemo::layout()));
        Tool::Struct_CyclicFile file;
        QVERIFY(CalibrationDemo::cycleFile("901", "均匀度", "95:1,60:1,72:1", file, nullptr));
        QVERIFY(Tool::addCyclicFile(file));
        const QString sixteen = QString::fromUtf8(CalibrationDemo::LayoutName);
        QStringList typed;   // what has been typed so far, in form order
        const auto form = [&](Calibration &page) {
            auto *layouts = child<QComboBox>(&page, "comboBox_Layout");
            layouts->setCurrentIndex(layouts->findText(sixteen));
            const char *const edits[] = {"lineEdit_ProjectName", "lineEdit_Company", "lineEdit_AmbientTemperature",
                                         "lineEdit_AmbientHumidity", "lineEdit_AmbientPressure",
                                         "lineEdit_Calibrated", "lineEdit_Checked", "lineEdit_Interval"};
            for (int i = 0; i < 8; ++i)
                child<QLineEdit>(&page, edits[i])->setText(typed.value(i));
        };
        QCOMPARE(check(form), 2);
        QCOMPARE(message, QStringLiteral("项目名称不能为空！"));

        Tool::Struct_Calibration old;
        old.CalibrationName = QStringLiteral("旧项目");
        QVERIFY(Tool::addCalibration(old));
        typed << QStringLiteral("旧项目");
        QCOMPARE(check(form), 2);
        QCOMPARE(message, QStringLiteral("项目名称重复！"));
        // Samples left under a name by a run that never became a project count as well.
        QVERIFY(Tool::addCalibrationData({QStringLiteral("残留"), QStringLiteral("均匀度校准"),
                                          QStringLiteral("2024-01-01 00:00:00.000"), QStringLiteral("25")}));
        typed[0] = QStringLiteral("残留");
        QCOMPARE(check(form), 2);
        QCOMPARE(message, QStringLiteral("项目名称重复！"));

        typed[0] = QStringLiteral("新项目");
        const QStringList messages{"送检单位不能为空！", "环境温度不能为空！", "环境湿度不能为空！", "环境压力不能为空！",
                                   "校准员不能为空！",   "核验员不能为空！",   "采集间隔过短！"};
        const QStringList values{"客户", "20", "50", "1000", "张三", "李四"};
        for (int code = 3; code <= 9; ++code) {
            QCOMPARE(check(form), code);
            QCOMPARE(message, messages.at(code - 3));
            if (code < 9)
                typed << values.at(code - 3);
        }
        typed << QStringLiteral("0.29");
        QCOMPARE(check(form), 9);
        QCOMPARE(message, QStringLiteral("采集间隔过短！"));
        typed[7] = QStringLiteral("0.3");
        QCOMPARE(check(form), 10);
        QCOMPARE(message, QStringLiteral("请设置校准项目！"));

        const auto withItem = [&](const char *box) {
            return [&, box](Calibration &page) {
                form(page);
                child<QCheckBox>(&page, box)->setChecked(true);
            };
        };
        QCOMPARE(check(withItem("checkBox_Rate")), 0);
        QCOMPARE(message, QStringLiteral("数据库获取错误！"));   // a pass leaves the message alone
        QCOMPARE(check(withItem("checkBox_Uniformity")), 0);
        QVERIFY(recorder.isEmpty());
    }

    void projectRecord()
    {
        QVERIFY(registerRecords(QStringLiteral("5980")));
        Calibration page;
        fillForm(page, QStringLiteral("项目一"), QTime(0, 0, 10), QStringLiteral("1.5"), true, false);
        child<QCheckBox>(&page, "checkBox_Linear")->setChecked(true);
        auto *uniformity = child<QComboBox>(&page, "comboBox_Uniformity");
        uniformity->setCurrentIndex(uniformity->findText(QStringLiteral("902--升降温演示")));
        QString message;
        QCOMPARE(page.CheckParameter(message), 0);

        const Tool::Struct_Calibration p = page.projectRecord();
        const Tool::Struct_PCRDevice pcr = CalibrationDemo::pcrDevice();
        const Tool::Struct_Standardizer probes = CalibrationDemo::probeSet(0);
        const Tool::Struct_Layout layout = CalibrationDemo::layout();
        const QStringList expected{
            "项目一", "送检单位甲", "备注", p.CalibrationTime, "1.5", "20", "50", "1000", "张三", "李四",
            pcr.DeviceName, pcr.DeviceModel, pcr.SerialNumber, pcr.Manufacturer, pcr.CertificateNumber,
            CalibrationDemo::collector({}).DeviceName, probes.Name, "16", probes.ChannelNumbers,
            probes.ChannelParameter1, "升降温演示", "", "", layout.Name, layout.Points};
        QCOMPARE(p.values(), expected);
        QVERIFY(QDateTime::fromString(p.CalibrationTime, "yyyy-MM-dd hh:mm:ss").isValid());
    }

    void fahrenheitAmbientStoredInCelsius()
    {
        QVERIFY(registerRecords(QStringLiteral("5980")));
        Tool::TemperatureUnit = QStringLiteral("℉");
        Calibration page;
        QCOMPARE(child<QLabel>(&page, "label_AmbientTemperature_1")->text(), QStringLiteral("℉"));
        fillForm(page, QStringLiteral("华氏"), QTime(0, 0, 10), QStringLiteral("1"), true, false);
        child<QLineEdit>(&page, "lineEdit_AmbientTemperature")->setText(QStringLiteral("68"));
        QString message;
        QCOMPARE(page.CheckParameter(message), 0);
        QCOMPARE(page.projectRecord().AmbientTemperature, QStringLiteral("20.00"));
    }

    // Blanks in a required field and an ambient temperature that is no number are refused with
    // their messages; the validator lets both through.
    void blankOrMalformedEntriesRefused_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("name") << "lineEdit_ProjectName" << "   " << 2 << "项目名称不能为空！";
        QTest::newRow("client") << "lineEdit_Company" << " " << 3 << "送检单位不能为空！";
        QTest::newRow("calibrator") << "lineEdit_Calibrated" << "  " << 7 << "校准员不能为空！";
        QTest::newRow("checker") << "lineEdit_Checked" << "    " << 8 << "核验员不能为空！";
        QTest::newRow("minus") << "lineEdit_AmbientTemperature" << "-" << 4 << "环境温度格式错误！";
        QTest::newRow("points") << "lineEdit_AmbientTemperature" << "1.2.3" << 4 << "环境温度格式错误！";
        QTest::newRow("minuses") << "lineEdit_AmbientTemperature" << "2-0" << 4 << "环境温度格式错误！";
        QTest::newRow("negative") << "lineEdit_AmbientTemperature" << "-5.5" << 0 << "";
    }

    void blankOrMalformedEntriesRefused()
    {
        QFETCH(QString, edit);
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(QString, message);
        QVERIFY(registerRecords(QStringLiteral("5980")));
        Calibration page;
        fillForm(page, QStringLiteral("空白"), QTime(0, 0, 10), QStringLiteral("1"), true, false);
        auto *line = child<QLineEdit>(&page, qPrintable(edit));
        line->clear();
        QTest::keyClicks(line, text);
        QCOMPARE(line->text(), text);   // typed: the input rule lets it through
        QString shown;
        QCOMPARE(page.CheckParameter(shown), code);
        if (code != 0)
            QCOMPARE(shown, message);
        else
            QCOMPARE(page.projectRecord().AmbientTemperature, text);
    }

    void comboTextWithoutSeparatorIsTheKey()
    {
        QVERIFY(registerRecords(QStringLiteral("5980")));
        Calibration page;
        fillForm(page, QStringLiteral("整键"), QTime(0, 0, 10), QStringLiteral("1"), false, true);
        auto *pcr = child<QComboBox>(&page, "comboBox_PCRList");
        pcr->addItem(QString::fromUtf8(CalibrationDemo::PCRNumber));
        pcr->setCurrentIndex(pcr->count() - 1);
        auto *rate = child<QComboBox>(&page, "comboBox_Rate");
        rate->addItem(QStringLiteral("无分隔"));
        rate->setCurrentIndex(rate->count() - 1);
        QString message;
        QCOMPARE(page.CheckParameter(message), 0);
        QCOMPARE(page.projectRecord().SerialNumber, CalibrationDemo::pcrDevice().SerialNumber);
        QCOMPARE(page.projectRecord().RateFile, QString());   // nothing after a "--"

        pcr->addItem(QStringLiteral("PCR-DEMO-X"));
        pcr->setCurrentIndex(pcr->count() - 1);
        QCOMPARE(page.CheckParameter(message), 101);
    }

    void comboBoxesAndControls()
    {
        QVERIFY(registerRecords(QStringLiteral("5980")));
        Calibration page;
        QCOMPARE(child<QComboBox>(&page, "comboBox_PCRList")->itemText(0), QStringLiteral("PCR-DEMO--SIM-96--SIM96-0001"));
        QCOMPARE(child<QComboBox>(&page, "comboBox_ElectrometerList")->itemText(0),
                 QStringLiteral("SIM-1611A--1611A--SIM1611A-0001"));
        QCOMPARE(child<QComboBox>(&page, "comboBox_StandardizerList")->itemText(0), QStringLiteral("SIM-16--演示探头组"));
        QCOMPARE(child<QComboBox>(&page, "comboBox_Layout")->itemText(0), QString::fromUtf8(CalibrationDemo::LayoutName));
        for (const char *name : {"comboBox_Uniformity", "comboBox_Rate", "comboBox_Linear"}) {
            auto *box = child<QComboBox>(&page, name);
            QCOMPARE(box->count(), 2);
            QCOMPARE(box->itemText(1), QStringLiteral("902--升降温演示"));
            QVERIFY(!box->isEnabled());
        }
        // Ticking enables the cycle file of that item only; the linearity needs none.
        child<QCheckBox>(&page, "checkBox_Rate")->click();
        QVERIFY(child<QComboBox>(&page, "comboBox_Rate")->isEnabled());
        QVERIFY(!child<QComboBox>(&page, "comboBox_Uniformity")->isEnabled());
        child<QCheckBox>(&page, "checkBox_Uniformity")->click();
        QVERIFY(child<QComboBox>(&page, "comboBox_Uniformity")->isEnabled());
        child<QCheckBox>(&page, "checkBox_Rate")->click();
        QVERIFY(!child<QComboBox>(&page, "comboBox_Rate")->isEnabled());
        child<QCheckBox>(&page, "checkBox_Linear")->click();
        QVERIFY(!child<QComboBox>(&page, "comboBox_Linear")->isEnabled());

        // Input rules.
        const auto accepts = [&](const char *name, QString text) {
            int pos = 0;
            return child<QLineEdit>(&page, name)->validator()->validate(text, pos) == QValidator::Acceptable;
        };
        QVERIFY(accepts("lineEdit_Interval", "0.3"));
        QVERIFY(!accepts("lineEdit_Interval", "-1"));
        QVERIFY(accepts("lineEdit_AmbientTemperature", "-5.5"));
        QVERIFY(accepts("lineEdit_AmbientHumidity", "100"));
        QVERIFY(!accepts("lineEdit_AmbientHumidity", "101"));
        QVERIFY(accepts("lineEdit_AmbientPressure", "1000"));
        // Normal sea-level readings and high-pressure days are accepted, up to 1100 mbar.
        QVERIFY(accepts("lineEdit_AmbientPressure", "1013"));
        QVERIFY(accepts("lineEdit_AmbientPressure", "1085"));
        QVERIFY(accepts("lineEdit_AmbientPressure", "1100"));
        QVERIFY(!accepts("lineEdit_AmbientPressure", "1101"));
        QVERIFY(!accepts("lineEdit_AmbientPressure", "2000"));
        QVERIFY(!accepts("lineEdit_AmbientPressure", "10000"));
        QCOMPARE(child<QTimeEdit>(&page, "timeEdit_Long")->maximumTime(), QTime(23, 59, 59));
        auto *startTime = child<QDateTimeEdit>(&page, "dateTimeEdit_Time");
        QVERIFY(startTime->minimumDateTime().secsTo(QDateTime::currentDateTime()) < 3600);
        QCOMPARE(startTime->dateTime(), startTime->minimumDateTime());

        QCOMPARE(button(page)->text(), QStringLiteral("开始"));
        QVERIFY(button(page)->isEnabled());
        QVERIFY(page.chart()->parentWidget() == &page);
    }

    void startNeedsTheRight()
    {
        logIn(false);
        Calibration page;
        QVERIFY(!button(page)->isEnabled());
    }

    void configurationReadAndWritten()
    {
        {
            // A missing key gives an empty text, also for the interval preset "1".
            Calibration page;
            QCOMPARE(child<QLineEdit>(&page, "lineEdit_Interval")->text(), QString());
            child<QLineEdit>(&page, "lineEdit_Interval")->setText("0.5");
            child<QLineEdit>(&page, "lineEdit_AmbientTemperature")->setText("21.5");
            child<QLineEdit>(&page, "lineEdit_AmbientHumidity")->setText("45");
            child<QLineEdit>(&page, "lineEdit_AmbientPressure")->setText("990");
            child<QTimeEdit>(&page, "timeEdit_Long")->setTime(QTime(1, 2, 3));
        }
        {
            const auto ini = Tool::configFile();
            QCOMPARE(ini->value("Calibration/TimeLong").toString(), QStringLiteral("01:02:03"));
            QCOMPARE(ini->value("Calibration/Interval").toString(), QStringLiteral("0.5"));
            QCOMPARE(ini->value("Calibration/AmbientTemperature").toString(), QStringLiteral("21.5"));
            QCOMPARE(ini->value("Calibration/AmbientHumidity").toString(), QStringLiteral("45"));
            QCOMPARE(ini->value("Calibration/AmbientPressure").toString(), QStringLiteral("990"));
        }
        Calibration again;
        QCOMPARE(child<QTimeEdit>(&again, "timeEdit_Long")->time(), QTime(1, 2, 3));
        QCOMPARE(child<QLineEdit>(&again, "lineEdit_Interval")->text(), QStringLiteral("0.5"));
        QCOMPARE(child<QLineEdit>(&again, "lineEdit_AmbientPressure")->text(), QStringLiteral("990"));
    }

    // The last ambient temperature means the same temperature after the display unit changed
    // between two sessions, and comes back as typed in the same unit.
    void ambientTemperatureKeptAcrossUnitChange()
    {
        {
            Calibration page;
            child<QLineEdit>(&page, "lineEdit_AmbientTemperature")->setText("20");
        }
        Tool::TemperatureUnit = QStringLiteral("℉");
        {
            Calibration page;
            auto *ambient = child<QLineEdit>(&page, "lineEdit_AmbientTemperature");
            QCOMPARE(ambient->text(), QStringLiteral("68"));
            ambient->setText("77.3");
        }
        QCOMPARE(Tool::configFile()->value("Calibration/AmbientTemperature").toString(), QStringLiteral("25.1667"));
        {
            Calibration page;
            auto *ambient = child<QLineEdit>(&page, "lineEdit_AmbientTemperature");
            QCOMPARE(ambient->text(), QStringLiteral("77.3"));
            ambient->setText("-");   // no number: kept as it stands
        }
        Tool::TemperatureUnit = QStringLiteral("℃");
        {
            Calibration page;
            QCOMPARE(child<QLineEdit>(&page, "lineEdit_AmbientTemperature")->text(), QStringLiteral("-"));
        }
    }

    // A refused start stores nothing and starts no worker.
    // The validity rule of a measuring instrument, then the start refused with it named.
    void measuringInstrumentValidity_data()
    {
        QTest::addColumn<QString>("validUntil");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("validity");
        using V = CalibrationDates::Validity;
        QTest::newRow("valid") << QStringLiteral("2024-06-30 00:00") << QStringLiteral("正常") << int(V::Valid);
        QTest::newRow("valid with seconds") << QStringLiteral("2024-06-30 00:00:00") << QStringLiteral("正常") << int(V::Valid);
        QTest::newRow("the moment it ends") << QStringLiteral("2024-06-01 12:00") << QStringLiteral("正常") << int(V::Overdue);
        QTest::newRow("passed") << QStringLiteral("2024-05-31 23:59") << QStringLiteral("正常") << int(V::Overdue);
        QTest::newRow("marked expired") << QStringLiteral("2030-01-01 00:00") << QStringLiteral("过期") << int(V::Overdue);
        QTest::newRow("unreadable") << QStringLiteral("2024-13-40 00:00") << QStringLiteral("正常") << int(V::Overdue);
        QTest::newRow("never calibrated") << QString() << QStringLiteral("正常") << int(V::NotCalibrated);
    }

    void measuringInstrumentValidity()
    {
        QFETCH(QString, validUntil);
        QFETCH(QString, state);
        QFETCH(int, validity);
        const QDateTime now(QDate(2024, 6, 1), QTime(12, 0));
        QCOMPARE(int(CalibrationDates::measuringValidity(validUntil, state, now)), validity);
        QString message;
        const bool refused = CalibrationDates::measuringInstrumentRefused(QStringLiteral("E9"), QStringLiteral("采集器"),
                                                                          validUntil, state, now, &message);
        QCOMPARE(refused, validity != int(CalibrationDates::Validity::Valid));
        if (refused) {
            QVERIFY(message.startsWith(validity == int(CalibrationDates::Validity::Overdue)
                                           ? QStringLiteral("测温仪已过有效期，不能用于校准！")
                                           : QStringLiteral("测温仪未校准，不能用于校准！")));
            QVERIFY(message.endsWith(QStringLiteral("E9 采集器")));
        } else {
            QVERIFY(message.isEmpty());
        }
    }

    void overdueMeasuringInstrumentRefusedAtStart()
    {
        QVERIFY(registerRecords(QStringLiteral("5980")));
        QList<Tool::Struct_Electrometer> meters;
        QVERIFY(Tool::getElectrometer(meters, QString::fromUtf8(CalibrationDemo::CollectorNumber)));
        Tool::Struct_Electrometer meter = meters.first();
        meter.CalibrationCycle = CalibrationDates::minuteText(QDateTime::currentDateTime().addDays(-1));
        QVERIFY(Tool::ModifyElectrometer(meter));
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, QStringLiteral("过期测温仪"), QTime(0, 0, 1), QStringLiteral("1"), true, false);
        const int threads = threadCount();
        button(page)->click();
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().title, QStringLiteral("警告"));
        QVERIFY(recorder.last().text.startsWith(QStringLiteral("测温仪已过有效期，不能用于校准！")));
        QVERIFY(recorder.last().text.contains(meter.Number));
        QVERIFY(!page.isRunning());
        QCOMPARE(threadCount(), threads);
        QVERIFY(Workspace::auditDetails().isEmpty());
    }

    void invalidStartShowsTheMessage()
    {
        QVERIFY(registerRecords(QStringLiteral("5980")));
        MessageRecorder recorder;
        Calibration page;
        fillForm(page, QStringLiteral("短间隔"), QTime(0, 0, 1), QStringLiteral("0.2"), true, false);
        const int threads = threadCount();
        button(page)->click();
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().title, QStringLiteral("警告"));
        QCOMPARE(recorder.last().text, QStringLiteral("采集间隔过短！"));
        QCOMPARE(button(page)->text(), QStringLiteral("开始"));
        QVERIFY(!page.isRunning());
        QCOMPARE(threadCount(), threads);
        QVERIFY(Workspace::auditDetails().isEmpty());
    }
};

PCR_TEST_CLASS(ValidationTest)
#include "tst_validation.moc"
