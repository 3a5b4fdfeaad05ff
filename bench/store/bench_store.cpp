// Store benchmark: a day-long 16-probe run stored sample by sample, as the acquisition does, then
// one project read back from a file holding ten such projects.
//
//   bench_store [FOLDER]   (default: a temporary folder under the current directory)

#include "store/datawords.h"
#include "store/queries.h"
#include "store/tool.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rows = 86400;   // 24 h at 1 s
constexpr int Probes = 16;
constexpr int Projects = 10;
const QString Model = DataWords::uniformityItem();

Tool::Struct_CalibrationData sample(const QString &project, const QDateTime &start, int i)
{
    QStringList values;
    values.reserve(Probes);
    for (int p = 0; p < Probes; ++p)
        values << QString::number(60.0 + 35.0 * ((i / 600) % 2) + 0.013 * p + 0.000001 * (i % 997), 'f', 6);
    return {project, Model, start.addMSecs(qint64(i) * 1000).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")),
            values.join(QLatin1Char(','))};
}

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

void plan(const Tool::Statement &s)
{
    QSqlQuery q(QSqlDatabase::database());
    q.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + s.sql);
    for (const QVariant &v : s.values)
        q.addBindValue(v);
    if (!q.exec())
        return;
    while (q.next())
        std::printf("    plan: %s\n", qPrintable(q.value(3).toString()));
}

double timedRead(const Tool::Statement &s, int *rows)
{
    QList<Tool::Struct_CalibrationData> list;
    QElapsedTimer t;
    t.start();
    if (!Tool::queryCalibrationData(list, s))
        return -1;
    *rows = list.size();
    return ms(t.nsecsElapsed());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp(QDir::currentPath() + QStringLiteral("/bench_store-XXXXXX"));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    QDir().mkpath(folder);
    const QString file = folder + QStringLiteral("/PCR.db3");
    QFile::remove(file);
    if (!Tool::openDatabase(file)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(file));
        return 1;
    }
    std::printf("database: %s (journal and sync as the program uses them)\n", qPrintable(file));

    // 1. One project, one autocommitted insert per sample, as the run stores them.
    const QDateTime start(QDate(2024, 6, 1), QTime(8, 0, 0));
    std::vector<qint64> each;
    each.reserve(Rows);
    QElapsedTimer total, one;
    total.start();
    for (int i = 0; i < Rows; ++i) {
        const auto row = sample(QStringLiteral("project-0"), start, i);
        one.start();
        if (!Tool::addCalibrationData(row)) {
            std::fprintf(stderr, "insert %d failed\n", i);
            return 1;
        }
        each.push_back(one.nsecsElapsed());
    }
    const double totalMs = ms(total.nsecsElapsed());
    std::sort(each.begin(), each.end());
    auto pct = [&each](double p) { return ms(each[size_t(p * double(each.size() - 1))]); };
    std::printf("insert %d rows of %d values, one statement each: %.1f s total\n", Rows, Probes, totalMs / 1000);
    std::printf("  per insert: mean %.3f ms, median %.3f ms, p99 %.3f ms, max %.3f ms\n", totalMs / Rows,
                pct(0.5), pct(0.99), ms(each.back()));

    // 2. Nine more projects (filled in transactions: only the reading is measured here).
    for (int p = 1; p < Projects; ++p) {
        QSqlDatabase::database().transaction();
        for (int i = 0; i < Rows; ++i)
            Tool::addCalibrationData(sample(QStringLiteral("project-%1").arg(p), start.addDays(p), i));
        QSqlDatabase::database().commit();
    }
    std::printf("file with %d projects, %d rows: %.1f MB\n", Projects, Projects * Rows,
                double(QFileInfo(file).size()) / 1e6);

    // 3. Read one project back: cold-ish (reopened) and warm, by name and model and by name.
    Tool::closeDatabase();
    Tool::openDatabase(file);
    const Tool::Statement byModel = Queries::calibrationDataOf(QStringLiteral("project-5"), Model);
    const Tool::Statement byName{QStringLiteral("select * from CalibrationData where Name = ?"),
                                 {QStringLiteral("project-5")}};
    std::printf("read project-5 by name and model:\n");
    plan(byModel);
    int rows = 0;
    const double first = timedRead(byModel, &rows);
    const double again = timedRead(byModel, &rows);
    std::printf("  %d rows: %.1f ms after reopening, %.1f ms again\n", rows, first, again);
    std::printf("read project-5 by name (Tool::getCalibrationData):\n");
    plan(byName);
    QList<Tool::Struct_CalibrationData> list;
    QElapsedTimer t;
    t.start();
    Tool::getCalibrationData(list, QStringLiteral("project-5"));
    std::printf("  %d rows: %.1f ms\n", int(list.size()), ms(t.nsecsElapsed()));

    // For comparison: the same read without the index (a full scan of the table).
    QSqlQuery q(QSqlDatabase::database());
    q.exec(QStringLiteral("drop index CalibrationData_Name_Model"));
    std::printf("without the index:\n");
    plan(byModel);
    const double scan = timedRead(byModel, &rows);
    std::printf("  %d rows: %.1f ms\n", rows, scan);
    Tool::closeDatabase();
    Tool::openDatabase(file);   // puts the index back
    return 0;
}
