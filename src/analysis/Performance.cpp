#include "Performance.h"

#include "Compare.h"

#include <algorithm>
#include <cmath>

namespace Analysis {

namespace {

// A sample's time as its clock shows it, in milliseconds. Stored times are local clock times, and
// asking the time zone for each of a day's 86,400 samples would cost more than all the figures.
inline qint64 wallMSecs(const QDateTime &time)
{
    return time.date().toJulianDay() * qint64(86400000) + time.time().msecsSinceStartOfDay();
}

// Sample times in seconds from the first sample, and the block mean (mean of the first
// `probeCount` values) of every sample.
struct Series
{
    QVector<double> seconds;
    QVector<double> means;
};

Series series(const QVector<RunSample> &samples, int probeCount)
{
    Series s;
    const int count = samples.size();
    s.seconds.resize(count);
    s.means.resize(count);
    if (count == 0)
        return s;
    const qint64 origin = wallMSecs(samples.first().time);
    for (int i = 0; i < count; ++i) {
        const RunSample &sample = samples.at(i);
        s.seconds[i] = (wallMSecs(sample.time) - origin) / 1000.0;
        const int n = qMin(probeCount, sample.values.size());
        double sum = 0.0;
        const double *v = sample.values.constData();
        for (int j = 0; j < n; ++j)
            sum += v[j];
        // A short sample has no block mean; it never crosses anything.
        s.means[i] = n == probeCount && n > 0 ? sum / n : qQNaN();
    }
    return s;
}

inline double valueAt(const QVector<RunSample> &samples, int i, int p)
{
    const QVector<double> &v = samples.at(i).values;
    return p < v.size() ? v.at(p) : qQNaN();
}

// `towards` > 0: how far v lies above `level`; < 0: how far below.
inline double beyond(double v, double level, int towards)
{
    return towards > 0 ? v - level : level - v;
}

// First index in [from, to] whose value is at or past `level` in direction `towards` (a value at
// the level as written counts), with the interpolated moment it got there; -1 when none does.
template <typename Value>
int firstAtOrPast(const QVector<double> &seconds, int from, int to, double level, int towards, Value value,
                  double *when)
{
    for (int i = from; i <= to; ++i) {
        const double v = value(i);
        if (!(beyond(v, level, towards) >= -LimitMargin))
            continue;
        if (i == from || !qIsFinite(value(i - 1)))
            *when = seconds.at(i);
        else
            *when = interpolatedTime(seconds.at(i - 1), value(i - 1), seconds.at(i), v, level);
        return i;
    }
    return -1;
}

// The figures a fixed time after reaching: each well interpolated at that moment.
FixedTimeFigures fixedTime(const QVector<RunSample> &samples, const Series &s, int from, int to,
                           double reachedAt, double after, double setTemperature, int probeCount)
{
    FixedTimeFigures f;
    f.after = after;
    const double at = reachedAt + after;
    if (from > to || !qIsFinite(at) || exceedsLimit(at, s.seconds.at(to)))
        return f;
    // The first sample at or after the moment; the one before it brackets it.
    const auto begin = s.seconds.constBegin();
    int b = int(std::lower_bound(begin + from, begin + to + 1, at - LimitMargin) - begin);
    b = qMin(b, to);
    const int a = b > from && s.seconds.at(b) > at ? b - 1 : b;
    const double weight = a == b ? 0.0 : (at - s.seconds.at(a)) / (s.seconds.at(b) - s.seconds.at(a));
    f.deviations.resize(probeCount);
    double sum = 0.0, smallest = qInf(), largest = -qInf();
    for (int w = 0; w < probeCount; ++w) {
        const double va = valueAt(samples, a, w);
        const double v = va + (valueAt(samples, b, w) - va) * weight;
        const double d = v - setTemperature;
        f.deviations[w] = d;
        sum += d;
        smallest = qMin(smallest, d);
        largest = qMax(largest, d);
    }
    if (probeCount < 1 || !qIsFinite(sum))
        return f;
    f.available = true;
    f.meanDeviation = sum / probeCount;
    f.spread = largest - smallest;
    return f;
}

StepPerformance oneStep(const QVector<RunSample> &samples, const Series &s, int from, int to, int stepIndex,
                        double setTemperature, int probeCount, const PerformanceSettings &settings)
{
    StepPerformance r;
    r.step = stepIndex;
    r.setTemperature = setTemperature;
    for (double after : settings.fixedTimes) {
        FixedTimeFigures f;
        f.after = after;
        r.atTimes.append(f);
    }
    if (from > to || !qIsFinite(s.means.at(from)))
        return r;
    r.heating = s.means.at(from) <= setTemperature;
    const int towards = r.heating ? 1 : -1;

    // Overshoot of the block mean and of each well over the whole step: before reaching the set
    // point everything lies short of it, so only what went past counts.
    double mean = 0.0;
    QVector<double> wells(probeCount, 0.0);
    double *well = wells.data();
    for (int i = from; i <= to; ++i) {
        if (qIsFinite(s.means.at(i)))
            mean = qMax(mean, beyond(s.means.at(i), setTemperature, towards));
        const QVector<double> &values = samples.at(i).values;
        const int n = qMin(probeCount, values.size());
        const double *v = values.constData();
        for (int w = 0; w < n; ++w) {
            const double past = towards * (v[w] - setTemperature);
            if (past > well[w])
                well[w] = past;
        }
    }
    r.overshoot = mean;
    double worst = -qInf();
    for (int w = 0; w < probeCount; ++w) {
        if (well[w] > worst) {
            worst = well[w];
            r.worstWell = w;
        }
    }
    r.wellOvershoot = r.worstWell >= 0 ? worst : qQNaN();

    // Reaching: the first crossing of the set point; a block that settles short of it (an
    // offset larger than its approach) reaches it where it enters the band.
    const auto meanAt = [&s](int i) { return s.means.at(i); };
    double reachedAt = qQNaN();
    int reached = firstAtOrPast(s.seconds, from, to, setTemperature, towards, meanAt, &reachedAt);
    r.crossed = reached >= 0;
    if (reached < 0)
        reached = firstAtOrPast(s.seconds, from, to, setTemperature - towards * settings.band, towards, meanAt,
                                &reachedAt);
    if (reached < 0)
        return r;
    r.reached = true;
    r.reachedTime = samples.first().time.addMSecs(qRound64(reachedAt * 1000.0));

    // Settling: the last sample outside the band; the block is settled from where it came back
    // across the band's edge.
    int last = -1;
    for (int i = to; i >= reached; --i) {
        if (qIsFinite(s.means.at(i)) && exceedsLimit(std::fabs(s.means.at(i) - setTemperature), settings.band)) {
            last = i;
            break;
        }
    }
    if (last < 0) {
        r.settlingTime = 0.0;
    } else if (last < to) {
        const double v = s.means.at(last);
        const double edge = setTemperature + (v > setTemperature ? settings.band : -settings.band);
        const double back = interpolatedTime(s.seconds.at(last), v, s.seconds.at(last + 1), s.means.at(last + 1), edge);
        r.settlingTime = qMax(0.0, back - reachedAt);
    }

    for (int k = 0; k < settings.fixedTimes.size(); ++k)
        r.atTimes[k] = fixedTime(samples, s, reached > from ? reached - 1 : from, to, reachedAt,
                                 settings.fixedTimes.at(k), setTemperature, probeCount);
    return r;
}

} // namespace

double interpolatedTime(double t0, double v0, double t1, double v1, double level)
{
    if (v1 == v0)
        return t1;
    const double t = t0 + (level - v0) / (v1 - v0) * (t1 - t0);
    return qBound(qMin(t0, t1), t, qMax(t0, t1));
}

QVector<StepPerformance> stepPerformance(const QVector<RunSample> &samples, const QVector<Segment> &segments,
                                         const QVector<CycleStep> &steps, int probeCount,
                                         const PerformanceSettings &settings)
{
    QVector<StepPerformance> out;
    if (samples.isEmpty() || probeCount < 1)
        return out;
    const Series s = series(samples, probeCount);
    const qint64 origin = wallMSecs(samples.first().time);
    const int count = qMin(segments.size(), steps.size());
    int from = 0;
    for (int k = 0; k < count; ++k) {
        const Segment &segment = segments.at(k);
        int to = from - 1;
        if (!segment.isEmpty()) {
            const double end = (wallMSecs(segment.last().time) - origin) / 1000.0;
            to = int(std::upper_bound(s.seconds.constBegin(), s.seconds.constEnd(), end) - s.seconds.constBegin()) - 1;
        }
        out.append(oneStep(samples, s, from, to, k, steps.at(k).temperature, probeCount, settings));
        from = qMax(from, to + 1);
    }
    return out;
}

namespace {

void maximumRates(const Series &s, double window, double *heating, double *cooling)
{
    *heating = qQNaN();
    *cooling = qQNaN();
    const int count = s.seconds.size();
    if (count < 2 || !qIsFinite(window) || window <= 0.0)
        return;
    double up = 0.0, down = 0.0;
    bool any = false;
    int j = 1;
    for (int i = 0; i < count; ++i) {
        const double target = s.seconds.at(i) + window;
        j = qMax(j, i + 1);
        while (j < count && s.seconds.at(j) < target - LimitMargin)
            ++j;
        if (j >= count)
            break;
        // The block mean one window after sample i, interpolated; where the samples lie further
        // apart than the window, the rate over the gap is as close as the data comes.
        double v = s.means.at(j);
        double span = window;
        if (s.seconds.at(j) > target + LimitMargin) {
            if (j - 1 > i) {
                const double t0 = s.seconds.at(j - 1), t1 = s.seconds.at(j);
                v = s.means.at(j - 1) + (s.means.at(j) - s.means.at(j - 1)) * (target - t0) / (t1 - t0);
            } else {
                span = s.seconds.at(j) - s.seconds.at(i);
            }
        }
        const double slope = (v - s.means.at(i)) / span;
        if (!qIsFinite(slope))
            continue;
        any = true;
        up = qMax(up, slope);
        down = qMax(down, -slope);
    }
    if (any) {
        *heating = up;
        *cooling = down;
    }
}

} // namespace

void maximumRates(const QVector<RunSample> &samples, int probeCount, double window, double *heating,
                  double *cooling)
{
    maximumRates(series(samples, probeCount), window, heating, cooling);
}

RatePerformance ratePerformance(const QVector<RunSample> &samples, const QVector<CycleStep> &steps,
                                int probeCount, double window)
{
    RatePerformance r;
    const int n = probeCount;
    if (samples.isEmpty() || n < 1 || samples.first().values.size() != n || steps.size() < 3)
        return r;
    const double t1 = steps.at(0).temperature;
    const double t2 = steps.at(1).temperature;
    const double t3 = steps.at(2).temperature;
    const Series s = series(samples, n);
    const int last = samples.size() - 1;

    // The project's thresholds, crossed strictly as its own rate analysis crosses them.
    double heatSum = 0.0, coolSum = 0.0;
    for (int p = 0; p < n; ++p) {
        const auto value = [&samples, p](int i) { return valueAt(samples, i, p); };
        double heatStart = 0, heatEnd = 0, coolStart = 0, coolEnd = 0;
        const auto past = [&](int from, double level, int towards, double *when) {
            for (int i = from; i <= last; ++i) {
                const double v = value(i);
                if (!(towards > 0 ? exceedsLimit(v, level) : belowLimit(v, level)))
                    continue;
                *when = i == 0 || !qIsFinite(value(i - 1))
                    ? s.seconds.at(i)
                    : interpolatedTime(s.seconds.at(i - 1), value(i - 1), s.seconds.at(i), v, level);
                return i;
            }
            return -1;
        };
        const int a = past(0, t1 + 5, 1, &heatStart);
        const int b = a < 0 ? -1 : past(a, t2 - 5, 1, &heatEnd);
        const int c = b < 0 ? -1 : past(b, t2 - 5, -1, &coolStart);
        const int d = c < 0 ? -1 : past(c, t3 + 5, -1, &coolEnd);
        if (d < 0)
            return r;
        heatSum += heatEnd - heatStart;
        coolSum += coolEnd - coolStart;
    }
    r.hasData = true;
    r.heatingTime = heatSum / n;
    r.coolingTime = coolSum / n;
    // At the interpolated crossings every probe reads the threshold itself.
    r.heatingRate = r.heatingTime > 0 ? ((t2 - 5) - (t1 + 5)) / r.heatingTime : qQNaN();
    r.coolingRate = r.coolingTime > 0 ? ((t2 - 5) - (t3 + 5)) / r.coolingTime : qQNaN();
    maximumRates(s, window, &r.maxHeatingRate, &r.maxCoolingRate);
    return r;
}

} // namespace Analysis
