#include "Rate.h"

#include "Compare.h"
#include "Units.h"

#include <QDebug>

#include <cmath>
#include <limits>

namespace Analysis {

namespace {

// Value of probe p in sample i; a missing value never crosses a threshold.
inline double valueAt(const QVector<RunSample> &samples, int i, int p)
{
    const QVector<double> &v = samples.at(i).values;
    return p < v.size() ? v.at(p) : qQNaN();
}

// First index from `from` on whose value passes `test`, or -1.
template <typename Test>
int firstFrom(const QVector<RunSample> &samples, int from, int p, Test test)
{
    for (int i = from; i < samples.size(); ++i) {
        if (test(valueAt(samples, i, p)))
            return i;
    }
    return -1;
}

// Truncation of a time sum to whole seconds. A span that is whole as written can come out a hair
// below it in binary (90 samples of 0.7 s give 62.99999999999999), which would lose a second.
qint64 wholeSeconds(double seconds)
{
    return static_cast<qint64>(seconds + LimitMargin * qMax(1.0, std::fabs(seconds)));
}

} // namespace

bool isUsableInterval(double interval)
{
    return std::isfinite(interval) && interval >= MinInterval && interval <= MaxInterval;
}

int RateAnalysisData(const QVector<RunSample> &samples, const QVector<CycleStep> &steps,
                     int probeCount, double interval, RateResult &result)
{
    result = RateResult();
    const int n = probeCount;
    if (samples.isEmpty() || n < 1 || samples.first().values.size() != n)
        return RateOk;
    // An interval read from a damaged or edited record is checked before any arithmetic with it.
    if (steps.size() < 3 || !isUsableInterval(interval))
        return RateUnusableInput;

    const double t1 = steps.at(0).temperature;
    const double t2 = steps.at(1).temperature;
    const double t3 = steps.at(2).temperature;

    double heatStartSum = 0.0, heatEndSum = 0.0, coolStartSum = 0.0, coolEndSum = 0.0;
    qint64 heatTimeSum = 0, coolTimeSum = 0;
    // The thresholds are strict; a reading equal to one as written (59.1 against 64.1 − 5)
    // must not cross it by binary rounding of the sum.
    for (int p = 0; p < n; ++p) {
        const int heatStart = firstFrom(samples, 0, p, [t1](double v) { return exceedsLimit(v, t1 + 5); });
        if (heatStart < 0)
            return RateNoHeatingStart;
        const int heatEnd = firstFrom(samples, heatStart, p, [t2](double v) { return exceedsLimit(v, t2 - 5); });
        if (heatEnd < 0)
            return RateNoHeatingEnd;
        heatStartSum += valueAt(samples, heatStart, p);
        heatEndSum += valueAt(samples, heatEnd, p);
        // Truncated probe by probe, so fractions of a second are lost per probe.
        heatTimeSum = wholeSeconds((heatEnd - heatStart) * interval + heatTimeSum);

        const int coolStart = firstFrom(samples, heatEnd, p, [t2](double v) { return belowLimit(v, t2 - 5); });
        if (coolStart < 0)
            return RateNoCoolingStart;
        const int coolEnd = firstFrom(samples, coolStart, p, [t3](double v) { return belowLimit(v, t3 + 5); });
        if (coolEnd < 0)
            return RateNoCoolingEnd;
        coolStartSum += valueAt(samples, coolStart, p);
        coolEndSum += valueAt(samples, coolEnd, p);
        coolTimeSum = wholeSeconds((coolEnd - coolStart) * interval + coolTimeSum);
    }

    // Mean times beyond an int (only a record with absurd times gives them) are no result.
    if (heatTimeSum / n > std::numeric_limits<int>::max() || coolTimeSum / n > std::numeric_limits<int>::max())
        return RateUnusableInput;
    result.hasData = true;
    result.heatingStart = heatStartSum / n;
    result.heatingEnd = heatEndSum / n;
    result.heatingTime = int(heatTimeSum / n);
    // A mean time of 0 s divides by zero; the text shows what the number conversion prints.
    result.heatingRate = (result.heatingEnd - result.heatingStart) / result.heatingTime;
    result.coolingStart = coolStartSum / n;
    result.coolingEnd = coolEndSum / n;
    result.coolingTime = int(coolTimeSum / n);
    result.coolingRate = (result.coolingStart - result.coolingEnd) / result.coolingTime;
    return RateOk;
}

QStringList rateTexts(const RateResult &result, const QString &unit, int decimals)
{
    if (!result.hasData)
        return QStringList() << QString() << QString() << QString() << QString() << QString()
                             << QString() << QString() << QString();
    auto temperature = [&](double v) {
        return QString::number(displayTemperature(v, unit), 'f', decimals);
    };
    auto rate = [&](double v) { return QString::number(displayDifference(v, unit), 'f', decimals); };
    return QStringList() << temperature(result.heatingStart) << temperature(result.heatingEnd)
                         << QString::number(result.heatingTime) << rate(result.heatingRate)
                         << temperature(result.coolingStart) << temperature(result.coolingEnd)
                         << QString::number(result.coolingTime) << rate(result.coolingRate);
}

int RateAnalysisData(const QVector<RunSample> &samples, const QVector<CycleStep> &steps,
                     int probeCount, double interval, const QString &unit, int decimals,
                     QStringList &texts)
{
    RateResult result;
    const int code = RateAnalysisData(samples, steps, probeCount, interval, result);
    if (code != RateOk)
        return code;
    const QStringList out = rateTexts(result, unit, decimals);
    if (result.hasData)
        qInfo().noquote() << QStringLiteral("返回数据为：(") + out.join(QStringLiteral(", ")) + QLatin1Char(')');
    texts += out;
    return RateOk;
}

} // namespace Analysis
