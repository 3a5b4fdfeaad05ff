#include "store/SampleReader.h"

#include "analysis/RunData.h"
#include "store/ThreadConnection.h"
#include "store/dialect.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr qint64 MsecsPerDay = 86400000;
constexpr qint64 UnixEpochJulianDay = 2440588;
constexpr int ProgressEvery = 512;

// The SQLite handle behind a QSQLITE connection, or null (another driver).
sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.data());
}

QString selectSql(bool byModel, bool countOnly, bool server)
{
    const QString what = countOnly ? QStringLiteral("count(*)") : QStringLiteral("Time, Temperatures");
    // SQLite's (Name, Model) index hands rows of one item back in stored order; both items
    // together need rowid, which is stored order. A server promises no order without one (its
    // index holds rowid, so one item still reads without a sort).
    const QString order = countOnly ? QString() : QStringLiteral(" order by rowid");
    return byModel ? QStringLiteral("select %1 from CalibrationData where Name = ? and Model = ?%2")
                         .arg(what, server ? order : QString())
                   : QStringLiteral("select %1 from CalibrationData where Name = ?%2").arg(what, order);
}

inline int digitsAt(const char *s, int pos, int count)
{
    int v = 0;
    for (int i = pos; i < pos + count; ++i) {
        const unsigned c = unsigned(s[i]) - '0';
        if (c > 9)
            return -1;
        v = v * 10 + int(c);
    }
    return v;
}

} // namespace

// Parses the stored texts. The stored forms are fixed, so they are read directly from their
// bytes; anything that does not have the stored form goes through the generic parsers, which
// decide as they always have.
class SampleReader::Parser
{
public:
    bool time(const char *s, int n, qint64 &msecs, int &offset)
    {
        if (n == 23 && s[4] == '-' && s[7] == '-' && s[10] == ' ' && s[13] == ':' && s[16] == ':' && s[19] == '.') {
            const int y = digitsAt(s, 0, 4), mo = digitsAt(s, 5, 2), d = digitsAt(s, 8, 2);
            const int h = digitsAt(s, 11, 2), mi = digitsAt(s, 14, 2), sec = digitsAt(s, 17, 2),
                      ms = digitsAt(s, 20, 3);
            if (y > 0 && mo >= 0 && d >= 0 && h >= 0 && mi >= 0 && sec >= 0 && ms >= 0
                && QDate::isValid(y, mo, d) && QTime::isValid(h, mi, sec, ms))
                return local(QDate(y, mo, d), h, mi, sec, ms, msecs, offset);
        }
        QDateTime t;
        if (!Analysis::parseSampleTime(QString::fromUtf8(s, n), t))
            return false;
        msecs = t.toMSecsSinceEpoch();
        offset = t.offsetFromUtc();
        return true;
    }

    // `count` numbers separated by ",", each finite (the commas were counted already).
    bool values(const char *s, int n, int count, double *out)
    {
        const char *p = s;
        const char *end = s + n;
        for (int k = 0; k < count; ++k) {
            const char *stop = nullptr;
            if (!storedNumber(p, end, out[k], stop)) {
                stop = static_cast<const char *>(std::memchr(p, ',', size_t(end - p)));
                if (!stop)
                    stop = end;
                if (!anyNumber(p, stop, out[k]))
                    return false;
            }
            p = stop + 1;
        }
        return true;
    }

    QVector<double> buffer;

private:
    struct Reading
    {
        bool exact = true;   // adjusted by the zone (a gap): each row resolves itself
        int earlier = 0;     // the offset of its earlier reading (the larger offset)
        int later = 0;       // the same, unless the wall-clock time occurs twice
    };

    // The local time zone is asked once per hour of wall-clock time, at its first and its last
    // minute; an hour in which the offset changes is asked once per minute (offsets change only
    // at whole minutes). A minute the zone adjusts (in the gap of a daylight-saving change) is
    // resolved row by row, as a local date-time resolves it. A minute that occurs twice (when
    // clocks go back) is read in stored order: first on the earlier of its two instants, once
    // the run has passed that, on the later one.
    bool local(const QDate &date, int h, int mi, int sec, int ms, qint64 &msecs, int &offset)
    {
        const qint64 day = date.toJulianDay();
        const qint64 hour = day * 24 + h;
        const qint64 hourStart = (day - UnixEpochJulianDay) * MsecsPerDay + qint64(h) * 3600000;
        const qint64 naive = hourStart + qint64(mi) * 60000 + qint64(sec) * 1000 + ms;
        if (hour != m_hour) {
            m_hour = hour;
            m_minute = std::numeric_limits<qint64>::min();
            const Reading first = resolve(date, h, 0, hourStart);
            const Reading last = resolve(date, h, 59, hourStart + 59 * 60000);
            m_wholeHour = !first.exact && !last.exact && first.earlier == first.later
                && last.earlier == last.later && first.earlier == last.earlier;
            if (m_wholeHour)
                m_reading = first;
        }
        if (!m_wholeHour && hour * 60 + mi != m_minute) {
            m_minute = hour * 60 + mi;
            m_reading = resolve(date, h, mi, hourStart + qint64(mi) * 60000);
        }
        if (m_reading.exact) {
            const QDateTime t(date, QTime(h, mi, sec, ms));
            if (!t.isValid())
                return false;
            msecs = t.toMSecsSinceEpoch();
            offset = t.offsetFromUtc();
        } else {
            offset = m_reading.earlier;
            msecs = naive - qint64(offset) * 1000;
            // The earlier reading of a repeated minute lies before what was read already.
            if (m_reading.later != offset && msecs < m_last) {
                offset = m_reading.later;
                msecs = naive - qint64(offset) * 1000;
            }
        }
        m_last = msecs;
        return true;
    }

    // How the wall-clock minute h:mi of date reads in the local zone; naive: its milliseconds
    // since the epoch as if it were UTC.
    static Reading resolve(const QDate &date, int h, int mi, qint64 naive)
    {
        Reading r;
        const QDateTime probe(date, QTime(h, mi));
        if (!probe.isValid() || probe.date() != date || probe.time() != QTime(h, mi))
            return r;
        r.exact = false;
        // The offsets in force a few hours around it are the only other readings it can have.
        const int found = probe.offsetFromUtc();
        r.earlier = r.later = found;
        const qint64 instant = naive - qint64(found) * 1000;
        for (qint64 shift : {-3 * 3600000LL, 3 * 3600000LL}) {
            const int other = QDateTime::fromMSecsSinceEpoch(instant + shift).offsetFromUtc();
            if (other == found || QDateTime::fromMSecsSinceEpoch(naive - qint64(other) * 1000).offsetFromUtc() != other)
                continue;
            r.earlier = std::max(r.earlier, other);
            r.later = std::min(r.later, other);
        }
        return r;
    }

    // A number as stored, "-?d+(.d+)?" with at most 15 digits, ended by "," or the end of the
    // text (*stop then points there). Such a number is exact as an integer over a power of
    // ten: both are exact doubles and the division rounds once, as a correctly rounded decimal
    // conversion does. False for anything else, which anyNumber() then reads. The texts end in a
    // 0 byte (SQLite's and QByteArray's both), which stops the digit loops without a bound.
    static bool storedNumber(const char *p, const char *end, double &value, const char *&stop)
    {
        static const double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                        1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const char *q = p;
        const bool negative = *q == '-';
        q += negative;
        const char *integer = q;
        quint64 mantissa = 0;
        for (unsigned d; (d = unsigned(*q) - '0') <= 9; ++q)
            mantissa = mantissa * 10 + d;
        int digits = int(q - integer);
        int fraction = 0;
        if (*q == '.' && digits > 0) {
            const char *first = ++q;
            for (unsigned d; (d = unsigned(*q) - '0') <= 9; ++q)
                mantissa = mantissa * 10 + d;
            fraction = int(q - first);
            if (fraction == 0)
                return false;
            digits += fraction;
        }
        if (digits == 0 || digits > 15 || q > end || (q < end && *q != ','))
            return false;
        value = double(mantissa) / powers[fraction];
        if (negative)
            value = -value;
        stop = q;
        return true;
    }

    // Any other text, as the values were always read.
    static bool anyNumber(const char *p, const char *end, double &value)
    {
        bool ok = false;
        value = QString::fromUtf8(p, int(end - p)).toDouble(&ok);
        // An empty or broken value read as 0 ℃ would pull every mean it enters.
        return ok && std::isfinite(value);
    }

    qint64 m_hour = std::numeric_limits<qint64>::min();
    qint64 m_minute = std::numeric_limits<qint64>::min();
    bool m_wholeHour = false;
    Reading m_reading;
    qint64 m_last = std::numeric_limits<qint64>::min();   // the instant of the row before
};

QDateTime SampleReader::Row::time() const
{
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::OffsetFromUTC, offsetSeconds);
}

SampleReader::SampleReader() : m_db(ThreadConnection::current())
{
}

SampleReader::SampleReader(const QSqlDatabase &db) : m_db(db)
{
}

bool SampleReader::handleRow(Parser &parser, const char *time, int timeLength, const char *values, int valuesLength,
                          const Visitor &visit, bool &stop)
{
    // The value count first, then the window, then the values: a row with a wrong count never
    // ends the reading, and only rows inside the window are converted.
    const int count = int(std::count(values, values + valuesLength, ',')) + 1;
    if (m_probeCount < 0)
        m_probeCount = count;
    if (count != m_probeCount) {
        ++m_skipped;
        return true;
    }
    Row row;
    if (!parser.time(time, timeLength, row.msecs, row.offsetSeconds)) {
        ++m_skipped;
        return true;
    }
    if (row.msecs < m_from)
        return true;
    if (row.msecs > m_to) {
        stop = true;
        return true;
    }
    QVector<double> &buffer = parser.buffer;
    buffer.resize(count);
    if (!parser.values(values, valuesLength, count, buffer.data())) {
        ++m_skipped;
        return true;
    }
    row.values = buffer.constData();
    row.count = count;
    if (!visit(row))
        stop = true;
    return true;
}

qint64 SampleReader::countRows(const QString &name, const QString &model)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(selectSql(!model.isEmpty(), true, Dialect::isPostgreSQL(m_db)));
    q.addBindValue(name);
    if (!model.isEmpty())
        q.addBindValue(model);
    if (!q.exec() || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

SampleReader::Status SampleReader::read(const QString &name, const QString &model, int probeCount, qint64 fromMsecs,
                                        qint64 toMsecs, const Visitor &visit)
{
    m_status = Ok;
    m_skipped = 0;
    m_error.clear();
    m_probeCount = probeCount;
    m_from = fromMsecs;
    m_to = toMsecs;
    const bool byModel = !model.isEmpty();
    const qint64 total = m_progress ? countRows(name, model) : -1;
    qint64 rows = 0;
    auto cancelled = [this] { return m_cancel && m_cancel->load(std::memory_order_relaxed); };
    auto tick = [&] {
        if (++rows % ProgressEvery != 0)
            return true;
        if (m_progress)
            m_progress(rows, total);
        return !cancelled();
    };
    if (cancelled()) {
        m_status = Cancelled;
        return m_status;
    }

    Parser parser;
    bool stop = false;
    if (sqlite3 *handle = sqliteHandle(m_db)) {
        const QByteArray sql = selectSql(byModel, false, false).toUtf8();
        const QByteArray nameBytes = name.toUtf8();
        const QByteArray modelBytes = model.toUtf8();
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(handle, sql.constData(), sql.size(), &statement, nullptr) != SQLITE_OK) {
            m_error = QString::fromUtf8(sqlite3_errmsg(handle));
            m_status = Failed;
            return m_status;
        }
        sqlite3_bind_text(statement, 1, nameBytes.constData(), nameBytes.size(), SQLITE_STATIC);
        if (byModel)
            sqlite3_bind_text(statement, 2, modelBytes.constData(), modelBytes.size(), SQLITE_STATIC);
        int rc = SQLITE_DONE;
        while (!stop && (rc = sqlite3_step(statement)) == SQLITE_ROW) {
            const char *time = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
            const int timeLength = sqlite3_column_bytes(statement, 0);
            const char *values = reinterpret_cast<const char *>(sqlite3_column_text(statement, 1));
            const int valuesLength = sqlite3_column_bytes(statement, 1);
            handleRow(parser, time ? time : "", time ? timeLength : 0, values ? values : "", values ? valuesLength : 0,
                   visit, stop);
            if (!stop && !tick()) {
                m_status = Cancelled;
                stop = true;
            }
        }
        if (!stop && rc != SQLITE_DONE) {
            m_error = QString::fromUtf8(sqlite3_errmsg(handle));
            m_status = Failed;
        }
        sqlite3_finalize(statement);
    } else {
        // Another driver: the same columns through Qt.
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        q.prepare(selectSql(byModel, false, Dialect::isPostgreSQL(m_db)));
        q.addBindValue(name);
        if (byModel)
            q.addBindValue(model);
        if (!q.exec()) {
            m_error = q.lastError().text();
            m_status = Failed;
            return m_status;
        }
        while (!stop && q.next()) {
            const QByteArray time = q.value(0).toString().toUtf8();
            const QByteArray values = q.value(1).toString().toUtf8();
            handleRow(parser, time.constData(), time.size(), values.constData(), values.size(), visit, stop);
            if (!stop && !tick()) {
                m_status = Cancelled;
                stop = true;
            }
        }
    }
    if (m_status == Ok && m_progress)
        m_progress(total < 0 ? rows : total, total < 0 ? rows : total);
    return m_status;
}

QVector<RunSample> SampleReader::readRun(const QString &name, const QString &model, int probeCount,
                                         const QDateTime &from, const QDateTime &to)
{
    QVector<RunSample> samples;
    const qint64 fromMsecs = from.isValid() ? from.toMSecsSinceEpoch() : NoLimitFrom;
    const qint64 toMsecs = to.isValid() ? to.toMSecsSinceEpoch() : NoLimitTo;
    read(name, model, probeCount, fromMsecs, toMsecs, [&samples](const Row &row) {
        RunSample sample;
        sample.time = row.time();
        sample.values = QVector<double>(row.values, row.values + row.count);
        samples.append(std::move(sample));
        return true;
    });
    return samples;
}
