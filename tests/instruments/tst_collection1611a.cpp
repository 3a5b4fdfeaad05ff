// The 1611A collector driver against pcrsim, over loopback TCP and a pseudo-terminal. Every
// driver call runs in a worker thread while this (GUI) thread runs its event loop.

#include "BlockModel.h"
#include "CollectorTestSupport.h"
#include "SimHarness.h"
#include "Thermistor.h"
#include "instruments/Collection1611A.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

using namespace pcrsim;

namespace {

const double PlateauC = 37;

// The model behind a `--program 37:1000 --seed 42` simulator.
const BlockModel &model()
{
    static const BlockModel m([] {
        BlockModelConfig c;
        c.program = {{PlateauC, 1000}};
        c.seed = Seed;
        return c;
    }());
    return m;
}

// Driver threads of this process, as the system lists them by name.
int linkThreads()
{
    int n = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "instrument link")
            ++n;
    }
    return n;
}

struct Session
{
    bool opened = false, openedTwice = true, identityOk = false, configured = false, read = false;
    QString identity;
    QStringList values;
};

} // namespace

class TestCollection1611A : public QObject
{
    Q_OBJECT

private:
    PcrSim sim;  // a well-behaved simulator shared by the transport tests
    QString endpoint(const QString &mode) const { return mode == Network ? QStringLiteral("127.0.0.1") : sim.ptyPath; }
    QString port(const QString &mode) const { return mode == Network ? sim.tcpPort : QStringLiteral("9600"); }

private slots:
    void initTestCase()
    {
        QVERIFY(sim.start({"--collector-tcp", "0", "--collector-pty", "--seed", QString::number(Seed), "--program", "37:1000",
                           "--start-on-configure", "--time-scale", "50"}));
        QVERIFY(!sim.tcpPort.isEmpty());
        QVERIFY(sim.ptyPath.startsWith("/dev/"));
    }

    void transports_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("tcp") << Network;
        QTest::newRow("pty") << Serial;
    }

    // Open with the address query, identity, coefficients written, temperatures read with them.
    void transports()
    {
        QFETCH(QString, mode);
        Collection1611A driver;
        QCOMPARE(driver.GetModes(), QStringList({Serial, Network}));
        QVERIFY(!driver.IsOpen());
        const Session s = inWorker([&] {
            Session r;
            r.opened = driver.Open(mode, endpoint(mode), port(mode));
            r.openedTwice = driver.Open(mode, endpoint(mode), port(mode));  // already open: refused, left alone
            r.identityOk = driver.GetIdentity(r.identity);
            r.configured = driver.SetChannels(settings(16, QStringLiteral("℃")));
            sleepMs(1000);  // 50 s of block time: ramped to 37 °C and settled
            r.read = driver.ReadChannels(r.values);
            return r;
        });
        QVERIFY(s.opened);
        QVERIFY(!s.openedTwice);
        QVERIFY(driver.IsOpen());
        QVERIFY(s.identityOk);
        QCOMPARE(s.identity, QString("1611A00042"));
        QVERIFY(s.configured);
        QVERIFY(s.read);
        QCOMPARE(s.values.size(), 16);
        for (int j = 0; j < 16; ++j) {
            QVERIFY2(s.values[j].section('.', 1).size() == 6, qPrintable(s.values[j]));
            const double expected = model().plateauMean(j, PlateauC);
            QVERIFY2(std::fabs(s.values[j].toDouble() - expected) < 0.06,
                     qPrintable(QString("channel %1: %2, expected %3").arg(j).arg(s.values[j]).arg(expected)));
        }
        // Close from the worker, then open again on the same object.
        const bool reopened = inWorker([&] {
            QString id;
            return driver.Close() && !driver.IsOpen() && driver.Open(mode, endpoint(mode), port(mode)) && driver.GetIdentity(id)
                   && driver.Close() && !driver.Close();
        });
        QVERIFY(reopened);
        QVERIFY(!driver.IsOpen());
    }

    // The collector converts with the coefficients written into it: with the nominal ones each
    // probe reads off by its own tolerance, exactly as the probe's characteristic predicts.
    void convertsWithTheWrittenCoefficients()
    {
        Collection1611A driver;
        const QStringList values = inWorker([&] {
            QStringList v;
            if (driver.Open(Network, "127.0.0.1", sim.tcpPort) && driver.SetChannels(settings(16, "℃", false))) {
                sleepMs(1000);
                driver.ReadChannels(v);
            }
            driver.Close();
            return v;
        });
        QCOMPARE(values.size(), 16);
        const ThermistorCoefficients n = nominalThermistor();
        const ThermistorCoefficients asFloats{float(n.b0), float(n.b1), float(n.b2), float(n.b3)};
        double worstOffTrue = 0;
        for (int j = 0; j < 16; ++j) {
            const double truth = model().plateauMean(j, PlateauC);
            const double expected = thermistorTemperature(asFloats, thermistorResistance(probeThermistor(Seed, j), truth));
            QVERIFY2(std::fabs(values[j].toDouble() - expected) < 0.06, qPrintable(QString("channel %1").arg(j)));
            worstOffTrue = std::max(worstOffTrue, std::fabs(values[j].toDouble() - truth));
        }
        QVERIFY(worstOffTrue > 0.08);
    }

    void resistancesInOhmMode()
    {
        Collection1611A driver;
        const QStringList values = inWorker([&] {
            QStringList v;
            if (driver.Open(Serial, sim.ptyPath, "115200") && driver.SetChannels(settings(16, "Ohm"))) {
                sleepMs(1000);
                driver.ReadChannels(v);
            }
            driver.Close();
            return v;
        });
        QCOMPARE(values.size(), 16);
        for (int j = 0; j < 16; ++j) {
            const double expected = thermistorResistance(probeThermistor(Seed, j), model().plateauMean(j, PlateauC));
            QVERIFY2(std::fabs(values[j].toDouble() / expected - 1) < 0.004, qPrintable(values[j]));
            QCOMPARE(values[j].section('.', 1).size(), 6);
        }
    }

    // A ℉ run must get ℉ values: it converts them back to ℃ before storing.
    void fahrenheitChannelsReadInFahrenheit()
    {
        Collection1611A driver;
        const QStringList values = inWorker([&] {
            QStringList v;
            if (driver.Open(Network, "127.0.0.1", sim.tcpPort) && driver.SetChannels(settings(16, "℉"))) {
                sleepMs(1000);
                driver.ReadChannels(v);
            }
            driver.Close();
            return v;
        });
        QCOMPARE(values.size(), 16);
        for (int j = 0; j < 16; ++j) {
            const double celsius = (values[j].toDouble() - 32) * 5 / 9;
            QVERIFY2(std::fabs(celsius - model().plateauMean(j, PlateauC)) < 0.06, qPrintable(values[j]));
            QCOMPARE(values[j].section('.', 1).size(), 6);
        }
    }

    // Coefficients come back with every significant digit of the stored float.
    void coefficientsReadBackExactly()
    {
        Collection1611A driver;
        QList<ChannelSetting> list = settings(16, "℃");
        list[3][ChannelSetting::Coefficient1] = "0.00112914797";
        list[3][ChannelSetting::Coefficient2] = "0.000234125";
        list[3][ChannelSetting::Coefficient3] = "-0.0000012345";
        list[3][ChannelSetting::Coefficient4] = "0.0000000876741";
        struct Result
        {
            bool ok = false;
            QList<QStringList> texts;
        };
        const Result r = inWorker([&] {
            Result res;
            res.ok = driver.Open(Network, "127.0.0.1", sim.tcpPort) && driver.SetChannels(list);
            for (int i = 0; i < 16 && res.ok; ++i) {
                QString c1, c2, c3, c4;
                res.ok = driver.ReadCoefficients(i, c1, c2, c3, c4);
                res.texts << QStringList{c1, c2, c3, c4};
            }
            QString a, b, c, d;
            res.ok = res.ok && !driver.ReadCoefficients(16, a, b, c, d) && !driver.ReadCoefficients(-1, a, b, c, d);
            driver.Close();
            return res;
        });
        QVERIFY(r.ok);
        QCOMPARE(r.texts.size(), 16);
        for (int i = 0; i < 16; ++i) {
            for (int k = 0; k < 4; ++k) {
                const QString &text = r.texts[i][k];
                QVERIFY2(!text.contains('e'), qPrintable(text));
                QCOMPARE(text.toFloat(), list[i][ChannelSetting::Coefficient1 + k].toFloat());
            }
        }
        QCOMPARE(r.texts[3][3], QString("0.0000000876741026"));
    }

    void settingListsOutOfRange()
    {
        Collection1611A driver;
        sim.clearTrace();
        struct Result
        {
            bool tooMany = true, stillReads = false, empty = false, readAfterEmpty = true;
            int valuesAfterRefusal = 0;
        } r = inWorker([&] {
            Result res;
            if (!driver.Open(Network, "127.0.0.1", sim.tcpPort) || !driver.SetChannels(settings(4, "℃")))
                return res;
            QList<ChannelSetting> seventeen = settings(16, "℃");
            seventeen << seventeen.first();
            res.tooMany = driver.SetChannels(seventeen);
            QStringList v;
            res.stillReads = driver.ReadChannels(v);  // the refused list changed nothing
            res.valuesAfterRefusal = v.size();
            res.empty = driver.SetChannels({});
            res.readAfterEmpty = driver.ReadChannels(v);
            driver.Close();
            return res;
        });
        QVERIFY(!r.tooMany);
        QVERIFY(r.stillReads);
        QCOMPARE(r.valuesAfterRefusal, 4);
        QVERIFY(r.empty);
        QVERIFY(!r.readAfterEmpty);
        QCOMPARE(sim.count("collector request 0110"), 4);  // only the four accepted writes
    }

    // Channels the collector does not have are answered with an exception: a clean false.
    void moreChannelsThanConnected()
    {
        PcrSim four;
        QVERIFY(four.start({"--collector-tcp", "0", "--channels", "4"}));
        Collection1611A driver;
        const QPair<bool, bool> r = inWorker([&] {
            QStringList v;
            const bool configured = driver.Open(Network, "127.0.0.1", four.tcpPort) && driver.SetChannels(settings(8, "℃"));
            const bool read = driver.ReadChannels(v);
            driver.Close();
            return qMakePair(configured, read);
        });
        QVERIFY(r.first);
        QVERIFY(!r.second);
        QCOMPARE(four.count("collector request 010301000010"), 4);  // four attempts
    }

    // The block idles until the coefficients are written, then runs the program from its start.
    void programStartsOnConfigure()
    {
        PcrSim idle;
        QVERIFY(idle.start({"--collector-tcp", "0", "--program", "60:1000", "--start-on-configure", "--time-scale", "5"}));
        Collection1611A driver;
        const QPair<double, double> r = inWorker([&] {
            QStringList before, after;
            sleepMs(3000);  // 15 s of block time: it would be at 60 °C already if it were running
            if (driver.Open(Network, "127.0.0.1", idle.tcpPort) && driver.SetChannels(settings(1, "℃", false)))
                driver.ReadChannels(before);
            sleepMs(4000);
            driver.ReadChannels(after);
            driver.Close();
            return qMakePair(before.value(0, "nan").toDouble(), after.value(0, "nan").toDouble());
        });
        // Read right after the start: still near 25 °C (a second of delay would only reach ~45).
        QVERIFY2(r.first > 24 && r.first < 45, qPrintable(QString::number(r.first)));
        QVERIFY2(std::fabs(r.second - 60) < 0.6, qPrintable(QString::number(r.second)));
    }

    // Faults that a retry cures: most reads succeed, every value that comes back is right.
    void retriesCureFaults_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("fault");
        QTest::newRow("dropped tcp") << QStringList{"--drop", "0.3"} << Network << "drop";
        QTest::newRow("dropped pty") << QStringList{"--drop", "0.3"} << Serial << "drop";
        QTest::newRow("corrupted tcp") << QStringList{"--corrupt", "0.3"} << Network << "corrupt";
        QTest::newRow("corrupted pty") << QStringList{"--corrupt", "0.3"} << Serial << "corrupt";
        QTest::newRow("noise tcp") << QStringList{"--noise", "0.3"} << Network << "noise";
        QTest::newRow("noise pty") << QStringList{"--noise", "0.3"} << Serial << "noise";
        QTest::newRow("chunks tcp") << QStringList{"--chunk", "3"} << Network << "";
        QTest::newRow("single bytes pty") << QStringList{"--chunk", "1"} << Serial << "";
        QTest::newRow("delayed tcp") << QStringList{"--delay", "250"} << Network << "";
        QTest::newRow("all at once tcp") << QStringList{"--drop", "0.1", "--corrupt", "0.1", "--noise", "0.1", "--chunk", "5", "--delay", "20"}
                                         << Network << "";
        QTest::newRow("all at once pty") << QStringList{"--drop", "0.1", "--corrupt", "0.1", "--noise", "0.1", "--chunk", "4", "--delay", "30"}
                                         << Serial << "";
    }
    void retriesCureFaults()
    {
        QFETCH(QStringList, faults);
        QFETCH(QString, mode);
        QFETCH(QString, fault);
        PcrSim faulty;
        QVERIFY(faulty.start(QStringList{"--collector-tcp", "0", "--collector-pty", "--seed", QString::number(Seed), "--program",
                                         "37:1000", "--time-scale", "50"}
                             + faults));
        const QString address = mode == Network ? QStringLiteral("127.0.0.1") : faulty.ptyPath;
        const QString port = mode == Network ? faulty.tcpPort : QStringLiteral("9600");
        Collection1611A driver;
        struct Result
        {
            bool opened = false, configured = false;
            int reads = 0, good = 0, wrong = 0;
        } r = inWorker([&] {
            Result res;
            // The address query retries itself; a second press of "connect" is rarely needed.
            for (int i = 0; i < 2 && !res.opened; ++i)
                res.opened = driver.Open(mode, address, port);
            if (!res.opened)
                return res;
            for (int i = 0; i < 5 && !res.configured; ++i)
                res.configured = driver.SetChannels(settings(4, "℃"));
            sleepMs(600);
            for (; res.reads < 15; ++res.reads) {
                QStringList v;
                if (!driver.ReadChannels(v))
                    continue;
                ++res.good;
                for (int j = 0; j < 4; ++j)
                    res.wrong += std::fabs(v.value(j).toDouble() - model().plateauMean(j, PlateauC)) < 0.06 ? 0 : 1;
            }
            driver.Close();
            return res;
        });
        QVERIFY(r.opened);
        QVERIFY(r.configured);
        QCOMPARE(r.wrong, 0);
        QVERIFY2(r.good >= 14, qPrintable(QString("%1 of %2 reads").arg(r.good).arg(r.reads)));
        if (!fault.isEmpty()) {
            QVERIFY(faulty.count("collector fault " + fault) > 0);
            // Retries happened: more read requests than calls.
            QVERIFY(faulty.count("collector request 010301000008") > r.reads);
        }
    }

    // Faults no retry cures: every attempt of the address query fails, Open is false and the link
    // is closed again.
    void openFailsCleanly_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::newRow("every reply dropped") << QStringList{"--drop", "1"};
        QTest::newRow("every CRC broken") << QStringList{"--corrupt", "1"};
        // Later than every attempt together: a late answer to the same question would do.
        QTest::newRow("replies too late") << QStringList{"--delay", "2500"};
    }
    void openFailsCleanly()
    {
        QFETCH(QStringList, faults);
        PcrSim broken;
        QVERIFY(broken.start(QStringList{"--collector-tcp", "0"} + faults));
        Collection1611A driver;
        const bool opened = inWorker([&] { return driver.Open(Network, "127.0.0.1", broken.tcpPort); });
        QVERIFY(!opened);
        spin(50);
        QVERIFY(!driver.IsOpen());
        QCOMPARE(broken.count("collector request 010300010001"), Collection1611A::OpenAttempts);
    }



    // The peer goes away mid-run: the driver reports itself closed, later calls are clean
    // falses, and the same object connects again to a new instrument.
    void peerClosesMidRun_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("tcp") << Network;
        QTest::newRow("pty") << Serial;
    }
    void peerClosesMidRun()
    {
        QFETCH(QString, mode);
        auto peer = std::make_unique<PcrSim>();
        QVERIFY(peer->start({"--collector-tcp", "0", "--collector-pty"}));
        const auto addressOf = [&](PcrSim &p) { return mode == Network ? QStringLiteral("127.0.0.1") : p.ptyPath; };
        const auto portOf = [&](PcrSim &p) { return mode == Network ? p.tcpPort : QStringLiteral("9600"); };
        Collection1611A driver;
        const bool running = inWorker([&] {
            QStringList v;
            return driver.Open(mode, addressOf(*peer), portOf(*peer)) && driver.SetChannels(settings(16, "℃")) && driver.ReadChannels(v);
        });
        QVERIFY(running);
        peer->stop();
        struct Result
        {
            bool noticed = false, read = true, wrote = true, closed = true;
        } r = inWorker([&] {
            Result res;
            for (int i = 0; i < 300 && driver.IsOpen(); ++i)
                sleepMs(10);
            res.noticed = !driver.IsOpen();
            QStringList v;
            res.read = driver.ReadChannels(v);
            res.wrote = driver.Write("010300010001cad5");
            res.closed = driver.Close();
            return res;
        });
        QVERIFY(r.noticed);
        QVERIFY(!r.read);
        QVERIFY(!r.wrote);
        QVERIFY(!r.closed);
        spin(50);  // the released socket or port is deleted by the event loop

        PcrSim next;
        QVERIFY(next.start({"--collector-tcp", "0", "--collector-pty"}));
        const bool again = inWorker([&] {
            QStringList v;
            const bool ok = driver.Open(mode, addressOf(next), portOf(next)) && driver.SetChannels(settings(2, "℃")) && driver.ReadChannels(v)
                            && v.size() == 2;
            driver.Close();
            return ok;
        });
        QVERIFY(again);
    }





    void destroyedWhileOpen()
    {
        auto driver = std::make_unique<Collection1611A>();
        QVERIFY(inWorker([&] { return driver->Open(Network, "127.0.0.1", sim.tcpPort); }));
        driver.reset();
        spin(20);
    }

    // Port work happens on the driver's own thread: with this (GUI) thread asleep for 5 s and
    // its event loop standing still, a worker opens, configures and reads, and every read succeeds.
    void keepsReadingWhileTheGuiThreadIsBlocked_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("tcp") << Network;
        QTest::newRow("pty") << Serial;
    }
    void keepsReadingWhileTheGuiThreadIsBlocked()
    {
        QFETCH(QString, mode);
        Collection1611A driver;
        std::atomic<bool> stop{false};
        bool opened = false, configured = false;
        int reads = 0, good = 0;
        std::thread worker([&] {
            opened = driver.Open(mode, endpoint(mode), port(mode));
            configured = opened && driver.SetChannels(settings(16, QStringLiteral("℃")));
            while (configured && !stop.load()) {
                QStringList v;
                ++reads;
                good += driver.ReadChannels(v) && v.size() == 16 ? 1 : 0;
                sleepMs(100);
            }
            driver.Close();
        });
        sleepMs(5000);
        stop = true;
        worker.join();
        QVERIFY(opened);
        QVERIFY(configured);
        QVERIFY(reads > 0);
        QCOMPARE(good, reads);
    }

    // One driver thread per driver, joined when the driver goes: open, failed and never used
    // drivers alike leave no thread behind.
    void everyDriverThreadIsJoined()
    {
        // A QThread's system thread ends just after the join returns: those of earlier tests go.
        QTRY_COMPARE_WITH_TIMEOUT(linkThreads(), 0, 10000);
        {
            std::vector<std::unique_ptr<Collection1611A>> drivers;
            for (int i = 0; i < 4; ++i)
                drivers.push_back(std::make_unique<Collection1611A>());
            QTRY_COMPARE_WITH_TIMEOUT(linkThreads(), 4, 10000);
            const QString closed = closedPort();
            const QList<bool> r = inWorker([&] {
                return QList<bool>{drivers[0]->Open(Network, "127.0.0.1", sim.tcpPort), drivers[1]->Open(Serial, sim.ptyPath, "9600"),
                                   drivers[2]->Open(Network, "127.0.0.1", closed)};
            });
            QCOMPARE(r, QList<bool>({true, true, false}));
        }
        QTRY_COMPARE_WITH_TIMEOUT(linkThreads(), 0, 10000);
    }
};

QTEST_MAIN(TestCollection1611A)
#include "tst_collection1611a.moc"
