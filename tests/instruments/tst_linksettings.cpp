// Link settings read from the stored texts, and the serial port listing.

#include "instruments/LinkSettings.h"
#include "store/tool.h"

#include <QtTest>
#include <algorithm>

class TestLinkSettings : public QObject
{
    Q_OBJECT

private slots:
    void fromStoredTexts_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("problem");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expectedAddress");
        QTest::addColumn<int>("tcpPort");
        QTest::addColumn<int>("baudRate");
        QTest::addColumn<QString>("inMessage");  // part of the problem's message

        const int ok = LinkSettings::NoProblem;
        const int serial = LinkSettings::Serial, network = LinkSettings::Network, ble = LinkSettings::Bluetooth;
        QTest::newRow("network") << "网络" << "192.168.1.1" << "5980" << ok << network << "192.168.1.1" << 5980 << 0 << "";
        QTest::newRow("host name") << "网络" << "localhost" << "1" << ok << network << "localhost" << 1 << 0 << "";
        QTest::newRow("highest port") << "网络" << "10.0.0.2" << "65535" << ok << network << "10.0.0.2" << 65535 << 0 << "";
        QTest::newRow("serial") << "串口" << "/dev/ttyUSB0" << "9600" << ok << serial << "/dev/ttyUSB0" << 0 << 9600 << "";
        QTest::newRow("pseudo-terminal") << "串口" << "/dev/pts/7" << "115200" << ok << serial << "/dev/pts/7" << 0 << 115200 << "";
        QTest::newRow("blanks around") << " 串口 " << " ttyS0\t" << " 19200 " << ok << serial << "ttyS0" << 0 << 19200 << "";
        QTest::newRow("bluetooth, number ignored") << "蓝牙" << "1621A-0042" << "abc" << ok << ble << "1621A-0042" << 0 << 0 << "";
        QTest::newRow("bluetooth, no number") << "蓝牙" << "1621A-0042" << "" << ok << ble << "1621A-0042" << 0 << 0 << "";

        const int unknown = LinkSettings::UnknownMode, noAddress = LinkSettings::NoAddress;
        const int badPort = LinkSettings::BadPort, badBaud = LinkSettings::BadBaudRate;
        QTest::newRow("display word, not the stored one") << "Serial" << "ttyS0" << "9600" << unknown << network << "ttyS0" << 0 << 0 << "Serial";
        QTest::newRow("empty mode") << "" << "ttyS0" << "9600" << unknown << network << "ttyS0" << 0 << 0 << "";
        QTest::newRow("network without address") << "网络" << "  " << "5980" << noAddress << network << "" << 5980 << 0 << "IP";
        QTest::newRow("serial without port name") << "串口" << "" << "9600" << noAddress << serial << "" << 0 << 9600 << "串口";
        QTest::newRow("bluetooth without name") << "蓝牙" << "" << "" << noAddress << ble << "" << 0 << 0 << "蓝牙";
        QTest::newRow("port not a number") << "网络" << "127.0.0.1" << "not a number" << badPort << network << "127.0.0.1" << 0 << 0 << "not a number";
        QTest::newRow("port 0") << "网络" << "127.0.0.1" << "0" << badPort << network << "127.0.0.1" << 0 << 0 << "“0”";
        QTest::newRow("port too high") << "网络" << "127.0.0.1" << "65536" << badPort << network << "127.0.0.1" << 0 << 0 << "65536";
        QTest::newRow("negative port") << "网络" << "127.0.0.1" << "-80" << badPort << network << "127.0.0.1" << 0 << 0 << "-80";
        QTest::newRow("port with decimals") << "网络" << "127.0.0.1" << "5980.5" << badPort << network << "127.0.0.1" << 0 << 0 << "5980.5";
        QTest::newRow("hexadecimal port") << "网络" << "127.0.0.1" << "0x50" << badPort << network << "127.0.0.1" << 0 << 0 << "0x50";
        QTest::newRow("empty port") << "网络" << "127.0.0.1" << "" << badPort << network << "127.0.0.1" << 0 << 0 << "1";
        QTest::newRow("baud rate 0") << "串口" << "ttyS0" << "0" << badBaud << serial << "ttyS0" << 0 << 0 << "“0”";
        QTest::newRow("baud rate a word") << "串口" << "ttyS0" << "fast" << badBaud << serial << "ttyS0" << 0 << 0 << "fast";
        QTest::newRow("no baud rate") << "串口" << "ttyS0" << "" << badBaud << serial << "ttyS0" << 0 << 0 << "“”";
        // Of two faults the address is reported: the user fills it in first.
        QTest::newRow("no address, bad port") << "网络" << "" << "x" << noAddress << network << "" << 0 << 0 << "IP";
    }
    void fromStoredTexts()
    {
        QFETCH(QString, mode);
        QFETCH(QString, address);
        QFETCH(QString, port);
        QFETCH(int, problem);
        QFETCH(int, kind);
        QFETCH(QString, expectedAddress);
        QFETCH(int, tcpPort);
        QFETCH(int, baudRate);
        QFETCH(QString, inMessage);

        const LinkSettings s = LinkSettings::fromStored(mode, address, port);
        QCOMPARE(int(s.problem), problem);
        QCOMPARE(s.isValid(), problem == LinkSettings::NoProblem);
        if (problem == LinkSettings::NoProblem) {
            QVERIFY(s.problemText().isEmpty());
        } else {
            QVERIFY2(s.problemText().contains(inMessage), qPrintable(s.problemText()));
            QVERIFY(s.problemText().endsWith(QStringLiteral("！")));
        }
        if (problem == LinkSettings::UnknownMode)
            return;
        QCOMPARE(int(s.kind), kind);
        QCOMPARE(s.address, expectedAddress);
        QCOMPARE(s.port, tcpPort);
        QCOMPARE(s.baudRate, baudRate);
    }

    // The texts a usable link gives back read as the same link (the driver's open signal
    // carries them to its driver thread).
    void storedTextsRoundTrip_data()
    {
        QTest::addColumn<LinkSettings>("link");
        QTest::newRow("network") << LinkSettings::network("127.0.0.1", 5980);
        QTest::newRow("serial") << LinkSettings::serial("/dev/pts/3", 115200);
        QTest::newRow("bluetooth") << LinkSettings::fromStored("蓝牙", "1621A", "0");
    }
    void storedTextsRoundTrip()
    {
        QFETCH(LinkSettings, link);
        QVERIFY(link.isValid());
        QCOMPARE(LinkSettings::fromStored(link.modeText(), link.address, link.portText()), link);
        QVERIFY(link.describe().startsWith(link.modeText() + ' ' + link.address));
    }

    void modeWordsAreTheStoredOnes()
    {
        QCOMPARE(LinkSettings::modeText(LinkSettings::Serial), QStringLiteral("串口"));
        QCOMPARE(LinkSettings::modeText(LinkSettings::Network), QStringLiteral("网络"));
        QCOMPARE(LinkSettings::modeText(LinkSettings::Bluetooth), QStringLiteral("蓝牙"));
        QVERIFY(!LinkSettings::serial("ttyS0", 0).isValid());
        QVERIFY(!LinkSettings::network("host", 70000).isValid());
    }

    void serialPortNamesAreSorted()
    {
        const QStringList names = Tool::serialPortNames();
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(names, sorted);
    }
};

QTEST_GUILESS_MAIN(TestLinkSettings)
#include "tst_linksettings.moc"
