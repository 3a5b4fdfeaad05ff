// The 1586A SCPI thermometer driver: every channel set-up byte for byte against a scripted
// peer, identity and readings as the peer answers them, and the whole driver against pcrsim over
// a pseudo-terminal and loopback TCP, its probe in a bath at 37 °C. Driver calls run in a worker
// thread while this (GUI) thread runs its event loop, as the pages do.

#include "LinePeer.h"
#include "ScpiCases.h"
#include "SimHarness.h"
#include "instruments/Criteria1586A.h"
#include "instruments/FieldTank.h"

#include <QtTest>
#include <cmath>
#include <memory>

namespace {

ChannelSetting referenceSetting(const QString &unit = QStringLiteral("℃"))
{
    // A 4-wire ITS-90 reference probe on channel 101, as probe calibration configures it.
    return ChannelSetting::fromList({"101", "铂电阻", "ITS90", "四线制", unit, "", "", "-1.2e-4", "2.5e-5", "0", "0", "25.5", "0", "0", "1", "0"});
}

} // namespace

class TestCriteria1586A : public QObject
{
    Q_OBJECT

private slots:
    // All channel set-ups on one connection: each SetChannel sends *RST, RATE FAST and exactly
    // the lines of its case, and nothing else.
    void channelSetupsByteForByte()
    {
        LinePeer peer(LinePeer::Tcp);
        Criteria1586A driver;
        const QList<ScpiCase> cases = scpiCases();
        struct Result
        {
            bool opened = false;
            QList<bool> configured;
            QList<QByteArray> sent;
        } r = inWorker([&] {
            Result res;
            res.opened = driver.Open(peer.mode(), peer.address(), peer.port());
            for (const ScpiCase &c : cases) {
                const int before = peer.received.size();
                res.configured << driver.SetChannel(c.setting);
                // The last line has been written; let it arrive.
                QThread::msleep(50);
                res.sent << peer.received.mid(before);
            }
            driver.Close();
            return res;
        });
        QVERIFY(r.opened);
        for (int i = 0; i < cases.size(); ++i) {
            QVERIFY2(r.configured.at(i), cases.at(i).name);
            const QByteArray expected = "*RST\r\nRATE FAST\r\n" + cases.at(i).lines.join(QString()).toUtf8();
            if (r.sent.at(i) != expected)
                QFAIL(qPrintable(QString("%1:\nsent     %2\nexpected %3")
                                     .arg(cases.at(i).name, QString::fromUtf8(r.sent.at(i)), QString::fromUtf8(expected))));
        }
    }

    // What the identity query and READ? make of the peer's answers (a list of raw pieces).
    void replies_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<QByteArray>>("answer");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("result");
        using L = QList<QByteArray>;
        QTest::newRow("identity") << "*IDN?" << L{"FLUKE,1586A,1234567,1.20\r\n"} << true << "FLUKE,1586A,1234567,1.20";
        QTest::newRow("identity without the marker") << "*IDN?" << L{"HART,1560,77,2.0\r\n"} << false << "HART,1560,77,2.0";
        QTest::newRow("identity: the marker is case-sensitive") << "*IDN?" << L{"Fluke,1586A,1,1\r\n"} << false << "Fluke,1586A,1,1";
        QTest::newRow("identity in pieces") << "*IDN?" << L{"FLU", "KE,158", "6A,1,1\n"} << true << "FLUKE,1586A,1,1";
        QTest::newRow("one value") << "READ?" << L{"+3.70012345E+01\r\n"} << true << "37.0012345";
        QTest::newRow("one value in pieces") << "READ?" << L{"+3.700", "12345E+01\r", "\n"} << true << "37.0012345";
        QTest::newRow("two values") << "READ?" << L{"+3.7E+01,+3.8E+01\r\n"} << false << "";
        QTest::newRow("garbage") << "READ?" << L{"+3.70#12345E+01\r\n"} << false << "";
        QTest::newRow("an empty line") << "READ?" << L{"\r\n"} << false << "";
        QTest::newRow("after two seconds") << "READ? slow" << L{"+2.5E+01\r\n"} << true << "25";
    }
    void replies()
    {
        QFETCH(QString, query);
        QFETCH(QList<QByteArray>, answer);
        QFETCH(bool, ok);
        QFETCH(QString, result);
        LinePeer peer(LinePeer::Tcp);
        const bool slow = query.endsWith(" slow");
        peer.delayMs = slow ? 2000 : 0;
        peer.answer = [&](const QByteArray &line) { return line == query.section(' ', 0, 0).toLatin1() ? answer : QList<QByteArray>(); };
        Criteria1586A driver;
        struct Result
        {
            bool ok = false;
            QString text;
        } r = inWorker([&] {
            Result res;
            if (!driver.Open(peer.mode(), peer.address(), peer.port()))
                return res;
            if (query == "*IDN?") {
                res.ok = driver.GetIdentity(res.text);
            } else {
                double v = -999;
                res.ok = driver.ReadValue(v);
                res.text = res.ok ? QString::number(v, 'g', 12) : QString();
            }
            driver.Close();
            return res;
        });
        QCOMPARE(r.ok, ok);
        QCOMPARE(r.text, result);
        // An unusable reading is asked for again as the retry policy says; nothing else repeats.
        QCOMPARE(peer.lines.size(), !ok && query.startsWith("READ?") ? Retry::ScpiReading.attempts : 1);
    }

    // A reading that arrives after its READ? gave up is not the answer to the next READ?.
    void lateReadingIsNotTheNextAnswer()
    {
        LinePeer peer(LinePeer::Tcp);
        peer.answer = [](const QByteArray &) { return QList<QByteArray>{"+3.7E+01\r\n"}; };
        Criteria1586A driver;
        struct Result
        {
            bool opened = false, second = false;
            double value = 0;
        } r = inWorker([&] {
            Result res;
            res.opened = driver.Open(peer.mode(), peer.address(), peer.port());
            // A stale line queued as if from an earlier, abandoned READ?.
            QMetaObject::invokeMethod(&peer, [&] { peer.send("+1.0E+01\r\n"); }, Qt::BlockingQueuedConnection);
            QThread::msleep(100);
            res.second = driver.ReadValue(res.value);
            driver.Close();
            return res;
        });
        QVERIFY(r.opened);
        QVERIFY(r.second);
        QCOMPARE(r.value, 37.0);
    }

    void closedDriverRefusesEverything()
    {
        Criteria1586A driver;
        QCOMPARE(driver.GetModes(), QStringList({"串口", "网络"}));
        QCOMPARE(driver.speeds, QStringList({"快速", "中速", "慢速"}));
        const QList<bool> r = inWorker([&] {
            QString s;
            double v = 0;
            return QList<bool>{driver.Write("*RST\r\n"), driver.Read(s), driver.GetIdentity(s), driver.ReadValue(v),
                               driver.SetChannel(referenceSetting()), driver.Close(), driver.Open("蓝牙", "X", "1")};
        });
        QCOMPARE(r, QList<bool>({false, false, false, false, false, false, false}));
    }

    // The driver against pcrsim, over both transports: the identity, and the reference read in a
    // bath that settles at 37 °C, in °C and in °F.
    void againstTheSimulator_data()
    {
        QTest::addColumn<bool>("tcp");
        QTest::newRow("pty") << false;
        QTest::newRow("tcp") << true;
    }
    void againstTheSimulator()
    {
        QFETCH(bool, tcp);
        PcrSim sim;
        QVERIFY(sim.start({"--scpi-tcp", "0", "--scpi-pty", "--bath-pty", "--seed", "9", "--time-scale", "500"}));
        Criteria1586A reference;
        FieldTank bath;
        struct Result
        {
            bool opened = false, identified = false, bathSet = false, configured = false, read = false, bathRead = false, inF = false;
            QString identity;
            double value = 0, bathValue = 0, fahrenheit = 0;
        } r = inWorker([&] {
            Result res;
            res.opened = tcp ? reference.Open("网络", "127.0.0.1", sim.scpiTcpPort) : reference.Open("串口", sim.scpiPtyPath, "9600");
            res.identified = reference.GetIdentity(res.identity);
            res.bathSet = bath.Open("串口", sim.bathPtyPath, "9600") && bath.Initialize() && bath.SetTemperature(37);
            QThread::msleep(5000);  // 2500 s of bath time: settled
            res.configured = reference.SetChannel(referenceSetting());
            res.read = reference.ReadValue(res.value);
            res.bathRead = bath.ReadTemperature(res.bathValue);
            res.inF = reference.SetChannel(referenceSetting("℉")) && reference.ReadValue(res.fahrenheit);
            bath.Close();
            reference.Close();
            return res;
        });
        QVERIFY(r.opened);
        QVERIFY(r.identified);
        QVERIFY2(r.identity.startsWith("FLUKE,1586A,"), qPrintable(r.identity));
        QVERIFY(r.bathSet);
        QVERIFY(r.configured);
        QVERIFY(r.read);
        // The bath holds within a few millikelvin; the reference reads it within a millikelvin or two.
        QVERIFY2(std::fabs(r.value - 37) < 0.004, qPrintable(QString::number(r.value, 'f', 6)));
        QVERIFY(r.bathRead);
        QVERIFY2(std::fabs(r.bathValue - r.value) < 0.003, qPrintable(QString("%1 %2").arg(r.bathValue).arg(r.value)));
        QVERIFY(r.inF);
        QVERIFY(std::fabs((r.fahrenheit - 32) * 5 / 9 - 37) < 0.004);
    }

    // Faults of the line, each reply at risk: every reading is taken, and right. A lost, garbled
    // or noisy reply costs one more READ?, never the reading and never a wrong temperature.
    void faultsCostARetryNotTheReading_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("fault");
        QTest::newRow("dropped") << QStringList{"--drop", "0.25"} << "drop";
        QTest::newRow("garbled") << QStringList{"--corrupt", "0.25"} << "corrupt";
        QTest::newRow("noise") << QStringList{"--noise", "0.25"} << "noise";
        QTest::newRow("single bytes") << QStringList{"--chunk", "1"} << "";
        QTest::newRow("delayed") << QStringList{"--delay", "1500"} << "";
    }
    void faultsCostARetryNotTheReading()
    {
        QFETCH(QStringList, faults);
        QFETCH(QString, fault);
        PcrSim sim;
        QVERIFY(sim.start(QStringList{"--scpi-pty", "--seed", "4"} + faults));
        Criteria1586A reference;
        struct Result
        {
            bool configured = false;
            int good = 0, wrong = 0, reads = 10;
        } r = inWorker([&] {
            Result res;
            res.configured = reference.Open("串口", sim.scpiPtyPath, "115200") && reference.SetChannel(referenceSetting());
            for (int i = 0; i < res.reads && res.configured; ++i) {
                double v = 0;
                if (!reference.ReadValue(v))
                    continue;
                ++res.good;
                // Without a bath the reference sits in one held at 25 °C.
                res.wrong += std::fabs(v - 25) < 0.004 ? 0 : 1;
            }
            reference.Close();
            return res;
        });
        QVERIFY(r.configured);
        QCOMPARE(r.wrong, 0);
        QCOMPARE(r.good, r.reads);
        const int faulted = sim.count("scpi fault " + fault);
        QVERIFY(fault.isEmpty() || faulted > 0);
        QCOMPARE(sim.count("scpi request READ?"), r.reads + faulted);   // one more request per spoilt reply
    }
};

QTEST_MAIN(TestCriteria1586A)
#include "tst_criteria1586a.moc"
