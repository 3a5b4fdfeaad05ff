#include "acquisition/RunProgress.h"

#include <algorithm>
#include <cmath>

namespace RunProgress {

StepAt stepAt(const QVector<CycleStep> &steps, qint64 elapsedSeconds)
{
    StepAt at;
    QVector<qint64> holds;
    qint64 total = 0;
    for (const CycleStep &s : steps) {
        const qint64 seconds = std::isfinite(s.holdTime) ? std::max<qint64>(0, std::llround(s.holdTime * 60)) : 0;
        holds.append(seconds);
        total += seconds;
    }
    if (total <= 0)
        return at;
    const qint64 elapsed = std::max<qint64>(0, elapsedSeconds);
    at.cycle = int(elapsed / total);
    qint64 into = elapsed % total;
    for (int i = 0; i < holds.size(); ++i) {
        if (into < holds.at(i)) {
            at.step = i;
            at.temperature = steps.at(i).temperature;
            at.holdMinutes = steps.at(i).holdTime;
            at.secondsLeft = holds.at(i) - into;
            break;
        }
        into -= holds.at(i);
    }
    return at;
}

qint64 remainingSeconds(qint64 durationSeconds, qint64 elapsedSeconds)
{
    return std::max<qint64>(0, durationSeconds - std::max<qint64>(0, elapsedSeconds));
}

int percentDone(qint64 durationSeconds, qint64 elapsedSeconds)
{
    if (durationSeconds <= 0)
        return elapsedSeconds >= 0 ? 100 : 0;
    const qint64 done = std::clamp<qint64>(elapsedSeconds, 0, durationSeconds);
    return int(done * 100 / durationSeconds);
}

QString clockText(qint64 seconds)
{
    const qint64 s = std::max<qint64>(0, seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg((s / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

void ProbeRanges::reset(int probes)
{
    m_ranges = QVector<Range>(std::max(0, probes));
}

void ProbeRanges::add(const QStringList &values)
{
    if (m_ranges.size() < values.size())
        m_ranges.resize(values.size());
    for (int i = 0; i < values.size(); ++i) {
        bool ok = false;
        const double v = values.at(i).toDouble(&ok);
        if (!ok || !std::isfinite(v))
            continue;
        Range &r = m_ranges[i];
        r.current = v;
        r.low = r.seen ? std::min(r.low, v) : v;
        r.high = r.seen ? std::max(r.high, v) : v;
        r.seen = true;
    }
}

} // namespace RunProgress
