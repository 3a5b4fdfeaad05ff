// Backup and restore benchmark: the settings page backs up and restores a database holding ten
// day-long 16-probe runs. Both run on the GUI thread, so their times are how long the window
// does not respond.
//
//   bench_settings [FOLDER]   (default: a temporary folder under the current directory)

#include "app/SystemSet.h"
#include "app/messages.h"
#include "store/datawords.h"
#include "store/tool.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int Rows = 86400;   // 24 h at 1 s
constexpr int Probes = 16;
constexpr int Projects = 10;

double seconds(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temp(QDir::currentPath() + QStringLiteral("/bench_settings-XXXXXX"));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    QDir(folder).removeRecursively();
    QDir().mkpath(folder + QStringLiteral("/bk"));
    QDir::setCurrent(folder);
    if (!Tool::openDatabase()) {
        std::fprintf(stderr, "cannot open %s/PCR.db3\n", qPrintable(folder));
        return 1;
    }

    const QDateTime start(QDate(2024, 6, 1), QTime(8, 0, 0));
    for (int p = 0; p < Projects; ++p) {
        QSqlDatabase::database().transaction();
        for (int i = 0; i < Rows; ++i) {
            QStringList values;
            for (int c = 0; c < Probes; ++c)
                values << QString::number(60.0 + 35.0 * ((i / 600) % 2) + 0.013 * c + 0.000001 * (i % 997), 'f', 4);
            Tool::addCalibrationData({QStringLiteral("project-%1").arg(p), DataWords::uniformityItem(),
                                      start.addDays(p).addSecs(i).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")),
                                      values.join(QLatin1Char(','))});
        }
        QSqlDatabase::database().commit();
    }
    std::printf("database: %d rows, %.1f MB\n", Projects * Rows, double(QFileInfo(QStringLiteral("PCR.db3")).size()) / 1e6);

    Tool::CurrentUser.setAllRights(true);
    MessageRecorder boxes;
    SystemSet page;
    QObject::connect(&page, &SystemSet::sp_SQListClose_signals, [] { Tool::closeDatabase(); });
    QObject::connect(&page, &SystemSet::sp_SQListOpen_signals, [] { Tool::openDatabase(); });
    page.setBackups(false, 1, folder + QStringLiteral("/bk"));

    QElapsedTimer t;
    t.start();
    page.findChild<QPushButton *>(QStringLiteral("pushButton_Backups"))->click();
    const double backup = seconds(t);
    const QStringList made = QDir(folder + QStringLiteral("/bk")).entryList(QDir::Files);
    if (boxes.texts() != QStringList{QStringLiteral("备份成功！")} || made.size() != 1) {
        std::fprintf(stderr, "backup failed: %s\n", qPrintable(boxes.texts().join(QLatin1Char(' '))));
        return 1;
    }
    const QString copy = folder + QStringLiteral("/bk/") + made.first();
    std::printf("manual backup (consistent snapshot): %.2f s, %.1f MB written\n", backup,
                double(QFileInfo(copy).size()) / 1e6);

    t.start();
    const bool valid = Tool::isPcrDatabase(copy);
    std::printf("checking a chosen file before a restore: %.3f s (%s)\n", seconds(t), valid ? "valid" : "invalid");

    SystemSet::chooseFile = [copy](QWidget *, const QString &, const QString &, const QString &) { return copy; };
    boxes.clear();
    t.start();
    page.findChild<QPushButton *>(QStringLiteral("pushButton_Recovery"))->click();
    const double restore = seconds(t);
    if (boxes.texts() != QStringList{QStringLiteral("恢复成功！")}) {
        std::fprintf(stderr, "restore failed: %s\n", qPrintable(boxes.texts().join(QLatin1Char(' '))));
        return 1;
    }
    std::printf("restore (check, copy, swap, reopen, audit entry): %.2f s\n", restore);
    Tool::closeDatabase();
    return 0;
}
