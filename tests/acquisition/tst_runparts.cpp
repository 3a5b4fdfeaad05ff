// The parts a run is made of, each on its own: the waits of its threads, the sample writer on a
// real SQLite file, the writer thread, and the rules that number, time and convert the samples
// of a phase.

#include "AcquisitionTest.h"
#include "../support/TestSuite.h"
#include "../support/Workspace.h"
#include "../support/file_permissions.h"

#include "acquisition/CalibrationRun.h"
#include "acquisition/StopWait.h"
#include "acquisition/SampleSink.h"
#include "store/SampleWriter.h"
#include "store/datawords.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace {

Tool::Struct_CalibrationData row(const QString &name, int i, const QString &values = QStringLiteral("25.1,25.2"))
{
    return {name, DataWords::uniformityItem(), QStringLiteral("2024-01-01 00:00:%1.000").arg(i, 2, 10, QLatin1Char('0')),
            values};
}

QStringList storedTimes(const QString &name)
{
    QList<Tool::Struct_CalibrationData> rows;
    Tool::getCalibrationData(rows, name);
    QStringList times;
    for (const auto &r : rows)
        times << r.Time;
    return times;
}

// Rows whose values read "bad" are refused by the database, as a full disk or a broken file
// would refuse them.
bool refuseBadRows()
{
    return Workspace::sql(QStringLiteral("create trigger refuse before insert on CalibrationData "
                                         "when new.Temperatures = 'bad' begin select raise(abort, 'refused'); end"));
}

} // namespace

class RunPartsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    QString dbFile;

private slots:
    void init()
    {
        ws = std::make_unique<Workspace>();
        QVERIFY(ws->openDatabase());
        dbFile = ws->path(Tool::DatabaseFileName);
    }
    void cleanup() { ws.reset(); }

    // --- StopWait

    // A stop ends a long sleep at once (the test would hang for an hour otherwise) and every
    // later one until reset.
    void stopEndsSleeps()
    {
        StopWait waits;
        std::atomic<int> slept{-1};
        std::thread sleeper([&] { slept = waits.sleepFor(std::chrono::hours(1)) ? 1 : 0; });
        waits.stop();
        sleeper.join();
        QCOMPARE(slept.load(), 0);
        QVERIFY(waits.stopped());
        QVERIFY(!waits.sleepFor(std::chrono::hours(1)));
        waits.reset();
        QVERIFY(!waits.stopped());
        QVERIFY(waits.sleepFor(1ms));
    }

    // waitUntil wakes when its condition is made true and wake() is called; a short wait that
    // nothing ends reports its condition as it stands.
    void waitUntilWoken()
    {
        StopWait waits;
        std::mutex m;
        bool ready = false;
        std::atomic<int> result{-1};
        std::thread waiter([&] {
            result = waits.waitUntil(StopWait::Clock::now() + std::chrono::hours(1), [&] {
                std::lock_guard<std::mutex> lock(m);
                return ready;
            });
        });
        {
            std::lock_guard<std::mutex> lock(m);
            ready = true;
        }
        waits.wake();
        waiter.join();
        QCOMPARE(result.load(), 1);
        QVERIFY(!waits.waitUntil(StopWait::Clock::now() + 1ms, [] { return false; }));
    }

    // --- SampleWriter

    void writerStoresBatches()
    {
        SampleWriter writer;
        QVERIFY2(writer.open(dbFile), qPrintable(writer.error()));
        QVERIFY(writer.write({row("甲", 0), row("甲", 1)}));
        QVERIFY(writer.write({}));
        Tool::Struct_CalibrationData blank = row("甲", 2);
        blank.Temperatures = QString();   // a null text is stored as an empty one
        QVERIFY(writer.write({blank}));
        QCOMPARE(storedTimes("甲"), (QStringList{"2024-01-01 00:00:00.000", "2024-01-01 00:00:01.000",
                                                   "2024-01-01 00:00:02.000"}));
        {
            QSqlQuery q(QSqlDatabase::database());
            QVERIFY(q.exec(QStringLiteral("select count(*) from CalibrationData where Temperatures is null")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 0);
        }
        // Discarding a project takes its rows only.
        QVERIFY(writer.write({row("乙", 0)}));
        QVERIFY(writer.discard(QStringLiteral("甲")));
        QVERIFY(storedTimes("甲").isEmpty());
        QCOMPARE(storedTimes("乙").size(), 1);
        writer.close();
        QVERIFY(!writer.isOpen());
        QVERIFY(!writer.write({row("甲", 3)}));
        QVERIFY(!writer.discard(QStringLiteral("乙")));
    }

    // A batch with a refused row leaves none of its rows; earlier batches stay.
    void writerBatchIsAllOrNothing()
    {
        QVERIFY(refuseBadRows());
        SampleWriter writer;
        QVERIFY(writer.open(dbFile));
        QVERIFY(writer.write({row("乙", 0)}));
        QVERIFY(!writer.write({row("乙", 1), row("乙", 2, "bad"), row("乙", 3)}));
        QVERIFY(writer.error().contains(QStringLiteral("refused")));
        QCOMPARE(storedTimes("乙"), QStringList{"2024-01-01 00:00:00.000"});
        // The connection is usable again afterwards.
        QVERIFY(writer.write({row("乙", 4)}));
        QCOMPARE(storedTimes("乙").size(), 2);
    }

    // Opening tells whether the database can be written at all.
    void writerOpenRefused_data()
    {
        QTest::addColumn<QString>("why");
        QTest::newRow("missing file") << "missing";
        QTest::newRow("read-only file") << "read-only";
        QTest::newRow("locked by another connection") << "locked";
    }
    void writerOpenRefused()
    {
        QFETCH(QString, why);
        AsOrdinaryUser ordinary;
        QString file = dbFile;
        std::unique_ptr<WriteLock> lock;
        if (why == QLatin1String("missing")) {
            file = ws->path(QStringLiteral("none.db3"));
        } else if (why == QLatin1String("read-only")) {
            if (!ordinary.active())
                QSKIP("file permissions do not apply here");
            QVERIFY(QFile::setPermissions(dbFile, QFile::ReadOwner | QFile::ReadGroup));
        } else {
            lock = std::make_unique<WriteLock>(dbFile);
            QVERIFY(lock->locked);
        }
        SampleWriter writer;
        QVERIFY(!writer.open(file, 50));
        QVERIFY(!writer.error().isEmpty());
        QVERIFY(!writer.isOpen());
        QVERIFY(!QFile::exists(ws->path(QStringLiteral("none.db3"))));
        QFile::setPermissions(dbFile, QFile::ReadOwner | QFile::WriteOwner);
    }

    // --- SampleSink

    void sinkCommitsEverything()
    {
        SampleSink sink({dbFile, SampleWriter::DefaultBusyTimeoutMs, 1000});
        std::vector<qint64> totals;
        std::mutex m;
        sink.onCommit = [&](qint64 n) {
            std::lock_guard<std::mutex> lock(m);
            totals.push_back(n);
        };
        QVERIFY(sink.start());
        for (int i = 0; i < 5; ++i)
            QVERIFY(sink.append(row("丙", i)));
        QVERIFY(sink.flush());
        // Flushed rows are visible to the program's own connection.
        QCOMPARE(storedTimes("丙").size(), 5);
        for (int i = 5; i < 8; ++i)
            QVERIFY(sink.append(row("丙", i)));
        QVERIFY(sink.finish());
        QCOMPARE(sink.committed(), qint64(8));
        QCOMPARE(storedTimes("丙").size(), 8);
        QVERIFY(!totals.empty());
        QCOMPARE(totals.back(), qint64(8));
        QVERIFY(!sink.append(row("丙", 9)));   // finished
    }

    // A failed write ends the writer: later rows are refused, committed ones stay.
    void sinkStopsAtTheFirstFailure()
    {
        QVERIFY(refuseBadRows());
        SampleSink sink({dbFile, SampleWriter::DefaultBusyTimeoutMs, 1000});
        QVERIFY(sink.start());
        QVERIFY(sink.append(row("丁", 0)));
        QVERIFY(sink.flush());
        QVERIFY(sink.append(row("丁", 1, "bad")));
        QVERIFY(!sink.flush());
        QVERIFY(sink.failed());
        QVERIFY(sink.error().contains(QStringLiteral("refused")));
        QVERIFY(!sink.append(row("丁", 2)));
        QVERIFY(!sink.finish());
        QCOMPARE(storedTimes("丁"), QStringList{"2024-01-01 00:00:00.000"});
    }

    // Another connection holding the lock past the busy timeout only delays the commits; the rows
    // wait and are all written once it lets go. Held past the give-up time, it ends the writer.
    void sinkAndALock_data()
    {
        QTest::addColumn<int>("giveUpMs");
        QTest::addColumn<bool>("stored");
        QTest::newRow("let go in time") << 60000 << true;
        QTest::newRow("held past the give-up time") << 300 << false;
    }
    void sinkAndALock()
    {
        QFETCH(int, giveUpMs);
        QFETCH(bool, stored);
        SampleSink::Options options{dbFile, 50, 100};
        options.lockGiveUpMs = giveUpMs;
        SampleSink sink(options);
        QVERIFY(sink.start());
        auto lock = std::make_unique<WriteLock>(dbFile);
        QVERIFY(lock->locked);
        for (int i = 0; i < 5; ++i)
            QVERIFY(sink.append(row("戊", i)));
        // Several commit attempts, each running into the lock.
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 800 && !sink.failed())
            QTest::qWait(20);
        QCOMPARE(sink.failed(), !stored);
        lock.reset();
        QCOMPARE(sink.append(row("戊", 5)), stored);
        QCOMPARE(sink.flush(), stored);
        QCOMPARE(sink.finish(), stored);
        QCOMPARE(storedTimes("戊").size(), stored ? 6 : 0);
    }

    // --- the rules of a phase

    void sampleCount_data()
    {
        QTest::addColumn<QTime>("duration");
        QTest::addColumn<double>("interval");
        QTest::addColumn<int>("count");
        QTest::newRow("10 s every 1 s") << QTime(0, 0, 10) << 1.0 << 11;
        QTest::newRow("no duration") << QTime(0, 0, 0) << 1.0 << 1;
        QTest::newRow("null duration") << QTime() << 1.0 << 1;
        QTest::newRow("1 s every 0.5 s") << QTime(0, 0, 1) << 0.5 << 3;
        QTest::newRow("1 s every 0.3 s") << QTime(0, 0, 1) << 0.3 << 4;
        QTest::newRow("3 s every 0.3 s") << QTime(0, 0, 3) << 0.3 << 11;
        QTest::newRow("whole seconds only") << QTime(0, 0, 1, 900) << 1.0 << 2;
        QTest::newRow("a day less a second") << QTime(23, 59, 59) << 1.0 << 86400;
    }
    void sampleCount()
    {
        QFETCH(QTime, duration);
        QFETCH(double, interval);
        QFETCH(int, count);
        QCOMPARE(CalibrationRun::sampleCount(duration, interval), count);
    }

    void sampleRow_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("interval");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("stored");
        QTest::newRow("first") << "℃" << 1.0 << 0 << QStringList{"25.123456", "26.000001"} << "2024-01-01 23:59:58.000"
                               << "25.123456,26.000001";
        QTest::newRow("across midnight") << "℃" << 0.5 << 5 << QStringList{"25.1"} << "2024-01-02 00:00:00.500" << "25.1";
        QTest::newRow("0.7 s, no rounding down") << "℃" << 0.7 << 3 << QStringList{"1"} << "2024-01-02 00:00:00.100"
                                                 << "1";
        QTest::newRow("℉ in ℃") << "℉" << 0.3 << 10 << QStringList{"98.6", "212.000000", "", "x"}
                                << "2024-01-02 00:00:01.000" << "37.0000,100.0000,,x";
    }
    void sampleRow()
    {
        QFETCH(QString, unit);
        QFETCH(double, interval);
        QFETCH(int, index);
        QFETCH(QStringList, values);
        QFETCH(QString, time);
        QFETCH(QString, stored);
        CalibrationRun::Phase phase;
        phase.unit = unit;
        phase.interval = interval;
        phase.projectName = QStringLiteral("项目");
        phase.model = QStringLiteral("升降温速率校准");
        const QDateTime start(QDate(2024, 1, 1), QTime(23, 59, 58));
        const auto r = CalibrationRun::sampleRow(phase, start, index, values);
        QCOMPARE(r.Name, QStringLiteral("项目"));
        QCOMPARE(r.Model, QStringLiteral("升降温速率校准"));
        QCOMPARE(r.Time, time);
        QCOMPARE(r.Temperatures, stored);
    }

    void channelSettings()
    {
        Tool::Struct_Standardizer probes;
        probes.ChannelNames = QStringLiteral("A1,B2,C3");
        probes.B0_R0 = QStringLiteral("1e-3,2e-3,3e-3");
        probes.B1 = QStringLiteral("1e-4,2e-4,3e-4");
        probes.B2 = QStringLiteral("0,0,0");
        probes.B3 = QStringLiteral("1e-7,2e-7,3e-7");
        bool complete = false;
        const QList<ChannelSetting> s = CalibrationRun::channelSettings(probes, QStringLiteral("℉"), &complete);
        QVERIFY(complete);
        QCOMPARE(s.size(), 3);
        const QStringList expected{"B2", "热敏电阻", "R(T)", "二线制", "℉", "", "", "2e-3", "2e-4", "0", "2e-7",
                                   "", "", "", "1", "0"};
        QCOMPARE(s[1].toList(), expected);
        QCOMPARE(s[2][ChannelSetting::Channel], QStringLiteral("C3"));

        // A probe without its coefficients makes the set unusable.
        probes.B2 = QStringLiteral("0,0");
        CalibrationRun::channelSettings(probes, QStringLiteral("℃"), &complete);
        QVERIFY(!complete);
    }
};

PCR_TEST_CLASS(RunPartsTest)
#include "tst_runparts.moc"
