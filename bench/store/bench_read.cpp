// Reading a day-long run back: 86,400 rows of 16 values (24 h at 1 s) from a file holding
// several such projects, in WAL mode as the program opens it. Measured side by side in one run:
//   rows through Qt      every column through QSqlQuery, row by row into the window reader (the
//                        reading the export used before)
//   sample reader        SampleReader::readRun: the export's samples (time and values)
//   sample reader, rows  SampleReader::read with a visitor only (what the chart's reading does)
//   C API floor          the same SELECT of the two columns stepped through SQLite, texts touched,
//                        nothing parsed
// Each is run seven times; the median and best wall-clock times and the median processor time are
// printed.
//
//   bench_read [FOLDER] [PROJECTS] [rows]   (default: a temporary folder under the current directory,
//                                            4 projects; "rows", "samples": only that reading, for a profiler)

#include "analysis/RunData.h"
#include "store/SampleReader.h"
#include "store/datawords.h"
#include "store/queries.h"
#include "store/tool.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int Rows = 86400;
constexpr int Probes = 16;
const QString Model = DataWords::uniformityItem();

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

bool fill(int projects)
{
    const QDateTime start(QDate(2024, 6, 1), QTime(8, 0, 0, 125));
    for (int p = 0; p < projects; ++p) {
        QSqlDatabase::database().transaction();
        for (int i = 0; i < Rows; ++i) {
            QStringList values;
            values.reserve(Probes);
            for (int c = 0; c < Probes; ++c)
                values << QString::number(60.0 + 35.0 * ((i / 600) % 2) + 0.013 * c + 0.0001 * (i % 997), 'f', 4);
            if (!Tool::addCalibrationData({QStringLiteral("project-%1").arg(p), Model,
                                           start.addDays(p).addMSecs(qint64(i) * 1000).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")),
                                           values.join(QLatin1Char(','))}))
                return false;
        }
        if (!QSqlDatabase::database().commit())
            return false;
    }
    return true;
}

double cpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Wall-clock and processor time (this thread's, system calls included): on a machine shared
// with other work the wall clock also counts the waits for a processor, the processor time not.
struct Timing
{
    double median;
    double best;
    double cpuMedian;
    long long rows;
};

Timing timed(const std::function<long long()> &run)
{
    std::vector<double> t, cpu;
    long long rows = 0;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer clock;
        clock.start();
        const double c0 = cpuMs();
        rows = run();
        cpu.push_back(cpuMs() - c0);
        t.push_back(ms(clock.nsecsElapsed()));
    }
    std::sort(t.begin(), t.end());
    std::sort(cpu.begin(), cpu.end());
    return {t[t.size() / 2], t.front(), cpu[cpu.size() / 2], rows};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QTemporaryDir temp(QDir::currentPath() + QStringLiteral("/bench_read-XXXXXX"));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    const int projects = argc > 2 ? std::max(1, atoi(argv[2])) : 4;
    QDir().mkpath(folder);
    const QString file = QDir(folder).absoluteFilePath(QStringLiteral("PCR.db3"));
    const bool fresh = !QFileInfo::exists(file);
    if (!Tool::openDatabase(file)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(file));
        return 1;
    }
    if (fresh && !fill(projects)) {
        std::fprintf(stderr, "cannot fill %s\n", qPrintable(file));
        return 1;
    }
    std::printf("database: %s, %.1f MB (+ %.1f MB -wal), %d projects of %d rows x %d values\n", qPrintable(file),
                double(QFileInfo(file).size()) / 1e6, double(QFileInfo(file + QStringLiteral("-wal")).size()) / 1e6,
                projects, Rows, Probes);
    const QString name = QStringLiteral("project-%1").arg(projects / 2);
    const QDateTime from = QDateTime(QDate(1, 1, 1), QTime(0, 0));
    const QDateTime to = QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999));

    const auto visitRows = [&] {
        SampleReader reader;
        long long n = 0;
        double sum = 0;
        reader.read(name, Model, Probes, SampleReader::NoLimitFrom, SampleReader::NoLimitTo,
                    [&](const SampleReader::Row &r) {
                        ++n;
                        sum += r.values[0] + double(r.msecs);
                        return true;
                    });
        return sum > 0 ? n : -n;
    };
    if (argc > 3 && qstrcmp(argv[3], "rows") == 0) {
        for (int i = 0; i < 20; ++i)
            visitRows();
        return 0;
    }
    if (argc > 3 && qstrcmp(argv[3], "samples") == 0) {
        for (int i = 0; i < 20; ++i)
            SampleReader().readRun(name, Model, Probes, from, to);
        return 0;
    }

    const Timing qt = timed([&] {
        Analysis::RunWindowReader reader(Probes, from, to);
        Tool::forEachCalibrationData(Queries::calibrationDataOf(name, Model), [&reader](const Tool::Struct_CalibrationData &r) {
            return reader.addRow(r.Time, r.Temperatures);
        });
        return (long long)reader.samples().size();
    });
    const Timing fast = timed([&] {
        SampleReader reader;
        return (long long)reader.readRun(name, Model, Probes, from, to).size();
    });
    const Timing visit = timed(visitRows);

    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray nameBytes = name.toUtf8(), modelBytes = Model.toUtf8();
    const Timing floor = timed([&] {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, "select Time, Temperatures from CalibrationData where Name = ? and Model = ?", -1, &s, nullptr);
        sqlite3_bind_text(s, 1, nameBytes.constData(), nameBytes.size(), SQLITE_STATIC);
        sqlite3_bind_text(s, 2, modelBytes.constData(), modelBytes.size(), SQLITE_STATIC);
        long long n = 0, bytes = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            const unsigned char *t = sqlite3_column_text(s, 0);
            const unsigned char *v = sqlite3_column_text(s, 1);
            bytes += sqlite3_column_bytes(s, 0) + sqlite3_column_bytes(s, 1) + t[0] + v[0];
            ++n;
        }
        sqlite3_finalize(s);
        return bytes > 0 ? n : -n;
    });
    sqlite3_close(db);

    std::printf("reading %s (%d rows):      wall median  wall best  processor median\n", qPrintable(name), Rows);
    const struct { const char *what; Timing t; } lines[] = {
        {"rows through Qt (before)", qt}, {"sample reader, samples", fast}, {"sample reader, rows only", visit},
        {"C API floor", floor}};
    for (const auto &l : lines)
        std::printf("  %-28s %8.1f ms %8.1f ms %8.1f ms   %lld rows\n", l.what, l.t.median, l.t.best, l.t.cpuMedian,
                    l.t.rows);
    std::printf("  over the floor (processor time): sample reader %.2fx (samples), %.2fx (rows only); before %.2fx\n",
                fast.cpuMedian / floor.cpuMedian, visit.cpuMedian / floor.cpuMedian, qt.cpuMedian / floor.cpuMedian);
    std::printf("  over the floor (wall median):    sample reader %.2fx (samples), %.2fx (rows only); before %.2fx\n",
                fast.median / floor.median, visit.median / floor.median, qt.median / floor.median);
    Tool::closeDatabase();
    return 0;
}
