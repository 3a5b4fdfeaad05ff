#include "ExportFixture.h"
#include "../support/ServerDatabase.h"

#include "store/datawords.h"

#include <QDir>
#include <QSettings>
#include <QSqlDatabase>
#include <QStringList>

#include <cmath>

namespace Fixture {

namespace {

const QString uniformityModel = DataWords::uniformityItem();
const QString rateModel = DataWords::rateItem();
const QString timeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");

QString joined(const QVector<double> &values, int decimals)
{
    QStringList parts;
    for (double v : values)
        parts << QString::number(v, 'f', decimals);
    return parts.join(QLatin1Char(','));
}

bool addCycleFile(const QString &name, const QVector<CycleStep> &steps)
{
    QList<Tool::Struct_CyclicFile> existing;
    Tool::getCyclicFile(existing, QString());
    for (const auto &f : existing)
        if (f.Name == name)
            return true;
    Tool::Struct_CyclicFile file;
    file.Number = QStringLiteral("CF%1").arg(existing.size() + 1, 3, 10, QLatin1Char('0'));
    file.Name = name;
    file.StepCount = QString::number(steps.size());
    file.CreateTime = QStringLiteral("2024-05-01 08:00:00");
    QStringList numbers, temperatures, holds;
    for (int i = 0; i < steps.size(); ++i) {
        numbers << QString::number(i + 1);
        temperatures << QString::number(steps.at(i).temperature, 'f', 1);
        holds << QString::number(steps.at(i).holdTime);
    }
    file.Steps = numbers.join(QLatin1Char(','));
    file.SetTemperatures = temperatures.join(QLatin1Char(','));
    file.HoldTimes = holds.join(QLatin1Char(','));
    return Tool::addCyclicFile(file);
}

bool storeRun(const QString &name, const QString &model, const QVector<RunSample> &samples)
{
    QSqlDatabase db = QSqlDatabase::database();
    db.transaction();
    for (const RunSample &s : samples) {
        Tool::Struct_CalibrationData row{name, model, s.time.toString(timeFormat), joined(s.values, 4)};
        if (!Tool::addCalibrationData(row)) {
            db.rollback();
            return false;
        }
    }
    return db.commit();
}

QVector<double> withOffsets(double base, const QVector<double> &offsets)
{
    QVector<double> v;
    for (double o : offsets)
        v << base + o;
    return v;
}

Tool::Struct_UesrManagement account(const QString &name, bool rights)
{
    Tool::Struct_UesrManagement u;
    u.Name = name;
    u.Password = QStringLiteral("123456");
    u.Rights = QStringLiteral("操作员");
    u.State = QStringLiteral("正常");
    u.RegistrationDate = QStringLiteral("2024-01-01 00:00:00");
    u.ExpirationDate = QStringLiteral("2099-12-31 23:59:59");
    u.ErrorsNumber = QStringLiteral("0");
    u.setAllRights(rights);
    return u;
}

} // namespace

QVector<double> offsetsFor(int probes)
{
    QVector<double> o;
    for (int p = 0; p < probes; ++p)
        o << 0.01 * ((p * 7) % 11 - 4);
    return o;
}

const QVector<double> &wobble()
{
    static const QVector<double> w{0.02, -0.02, 0.01, -0.01, 0.0, 0.02, -0.02, 0.01, -0.01};
    return w;
}

QVector<double> rateProfile()
{
    return {50, 50, 50, 56, 66, 76, 86, 92, 95, 95, 95, 88, 78, 68, 58, 52, 50, 50};
}

void writeConfig(const QString &folder, const QString &unit, int decimals, const QString &format,
                 const QString &language)
{
    const auto ini = Tool::configFile(QDir(folder).filePath(Tool::ConfigFileName));
    ini->setValue(QStringLiteral("SystemSet/CorporateName"), QStringLiteral("某市计量测试研究所"));
    ini->setValue(QStringLiteral("SystemSet/Language"), language);
    ini->setValue(QStringLiteral("SystemSet/TemperatureUnit"), unit);
    ini->setValue(QStringLiteral("SystemSet/TemperatureAccuracy"), decimals);
    ini->setValue(QStringLiteral("SystemSet/Format"), format);
    ini->sync();
}

bool createWorkspace(const QString &folder, const QString &unit, int decimals, const QString &format,
                     const QString &language)
{
    if (!QDir().mkpath(folder))
        return false;
    writeConfig(folder, unit, decimals, format, language);
    Tool::closeDatabase();
    // The server run: a database of the workspace's own on the private server, named in its
    // config.ini as a station's would be.
    if (ServerDatabase::requested()) {
        const DatabaseSettings server = ServerDatabase::create();
        return server.isPostgreSQL() && server.write(QDir(folder).filePath(Tool::ConfigFileName))
            && Tool::openDatabase(server);
    }
    return Tool::openDatabase(QDir(folder).filePath(Tool::DatabaseFileName));
}

QVector<RunSample> uniformitySamples(const Project &p)
{
    QVector<RunSample> samples;
    double level = 25.0;
    int index = 0;
    auto add = [&](const QVector<double> &values) {
        samples.append({p.start.addMSecs(qint64(std::llround(index * p.interval * 1000))), values});
        ++index;
    };
    for (const CycleStep &step : p.uniformitySteps) {
        for (int j = 0; j < 3; ++j)
            add(withOffsets(level + (step.temperature - level) * (j + 1) / 4.0, p.offsets));
        for (int t = 0; t < p.plateauSamples; ++t)
            add(withOffsets(step.temperature + wobble().at(t % wobble().size()), p.offsets));
        level = step.temperature;
    }
    for (int j = 0; j < 3 && !p.uniformitySteps.isEmpty(); ++j)
        add(withOffsets(level - 5.0 * (j + 1), p.offsets));
    // As stored: four decimals.
    for (RunSample &s : samples)
        for (double &v : s.values)
            v = QString::number(v, 'f', 4).toDouble();
    return samples;
}

QVector<RunSample> rateSamples(const Project &p)
{
    QVector<RunSample> samples;
    const qint64 gap = 60000;
    const QDateTime start = p.start.addMSecs(qint64(std::llround(uniformitySamples(p).size() * p.interval * 1000)) + gap);
    const QVector<double> profile = rateProfile();
    for (int i = 0; i < profile.size(); ++i) {
        QVector<double> values = withOffsets(profile.at(i), p.offsets);
        for (double &v : values)
            v = QString::number(v, 'f', 4).toDouble();
        samples.append({start.addMSecs(qint64(std::llround(i * p.interval * 1000))), values});
    }
    return samples;
}

int plateauStart(const Project &p, int step)
{
    return step * (3 + p.plateauSamples) + 3;
}

Tool::Struct_Calibration calibrationRecord(const Project &p)
{
    Tool::Struct_Calibration c;
    c.CalibrationName = p.name;
    c.Company = QStringLiteral("某市疾病预防控制中心");
    c.ProjectRemarks = QStringLiteral("年度校准");
    c.CalibrationTime = p.start.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    c.Interval = QString::number(p.interval);
    c.AmbientTemperature = p.ambient;
    c.AmbientHumidity = QStringLiteral("45");
    c.AmbientPressure = QStringLiteral("1013");   // mbar, as the calibration page takes it
    c.Calibrator = QStringLiteral("张三");
    c.Checker = QStringLiteral("李四");
    c.DeviceName = QStringLiteral("实时荧光定量PCR仪");
    c.DeviceModel = QStringLiteral("QX-96");
    c.SerialNumber = QStringLiteral("SN2024001");
    c.Manufacturer = QStringLiteral("某某生物科技有限公司");
    c.CertificateNumber = QStringLiteral("JZ2024-0815");
    c.ElectrometerName = QStringLiteral("1611A");
    c.StandardizerName = QStringLiteral("探头组1");
    c.NumberChannels = QString::number(p.probes);
    QStringList channels, points, linear;
    for (int i = 0; i < p.probes; ++i) {
        channels << QString::number(i + 1);
        points << QStringLiteral("%1:%2").arg(i / 12 + 1).arg(i % 12 + 1);
    }
    c.ChannelNumbers = channels.join(QLatin1Char(','));
    c.UniformityFile = p.uniformitySteps.isEmpty() ? QString() : p.uniformityFile;
    c.RateFile = p.rateSteps.isEmpty() ? QString() : p.rateFile;
    if (p.linearity) {
        for (int i = 1; i <= 28; ++i)
            linear << QStringLiteral("L%1").arg(i);
        c.CalibrationLinear = linear.join(QLatin1Char(','));
    }
    c.LayoutName = QStringLiteral("96孔布点");
    c.LayoutPoints = points.join(QLatin1Char(','));
    return c;
}

bool addProject(const Project &p)
{
    if (!p.uniformitySteps.isEmpty() && !addCycleFile(p.uniformityFile, p.uniformitySteps))
        return false;
    if (!p.rateSteps.isEmpty() && !addCycleFile(p.rateFile, p.rateSteps))
        return false;
    if (!Tool::addCalibration(calibrationRecord(p)))
        return false;
    if (!p.uniformitySteps.isEmpty() && !storeRun(p.name, uniformityModel, uniformitySamples(p)))
        return false;
    if (!p.rateSteps.isEmpty() && !storeRun(p.name, rateModel, rateSamples(p)))
        return false;
    return true;
}

bool addDayLongProject(const QString &name, int probes, double hours, int intervalMs)
{
    Project p;
    p.name = name;
    p.probes = probes;
    p.interval = intervalMs / 1000.0;
    p.offsets = offsetsFor(probes);
    p.uniformitySteps = {{95.0, 5.0}, {60.0, 5.0}, {72.0, 5.0}, {40.0, 5.0}};
    p.uniformityFile = QStringLiteral("四温度点");
    p.start = QDateTime(QDate(2024, 5, 6), QTime(8, 0, 0, 125));
    if (!addCycleFile(p.uniformityFile, p.uniformitySteps) || !addCycleFile(p.rateFile, p.rateSteps)
        || !Tool::addCalibration(calibrationRecord(p)))
        return false;

    // The block cycles the program, ramping at 3 ℃/s, with fixed well offsets and a small
    // deterministic ripple.
    const qint64 count = qint64(hours * 3600 * 1000 / intervalMs);
    const qint64 stepSamples = 300 * 1000 / intervalMs;
    QSqlDatabase db = QSqlDatabase::database();
    db.transaction();
    double block = 25.0;
    QVector<double> values(probes);
    for (qint64 i = 0; i < count; ++i) {
        const double target = p.uniformitySteps.at(int((i / stepSamples) % 4)).temperature;
        block += qBound(-3.0 * p.interval, target - block, 3.0 * p.interval);
        for (int k = 0; k < probes; ++k)
            values[k] = block + p.offsets.at(k) + 0.01 * std::sin(0.7 * i + k);
        const Tool::Struct_CalibrationData row{name, uniformityModel,
                                               p.start.addMSecs(i * intervalMs).toString(timeFormat),
                                               joined(values, 4)};
        if (!Tool::addCalibrationData(row)) {
            db.rollback();
            return false;
        }
    }
    if (!db.commit())
        return false;
    p.start = p.start.addMSecs(count * intervalMs + 60000);
    QVector<RunSample> rate = rateSamples(p);
    return storeRun(name, rateModel, rate);
}

bool addAccounts()
{
    Tool::Struct_UesrManagement locked = account(QStringLiteral("locked"), true);
    locked.State = QStringLiteral("锁定");
    Tool::Struct_UesrManagement expired = account(QStringLiteral("expired"), true);
    expired.ExpirationDate = QStringLiteral("2020-01-01 00:00:00");
    return Tool::addUesrManagement(account(QStringLiteral("engineer"), true))
        && Tool::addUesrManagement(account(QStringLiteral("viewer"), false)) && Tool::addUesrManagement(locked)
        && Tool::addUesrManagement(expired);
}

bool logInAsAdmin()
{
    QList<Tool::Struct_UesrManagement> users;
    if (!Tool::getUesrManagement(users, QStringLiteral("admin")) || users.isEmpty())
        return false;
    Tool::CurrentUser = users.first();
    return true;
}

Tool::Struct_Calibration stored(const QString &name)
{
    QList<Tool::Struct_Calibration> list;
    Tool::getCalibration(list, name);
    return list.value(0);
}

QList<Tool::Struct_AuditLog> audit()
{
    QList<Tool::Struct_AuditLog> list;
    Tool::getAuditLog(list, QString(), QString(), QString(), QString());
    return list;
}

} // namespace Fixture
