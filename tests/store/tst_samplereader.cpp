// The fast sample reader against the row-by-row reading it replaces (every column through Qt,
// each time stamp a local QDateTime, each value through QString), on runs stored in a real
// SQLite file: plain runs, across midnight, across both daylight-saving changes, and rows that
// are broken in every way the parsers tell apart.

#include "analysis/RunData.h"
#include "analysis/Units.h"
#include "store/SampleReader.h"
#include "store/ThreadConnection.h"
#include "store/WorkerThread.h"
#include "store/datawords.h"
#include "store/queries.h"
#include "store/tool.h"

#include "../support/Workspace.h"

#include <QSqlDatabase>
#include <QThread>
#include <QtTest>

#include <cstring>
#include <ctime>
#include <memory>

namespace {

const QString Uniformity = DataWords::uniformityItem();
const QString Rate = DataWords::rateItem();
const QString Stamp = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");

struct StoredRow
{
    QString model;
    QString time;
    QString values;
};
using Rows = QVector<StoredRow>;

// Sets TZ for the life of the object (the local time of every conversion).
class TimeZone
{
public:
    explicit TimeZone(const QByteArray &zone) : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ"))
    {
        if (!zone.isEmpty()) {
            qputenv("TZ", zone);
            tzset();
        }
    }
    ~TimeZone()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    bool m_had;
    QByteArray m_old;
};

QString valuesAt(int i, int probes)
{
    QStringList v;
    for (int p = 0; p < probes; ++p)
        v << QString::number(25.0 + 0.37 * i + 0.0113 * p - (i % 7) * 0.0001, 'f', 4);
    return v.join(QLatin1Char(','));
}

// Wall-clock stamps as the program writes them: local time, `step` ms apart, starting at `start`.
Rows clockRun(const QDateTime &start, int count, int stepMs, int probes, const QString &model = Uniformity)
{
    Rows rows;
    for (int i = 0; i < count; ++i)
        rows.append({model, start.addMSecs(qint64(i) * stepMs).toString(Stamp), valuesAt(i, probes)});
    return rows;
}

// Stamps written as texts, one per second of wall-clock time from `first`, whatever the zone.
Rows textRun(const QDate &day, const QTime &first, int count, int probes)
{
    Rows rows;
    for (int i = 0; i < count; ++i)
        rows.append({Uniformity, QDateTime(day, first, Qt::UTC).addSecs(i).toString(Stamp), valuesAt(i, probes)});
    return rows;
}

bool store(const QString &name, const Rows &rows)
{
    QSqlDatabase::database().transaction();
    for (const StoredRow &r : rows)
        if (!Tool::addCalibrationData({name, r.model, r.time, r.values}))
            return false;
    return QSqlDatabase::database().commit();
}

// The reading being replaced: every column through Qt, row by row into the window reader.
QVector<RunSample> rowByRow(const QString &name, const QString &model, int probes, const QDateTime &from,
                            const QDateTime &to, int *skipped)
{
    Analysis::RunWindowReader reader(probes, from, to);
    Tool::forEachCalibrationData(Queries::calibrationDataOf(name, model), [&reader](const Tool::Struct_CalibrationData &r) {
        return reader.addRow(r.Time, r.Temperatures);
    });
    *skipped = reader.skippedRows();
    return reader.takeSamples();
}

// The export page's reading being replaced: both items in stored order, the value count of the
// first row, values in the display unit.
struct Curves
{
    QVector<qint64> x;
    QVector<QVector<double>> y;
    int count = -1;
};

Curves pageRowByRow(const QString &name, const QString &unit)
{
    Curves c;
    QVector<double> values;
    Tool::forEachCalibrationData(Queries::calibrationDataOf(name), [&](const Tool::Struct_CalibrationData &r) {
        if (c.count < 0)
            c.count = r.Temperatures.count(QLatin1Char(',')) + 1;
        QDateTime time;
        if (!Analysis::parseSampleTime(r.Time, time) || !Analysis::parseSampleValues(r.Temperatures, c.count, values))
            return true;
        c.x << time.toMSecsSinceEpoch();
        QVector<double> y;
        for (double v : values)
            y << Analysis::displayTemperature(v, unit);
        c.y << y;
        return true;
    });
    return c;
}

Curves pageFast(const QString &name, const QString &unit)
{
    Curves c;
    SampleReader reader;
    reader.read(name, QString(), -1, SampleReader::NoLimitFrom, SampleReader::NoLimitTo, [&](const SampleReader::Row &r) {
        c.x << r.msecs;
        QVector<double> y;
        for (int p = 0; p < r.count; ++p)
            y << Analysis::displayTemperature(r.values[p], unit);
        c.y << y;
        return true;
    });
    c.count = reader.probeCount();
    return c;
}

// Whether a wall-clock time occurs twice in the local zone (the hour repeated when clocks go back).
bool repeated(const QDateTime &wall)
{
    const qint64 naive = QDateTime(wall.date(), wall.time(), Qt::UTC).toMSecsSinceEpoch();
    int readings = 0;
    for (int offset = -14 * 3600; offset <= 14 * 3600; offset += 900) {
        const QDateTime t = QDateTime::fromMSecsSinceEpoch(naive - offset * 1000LL);
        readings += t.date() == wall.date() && t.time() == wall.time();
    }
    return readings > 1;
}

bool sameBits(const QVector<double> &a, const QVector<double> &b)
{
    return a.size() == b.size() && std::memcmp(a.constData(), b.constData(), sizeof(double) * size_t(a.size())) == 0;
}

} // namespace

Q_DECLARE_METATYPE(Rows)

class TestSampleReader : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sameAsRowByRow_data();
    void sameAsRowByRow();
    void cancelStopsTheReading();
    void readsOnAWorkerWhileTheWriterHoldsATransaction();

private:
    std::unique_ptr<Workspace> m_ws;
};

void TestSampleReader::init()
{
    PCR_SERVER_RUN_CHECK();
    m_ws = std::make_unique<Workspace>();
    QVERIFY(m_ws->openDatabase());
}

void TestSampleReader::cleanup()
{
    m_ws.reset();
}

void TestSampleReader::sameAsRowByRow_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<int>("probes");
    QTest::addColumn<QDateTime>("from");
    QTest::addColumn<QDateTime>("to");

    const QDateTime all = QDateTime(QDate(1, 1, 1), QTime(0, 0));
    const QDateTime end = QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999));
    const QDateTime morning(QDate(2024, 5, 6), QTime(8, 0, 0, 125));
    QTest::newRow("an hour of 16 probes") << QByteArray() << clockRun(morning, 3600, 1000, 16) << 16 << all << end;
    QTest::newRow("window, bounds inside")
        << QByteArray() << clockRun(morning, 600, 1000, 3) << 3 << morning.addSecs(100) << morning.addSecs(200);
    QTest::newRow("window between two samples")
        << QByteArray() << clockRun(morning, 600, 1000, 3) << 3 << morning.addMSecs(100500) << morning.addMSecs(100600);
    QTest::newRow("across midnight at 0.3 s")
        << QByteArray() << clockRun(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 0, 500)), 400, 300, 4) << 4 << all << end;
    // As a clock writes them: 01:59:59 is followed by 03:00:00, and in autumn 02:59:59 by 02:00:00.
    Rows spring = textRun(QDate(2024, 3, 31), QTime(1, 58), 120, 2);
    spring << textRun(QDate(2024, 3, 31), QTime(3, 0), 120, 2);
    QTest::newRow("spring forward, Berlin") << QByteArray("Europe/Berlin") << spring << 2 << all << end;
    Rows autumn = textRun(QDate(2024, 10, 27), QTime(2, 58, 30), 90, 2);
    autumn << textRun(QDate(2024, 10, 27), QTime(2, 0), 120, 2);
    QTest::newRow("fall back, Berlin") << QByteArray("Europe/Berlin") << autumn << 2 << all << end;
    QTest::newRow("window across the spring change")
        << QByteArray("Europe/Berlin") << spring << 2 << QDateTime(QDate(2024, 3, 31), QTime(0, 59, 30), Qt::UTC)
        << QDateTime(QDate(2024, 3, 31), QTime(1, 0, 30), Qt::UTC);
    Rows gap = textRun(QDate(2024, 3, 10), QTime(1, 59, 50), 20, 2);
    gap.insert(5, {Uniformity, QStringLiteral("2024-03-10 02:30:00.000"), QStringLiteral("1.0,2.0")});   // no such time there
    QTest::newRow("a stamp in the spring gap, New York") << QByteArray("America/New_York") << gap << 2 << all << end;
    // Every way a row can be broken, among good ones; both items in one table.
    Rows odd = clockRun(morning, 40, 1000, 3);
    const QStringList times = {QStringLiteral("2024-02-30 10:00:00.000"), QStringLiteral("2024-05-06T10:00:00.000"),
                               QStringLiteral("2024-05-06 10:00:00"), QString(), QStringLiteral("0000-05-06 10:00:00.000"),
                               QStringLiteral("２０24-05-06 10:00:00.000"), QStringLiteral("2024-05-06 24:00:00.000"),
                               QStringLiteral("2024-05-06 10:00:00.5000"), QStringLiteral(" 2024-05-06 10:00:00.000"),
                               QStringLiteral("2024-05-06 08:00:10.9999")};
    for (int i = 0; i < times.size(); ++i)
        odd.insert(3 + 3 * i, {Uniformity, times.at(i), QStringLiteral("1.0,2.0,3.0")});
    const QStringList values = {QStringLiteral("abc,2,3"), QStringLiteral(",2,3"), QStringLiteral("1.5 ,2,3"),
                                QStringLiteral(" 1.5,2,3"), QStringLiteral("+2,2,3"), QStringLiteral("1e3,2,3"),
                                QStringLiteral("-0.0000,0.0000,-0"), QStringLiteral(".5,2,3"), QStringLiteral("5.,2,3"),
                                QStringLiteral("0012.5000,2,3"), QStringLiteral("12345678901234567.5,2,3"),
                                QStringLiteral("123456789012345.6,0.1,0.7"), QStringLiteral("nan,2,3"),
                                QStringLiteral("inf,2,3"), QStringLiteral("1,,3"), QStringLiteral("1,2"),
                                QStringLiteral("1,2,3,4"), QStringLiteral("1.25,2.5,温度"), QStringLiteral("-.5,2,3"),
                                QStringLiteral("1.7976931348623157e309,2,3"), QStringLiteral("0.30000000000000004,2,3")};
    for (int i = 0; i < values.size(); ++i)
        odd.insert(2 + 2 * i, {i % 2 ? Rate : Uniformity, morning.addMSecs(500 + 1000 * i).toString(Stamp), values.at(i)});
    QTest::newRow("broken rows") << QByteArray() << odd << 3 << all << end;
}

void TestSampleReader::sameAsRowByRow()
{
    QFETCH(QByteArray, zone);
    QFETCH(Rows, rows);
    QFETCH(int, probes);
    QFETCH(QDateTime, from);
    QFETCH(QDateTime, to);
    const TimeZone tz(zone);
    QVERIFY(store(QStringLiteral("P"), rows));
    QVERIFY(store(QStringLiteral("other"), clockRun(QDateTime(QDate(2024, 5, 6), QTime(8, 0)), 50, 1000, probes)));

    for (const QString &model : {Uniformity, Rate}) {
        int oldSkipped = 0;
        const QVector<RunSample> expected = rowByRow(QStringLiteral("P"), model, probes, from, to, &oldSkipped);
        SampleReader reader;
        const QVector<RunSample> got = reader.readRun(QStringLiteral("P"), model, probes, from, to);
        QCOMPARE(reader.status(), SampleReader::Ok);
        QCOMPARE(reader.skippedRows(), oldSkipped);
        QCOMPARE(got.size(), expected.size());
        for (int i = 0; i < got.size(); ++i) {
            const QDateTime &a = got.at(i).time, &b = expected.at(i).time;
            QCOMPARE(a.date(), b.date());
            QCOMPARE(a.time(), b.time());
            QCOMPARE(a.toString(Stamp), b.toString(Stamp));
            QVERIFY2(sameBits(got.at(i).values, expected.at(i).values), qPrintable(b.toString(Stamp)));
            if (a == b && a.offsetFromUtc() == b.offsetFromUtc())
                continue;
            // Row by row, both passes of the repeated hour land on the same instants; here the
            // run goes on forward in time. Nowhere else may they differ.
            QVERIFY2(repeated(b), qPrintable(a.toString(Qt::ISODateWithMs) + " / " + b.toString(Qt::ISODateWithMs)));
            QVERIFY(i == 0 || a > got.at(i - 1).time);
        }
    }
    // The page's reading, in both display units.
    for (const QString &unit : {QStringLiteral("℃"), QStringLiteral("℉")}) {
        const Curves expected = pageRowByRow(QStringLiteral("P"), unit);
        const Curves got = pageFast(QStringLiteral("P"), unit);
        QCOMPARE(got.count, expected.count);
        QCOMPARE(got.x.size(), expected.x.size());
        for (int i = 0; i < got.x.size(); ++i)
            QVERIFY(got.x.at(i) == expected.x.at(i) || repeated(QDateTime::fromMSecsSinceEpoch(expected.x.at(i))));
        QCOMPARE(got.y.size(), expected.y.size());
        for (int i = 0; i < got.y.size(); ++i)
            QVERIFY(sameBits(got.y.at(i), expected.y.at(i)));
    }
}

void TestSampleReader::cancelStopsTheReading()
{
    QVERIFY(store(QStringLiteral("P"), clockRun(QDateTime(QDate(2024, 5, 6), QTime(8, 0)), 5000, 1000, 4)));
    std::atomic<bool> cancel{false};
    SampleReader reader;
    reader.setCancelFlag(&cancel);
    QVector<qint64> reported;
    reader.setProgress([&](qint64 done, qint64 total) {
        reported << done;
        QCOMPARE(total, qint64(5000));
        cancel = true;   // halfway through, as the cancel button would
    });
    int seen = 0;
    QCOMPARE(reader.read(QStringLiteral("P"), Uniformity, 4, SampleReader::NoLimitFrom, SampleReader::NoLimitTo,
                         [&seen](const SampleReader::Row &) { return ++seen > 0; }),
             SampleReader::Cancelled);
    QCOMPARE(reported.size(), 1);
    QVERIFY(seen > 0 && seen < 5000);

    // Set before the reading starts: nothing is read.
    seen = 0;
    QCOMPARE(reader.read(QStringLiteral("P"), Uniformity, 4, SampleReader::NoLimitFrom, SampleReader::NoLimitTo,
                         [&seen](const SampleReader::Row &) { return ++seen > 0; }),
             SampleReader::Cancelled);
    QCOMPARE(seen, 0);

    // Without a cancel, the progress ends at the row count.
    cancel = false;
    reported.clear();
    SampleReader whole;
    whole.setProgress([&](qint64 done, qint64) { reported << done; });
    QCOMPARE(whole.readRun(QStringLiteral("P"), Uniformity, 4, QDateTime(), QDateTime()).size(), 5000);
    QCOMPARE(reported.last(), qint64(5000));
}

// A worker reads on its own connection while the GUI thread's connection is inside an open write
// transaction: in WAL mode it is not kept waiting, and it sees what was committed.
void TestSampleReader::readsOnAWorkerWhileTheWriterHoldsATransaction()
{
    QVERIFY(store(QStringLiteral("P"), clockRun(QDateTime(QDate(2024, 5, 6), QTime(8, 0)), 3000, 1000, 16)));
    QVERIFY(QSqlDatabase::database().transaction());
    QVERIFY(Tool::addCalibrationData({QStringLiteral("P"), Uniformity, QStringLiteral("2024-05-07 08:00:00.000"), valuesAt(1, 16)}));

    const QString file = Tool::databaseFileName();
    QVector<RunSample> read;
    SampleReader::Status status = SampleReader::Failed;
    QThread *readerThread = nullptr;
    WorkerThread worker;
    QSignalSpy done(&worker, &WorkerThread::finished);
    QVERIFY(worker.start([&](WorkerThread &) {
        readerThread = QThread::currentThread();
        ThreadConnection connection(file);
        SampleReader reader;   // the connection of this thread
        read = reader.readRun(QStringLiteral("P"), Uniformity, 16, QDateTime(), QDateTime());
        status = reader.status();
    }));
    QVERIFY(worker.isRunning());
    QVERIFY(done.wait(30000));
    QVERIFY(!worker.isRunning());
    QVERIFY(QSqlDatabase::database().commit());
    QVERIFY(readerThread && readerThread != QThread::currentThread());
    QCOMPARE(status, SampleReader::Ok);
    QCOMPARE(read.size(), 3000);   // the uncommitted row is not seen
    QCOMPARE(ThreadConnection::openCount(file), 0);
}

QTEST_GUILESS_MAIN(TestSampleReader)
#include "tst_samplereader.moc"
