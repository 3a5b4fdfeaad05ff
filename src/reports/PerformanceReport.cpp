#include "reports/PerformanceReport.h"

#include "analysis/Units.h"
#include "reports/ColumnLetters.h"
#include "store/profiles.h"
#include "store/tool.h"

#include <QCoreApplication>
#include <QDebug>
#include <QJsonArray>
#include <QSettings>

#include <cmath>

namespace PerformanceReport {

namespace {

using namespace Analysis;

double positive(const QVariant &v, double fallback)
{
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(d) && d > 0 ? d : fallback;
}

// "15,30" arrives as a list when unquoted and as one text when quoted.
QVector<double> times(const QVariant &v, const QVector<double> &fallback)
{
    QStringList texts = v.toStringList();
    if (texts.size() == 1)
        texts = texts.first().split(QLatin1Char(','), Qt::SkipEmptyParts);
    QVector<double> out;
    for (const QString &t : texts) {
        bool ok = false;
        const double d = t.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(d) || d < 0)
            return fallback;
        out << d;
    }
    return out.isEmpty() ? fallback : out;
}

QString seconds(double s)
{
    return QString::number(s, 'g', 6) + QStringLiteral(" s");
}

QString temperature(double celsius, const QString &unit, int decimals)
{
    return QString::number(displayTemperature(celsius, unit), 'f', decimals) + unit;
}

QString wellLabel(const QStringList &probes, int well)
{
    if (well < 0)
        return QString();
    if (well < probes.size())
        return probeLabel(probes.at(well)).plain();
    return QString::number(well + 1);
}

QString figureLabel(const PerformanceFigure &f, const QStringList &probes)
{
    const QString name = figureName(f);
    if (f.kind == FigureKind::WellOvershoot && f.well >= 0)
        return name + QCoreApplication::translate("PerformanceReport", "（%1）").arg(wellLabel(probes, f.well));
    return name;
}

// A value with its unit; the unit is left off a text that is no number ("—", "未稳定").
QString withUnit(const QString &text, const PerformanceFigure &f, const QString &unit)
{
    if (text.isEmpty() || qIsNaN(f.value))
        return text;
    const QString u = figureUnit(f, unit);
    return u == QStringLiteral("s") ? text + QStringLiteral(" s") : text + u;
}

QString limitWithUnit(const PerformanceFigure &f, const QString &unit, int decimals)
{
    const QString text = figureLimitText(f, unit, decimals);
    if (text.isEmpty())
        return text;
    const QString u = figureUnit(f, unit);
    return u == QStringLiteral("s") ? text + QStringLiteral(" s") : text + u;
}

QString profileText(const Input &in)
{
    if (!in.hasProfile)
        return QCoreApplication::translate("PerformanceReport", "设备型号%1未设置性能指标，结果不作判定。").arg(in.model.isEmpty() ? QCoreApplication::translate("PerformanceReport", "（空）") : in.model);
    const PerformanceProfile &p = in.profile;
    const QString u = in.unit;
    const int d = in.decimals;
    auto diff = [&](double v) { return QString::number(displayDifference(v, u), 'f', d) + u; };
    auto rate = [&](double v) { return QString::number(displayDifference(v, u), 'f', d) + u + QStringLiteral("/s"); };
    QStringList parts;
    if (qIsFinite(p.accuracy))
        parts << QCoreApplication::translate("PerformanceReport", "准确度 ±%1").arg(diff(p.accuracy));
    if (qIsFinite(p.uniformity))
        parts << QCoreApplication::translate("PerformanceReport", "均匀度 ≤%1").arg(diff(p.uniformity));
    if (qIsFinite(p.heatingRate))
        parts << QCoreApplication::translate("PerformanceReport", "升温速率 ≥%1").arg(rate(p.heatingRate));
    if (qIsFinite(p.coolingRate))
        parts << QCoreApplication::translate("PerformanceReport", "降温速率 ≥%1").arg(rate(p.coolingRate));
    if (qIsFinite(p.overshoot))
        parts << QCoreApplication::translate("PerformanceReport", "过冲 ≤%1").arg(diff(p.overshoot));
    if (qIsFinite(p.settlingTime))
        parts << QCoreApplication::translate("PerformanceReport", "稳定时间 ≤%1").arg(seconds(p.settlingTime));
    return QCoreApplication::translate("PerformanceReport", "设备型号%1：%2").arg(in.model, parts.join(QCoreApplication::translate("PerformanceReport", "，")));
}

QString basisText(const Input &in)
{
    QStringList fixed;
    for (double t : in.options.settings.fixedTimes)
        fixed << seconds(t);
    return QCoreApplication::translate("PerformanceReport", "稳定带 ±%1；定时：达到设定温度后 %2；最大速率窗口 %3")
        .arg(QString::number(displayDifference(in.options.settings.band, in.unit), 'f', in.decimals) + in.unit,
             fixed.join(QCoreApplication::translate("PerformanceReport", "、")), seconds(in.options.settings.rateWindow));
}

QJsonValue jsonNumber(double value)
{
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

const char *kindKey(FigureKind kind)
{
    switch (kind) {
    case FigureKind::Overshoot:
        return "overshoot";
    case FigureKind::WellOvershoot:
        return "wellOvershoot";
    case FigureKind::SettlingTime:
        return "settlingTime";
    case FigureKind::MeanDeviation:
        return "meanDeviation";
    case FigureKind::Spread:
        return "spread";
    case FigureKind::HeatingRate:
        return "heatingRate";
    case FigureKind::CoolingRate:
        return "coolingRate";
    case FigureKind::MaxHeatingRate:
        return "maxHeatingRate";
    case FigureKind::MaxCoolingRate:
        return "maxCoolingRate";
    }
    return "";
}

QJsonValue verdictKey(Verdict v)
{
    switch (v) {
    case Verdict::Pass:
        return QStringLiteral("pass");
    case Verdict::Fail:
        return QStringLiteral("fail");
    default:
        return QJsonValue(QJsonValue::Null);
    }
}

} // namespace

Options readOptions(const QSettings &ini)
{
    Options o;
    const QString group = QStringLiteral("Performance/");
    o.settings.band = positive(ini.value(group + QStringLiteral("Band")), o.settings.band);
    o.settings.fixedTimes = times(ini.value(group + QStringLiteral("FixedTimes")), o.settings.fixedTimes);
    o.settings.rateWindow = positive(ini.value(group + QStringLiteral("RateWindow")), o.settings.rateWindow);
    const QVariant annex = ini.value(group + QStringLiteral("CertificateAnnex"));
    if (annex.isValid()) {
        const QString t = annex.toString().trimmed().toLower();
        if (t == QStringLiteral("false") || t == QStringLiteral("0") || t == QStringLiteral("no"))
            o.annex = false;
    }
    return o;
}

Options currentOptions()
{
    return readOptions(*Tool::configFile());
}

bool loadProfile(const QString &model, PerformanceProfile *profile, bool *found)
{
    *profile = PerformanceProfile();
    *found = false;
    if (model.trimmed().isEmpty())
        return true;
    PerformanceProfileRecord record;
    bool stored = false;
    if (!Profiles::get(model.trimmed(), &record, &stored))
        return false;
    if (!stored)
        return true;
    int bad = -1;
    if (!profileFromTexts(record.limits(), profile, &bad)) {
        qDebug().noquote() << QStringLiteral("性能指标无法读取：") + model + QLatin1Char(' ') + QString::number(bad);
        *profile = PerformanceProfile();
        return true;
    }
    *found = !profile->isEmpty();
    return true;
}

QVector<PerformanceFigure> figures(const Input &input)
{
    return performanceFigures(input.result, input.hasProfile ? input.profile : PerformanceProfile());
}

PerformanceContent content(const Input &in)
{
    PerformanceContent c;
    c.annex = in.options.annex;
    const QVector<PerformanceFigure> all = figures(in);
    c.present = !all.isEmpty();
    c.profile = profileText(in);
    c.basis = basisText(in);
    const Verdict overall = overallVerdict(all);
    c.verdict = in.hasProfile ? verdictDisplay(PerformanceReport::verdictWord(overall)) : QCoreApplication::translate("PerformanceReport", "不作判定");
    for (const PerformanceFigure &f : all) {
        PerformanceContent::Line line;
        line.name = figureLabel(f, in.probes);
        if (f.step >= 0)
            line.setTemperature = temperature(f.setTemperature, in.unit, in.decimals);
        line.value = withUnit(figureValueText(f, in.unit, in.decimals), f, in.unit);
        line.limit = limitWithUnit(f, in.unit, in.decimals);
        line.verdict = verdictText(f.verdict);
        c.lines << line;
    }
    for (const StepPerformance &s : in.result.steps) {
        for (const FixedTimeFigures &t : s.atTimes) {
            QStringList row{temperature(s.setTemperature, in.unit, in.decimals), seconds(t.after)};
            for (int w = 0; w < in.probes.size() || w < t.deviations.size(); ++w) {
                const double d = w < t.deviations.size() && t.available ? t.deviations.at(w) : qQNaN();
                row << (qIsNaN(d) ? QStringLiteral("—")
                                  : QString::number(displayDifference(d, in.unit), 'f', in.decimals));
            }
            c.wells << row;
        }
    }
    return c;
}

QJsonObject json(const Input &in)
{
    QJsonObject root;
    const QString &u = in.unit;
    QJsonArray fixed;
    for (double t : in.options.settings.fixedTimes)
        fixed.append(t);
    root.insert(QStringLiteral("settings"),
                QJsonObject{{QStringLiteral("band"), displayDifference(in.options.settings.band, u)},
                            {QStringLiteral("fixedTimes"), fixed},
                            {QStringLiteral("rateWindow"), in.options.settings.rateWindow}});
    if (in.hasProfile) {
        const PerformanceProfile &p = in.profile;
        root.insert(QStringLiteral("profile"),
                    QJsonObject{{QStringLiteral("model"), in.model},
                                {QStringLiteral("accuracy"), jsonNumber(displayDifference(p.accuracy, u))},
                                {QStringLiteral("uniformity"), jsonNumber(displayDifference(p.uniformity, u))},
                                {QStringLiteral("heatingRate"), jsonNumber(displayDifference(p.heatingRate, u))},
                                {QStringLiteral("coolingRate"), jsonNumber(displayDifference(p.coolingRate, u))},
                                {QStringLiteral("overshoot"), jsonNumber(displayDifference(p.overshoot, u))},
                                {QStringLiteral("settlingTime"), jsonNumber(p.settlingTime)}});
    } else {
        root.insert(QStringLiteral("profile"), QJsonValue(QJsonValue::Null));
    }
    const QVector<PerformanceFigure> all = figures(in);
    QJsonArray list;
    for (const PerformanceFigure &f : all) {
        QJsonObject o{{QStringLiteral("kind"), QLatin1String(kindKey(f.kind))},
                      {QStringLiteral("name"), figureLabel(f, in.probes)},
                      {QStringLiteral("value"), jsonNumber(displayFigureValue(f.value, f.kind, u))},
                      {QStringLiteral("text"), figureValueText(f, u, in.decimals)},
                      {QStringLiteral("unit"), figureUnit(f, u)},
                      {QStringLiteral("limit"), jsonNumber(displayFigureValue(f.limit, f.kind, u))},
                      {QStringLiteral("limitText"), figureLimitText(f, u, in.decimals)},
                      {QStringLiteral("verdict"), verdictKey(f.verdict)}};
        if (f.step >= 0) {
            o.insert(QStringLiteral("step"), f.step + 1);
            o.insert(QStringLiteral("setTemperature"), displayTemperature(f.setTemperature, u));
        }
        if (qIsFinite(f.after))
            o.insert(QStringLiteral("after"), f.after);
        if (f.well >= 0)
            o.insert(QStringLiteral("well"), wellLabel(in.probes, f.well));
        list.append(o);
    }
    root.insert(QStringLiteral("figures"), list);
    QJsonArray steps;
    for (const StepPerformance &s : in.result.steps) {
        QJsonArray at;
        for (const FixedTimeFigures &t : s.atTimes) {
            QJsonArray deviations;
            for (double d : t.deviations)
                deviations.append(jsonNumber(t.available ? displayDifference(d, u) : qQNaN()));
            at.append(QJsonObject{{QStringLiteral("after"), t.after},
                                  {QStringLiteral("available"), t.available},
                                  {QStringLiteral("deviations"), deviations}});
        }
        steps.append(QJsonObject{
            {QStringLiteral("step"), s.step + 1},
            {QStringLiteral("setTemperature"), displayTemperature(s.setTemperature, u)},
            {QStringLiteral("heating"), s.heating},
            {QStringLiteral("reached"), s.reached ? QJsonValue(s.reachedTime.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")))
                                                  : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("crossed"), s.crossed},
            {QStringLiteral("wells"), at}});
    }
    root.insert(QStringLiteral("steps"), steps);
    const Verdict overall = overallVerdict(all);
    root.insert(QStringLiteral("verdict"), in.hasProfile ? verdictKey(overall) : QJsonValue(QJsonValue::Null));
    root.insert(QStringLiteral("verdictText"), in.hasProfile ? verdictDisplay(PerformanceReport::verdictWord(overall)) : QCoreApplication::translate("PerformanceReport", "不作判定"));
    return root;
}

QString verdictWord(Verdict verdict)
{
    const QString word = Analysis::verdictWord(verdict);
    return word.isEmpty() ? QStringLiteral("不作判定") : word;
}

QString verdictDisplay(const QString &word)
{
    if (word == QStringLiteral("合格"))
        return QCoreApplication::translate("PerformanceReport", "合格");
    if (word == QStringLiteral("不合格"))
        return QCoreApplication::translate("PerformanceReport", "不合格");
    if (word == QStringLiteral("不作判定"))
        return QCoreApplication::translate("PerformanceReport", "不作判定");
    return word;
}

} // namespace PerformanceReport
