#include "acquisition/ProbeCalibration.h"

#include "analysis/Compare.h"
#include "analysis/Thermistor.h"

#include <QCoreApplication>
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

Resume prepareLists(RunLists &lists, const QString &set, Mode mode, int points,
                    const std::function<bool()> &continueUnfinished, const std::function<void(const QString &)> &notice)
{
    const Resume decision = resumeDecision(lists.probeSet, set, lists.references(mode).size(), points);
    switch (decision) {
    case Resume::Fresh:
        if (lists.probeSet != set) {
            lists.clear(Mode::Calibration);
            lists.clear(Mode::Verification);
            lists.probeSet = set;
        }
        break;
    case Resume::Ask:
        if (!continueUnfinished())
            lists.clear(mode);
        break;
    case Resume::DataError:
        notice(dataErrorText(mode));
        lists.clear(mode);
        break;
    }
    return decision;
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
    lists.calibrationReferences = listValue(ini, QStringLiteral("TCalibration/CalibrationTemp"));
    lists.verificationReferences = listValue(ini, QStringLiteral("TVerification/VerificationTemp"));
    for (int n = 1; n <= MaximumPoints; ++n) {
        if (n <= lists.calibrationReferences.size())
            lists.calibrationReadings.append(listValue(ini, pointKey("TCalibration/DeviceOhm", n)));
        if (n <= lists.verificationReferences.size())
            lists.verificationReadings.append(listValue(ini, pointKey("TVerification/DeviceTemp", n)));
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
    ini.setValue(QStringLiteral("TCalibration/CalibrationTemp"), lists.calibrationReferences);
    ini.setValue(QStringLiteral("TVerification/VerificationTemp"), lists.verificationReferences);
    for (int n = 1; n <= MaximumPoints; ++n) {
        const QString ohm = pointKey("TCalibration/DeviceOhm", n);
        const QString temp = pointKey("TVerification/DeviceTemp", n);
        if (n <= lists.calibrationReadings.size())
            ini.setValue(ohm, lists.calibrationReadings.at(n - 1));
        else
            ini.remove(ohm);
        if (n <= lists.verificationReadings.size())
            ini.setValue(temp, lists.verificationReadings.at(n - 1));
        else
            ini.remove(temp);
    }
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

Fit fitCalibration(const RunLists &lists, int channelCount)
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
