#include "PerformanceVerdict.h"

#include "Compare.h"
#include "Units.h"

#include <QCoreApplication>

#include <cmath>

namespace Analysis {

namespace {

PerformanceFigure figure(FigureKind kind, const StepPerformance *step, double value, double limit, Verdict verdict)
{
    PerformanceFigure f;
    f.kind = kind;
    if (step) {
        f.step = step->step;
        f.setTemperature = step->setTemperature;
        f.heating = step->heating;
    }
    f.value = value;
    f.limit = limit;
    f.verdict = verdict;
    return f;
}

} // namespace

bool PerformanceProfile::isEmpty() const
{
    return !qIsFinite(accuracy) && !qIsFinite(uniformity) && !qIsFinite(heatingRate) && !qIsFinite(coolingRate)
        && !qIsFinite(overshoot) && !qIsFinite(settlingTime);
}

bool profileFromTexts(const QStringList &texts, PerformanceProfile *profile, int *bad)
{
    *profile = PerformanceProfile();
    if (texts.size() != 6) {
        if (bad)
            *bad = qMin(texts.size(), 6);
        return false;
    }
    double *limits[6] = {&profile->accuracy, &profile->uniformity, &profile->heatingRate, &profile->coolingRate,
                         &profile->overshoot, &profile->settlingTime};
    for (int i = 0; i < 6; ++i) {
        const QString text = texts.at(i).trimmed();
        if (text.isEmpty())
            continue;
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok || !qIsFinite(v) || v < 0) {
            *profile = PerformanceProfile();
            if (bad)
                *bad = i;
            return false;
        }
        *limits[i] = v;
    }
    return true;
}

Verdict atMost(double value, double limit)
{
    if (!qIsFinite(limit))
        return Verdict::NotJudged;
    if (qIsNaN(value))
        return Verdict::Fail;
    return exceedsLimit(value, limit) ? Verdict::Fail : Verdict::Pass;
}

Verdict atLeast(double value, double limit)
{
    if (!qIsFinite(limit))
        return Verdict::NotJudged;
    if (qIsNaN(value))
        return Verdict::Fail;
    return belowLimit(value, limit) ? Verdict::Fail : Verdict::Pass;
}

Verdict withinPlusMinus(double value, double limit)
{
    return atMost(std::fabs(value), limit);
}

Quantity quantityOf(FigureKind kind)
{
    switch (kind) {
    case FigureKind::SettlingTime:
        return Quantity::Seconds;
    case FigureKind::HeatingRate:
    case FigureKind::CoolingRate:
    case FigureKind::MaxHeatingRate:
    case FigureKind::MaxCoolingRate:
        return Quantity::Rate;
    default:
        return Quantity::Difference;
    }
}

QVector<PerformanceFigure> performanceFigures(const PerformanceResult &result, const PerformanceProfile &profile)
{
    QVector<PerformanceFigure> out;
    for (const StepPerformance &s : result.steps) {
        out << figure(FigureKind::Overshoot, &s, s.overshoot, profile.overshoot, atMost(s.overshoot, profile.overshoot));
        PerformanceFigure well = figure(FigureKind::WellOvershoot, &s, s.wellOvershoot, profile.overshoot,
                                        atMost(s.wellOvershoot, profile.overshoot));
        well.well = s.worstWell;
        out << well;
        out << figure(FigureKind::SettlingTime, &s, s.settlingTime, profile.settlingTime,
                      atMost(s.settlingTime, profile.settlingTime));
        for (const FixedTimeFigures &t : s.atTimes) {
            PerformanceFigure mean = figure(FigureKind::MeanDeviation, &s, t.meanDeviation, profile.accuracy,
                                            withinPlusMinus(t.meanDeviation, profile.accuracy));
            PerformanceFigure spread = figure(FigureKind::Spread, &s, t.spread, profile.uniformity,
                                              atMost(t.spread, profile.uniformity));
            mean.after = spread.after = t.after;
            out << mean << spread;
        }
    }
    const RatePerformance &r = result.rate;
    if (r.hasData) {
        out << figure(FigureKind::HeatingRate, nullptr, r.heatingRate, profile.heatingRate,
                      atLeast(r.heatingRate, profile.heatingRate));
        out << figure(FigureKind::MaxHeatingRate, nullptr, r.maxHeatingRate, profile.heatingRate,
                      atLeast(r.maxHeatingRate, profile.heatingRate));
        out << figure(FigureKind::CoolingRate, nullptr, r.coolingRate, profile.coolingRate,
                      atLeast(r.coolingRate, profile.coolingRate));
        out << figure(FigureKind::MaxCoolingRate, nullptr, r.maxCoolingRate, profile.coolingRate,
                      atLeast(r.maxCoolingRate, profile.coolingRate));
    }
    return out;
}

Verdict overallVerdict(const QVector<PerformanceFigure> &figures)
{
    if (figures.isEmpty())
        return Verdict::NotJudged;
    bool allPass = true;
    for (const PerformanceFigure &f : figures) {
        if (f.verdict == Verdict::Fail)
            return Verdict::Fail;
        allPass = allPass && f.verdict == Verdict::Pass;
    }
    return allPass ? Verdict::Pass : Verdict::NotJudged;
}

QString verdictWord(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Pass:
        return QStringLiteral("合格");
    case Verdict::Fail:
        return QStringLiteral("不合格");
    default:
        return QString();
    }
}

QString verdictText(Verdict verdict)
{
    // Apart from the probe verification's words of the same text.
    switch (verdict) {
    case Verdict::Pass:
        return QCoreApplication::translate("Analysis", "合格", "performance verdict");
    case Verdict::Fail:
        return QCoreApplication::translate("Analysis", "不合格", "performance verdict");
    default:
        return QString();
    }
}

QString figureName(const PerformanceFigure &f)
{
    const QString seconds = QString::number(f.after, 'g', 6);
    switch (f.kind) {
    case FigureKind::Overshoot:
        return f.heating ? QCoreApplication::translate("Analysis", "过冲") : QCoreApplication::translate("Analysis", "下冲");
    case FigureKind::WellOvershoot:
        return (f.heating ? QCoreApplication::translate("Analysis", "最差孔过冲") : QCoreApplication::translate("Analysis", "最差孔下冲"));
    case FigureKind::SettlingTime:
        return QCoreApplication::translate("Analysis", "稳定时间");
    case FigureKind::MeanDeviation:
        return QCoreApplication::translate("Analysis", "平均偏差（%1 s）").arg(seconds);
    case FigureKind::Spread:
        return QCoreApplication::translate("Analysis", "均匀度（%1 s）").arg(seconds);
    case FigureKind::HeatingRate:
        return QCoreApplication::translate("Analysis", "平均升温速率");
    case FigureKind::CoolingRate:
        return QCoreApplication::translate("Analysis", "平均降温速率");
    case FigureKind::MaxHeatingRate:
        return QCoreApplication::translate("Analysis", "最大升温速率");
    case FigureKind::MaxCoolingRate:
        return QCoreApplication::translate("Analysis", "最大降温速率");
    }
    return QString();
}

double displayFigureValue(double value, FigureKind kind, const QString &unit)
{
    return quantityOf(kind) == Quantity::Seconds ? value : displayDifference(value, unit);
}

QString figureUnit(const PerformanceFigure &f, const QString &unit)
{
    switch (quantityOf(f.kind)) {
    case Quantity::Seconds:
        return QStringLiteral("s");
    case Quantity::Rate:
        return unit + QStringLiteral("/s");
    default:
        return unit;
    }
}

namespace {

QString number(double v, FigureKind kind, int decimals)
{
    return QString::number(v, 'f', quantityOf(kind) == Quantity::Seconds ? 1 : decimals);
}

} // namespace

QString figureValueText(const PerformanceFigure &f, const QString &unit, int decimals)
{
    if (qIsNaN(f.value))
        return f.kind == FigureKind::SettlingTime ? QCoreApplication::translate("Analysis", "未稳定") : QStringLiteral("—");
    return number(displayFigureValue(f.value, f.kind, unit), f.kind, decimals);
}

QString figureLimitText(const PerformanceFigure &f, const QString &unit, int decimals)
{
    if (!qIsFinite(f.limit))
        return QString();
    const QString v = number(displayFigureValue(f.limit, f.kind, unit), f.kind, decimals);
    switch (f.kind) {
    case FigureKind::MeanDeviation:
        return QStringLiteral("±") + v;
    case FigureKind::HeatingRate:
    case FigureKind::CoolingRate:
    case FigureKind::MaxHeatingRate:
    case FigureKind::MaxCoolingRate:
        return QStringLiteral("≥") + v;
    default:
        return QStringLiteral("≤") + v;
    }
}

} // namespace Analysis
