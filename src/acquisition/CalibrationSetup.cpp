#include "acquisition/CalibrationSetup.h"

#include "store/datawords.h"
#include "store/instrumentvalidity.h"
#include "store/queries.h"
#include "store/textchecks.h"

#include <cmath>

namespace {

template<class T, class Get>
std::optional<T> one(const QString &key, Get get)
{
    // An empty key would list every row, so it names nothing here.
    QList<T> rows;
    if (key.isEmpty() || !get(rows, key) || rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

// A text of blanks names nobody and counts as empty.
bool blank(const QString &text)
{
    return text.trimmed().isEmpty();
}

} // namespace

QString CalibrationSetup::celsiusText(const QString &text, const QString &unit, int decimals)
{
    if (text.isEmpty() || unit != QStringLiteral("℉"))
        return text;
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? QString::number((v - 32) * 5 / 9, 'f', decimals) : text;
}

CalibrationSetup::Records CalibrationSetup::lookUp(const Form &form)
{
    Records r;
    r.pcr = one<Tool::Struct_PCRDevice>(DataWords::keyOf(form.pcrItem), &Tool::getPCRDevice);
    r.electrometer = one<Tool::Struct_Electrometer>(DataWords::keyOf(form.electrometerItem), &Tool::getElectrometer);
    r.standardizer = one<Tool::Struct_Standardizer>(DataWords::keyOf(form.standardizerItem), &Tool::getStandardizer);
    r.layout = one<Tool::Struct_Layout>(form.layoutItem, &Tool::getLayout);
    if (!blank(form.projectName)) {
        QList<Tool::Struct_Calibration> projects;
        Tool::getCalibration(projects, form.projectName);
        QList<Tool::Struct_CalibrationData> leftovers;
        if (projects.isEmpty())
            Tool::queryCalibrationData(leftovers, Queries::anySampleOf(form.projectName));
        r.projectNameUsed = !projects.isEmpty() || !leftovers.isEmpty();
    }
    return r;
}

CalibrationSetup::Result CalibrationSetup::check(const Form &form, const QString &unit, const QDateTime &now)
{
    return validate(form, lookUp(form), unit, now);
}

CalibrationSetup::Result CalibrationSetup::validate(const Form &form, const Records &records, const QString &unit,
                                                    const QDateTime &now)
{
    Result r;
    // The message of the codes 101 to 104; a valid set-up leaves it as it is.
    r.message = tr("数据库获取错误！");
    bool ok = false;
    r.interval = form.interval.toDouble(&ok);
    if (!ok || !std::isfinite(r.interval))
        r.interval = 0;
    r.linear = form.linear;

    if (!records.pcr) {
        r.code = 101;
        return r;
    }
    if (!records.electrometer) {
        r.code = 102;
        return r;
    }
    r.electrometer = *records.electrometer;
    // A measuring instrument past its validity, or never calibrated, gives no traceable result.
    if (InstrumentValidity::refused(r.electrometer.Number, r.electrometer.DeviceName, r.electrometer.CalibrationCycle,
                                    r.electrometer.CalibrationState, now, &r.message)) {
        r.code = 105;
        return r;
    }
    if (!records.standardizer) {
        r.code = 103;
        return r;
    }
    r.standardizer = *records.standardizer;
    r.rate = form.rate;
    r.uniformity = form.uniformity;
    if (!records.layout) {
        r.code = 104;
        return r;
    }
    const Tool::Struct_PCRDevice &device = *records.pcr;
    const Tool::Struct_Layout &layout = *records.layout;
    const QString ambientTemperature = celsiusText(form.ambientTemperature, unit, 2);

    Tool::Struct_Calibration &p = r.project;
    p.CalibrationName = form.projectName;
    p.Company = form.company;
    p.ProjectRemarks = form.remarks;
    p.CalibrationTime = now.toString(Tool::TimeFormat);
    p.Interval = form.interval;
    p.AmbientTemperature = ambientTemperature;
    p.AmbientHumidity = form.ambientHumidity;
    p.AmbientPressure = form.ambientPressure;
    p.Calibrator = form.calibrator;
    p.Checker = form.checker;
    p.DeviceName = device.DeviceName;
    p.DeviceModel = device.DeviceModel;
    p.SerialNumber = device.SerialNumber;
    p.Manufacturer = device.Manufacturer;
    p.CertificateNumber = device.CertificateNumber;
    p.ElectrometerName = r.electrometer.DeviceName;
    p.StandardizerName = r.standardizer.Name;
    p.NumberChannels = r.standardizer.NumberChannels;
    p.ChannelNumbers = r.standardizer.ChannelNumbers;
    p.ChannelParameter1 = r.standardizer.ChannelParameter1;
    p.UniformityFile = form.uniformity ? DataWords::afterKey(form.uniformityItem) : QString();
    p.RateFile = form.rate ? DataWords::afterKey(form.rateItem) : QString();
    p.CalibrationLinear = QString();
    p.LayoutName = layout.Name;
    p.LayoutPoints = layout.Points;

    const auto fail = [&r](int code, const QString &message) {
        r.code = code;
        r.message = message;
        return r;
    };
    if (r.standardizer.NumberChannels.toInt() != layout.PointCount.toInt())
        return fail(1, tr("布点图与标准器不符！"));
    if (blank(form.projectName))
        return fail(2, tr("项目名称不能为空！"));
    // Names and free texts end up in documents and on terminals: no control characters.
    const QString refused = TextChecks::refusal(
        {{form.projectName, TextChecks::NameLength}, {form.company, 2 * TextChecks::NameLength},
         {form.remarks, TextChecks::RemarkLength}, {form.ambientHumidity, TextChecks::NameLength},
         {form.ambientPressure, TextChecks::NameLength}, {form.calibrator, TextChecks::NameLength},
         {form.checker, TextChecks::NameLength}});
    if (!refused.isEmpty())
        return fail(11, refused);
    if (records.projectNameUsed)
        return fail(2, tr("项目名称重复！"));
    if (blank(form.company))
        return fail(3, tr("送检单位不能为空！"));
    if (ambientTemperature.isEmpty())
        return fail(4, tr("环境温度不能为空！"));
    // The input rule lets through texts such as "-" or "1.2.3"; they would reach the
    // certificate as they stand.
    bool numeric = false;
    form.ambientTemperature.toDouble(&numeric);
    if (!numeric)
        return fail(4, tr("环境温度格式错误！"));
    if (form.ambientHumidity.isEmpty())
        return fail(5, tr("环境湿度不能为空！"));
    if (form.ambientPressure.isEmpty())
        return fail(6, tr("环境压力不能为空！"));
    if (blank(form.calibrator))
        return fail(7, tr("校准员不能为空！"));
    if (blank(form.checker))
        return fail(8, tr("核验员不能为空！"));
    if (r.interval < 0.3)
        return fail(9, tr("采集间隔过短！"));
    if (!r.uniformity && !r.rate)
        return fail(10, tr("请设置校准项目！"));
    return r;
}
