#include "CalibrationDemo.h"

#include "analysis/Thermistor.h"
#include "registry/CalibrationDates.h"
#include "registry/LayoutDrawing.h"

#include "BlockModel.h"
#include "Thermistor.h"

#include <QDateTime>
#include <QSettings>
#include <QTime>

#include <cmath>
#include <functional>

namespace CalibrationDemo {

const char *const PCRNumber = "PCR-DEMO";
const char *const CollectorNumber = "SIM-1611A";
const char *const ProbeSetNumber = "SIM-16";
const char *const UniformityFileNumber = "901";
const char *const RateFileNumber = "902";
const char *const LayoutName = "演示16点布点图";

namespace {

QString now()
{
    return QDateTime::currentDateTime().toString(Tool::TimeFormat);
}

QString joined(int count, const std::function<QString(int)> &element)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << element(i);
    return list.join(QLatin1Char(','));
}

// Row (from 1) and column (from 1) of the marked wells, row-major.
const int Wells[ProbeCount][2] = {{1, 1},  {1, 6},  {1, 7},  {1, 12}, {3, 3},  {3, 10}, {4, 1},  {4, 12},
                                  {5, 1},  {5, 12}, {6, 3},  {6, 10}, {8, 1},  {8, 6},  {8, 7},  {8, 12}};

} // namespace

Tool::Struct_PCRDevice pcrDevice()
{
    Tool::Struct_PCRDevice d;
    d.Number = QLatin1String(PCRNumber);
    d.DeviceName = QStringLiteral("演示PCR仪");
    d.DeviceModel = QStringLiteral("SIM-96");
    d.SerialNumber = QStringLiteral("SIM96-0001");
    d.Manufacturer = QStringLiteral("pcrsim");
    d.CalibrationMode = QStringLiteral("标准");
    d.CalibrationCycle = QStringLiteral("12");
    d.CertificateNumber = QStringLiteral("DEMO-0001");
    d.Remarks = QStringLiteral("模拟器中的PCR仪");
    return d;
}

PerformanceProfileRecord performanceProfile()
{
    // ± accuracy, uniformity, minimum heating and cooling rates, maximum overshoot, settling time.
    return PerformanceProfileRecord::fromValues({pcrDevice().DeviceModel, QStringLiteral("0.25"), QStringLiteral("0.5"),
                                                 QStringLiteral("3.5"), QStringLiteral("2.5"), QStringLiteral("1.0"),
                                                 QStringLiteral("5")});
}

Tool::Struct_Electrometer collector(const Options &options)
{
    Tool::Struct_Electrometer e;
    e.Number = QLatin1String(CollectorNumber);
    e.DeviceName = QStringLiteral("多路温度采集器");
    e.DeviceModel = QStringLiteral("1611A");
    e.Manufacturer = QStringLiteral("pcrsim");
    e.SerialNumber = QStringLiteral("SIM1611A-0001");
    e.CalibrationState = QStringLiteral("正常");
    e.CertificateNumber = QStringLiteral("DEMO-1611A");
    e.CalibrationCycle = CalibrationDates::minuteText(QDateTime::currentDateTime().addYears(1));
    e.Uncertain = QStringLiteral("0.05");
    e.SignalMode = QStringLiteral("网络");
    e.IP_COM = options.host;
    e.Port_BaudRate = options.port;
    return e;
}

Tool::Struct_Standardizer probeSet(quint64 seed)
{
    QVector<pcrsim::ThermistorCoefficients> probes;
    for (int i = 0; i < ProbeCount; ++i)
        probes << pcrsim::probeThermistor(seed, i);
    Tool::Struct_Standardizer s;
    s.Number = QLatin1String(ProbeSetNumber);
    s.Name = QStringLiteral("演示探头组");
    s.NumberChannels = QString::number(ProbeCount);
    s.TimeDate = now();
    s.ChannelNames = joined(ProbeCount, [](int i) { return QStringLiteral("CH%1").arg(101 + i); });
    s.ChannelNumbers = joined(ProbeCount, [](int i) { return QString::number(101 + i); });
    s.ProbeTypes = joined(ProbeCount, [](int) { return QStringLiteral("热敏电阻-2W"); });
    s.Conversions = joined(ProbeCount, [](int) { return QStringLiteral("R(T)"); });
    s.ChannelParameter1 = joined(ProbeCount, [](int) { return QStringLiteral("0"); });
    s.ChannelParameter2 = joined(ProbeCount, [](int) { return QStringLiteral("1"); });
    s.ChannelParameter3 = joined(ProbeCount, [](int) { return QStringLiteral("0"); });
    s.B0_R0 = joined(ProbeCount, [&](int i) { return Analysis::coefficientText(probes[i].b0); });
    s.B1 = joined(ProbeCount, [&](int i) { return Analysis::coefficientText(probes[i].b1); });
    s.B2 = joined(ProbeCount, [&](int i) { return Analysis::coefficientText(probes[i].b2); });
    s.B3 = joined(ProbeCount, [&](int i) { return Analysis::coefficientText(probes[i].b3); });
    return s;
}

bool cycleFile(const QString &number, const QString &name, const QString &program, Tool::Struct_CyclicFile &file,
               QString *error)
{
    QVector<pcrsim::ProgramStep> steps;
    QString why;
    if (!pcrsim::parseProgram(program, &steps, &why) || steps.isEmpty()) {
        if (error)
            *error = QStringLiteral("program \"%1\": %2").arg(program, why);
        return false;
    }
    file = Tool::Struct_CyclicFile();
    file.Number = number;
    file.Name = name;
    file.StepCount = QString::number(steps.size());
    file.CreateTime = now();
    file.Steps = joined(steps.size(), [](int i) { return QString::number(i + 1); });
    file.SetTemperatures = joined(steps.size(), [&](int i) { return QString::number(steps[i].temperature); });
    file.HoldTimes = joined(steps.size(), [&](int i) { return QString::number(steps[i].holdMinutes); });
    return true;
}

Tool::Struct_Layout layout()
{
    // Drawn by the layout editor's own grid, so it looks like a layout a user drew.
    LayoutSketch sketch;
    sketch.reset(12, 8);
    for (const auto &w : Wells)
        sketch.setMarked((w[0] - 1) * sketch.grid().columns + (w[1] - 1), true);
    return sketch.record(QString::fromUtf8(LayoutName));
}

double firstPassSeconds(const QString &program)
{
    pcrsim::BlockModelConfig config;
    if (!pcrsim::parseProgram(program, &config.program, nullptr))
        return 0;
    return pcrsim::BlockModel(config).firstCycleDuration();
}

bool registerRecords(const Options &options, QString *error)
{
    const auto fail = [error](const QString &what) {
        if (error)
            *error = QStringLiteral("cannot store the demo %1").arg(what);
        return false;
    };
    Tool::Struct_CyclicFile uniformity, rate;
    if (!cycleFile(QLatin1String(UniformityFileNumber), QStringLiteral("均匀度演示"), options.program, uniformity, error)
        || !cycleFile(QLatin1String(RateFileNumber), QStringLiteral("升降温演示"), options.program, rate, error))
        return false;
    if (!Tool::addPCRDevice(pcrDevice()))
        return fail(QStringLiteral("PCR instrument"));
    if (!Tool::addElectrometer(collector(options)))
        return fail(QStringLiteral("collector"));
    if (!Tool::addStandardizer(probeSet(options.seed)))
        return fail(QStringLiteral("probe set"));
    if (!Tool::addCyclicFile(uniformity) || !Tool::addCyclicFile(rate))
        return fail(QStringLiteral("cycle files"));
    if (!Tool::addLayout(layout()))
        return fail(QStringLiteral("layout"));
    if (!Profiles::save(performanceProfile()))
        return fail(QStringLiteral("performance profile"));
    return true;
}

bool updateCollectorAddress(const Options &options, QString *error)
{
    QList<Tool::Struct_Electrometer> rows;
    if (!Tool::getElectrometer(rows, QLatin1String(CollectorNumber)) || rows.isEmpty())
        return true;   // removed by the user: nothing to follow
    Tool::Struct_Electrometer e = rows.first();
    if (e.SignalMode == QStringLiteral("网络") && e.IP_COM == options.host && e.Port_BaudRate == options.port)
        return true;
    e.SignalMode = QStringLiteral("网络");
    e.IP_COM = options.host;
    e.Port_BaudRate = options.port;
    if (Tool::ModifyElectrometer(e))
        return true;
    if (error)
        *error = QStringLiteral("cannot update the demo collector's address");
    return false;
}

void writeCalibrationDefaults(const QString &program)
{
    const auto ini = Tool::configFile();
    ini->beginGroup(QStringLiteral("Calibration"));
    const auto keep = [&](const char *key, const QString &value) {
        if (!ini->contains(QLatin1String(key)))
            ini->setValue(QLatin1String(key), value);
    };
    // One pass of the program and a little of the next ramp.
    const int seconds = qMin(23 * 3600 + 59 * 60 + 59, int(std::ceil(firstPassSeconds(program))) + 15);
    keep("TimeLong", QTime(0, 0).addSecs(seconds).toString(QStringLiteral("HH:mm:ss")));
    keep("Interval", QStringLiteral("1"));
    keep("AmbientTemperature", QStringLiteral("20"));
    keep("AmbientHumidity", QStringLiteral("50"));
    keep("AmbientPressure", QStringLiteral("1000"));
    ini->endGroup();
    ini->sync();
}

} // namespace CalibrationDemo
