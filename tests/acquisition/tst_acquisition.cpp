// The calibration run without any page: against pcrsim over loopback TCP, with its rows in a real
// database file. How a phase ends (finished, stopped, instrument or store failure), what it
// reports and what it leaves stored; and a process killed in the middle of a run.

#include "AcquisitionTest.h"
#include "../calibration/CalibrationTest.h"
#include "../support/file_permissions.h"

#include "CalibrationDemo.h"
#include "acquisition/CalibrationRun.h"
#include "instruments/Collection1611A.h"
#include "store/SampleWriter.h"
#include "store/datawords.h"
#include "store/queries.h"
#include "store/runrecords.h"
#include "acquisition/CalibrationSetup.h"
#include "reports/ExportJob.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

const int Wait = 30000;   // ms allowed for any awaited state; never reached when things work

// Everything a run reports, in order.
struct Reports
{
    QList<QDateTime> started;
    QList<int> samples;
    QList<QStringList> values;
    QList<qint64> committed;
    QList<CalibrationRun::InstrumentFault> faults;
    QStringList storeErrors;
    QList<CalibrationRun::EndReason> ends;

    explicit Reports(CalibrationRun &run)
    {
        QObject::connect(&run, &CalibrationRun::acquisitionStarted, [this](const QDateTime &t) { started << t; });
        QObject::connect(&run, &CalibrationRun::sampleTaken, [this](int i, const QStringList &v, const QDateTime &) {
            samples << i;
            values << v;
        });
        QObject::connect(&run, &CalibrationRun::rowsCommitted, [this](qint64 n) { committed << n; });
        QObject::connect(&run, &CalibrationRun::instrumentFailed,
                         [this](CalibrationRun::InstrumentFault f) { faults << f; });
        QObject::connect(&run, &CalibrationRun::storeFailed, [this](const QString &e) { storeErrors << e; });
        QObject::connect(&run, &CalibrationRun::phaseEnded, [this](CalibrationRun::EndReason r) { ends << r; });
    }
};

bool waitFor(const std::function<bool()> &condition)
{
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < Wait)
        spin(20);
    return condition();
}

CalibrationSetup::Form nameOnly(const QString &name)
{
    CalibrationSetup::Form f;
    f.projectName = name;
    return f;
}

QList<Tool::Struct_CalibrationData> storedRows(const QString &name)
{
    QList<Tool::Struct_CalibrationData> rows;
    Tool::queryCalibrationData(rows, Queries::calibrationDataOf(name));
    return rows;
}

} // namespace

class AcquisitionTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<PcrSim> sim;

    void startSim(const QStringList &extra = {})
    {
        sim = std::make_unique<PcrSim>();
        QVERIFY(sim->start(QStringList{"--collector-tcp", "0"} + extra));
        QVERIFY(CalibrationTest::registerRecords(sim->tcpPort));
    }

    // A phase of the demo records: the collector and the probe set as registered.
    static CalibrationRun::Phase phase(const QString &name, const QTime &duration, double interval)
    {
        QList<Tool::Struct_Electrometer> meters;
        Tool::getElectrometer(meters, QString::fromUtf8(CalibrationDemo::CollectorNumber));
        QList<Tool::Struct_Standardizer> probes;
        Tool::getStandardizer(probes, QString::fromUtf8(CalibrationDemo::ProbeSetNumber));
        CalibrationRun::Phase p = CalibrationRun::phaseWith(meters.value(0), probes.value(0));
        p.unit = QStringLiteral("℃");
        p.interval = interval;
        p.duration = duration;
        p.start = QDateTime::currentDateTime();
        p.projectName = name;
        p.model = DataWords::uniformityItem();
        p.storage.databaseFile = Tool::databaseFileName();
        return p;
    }

private slots:
    void init()
    {
        ws = std::make_unique<Workspace>();
        QVERIFY(ws->openDatabase());
    }
    void cleanup()
    {
        sim.reset();
        ws.reset();
    }

    // floor(N) + 1 samples stamped start + i × interval, every one stored, reported in order.
    void runsToTheEnd_data()
    {
        QTest::addColumn<QTime>("duration");
        QTest::addColumn<double>("interval");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("count");
        QTest::newRow("2 s every 0.5 s") << QTime(0, 0, 2) << 0.5 << "℃" << 5;
        QTest::newRow("1 s every 0.3 s in ℉") << QTime(0, 0, 1) << 0.3 << "℉" << 4;
        QTest::newRow("no duration") << QTime(0, 0, 0) << 1.0 << "℃" << 1;
    }
    void runsToTheEnd()
    {
        QFETCH(QTime, duration);
        QFETCH(double, interval);
        QFETCH(QString, unit);
        QFETCH(int, count);
        startSim();
        Collection1611A collector;   // with its driver thread
        const int threads = CalibrationTest::threadCount();
        CalibrationRun run(&collector);
        Reports reports(run);
        CalibrationRun::Phase p = phase("到底", duration, interval);
        p.unit = unit;
        QVERIFY(run.start(p));
        QVERIFY(run.isActive());
        QVERIFY(!run.start(p));
        QVERIFY(waitFor([&] { return !run.isActive(); }));

        QCOMPARE(reports.ends, QList<CalibrationRun::EndReason>{CalibrationRun::EndReason::Finished});
        QVERIFY(reports.faults.isEmpty() && reports.storeErrors.isEmpty());
        QCOMPARE(reports.started.size(), 1);
        QCOMPARE(run.acquisitionStart(), reports.started.first());
        QList<int> indices;
        for (int i = 0; i < count; ++i)
            indices << i;
        QCOMPARE(reports.samples, indices);
        QCOMPARE(run.samplesTaken(), count);
        QCOMPARE(run.rowsStored(), qint64(count));
        QCOMPARE(reports.committed.last(), qint64(count));

        const auto rows = storedRows("到底");
        QCOMPARE(rows.size(), count);
        for (int i = 0; i < count; ++i) {
            const Tool::Struct_CalibrationData expected =
                CalibrationRun::sampleRow(p, reports.started.first(), i, reports.values[i]);
            QCOMPARE(rows[i].values(), expected.values());
            QCOMPARE(rows[i].Temperatures.split(',').size(), 16);
        }
        if (unit == QLatin1String("℉"))
            QCOMPARE(rows[0].Temperatures.split(',').first(),
                     QString::number((reports.values[0].first().toDouble() - 32) * 5 / 9, 'f', 4));
        QVERIFY(!collector.IsOpen());
        // A joined thread leaves the task list just after the join returns.
        QTRY_COMPARE(CalibrationTest::threadCount(), threads);
    }

    // The rows of a project go on the run's worker; those of another project stay.
    void discardAfterTheRun()
    {
        startSim();
        Collection1611A collector;
        CalibrationRun run(&collector);
        Reports reports(run);
        QList<bool> discarded;
        connect(&run, &CalibrationRun::rowsDiscarded, [&](bool ok) { discarded << ok; });
        QVERIFY(Tool::addCalibrationData({QStringLiteral("别的"), QStringLiteral("均匀度校准"),
                                          QStringLiteral("2024-01-01 00:00:00.000"), QStringLiteral("25")}));
        const CalibrationRun::Phase p = phase("丢弃", QTime(0, 0, 1), 0.5);
        QVERIFY(run.start(p));
        QVERIFY(waitFor([&] { return !run.isActive(); }));
        QCOMPARE(storedRows("丢弃").size(), 3);
        QVERIFY(run.discard(p.projectName, p.storage));
        QVERIFY(run.isActive());
        QVERIFY(!run.start(p));
        QVERIFY(waitFor([&] { return !run.isActive(); }));
        QCOMPARE(discarded, QList<bool>{true});
        QCOMPARE(reports.ends.size(), 1);   // a discard is no phase
        QVERIFY(storedRows("丢弃").isEmpty());
        QCOMPARE(storedRows("别的").size(), 1);
    }

    // A stop ends the phase after the sample in progress, or before the first one while the
    // start time is awaited; every sample taken is stored and the instrument is closed.
    void stopped_data()
    {
        QTest::addColumn<int>("startInSeconds");
        QTest::addColumn<int>("samplesBeforeStop");
        QTest::newRow("mid-run") << 0 << 3;
        QTest::newRow("waiting for the start") << 3600 << 0;
    }
    void stopped()
    {
        QFETCH(int, startInSeconds);
        QFETCH(int, samplesBeforeStop);
        startSim();
        Collection1611A collector;
        CalibrationRun run(&collector);
        Reports reports(run);
        CalibrationRun::Phase p = phase("停止", QTime(0, 10, 0), 0.3);
        p.start = QDateTime::currentDateTime().addSecs(startInSeconds);
        QVERIFY(run.start(p));
        QVERIFY(waitFor([&] { return collector.IsOpen() && reports.samples.size() >= samplesBeforeStop; }));
        run.stop();
        run.finish();
        QVERIFY(!run.isActive());
        QCOMPARE(reports.ends, QList<CalibrationRun::EndReason>{CalibrationRun::EndReason::Stopped});
        QCOMPARE(reports.started.size(), samplesBeforeStop > 0 ? 1 : 0);
        QVERIFY(run.samplesTaken() >= samplesBeforeStop);
        QCOMPARE(reports.samples.size(), run.samplesTaken());
        QCOMPARE(storedRows("停止").size(), run.samplesTaken());
        QVERIFY(!collector.IsOpen());
    }

    void instrumentFaults_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<int>("fault");
        QTest::newRow("nothing listens") << "closed port" << int(CalibrationRun::InstrumentFault::Open);
        QTest::newRow("probe without coefficients") << "coefficients" << int(CalibrationRun::InstrumentFault::Configure);
        QTest::newRow("simulator gone mid-run") << "simulator gone" << int(CalibrationRun::InstrumentFault::Read);
    }
    void instrumentFaults()
    {
        QFETCH(QString, cause);
        QFETCH(int, fault);
        if (cause == QLatin1String("closed port"))
            QVERIFY(CalibrationTest::registerRecords(closedPort()));
        else
            startSim();
        Collection1611A collector;
        CalibrationRun run(&collector);
        Reports reports(run);
        CalibrationRun::Phase p = phase("故障", QTime(0, 10, 0), 0.3);
        if (cause == QLatin1String("coefficients"))
            p.probes.B3 = QStringLiteral("1e-7");
        QVERIFY(run.start(p));
        if (cause == QLatin1String("simulator gone")) {
            QVERIFY(waitFor([&] { return reports.samples.size() >= 2; }));
            sim->stop();
        }
        QVERIFY(waitFor([&] { return !run.isActive(); }));
        QCOMPARE(reports.faults, QList<CalibrationRun::InstrumentFault>{CalibrationRun::InstrumentFault(fault)});
        QCOMPARE(reports.ends, QList<CalibrationRun::EndReason>{CalibrationRun::EndReason::InstrumentFailed});
        QVERIFY(reports.storeErrors.isEmpty());
        // What was taken before the failure is stored.
        QCOMPARE(storedRows("故障").size(), reports.samples.size());
        QVERIFY(!collector.IsOpen());
    }

    // A write that fails ends the run with storeFailed; what was committed before stays and the
    // file stays sound. A lock only fails it when held past the give-up time.
    void storeFailure_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("locked past the give-up time") << "locked";
        QTest::newRow("read-only database") << "read-only";
    }
    void storeFailure()
    {
        QFETCH(QString, cause);
        startSim();
        AsOrdinaryUser ordinary;
        const QString file = ws->path(Tool::DatabaseFileName);
        const bool readOnly = cause == QLatin1String("read-only");
        if (readOnly) {
            if (!ordinary.active())
                QSKIP("file permissions do not apply here");
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
        }
        Collection1611A collector;
        CalibrationRun run(&collector);
        Reports reports(run);
        CalibrationRun::Phase p = phase("写失败", QTime(0, 10, 0), 0.3);
        p.storage.busyTimeoutMs = 200;
        p.storage.lockGiveUpMs = 1000;
        QVERIFY(run.start(p));
        std::unique_ptr<WriteLock> lock;
        qint64 committedBefore = 0;
        if (!readOnly) {
            QVERIFY(waitFor([&] { return !reports.committed.isEmpty(); }));
            lock = std::make_unique<WriteLock>(file);
            QVERIFY(lock->locked);
            committedBefore = reports.committed.last();
        }
        QVERIFY(waitFor([&] { return !run.isActive(); }));
        lock.reset();
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);

        QCOMPARE(reports.storeErrors.size(), 1);
        QVERIFY(!reports.storeErrors.first().isEmpty());
        QCOMPARE(reports.ends, QList<CalibrationRun::EndReason>{CalibrationRun::EndReason::StoreFailed});
        QVERIFY(reports.faults.isEmpty());
        const qint64 committed = reports.committed.isEmpty() ? 0 : reports.committed.last();
        QVERIFY(committed >= committedBefore);
        QCOMPARE(qint64(storedRows("写失败").size()), committed);
        if (readOnly)
            QCOMPARE(run.samplesTaken(), 0);
        QCOMPARE(integrityOf(file), QStringLiteral("ok"));
        QVERIFY(!collector.IsOpen());
    }

    // Another program holding the database for longer than the busy timeout (a large read, a
    // backup tool) only delays the commits: the run goes on, and once the lock is let go every
    // sample is stored. It used to end the run as if the instrument had failed.
    void lockHeldForAWhileOnlyDelays()
    {
        startSim();
        const QString file = ws->path(Tool::DatabaseFileName);
        Collection1611A collector;
        CalibrationRun run(&collector);
        Reports reports(run);
        CalibrationRun::Phase p = phase("被占用", QTime(0, 0, 6), 0.3);
        p.storage.busyTimeoutMs = 100;
        QVERIFY(run.start(p));
        QVERIFY(waitFor([&] { return !reports.committed.isEmpty(); }));
        {
            WriteLock lock(file);
            QVERIFY(lock.locked);
            const int before = reports.samples.size();
            // Held for well over ten busy timeouts while samples keep coming.
            QVERIFY(waitFor([&] { return reports.samples.size() >= before + 6 || !run.isActive(); }));
            QVERIFY(run.isActive());
        }
        QVERIFY(waitFor([&] { return !run.isActive(); }));
        QVERIFY(reports.storeErrors.isEmpty());
        QVERIFY(reports.faults.isEmpty());
        QCOMPARE(reports.ends, QList<CalibrationRun::EndReason>{CalibrationRun::EndReason::Finished});
        QCOMPARE(storedRows("被占用").size(), reports.samples.size());
        QCOMPARE(integrityOf(file), QStringLiteral("ok"));
    }

    // The server drops the station's connections mid-run, as its fast shutdown does: the run ends
    // with its store message and every sample reported committed is there once it is back.
    void serverLostMidRun()
    {
        if (!ServerDatabase::requested())
            QSKIP("needs the PostgreSQL server (ctest label postgresql)");
        PCR_SERVER_RUN_CHECK();
        startSim();
        Collection1611A collector;
        CalibrationRun run(&collector);
        Reports reports(run);
        QVERIFY(run.start(phase("断线", QTime(0, 10, 0), 0.3)));
        QVERIFY(waitFor([&] { return !reports.committed.isEmpty(); }));
        QSqlQuery q(QSqlDatabase::database());
        QVERIFY(q.exec("select pg_terminate_backend(pid) from pg_stat_activity "
                       "where datname = current_database() and pid <> pg_backend_pid()"));
        QVERIFY(waitFor([&] { return !run.isActive(); }));
        QCOMPARE(reports.storeErrors.size(), 1);
        QVERIFY(!reports.storeErrors.first().isEmpty());
        QCOMPARE(reports.ends, QList<CalibrationRun::EndReason>{CalibrationRun::EndReason::StoreFailed});
        QVERIFY(reports.faults.isEmpty());
        QCOMPARE(qint64(storedRows("断线").size()), reports.committed.last());
        QVERIFY(!collector.IsOpen());
    }

    // SIGKILL in the middle of a run at 0.3 s: every sample reported committed is there, at most
    // the last second's samples are missing, nothing is half written.
    void killedMidRun()
    {
        startSim();
        const QString file = ws->path(Tool::DatabaseFileName);
        QProcess child;
        child.setProgram(QStringLiteral(RUN_PROCESS_PATH));
        child.setArguments({file, QStringLiteral("中断"), QStringLiteral("0.3")});
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start();
        QVERIFY(child.waitForStarted(5000));
        int taken = 0;
        qint64 committed = 0;
        QString pending;
        const auto readLines = [&] {
            pending += QString::fromLocal8Bit(child.readAllStandardOutput());
            const int last = pending.lastIndexOf(QLatin1Char('\n'));
            if (last < 0)
                return;
            for (const QString &line : pending.left(last).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                if (line.startsWith(QLatin1String("taken ")))
                    taken = qMax(taken, line.mid(6).toInt() + 1);
                else if (line.startsWith(QLatin1String("committed ")))
                    committed = qMax(committed, line.mid(10).toLongLong());
            }
            pending = pending.mid(last + 1);
        };
        QElapsedTimer t;
        t.start();
        while (taken < 15 && child.state() == QProcess::Running && t.elapsed() < Wait) {
            child.waitForReadyRead(200);
            readLines();
        }
        QVERIFY2(taken >= 15, "the run in the other process took no samples");
        child.kill();
        QVERIFY(child.waitForFinished(5000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        readLines();

        QCOMPARE(integrityOf(file), QStringLiteral("ok"));
        // The next start finds the run's record still marked running: it is listed as
        // interrupted, exported over what it has, and can be deleted; its name is then free.
        // Its lease went with it (a server notices the dropped session in its own time).
        int marked = 0;
        for (int i = 0; i < 3000 && (marked = RunRecords::markInterrupted()) == 0; ++i)
            QThread::msleep(10);
        QCOMPARE(marked, 1);
        QHash<QString, QString> states;
        QVERIFY(RunRecords::states(states));
        QCOMPARE(states.value("中断"), RunRecords::interruptedWord());
        QList<Tool::Struct_Calibration> listed;
        QVERIFY(Tool::getCalibration(listed, QString()));
        QCOMPARE(listed.size(), 1);
        QCOMPARE(listed.first().CalibrationName, QStringLiteral("中断"));
        const auto rows = storedRows("中断");
        {
            ExportJob job(ExportJob::RawDataMode, QStringLiteral("Excel"), listed.first(), ExportJob::Settings{"℃", 2, {}});
            QString message;
            QVERIFY2(job.prepare(ExportJob::wholeRunFrom(), ExportJob::wholeRunTo(), 0.1, nullptr, &message), qPrintable(message));
            QCOMPARE(job.uniformitySamples().size(), rows.size());
            QCOMPARE(job.write(ws->path("中断.xlsx")), 0);
            QVERIFY(QFileInfo(ws->path("中断.xlsx")).size() > 0);
        }
        QVERIFY(Tool::deleteCalibrationData("中断"));
        QVERIFY(RunRecords::remove("中断"));
        QVERIFY(RunRecords::states(states));
        QVERIFY(states.isEmpty());
        QVERIFY(!CalibrationSetup::lookUp(nameOnly("中断")).projectNameUsed);
        qInfo("killed after %d samples taken, %lld reported committed: %d rows stored", taken, committed,
              int(rows.size()));
        QVERIFY2(rows.size() >= committed, qPrintable(QStringLiteral("%1 rows, %2 committed").arg(rows.size()).arg(committed)));
        QVERIFY(rows.size() <= taken);
        // Commits come at least once a second: of the samples taken, at most about a second's
        // worth (four at 0.3 s, one more for the scheduling of a busy machine) may be missing.
        QVERIFY2(rows.size() >= taken - 5, qPrintable(QStringLiteral("%1 rows of %2 taken").arg(rows.size()).arg(taken)));
        // The rows are the first samples of the run, whole and in order.
        const QDateTime first = QDateTime::fromString(rows.value(0).Time, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        for (int i = 0; i < rows.size(); ++i) {
            const QDateTime at = QDateTime::fromString(rows[i].Time, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
            QCOMPARE(first.msecsTo(at), CalibrationRun::sampleOffsetMs(0.3, i));
            QCOMPARE(rows[i].Temperatures.split(',').size(), 16);
        }
    }
};

PCR_TEST_CLASS(AcquisitionTest)
#include "tst_acquisition.moc"
