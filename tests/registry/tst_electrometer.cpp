// The measuring instrument register: link types, form, list and the communication test against
// the collector (pcrsim over TCP and a pseudo-terminal, and a scripted peer on loopback).

#include "registrytest.h"
#include "registry/CalibrationDates.h"

#include "app/messages.h"
#include "registry/Electrometer.h"

#include "../instruments/SimHarness.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QtTest>

#include <memory>

namespace {

const QStringList BaudRates = {"4800", "9600", "14400", "19200", "38400", "56000", "57600", "115200"};

Tool::Struct_Electrometer instrument(const QString &number)
{
    Tool::Struct_Electrometer d;
    d.Number = number;
    d.DeviceName = QStringLiteral("多路温度采集器");
    d.DeviceModel = QStringLiteral("1611A");
    d.Manufacturer = QStringLiteral("福禄克");
    d.SerialNumber = QStringLiteral("SN-") + number;
    d.CalibrationState = QStringLiteral("正常");
    d.CertificateNumber = QStringLiteral("ZS-") + number;
    d.CalibrationCycle = QStringLiteral("2026-06-30 00:00");
    d.Uncertain = QStringLiteral("0.05℃");
    d.SignalMode = QStringLiteral("网络");
    d.IP_COM = QStringLiteral("192.168.1.20");
    d.Port_BaudRate = QStringLiteral("5980");
    return d;
}

QList<Tool::Struct_Electrometer> stored(const QString &number = QString())
{
    QList<Tool::Struct_Electrometer> list;
    Tool::getElectrometer(list, number);
    return list;
}

class Form : public FormOf<Electrometer>
{
public:
    void setLink(const QString &mode, const QString &address, const QString &port)
    {
        combo("comboBox_Communication")->setCurrentText(Tool::toDisplayText(mode));
        if (mode == QStringLiteral("串口")) {
            combo("comboBox_Com")->setCurrentText(address);
            combo("comboBox_BaudRate")->setCurrentText(port);
        } else {
            edit("lineEdit_Com")->setText(address);
            edit("lineEdit_BaudRate")->setText(port);
        }
    }
    void fill(const Tool::Struct_Electrometer &d)
    {
        edit("lineEdit_Number")->setText(d.Number);
        combo("comboBox_DeviceName")->setCurrentText(d.DeviceName);
        combo("comboBox_DeviceModel")->setCurrentText(d.DeviceModel);
        combo("comboBox_Manufacturer")->setCurrentText(d.Manufacturer);
        edit("lineEdit_SerialNumber")->setText(d.SerialNumber);
        combo("comboBox_CalibrationState")->setCurrentText(Tool::toDisplayText(d.CalibrationState));
        edit("lineEdit_CertificateNumber")->setText(d.CertificateNumber);
        edit("lineEdit_CalibrationCycle")->setText(d.CalibrationCycle);
        edit("lineEdit_Uncertain")->setText(d.Uncertain);
        setLink(d.SignalMode, d.IP_COM, d.Port_BaudRate);
    }
    void open(const QString &number)
    {
        const int row = columnTexts(list(), 0).indexOf(number);
        QVERIFY(row >= 0);
        page->pt_TableWidget_clicked(row, 3);
    }
    // Presses "测试" and waits until the test has reported.
    bool scan(MessageRecorder &rec)
    {
        const int boxes = rec.count();
        button("pushButton_Scan")->click();
        // Disabled until the result comes back through the event loop; the test itself may have
        // ended already (the driver needs no help from this thread).
        if (button("pushButton_Scan")->isEnabled())
            return false;
        if (!QTest::qWaitFor([&] { return rec.count() > boxes; }, 30000))
            return false;
        return rec.count() == boxes + 1 && !page->isRunning() && button("pushButton_Scan")->isEnabled();
    }
};

// A collector on loopback that answers the address query and, when it has an identity (ten
// bytes, padded with zeros), the identity query.
void answerIdentity(ScriptedPeer &peer, const QByteArray &identity)
{
    peer.answer = [identity](const QByteArray &request) -> QList<QByteArray> {
        if (!request.toHex().startsWith("010310000005"))
            return {};
        return {ScriptedPeer::frame("01030a" + identity.leftJustified(10, '\0', true).toHex())};
    };
}

} // namespace

class TestElectrometer : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        PCR_SERVER_RUN_CHECK();
        QVERIFY(enterFreshWorkspace(ws));
    }
    void cleanup() { ws.reset(); }

    void startsOnTheNetworkLinkWithItsPresets()
    {
        Form f;
        QCOMPARE(f.combo("comboBox_Communication")->count(), 2);
        QCOMPARE(f.combo("comboBox_Communication")->itemText(0), QStringLiteral("网络"));
        QCOMPARE(f.combo("comboBox_Communication")->itemText(1), QStringLiteral("串口"));
        QCOMPARE(f.combo("comboBox_CalibrationState")->itemText(1), QStringLiteral("过期"));
        QCOMPARE(f.edit("lineEdit_Com")->text(), QStringLiteral("192.168.1.1"));
        QCOMPARE(f.edit("lineEdit_BaudRate")->text(), QStringLiteral("5980"));
        QVERIFY(f.edit("lineEdit_Com")->isVisibleTo(f.page.get()));
        QVERIFY(!f.combo("comboBox_Com")->isVisibleTo(f.page.get()));
        QCOMPARE(f.label("label_Com")->text(), QStringLiteral("IP地址："));
        QCOMPARE(f.list()->columnCount(), 12);
        QCOMPARE(f.list()->horizontalHeaderItem(10)->text(), QStringLiteral("Ip地址/端口号"));
    }

    void linkTypeSwitchesEditorsAndLists()
    {
        Form f;
        QWidget *page = f.page.get();
        f.combo("comboBox_Communication")->setCurrentText("串口");
        QCOMPARE(f.label("label_Com")->text(), QStringLiteral("串口号："));
        QCOMPARE(f.label("label_BaudRate")->text(), QStringLiteral("波特率："));
        QVERIFY(!f.edit("lineEdit_Com")->isVisibleTo(page));
        QVERIFY(!f.edit("lineEdit_BaudRate")->isVisibleTo(page));
        QVERIFY(f.combo("comboBox_Com")->isVisibleTo(page));
        QVERIFY(f.combo("comboBox_BaudRate")->isVisibleTo(page));
        QStringList ports;
        for (int i = 0; i < f.combo("comboBox_Com")->count(); ++i)
            ports << f.combo("comboBox_Com")->itemText(i);
        QCOMPARE(ports, Tool::serialPortNames());
        QStringList rates;
        for (int i = 0; i < f.combo("comboBox_BaudRate")->count(); ++i)
            rates << f.combo("comboBox_BaudRate")->itemText(i);
        QCOMPARE(rates, BaudRates);
        // Switching again does not pile the lists up.
        f.combo("comboBox_Communication")->setCurrentText("网络");
        f.combo("comboBox_Communication")->setCurrentText("串口");
        QCOMPARE(f.combo("comboBox_BaudRate")->count(), 8);

        f.combo("comboBox_Communication")->setCurrentText("网络");
        QCOMPARE(f.label("label_Com")->text(), QStringLiteral("IP地址："));
        QCOMPARE(f.label("label_BaudRate")->text(), QStringLiteral("端口号："));
        QVERIFY(f.edit("lineEdit_Com")->isVisibleTo(page));
        QVERIFY(!f.combo("comboBox_BaudRate")->isVisibleTo(page));
    }

    void addStoresTheLinkOfTheChosenType()
    {
        MessageRecorder rec;
        Form f;
        Tool::Struct_Electrometer net = instrument("E1");
        f.fill(net);
        f.button("pushButton_Add")->click();
        Tool::Struct_Electrometer serial = instrument("E2");
        serial.SignalMode = QStringLiteral("串口");
        serial.IP_COM = QStringLiteral("/dev/ttyUSB7");   // not present: typed
        serial.Port_BaudRate = QStringLiteral("115200");
        serial.CalibrationState = QStringLiteral("过期");
        f.fill(serial);
        f.button("pushButton_Add")->click();
        QVERIFY2(rec.isEmpty(), qPrintable(rec.texts().join('|')));
        QCOMPARE(stored("E1").first().values(), net.values());
        QCOMPARE(stored("E2").first().values(), serial.values());
        QCOMPARE(rowTexts(f.list(), 1),
                 QStringList({"E2", "多路温度采集器", "1611A", "福禄克", "SN-E2", "过期", "ZS-E2",
                              "2026-06-30 00:00", "0.05℃", "串口", "/dev/ttyUSB7", "115200"}));
        QCOMPARE(lastAudit().Type, QStringLiteral("测温仪管理-添加"));
        QCOMPARE(lastAudit().Details, QStringLiteral("测温仪添加：多路温度采集器"));
    }

    // The list derives the state from the validity date: overdue in red, like a PCR instrument.
    void overdueInstrumentsShownRed()
    {
        const QDateTime now = QDateTime::currentDateTime();
        Tool::Struct_Electrometer valid = instrument("E1");
        valid.CalibrationCycle = CalibrationDates::minuteText(now.addMonths(6));
        Tool::Struct_Electrometer overdue = instrument("E2");
        overdue.CalibrationCycle = CalibrationDates::minuteText(now.addDays(-1));
        Tool::Struct_Electrometer never = instrument("E3");
        never.CalibrationCycle.clear();
        for (const auto &d : {valid, overdue, never})
            QVERIFY(Tool::addElectrometer(d));
        Form f;
        const struct { int row; const char *state; bool red; } expected[] = {
            {0, "正常", false}, {1, "过期", true}, {2, "未校", false}};
        for (const auto &e : expected) {
            QTableWidgetItem *item = f.list()->item(e.row, 5);
            QCOMPARE(item->text(), QString::fromUtf8(e.state));
            QCOMPARE(item->foreground().color() == QColor(255, 0, 0), e.red);
        }
        // Only the list: the stored word stays as registered.
        QCOMPARE(stored("E2").first().CalibrationState, QStringLiteral("正常"));
    }

    void openingARowShowsItsLink()
    {
        Tool::Struct_Electrometer serial = instrument("E2");
        serial.SignalMode = QStringLiteral("串口");
        serial.IP_COM = QStringLiteral("ttyS3");
        serial.Port_BaudRate = QStringLiteral("1200");   // not offered, but stored: kept
        QVERIFY(Tool::addElectrometer(instrument("E1")));
        QVERIFY(Tool::addElectrometer(serial));
        MessageRecorder rec;
        Form f;
        f.open("E2");
        QCOMPARE(f.combo("comboBox_Communication")->currentText(), QStringLiteral("串口"));
        QVERIFY(f.combo("comboBox_Com")->isVisibleTo(f.page.get()));
        QCOMPARE(f.combo("comboBox_Com")->currentText(), QStringLiteral("ttyS3"));
        QCOMPARE(f.combo("comboBox_BaudRate")->currentText(), QStringLiteral("1200"));
        QCOMPARE(lastAudit().Details, QStringLiteral("测温仪查看：多路温度采集器"));
        f.button("pushButton_Modify")->click();
        QCOMPARE(stored("E2").first().values(), serial.values());

        f.open("E1");
        QCOMPARE(f.combo("comboBox_Communication")->currentText(), QStringLiteral("网络"));
        QCOMPARE(f.edit("lineEdit_Com")->text(), QStringLiteral("192.168.1.20"));
        QCOMPARE(f.edit("lineEdit_BaudRate")->text(), QStringLiteral("5980"));
        QCOMPARE(f.edit("lineEdit_CalibrationCycle")->text(), QStringLiteral("2026-06-30 00:00"));
        f.edit("lineEdit_Uncertain")->setText("0.1℃");
        f.button("pushButton_Modify")->click();
        QCOMPARE(stored("E1").first().Uncertain, QStringLiteral("0.1℃"));
        QCOMPARE(lastAudit().Details, QStringLiteral("测温仪修改：多路温度采集器（不确定度：0.05℃ → 0.1℃）"));
        QVERIFY2(rec.isEmpty(), qPrintable(rec.texts().join('|')));
    }

    void aLinkTypeOfAnotherPageSurvivesAModify()
    {
        Tool::Struct_Electrometer ble = instrument("E3");
        ble.SignalMode = QStringLiteral("蓝牙");
        ble.IP_COM = QStringLiteral("AA:BB:CC:DD:EE:FF");
        ble.Port_BaudRate = QString();
        QVERIFY(Tool::addElectrometer(ble));
        MessageRecorder rec;
        Form f;
        f.open("E3");
        QCOMPARE(f.combo("comboBox_Communication")->currentText(), QStringLiteral("蓝牙"));
        f.button("pushButton_Modify")->click();
        QVERIFY(rec.isEmpty());
        QCOMPARE(stored("E3").first().values(), ble.values());
    }

    void incompleteAddIsRefusedButValuesAreRemembered_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("label");
        QTest::newRow("number") << "lineEdit_Number" << "编号";
        QTest::newRow("serial number") << "lineEdit_SerialNumber" << "序列号";
    }
    void incompleteAddIsRefusedButValuesAreRemembered()
    {
        QFETCH(QString, missing);
        QFETCH(QString, label);
        MessageRecorder rec;
        Form f;
        f.fill(instrument("E1"));
        f.edit(qPrintable(missing))->clear();
        f.button("pushButton_Add")->click();
        QCOMPARE(rec.texts(), QStringList({"请先输入参数！\n" + label + "不能为空。"}));
        QVERIFY(stored().isEmpty());
        QStringList names, models, makers;
        Tool::getDataSheet("测温仪设备名称", names);
        Tool::getDataSheet("测温仪设备型号", models);
        Tool::getDataSheet("测温仪设备制造单位", makers);
        QCOMPARE(names, QStringList({"多路温度采集器"}));
        QCOMPARE(models, QStringList({"1611A"}));
        QCOMPARE(makers, QStringList({"福禄克"}));
        QVERIFY(f.combo("comboBox_DeviceModel")->findText("1611A") >= 0);
    }

    // Name, model and manufacturer that cannot be remembered give one warning, and the
    // instrument is stored all the same.
    void unrememberedValuesWarnOnce()
    {
        QSqlQuery q(QSqlDatabase::database());
        QVERIFY(q.exec("drop table DataSheet"));
        MessageRecorder rec;
        Form f;
        f.fill(instrument("E1"));
        f.button("pushButton_Add")->click();
        QCOMPARE(rec.texts(), QStringList({"添加数据失败！"}));
        QCOMPARE(rec.last().title, QStringLiteral("警告"));
        QCOMPARE(stored().size(), 1);
        QCOMPARE(f.combo("comboBox_DeviceModel")->currentText(), QStringLiteral("1611A"));
    }

    void emptyNameOrModelAndAnUncertaintyWithoutValueAreRefused()
    {
        MessageRecorder rec;
        Form f;
        f.fill(instrument("E1"));
        f.combo("comboBox_DeviceName")->setCurrentText(QString());
        f.button("pushButton_Add")->click();
        f.fill(instrument("E1"));
        f.combo("comboBox_DeviceModel")->setCurrentText(QString());
        f.button("pushButton_Add")->click();
        f.fill(instrument("E1"));
        f.edit("lineEdit_Uncertain")->setText("abc");
        f.button("pushButton_Add")->click();
        QCOMPARE(rec.texts(), QStringList({"请先输入参数！\n设备名称不能为空。", "请先输入参数！\n设备型号不能为空。",
                                           "不确定度应为数值，例如 0.1 或 U=0.1℃ (k=2)！"}));
        QVERIFY(stored().isEmpty());
        rec.clear();
        f.edit("lineEdit_Uncertain")->setText("U=0.1℃ (k=2)");
        f.button("pushButton_Add")->click();
        QVERIFY(rec.isEmpty());
        QCOMPARE(stored().size(), 1);
    }

    void duplicateNumberIsRefusedWithBothLines()
    {
        QVERIFY(Tool::addElectrometer(instrument("E1")));
        MessageRecorder rec;
        Form f;
        Tool::Struct_Electrometer again = instrument("E1");
        again.DeviceName = QStringLiteral("另一台");
        f.fill(again);
        const int audits = auditCount();
        f.button("pushButton_Add")->click();
        QCOMPARE(rec.texts(), QStringList({"添加数据失败！\n编号或名称重复。"}));
        QCOMPARE(stored().size(), 1);
        QCOMPARE(stored().first().DeviceName, QStringLiteral("多路温度采集器"));
        QCOMPARE(f.list()->rowCount(), 1);
        QCOMPARE(auditCount(), audits);
    }

    void badTextsAreStoredAsTypedOrRefused()
    {
        MessageRecorder rec;
        Form f;
        Tool::Struct_Electrometer d = instrument("E'1");
        d.DeviceName = QStringLiteral("Fluke \"1611A\", O'Neil");
        d.Uncertain = QStringLiteral("U=0,05 ℃ (k=2)");
        f.fill(d);
        f.button("pushButton_Add")->click();
        QVERIFY2(rec.isEmpty(), qPrintable(rec.texts().join('|')));
        QCOMPARE(stored("E'1").first().values(), d.values());
        QCOMPARE(f.list()->item(0, 1)->text(), d.DeviceName);

        f.fill(instrument("E--2"));
        f.button("pushButton_Add")->click();
        f.fill(instrument("E3"));
        f.edit("lineEdit_CalibrationCycle")->setText("2026-13-01 00:00");
        f.button("pushButton_Add")->click();
        f.edit("lineEdit_CalibrationCycle")->setText("2026-12-01 00:00");
        f.setLink("网络", "192.168.1.30", "59a0");
        f.button("pushButton_Add")->click();
        f.setLink("网络", "192.168.1.30", "70000");
        f.button("pushButton_Add")->click();
        f.setLink("网络", "", "5980");
        f.button("pushButton_Add")->click();
        f.setLink("串口", "", "9600");
        f.button("pushButton_Add")->click();
        QCOMPARE(rec.texts(), QStringList({"编号不能包含“--”！", "有效期格式错误！",
                                           "请输入IP地址和1到65535之间的端口号！",
                                           "请输入IP地址和1到65535之间的端口号！",
                                           "请输入IP地址和1到65535之间的端口号！", "请选择串口号！"}));
        QCOMPARE(stored().size(), 1);
        f.setLink("网络", "192.168.1.30", "5980");
        // An empty "valid until" is allowed and stored empty, not as the mask's separators.
        f.edit("lineEdit_CalibrationCycle")->clear();
        f.button("pushButton_Add")->click();
        QCOMPARE(stored("E3").first().CalibrationCycle, QString());
    }

    // Modify changes the highlighted instrument and nothing else.
    void modifyNeedsTheHighlightedNumber()
    {
        QVERIFY(Tool::addElectrometer(instrument("E1")));
        MessageRecorder rec;
        Form f;
        f.fill(instrument("E9"));
        f.button("pushButton_Modify")->click();
        f.open("E1");
        f.edit("lineEdit_Number")->setText("E9");
        f.button("pushButton_Modify")->click();
        QCOMPARE(rec.texts(), QStringList({"请先选择设备", "修改数据失败!\n编号不能修改。"}));
        QCOMPARE(columnTexts(f.list(), 0), QStringList({"E1"}));
    }

    void deleteAsksForTheOpenedNumber()
    {
        QVERIFY(Tool::addElectrometer(instrument("E1")));
        QVERIFY(Tool::addElectrometer(instrument("E2")));
        MessageRecorder rec;
        Form f;
        f.button("pushButton_Delete")->click();
        QCOMPARE(rec.texts(), QStringList({"请先选择设备"}));
        f.open("E1");
        f.list()->selectRow(1);   // highlighted after the one opened: the form follows it
        QCOMPARE(f.edit("lineEdit_Number")->text(), QStringLiteral("E2"));
        rec.answerNext(QMessageBox::Yes);
        f.button("pushButton_Delete")->click();
        QCOMPARE(rec.last().text, QStringLiteral("是否删除编号E2（多路温度采集器）?"));
        QCOMPARE(columnTexts(f.list(), 0), QStringList({"E1"}));
        QCOMPARE(lastAudit().Details, QStringLiteral("测温仪删除编号为：E2"));
    }

    void communicationTestOverTcpFillsTheSerialNumber()
    {
        PcrSim sim;
        QVERIFY(sim.start({"--collector-tcp", "0", "--seed", "4242"}));
        MessageRecorder rec;
        Form f;
        f.edit("lineEdit_SerialNumber")->setText("typed before");
        f.setLink("网络", "127.0.0.1", sim.tcpPort);
        QVERIFY(f.scan(rec));
        QCOMPARE(rec.last().title, QStringLiteral("提示"));
        QCOMPARE(rec.last().text, QStringLiteral("测试成功！"));
        QCOMPARE(f.edit("lineEdit_SerialNumber")->text(), QStringLiteral("1611A04242"));
        QCOMPARE(f.edit("lineEdit_SerialNumber")->cursorPosition(), 0);
        // The driver was closed: a second test opens it again.
        f.edit("lineEdit_SerialNumber")->clear();
        QVERIFY(f.scan(rec));
        QCOMPARE(rec.last().text, QStringLiteral("测试成功！"));
        QCOMPARE(f.edit("lineEdit_SerialNumber")->text(), QStringLiteral("1611A04242"));
    }

    void communicationTestOverASerialPortFillsTheSerialNumber()
    {
        PcrSim sim;
        QVERIFY(sim.start({"--collector-pty", "--seed", "17"}));
        MessageRecorder rec;
        Form f;
        f.setLink("串口", sim.ptyPath, "9600");
        QVERIFY(f.scan(rec));
        QCOMPARE(rec.last().text, QStringLiteral("测试成功！"));
        QCOMPARE(f.edit("lineEdit_SerialNumber")->text(), QStringLiteral("1611A00017"));
    }

    void communicationTestAgainstAClosedPortReportsTheFailure()
    {
        MessageRecorder rec;
        Form f;
        f.edit("lineEdit_SerialNumber")->setText("SN-1");
        const QString port = closedPort();
        QVERIFY(!port.isEmpty());
        f.setLink("网络", "127.0.0.1", port);
        QVERIFY(f.scan(rec));
        QCOMPARE(rec.last().title, QStringLiteral("警告"));
        QCOMPARE(rec.last().text, QStringLiteral("设备连接失败！"));
        QCOMPARE(f.edit("lineEdit_SerialNumber")->text(), QStringLiteral("SN-1"));
    }

    // Link texts that can never connect are refused before any attempt, with the reason.
    void communicationTestWithAnUnusableLink_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no IP address") << "网络" << "" << "5980" << "请输入IP地址！";
        QTest::newRow("port not a number") << "网络" << "127.0.0.1" << "59x0" << "端口号“59x0”无效，应为1到65535之间的整数！";
        QTest::newRow("port out of range") << "网络" << "127.0.0.1" << "70000" << "端口号“70000”无效，应为1到65535之间的整数！";
        QTest::newRow("no serial port") << "串口" << "" << "9600" << "请选择串口号！";
    }
    void communicationTestWithAnUnusableLink()
    {
        QFETCH(QString, mode);
        QFETCH(QString, address);
        QFETCH(QString, port);
        QFETCH(QString, reason);
        MessageRecorder rec;
        Form f;
        f.setLink(mode, address, port);
        f.button("pushButton_Scan")->click();
        QVERIFY(!f.page->isRunning());
        QVERIFY(f.button("pushButton_Scan")->isEnabled());
        QCOMPARE(rec.count(), 1);
        QCOMPARE(rec.last().title, QStringLiteral("警告"));
        QCOMPARE(rec.last().text, QStringLiteral("设备连接失败！\n") + reason);
    }

    void communicationTestWithoutOrWithEmptyIdentity()
    {
        MessageRecorder rec;
        Form f;
        f.edit("lineEdit_SerialNumber")->setText("SN-1");
        ScriptedPeer silent;   // answers no identity query
        f.setLink("网络", "127.0.0.1", silent.port());
        QVERIFY(f.scan(rec));
        QCOMPARE(rec.last().text, QStringLiteral("获取序列号失败！"));
        QCOMPARE(f.edit("lineEdit_SerialNumber")->text(), QStringLiteral("SN-1"));

        ScriptedPeer blank;
        answerIdentity(blank, QByteArray());
        f.setLink("网络", "127.0.0.1", blank.port());
        QVERIFY(f.scan(rec));
        QCOMPARE(rec.last().text, QStringLiteral("测试成功！"));
        QCOMPARE(f.edit("lineEdit_SerialNumber")->text(), QStringLiteral("SN-1"));
    }

    void pageClosedDuringATestWaitsForIt()
    {
        ScriptedPeer silent;   // the identity query times out
        MessageRecorder rec;
        {
            Form f;
            f.setLink("网络", "127.0.0.1", silent.port());
            f.button("pushButton_Scan")->click();
            QVERIFY(f.page->isRunning());
        }
        // The box of a page that is gone is not shown.
        QTest::qWait(50);
        QVERIFY(rec.isEmpty());
    }

    void rightsDisableTheButtons()
    {
        Tool::CurrentUser.setAllRights(false);
        {
            Form f;
            for (const char *name : {"pushButton_Add", "pushButton_Modify", "pushButton_Delete", "pushButton_Scan"})
                QVERIFY2(!f.button(name)->isEnabled(), name);
        }
        Tool::CurrentUser.ElectrometerScan = true;
        Tool::CurrentUser.ElectrometerDelete = true;
        Form f;
        QVERIFY(!f.button("pushButton_Add")->isEnabled());
        QVERIFY(!f.button("pushButton_Modify")->isEnabled());
        QVERIFY(f.button("pushButton_Delete")->isEnabled());
        QVERIFY(f.button("pushButton_Scan")->isEnabled());
    }

private:
    std::unique_ptr<Workspace> ws;
};

PCR_TEST_CLASS(TestElectrometer)
#include "tst_electrometer.moc"
