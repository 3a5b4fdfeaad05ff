// The device connection dialog: link types per device, the form per link type, OK keeping the
// record, the Bluetooth list without an adapter, and the communication test against pcrsim, a
// scripted peer and a closed port, with the test's retry rule checked on a stand-in driver.

#include "../registry/registrytest.h"
#include "../instruments/SimHarness.h"

#include "app/messages.h"
#include "probecal/ConnectionTest.h"
#include "instruments/BleCentral.h"
#include "probecal/ThermistorScan.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

// A driver that opens at its n-th attempt (never when 0) and answers the identity query or not.
class StandInDevice : public Device
{
public:
    int opensAt = 0;
    bool identifies = true;
    int openCalls = 0;
    bool closed = false;

    bool OpenLink(const LinkSettings &) override
    {
        ++openCalls;
        openFlag = opensAt > 0 && openCalls >= opensAt;
        return openFlag;
    }
    bool Close() override
    {
        closed = true;
        openFlag = false;
        return true;
    }
    bool IsOpen() override { return openFlag; }
    bool Read(QString &) override { return false; }
    bool Write(const QString &) override { return false; }
    bool GetIdentity(QString &Identity) override
    {
        Identity = QStringLiteral("STAND-IN");
        return identifies;
    }
};

// A central that only searches: it advertises the given names a moment later, or fails at once.
class SearchingCentral : public BleCentral
{
public:
    static QStringList advertised;
    static QString failure;

    void startDiscovery(int) override
    {
        if (!failure.isEmpty()) {
            emit discoveryFailed(failure);
            return;
        }
        QTimer::singleShot(10, this, [this] { emit discoveryFinished(advertised); });
    }
    bool connectToDevice(const QString &) override { return false; }
    void discoverServices() override {}
    void discoverDetails(const QString &) override {}
    int characteristicProperties(const QString &, const QString &) override { return -1; }
    bool enableNotifications(const QString &, const QString &) override { return false; }
    void writeWithoutResponse(const QString &, const QString &, const QByteArray &) override {}
    void disconnectFromDevice() override {}
};
QStringList SearchingCentral::advertised;
QString SearchingCentral::failure;

class Dialog
{
public:
    explicit Dialog(const DeviceRecord &r) : page(std::make_unique<ThermistorScan>(r)) {}
    QLineEdit *edit(const char *name) { return part<QLineEdit>(page.get(), name); }
    QComboBox *combo(const char *name) { return part<QComboBox>(page.get(), name); }
    QPushButton *button(const char *name) { return part<QPushButton>(page.get(), name); }
    QLabel *label(const char *name) { return part<QLabel>(page.get(), name); }

    QStringList items(const char *name)
    {
        QStringList out;
        for (int i = 0; i < combo(name)->count(); ++i)
            out << combo(name)->itemText(i);
        return out;
    }
    void setLink(const QString &mode, const QString &address, const QString &port)
    {
        combo("comboBox_Communication")->setCurrentText(Tool::toDisplayText(mode));
        if (mode == QStringLiteral("网络")) {
            edit("lineEdit_Com")->setText(address);
            edit("lineEdit_BaudRate")->setText(port);
        } else {
            combo("comboBox_Com")->setCurrentText(address);
            combo("comboBox_BaudRate")->setCurrentText(port);
        }
    }
    // Presses "测试" and waits until the test has reported.
    bool scan(MessageRecorder &rec)
    {
        const int boxes = rec.count();
        button("pushButton_Scan")->click();
        if (button("pushButton_Scan")->isEnabled() || button("pushButton_OK")->isEnabled())
            return false;
        if (!QTest::qWaitFor([&] { return rec.count() > boxes; }, 30000))
            return false;
        return rec.count() == boxes + 1 && !page->isTesting() && button("pushButton_Scan")->isEnabled();
    }

    std::unique_ptr<ThermistorScan> page;
};

DeviceRecord device(const QString &name, const QString &mode, const QString &address, const QString &port)
{
    return DeviceRecord{name, mode, address, port};
}

// A collector on loopback that answers the address query and, unless silent, the identity query.
void answerIdentity(ScriptedPeer &peer, bool answer)
{
    peer.answer = [answer](const QByteArray &request) -> QList<QByteArray> {
        if (!answer || !request.toHex().startsWith("010310000005"))
            return {};
        return {ScriptedPeer::frame("01030a" + QByteArray("1611A00007").toHex())};
    };
}

} // namespace

Q_DECLARE_METATYPE(LinkSettings::Kind)
Q_DECLARE_METATYPE(ConnectionTest::Outcome)

class TestThermistorScan : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(enterFreshWorkspace(ws)); }
    void cleanup() { ws.reset(); }

    void linkTypesOfEveryDevice_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("VADE") << "VADE" << QStringList{"串口"};
        QTest::newRow("ZIVI-D") << "ZIVI-D" << QStringList{"串口"};
        QTest::newRow("1611A") << "1611A" << QStringList{"串口", "网络"};
        QTest::newRow("Fluke 1586A") << "Fluke 1586A" << QStringList{"串口", "网络"};
        QTest::newRow("MORVA 1621A") << "MORVA 1621A" << QStringList{"蓝牙"};
    }
    void linkTypesOfEveryDevice()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, offered);
        QCOMPARE(ProbeDevices::linkTypes(name), offered);
        Dialog d(ProbeDevices::defaults(name));
        QCOMPARE(d.items("comboBox_Communication"), offered);
        QCOMPARE(d.label("label_DeviceName")->text(), name);
        QCOMPARE(d.page->record(), ProbeDevices::defaults(name));
    }

    void formFollowsTheLinkType()
    {
        Dialog d(ProbeDevices::defaults("1611A"));
        QWidget *w = d.page.get();
        QCOMPARE(d.label("label_Com")->text(), QStringLiteral("串口号："));
        QCOMPARE(d.label("label_BaudRate")->text(), QStringLiteral("波特率："));
        QVERIFY(d.combo("comboBox_Com")->isVisibleTo(w) && !d.edit("lineEdit_Com")->isVisibleTo(w));
        QCOMPARE(d.items("comboBox_Com"), Tool::serialPortNames());
        QCOMPARE(d.items("comboBox_BaudRate"),
                 QStringList({"4800", "9600", "14400", "19200", "38400", "56000", "57600", "115200"}));
        QCOMPARE(d.combo("comboBox_BaudRate")->currentText(), QStringLiteral("9600"));
        d.combo("comboBox_Communication")->setCurrentText("网络");
        QCOMPARE(d.label("label_Com")->text(), QStringLiteral("IP地址："));
        QCOMPARE(d.label("label_BaudRate")->text(), QStringLiteral("端口号："));
        QVERIFY(!d.combo("comboBox_Com")->isVisibleTo(w) && d.edit("lineEdit_Com")->isVisibleTo(w));
        QCOMPARE(d.edit("lineEdit_Com")->text(), QStringLiteral("192.168.1.1"));
        QCOMPARE(d.edit("lineEdit_BaudRate")->text(), QStringLiteral("5980"));
        d.combo("comboBox_Communication")->setCurrentText("串口");
        QCOMPARE(d.combo("comboBox_BaudRate")->count(), 8);   // lists are not piled up
    }

    void storedRecordIsShown_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port");
        QTest::newRow("network") << "网络" << "10.0.0.7" << "502";
        QTest::newRow("serial port not listed, rate not offered") << "串口" << "/dev/pts/42" << "1200";
    }
    void storedRecordIsShown()
    {
        QFETCH(QString, mode);
        QFETCH(QString, address);
        QFETCH(QString, port);
        const DeviceRecord r = device("1611A", mode, address, port);
        MessageRecorder rec;
        Dialog d(r);
        QCOMPARE(d.combo("comboBox_Communication")->currentText(), mode);
        d.button("pushButton_OK")->click();
        QVERIFY(rec.isEmpty());
        QCOMPARE(d.page->result(), int(QDialog::Accepted));
        QCOMPARE(d.page->record(), r);
    }

    void okKeepsAUsableRecordOnly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("network") << "1611A" << "网络" << " 127.0.0.1 " << "5980" << "";
        QTest::newRow("serial") << "Fluke 1586A" << "串口" << "/dev/ttyUSB3" << "115200" << "";
        QTest::newRow("bluetooth has no port") << "MORVA 1621A" << "蓝牙" << "MORVA-01" << "" << "";
        QTest::newRow("no address") << "1611A" << "网络" << "" << "5980" << "请输入IP地址！";
        QTest::newRow("port out of range") << "1611A" << "网络" << "h" << "70000"
                                           << "端口号“70000”无效，应为1到65535之间的整数！";
        QTest::newRow("no port name") << "VADE" << "串口" << "" << "9600" << "请选择串口号！";
        QTest::newRow("no Bluetooth name") << "MORVA 1621A" << "蓝牙" << "" << "" << "请输入蓝牙设备名称！";
    }
    void okKeepsAUsableRecordOnly()
    {
        QFETCH(QString, name);
        QFETCH(QString, mode);
        QFETCH(QString, address);
        QFETCH(QString, port);
        QFETCH(QString, refusal);
        MessageRecorder rec;
        Dialog d(ProbeDevices::defaults(name));
        d.setLink(mode, address, port);
        d.button("pushButton_OK")->click();
        if (!refusal.isEmpty()) {
            QCOMPARE(rec.texts(), QStringList{refusal});
            QCOMPARE(d.page->record(), ProbeDevices::defaults(name));
            QVERIFY(d.page->result() != QDialog::Accepted);
            return;
        }
        QVERIFY(rec.isEmpty());
        QCOMPARE(d.page->record(), device(name, mode, address.trimmed(), port));
    }

    // Without an adapter (or a Bluetooth service) the search ends at once and says so; the stored
    // name stays selectable.
    void bluetoothListWithoutAnAdapter()
    {
        Dialog d(device("MORVA 1621A", "蓝牙", "MORVA-7", ""));
        QCOMPARE(d.label("label_Com")->text(), QStringLiteral("设备名："));
        QVERIFY(!d.combo("comboBox_BaudRate")->isVisibleTo(d.page.get()));
        QVERIFY(QTest::qWaitFor([&] { return !d.page->isSearching(); }, 5000));
        const QString status = d.label("label_Status")->text();
        QVERIFY2(status.contains("蓝牙"), qPrintable(status));
        QCOMPARE(d.combo("comboBox_Com")->currentText(), QStringLiteral("MORVA-7"));
        if (status.startsWith(QStringLiteral("本机没有可用的蓝牙适配器")))
            QCOMPARE(d.items("comboBox_Com"), QStringList{"MORVA-7"});
    }

    void bluetoothListOfTheSearch_data()
    {
        QTest::addColumn<QStringList>("advertised");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("status");
        QTest::newRow("found") << QStringList{"MORVA-2", "", "MORVA-7", "MORVA-2"} << "" << QStringList{"MORVA-7", "MORVA-2"}
                               << "找到2个蓝牙低功耗设备。";
        QTest::newRow("none") << QStringList() << "" << QStringList{"MORVA-7"} << "没有找到蓝牙低功耗设备。";
        QTest::newRow("no adapter") << QStringList() << "InputOutputError: Not connected to D-Bus server"
                                    << QStringList{"MORVA-7"}
                                    << "本机没有可用的蓝牙适配器，无法搜索蓝牙设备；可直接输入设备名。";
        QTest::newRow("adapter off") << QStringList() << "PoweredOffError: off" << QStringList{"MORVA-7"}
                                     << "蓝牙适配器已关闭，无法搜索蓝牙设备；可直接输入设备名。";
    }
    void bluetoothListOfTheSearch()
    {
        QFETCH(QStringList, advertised);
        QFETCH(QString, failure);
        QFETCH(QStringList, listed);
        QFETCH(QString, status);
        const auto real = BleDiscovery::makeCentral;
        BleDiscovery::makeCentral = [] { return new SearchingCentral; };
        SearchingCentral::advertised = advertised;
        SearchingCentral::failure = failure;
        Dialog d(device("MORVA 1621A", "蓝牙", "MORVA-7", ""));
        BleDiscovery::makeCentral = real;
        QVERIFY(QTest::qWaitFor([&] { return !d.page->isSearching(); }, 5000));
        QCOMPARE(d.items("comboBox_Com"), listed);
        QCOMPARE(d.combo("comboBox_Com")->currentText(), QStringLiteral("MORVA-7"));
        QCOMPARE(d.label("label_Status")->text(), status);
    }

    void retryRule_data()
    {
        QTest::addColumn<LinkSettings::Kind>("kind");
        QTest::addColumn<int>("opensAt");
        QTest::addColumn<bool>("identifies");
        QTest::addColumn<ConnectionTest::Outcome>("outcome");
        QTest::addColumn<int>("calls");
        using O = ConnectionTest::Outcome;
        QTest::newRow("network once") << LinkSettings::Network << 0 << true << O::NotConnected << 1;
        QTest::newRow("serial once") << LinkSettings::Serial << 0 << true << O::NotConnected << 1;
        QTest::newRow("Bluetooth 11 times") << LinkSettings::Bluetooth << 0 << true << O::NotConnected << 11;
        QTest::newRow("Bluetooth third time") << LinkSettings::Bluetooth << 3 << true << O::Identified << 3;
        QTest::newRow("no identity") << LinkSettings::Network << 1 << false << O::NoIdentity << 1;
    }
    void retryRule()
    {
        QFETCH(LinkSettings::Kind, kind);
        QFETCH(int, opensAt);
        QFETCH(bool, identifies);
        QFETCH(ConnectionTest::Outcome, outcome);
        QFETCH(int, calls);
        StandInDevice driver;
        driver.opensAt = opensAt;
        driver.identifies = identifies;
        LinkSettings link;
        link.kind = kind;
        StopWait stop;
        const ConnectionTest::Result r = ConnectionTest::run(driver, link, stop, 1);
        QCOMPARE(int(r.outcome), int(outcome));
        QCOMPARE(r.openCalls, calls);
        QCOMPARE(driver.openCalls, calls);
        QCOMPARE(driver.closed, opensAt > 0);
        QCOMPARE(r.identity, outcome == ConnectionTest::Outcome::Identified ? QStringLiteral("STAND-IN") : QString());
    }

    void aStopEndsTheBluetoothPauses()
    {
        StandInDevice driver;
        LinkSettings link;
        link.kind = LinkSettings::Bluetooth;
        StopWait stop;
        std::thread stopper([&] { stop.stop(); });
        stopper.join();
        // The full pause would be minutes: the stop ends it.
        const ConnectionTest::Result r = ConnectionTest::run(driver, link, stop, 10 * 60 * 1000);
        QCOMPARE(int(r.outcome), int(ConnectionTest::Outcome::Stopped));
        QCOMPARE(r.openCalls, 1);
    }

    void communicationTest_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("against");   // what pcrsim serves, or "closed", or "peer"
        QTest::addColumn<QString>("text");
        QTest::newRow("collector over TCP") << "1611A" << "--collector-tcp" << "测试成功！";
        QTest::newRow("collector over a pty") << "1611A" << "--collector-pty" << "测试成功！";
        QTest::newRow("reference over TCP") << "Fluke 1586A" << "--scpi-tcp" << "测试成功！";
        QTest::newRow("reference over a pty") << "Fluke 1586A" << "--scpi-pty" << "测试成功！";
        QTest::newRow("bath VADE") << "VADE" << "--bath-pty" << "测试成功！";
        QTest::newRow("bath ZIVI-D") << "ZIVI-D" << "--bath-pty" << "测试成功！";
        QTest::newRow("collector, closed port") << "1611A" << "closed" << "设备连接失败！";
        QTest::newRow("reference, closed port") << "Fluke 1586A" << "closed" << "设备连接失败！";
        QTest::newRow("collector without identity") << "1611A" << "peer" << "获取序列号失败！";
    }
    void communicationTest()
    {
        QFETCH(QString, name);
        QFETCH(QString, against);
        QFETCH(QString, text);
        PcrSim sim;
        ScriptedPeer peer;
        answerIdentity(peer, false);
        DeviceRecord r = device(name, "网络", "127.0.0.1", closedPort());
        if (against.startsWith("--")) {
            QVERIFY(sim.start(against.endsWith("tcp") ? QStringList{against, "0"} : QStringList{against}));
            const QString tcp = against == "--collector-tcp" ? sim.tcpPort : sim.scpiTcpPort;
            const QString pty = against == "--collector-pty" ? sim.ptyPath
                                : against == "--scpi-pty"    ? sim.scpiPtyPath
                                                             : sim.bathPtyPath;
            r = against.endsWith("tcp") ? device(name, "网络", "127.0.0.1", tcp) : device(name, "串口", pty, "9600");
        } else if (against == "peer") {
            r.port = peer.port();
        }
        MessageRecorder rec;
        Dialog d(ProbeDevices::defaults(name));
        d.setLink(r.mode, r.address, r.port);
        QVERIFY(d.scan(rec));
        QCOMPARE(rec.last().title, text == QStringLiteral("测试成功！") ? QStringLiteral("提示") : QStringLiteral("警告"));
        QCOMPARE(rec.last().text, text);
        // The test keeps the form as OK would; a second test opens the closed driver again.
        QCOMPARE(d.page->record(), r);
        QVERIFY(d.scan(rec));
        QCOMPARE(rec.last().text, text);
    }

    void aNameWithoutDriverSaysSo()
    {
        MessageRecorder rec;
        Dialog d(device("XY-9", "串口", "/dev/ttyS0", "9600"));
        d.button("pushButton_Scan")->click();
        QCOMPARE(rec.texts(), QStringList{"本版本还不能与XY-9通讯，无法测试。"});
        QVERIFY(d.button("pushButton_Scan")->isEnabled());
    }

    // Closing while a test runs waits for it (without blocking the window) and shows no result.
    void closingDuringATest()
    {
        ScriptedPeer peer;
        answerIdentity(peer, true);
        peer.delayFor = [](const QByteArray &) { return 200; };
        MessageRecorder rec;
        Dialog d(device("1611A", "网络", "127.0.0.1", peer.port()));
        QSignalSpy finished(d.page.get(), &QDialog::finished);
        d.button("pushButton_Scan")->click();
        QVERIFY(d.page->isTesting());
        d.page->reject();
        QCOMPARE(finished.count(), 0);
        QVERIFY(finished.wait(10000));
        QCOMPARE(d.page->result(), int(QDialog::Rejected));
        QVERIFY(!d.page->isTesting());
        QTest::qWait(50);   // a result still queued would be shown now
        QVERIFY2(rec.isEmpty(), qPrintable(rec.texts().join('|')));
    }

    void recordsInTheSettingsFile_data()
    {
        QTest::addColumn<QString>("stored");   // name|mode|address|port, or empty for none
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << "" << "1611A" << "1611A|串口||9600";
        QTest::newRow("its own") << "1611A|网络|10.1.1.1|502" << "1611A" << "1611A|网络|10.1.1.1|502";
        QTest::newRow("another device's") << "VADE|串口|ttyS1|9600" << "1611A" << "1611A|串口||9600";
        QTest::newRow("a link it does not offer") << "1611A|蓝牙|x|" << "1611A" << "1611A|串口||9600";
        QTest::newRow("Bluetooth default") << "" << "MORVA 1621A" << "MORVA 1621A|蓝牙||";
        QTest::newRow("unknown device") << "" << "unknown" << "unknown|||";
    }
    void recordsInTheSettingsFile()
    {
        QFETCH(QString, stored);
        QFETCH(QString, device);
        QFETCH(QString, expected);
        const auto ini = Tool::configFile();
        if (!stored.isEmpty()) {
            const QStringList f = stored.split('|');
            ProbeDevices::writeRecord(*ini, "TCollection", DeviceRecord{f[0], f[1], f[2], f[3]});
        }
        const DeviceRecord r = ProbeDevices::readRecord(*ini, "TCollection", device);
        QCOMPARE(QStringList({r.name, r.mode, r.address, r.port}).join('|'), expected);
    }

private:
    std::unique_ptr<Workspace> ws;
};

PCR_TEST_CLASS(TestThermistorScan)
#include "tst_thermistorscan.moc"
