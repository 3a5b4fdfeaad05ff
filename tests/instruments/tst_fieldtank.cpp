// The bath driver and the bath-backed reference against a scripted bath on a pseudo-terminal:
// reply parsing, attempts, set-point rounds, coefficient confirmations, a bath that never
// answers. Driver calls run in a worker thread while this (GUI) thread runs its event loop.

#include "LinePeer.h"
#include "SimHarness.h"
#include "instruments/Criteria.h"
#include "instruments/FieldTank.h"

#include <QtTest>
#include <ctime>
#include <memory>

namespace {

using Answers = QList<QList<QByteArray>>;  // per request of one kind: the raw pieces (none: silent)

ChannelSetting its90(const QString &function = "铂电阻", const QString &conversion = "ITS90")
{
    return ChannelSetting::fromList({"CH001", function, conversion, "四线制", "℃", "", "", "-1.2345678e-4", "2.5e-5", "0", "0", "25.54321",
                                     "-3.1e-5", "1.25e-6", "1", "0"});
}

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// A scripted bath: the n-th request whose line is `line` gets answers[n] (the last one once
// they run out); every other line is answered "err".
struct ScriptedBath
{
    LinePeer peer{LinePeer::Pty};
    QHash<QByteArray, Answers> script;
    QHash<QByteArray, int> asked;

    QStringList sentLines() const
    {
        QStringList sent;
        for (const QByteArray &l : peer.lines)
            sent << QString::fromLatin1(l);
        return sent;
    }

    ScriptedBath()
    {
        peer.answer = [this](const QByteArray &line) -> QList<QByteArray> {
            const QByteArray key = line.contains('=') ? line.left(line.indexOf('=') + 1) : line;
            if (!script.contains(key))
                return {"err\r\n"};
            const Answers &a = script.value(key);
            const int n = asked[key]++;
            return a.isEmpty() ? QList<QByteArray>() : a.value(std::min(n, int(a.size()) - 1));
        };
    }
};

} // namespace

class TestFieldTank : public QObject
{
    Q_OBJECT

private slots:
    // The temperature query as the bath answers it, attempt by attempt.
    void readTemperature_data()
    {
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("attempts");
        QTest::newRow("r: 25.003 C") << Answers{{"r: 25.003 C\r\n"}} << true << 25.003 << 1;
        QTest::newRow("in pieces") << Answers{{"r: 2", "5.00", "3 C\r\n"}} << true << 25.003 << 1;
        QTest::newRow("two bursts, joined") << Answers{{"r: 25.0\r\n", "03 C\r\n"}} << true << 25.003 << 1;
        QTest::newRow("other key, then the temperature") << Answers{{"t: 25.1 C\r\n"}, {"r: 25.003 C\r\n"}} << true << 25.003 << 2;
        QTest::newRow("garbled twice") << Answers{{"r: 25.0#3 C\r\n"}, {"r: #5.003 C\r\n"}, {"r: -5.5 C\r\n"}} << true << -5.5 << 3;
        QTest::newRow("garbled three times") << Answers{{"r: 25.0#3 C\r\n"}} << false << 0.0 << 3;
        QTest::newRow("never the key") << Answers{{"set: 25.00 C\r\n"}} << false << 0.0 << 3;
    }
    void readTemperature()
    {
        QFETCH(Answers, answers);
        QFETCH(bool, ok);
        QFETCH(double, value);
        QFETCH(int, attempts);
        ScriptedBath scripted;
        scripted.script.insert("r", answers);
        FieldTank bath;
        const QPair<bool, double> r = inWorker([&] {
            double v = -999;
            const bool got = bath.Open("串口", scripted.peer.address(), "9600") && bath.ReadTemperature(v);
            bath.Close();
            return qMakePair(got, v);
        });
        QCOMPARE(r.first, ok);
        if (ok)
            QCOMPARE(r.second, value);
        QCOMPARE(scripted.peer.count("r"), attempts);
        QCOMPARE(scripted.peer.received, QByteArray("r\r\n").repeated(attempts));
    }

    void identity_data()
    {
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("identity");
        QTest::addColumn<int>("attempts");
        QTest::newRow("serial number") << Answers{{"sn: ZV000123\r\n"}} << true << "ZV000123" << 1;
        QTest::newRow("on the second attempt") << Answers{{"s: 1\r\n"}, {"sn:B-7:2\r\n"}} << true << "B-7:2" << 2;
        QTest::newRow("three wrong answers") << Answers{{"err\r\n"}} << false << "" << 3;
    }
    void identity()
    {
        QFETCH(Answers, answers);
        QFETCH(bool, ok);
        QFETCH(QString, identity);
        QFETCH(int, attempts);
        ScriptedBath scripted;
        scripted.script.insert("sn", answers);
        FieldTank bath;
        const QPair<bool, QString> r = inWorker([&] {
            QString id;
            // Any mode text: the bath is on a serial port.
            const bool got = bath.Open("网络", scripted.peer.address(), "9600") && bath.GetIdentity(id);
            bath.Close();
            return qMakePair(got, id);
        });
        QCOMPARE(r.first, ok);
        QCOMPARE(r.second, identity);
        QCOMPARE(scripted.peer.count("sn"), attempts);
    }

    // Set points: sent with two decimals, confirmed by the read-back shown as sent; up to three
    // queries per round and three rounds.
    void setPoint_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<Answers>("readBacks");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("37 confirmed") << 37.0 << Answers{{"set: 37.00 C\r\n"}} << true << QStringList{"s=37.00", "s"};
        QTest::newRow("36.999 goes out as 37.00 and is confirmed") << 36.999 << Answers{{"set: 37.00 C\r\n"}} << true
                                                                   << QStringList{"s=37.00", "s"};
        QTest::newRow("below zero") << -19.5 << Answers{{"set: -19.50 C\r\n"}} << true << QStringList{"s=-19.50", "s"};
        QTest::newRow("36.99 three times, then 37.00: sent again")
            << 37.0 << Answers{{"set: 36.99 C\r\n"}, {"set: 36.99 C\r\n"}, {"set: 36.99 C\r\n"}, {"set: 37.00 C\r\n"}} << true
            << QStringList{"s=37.00", "s", "s", "s", "s=37.00", "s"};
        QTest::newRow("other key and garbage count as queries")
            << 37.0 << Answers{{"s: 37.00\r\n"}, {"set: 3#.00 C\r\n"}, {"set: 37.00 C\r\n"}} << true
            << QStringList{"s=37.00", "s", "s", "s"};
        QTest::newRow("never confirmed: three rounds")
            << 37.0 << Answers{{"set: 25.00 C\r\n"}} << false
            << QStringList{"s=37.00", "s", "s", "s", "s=37.00", "s", "s", "s", "s=37.00", "s", "s", "s"};
    }
    void setPoint()
    {
        QFETCH(double, value);
        QFETCH(Answers, readBacks);
        QFETCH(bool, ok);
        QFETCH(QStringList, lines);
        ScriptedBath scripted;
        scripted.script.insert("s", readBacks);
        // The bath acknowledges the setting itself; that is no read-back.
        scripted.script.insert("s=", Answers{{"s: ok\r\n"}});
        FieldTank bath;
        const bool r = inWorker([&] {
            const bool set = bath.Open("串口", scripted.peer.address(), "9600") && bath.SetTemperature(value);
            bath.Close();
            return set;
        });
        QCOMPARE(r, ok);
        QCOMPARE(scripted.sentLines(), lines);
    }

    // The six coefficient commands, each until it is confirmed, three attempts at most.
    void coefficients_data()
    {
        QTest::addColumn<ChannelSetting>("setting");
        QTest::addColumn<QByteArray>("refused");  // the key whose first confirmations fail
        QTest::addColumn<int>("refusals");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("lines");
        const QStringList all{"Rtp=25.5432", "A=-0.000123457", "B=2.5e-05", "C=0", "A4=-3.1e-05", "B4=1.25e-06"};
        QTest::newRow("six confirmations") << its90() << QByteArray() << 0 << true << all;
        QTest::newRow("B confirmed on its third attempt")
            << its90() << QByteArray("B=") << 2 << true
            << QStringList{"Rtp=25.5432", "A=-0.000123457", "B=2.5e-05", "B=2.5e-05", "B=2.5e-05", "C=0", "A4=-3.1e-05", "B4=1.25e-06"};
        QTest::newRow("B never confirmed: stops there")
            << its90() << QByteArray("B=") << 3 << false << QStringList{"Rtp=25.5432", "A=-0.000123457", "B=2.5e-05", "B=2.5e-05", "B=2.5e-05"};
        QTest::newRow("PT385: nothing sent") << its90("铂电阻", "PT385") << QByteArray() << 0 << false << QStringList{};
        QTest::newRow("not a platinum probe: nothing sent") << its90("热敏电阻") << QByteArray() << 0 << false << QStringList{};
    }
    void coefficients()
    {
        QFETCH(ChannelSetting, setting);
        QFETCH(QByteArray, refused);
        QFETCH(int, refusals);
        QFETCH(bool, ok);
        QFETCH(QStringList, lines);
        ScriptedBath scripted;
        for (const char *key : {"Rtp", "A", "B", "C", "A4", "B4"}) {
            const QByteArray command = QByteArray(key) + "=";
            Answers a;
            for (int i = 0; i < (command == refused ? refusals : 0); ++i)
                a << QList<QByteArray>{"err\r\n"};
            a << QList<QByteArray>{QByteArray(key) + " Save!\r\n"};
            scripted.script.insert(command, a);
        }
        FieldTank bath;
        const bool r = inWorker([&] {
            const bool set = bath.Open("串口", scripted.peer.address(), "9600") && bath.SetChannel(setting);
            bath.Close();
            return set;
        });
        QCOMPARE(r, ok);
        QCOMPARE(scripted.sentLines(), lines);
    }

    // The set-up in its order, unanswered; a bath that answers it anyway does not cost the next
    // query an attempt.
    void initialize()
    {
        ScriptedBath scripted;
        for (const char *key : {"lf=", "u=", "sa=", "pc=", "co=", "hg="})
            scripted.script.insert(key, Answers{{QByteArray(key).replace('=', ": ") + "x\r\n"}});
        scripted.script.insert("sn", Answers{{"sn: ZV1\r\n"}});
        FieldTank bath;
        const QPair<bool, QString> r = inWorker([&] {
            QString id;
            const bool ok = bath.Open("串口", scripted.peer.address(), "9600") && bath.Initialize() && bath.GetIdentity(id);
            bath.Close();
            return qMakePair(ok, id);
        });
        QVERIFY(r.first);
        QCOMPARE(r.second, QString("ZV1"));
        QCOMPARE(scripted.peer.received, QByteArray("lf=on\r\nu=C\r\nsa=n\r\npc=s\r\nco=au\r\nhg=auto\r\nsn\r\n"));
    }

    // A bath that never answers: three attempts of a bounded wait each, then false, and the
    // waiting costs the calling thread next to no processor time.
    void silentBath()
    {
        ScriptedBath scripted;
        scripted.script.insert("r", Answers{});
        FieldTank bath;
        struct Result
        {
            bool opened = false, read = true;
            double cpuMs = 0;
        } r = inWorker([&] {
            Result res;
            res.opened = bath.Open("串口", scripted.peer.address(), "9600");
            const double cpu0 = threadCpuMs();
            double v = 0;
            res.read = bath.ReadTemperature(v);
            res.cpuMs = threadCpuMs() - cpu0;
            bath.Close();
            return res;
        });
        QVERIFY(r.opened);
        QVERIFY(!r.read);
        QCOMPARE(scripted.peer.count("r"), 3);
        QVERIFY2(r.cpuMs < 200, qPrintable(QString::number(r.cpuMs)));
    }

    void closedBathRefusesEverything()
    {
        FieldTank bath;
        QCOMPARE(bath.GetModes(), QStringList({"串口"}));
        QString resolution;
        bath.GetResolution("VIRE-80ZA", resolution);
        QCOMPARE(resolution, QString("0.01"));
        const QList<bool> r = inWorker([&] {
            QString s;
            double v = 0;
            return QList<bool>{bath.Write("r\r\n"), bath.Read(s),       bath.GetIdentity(s),  bath.ReadTemperature(v),
                               bath.SetTemperature(37), bath.Initialize(), bath.SetChannel(its90()), bath.Close(),
                               bath.Open("串口", "", "9600"), bath.Open("串口", "/dev/pts/x", "fast")};
        });
        QCOMPARE(r, QVector<bool>(10, false).toList());
    }

    void openTwiceAndReopen()
    {
        ScriptedBath scripted;
        scripted.script.insert("sn", Answers{{"sn: ZV2\r\n"}});
        FieldTank bath;
        const QList<bool> r = inWorker([&] {
            QString id;
            return QList<bool>{bath.Open("串口", scripted.peer.address(), "9600"), bath.Open("串口", scripted.peer.address(), "9600"),
                               bath.Close(), bath.IsOpen(), bath.Open("", scripted.peer.address(), "19200"), bath.GetIdentity(id),
                               bath.Close()};
        });
        QCOMPARE(r, QList<bool>({true, false, true, false, true, true, true}));
    }

    // The reference built into the bath: open exactly while its bath is, never opening it, and
    // failing everything without one.
    void bathBackedReference()
    {
        ScriptedBath scripted;
        scripted.script.insert("sn", Answers{{"sn: ZV3\r\n"}});
        scripted.script.insert("r", Answers{{"r: 36.998 C\r\n"}});
        for (const char *key : {"Rtp=", "A=", "B=", "C=", "A4=", "B4="})
            scripted.script.insert(key, Answers{{QByteArray(key).replace("=", " Save!\r\n")}});
        auto bath = std::make_unique<FieldTank>();
        Criteria reference(bath.get());
        Criteria alone;
        struct Result
        {
            QList<bool> alone, beforeBath, withBath, afterBathClosed;
            QString identity;
            double value = 0;
        } r = inWorker([&] {
            Result res;
            QString s;
            double v = 0;
            res.alone = {alone.Open("", "", ""), alone.IsOpen(), alone.GetIdentity(s), alone.ReadValue(v), alone.SetChannel(its90()),
                         alone.Close(), alone.Read(s), alone.Write("x")};
            res.beforeBath = {reference.Open("串口", scripted.peer.address(), "9600"), reference.IsOpen(), bath->IsOpen()};
            bath->Open("串口", scripted.peer.address(), "9600");
            res.withBath = {reference.Open("", "", ""), reference.IsOpen(), reference.GetIdentity(res.identity),
                            reference.ReadValue(res.value), reference.SetChannel(its90())};
            bath->Close();
            res.afterBathClosed = {reference.IsOpen(), reference.Close(), reference.IsOpen()};
            return res;
        });
        QCOMPARE(r.alone, QList<bool>({false, false, false, false, false, true, true, true}));
        QCOMPARE(r.beforeBath, QList<bool>({false, false, false}));
        QCOMPARE(r.withBath, QList<bool>({true, true, true, true, true}));
        QCOMPARE(r.identity, QString("ZV3"));
        QCOMPARE(r.value, 36.998);
        QCOMPARE(r.afterBathClosed, QList<bool>({false, true, false}));
        // The bath goes before its reference: the reference has nothing to read any more.
        bath.reset();
        double v = 0;
        QVERIFY(!reference.ReadValue(v));
        QVERIFY(!reference.Open("", "", ""));
    }

    void destroyedWhileOpen()
    {
        ScriptedBath scripted;
        auto bath = std::make_unique<FieldTank>();
        QVERIFY(inWorker([&] { return bath->Open("串口", scripted.peer.address(), "9600"); }));
        bath.reset();
        spin(20);
    }
};

QTEST_MAIN(TestFieldTank)
#include "tst_fieldtank.moc"
