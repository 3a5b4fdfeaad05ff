// The two back ends side by side in one run: the insert rate of a run's samples, reading a
// day-long run back, and ten stations writing 16 probes every 0.3 s at once.
//
//   bench_server [postgresql://user@host:port/dbname]
// Without a location it starts a private server as delivered (fsync on) with
// tests/support/pg-test-server.sh and stops it at the end. The database named is emptied first.
#include "acquisition/SampleSink.h"
#include "store/DatabaseSettings.h"
#include "store/SampleReader.h"
#include "store/SampleWriter.h"
#include "store/ThreadConnection.h"
#include "store/datawords.h"
#include "store/tool.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr int DayRows = 86400;   // 24 h at 1 s
constexpr int Probes = 16;
const QString Script = QStringLiteral(PCR_SOURCE_DIR "/tests/support/pg-test-server.sh");

Tool::Struct_CalibrationData sample(const QString &project, const QDateTime &start, int i, qint64 stepMs = 1000)
{
    QStringList values;
    for (int p = 0; p < Probes; ++p)
        values << QString::number(60.0 + 35.0 * ((i / 600) % 2) + 0.013 * p + 0.000001 * (i % 997), 'f', 4);
    return {project, DataWords::uniformityItem(),
            start.addMSecs(qint64(i) * stepMs).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")),
            values.join(QLatin1Char(','))};
}

struct Figures
{
    double commitPerRowRate = 0;   // rows/s, one commit per row (a 1 s run commits each second)
    double batchRate = 0;          // rows/s, a day-long run in commits of 1000 rows
    double readMs = 0;             // reading the day-long run back
    qint64 readRows = 0;
    qint64 tenStored = 0, tenExpected = 0;
};

double rate(int rows, qint64 ns)
{
    return rows / (double(ns) / 1e9);
}

Figures measure(const QString &location)
{
    Figures f;
    const QDateTime start(QDate(2026, 3, 1), QTime(8, 0));
    {
        SampleWriter writer;
        if (!writer.open(location)) {
            std::fprintf(stderr, "open: %s\n", qPrintable(writer.error()));
            return f;
        }
        const int n = 2000;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < n; ++i)
            writer.write({sample(QStringLiteral("逐条"), start, i)});
        f.commitPerRowRate = rate(n, t.nsecsElapsed());
        t.restart();
        std::vector<Tool::Struct_CalibrationData> batch;
        for (int i = 0; i < DayRows; ++i) {
            batch.push_back(sample(QStringLiteral("一天"), start, i));
            if (batch.size() == 1000 || i == DayRows - 1) {
                writer.write(batch);
                batch.clear();
            }
        }
        f.batchRate = rate(DayRows, t.nsecsElapsed());
    }
    {
        ThreadConnection connection(location);
        SampleReader reader(connection.database());
        QElapsedTimer t;
        t.start();
        qint64 rows = 0;
        reader.read(QStringLiteral("一天"), DataWords::uniformityItem(), Probes, SampleReader::NoLimitFrom,
                    SampleReader::NoLimitTo, [&rows](const SampleReader::Row &) {
                        ++rows;
                        return true;
                    });
        f.readMs = double(t.nsecsElapsed()) / 1e6;
        f.readRows = rows;
    }
    // Ten stations, each its own writer thread committing once a second, 16 probes every 0.3 s.
    const int stations = 10, samples = 100;   // 30 s
    std::vector<std::thread> threads;
    for (int s = 0; s < stations; ++s)
        threads.emplace_back([&, s] {
            SampleSink::Options o;
            o.databaseFile = location;
            SampleSink sink(o);
            if (!sink.start())
                return;
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; i < samples; ++i) {
                const qint64 due = qint64(i) * 300;
                if (due > clock.elapsed())
                    QThread::msleep(ulong(due - clock.elapsed()));
                sink.append(sample(QStringLiteral("站%1").arg(s), start, i, 300));
            }
            sink.finish();
        });
    for (auto &t : threads)
        t.join();
    f.tenExpected = qint64(stations) * samples;
    ThreadConnection connection(location);
    for (int s = 0; s < stations; ++s) {
        SampleReader reader(connection.database());
        f.tenStored += reader.countRows(QStringLiteral("站%1").arg(s), DataWords::uniformityItem());
    }
    return f;
}

void print(const char *name, const Figures &f)
{
    std::printf("%-10s  commit per row %8.0f rows/s | day-long run in 1000-row commits %8.0f rows/s | "
                "read day-long run %7.0f ms (%lld rows) | ten stations at 0.3 s: %lld of %lld stored\n",
                name, f.commitPerRowRate, f.batchRate, f.readMs, f.readRows, f.tenStored, f.tenExpected);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QString server = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTemporaryDir temp(QDir::currentPath() + QStringLiteral("/bench_server-XXXXXX"));
    const QString env = temp.filePath(QStringLiteral("server.env"));
    auto value = [&env](const QString &key) {
        QFile f(env);
        f.open(QIODevice::ReadOnly);
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith(key.toLatin1() + '='))
                return QString::fromUtf8(line.mid(key.size() + 1));
        return QString();
    };
    if (server.isEmpty()) {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("PCR_PG_DURABLE"), QStringLiteral("1"));
        QProcess p;
        p.setProcessEnvironment(e);
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(QStringLiteral("bash"), {Script, QStringLiteral("start"), env});
        if (!p.waitForFinished(180000) || p.exitCode() != 0 || value(QStringLiteral("PCR_TEST_PG_PORT")).isEmpty()) {
            std::fprintf(stderr, "no PostgreSQL server\n");
            return 1;
        }
        server = QStringLiteral("postgresql://%1@127.0.0.1:%2/postgres")
                     .arg(value(QStringLiteral("PCR_TEST_PG_USER")), value(QStringLiteral("PCR_TEST_PG_PORT")));
    }
    DatabaseSettings pg;
    if (!DatabaseSettings::fromLocation(server, &pg) || !pg.isPostgreSQL() || !Tool::openDatabase(pg)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(server));
        return 1;
    }
    QSqlQuery(QSqlDatabase::database()).exec(QStringLiteral("delete from CalibrationData"));
    const QString file = temp.filePath(QStringLiteral("PCR.db3"));
    Tool::closeDatabase();
    if (!Tool::openDatabase(file))
        return 1;
    std::printf("%d probes; SQLite %s; PostgreSQL %s\n", Probes, qPrintable(file), qPrintable(pg.describe()));
    print("SQLite", measure(file));
    print("PostgreSQL", measure(pg.location()));
    Tool::closeDatabase();
    if (argc <= 1)
        QProcess::execute(QStringLiteral("bash"), {Script, QStringLiteral("stop"), env});
    return 0;
}
