#include "acquisition/ProbeCalibrationRun.h"

#include "instruments/Collection1611A.h"
#include "instruments/Criteria1586A.h"
#include "instruments/CriteriaMorva1621.h"
#include "instruments/FieldTank.h"
#include "store/WorkerThread.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QSettings>
#include <QThread>

#include <limits>

#include <pthread.h>

using namespace ProbeCalibration;

namespace {

const QString Bluetooth = QStringLiteral("蓝牙");
// Further open attempts of a Bluetooth reference, a second apart.
constexpr int BluetoothRetries = 5;
constexpr std::chrono::milliseconds BluetoothRetryPause{1000};

std::chrono::milliseconds intervalOf(double seconds)
{
    return std::chrono::milliseconds(qMax<qint64>(1, qRound64(seconds * 1000)));
}

} // namespace

ProbeCalibrationRun::ProbeCalibrationRun(QObject *parent) : QObject(parent), worker(new WorkerThread(this))
{
    qRegisterMetaType<ProbeCalibrationRun::Reading>();
    qRegisterMetaType<ProbeCalibrationRun::EndReason>();
    qRegisterMetaType<ProbeCalibrationRun::Fault>();
    qRegisterMetaType<ProbeCalibrationRun::Step>();
}

ProbeCalibrationRun::~ProbeCalibrationRun()
{
    stop();
    finish();
    dropDrivers();
}

// ---------------------------------------------------------------------------------------------
// Texts

QString ProbeCalibrationRun::faultText(Fault fault, Mode mode)
{
    switch (fault) {
    case Fault::None: return QString();
    case Fault::NoDevice: return tr("设备获取失败！");
    case Fault::ManualReference: return tr("当前模式下不许选择手动模式！");
    case Fault::CollectorOpen: return tr("采集设备打开失败!");
    case Fault::BathOpen: return tr("温场设备打开失败!");
    case Fault::ReferenceOpen: return tr("温度标准打开失败!");
    case Fault::BathSetup: return tr("温场设备设置失败!");
    case Fault::CollectorSetup: return tr("采集设备设置失败!");
    case Fault::ReferenceSetup: return tr("标准器设置失败!");
    case Fault::ReferenceRead: return tr("标准温度获取失败!");
    case Fault::CollectorRead:
        return mode == Mode::Calibration ? tr("采集器阻值获取失败!") : tr("采集器温度获取失败!");
    case Fault::ManualCollectorRead: return tr("采集器数据获取失败!");
    case Fault::PointStore: return tr("测量点保存到数据库失败，运行已停止！");
    case Fault::Busy: return tr("设备正在运行中！");
    }
    return QString();
}

QString ProbeCalibrationRun::endText(EndReason reason, Fault fault, Mode mode)
{
    switch (reason) {
    case EndReason::Failed: return faultText(fault, mode);
    case EndReason::Paused: return tr("请更换液体!");
    case EndReason::Stopped: return tr("手动终止!");
    case EndReason::Completed: break;
    }
    return mode == Mode::Calibration ? tr("校准结束退出!") : tr("验证结束退出!");
}

// ---------------------------------------------------------------------------------------------
// Lists

bool ProbeCalibrationRun::loadLists()
{
    QString dropped;
    {
        const auto ini = Tool::configFile();
        runLists = readLists(*ini);
        dropped = dropConfigPoints(*ini);
    }
    if (!dropped.isEmpty())
        qWarning().noquote() << dropped;
    QList<Tool::Struct_Standardizer> sets;
    Tool::getStandardizerName(sets, runLists.probeSet);
    return sets.isEmpty() || loadLists(sets.first());
}

bool ProbeCalibrationRun::loadLists(const Tool::Struct_Standardizer &probes)
{
    return loadStoredLists(runLists, probes);
}

void ProbeCalibrationRun::saveLists() const
{
    const auto ini = Tool::configFile();
    writeLists(*ini, runLists);
    ini->sync();
}

void ProbeCalibrationRun::completePoint(int index, const QString &referenceText, const QStringList &values,
                                        bool entered)
{
    // After a point that could not be stored nothing more is taken: no gap in a run.
    if (storeFailed)
        return;
    if (!storePoint(runLists, current.mode, index, referenceText, values, instrumentText(current.reference, entered))) {
        qDebug().noquote() << faultText(Fault::PointStore, current.mode);
        storeFailed = true;
        // An automatic run goes no further: its waits and calls end, and its end reports this
        // fault. A manual point has been read already; the devices stay connected for a retry.
        if (runningJob == Job::Automatic) {
            waits.stop();
            closeDrivers();
        }
        return;
    }
    emit pointCompleted(index, referenceText, values);
}

// ---------------------------------------------------------------------------------------------
// Owner's thread

ProbeCalibrationRun::Fault ProbeCalibrationRun::makeDrivers(const Setup &setup, bool needReference)
{
    dropDrivers();
    current = setup;
    if (setup.bath.name == Names::vade() || setup.bath.name == Names::ziviD())
        bath = std::make_unique<FieldTank>();
    if (setup.collector.name == Names::collector()) {
        auto c = std::make_unique<Collection1611A>();
        // A verification judges each probe: a wildly wrong reading is a failed probe to be shown,
        // not a failed read of the collector (non-finite values still are).
        c->setPlausibleRange(-std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
        collector = std::move(c);
    }
    if (!bath || !collector) {
        dropDrivers();
        return Fault::NoDevice;
    }
    const QString &name = setup.reference.name;
    if (name == Names::fluke1586A())
        reference = std::make_unique<Criteria1586A>();
    else if (name == Names::ziviD())
        reference = std::make_unique<Criteria>(bath.get());
    else if (name == Names::morva1621A())
        reference = std::make_unique<CriteriaMorva1621>();
    if (!reference && (needReference || name != Names::manual())) {
        dropDrivers();
        return Fault::ManualReference;
    }
    return Fault::None;
}

void ProbeCalibrationRun::dropDrivers()
{
    // The bath-backed reference only points at the bath; it goes first.
    reference.reset();
    collector.reset();
    bath.reset();
    connected = false;
}

ProbeCalibrationRun::Fault ProbeCalibrationRun::start(const Setup &setup)
{
    if (active)
        return Fault::Busy;
    const Fault made = makeDrivers(setup, true);
    if (made != Fault::None)
        return made;
    // Lists of another set, or none loaded: this set's run starts afresh.
    if (runLists.probeSetNumber != setup.probes.Number)
        runLists = RunLists();
    // No point stored, or points of another plan (never mixed with this one's): the first point
    // opens a run with this plan.
    if (runLists.references(setup.mode).isEmpty() || !samePlan(runLists.plan(setup.mode), setup.points))
        runLists.clear(setup.mode);
    runLists.probeSet = setup.probes.Name;
    runLists.probeSetNumber = setup.probes.Number;
    runLists.points = setup.points;
    saveLists();
    const int first = runLists.references(setup.mode).size();
    begin(Job::Automatic, [this, setup, first](quint64 id) { return runAutomatic(setup, first, id); });
    return Fault::None;
}

ProbeCalibrationRun::Fault ProbeCalibrationRun::connectDevices(const Setup &setup)
{
    if (active)
        return Fault::Busy;
    const Fault made = makeDrivers(setup, false);
    if (made != Fault::None)
        return made;
    if (runLists.probeSetNumber != setup.probes.Number && !loadLists(setup.probes)) {
        dropDrivers();
        return Fault::PointStore;
    }
    runLists.points = setup.points;
    begin(Job::Connect, [this, setup](quint64 id) { return runConnect(setup, id); });
    return Fault::None;
}

ProbeCalibrationRun::Fault ProbeCalibrationRun::readPoint(int index, std::optional<double> enteredReference)
{
    if (active)
        return Fault::Busy;
    if (!collector)
        return Fault::NoDevice;
    if (!reference && !enteredReference)
        return Fault::ManualReference;
    const Setup setup = current;
    begin(Job::Point, [this, setup, index, enteredReference](quint64 id) {
        return runPoint(setup, index, enteredReference, id);
    });
    return Fault::None;
}

ProbeCalibrationRun::Fault ProbeCalibrationRun::disconnectDevices()
{
    if (active)
        return Fault::Busy;
    if (!collector)
        return Fault::NoDevice;
    const Setup setup = current;
    begin(Job::Disconnect, [this, setup](quint64 id) { return runDisconnect(setup, id); });
    return Fault::None;
}

void ProbeCalibrationRun::begin(Job job, const std::function<Outcome(quint64)> &work)
{
    active = true;
    storeFailed = false;
    runningJob = job;
    const quint64 id = ++jobId;
    outcome = Outcome();
    outcome.job = job;
    waits.reset();
    worker->start(
        [this, work, id](WorkerThread &) {
            pthread_setname_np(pthread_self(), "pcr-probecal");
            outcome = work(id);
        },
        [this, id] { endJob(id); });
}

void ProbeCalibrationRun::stop()
{
    waits.stop();
    worker->cancel();
    if (!active)
        return;
    // A driver call in progress waits on its link; closing the link ends it at once.
    closeDrivers();
}

void ProbeCalibrationRun::finish()
{
    worker->wait();
}

template<class F>
void ProbeCalibrationRun::post(quint64 id, F f)
{
    QMetaObject::invokeMethod(
        this,
        [this, id, f = std::move(f)] {
            if (id == jobId && active)
                f();
        },
        Qt::QueuedConnection);
}

void ProbeCalibrationRun::endJob(quint64 id)
{
    if (id != jobId || !active)
        return;
    // What the worker posted before it ended (readings, points) comes first.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    active = false;
    Outcome o = outcome;
    if (storeFailed) {
        o.ok = false;
        o.reason = EndReason::Failed;
        o.fault = Fault::PointStore;
    }
    switch (o.job) {
    case Job::Automatic:
        emit runEnded(o.reason, o.fault);
        break;
    case Job::Connect:
        connected = o.ok;
        emit stepEnded(Step::Connect, o.ok, o.fault);
        break;
    case Job::Point:
        emit stepEnded(Step::Point, o.ok, o.fault);
        break;
    case Job::Disconnect:
        connected = false;
        emit stepEnded(Step::Disconnect, o.ok, o.fault);
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Worker

void ProbeCalibrationRun::log(quint64 id, const QString &line)
{
    qDebug().noquote() << line;
    post(id, [this, line] { emit logLine(line); });
}

void ProbeCalibrationRun::closeDrivers()
{
    if (collector)
        collector->Close();
    if (reference)
        reference->Close();
    if (bath)
        bath->Close();
}

bool ProbeCalibrationRun::openReference(const DeviceSettings &settings)
{
    bool open = reference->Open(settings.mode, settings.address, settings.port);
    // A Bluetooth link comes up in the background; its open is asked again until it is up.
    for (int i = 0; !open && settings.mode == Bluetooth && i < BluetoothRetries; ++i) {
        if (!waits.sleepFor(BluetoothRetryPause))
            return false;
        open = reference->Open(settings.mode, settings.address, settings.port);
    }
    return open;
}

bool ProbeCalibrationRun::readReference(int point, StabilityWindow &window, bool delay, quint64 id)
{
    double value = 0;
    if (!reference->ReadValue(value))
        return false;
    window.add(value);
    Reading r;
    r.point = point;
    r.value = value;
    r.spread = window.isFull() ? window.spread() : qQNaN();
    r.delay = delay;
    r.time = QDateTime::currentDateTime();
    post(id, [this, r] { emit readingTaken(r); });
    return true;
}

ProbeCalibrationRun::Fault ProbeCalibrationRun::settle(const Setup &setup, int point, quint64 id)
{
    const double t = setup.points.at(point).temperature;
    if (!bath->SetTemperature(t))
        return Fault::BathSetup;
    post(id, [this, t] { emit setTemperatureChanged(t); });
    qDebug().noquote() << "稳定指标：" + QString::number(setup.index);

    // One reading per interval, each due one interval after the last was due (a slow read is
    // not added to the interval); a stop ends the wait at once.
    const auto interval = intervalOf(setup.intervalSeconds);
    StopWait::Clock::time_point due = StopWait::Clock::now();
    const auto nextReading = [&] {
        due = std::max(due + interval, StopWait::Clock::now());
        return waits.sleepUntil(due);
    };
    StabilityWindow window;
    for (;;) {
        if (!nextReading())
            return Fault::None;
        if (!readReference(point, window, false, id))
            return Fault::ReferenceRead;
        if (window.isStable(setup.index))
            break;
    }
    qDebug().noquote() << "稳定延迟时间：" + QString::number(setup.delayMinutes);
    for (int i = 0; i < delayReadings(setup.delayMinutes); ++i) {
        if (!nextReading())
            return Fault::None;
        if (!readReference(point, window, true, id))
            return Fault::ReferenceRead;
    }
    return Fault::None;
}

ProbeCalibrationRun::Outcome ProbeCalibrationRun::runAutomatic(const Setup &setup, int first, quint64 id)
{
    Outcome result;
    result.job = Job::Automatic;
    const int points = setup.points.size();
    const int channels = setup.probes.NumberChannels.toInt();
    int done = first;
    bool paused = false;

    const auto run = [&]() -> Fault {
        if (first >= points || waits.stopped())
            return Fault::None;
        if (!collector->Open(setup.collector.mode, setup.collector.address, setup.collector.port))
            return Fault::CollectorOpen;
        if (waits.stopped())
            return Fault::None;
        if (!bath->Open(setup.bath.mode, setup.bath.address, setup.bath.port))
            return Fault::BathOpen;
        if (waits.stopped())
            return Fault::None;
        if (!openReference(setup.reference))
            return Fault::ReferenceOpen;
        if (!bath->Initialize())
            return Fault::BathSetup;
        const QList<ChannelSetting> settings = collectorSettings(setup.probes, setup.mode);
        if (settings.isEmpty() || !collector->SetChannels(settings))
            return Fault::CollectorSetup;
        if (!reference->SetChannel(referenceSetting(setup.referenceProbe)))
            return Fault::ReferenceSetup;

        for (int k = first; k < points; ++k) {
            const Fault settled = settle(setup, k, id);
            if (settled != Fault::None || waits.stopped())
                return settled;
            double value = 0;
            if (!reference->ReadValue(value))
                return Fault::ReferenceRead;
            QStringList values;
            if (!collector->ReadChannels(values) || values.size() != channels)
                return Fault::CollectorRead;
            const QString text = QString::number(value, 'f', 4);
            qDebug().noquote() << "标准温度 = " + text;
            qDebug().noquote() << (setup.mode == Mode::Calibration ? "电阻值   = " : "通道温度 = ")
                    + values.join(QLatin1Char(','));
            post(id, [this, k, text, values] { completePoint(k, text, values, false); });
            done = k + 1;
            if (setup.points.at(k).liquidChange && done < points) {
                qDebug().noquote() << "请更换液体!";
                paused = true;
                return Fault::None;
            }
        }
        return Fault::None;
    };
    const Fault fault = run();
    closeDrivers();

    if (done >= points)
        result.reason = EndReason::Completed;
    else if (waits.stopped())
        result.reason = EndReason::Stopped;   // a call cut short by the stop is no fault
    else if (fault != Fault::None)
        result.reason = EndReason::Failed;
    else
        result.reason = paused ? EndReason::Paused : EndReason::Stopped;
    result.fault = result.reason == EndReason::Failed ? fault : Fault::None;
    result.ok = result.reason == EndReason::Completed;
    if (result.reason == EndReason::Failed)
        qDebug().noquote() << faultText(fault, setup.mode);
    return result;
}

ProbeCalibrationRun::Outcome ProbeCalibrationRun::runConnect(const Setup &setup, quint64 id)
{
    Outcome result;
    result.job = Job::Connect;
    const bool bathReference = setup.reference.name == Names::ziviD();
    const auto run = [&]() -> Fault {
        if (!collector->Open(setup.collector.mode, setup.collector.address, setup.collector.port))
            return Fault::CollectorOpen;
        if (bathReference && !bath->Open(setup.bath.mode, setup.bath.address, setup.bath.port))
            return Fault::BathOpen;
        if (reference && !openReference(setup.reference))
            return Fault::ReferenceOpen;
        log(id, tr("设备连接成功！"));
        if (bathReference && !bath->Initialize())
            return Fault::BathSetup;
        const QList<ChannelSetting> settings = collectorSettings(setup.probes, setup.mode);
        if (settings.isEmpty() || !collector->SetChannels(settings))
            return Fault::CollectorSetup;
        log(id, tr("采集设备设置成功！"));
        if (reference) {
            if (!reference->SetChannel(referenceSetting(setup.referenceProbe)))
                return Fault::ReferenceSetup;
            log(id, tr("标准器设置成功！"));
        }
        return Fault::None;
    };
    const Fault fault = waits.stopped() ? Fault::None : run();
    result.ok = fault == Fault::None && !waits.stopped();
    result.fault = waits.stopped() ? Fault::None : fault;
    if (!result.ok)
        closeDrivers();
    return result;
}

ProbeCalibrationRun::Outcome ProbeCalibrationRun::runPoint(const Setup &setup, int index,
                                                           std::optional<double> entered, quint64 id)
{
    Outcome result;
    result.job = Job::Point;
    double value = entered.value_or(0);
    if (!entered && !reference->ReadValue(value)) {
        result.fault = waits.stopped() ? Fault::None : Fault::ReferenceRead;
        return result;
    }
    QStringList values;
    if (!collector->ReadChannels(values) || values.size() != setup.probes.NumberChannels.toInt()) {
        result.fault = waits.stopped() ? Fault::None : Fault::ManualCollectorRead;
        return result;
    }
    const QString text = QString::number(value, 'f', 4);
    log(id, QStringLiteral("\n") + tr("温度点%1:").arg(index + 1));
    for (int c = 0; c < values.size(); ++c)
        log(id, tr("标准温度：%1  通道%2：%3").arg(text).arg(c + 1).arg(values.at(c)));
    const bool typed = entered.has_value();
    post(id, [this, index, text, values, typed] { completePoint(index, text, values, typed); });
    result.ok = true;
    return result;
}

ProbeCalibrationRun::Outcome ProbeCalibrationRun::runDisconnect(const Setup &setup, quint64 id)
{
    Q_UNUSED(setup)
    Outcome result;
    result.job = Job::Disconnect;
    closeDrivers();
    log(id, tr("设备断开成功！"));
    result.ok = true;
    return result;
}
