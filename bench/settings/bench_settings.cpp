// Backup and restore benchmark: the settings page backs up and restores a database of about
// 230 MB (day-long 16-probe runs) while the GUI thread's stall is measured as the worst lateness
// of a 10 ms timer on it, beside the most processor time it spent between two ticks. During the
// backup a second thread stores a sample every 100 ms on its own connection, as a run does; the
// longest of its commits is reported too.
//
//   bench_settings [FOLDER] [MB]   (default: a temporary folder under the current directory, 230)

#include "../support/StallMeter.h"

#include "app/SystemSet.h"
#include "app/messages.h"
#include "store/datawords.h"
#include "store/tool.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <memory>

namespace {

constexpr int Rows = 86400;   // 24 h at 1 s
constexpr int Probes = 16;

double megabytes(const QString &file)
{
    return double(QFileInfo(file).size() + QFileInfo(file + QStringLiteral("-wal")).size()) / 1e6;
}

QString sampleValues(int i)
{
    QStringList values;
    for (int c = 0; c < Probes; ++c)
        values << QString::number(60.0 + 35.0 * ((i / 600) % 2) + 0.013 * c + 0.000001 * (i % 997), 'f', 4);
    return values.join(QLatin1Char(','));
}

// Day-long projects until the file holds `mb` megabytes.
bool fill(double mb)
{
    const QDateTime start(QDate(2024, 6, 1), QTime(8, 0, 0));
    for (int p = 0; megabytes(Tool::DatabaseFileName) < mb; ++p) {
        QSqlDatabase::database().transaction();
        for (int i = 0; i < Rows; ++i)
            if (!Tool::addCalibrationData({QStringLiteral("project-%1").arg(p), DataWords::uniformityItem(),
                                           start.addDays(p).addSecs(i).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")),
                                           sampleValues(i)}))
                return false;
        if (!QSqlDatabase::database().commit())
            return false;
    }
    QSqlQuery(QSqlDatabase::database()).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return true;
}

// Stores a sample every 100 ms on a connection of its own, timing each commit.
class Writer
{
public:
    explicit Writer(const QString &file)
    {
        m_thread.reset(QThread::create([this, file] {
            const QString name = QStringLiteral("bench-writer");
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                db.setDatabaseName(file);
                if (db.open()) {
                    QSqlQuery q(db);
                    q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
                    q.prepare(QStringLiteral("insert into CalibrationData values (?, ?, ?, ?)"));
                    for (int i = 0; !m_stop; ++i) {
                        q.addBindValue(QStringLiteral("live"));
                        q.addBindValue(DataWords::uniformityItem());
                        q.addBindValue(QString::number(i));
                        q.addBindValue(sampleValues(i));
                        QElapsedTimer t;
                        t.start();
                        if (!q.exec())
                            ++m_failed;
                        m_worst = std::max<qint64>(m_worst, t.elapsed());
                        ++m_rows;
                        QThread::msleep(100);
                    }
                }
                db.close();
            }
            QSqlDatabase::removeDatabase(name);
        }));
        m_thread->start();
    }
    ~Writer() { stop(); }
    void stop()
    {
        m_stop = true;
        m_thread->wait();
    }
    int rows() const { return m_rows; }
    int failed() const { return m_failed; }
    qint64 worstMs() const { return m_worst; }

private:
    std::unique_ptr<QThread> m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_rows{0};
    std::atomic<int> m_failed{0};
    std::atomic<qint64> m_worst{0};
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QTemporaryDir temp(QDir::currentPath() + QStringLiteral("/bench_settings-XXXXXX"));
    const QString folder = argc > 1 ? QDir(QString::fromLocal8Bit(argv[1])).absolutePath() : temp.path();
    const double mb = argc > 2 ? QString::fromLocal8Bit(argv[2]).toDouble() : 230.0;
    QDir().mkpath(folder);
    QDir::setCurrent(folder);
    QDir(QStringLiteral("bk")).removeRecursively();
    QDir().mkpath(QStringLiteral("bk"));
    if (!Tool::openDatabase()) {
        std::fprintf(stderr, "cannot open %s/PCR.db3\n", qPrintable(folder));
        return 1;
    }
    if (megabytes(Tool::DatabaseFileName) < mb && !fill(mb)) {
        std::fprintf(stderr, "cannot fill the database\n");
        return 1;
    }
    std::printf("database: %.1f MB\n", megabytes(Tool::DatabaseFileName));

    Tool::CurrentUser.setAllRights(true);
    MessageRecorder boxes;
    SystemSet page;
    QObject::connect(&page, &SystemSet::sp_SQListClose_signals, [] { Tool::closeDatabase(); });
    QObject::connect(&page, &SystemSet::sp_SQListOpen_signals, [] { Tool::openDatabase(); });
    page.setBackups(false, 1, folder + QStringLiteral("/bk"));
    page.show();
    StallMeter meter;

    meter.start();
    {
        Writer writer(QFileInfo(Tool::DatabaseFileName).absoluteFilePath());
        page.findChild<QPushButton *>(QStringLiteral("pushButton_Backups"))->click();
        StallMeter::waitUntil([&] { return !boxes.isEmpty(); }, 600000);
        meter.stop();
        writer.stop();
        std::printf("backup: worst GUI stall %lld ms (longest busy %.1f ms) over %.2f s; a run stored %d samples meanwhile, "
                    "%d failed, longest commit %lld ms\n",
                    meter.worstMs(), meter.worstBusyMs(), meter.elapsedMs() / 1000.0, writer.rows(), writer.failed(),
                    writer.worstMs());
    }
    const QStringList made = QDir(folder + QStringLiteral("/bk")).entryList(QDir::Files);
    if (boxes.texts() != QStringList{QStringLiteral("备份成功！")} || made.size() != 1) {
        std::fprintf(stderr, "backup failed: %s\n", qPrintable(boxes.texts().join(QLatin1Char(' '))));
        return 1;
    }
    const QString copy = folder + QStringLiteral("/bk/") + made.first();
    std::printf("        %.1f MB written\n", megabytes(copy));

    QElapsedTimer t;
    t.start();
    const bool valid = Tool::isPcrDatabase(copy);
    std::printf("checking a chosen file before a restore: %.3f s (%s)\n", double(t.nsecsElapsed()) / 1e9,
                valid ? "valid" : "invalid");

    SystemSet::chooseFile = [copy](QWidget *, const QString &, const QString &, const QString &) { return copy; };
    boxes.clear();
    meter.start();
    page.findChild<QPushButton *>(QStringLiteral("pushButton_Recovery"))->click();
    StallMeter::waitUntil([&] { return !boxes.isEmpty(); }, 600000);
    meter.stop();
    if (boxes.texts() != QStringList{QStringLiteral("恢复成功！")}) {
        std::fprintf(stderr, "restore failed: %s\n", qPrintable(boxes.texts().join(QLatin1Char(' '))));
        return 1;
    }
    std::printf("restore (check, copy, swap, reopen, audit entry): worst GUI stall %lld ms (longest busy %.1f ms) over %.2f s\n",
                meter.worstMs(), meter.worstBusyMs(), meter.elapsedMs() / 1000.0);
    Tool::closeDatabase();
    return 0;
}
