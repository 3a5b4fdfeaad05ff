#include "acquisition/ProbeCalibration.h"

#include "analysis/Compare.h"
#include "analysis/Thermistor.h"
#include "instruments/BathProtocol.h"
#include "store/probepoints.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QSettings>

#include <algorithm>
#include <cmath>

namespace ProbeCalibration {

namespace {

const QString Thermistor = QStringLiteral("热敏电阻");

QString wiringOf(const QString &type)
{
    if (type.endsWith(QLatin1String("-2W")))
        return QStringLiteral("二线制");
    if (type.endsWith(QLatin1String("-3W")))
        return QStringLiteral("三线制");
    return QStringLiteral("四线制");
}

QString pointKey(const char *group, int n)
{
    return QLatin1String(group) + QString::number(n);
}

// A list as QSettings gives it back: a single text is a list of one, an empty list is stored as
// nothing at all.
QStringList listValue(const QSettings &ini, const QString &key)
{
    const QVariant v = ini.value(key);
    if (!v.isValid())
        return {};
    QStringList list = v.toStringList();
    if (list.size() == 1 && list.first().isEmpty())
        list.clear();
    return list;
}

double positiveSetting(const QSettings &ini, const QString &key, double fallback)
{
    bool ok = false;
    const double v = ini.value(key).toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(v) && v > 0 ? v : fallback;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Devices

QStringList Names::baths()
{
    return {vade(), ziviD()};
}

QStringList Names::collectors()
{
    return {collector()};
}

QStringList Names::references(bool bluetoothAdapter)
{
    QStringList list{manual(), fluke1586A(), ziviD()};
    if (bluetoothAdapter)
        list << morva1621A();
    return list;
}

QStringList ReferenceProbe::types()
{
    return {QStringLiteral("ITS90-2W"), QStringLiteral("ITS90-3W"), QStringLiteral("ITS90-4W"),
            QStringLiteral("PT385-2W"), QStringLiteral("PT385-3W"), QStringLiteral("PT385-4W"),
            QStringLiteral("R(T)-2W"),  QStringLiteral("R(T)-4W")};
}

QStringList ReferenceProbe::channels()
{
    QStringList list{QStringLiteral("CH001")};
    for (int c = 101; c <= 110; ++c)
        list << QStringLiteral("CH%1").arg(c);
    return list;
}

// ---------------------------------------------------------------------------------------------
// Points and resume

QString tooFewPointsText()
{
    return QCoreApplication::translate("ProbeCalibration", "温度点数不许少于4个！");
}

bool collectPoints(const QStringList &texts, const QList<bool> &liquidFlags, QVector<Point> &points,
                   QString *message)
{
    points.clear();
    for (int i = 0; i < MaximumPoints && i < texts.size(); ++i) {
        const QString text = texts.at(i).trimmed();
        if (text.isEmpty())
            break;
        bool ok = false;
        const double t = text.toDouble(&ok);
        if (!ok || !std::isfinite(t)) {
            if (message)
                *message = QCoreApplication::translate("ProbeCalibration", "第%1个温度点“%2”不是温度！").arg(i + 1).arg(text);
            points.clear();
            return false;
        }
        // The bath takes its set point to the hundredth and confirms it by reading it back.
        points.append({std::round(t * 100) / 100, liquidFlags.value(i, false)});
    }
    if (points.size() < MinimumPoints) {
        if (message)
            *message = tooFewPointsText();
        points.clear();
        return false;
    }
    return true;
}

PlanLimits readPlanLimits(const QSettings &ini)
{
    PlanLimits limits;
    limits.minimumSpacing = positiveSetting(ini, QStringLiteral("TStandardizer/MinimumSpacing"), DefaultMinimumSpacing);
    const QString model = ini.value(QStringLiteral("TField/Model")).toString().trimmed();
    const QStringList models = bathModels();
    bool first = true;
    for (const QString &m : models) {
        if (models.contains(model) && m != model)
            continue;
        QString low, high;
        bathModelRange(m, low, high);
        limits.lowest = first ? low.toDouble() : std::min(limits.lowest, low.toDouble());
        limits.highest = first ? high.toDouble() : std::max(limits.highest, high.toDouble());
        first = false;
    }
    if (models.contains(model))
        limits.bathModel = model;
    return limits;
}

QString checkPlan(const QVector<Point> &points, const PlanLimits &limits)
{
    const auto t = [](double v) { return QString::number(v); };
    if (points.size() < MinimumPoints)
        return tooFewPointsText();
    for (int i = 0; i < points.size(); ++i) {
        const double v = points.at(i).temperature;
        if (!std::isfinite(v) || v < limits.lowest || v > limits.highest)
            return QCoreApplication::translate("ProbeCalibration", "第%1个温度点 %2 ℃ 超出恒温设备%3的范围（%4 ~ %5 ℃）！")
                .arg(i + 1)
                .arg(t(v), limits.bathModel, t(limits.lowest), t(limits.highest));
        for (int k = 0; k < i; ++k) {
            const double d = std::fabs(v - points.at(k).temperature);
            if (d == 0)
                return QCoreApplication::translate("ProbeCalibration", "第%1个温度点 %2 ℃ 与第%3个点重复！")
                    .arg(i + 1)
                    .arg(t(v))
                    .arg(k + 1);
            // Readings as written, so that 5 K is 5 K and not 4.999999.
            if (Analysis::belowLimit(d, limits.minimumSpacing))
                return QCoreApplication::translate("ProbeCalibration",
                                                   "第%1个温度点 %2 ℃ 与第%3个点 %4 ℃ 相差不足 %5 K！")
                    .arg(i + 1)
                    .arg(t(v))
                    .arg(k + 1)
                    .arg(t(points.at(k).temperature), t(limits.minimumSpacing));
        }
    }
    return QString();
}

QString planText(const QVector<Point> &points)
{
    QStringList texts;
    for (const Point &p : points)
        texts << QString::number(p.temperature);
    return texts.join(QStringLiteral(", ")) + QStringLiteral(" ℃");
}

bool samePlan(const QVector<Point> &a, const QVector<Point> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (a.at(i).temperature != b.at(i).temperature)
            return false;
    return true;
}

QString otherPlanText(const QVector<Point> &stored, int storedPoints, const QVector<Point> &entered)
{
    return QCoreApplication::translate("ProbeCalibration",
                                       "未完成的运行按计划（%1）已测%2个点，与本次的计划（%3）不同。")
        .arg(planText(stored))
        .arg(storedPoints)
        .arg(planText(entered));
}

Resume resumeDecision(const QString &storedSet, const QString &set, int storedPoints, int points)
{
    if (storedSet != set || storedPoints == 0)
        return Resume::Fresh;
    return storedPoints < points ? Resume::Ask : Resume::DataError;
}

QString resumeQuestion(Mode mode)
{
    return mode == Mode::Calibration ? QCoreApplication::translate("ProbeCalibration", "有未完成的校准，是否继续?")
                                     : QCoreApplication::translate("ProbeCalibration", "有未完成的验证，是否继续?");
}

QString dataErrorText(Mode mode)
{
    return mode == Mode::Calibration ? QCoreApplication::translate("ProbeCalibration", "数据错误，将开始新的校准！")
                                     : QCoreApplication::translate("ProbeCalibration", "数据错误，将开始新的验证！");
}

bool prepareLists(RunLists &lists, const QString &set, Mode mode, const QVector<Point> &points,
                  const ResumeChoices &choices, Resume *decision)
{
    Resume d = resumeDecision(lists.probeSet, set, lists.references(mode).size(), points.size());
    // A run of another plan goes on at no point of this one.
    if (d == Resume::Ask && !samePlan(lists.plan(mode), points))
        d = Resume::PlanDiffers;
    if (decision)
        *decision = d;
    switch (d) {
    case Resume::Fresh:
        if (lists.probeSet != set) {
            lists.clear(Mode::Calibration);
            lists.clear(Mode::Verification);
            lists.probeSet = set;
        }
        break;
    case Resume::Ask:
        if (!choices.continueUnfinished())
            lists.clear(mode);
        break;
    case Resume::PlanDiffers:
        if (!choices.restartForOtherPlan(otherPlanText(lists.plan(mode), lists.references(mode).size(), points)))
            return false;
        lists.clear(mode);
        break;
    case Resume::DataError:
        choices.notice(dataErrorText(mode));
        lists.clear(mode);
        break;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Stability

void StabilityWindow::add(double reading)
{
    readings.push_back(reading);
    while (int(readings.size()) > WindowSize)
        readings.pop_front();
}

double StabilityWindow::spread() const
{
    if (readings.empty())
        return 0;
    const auto [lo, hi] = std::minmax_element(readings.begin(), readings.end());
    return *hi - *lo;
}

bool StabilityWindow::isStable(double index) const
{
    // Readings come with a few decimals; a spread equal to the index as written is not below it.
    return isFull() && Analysis::exceedsLimit(index, spread());
}

int delayReadings(int delayMinutes)
{
    return delayMinutes * DelayReadingsPerMinute < 1 ? 0 : delayMinutes * DelayReadingsPerMinute;
}

// ---------------------------------------------------------------------------------------------
// Channel settings

QList<ChannelSetting> collectorSettings(const Tool::Struct_Standardizer &probes, Mode mode)
{
    const int n = probes.NumberChannels.toInt();
    const auto split = [](const QString &s) { return s.split(QLatin1Char(',')); };
    const QStringList numbers = split(probes.ChannelNumbers), types = split(probes.ProbeTypes),
                      conversions = split(probes.Conversions), gains = split(probes.ChannelParameter2),
                      offsets = split(probes.ChannelParameter3), b0 = split(probes.B0_R0), b1 = split(probes.B1),
                      b2 = split(probes.B2), b3 = split(probes.B3);
    for (const QStringList *list : {&numbers, &types, &conversions, &gains, &offsets, &b0, &b1, &b2, &b3}) {
        if (n < 1 || list->size() < n)
            return {};
    }
    QList<ChannelSetting> settings;
    for (int i = 0; i < n; ++i) {
        ChannelSetting s;
        s[ChannelSetting::Channel] = numbers.at(i);
        s[ChannelSetting::Function] = Thermistor;
        s[ChannelSetting::Type] = conversions.at(i);
        s[ChannelSetting::Wiring] = wiringOf(types.at(i));
        s[ChannelSetting::Unit] = mode == Mode::Calibration ? QStringLiteral("Ohm") : QStringLiteral("℃");
        s[ChannelSetting::Coefficient1] = b0.at(i);
        s[ChannelSetting::Coefficient2] = b1.at(i);
        s[ChannelSetting::Coefficient3] = b2.at(i);
        s[ChannelSetting::Coefficient4] = b3.at(i);
        s[ChannelSetting::ReferenceResistance] = QStringLiteral("0");
        s[ChannelSetting::Coefficient5] = QStringLiteral("0");
        s[ChannelSetting::Coefficient6] = QStringLiteral("0");
        s[ChannelSetting::ScaleGain] = gains.at(i);
        s[ChannelSetting::ScaleOffset] = offsets.at(i);
        settings << s;
    }
    return settings;
}

ChannelSetting referenceSetting(const ReferenceProbe &probe)
{
    ChannelSetting s;
    s[ChannelSetting::Channel] = probe.channel.mid(2);
    s[ChannelSetting::Function] = probe.type.startsWith(QLatin1String("R(T)")) ? Thermistor : QStringLiteral("铂电阻");
    s[ChannelSetting::Type] = probe.type.startsWith(QLatin1String("ITS90")) ? QStringLiteral("ITS90")
        : probe.type.startsWith(QLatin1String("PT385"))                     ? QStringLiteral("PT385")
                                                                            : QStringLiteral("R(T)");
    s[ChannelSetting::Wiring] = wiringOf(probe.type);
    s[ChannelSetting::Unit] = QStringLiteral("℃");
    s[ChannelSetting::Coefficient1] = probe.a;
    s[ChannelSetting::Coefficient2] = probe.b;
    s[ChannelSetting::Coefficient3] = probe.c;
    s[ChannelSetting::Coefficient4] = probe.d;
    s[ChannelSetting::ReferenceResistance] = probe.r0;
    s[ChannelSetting::Coefficient5] = probe.a4;
    s[ChannelSetting::Coefficient6] = probe.b4;
    s[ChannelSetting::ScaleGain] = QStringLiteral("1");
    s[ChannelSetting::ScaleOffset] = QStringLiteral("0");
    return s;
}

// ---------------------------------------------------------------------------------------------
// Run lists

void RunLists::store(Mode mode, int index, const QString &reference, const QStringList &values)
{
    QStringList &refs = references(mode);
    QVector<QStringList> &lists = readings(mode);
    if (index >= 0 && index < refs.size()) {
        refs[index] = reference;
        if (index < lists.size())
            lists[index] = values;
        else
            lists.append(values);
        return;
    }
    refs.append(reference);
    lists.append(values);
}

RunLists readLists(const QSettings &ini)
{
    RunLists lists;
    lists.probeSet = ini.value(QStringLiteral("TChannel/Channel")).toString();
    for (int n = 1; n <= MaximumPoints; ++n) {
        bool ok = false;
        const double t = ini.value(pointKey("TSet/Temp", n)).toString().toDouble(&ok);
        if (!ok)
            break;
        lists.points.append({t, ini.value(pointKey("TSet/Liquid", n)).toBool()});
    }
    return lists;
}

void writeLists(QSettings &ini, const RunLists &lists)
{
    ini.setValue(QStringLiteral("TChannel/Channel"), lists.probeSet);
    QStringList texts;
    QList<bool> flags;
    for (const Point &p : lists.points) {
        texts << QString::number(p.temperature, 'f', 2);
        flags << p.liquidChange;
    }
    writePointTexts(ini, texts, flags);
}

QString dropConfigPoints(QSettings &ini)
{
    QStringList keys{QStringLiteral("TCalibration/CalibrationTemp"), QStringLiteral("TVerification/VerificationTemp")};
    for (int n = 1; n <= MaximumPoints; ++n)
        keys << pointKey("TCalibration/DeviceOhm", n) << pointKey("TVerification/DeviceTemp", n);
    bool any = false;
    for (const QString &key : qAsConst(keys)) {
        if (!ini.contains(key))
            continue;
        // Kept in the log, so nothing is lost; never used.
        qWarning().noquote() << "config.ini:" << key << "=" << ini.value(key).toStringList().join(QLatin1Char(','));
        ini.remove(key);
        any = true;
    }
    if (!any)
        return QString();
    ini.sync();
    return QCoreApplication::translate("ProbeCalibration",
                                       "config.ini 中旧版本保存的测量点无法核实，已不再使用（内容已记入日志），请重新测量这些点。");
}

namespace {

QString modeWord(Mode mode)
{
    return mode == Mode::Calibration ? ProbePoints::calibrationWord() : ProbePoints::verificationWord();
}

QString planRecord(const QVector<Point> &points)
{
    QStringList texts;
    for (const Point &p : points)
        texts << QString::number(p.temperature, 'f', 2) + (p.liquidChange ? QStringLiteral("*") : QString());
    return texts.join(QLatin1Char(','));
}

QVector<Point> planFromRecord(const QString &text)
{
    QVector<Point> points;
    for (QString t : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const bool liquid = t.endsWith(QLatin1Char('*'));
        if (liquid)
            t.chop(1);
        points.append({t.toDouble(), liquid});
    }
    return points;
}

} // namespace

bool loadStoredLists(RunLists &lists, const Tool::Struct_Standardizer &probes)
{
    RunLists loaded;
    loaded.probeSet = probes.Name;
    loaded.probeSetNumber = probes.Number;
    loaded.points = lists.points;
    for (Mode mode : {Mode::Calibration, Mode::Verification}) {
        ProbePoints::Run run;
        bool found = false;
        if (!ProbePoints::openRun(probes.Number, modeWord(mode), run, &found))
            return false;
        if (!found)
            continue;
        loaded.runId(mode) = run.id;
        loaded.plan(mode) = planFromRecord(run.plan);
        // The points in order; one missing ends the list there (a later one is taken again).
        for (const ProbePoints::Point &p : qAsConst(run.points)) {
            if (p.index != loaded.references(mode).size())
                break;
            loaded.store(mode, p.index, p.reference, p.readings);
        }
    }
    lists = loaded;
    return true;
}

QString instrumentText(const DeviceSettings &reference, bool entered)
{
    if (entered)
        return QStringLiteral("手动输入");
    if (reference.mode.isEmpty() && reference.address.isEmpty())
        return reference.name;
    return QStringLiteral("%1（%2 %3 %4）").arg(reference.name, reference.mode, reference.address, reference.port).trimmed();
}

bool storePoint(RunLists &lists, Mode mode, int index, const QString &reference, const QStringList &values,
                const QString &instrument)
{
    if (lists.probeSetNumber.isEmpty())
        return false;
    if (lists.runId(mode).isEmpty()) {
        QString id;
        if (!ProbePoints::beginRun(lists.probeSetNumber, modeWord(mode), planRecord(lists.points), &id))
            return false;
        lists.runId(mode) = id;
        lists.plan(mode) = lists.points;
    }
    ProbePoints::Point p;
    p.index = index;
    p.setTemperature = index < lists.plan(mode).size() ? QString::number(lists.plan(mode).at(index).temperature, 'f', 2)
                                                        : QString();
    p.reference = reference;
    p.readings = values;
    p.instrument = instrument;
    p.operatorName = Tool::CurrentUser.Name;
    p.time = QDateTime::currentDateTime().toString(Tool::TimeFormat);
    const QString audit = (mode == Mode::Calibration
                               ? QCoreApplication::translate("ProbeCalibration", "探头校准测量点：%1，第%2点，标准温度 %3 ℃（%4）。")
                               : QCoreApplication::translate("ProbeCalibration", "探头验证测量点：%1，第%2点，标准温度 %3 ℃（%4）。"))
                              .arg(lists.probeSet)
                              .arg(index + 1)
                              .arg(reference, instrument);
    if (!ProbePoints::storePoint(lists.runId(mode), p, audit))
        return false;
    lists.store(mode, index, reference, values);
    return true;
}

void writePointTexts(QSettings &ini, const QStringList &texts, const QList<bool> &liquidFlags)
{
    for (int n = 1; n <= MaximumPoints; ++n) {
        ini.setValue(pointKey("TSet/Temp", n), texts.value(n - 1));
        ini.setValue(pointKey("TSet/Liquid", n), liquidFlags.value(n - 1, false));
    }
}

DeviceSettings readDevice(const QSettings &ini, const QString &group)
{
    const QString prefix = group + QLatin1Char('/');
    return {ini.value(prefix + QStringLiteral("Name")).toString(), ini.value(prefix + QStringLiteral("Mode")).toString(),
            ini.value(prefix + QStringLiteral("IP")).toString(), ini.value(prefix + QStringLiteral("Port")).toString()};
}

void writeDevice(QSettings &ini, const QString &group, const DeviceSettings &device)
{
    const QString prefix = group + QLatin1Char('/');
    ini.setValue(prefix + QStringLiteral("Name"), device.name);
    ini.setValue(prefix + QStringLiteral("Mode"), device.mode);
    ini.setValue(prefix + QStringLiteral("IP"), device.address);
    ini.setValue(prefix + QStringLiteral("Port"), device.port);
}

namespace {
struct ProbeKey
{
    const char *key;
    QString ReferenceProbe::*field;
};
const ProbeKey probeKeys[] = {
    {"TStandardizer/Mode", &ReferenceProbe::type}, {"TStandardizer/Number", &ReferenceProbe::channel},
    {"TStandardizer/A", &ReferenceProbe::a},       {"TStandardizer/B", &ReferenceProbe::b},
    {"TStandardizer/C", &ReferenceProbe::c},       {"TStandardizer/D", &ReferenceProbe::d},
    {"TStandardizer/R0", &ReferenceProbe::r0},     {"TStandardizer/A4", &ReferenceProbe::a4},
    {"TStandardizer/B4", &ReferenceProbe::b4},
};
} // namespace

ReferenceProbe readReferenceProbe(const QSettings &ini)
{
    ReferenceProbe p;
    for (const ProbeKey &k : probeKeys)
        p.*(k.field) = ini.value(QLatin1String(k.key)).toString();
    return p;
}

void writeReferenceProbe(QSettings &ini, const ReferenceProbe &probe)
{
    for (const ProbeKey &k : probeKeys)
        ini.setValue(QLatin1String(k.key), probe.*(k.field));
}

double readInterval(const QSettings &ini)
{
    return positiveSetting(ini, QStringLiteral("TStandardizer/Interval"), StandardIntervalSeconds);
}

double readResidualLimit(const QSettings &ini)
{
    return positiveSetting(ini, QStringLiteral("TStandardizer/ResidualLimit"), StandardResidualLimit);
}

// ---------------------------------------------------------------------------------------------
// Fit

QList<int> Fit::probesOver(double limit) const
{
    QList<int> over;
    for (int j = 0; j < residuals.size(); ++j) {
        for (double r : residuals.at(j)) {
            if (Analysis::exceedsLimit(std::fabs(r), limit)) {
                over << j;
                break;
            }
        }
    }
    return over;
}

Fit fitCalibration(const RunLists &lists, int channelCount, const QStringList &channelNames)
{
    Fit fit;
    const Analysis::ProbeSetFit f =
        Analysis::fitProbeSet(lists.calibrationReferences, lists.calibrationReadings, channelCount);
    fit.message = f.message;
    if (!f.ok)
        return fit;
    fit.ok = true;
    fit.message.clear();
    fit.b0 = f.b0;
    fit.b1 = f.b1;
    fit.b2 = f.b2;
    fit.b3 = f.b3;
    const int points = lists.calibrationReferences.size();
    for (int j = 0; j < channelCount; ++j) {
        // What the stored texts will convert, not the doubles of the fit.
        const Analysis::ThermistorCoefficients c{f.b0.at(j).toDouble(), f.b1.at(j).toDouble(), f.b2.at(j).toDouble(),
                                                 f.b3.at(j).toDouble()};
        QVector<double> row(points);
        for (int k = 0; k < points; ++k) {
            row[k] = Analysis::thermistorTemperature(c, lists.calibrationReadings.at(k).at(j).toDouble())
                - lists.calibrationReferences.at(k).toDouble();
            fit.worstResidual = std::max(fit.worstResidual, std::fabs(row[k]));
        }
        fit.residuals.append(row);
    }
    // Coefficients that miss their own points by more than a verification allows would fail it
    // at those very points: refused, whatever is asked later.
    QStringList refused;
    for (int j = 0; j < fit.residuals.size(); ++j) {
        const QVector<double> &row = fit.residuals.at(j);
        int worst = -1;
        for (int k = 0; k < row.size(); ++k) {
            if (!std::isfinite(row.at(k)))
                worst = k;
            else if ((worst < 0 || std::fabs(row.at(k)) > std::fabs(row.at(worst)))
                     && Analysis::exceedsLimit(std::fabs(row.at(k)), VerdictLimit))
                worst = k;
            if (worst >= 0 && !std::isfinite(row.at(worst)))
                break;
        }
        if (worst >= 0)
            refused << QCoreApplication::translate("ProbeCalibration", "通道%1（%2）第%3点残差 %4 K")
                           .arg(j + 1)
                           .arg(channelNames.value(j))
                           .arg(worst + 1)
                           .arg(QString::number(row.at(worst), 'f', 4));
    }
    if (!refused.isEmpty()) {
        fit.ok = false;
        fit.message = QCoreApplication::translate("ProbeCalibration", "拟合结果不能复现校准点（残差超过 %1 K），系数未保存：")
                          .arg(VerdictLimit)
            + QLatin1Char('\n') + refused.join(QLatin1Char('\n'));
    }
    return fit;
}

QString residualReport(const Fit &fit, const Tool::Struct_Standardizer &probes, double limit)
{
    const QStringList names = probes.ChannelNames.split(QLatin1Char(','));
    QStringList lines;
    for (int j : fit.probesOver(limit)) {
        const QVector<double> &row = fit.residuals.at(j);
        int worst = 0;
        for (int k = 1; k < row.size(); ++k)
            worst = std::fabs(row.at(k)) > std::fabs(row.at(worst)) ? k : worst;
        QStringList values;
        for (double r : row)
            values << QString::number(r, 'f', 4);
        lines << QCoreApplication::translate("ProbeCalibration", "通道%1（%2）：第%3点残差 %4 K；各点：%5")
                     .arg(j + 1)
                     .arg(names.value(j))
                     .arg(worst + 1)
                     .arg(QString::number(row.at(worst), 'f', 4), values.join(QStringLiteral(", ")));
    }
    return lines.join(QLatin1Char('\n'));
}

QString residualQuestion(const Fit &fit, const Tool::Struct_Standardizer &probes, double limit)
{
    return QCoreApplication::translate("ProbeCalibration", "拟合残差超过 %1 K（可能有探头离开恒温槽或标准值有误）：").arg(limit)
        + QLatin1Char('\n') + residualReport(fit, probes, limit) + QStringLiteral("\n\n")
        + QCoreApplication::translate("ProbeCalibration", "是否仍然保存系数？");
}

QString notStoredText()
{
    return QCoreApplication::translate("ProbeCalibration", "系数未保存。");
}

bool storeFit(const Tool::Struct_Standardizer &probes, const Fit &fit)
{
    const QString b0 = fit.b0.join(QLatin1Char(',')), b1 = fit.b1.join(QLatin1Char(',')),
                  b2 = fit.b2.join(QLatin1Char(',')), b3 = fit.b3.join(QLatin1Char(','));
    if (!fit.ok)
        return false;
    qDebug().noquote() << "B0 = " + b0;
    qDebug().noquote() << "B1 = " + b1;
    qDebug().noquote() << "B2 = " + b2;
    qDebug().noquote() << "B3 = " + b3;
    if (!Tool::ModifyStandardizer(probes.Number, b0, b1, b2, b3))
        return false;
    Tool::SaveAuditLog(AuditEvent::StandardizerCalibrate,
                       QCoreApplication::translate("ProbeCalibration", "探头校准：") + probes.Name);
    return true;
}

} // namespace ProbeCalibration
