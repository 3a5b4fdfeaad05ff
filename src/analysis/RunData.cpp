#include "RunData.h"

namespace Analysis {

namespace {

// Digits at [pos, pos + count) as a number, or -1.
int digits(const QChar *s, int pos, int count)
{
    int v = 0;
    for (int i = pos; i < pos + count; ++i) {
        const ushort c = s[i].unicode();
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

} // namespace

bool parseSampleTime(const QString &text, QDateTime &time)
{
    // The stored form is fixed; reading it by hand is many times quicker than a format parse,
    // which matters for day-long runs.
    if (text.size() == 23) {
        const QChar *s = text.constData();
        if (s[4] == QLatin1Char('-') && s[7] == QLatin1Char('-') && s[10] == QLatin1Char(' ')
            && s[13] == QLatin1Char(':') && s[16] == QLatin1Char(':') && s[19] == QLatin1Char('.')) {
            // A broken year must not become year -1, which QDate accepts.
            const int y = digits(s, 0, 4), mo = digits(s, 5, 2), d = digits(s, 8, 2);
            if (y < 0 || mo < 0 || d < 0)
                return false;
            const QDate date(y, mo, d);
            const int h = digits(s, 11, 2), m = digits(s, 14, 2), sec = digits(s, 17, 2),
                      ms = digits(s, 20, 3);
            if (!date.isValid() || h < 0 || m < 0 || sec < 0 || ms < 0 || !QTime::isValid(h, m, sec, ms))
                return false;
            time = QDateTime(date, QTime(h, m, sec, ms));
            return time.isValid();
        }
    }
    time = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    return time.isValid();
}

namespace {

bool convertValues(const QVector<QStringRef> &parts, QVector<double> &values)
{
    values.resize(parts.size());
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const double v = parts.at(i).toDouble(&ok);
        // An empty or broken value read as 0 ℃ would pull every mean it enters.
        if (!ok || !qIsFinite(v))
            return false;
        values[i] = v;
    }
    return true;
}

} // namespace

bool parseSampleValues(const QString &text, int probeCount, QVector<double> &values)
{
    const QVector<QStringRef> parts = text.splitRef(QLatin1Char(','));
    return parts.size() == probeCount && convertValues(parts, values);
}

RunWindowReader::RunWindowReader(int probeCount, const QDateTime &from, const QDateTime &to)
    : m_probeCount(probeCount), m_from(from), m_to(to)
{
}

bool RunWindowReader::addRow(const QString &time, const QString &values)
{
    if (m_finished)
        return false;
    // Value count first, then the window, then the values: a row with a wrong count never ends
    // the reading, and only rows inside the window are converted.
    const QVector<QStringRef> parts = values.splitRef(QLatin1Char(','));
    if (parts.size() != m_probeCount) {
        ++m_skipped;
        return true;
    }
    RunSample sample;
    if (!parseSampleTime(time, sample.time)) {
        ++m_skipped;
        return true;
    }
    if (sample.time < m_from)
        return true;
    if (sample.time > m_to) {
        m_finished = true;
        return false;
    }
    if (!convertValues(parts, sample.values)) {
        ++m_skipped;
        return true;
    }
    m_samples.append(sample);
    return true;
}

QVector<RunSample> RunWindowReader::takeSamples()
{
    QVector<RunSample> out;
    out.swap(m_samples);
    return out;
}

} // namespace Analysis
