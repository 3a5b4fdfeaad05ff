// Backups and restores against real SQLite files in WAL mode: what the -wal holds is in every
// snapshot, a snapshot taken while another thread stores samples loses none of them and holds
// exactly a prefix of them, a cancelled one leaves nothing, and a restore neither leaves a stale
// -wal beside the restored file nor swaps a file another connection still holds.

#include "store/Backup.h"
#include "store/ThreadConnection.h"
#include "store/datawords.h"
#include "store/tool.h"

#include "../support/Connection.h"
#include "../support/Workspace.h"
#include "../support/file_permissions.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

const QString Model = DataWords::uniformityItem();

// A look into fileName on a connection of its own; `immutable`: the file alone, without its -wal.
Connection look(const QString &fileName, bool immutable = false)
{
    static int serial = 0;
    return Connection(fileName, QStringLiteral("tst-%1").arg(++serial), immutable);
}

Tool::Struct_PCRDevice device(const QString &number)
{
    Tool::Struct_PCRDevice d;
    d.Number = number;
    return d;
}

bool hasDevice(const QString &number)
{
    QList<Tool::Struct_PCRDevice> list;
    return Tool::getPCRDevice(list, number) && list.size() == 1;
}

QStringList filesIn(const QString &dir)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

QByteArray header(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.read(100) : QByteArray();
}

bool addSamples(int from, int count, int probes = 16)
{
    QSqlDatabase::database().transaction();
    for (int i = from; i < from + count; ++i) {
        QStringList values;
        for (int p = 0; p < probes; ++p)
            values << QString::number(60.0 + 0.01 * p + 0.001 * i, 'f', 4);
        if (!Tool::addCalibrationData({QStringLiteral("run"), Model, QString::number(i), values.join(QLatin1Char(','))}))
            return false;
    }
    return QSqlDatabase::database().commit();
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rules_data();
    void rules();
    void settingsRoundTrip();
    void snapshotHoldsWhatTheWalHolds();
    void snapshotWhileAnotherThreadStoresSamples();
    void cancelledSnapshotLeavesNothing();
    void restoreOverALiveWal();
    void restoreTakesTheWalOfItsSource();
    void checkReadsThroughTheWalAndFromReadOnlyMedia();
    void restoreRefusesAFileStillHeld();
    void restoreThatDoesNotOpenPutsTheLiveFileBack();

private:
    QString path(const QString &name) const { return m_ws->path(name); }
    QString live() const { return path(QStringLiteral("PCR.db3")); }
    bool restore(const QString &source, std::function<bool()> reopen = {});
    std::unique_ptr<Workspace> m_ws;
};

void TestBackup::init()
{
    m_ws = std::make_unique<Workspace>();
    QVERIFY(m_ws->openDatabase());
    QVERIFY(QDir(path(".")).mkdir("bk"));
}

void TestBackup::cleanup()
{
    m_ws.reset();
}

// Both steps of a restore as the settings page runs them (here all on one thread).
bool TestBackup::restore(const QString &source, std::function<bool()> reopen)
{
    if (!reopen)
        reopen = [this] { return Tool::openDatabase(live()); };
    QString staging, error;
    if (Backup::stage(source, live(), &staging, {}, &error) != Backup::RestoreResult::Done)
        return false;
    return Backup::swapIn(staging, live(), [] { Tool::closeDatabase(); }, reopen, &error) == Backup::RestoreResult::Done;
}

void TestBackup::rules_data()
{
    QTest::addColumn<QDateTime>("last");
    QTest::addColumn<int>("cycle");
    QTest::addColumn<bool>("due");
    const QDateTime now(QDate(2024, 6, 10), QTime(12, 0, 0));
    QTest::newRow("never backed up") << QDateTime() << 1 << true;
    QTest::newRow("cycle 0") << now << 0 << true;
    QTest::newRow("exactly a cycle ago") << now.addDays(-1) << 1 << true;
    QTest::newRow("a second short") << now.addDays(-1).addSecs(1) << 1 << false;
    QTest::newRow("six of seven days") << now.addDays(-6) << 7 << false;
    QTest::newRow("eight of seven days") << now.addDays(-8) << 7 << true;
}

void TestBackup::rules()
{
    QFETCH(QDateTime, last);
    QFETCH(int, cycle);
    QFETCH(bool, due);
    const QDateTime now(QDate(2024, 6, 10), QTime(12, 0, 0));
    QCOMPARE(Backup::isDue(last, cycle, now), due);
    QCOMPARE(Backup::targetPath(QStringLiteral("D:\\data\\bk"), now), QStringLiteral("D:/data/bk/2024_06_10_12_00_PCR.db3"));
}

void TestBackup::settingsRoundTrip()
{
    const Backup::Settings none = Backup::Settings::read();
    QVERIFY(!none.autoBackup);
    QCOMPARE(none.cycleDays, 0);
    QVERIFY(none.folder.isEmpty());
    QVERIFY(!none.lastBackup.isValid());

    const QDateTime when(QDate(2024, 6, 10), QTime(12, 30, 5));
    QVERIFY(Backup::writeAutoBackup(true, 7));
    QVERIFY(Backup::writeFolder(path("bk")));
    QVERIFY(Backup::writeLastBackup(when));
    const Backup::Settings s = Backup::Settings::read();
    QVERIFY(s.autoBackup);
    QCOMPARE(s.cycleDays, 7);
    QCOMPARE(s.folder, path("bk"));
    QCOMPARE(s.lastBackup, when);
    QCOMPARE(Tool::configFile()->value("Backups/BackupTime").toString(), QStringLiteral("2024-06-10 12:30:05"));
}

void TestBackup::snapshotHoldsWhatTheWalHolds()
{
    QVERIFY(Workspace::sql("PRAGMA wal_checkpoint(TRUNCATE)"));   // the tables into the file itself
    QVERIFY(addSamples(0, 300));
    // The rows sit in the -wal; the file alone does not have them yet.
    QVERIFY(QFileInfo(live() + "-wal").size() > 0);
    QCOMPARE(look(live(), true).count("select count(*) from CalibrationData"), 0);

    const QString target = path("bk/copy.db3");
    QString error;
    QVERIFY2(Tool::backupDatabase(target, &error), qPrintable(error));
    const Connection copy = look(target);
    QCOMPARE(copy.count("select count(*) from CalibrationData"), 300);
    QCOMPARE(copy.text("pragma integrity_check"), QStringLiteral("ok"));
    // A plain file that opens anywhere: not marked for WAL, nothing beside it.
    QCOMPARE(header(target).mid(18, 2), QByteArray("\x01\x01", 2));
    QCOMPARE(look(target, true).count("select count(*) from CalibrationData"), 300);
    QCOMPARE(filesIn(path("bk")), QStringList{"copy.db3"});
    QVERIFY(Tool::isPcrDatabase(target));
    // Never over an existing file, nor over the live one.
    QVERIFY(!Tool::backupDatabase(target));
    QVERIFY(!Tool::backupDatabase(live()));
    QVERIFY(!Tool::backupDatabase(path("missing/x.db3")));
}

// Samples are committed one at a time by a worker on its own connection while the snapshot is
// taken in small steps; between the steps the snapshot waits for the worker to commit more, so
// the worker demonstrably goes on storing while the snapshot holds its read transaction.
void TestBackup::snapshotWhileAnotherThreadStoresSamples()
{
    QVERIFY(addSamples(0, 2000));
    const QString file = Tool::databaseFileName();
    std::atomic<int> committed{2000};
    std::atomic<bool> stop{false};
    std::atomic<bool> failed{false};
    std::unique_ptr<QThread> writer(QThread::create([&] {
        ThreadConnection connection(file);
        for (int i = 2000; !stop; ++i) {
            QStringList values;
            for (int p = 0; p < 16; ++p)
                values << QStringLiteral("61.2345");
            if (!Tool::addCalibrationData({QStringLiteral("run"), Model, QString::number(i), values.join(QLatin1Char(','))})) {
                failed = true;
                return;
            }
            committed = i + 1;
            QThread::msleep(1);
        }
    }));
    writer->start();
    auto waitFor = [&](int rows) {
        QDeadlineTimer deadline(20000);
        while (committed < rows && !failed && !deadline.hasExpired())
            QThread::msleep(2);
        return committed >= rows;
    };
    QVERIFY(waitFor(2010));

    const int before = committed;
    int atFirstStep = -1;
    int steps = 0;
    bool keptWriting = true;
    Backup::Control control;
    control.stepPages = 8;
    control.progress = [&](qint64 done, qint64 total) {
        ++steps;
        if (atFirstStep < 0)
            atFirstStep = committed;
        if (done < total)
            keptWriting = keptWriting && waitFor(committed + 3);
    };
    QString error;
    const Backup::Result result = Backup::snapshot(file, path("bk/during.db3"), control, &error);
    stop = true;
    writer->wait();
    QCOMPARE(result, Backup::Result::Done);
    QVERIFY(!failed);
    QVERIFY(keptWriting);
    QVERIFY(steps > 10);

    // The run lost nothing.
    QSqlQuery q(QSqlDatabase::database());
    QVERIFY(q.exec("select count(*), max(cast(Time as integer)) from CalibrationData") && q.next());
    QCOMPARE(q.value(0).toInt(), int(committed));
    QCOMPARE(q.value(1).toInt(), committed - 1);
    // The copy holds every row committed before it began and nothing later, without a gap.
    const Connection copy = look(path("bk/during.db3"));
    const int held = copy.count("select count(*) from CalibrationData");
    QVERIFY2(held >= before && held <= atFirstStep, qPrintable(QStringLiteral("%1 <= %2 <= %3").arg(before).arg(held).arg(atFirstStep)));
    QCOMPARE(copy.count("select max(cast(Time as integer)) from CalibrationData"), held - 1);
    QCOMPARE(copy.text("pragma integrity_check"), QStringLiteral("ok"));
}

void TestBackup::cancelledSnapshotLeavesNothing()
{
    QVERIFY(addSamples(0, 1000));
    std::atomic<bool> cancel{false};
    Backup::Control control;
    control.cancel = &cancel;
    control.stepPages = 4;
    int steps = 0;
    control.progress = [&](qint64, qint64) {
        if (++steps == 3)
            cancel = true;
    };
    QCOMPARE(Backup::snapshot(Tool::databaseFileName(), path("bk/cancelled.db3"), control), Backup::Result::Cancelled);
    QCOMPARE(steps, 3);
    QCOMPARE(filesIn(path("bk")), QStringList());
    // The next one is made in full.
    QCOMPARE(Backup::snapshot(Tool::databaseFileName(), path("bk/cancelled.db3")), Backup::Result::Done);
    QCOMPARE(filesIn(path("bk")), QStringList{"cancelled.db3"});
}

void TestBackup::restoreOverALiveWal()
{
    QVERIFY(Tool::addPCRDevice(device("BACKED")));
    QVERIFY(Tool::backupDatabase(path("bk/b.db3")));
    QVERIFY(Tool::addPCRDevice(device("LIVE")));
    QVERIFY(addSamples(0, 200));
    QVERIFY(QFileInfo(live() + "-wal").size() > 0);
    const QStringList before = filesIn(path("."));

    QVERIFY(restore(path("bk/b.db3")));
    QVERIFY(Tool::isDatabaseOpen());
    // What the old -wal held did not find its way into the restored file.
    QVERIFY(hasDevice("BACKED"));
    QVERIFY(!hasDevice("LIVE"));
    QSqlQuery q(QSqlDatabase::database());
    QVERIFY(q.exec("select count(*) from CalibrationData") && q.next());
    QCOMPARE(q.value(0).toInt(), 0);
    QVERIFY(q.exec("pragma integrity_check") && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
    // In WAL mode again, and nothing left over beside it.
    QVERIFY(q.exec("pragma journal_mode") && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
    QCOMPARE(filesIn(path(".")), before);
    QVERIFY(Tool::addPCRDevice(device("NEXT")));
}

// A live database of another workspace, its newest rows still in its -wal: the restore takes
// them.
void TestBackup::restoreTakesTheWalOfItsSource()
{
    {
        Workspace other;
        QVERIFY(other.openDatabase());
        QVERIFY(Tool::addPCRDevice(device("OTHER")));
        const QString source = other.path("PCR.db3");
        const Connection holder = look(source);   // keeps the -wal from being folded in on close
        QCOMPARE(holder.count("select count(*) from PCRDevice"), 1);
        Tool::closeDatabase();
        QVERIFY(QFileInfo(source + "-wal").size() > 0);
        QVERIFY(QFile::copy(source, path("bk/other.db3")));
        QVERIFY(QFile::copy(source + "-wal", path("bk/other.db3-wal")));
    }
    QVERIFY(m_ws->openDatabase());
    // The file alone does not hold the instrument (nor even its table).
    QVERIFY(look(path("bk/other.db3"), true).count("select count(*) from PCRDevice") < 1);
    QVERIFY(restore(path("bk/other.db3")));
    QVERIFY(hasDevice("OTHER"));
}

// The check of a chosen file sees the tables its -wal holds and leaves the -wal as it was; a
// file marked for WAL on read-only media (no -shm can be made there) is still read.
void TestBackup::checkReadsThroughTheWalAndFromReadOnlyMedia()
{
    {
        const Connection holder = look(live());
        QCOMPARE(holder.count("select count(*) from UesrManagement"), 1);
        QVERIFY(Tool::backupDatabase(path("bk/plain.db3")));
        Tool::closeDatabase();
        QVERIFY(QFile::copy(live(), path("bk/walled.db3")));
        QVERIFY(QFile::copy(live() + "-wal", path("bk/walled.db3-wal")));
    }
    QFile walFile(path("bk/walled.db3-wal"));
    QVERIFY(walFile.open(QIODevice::ReadOnly));
    const QByteArray before = walFile.readAll();
    walFile.close();
    QVERIFY(look(path("bk/walled.db3"), true).count("select count(*) from UesrManagement") < 1);
    QVERIFY(Tool::isPcrDatabase(path("bk/walled.db3")));
    QVERIFY(walFile.open(QIODevice::ReadOnly));
    QCOMPARE(walFile.readAll(), before);
    walFile.close();

    // A copy whose header says WAL, alone in a folder nobody may write into.
    QVERIFY(QDir(path(".")).mkdir("media"));
    {
        const Connection convert = look(path("bk/plain.db3"));
        QCOMPARE(convert.text("pragma journal_mode=wal"), QStringLiteral("wal"));
    }
    QVERIFY(QFile::copy(path("bk/plain.db3"), path("media/wal-marked.db3")));
    QCOMPARE(header(path("media/wal-marked.db3")).mid(18, 2), QByteArray("\x02\x02", 2));
    QVERIFY(QFile::setPermissions(path("media"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    {
        AsOrdinaryUser ordinary;
        QVERIFY(ordinary.active());
        QVERIFY(Tool::isPcrDatabase(path("media/wal-marked.db3")));
        // And it can be restored from there.
        QVERIFY(m_ws->openDatabase());
        QString staging;
        QCOMPARE(Backup::stage(path("media/wal-marked.db3"), live(), &staging), Backup::RestoreResult::Done);
        QVERIFY(Tool::isPcrDatabase(staging));
        QFile::remove(staging);
    }
    QVERIFY(QFile::setPermissions(path("media"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QCOMPARE(filesIn(path("media")), QStringList{"wal-marked.db3"});
}

void TestBackup::restoreRefusesAFileStillHeld()
{
    QVERIFY(Tool::backupDatabase(path("bk/b.db3")));
    QVERIFY(Tool::addPCRDevice(device("LIVE")));
    const QStringList before = filesIn(path("."));
    {
        // Another connection (another program, say) has the live file open.
        const Connection holder = look(live());
        QCOMPARE(holder.count("select count(*) from PCRDevice"), 1);
        QVERIFY(!restore(path("bk/b.db3")));
        QVERIFY(Tool::isDatabaseOpen());
        QVERIFY(hasDevice("LIVE"));
    }
    {
        // A worker reading on its own connection.
        ThreadConnection reader(live());
        QVERIFY(reader.isOpen());
        QCOMPARE(ThreadConnection::openCount(live()), 1);
        QString staging;
        QCOMPARE(Backup::stage(path("bk/b.db3"), live(), &staging), Backup::RestoreResult::Done);
        QCOMPARE(Backup::swapIn(staging, live(), [] { Tool::closeDatabase(); }, [this] { return Tool::openDatabase(live()); }),
                 Backup::RestoreResult::Failed);
    }
    QVERIFY(Tool::isDatabaseOpen());
    QVERIFY(hasDevice("LIVE"));
    QCOMPARE(filesIn(path(".")), before);
}

void TestBackup::restoreThatDoesNotOpenPutsTheLiveFileBack()
{
    QVERIFY(Tool::backupDatabase(path("bk/b.db3")));
    QVERIFY(Tool::addPCRDevice(device("LIVE")));
    QVERIFY(addSamples(0, 50));
    const QStringList before = filesIn(path("."));
    int opens = 0;
    QVERIFY(!restore(path("bk/b.db3"), [&] {
        // The restored file "does not open"; the live one, put back, does.
        return ++opens > 1 && Tool::openDatabase(live());
    }));
    QCOMPARE(opens, 2);
    QVERIFY(Tool::isDatabaseOpen());
    QVERIFY(hasDevice("LIVE"));
    QSqlQuery q(QSqlDatabase::database());
    QVERIFY(q.exec("select count(*) from CalibrationData") && q.next());
    QCOMPARE(q.value(0).toInt(), 50);
    QCOMPARE(filesIn(path(".")), before);
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
