// The 1611A collector driver against a scripted peer on loopback TCP: the frames and silences
// pcrsim never produces (foreign addresses, wrong lengths, late replies), attempt counts, and
// calls that must fail cleanly. Driver calls run in a worker thread, as the pages do.

#include "CollectorTestSupport.h"
#include "SimHarness.h"
#include "instruments/Collection1611A.h"

#include <QtTest>
#include <atomic>
#include <memory>
#include <thread>

class TestCollection1611AFrames : public QObject
{
    Q_OBJECT

private slots:
    // Replies to a 3-channel read, as the framing and the length check see them.
    void badFrames_data()
    {
        const QByteArray values = (floatToHexLE(36.5f) + floatToHexLE(37.25f) + floatToHexLE(-1.5f)).toLatin1();
        const QByteArray good = ScriptedPeer::frame("01030c" + values);
        QByteArray badCrc = good;
        badCrc[badCrc.size() - 1] = char(badCrc.at(badCrc.size() - 1) ^ 0x01);
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("good") << QList<QByteArray>{good} << true;
        QTest::newRow("in pieces") << QList<QByteArray>{good.left(2), good.mid(2, 7), good.mid(9)} << true;
        QTest::newRow("noise before, apart") << QList<QByteArray>{QByteArray::fromHex("ff00a5"), good} << true;
        QTest::newRow("wrong CRC") << QList<QByteArray>{badCrc} << false;
        QTest::newRow("foreign address") << QList<QByteArray>{ScriptedPeer::frame("02030c" + values)} << false;
        QTest::newRow("too short") << QList<QByteArray>{ScriptedPeer::frame("010308" + values.left(16))} << false;
        QTest::newRow("too long") << QList<QByteArray>{ScriptedPeer::frame("010310" + values + "00000000")} << false;
        QTest::newRow("exception") << QList<QByteArray>{ScriptedPeer::frame("018302")} << false;
        QTest::newRow("not a number") << QList<QByteArray>{ScriptedPeer::frame("01030c" + values.left(8) + "0000c07f" + values.right(8))} << false;
        QTest::newRow("noise glued on") << QList<QByteArray>{QByteArray::fromHex("ff") + good} << false;
        QTest::newRow("truncated") << QList<QByteArray>{good.left(10)} << false;
        // Values no PCR block can have (a garbled frame with a valid CRC, nonsense coefficients)
        // are failed attempts like non-finite ones.
        const auto withFirst = [&](float v) {
            return QList<QByteArray>{ScriptedPeer::frame("01030c" + (floatToHexLE(v).toLatin1() + values.mid(8)))};
        };
        QTest::newRow("3.4e38") << withFirst(3.4e38f) << false;
        QTest::newRow("-1e30") << withFirst(-1e30f) << false;
        QTest::newRow("absolute zero") << withFirst(-273.15f) << false;
        QTest::newRow("9999.5") << withFirst(9999.5f) << false;
        QTest::newRow("-100 is still a reading") << withFirst(-100.0f) << true;
    }


    void badFrames()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(bool, accepted);
        ScriptedPeer peer;
        peer.answer = [&](const QByteArray &request) {
            if (request.toHex().startsWith("0110"))
                return QList<QByteArray>{request};  // the collector echoes a write
            return pieces;
        };
        Collection1611A driver;
        struct Result
        {
            bool configured = false, read = false;
            QStringList values;
        } r = inWorker([&] {
            Result res;
            res.configured = driver.Open(Network, "127.0.0.1", peer.port()) && driver.SetChannels(settings(3, "℃"));
            res.read = driver.ReadChannels(res.values);
            driver.Close();
            return res;
        });
        QVERIFY(r.configured);
        QCOMPARE(r.read, accepted);
        QCOMPARE(peer.countRequests("010301000006"), accepted ? 1 : 4);
        if (accepted && QByteArray(QTest::currentDataTag()).startsWith("-100"))
            QCOMPARE(r.values, QStringList({"-100.000000", "37.250000", "-1.500000"}));
        else if (accepted)
            QCOMPARE(r.values, QStringList({"36.500000", "37.250000", "-1.500000"}));
        else
            QVERIFY(r.values.isEmpty());
    }


    // Without replies: the number of attempts of each operation, and clean falses.
    void attemptsWithoutReplies()
    {
        ScriptedPeer peer;
        peer.answer = [](const QByteArray &) { return QList<QByteArray>(); };
        Collection1611A driver;
        const QList<bool> r = inWorker([&] {
            QList<bool> res;
            res << driver.Open(Network, "127.0.0.1", peer.port());
            res << driver.SetChannels(settings(2, "℃"));
            QStringList v;
            res << driver.ReadChannels(v);
            QString id, c1, c2, c3, c4, raw;
            res << driver.GetIdentity(id) << driver.ReadCoefficients(0, c1, c2, c3, c4) << driver.Read(raw);
            driver.Close();
            return res;
        });
        QCOMPARE(r, QList<bool>({true, false, false, false, false, false}));
        QCOMPARE(peer.countRequests("0110"), 3);          // coefficient write: 3 attempts, then it stops
        QCOMPARE(peer.countRequests("01030100"), 4);      // channel read: 4 attempts
        QCOMPARE(peer.countRequests("0103100000"), 1);    // identity: no retry
        QCOMPARE(peer.countRequests("0103001000"), 1);    // coefficient read: no retry
        QCOMPARE(peer.requests.size(), 1 + 3 + 4 + 1 + 1);
    }


    // A reply that comes after its request timed out must not be taken as the answer to the
    // next request: channel 0's coefficients would be filed under channel 1.
    void lateReplyIsNotTheNextAnswer()
    {
        ScriptedPeer peer;
        const auto block = [](float base) {
            return ScriptedPeer::frame("010310" + (floatToHexLE(base) + floatToHexLE(base + 1) + floatToHexLE(base + 2) + floatToHexLE(base + 3)).toLatin1());
        };
        peer.answer = [&](const QByteArray &request) {
            return QList<QByteArray>{request.toHex().startsWith("01030010") ? block(10) : block(20)};
        };
        peer.delayFor = [](const QByteArray &request) { return request.toHex().startsWith("01030010") ? 700 : 0; };
        Collection1611A driver;
        struct Result
        {
            bool first = true, second = false;
            QString c1;
        } r = inWorker([&] {
            Result res;
            QString c1, c2, c3, c4;
            if (!driver.Open(Network, "127.0.0.1", peer.port()))
                return res;
            res.first = driver.ReadCoefficients(0, c1, c2, c3, c4);  // times out
            sleepMs(400);                                           // ... and its reply arrives late
            res.second = driver.ReadCoefficients(1, res.c1, c2, c3, c4);
            driver.Close();
            return res;
        });
        QVERIFY(!r.first);
        QVERIFY(r.second);
        QCOMPARE(r.c1.toDouble(), 20.0);
    }


    // The echo of a coefficient write is compared in full: a late echo of channel 1 that arrives
    // while channel 2's write waits has the right length but confirms nothing, and channel 2's
    // write is tried again (and fails here, since its own echo never comes).
    void coefficientEchoMustBeTheFrameSent()
    {
        ScriptedPeer peer;
        QByteArray firstEcho;
        peer.answer = [&](const QByteArray &request) {
            const QByteArray hex = request.toHex();
            if (hex.startsWith("01100010")) {
                firstEcho = request;
                return QList<QByteArray>{request};
            }
            if (hex.startsWith("01100012"))
                return QList<QByteArray>{firstEcho};   // channel 1's echo, late
            return QList<QByteArray>{};
        };
        Collection1611A driver;
        const bool configured = inWorker([&] {
            const bool ok = driver.Open(Network, "127.0.0.1", peer.port()) && driver.SetChannels(settings(2, "℃"));
            driver.Close();
            return ok;
        });
        QVERIFY(!configured);
        QCOMPARE(peer.countRequests("01100010"), 1);
        QCOMPARE(peer.countRequests("01100012"), 3);
    }

    // The address query is retried like every other request: a dropped reply, or one with a
    // broken CRC, does not fail the open.
    void openRetriesTheAddressQuery_data()
    {
        QTest::addColumn<QByteArray>("firstReply");
        QTest::newRow("dropped") << QByteArray();
        QByteArray broken = ScriptedPeer::frame("01030101");
        broken[broken.size() - 1] = char(broken.at(broken.size() - 1) ^ 0x10);
        QTest::newRow("broken CRC") << broken;
    }
    void openRetriesTheAddressQuery()
    {
        QFETCH(QByteArray, firstReply);
        ScriptedPeer peer;
        peer.silentAddress = true;
        int queries = 0;
        peer.answer = [&](const QByteArray &request) {
            if (request.toHex() != "010300010001cad5")
                return QList<QByteArray>{};
            if (++queries == 1)
                return firstReply.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{firstReply};
            return QList<QByteArray>{ScriptedPeer::frame("01030101")};
        };
        Collection1611A driver;
        const bool opened = inWorker([&] {
            const bool ok = driver.Open(Network, "127.0.0.1", peer.port());
            driver.Close();
            return ok;
        });
        QVERIFY(opened);
        QCOMPARE(peer.countRequests("010300010001"), 2);
    }

    // A collector at another bus address: learned from the address query and used from then on.
    void learnsTheBusAddress()
    {
        ScriptedPeer peer;
        peer.silentAddress = true;
        peer.answer = [](const QByteArray &request) {
            const QByteArray hex = request.toHex();
            if (hex == "010300010001cad5")
                return QList<QByteArray>{ScriptedPeer::frame("05030105")};
            if (hex.startsWith("0503100000"))
                return QList<QByteArray>{ScriptedPeer::frame("05030a" + QByteArray("AB1611").toHex() + "00000000")};
            return QList<QByteArray>{};
        };
        Collection1611A driver;
        const QString identity = inWorker([&] {
            QString id;
            if (!driver.Open(Network, "127.0.0.1", peer.port()) || !driver.GetIdentity(id))
                id = "failed";
            driver.Close();
            return id;
        });
        QCOMPARE(identity, QString("AB1611"));  // padding dropped
        QCOMPARE(peer.countRequests("0503100000"), 1);
    }


    // Destroying the driver while a worker waits for a reply that never comes: the wait ends
    // with the destruction instead of running through its four attempts, and the worker's call
    // returns a clean false before the driver is gone.
    void destroyedMidRead()
    {
        ScriptedPeer peer;
        peer.answer = [](const QByteArray &request) {
            return request.toHex().startsWith("0110") ? QList<QByteArray>{request} : QList<QByteArray>();
        };
        auto driver = std::make_unique<Collection1611A>();
        Collection1611A *d = driver.get();
        std::atomic<bool> configured{false}, read{true}, returned{false};
        std::thread worker([&] {
            QStringList v;
            configured = d->Open(Network, "127.0.0.1", peer.port()) && d->SetChannels(settings(2, "℃"));
            read = d->ReadChannels(v);
            returned = true;
        });
        QVERIFY(QTest::qWaitFor([&] { return peer.countRequests("01030100") >= 1 || returned.load(); }, 30000));
        driver.reset();
        worker.join();
        QVERIFY(configured.load());
        QVERIFY(!read.load());
        spin(50);
        QCOMPARE(peer.countRequests("01030100"), 1);
    }

    void openFailures()
    {
        Collection1611A driver;
        const QString closed = closedPort();
        QVERIFY(!closed.isEmpty());
        const QList<bool> r = inWorker([&] {
            return QList<bool>{driver.Open("蓝牙", "127.0.0.1", "5980"),            // no such mode for this driver
                               driver.Open(Network, "127.0.0.1", closed),                // refused
                               driver.Open(Serial, "/dev/no-such-port", "9600"),         // missing port
                               driver.Open(Network, "127.0.0.1", "not a number"),        // port 0
                               driver.Write("010300010001cad5"),                         // closed: nothing sent
                               driver.Close()};
        });
        QCOMPARE(r, QList<bool>({false, false, false, false, false, false}));
        QVERIFY(!driver.IsOpen());
    }

    // A worker that tries again at once after a failed Open (or after Close) must get a real
    // attempt: the tidy-up of the failed one must neither end the new wait early nor close the
    // new connection.
    void retryRightAfterAFailure()
    {
        ScriptedPeer peer;
        Collection1611A driver;
        const QString closed = closedPort();
        QVERIFY(!closed.isEmpty());
        const QList<bool> r = inWorker([&] {
            QList<bool> res;
            for (int i = 0; i < 5; ++i) {
                res << driver.Open(Network, "127.0.0.1", closed);
                res << driver.Open(Network, "127.0.0.1", peer.port());
                res << driver.IsOpen();
                res << driver.Close();
                res << driver.Open(Serial, "/dev/no-such-port", "9600");
                res << driver.Open(Network, "127.0.0.1", peer.port());
                res << driver.IsOpen();
                res << driver.Close();
            }
            return res;
        });
        QList<bool> expected;
        for (int i = 0; i < 5; ++i)
            expected << false << true << true << true << false << true << true << true;
        QCOMPARE(r, expected);
        QCOMPARE(peer.countRequests("010300010001"), 10);
    }

};

QTEST_MAIN(TestCollection1611AFrames)
#include "tst_collection1611a_frames.moc"
