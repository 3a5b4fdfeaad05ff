// The set-up check on plain values: every code and message in its order, the project record it
// builds, and the look-up of the records the form's items name.

#include "../support/TestSuite.h"
#include "../support/Workspace.h"

#include "acquisition/CalibrationSetup.h"
#include "store/instrumentvalidity.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

using Form = CalibrationSetup::Form;
using Records = CalibrationSetup::Records;

Records validRecords()
{
    Records r;
    r.pcr = Tool::Struct_PCRDevice::fromValues(
        {"PCR-1", "热循环仪", "M-96", "SN-0001", "厂家", "", "2024-01-01 00:00:00", "12", "CERT-7", ""});
    r.electrometer = Tool::Struct_Electrometer::fromValues(
        {"COL-1", "采集器", "1611A", "厂家", "SN-C", "正常", "ZS-1", "2999-12-31 00:00", "0.05", "网络", "127.0.0.1", "5980"});
    Tool::Struct_Standardizer probes;
    probes.Number = QStringLiteral("P-16");
    probes.Name = QStringLiteral("探头组");
    probes.NumberChannels = QStringLiteral("16");
    probes.ChannelNumbers = QStringLiteral("1,2,3");
    probes.ChannelParameter1 = QStringLiteral("A1,B2");
    r.standardizer = probes;
    r.layout = Tool::Struct_Layout::fromValues({"十六点", "16", "A1,B2", ""});
    return r;
}

Form validForm()
{
    Form f;
    f.pcrItem = QStringLiteral("PCR-1--M-96--SN-0001");
    f.electrometerItem = QStringLiteral("COL-1--1611A--SN-C");
    f.standardizerItem = QStringLiteral("P-16--探头组");
    f.layoutItem = QStringLiteral("十六点");
    f.uniformity = true;
    f.uniformityItem = QStringLiteral("901--均匀度");
    f.rateItem = QStringLiteral("902--升降温");
    f.projectName = QStringLiteral("项目");
    f.company = QStringLiteral("客户");
    f.remarks = QStringLiteral("备注");
    f.ambientTemperature = QStringLiteral("20");
    f.ambientHumidity = QStringLiteral("50");
    f.ambientPressure = QStringLiteral("1000");
    f.calibrator = QStringLiteral("张三");
    f.checker = QStringLiteral("李四");
    f.interval = QStringLiteral("1");
    return f;
}

struct Change
{
    const char *name;
    std::function<void(Form &, Records &)> apply;
    int code;
    const char *message;
};

// One change to a valid set-up per row, or several where the order of the checks matters.
const std::vector<Change> &changes()
{
    static const std::vector<Change> all = {
        {"valid", [](Form &, Records &) {}, 0, "数据库获取错误！"},
        {"no PCR instrument", [](Form &, Records &r) { r.pcr.reset(); }, 101, "数据库获取错误！"},
        {"nothing found", [](Form &, Records &r) { r = Records(); }, 101, "数据库获取错误！"},
        {"no measuring instrument", [](Form &, Records &r) { r.electrometer.reset(); }, 102, "数据库获取错误！"},
        {"measuring instrument overdue",
         [](Form &, Records &r) { r.electrometer->CalibrationCycle = QStringLiteral("2001-01-01 00:00"); }, 105,
         "测温仪已过有效期，不能用于校准！\nCOL-1 采集器"},
        {"measuring instrument marked expired",
         [](Form &, Records &r) { r.electrometer->CalibrationState = QStringLiteral("过期"); }, 105,
         "测温仪已过有效期，不能用于校准！\nCOL-1 采集器"},
        {"measuring instrument never calibrated",
         [](Form &, Records &r) { r.electrometer->CalibrationCycle.clear(); }, 105,
         "测温仪未校准，不能用于校准！\nCOL-1 采集器"},
        {"overdue instrument before a missing probe set",
         [](Form &, Records &r) {
             r.electrometer->CalibrationCycle = QStringLiteral("2001-01-01 00:00");
             r.standardizer.reset();
         },
         105, "测温仪已过有效期，不能用于校准！\nCOL-1 采集器"},
        {"no probe set", [](Form &, Records &r) { r.standardizer.reset(); }, 103, "数据库获取错误！"},
        {"no layout", [](Form &, Records &r) { r.layout.reset(); }, 104, "数据库获取错误！"},
        {"layout before an empty name",
         [](Form &f, Records &r) {
             r.layout->PointCount = QStringLiteral("15");
             f.projectName.clear();
         },
         1, "布点图与标准器不符！"},
        {"name empty", [](Form &f, Records &) { f.projectName.clear(); }, 2, "项目名称不能为空！"},
        {"name of blanks", [](Form &f, Records &) { f.projectName = QStringLiteral("   "); }, 2, "项目名称不能为空！"},
        {"name used", [](Form &, Records &r) { r.projectNameUsed = true; }, 2, "项目名称重复！"},
        // Control characters typed or pasted into a text would break the certificate's XML.
        {"escape in the name", [](Form &f, Records &) { f.projectName = QStringLiteral("项目\x1b[31m"); }, 11,
         "输入内容不能包含控制字符！"},
        {"vertical tab in the client", [](Form &f, Records &) { f.company = QStringLiteral("客\x0b户"); }, 11,
         "输入内容不能包含控制字符！"},
        {"SOH in the remarks", [](Form &f, Records &) { f.remarks = QStringLiteral("\x01"); }, 11,
         "输入内容不能包含控制字符！"},
        {"line feed in the checker", [](Form &f, Records &) { f.checker = QStringLiteral("李\n四"); }, 11,
         "输入内容不能包含控制字符！"},
        {"C1 control in the calibrator", [](Form &f, Records &) { f.calibrator = QStringLiteral("张\u0085三"); }, 11,
         "输入内容不能包含控制字符！"},
        {"direction override in the name", [](Form &f, Records &) { f.projectName = QStringLiteral("项\u202e目"); }, 11,
         "输入内容不能包含控制字符！"},
        {"a megabyte of name", [](Form &f, Records &) { f.projectName = QString(1 << 20, 'p'); }, 11,
         "输入内容不能超过64个字符！"},
        {"client blank", [](Form &f, Records &) { f.company = QStringLiteral(" "); }, 3, "送检单位不能为空！"},
        {"client before humidity",
         [](Form &f, Records &) {
             f.company.clear();
             f.ambientHumidity.clear();
         },
         3, "送检单位不能为空！"},
        {"ambient empty", [](Form &f, Records &) { f.ambientTemperature.clear(); }, 4, "环境温度不能为空！"},
        {"ambient minus", [](Form &f, Records &) { f.ambientTemperature = QStringLiteral("-"); }, 4, "环境温度格式错误！"},
        {"ambient points", [](Form &f, Records &) { f.ambientTemperature = QStringLiteral("1.2.3"); }, 4,
         "环境温度格式错误！"},
        {"ambient minuses", [](Form &f, Records &) { f.ambientTemperature = QStringLiteral("2-0"); }, 4,
         "环境温度格式错误！"},
        {"ambient negative", [](Form &f, Records &) { f.ambientTemperature = QStringLiteral("-5.5"); }, 0,
         "数据库获取错误！"},
        {"humidity empty", [](Form &f, Records &) { f.ambientHumidity.clear(); }, 5, "环境湿度不能为空！"},
        {"pressure empty", [](Form &f, Records &) { f.ambientPressure.clear(); }, 6, "环境压力不能为空！"},
        {"calibrator blank", [](Form &f, Records &) { f.calibrator = QStringLiteral("  "); }, 7, "校准员不能为空！"},
        {"checker blank", [](Form &f, Records &) { f.checker = QStringLiteral("    "); }, 8, "核验员不能为空！"},
        {"interval 0.29", [](Form &f, Records &) { f.interval = QStringLiteral("0.29"); }, 9, "采集间隔过短！"},
        {"interval empty", [](Form &f, Records &) { f.interval.clear(); }, 9, "采集间隔过短！"},
        {"interval malformed", [](Form &f, Records &) { f.interval = QStringLiteral("0.3.1"); }, 9, "采集间隔过短！"},
        {"interval 0.3", [](Form &f, Records &) { f.interval = QStringLiteral("0.3"); }, 0, "数据库获取错误！"},
        {"no item", [](Form &f, Records &) { f.uniformity = false; }, 10, "请设置校准项目！"},
        {"rate only",
         [](Form &f, Records &) {
             f.uniformity = false;
             f.rate = true;
         },
         0, "数据库获取错误！"},
        {"linearity alone is no item",
         [](Form &f, Records &) {
             f.uniformity = false;
             f.linear = true;
         },
         10, "请设置校准项目！"},
    };
    return all;
}

} // namespace

class SetupTest : public QObject
{
    Q_OBJECT

private slots:
    // The validity of a measuring instrument by its valid-until date and stored state word.
    void instrumentValidity_data()
    {
        QTest::addColumn<QString>("validUntil");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("validity");
        using V = InstrumentValidity::Validity;
        QTest::newRow("valid") << QStringLiteral("2024-06-30 00:00") << QStringLiteral("正常") << int(V::Valid);
        QTest::newRow("valid with seconds") << QStringLiteral("2024-06-30 00:00:00") << QStringLiteral("正常") << int(V::Valid);
        QTest::newRow("state left empty") << QStringLiteral("2024-06-30 00:00") << QString() << int(V::Valid);
        QTest::newRow("the moment it ends") << QStringLiteral("2024-06-01 12:00") << QStringLiteral("正常") << int(V::Overdue);
        QTest::newRow("passed") << QStringLiteral("2024-05-31 23:59") << QStringLiteral("正常") << int(V::Overdue);
        QTest::newRow("marked expired") << QStringLiteral("2030-01-01 00:00") << QStringLiteral("过期") << int(V::Overdue);
        QTest::newRow("unreadable") << QStringLiteral("2024-13-40 00:00") << QStringLiteral("正常") << int(V::Overdue);
        QTest::newRow("never calibrated") << QString() << QStringLiteral("正常") << int(V::NotCalibrated);
    }

    void instrumentValidity()
    {
        QFETCH(QString, validUntil);
        QFETCH(QString, state);
        QFETCH(int, validity);
        const QDateTime now(QDate(2024, 6, 1), QTime(12, 0));
        QCOMPARE(int(InstrumentValidity::of(validUntil, state, now)), validity);
        QString message;
        const bool refused = InstrumentValidity::refused(QStringLiteral("E9"), QStringLiteral("采集器"), validUntil,
                                                         state, now, &message);
        QCOMPARE(refused, validity != int(InstrumentValidity::Validity::Valid));
        QCOMPARE(message.isEmpty(), !refused);
    }

    void codesAndMessages_data()
    {
        QTest::addColumn<int>("row");
        for (size_t i = 0; i < changes().size(); ++i)
            QTest::newRow(changes()[i].name) << int(i);
    }
    void codesAndMessages()
    {
        QFETCH(int, row);
        const Change &c = changes()[size_t(row)];
        Form form = validForm();
        Records records = validRecords();
        c.apply(form, records);
        const auto r = CalibrationSetup::validate(form, records, QStringLiteral("℃"), QDateTime::currentDateTime());
        QCOMPARE(r.code, c.code);
        QCOMPARE(r.message, QString::fromUtf8(c.message));
    }

    void projectRecord()
    {
        Form form = validForm();
        form.rate = true;
        form.linear = true;
        form.interval = QStringLiteral("1.5");
        const Records records = validRecords();
        const QDateTime now(QDate(2024, 3, 9), QTime(8, 7, 6));
        const auto r = CalibrationSetup::validate(form, records, QStringLiteral("℃"), now);
        QCOMPARE(r.code, 0);
        const QStringList expected{"项目", "客户", "备注", "2024-03-09 08:07:06", "1.5", "20", "50", "1000", "张三",
                                   "李四", "热循环仪", "M-96", "SN-0001", "厂家", "CERT-7", "采集器", "探头组", "16",
                                   "1,2,3", "A1,B2", "均匀度", "升降温", "", "十六点", "A1,B2"};
        QCOMPARE(r.project.values(), expected);
        QCOMPARE(r.interval, 1.5);
        QVERIFY(r.uniformity && r.rate && r.linear);
        QCOMPARE(r.electrometer.Port_BaudRate, QStringLiteral("5980"));
        QCOMPARE(r.standardizer.Number, QStringLiteral("P-16"));

        // The ambient temperature is typed in the display unit and stored in ℃, two decimals.
        form.ambientTemperature = QStringLiteral("77.3");
        QCOMPARE(CalibrationSetup::validate(form, records, QStringLiteral("℉"), now).project.AmbientTemperature,
                 QStringLiteral("25.17"));

        // An item left unticked names no cycle file; an item without "--" names none either.
        form.uniformity = false;
        form.rateItem = QStringLiteral("无分隔");
        const auto other = CalibrationSetup::validate(form, records, QStringLiteral("℃"), now);
        QCOMPARE(other.project.UniformityFile, QString());
        QCOMPARE(other.project.RateFile, QString());
    }

    void celsiusText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("expected");
        QTest::newRow("℃ six decimals kept") << "25.123456" << "℃" << 4 << "25.123456";
        QTest::newRow("℉ body temperature") << "98.6" << "℉" << 4 << "37.0000";
        QTest::newRow("℉ with blanks") << " 212 " << "℉" << 2 << "100.00";
        QTest::newRow("℉ empty") << "" << "℉" << 4 << "";
        QTest::newRow("℉ no number") << "abc" << "℉" << 4 << "abc";
        QTest::newRow("unknown unit") << "98.6" << "" << 4 << "98.6";
    }
    void celsiusText()
    {
        QFETCH(QString, text);
        QFETCH(QString, unit);
        QFETCH(int, decimals);
        QFETCH(QString, expected);
        QCOMPARE(CalibrationSetup::celsiusText(text, unit, decimals), expected);
    }

    // The records are found by the text before "--", or the whole text; a name counts as used
    // when a project or left-over samples carry it.
    void lookUp_data()
    {
        QTest::addColumn<QString>("pcrItem");
        QTest::addColumn<QString>("projectName");
        QTest::addColumn<bool>("pcrFound");
        QTest::addColumn<bool>("nameUsed");
        QTest::newRow("item") << "PCR-1--M-96--SN-0001" << "新" << true << false;
        QTest::newRow("key alone") << "PCR-1" << "新" << true << false;
        QTest::newRow("other key") << "PCR-1X" << "新" << false << false;
        QTest::newRow("empty key") << "--M-96" << "新" << false << false;
        QTest::newRow("project exists") << "PCR-1" << "旧项目" << true << true;
        QTest::newRow("samples left over") << "PCR-1" << "残留" << true << true;
        QTest::newRow("blank name") << "PCR-1" << " " << true << false;
    }
    void lookUp()
    {
        QFETCH(QString, pcrItem);
        QFETCH(QString, projectName);
        QFETCH(bool, pcrFound);
        QFETCH(bool, nameUsed);
        Workspace ws;
        QVERIFY(ws.openDatabase());
        const Records stored = validRecords();
        QVERIFY(Tool::addPCRDevice(*stored.pcr));
        QVERIFY(Tool::addElectrometer(*stored.electrometer));
        QVERIFY(Tool::addStandardizer(*stored.standardizer));
        QVERIFY(Tool::addLayout(*stored.layout));
        Tool::Struct_Calibration old;
        old.CalibrationName = QStringLiteral("旧项目");
        QVERIFY(Tool::addCalibration(old));
        QVERIFY(Tool::addCalibrationData({QStringLiteral("残留"), QStringLiteral("均匀度校准"),
                                          QStringLiteral("2024-01-01 00:00:00.000"), QStringLiteral("25")}));

        Form form = validForm();
        form.pcrItem = pcrItem;
        form.projectName = projectName;
        const Records found = CalibrationSetup::lookUp(form);
        QCOMPARE(bool(found.pcr), pcrFound);
        if (pcrFound)
            QCOMPARE(found.pcr->SerialNumber, QStringLiteral("SN-0001"));
        QCOMPARE(found.projectNameUsed, nameUsed);
        QVERIFY(found.electrometer && found.standardizer && found.layout);
        QCOMPARE(found.standardizer->NumberChannels, QStringLiteral("16"));
    }
};

PCR_TEST_CLASS(SetupTest)
#include "tst_setup.moc"
