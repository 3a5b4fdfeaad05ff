// Several stations on one PostgreSQL database: unique registrations under a race, the audit
// chain with concurrent writers, stations seeing each other's records, worker connections, and
// the copy of a station's SQLite file into the server (pcrcal-dbcopy). Runs against the private
// test server (tests/support/pg-test-server.sh); skips without one.
#include "store/DatabaseCopy.h"
#include "store/ThreadConnection.h"
#include "store/auditchain.h"
#include "store/certificates.h"
#include "store/dialect.h"
#include "store/queries.h"
#include "store/tool.h"

#include "../support/Workspace.h"

#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <thread>
#include <vector>

namespace {

QString station()
{
    return QStringLiteral(PG_STATION_PATH);
}

// Starts a station process; the caller waits for it.
std::unique_ptr<QProcess> startStation(const QStringList &args)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(station(), args);
    return p;
}

int finished(QProcess &p)
{
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return p.exitCode();
}

int runCopy(const QStringList &args, QString *out = nullptr)
{
    QProcess p;
    p.start(QStringLiteral(PCRCAL_DBCOPY_PATH), args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    if (out)
        *out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitCode();
}

qint64 rowsIn(const QString &table)
{
    QSqlQuery q(QSqlDatabase::database());
    return q.exec(QStringLiteral("select count(*) from %1").arg(table)) && q.next() ? q.value(0).toLongLong() : -1;
}

} // namespace

class TestPostgreSQL : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;

    QString location() const { return m_ws->databaseSettings().location(); }

private slots:
    void initTestCase()
    {
        if (!ServerDatabase::requested())
            QSKIP("needs the private PostgreSQL server (ctest label postgresql)");
        PCR_SERVER_RUN_CHECK();
    }
    void init()
    {
        m_ws = std::make_unique<Workspace>();
        QVERIFY(m_ws->openDatabase());
        QVERIFY(Tool::isServerDatabase());
    }
    void cleanup() { m_ws.reset(); }

    // Two stations registering the same number at the same moment: the unique key lets one
    // through and refuses the other, which learns that it was a duplicate. Each then sees the
    // other's registrations.
    void sameNumberFromTwoStations()
    {
        const QString go = m_ws->path("go");
        for (int round = 0; round < 3; ++round) {
            const QString number = QStringLiteral("PCR-%1").arg(round);
            auto a = startStation({location(), "add-device", number, go});
            auto b = startStation({location(), "add-device", number, go});
            QVERIFY(a->waitForStarted() && b->waitForStarted());
            QThread::msleep(300);   // both connected and waiting
            m_ws->write("go", "1");
            const QList<int> codes{finished(*a), finished(*b)};
            QFile::remove(go);
            QVERIFY2(codes.contains(0) && codes.contains(3), qPrintable(QStringLiteral("%1 %2").arg(codes[0]).arg(codes[1])));
            QList<Tool::Struct_PCRDevice> devices;
            QVERIFY(Tool::getPCRDevice(devices, number));
            QCOMPARE(devices.size(), 1);
        }
        // What this station adds, another lists.
        Tool::Struct_PCRDevice mine;
        mine.Number = QStringLiteral("HERE-1");
        mine.SerialNumber = QStringLiteral("SN-HERE-1");
        QVERIFY(Tool::addPCRDevice(mine));
        // A second add here is refused the same way, and said to be a duplicate.
        QVERIFY(!Tool::addPCRDevice(mine));
        QVERIFY(Tool::lastWriteWasDuplicate());
        auto lister = startStation({location(), "devices"});
        QCOMPARE(finished(*lister), 0);
        const QStringList listed = QString::fromUtf8(lister->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(listed.size(), 4);
        QVERIFY(listed.contains("HERE-1"));
        QVERIFY(listed.contains("PCR-2"));
    }

    // Stations and worker threads writing audit entries at once keep one unbroken chain.
    void auditChainWithConcurrentWriters()
    {
        const QString go = m_ws->path("go");
        std::vector<std::unique_ptr<QProcess>> stations;
        for (int i = 0; i < 2; ++i) {
            stations.push_back(startStation({location(), "audit", "40", go}));
            QVERIFY(stations.back()->waitForStarted());
        }
        const QString here = Tool::databaseFileName();
        QVERIFY(DatabaseSettings::isServerLocation(here));
        std::vector<std::thread> threads;
        std::atomic<int> opened{0};
        for (int t = 0; t < 3; ++t)
            threads.emplace_back([here, go, t, &opened] {
                ThreadConnection connection(here);
                if (!connection.isOpen())
                    return;
                ++opened;
                while (!QFileInfo::exists(go))
                    QThread::msleep(2);
                for (int i = 0; i < 40; ++i)
                    Tool::SaveAuditLog(AuditEvent::UserLogin, QStringLiteral("thread %1 #%2").arg(t).arg(i));
            });
        QThread::msleep(300);
        m_ws->write("go", "1");
        for (auto &t : threads)
            t.join();
        QCOMPARE(opened.load(), 3);
        for (auto &s : stations)
            QCOMPARE(finished(*s), 0);
        const AuditChain::Verdict v = AuditChain::verify(QSqlDatabase::database());
        QVERIFY2(v.intact, qPrintable(AuditChain::describe(v)));
        QCOMPARE(v.entries, rowsIn("AuditLog"));
        QVERIFY(v.entries >= 5 * 40);
    }

    // The server refuses to change or remove entries, whoever asks. The heads this station saw are
    // prefixes of the shared chain, which other stations have carried on since.
    void auditTrailAppendOnlyAndStationAnchors()
    {
        Tool::CurrentUser.Name = QStringLiteral("admin");
        QVERIFY(Tool::SaveAuditLog(AuditEvent::UserLogin, QStringLiteral("here")));
        QSqlQuery q(QSqlDatabase::database());
        for (const char *change : {"update AuditLog set Details = 'x'", "delete from AuditLog", "truncate AuditLog"})
            QVERIFY2(!q.exec(QLatin1String(change)), change);
        QCOMPARE(rowsIn("AuditLog"), 1);
        auto other = startStation({location(), "audit", "5", m_ws->path("go")});
        m_ws->write("go", "1");
        QVERIFY(other->waitForStarted());
        QCOMPARE(finished(*other), 0);
        QVERIFY(rowsIn("AuditLog") > 1);
        const AuditChain::Verdict v = AuditChain::verifyFile(location());
        QVERIFY2(v.intact && v.anchorsChecked >= 1, qPrintable(AuditChain::describe(v)));
        // A head this station never saw on this chain fails it.
        AuditAnchors::Anchor wrong{1, QString(64, QLatin1Char('0')), {}, QStringLiteral("test")};
        QCOMPARE(AuditChain::verifyFile(location(), {wrong}).failure, AuditChain::Verdict::Failure::Anchor);
    }

    // A station's file copied into an empty server database: every row, in order, counted; a
    // second copy into it is refused and changes nothing.
    void copyToolCopiesAndRefusesNonEmptyTarget()
    {
        // The source: a station's SQLite workspace with records, samples and audit entries.
        Workspace source;
        QVERIFY(Tool::openDatabase(source.path("PCR.db3")));
        Tool::CurrentUser.Name = QStringLiteral("admin");
        for (int i = 0; i < 3; ++i) {
            Tool::Struct_PCRDevice d;
            d.Number = QStringLiteral("N%1").arg(i);
            d.SerialNumber = QStringLiteral("S%1").arg(i);
            d.DeviceName = QStringLiteral("仪器'%1").arg(i);
            QVERIFY(Tool::addPCRDevice(d));
        }
        for (int i = 0; i < 500; ++i)
            QVERIFY(Tool::addCalibrationData({"项目", i % 2 ? "均匀性" : "速率", QStringLiteral("2026-01-01 00:00:%1.000").arg(i % 60, 2, 10, QLatin1Char('0')),
                                              QStringLiteral("%1,2,3").arg(i)}));
        Tool::SaveAuditLog(AuditEvent::UserLogin, QStringLiteral("登录。"));
        Tool::SaveAuditLog(AuditEvent::PCRDeviceAdd, QStringLiteral("添加。"));
        Tool::Struct_Calibration project;
        project.CalibrationName = QStringLiteral("项目");
        project.CalibrationTime = QStringLiteral("2026-01-01 00:00:00");
        QVERIFY(Certificates::allocate(project, Certificates::defaultPattern(), QDate(2026, 1, 2)).ok);
        Tool::closeDatabase();

        // An empty target on the server.
        const DatabaseSettings target = ServerDatabase::create();
        QVERIFY(target.isPostgreSQL());
        QString output;
        QCOMPARE(runCopy({"--from", "sqlite:" + source.path("PCR.db3"), "--to", target.location()}, &output), 0);
        QVERIFY2(output.contains("CalibrationData\t500"), qPrintable(output));
        QVERIFY2(output.contains("CertificateNumber\t1"), qPrintable(output));

        QVERIFY(Tool::openDatabase(target));
        QCOMPARE(rowsIn("CalibrationData"), 500);
        QCOMPARE(rowsIn("UesrManagement"), 1);   // the station's accounts, no second initial one
        QCOMPARE(Certificates::keptNumber(project), QStringLiteral("PCR2026-0001"));
        QList<Tool::Struct_PCRDevice> devices;
        QVERIFY(Tool::getPCRDevice(devices, "N1"));
        QCOMPARE(devices.value(0).DeviceName, QStringLiteral("仪器'1"));
        QList<Tool::Struct_CalibrationData> samples;
        QVERIFY(Tool::queryCalibrationData(samples, Queries::calibrationDataOf("项目")));
        QCOMPARE(samples.size(), 500);
        for (int i = 0; i < samples.size(); ++i)
            QCOMPARE(samples.at(i).Temperatures, QStringLiteral("%1,2,3").arg(i));
        const AuditChain::Verdict v = AuditChain::verify(QSqlDatabase::database());
        QVERIFY2(v.intact, qPrintable(AuditChain::describe(v)));
        // The copied chain goes on here.
        Tool::SaveAuditLog(AuditEvent::UserLogin, QStringLiteral("在服务器上登录。"));
        QVERIFY(AuditChain::verify(QSqlDatabase::database()).intact);
        Tool::closeDatabase();

        // Not again into a database that holds rows, nor from what is not a database of ours.
        QCOMPARE(runCopy({"--from", "sqlite:" + source.path("PCR.db3"), "--to", target.location()}, &output), 4);
        source.write("other.db3", "not a database");
        QCOMPARE(runCopy({"--from", source.path("other.db3"), "--to", ServerDatabase::create().location()}), 2);
        QCOMPARE(runCopy({"--from", source.path("missing.db3"), "--to", target.location()}), 2);
        QCOMPARE(runCopy({"--from", "sqlite:" + source.path("PCR.db3")}), 1);
        QCOMPARE(runCopy({"--from", "sqlite:" + source.path("PCR.db3"), "--to", "postgresql://u:secret@h/db"}), 1);
        QVERIFY(Tool::openDatabase(target));
        QCOMPARE(rowsIn("CalibrationData"), 500);
    }

    // A unique key the copy runs into (an older file holding a number twice) leaves the target
    // as it was: nothing committed.
    void copyOfDuplicatesLeavesTargetEmpty()
    {
        Workspace source;
        QVERIFY(Tool::openDatabase(source.path("PCR.db3")));
        Tool::Struct_Layout layout;
        layout.Name = QStringLiteral("同名");
        QVERIFY(Tool::addLayout(layout));
        QVERIFY(Tool::addLayout(layout));   // SQLite keeps what older files hold
        Tool::closeDatabase();
        const DatabaseSettings target = ServerDatabase::create();
        DatabaseCopy::Report report;
        DatabaseSettings from;
        from.file = source.path("PCR.db3");
        QCOMPARE(DatabaseCopy::copy(from, target, &report), DatabaseCopy::Status::CopyFailed);
        QVERIFY(report.error.contains("Layout"));
        QVERIFY(Tool::openDatabase(target));
        QCOMPARE(rowsIn("Layout"), 0);
        QCOMPARE(rowsIn("UesrManagement"), 1);   // opened by the program: its initial account
    }
};

QTEST_GUILESS_MAIN(TestPostgreSQL)
#include "tst_postgresql.moc"
