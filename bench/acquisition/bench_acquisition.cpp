// Sample storage and the calibration run without widgets.
//
//   bench_acquisition insert [rows]    a day-long 16-probe run (86,400 rows) stored through the run's
//                                      writer thread and through the writer in 100-row batches,
//                                      beside the SQLite C API with 100-row transactions (the floor)
//                                      and the one-statement-per-row store on the GUI connection, all
//                                      on files the store has made (its schema and journal mode)
//   bench_acquisition run [seconds]    a run at 0.3 s with 16 probes against pcrsim (default 60 s):
//                                      GUI-thread time per sample, CPU per thread

#include "../../tests/instruments/SimHarness.h"
#include "ThreadCpu.h"

#include "CalibrationDemo.h"
#include "acquisition/CalibrationRun.h"
#include "acquisition/SampleSink.h"
#include "instruments/Collection1611A.h"
#include "store/SampleWriter.h"
#include "store/datawords.h"
#include "store/schema.h"
#include "store/tool.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <vector>

namespace {

constexpr int Probes = 16;
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

std::vector<Tool::Struct_CalibrationData> dayOfSamples(const QString &project, int rows)
{
    const QDateTime start(QDate(2024, 6, 1), QTime(8, 0, 0));
    std::vector<Tool::Struct_CalibrationData> all;
    all.reserve(size_t(rows));
    for (int i = 0; i < rows; ++i)
        all.push_back(sample(project, start, i));
    return all;
}

double seconds(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

// A fresh database of the program's schema, opened by the store as the program does.
QString freshDatabase(const QString &folder, const QString &name)
{
    const QString file = folder + QLatin1Char('/') + name;
    QFile::remove(file);
    return Tool::openDatabase(file) ? file : QString();
}

QString journalMode()
{
    QSqlQuery q(QSqlDatabase::database());
    return q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next() ? q.value(0).toString() : QStringLiteral("?");
}

// The floor: the C API, one prepared statement, 100-row transactions, synchronous NORMAL.
double cApiFloor(const QString &file, const std::vector<Tool::Struct_CalibrationData> &rows)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) != SQLITE_OK)
        return -1;
    sqlite3_exec(db, "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "insert into CalibrationData (Name, Model, Time, Temperatures) values (?, ?, ?, ?)", -1,
                       &insert, nullptr);
    QElapsedTimer t;
    t.start();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i % 100 == 0)
            sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        const auto &r = rows[i];
        // The texts arrive as QStrings, as the program has them; their UTF-8 is part of the cost.
        const QByteArray texts[4] = {r.Name.toUtf8(), r.Model.toUtf8(), r.Time.toUtf8(), r.Temperatures.toUtf8()};
        for (int c = 0; c < 4; ++c)
            sqlite3_bind_text(insert, c + 1, texts[c].constData(), texts[c].size(), SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE)
            return -1;
        sqlite3_reset(insert);
        if (i % 100 == 99 || i + 1 == rows.size())
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    const double s = seconds(t);
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return s;
}

int insert(int count)
{
    QTemporaryDir temp(QDir::currentPath() + QStringLiteral("/bench_acquisition-XXXXXX"));
    const auto rows = dayOfSamples(QStringLiteral("day"), count);
    std::printf("%d rows of %d values (%d bytes of values a row)\n", count, Probes, int(rows[0].Temperatures.size()));

    // The writer thread, as a run feeds it: rows appended as fast as they come, committed once a
    // second and at the end.
    QString file = freshDatabase(temp.path(), QStringLiteral("sink.db3"));
    std::printf("journal mode %s, synchronous NORMAL on the writer's connection\n", qPrintable(journalMode()));
    Tool::closeDatabase();
    double sinkSeconds;
    {
        SampleSink sink({file, SampleWriter::DefaultBusyTimeoutMs, 1000});
        QElapsedTimer t;
        t.start();
        if (!sink.start())
            return 1;
        for (const auto &r : rows)
            sink.append(r);
        if (!sink.finish())
            return 1;
        sinkSeconds = seconds(t);
    }

    // The writer alone in 100-row transactions, like the floor.
    file = freshDatabase(temp.path(), QStringLiteral("writer.db3"));
    Tool::closeDatabase();
    double writerSeconds;
    {
        SampleWriter writer;
        if (!writer.open(file))
            return 1;
        QElapsedTimer t;
        t.start();
        for (size_t i = 0; i < rows.size(); i += 100) {
            const std::vector<Tool::Struct_CalibrationData> batch(rows.begin() + long(i),
                                                                  rows.begin() + long(std::min(rows.size(), i + 100)));
            if (!writer.write(batch))
                return 1;
        }
        writerSeconds = seconds(t);
    }

    file = freshDatabase(temp.path(), QStringLiteral("floor.db3"));
    Tool::closeDatabase();
    const double floorSeconds = cApiFloor(file, rows);

    // The store as the GUI thread used it: one autocommitted statement per row on its connection
    // (a hundredth of the rows, it is slow).
    file = freshDatabase(temp.path(), QStringLiteral("gui.db3"));
    const int guiRows = std::max(1, count / 100);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < guiRows; ++i)
        Tool::addCalibrationData(rows[size_t(i)]);
    const double guiSeconds = seconds(t);
    Tool::closeDatabase();

    const auto line = [count](const char *what, double s, int n) {
        std::printf("  %-52s %8.0f rows/s  (%.2f s for %d rows)\n", what, n / s, s, n);
        (void)count;
    };
    line("writer thread (SampleSink, commit each second)", sinkSeconds, count);
    line("writer (SampleWriter), 100-row transactions", writerSeconds, count);
    line("C API floor, 100-row transactions", floorSeconds, count);
    line("one autocommitted statement per row (old GUI path)", guiSeconds, guiRows);
    std::printf("  writer thread / floor: %.2f\n", (count / sinkSeconds) / (count / floorSeconds));
    return 0;
}

// --- the run

double cpuMs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

int run(int secondsToRun)
{
    QTemporaryDir temp(QDir::currentPath() + QStringLiteral("/bench_acquisition-XXXXXX"));
    QDir::setCurrent(temp.path());
    PcrSim sim;
    if (!Tool::openDatabase() || !sim.start({"--collector-tcp", "0"}))
        return 1;
    CalibrationDemo::Options o;
    o.port = sim.tcpPort;
    o.program = QStringLiteral("95:1,60:1,72:1");
    QString error;
    if (!CalibrationDemo::registerRecords(o, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QList<Tool::Struct_Electrometer> meters;
    Tool::getElectrometer(meters, QString());
    QList<Tool::Struct_Standardizer> probes;
    Tool::getStandardizer(probes, QString());

    Collection1611A collector;
    CalibrationRun run(&collector);
    CalibrationRun::Phase p = CalibrationRun::phaseWith(meters.value(0), probes.value(0));
    p.unit = QStringLiteral("℃");
    p.interval = 0.3;
    p.duration = QTime(0, 0).addSecs(secondsToRun);
    p.start = QDateTime::currentDateTime();
    p.projectName = QStringLiteral("bench");
    p.model = Model;
    p.storage.databaseFile = Tool::databaseFileName();

    // The GUI thread's share of the run: every event delivered to it (samples, commits, start and
    // end), with the receivers below, which only count.
    int samples = 0;
    QObject::connect(&run, &CalibrationRun::sampleTaken, [&] { ++samples; });
    auto *timing = static_cast<TimingApplication *>(qApp);
    timing->deliveries.clear();
    timing->watched = &run;

    ThreadCpuWatch threads;
    const double process0 = cpuMs(CLOCK_PROCESS_CPUTIME_ID), gui0 = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QObject::connect(&run, &CalibrationRun::phaseEnded, &loop, &QEventLoop::quit);
    run.start(p);
    loop.exec();
    const double wallMs = double(wall.nsecsElapsed()) / 1e6;
    const double process1 = cpuMs(CLOCK_PROCESS_CPUTIME_ID), gui1 = cpuMs(CLOCK_THREAD_CPUTIME_ID);

    std::printf("run of %d s at 0.3 s, 16 probes, no widgets (journal mode %s): %d samples, %lld rows stored, %.1f s\n",
                secondsToRun, qPrintable(journalMode()), samples, run.rowsStored(), wallMs / 1000);
    std::printf("process CPU %.0f ms = %.2f %% of one core, %.3f ms per sample\n", process1 - process0,
                100 * (process1 - process0) / wallMs, (process1 - process0) / std::max(1, samples));
    const double gui = gui1 - gui0 - threads.ownCpuMs();
    std::printf("GUI thread CPU %.0f ms = %.3f ms per sample (its event loop; the watching of the threads' CPU "
                "taken out)\n",
                gui, gui / std::max(1, samples));
    for (const auto &t : threads.used())
        std::printf("  thread %-16s %6.0f ms CPU = %.3f ms per sample\n", qPrintable(t.first), t.second,
                    t.second / std::max(1, samples));
    timing->watched = nullptr;
    std::vector<qint64> &d = timing->deliveries;
    double total = 0;
    for (qint64 ns : d)
        total += double(ns) / 1e6;
    std::sort(d.begin(), d.end());
    if (!d.empty())
        std::printf("GUI thread in the run's events: %d events, %.3f ms in all = %.4f ms per sample; "
                    "per event median %.4f ms, max %.4f ms\n",
                    int(d.size()), total, total / std::max(1, samples), double(d[d.size() / 2]) / 1e6,
                    double(d.back()) / 1e6);

    // What each sample used to cost the GUI thread: one autocommitted insert on its connection.
    std::vector<qint64> each;
    QElapsedTimer one;
    const QDateTime start = QDateTime::currentDateTime();
    for (int i = 0; i < 200; ++i) {
        const auto row = sample(QStringLiteral("old"), start, i);
        one.start();
        Tool::addCalibrationData(row);
        each.push_back(one.nsecsElapsed());
    }
    std::sort(each.begin(), each.end());
    std::printf("for comparison, the old per-sample insert on the GUI connection: median %.3f ms, p99 %.3f ms\n",
                double(each[each.size() / 2]) / 1e6, double(each[size_t(each.size() * 0.99)]) / 1e6);
    Tool::closeDatabase();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApplication app(argc, argv);   // the demo layout drawing needs a GUI application
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &m) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", qPrintable(m));
    });
    const QStringList args = app.arguments().mid(1);
    const QString mode = args.value(0, QStringLiteral("insert"));
    if (mode == QLatin1String("insert"))
        return insert(args.value(1, QStringLiteral("86400")).toInt());
    if (mode == QLatin1String("run"))
        return run(args.value(1, QStringLiteral("60")).toInt());
    std::fprintf(stderr, "usage: bench_acquisition insert [rows] | run [seconds]\n");
    return 2;
}
