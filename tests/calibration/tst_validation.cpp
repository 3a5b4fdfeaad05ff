// The set-up form: combo boxes from the registries, input rules, configuration, and the check
// reading the form and the store (its rules are tested on plain values in tests/acquisition).

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
        // Texts the rule lets through that are no number; the check refuses them.
        QVERIFY(accepts("lineEdit_AmbientTemperature", "-"));
        QVERIFY(accepts("lineEdit_AmbientTemperature", "1.2.3"));
        QVERIFY(accepts("lineEdit_AmbientTemperature", "2-0"));
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

    // The chosen layout is shown beside the choice with each channel's well; a layout that does
    // not match the probe set says so there already.
    void layoutPreviewShowsTheWells()
    {
        QVERIFY(registerRecords(QStringLiteral("5980")));
        Tool::Struct_Layout three;
        three.Name = QStringLiteral("三点");
        three.PointCount = QStringLiteral("3");
        three.Points = QStringLiteral("1:1,1:12,8:1");
        QVERIFY(Tool::addLayout(three));
        Calibration page;
        QVERIFY(!page.layoutPreview()->pixmap(Qt::ReturnByValue).isNull());
        const QString wells = page.layoutWells()->text();
        QVERIFY2(wells.startsWith(QStringLiteral("CH1→")) || wells.contains(QStringLiteral("→A")), qPrintable(wells));
        QVERIFY(!wells.contains(QStringLiteral("不符")));
        child<QComboBox>(&page, "comboBox_Layout")->setCurrentText(QStringLiteral("三点"));
        QVERIFY(page.layoutWells()->text().startsWith(QStringLiteral("布点图与标准器不符！（3个点，16个探头）")));
        QVERIFY(page.layoutWells()->text().contains(QStringLiteral("→H1")));
        QCOMPARE(page.layoutPreview()->text(), QStringLiteral("无图片"));
        QVERIFY(page.layoutWells()->toolTip().startsWith(QStringLiteral("三点\n")));
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
        {
            Calibration page;   // written elsewhere meanwhile: leaving the page keeps it
            Tool::configFile()->setValue("Calibration/Interval", "7");
        }
        QCOMPARE(Tool::configFile()->value("Calibration/Interval").toString(), QStringLiteral("7"));
        Calibration again;
        QCOMPARE(child<QTimeEdit>(&again, "timeEdit_Long")->time(), QTime(1, 2, 3));
        QCOMPARE(child<QLineEdit>(&again, "lineEdit_Interval")->text(), QStringLiteral("7"));
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
    // An overdue measuring instrument: the start is refused with it named, nothing runs.
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
