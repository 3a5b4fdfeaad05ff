#include "acquisition/CalibrationRun.h"

#include "acquisition/CalibrationSetup.h"
#include "instruments/Collection.h"
#include "store/WorkerThread.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QThread>

#include <cmath>
#include <pthread.h>

namespace {

const QString SampleTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");

// Re-read the wall clock at least this often while waiting for the start time: it may be set.
constexpr qint64 StartPollMs = 200;

} // namespace

CalibrationRun::CalibrationRun(Collection *collector, QObject *parent)
    : QObject(parent), collector(collector), worker(new WorkerThread(this))
{
    qRegisterMetaType<CalibrationRun::EndReason>();
    qRegisterMetaType<CalibrationRun::InstrumentFault>();
}

CalibrationRun::~CalibrationRun()
{
    stop();
    finish();
}

// ---------------------------------------------------------------------------------------------
// Rules

QList<ChannelSetting> CalibrationRun::channelSettings(const Tool::Struct_Standardizer &probes, const QString &unit,
                                                      bool *complete)
{
    const QStringList names = probes.ChannelNames.split(QLatin1Char(','));
    const QStringList b0 = probes.B0_R0.split(QLatin1Char(','));
    const QStringList b1 = probes.B1.split(QLatin1Char(','));
    const QStringList b2 = probes.B2.split(QLatin1Char(','));
    const QStringList b3 = probes.B3.split(QLatin1Char(','));
    // A probe without its four coefficients would read nonsense.
    const bool all = b0.size() >= names.size() && b1.size() >= names.size() && b2.size() >= names.size()
                     && b3.size() >= names.size();
    if (complete)
        *complete = all;
    QList<ChannelSetting> settings;
    for (int i = 0; all && i < names.size(); ++i) {
        ChannelSetting s;
        s[ChannelSetting::Channel] = names.at(i);
        s[ChannelSetting::Function] = QStringLiteral("热敏电阻");
        s[ChannelSetting::Type] = QStringLiteral("R(T)");
        s[ChannelSetting::Wiring] = QStringLiteral("二线制");
        s[ChannelSetting::Unit] = unit;
        s[ChannelSetting::Coefficient1] = b0.at(i);
        s[ChannelSetting::Coefficient2] = b1.at(i);
        s[ChannelSetting::Coefficient3] = b2.at(i);
        s[ChannelSetting::Coefficient4] = b3.at(i);
        s[ChannelSetting::ScaleGain] = QStringLiteral("1");
        s[ChannelSetting::ScaleOffset] = QStringLiteral("0");
        settings << s;
    }
    return settings;
}

CalibrationRun::Phase CalibrationRun::phaseWith(const Tool::Struct_Electrometer &meter,
                                               const Tool::Struct_Standardizer &probes)
{
    Phase p;
    p.mode = meter.SignalMode;
    p.address = meter.IP_COM;
    p.port = meter.Port_BaudRate;
    p.probes = probes;
    return p;
}

qint64 CalibrationRun::sampleOffsetMs(double interval, int i)
{
    // The tiny allowance keeps products such as 0.7 × 1000 × 3 = 2099.9999… on their decimal value.
    return qint64(std::floor(interval * 1000.0 * i + 1e-6));
}

int CalibrationRun::sampleCount(const QTime &duration, double interval)
{
    const int ms = duration.isValid() ? QTime(0, 0).msecsTo(duration) : 0;
    if (!(interval > 0))
        return 1;
    // The allowance keeps e.g. 3 s / 0.3 s at ten intervals, not 9.999….
    return int(std::floor(double(ms / 1000) / interval + 1e-9)) + 1;
}

Tool::Struct_CalibrationData CalibrationRun::sampleRow(const Phase &phase, const QDateTime &start, int i,
                                                       const QStringList &values)
{
    QStringList temperatures;
    temperatures.reserve(values.size());
    for (const QString &v : values)
        temperatures << CalibrationSetup::celsiusText(v, phase.unit, 4);
    Tool::Struct_CalibrationData row;
    row.Name = phase.projectName;
    row.Model = phase.model;
    row.Time = start.addMSecs(sampleOffsetMs(phase.interval, i)).toString(SampleTimeFormat);
    row.Temperatures = temperatures.join(QLatin1Char(','));
    return row;
}

// ---------------------------------------------------------------------------------------------
// Owner's thread

bool CalibrationRun::start(const Phase &phase)
{
    if (active)
        return false;
    begin([this, phase](quint64 id) { runPhase(phase, id); }, "pcr-calibration");
    return true;
}

bool CalibrationRun::discard(const QString &projectName, const SampleSink::Options &storage)
{
    if (active)
        return false;
    begin(
        [this, projectName, storage](quint64) {
            SampleWriter writer;
            Outcome result;
            result.discardJob = true;
            result.ok = writer.open(storage.databaseFile, storage.busyTimeoutMs) && writer.discard(projectName);
            if (!result.ok)
                qDebug().noquote() << "删除校准数据失败！" << projectName << writer.error();
            outcome = result;
        },
        "pcr-discard");
    return true;
}

void CalibrationRun::begin(const std::function<void(quint64)> &job, const char *threadName)
{
    active = true;
    ++phaseId;
    outcome = Outcome();
    phaseStart = QDateTime();
    taken = 0;
    stored = 0;
    waits.reset();
    const quint64 id = phaseId;
    worker->start(
        [job, id, threadName](WorkerThread &) {
            pthread_setname_np(pthread_self(), threadName);
            job(id);
        },
        [this, id] { endPhase(id); });
}

void CalibrationRun::stop()
{
    waits.stop();
    worker->cancel();
}

void CalibrationRun::finish()
{
    while (active && worker->workThread()) {
        if (waits.stopped() && collector->IsOpen())
            collector->Close();
        if (worker->workThread()->wait(10))
            break;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    // Joins the thread and handles the end, unless the events above did.
    worker->wait();
}

template<class F>
void CalibrationRun::post(quint64 id, F f)
{
    QMetaObject::invokeMethod(
        this,
        [this, id, f = std::move(f)] {
            if (id == phaseId && active)
                f();
        },
        Qt::QueuedConnection);
}

void CalibrationRun::endPhase(quint64 id)
{
    if (id != phaseId || !active)
        return;
    // What the worker posted before it ended (samples, commits) comes first.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    active = false;
    const Outcome o = outcome;
    if (o.discardJob) {
        emit rowsDiscarded(o.ok);
        return;
    }
    if (o.storeFault)
        emit storeFailed(o.storeError);
    if (o.instrumentFault)
        emit instrumentFailed(o.fault);
    emit phaseEnded(o.reason);
}

// ---------------------------------------------------------------------------------------------
// Worker

void CalibrationRun::runPhase(const Phase &phase, quint64 id)
{
    Outcome result;
    const auto end = [&](EndReason reason) {
        result.reason = reason;
        outcome = result;
    };
    const auto instrumentFault = [&](InstrumentFault fault) {
        result.instrumentFault = true;
        result.fault = fault;
        end(EndReason::InstrumentFailed);
    };

    if (!collector->Open(phase.mode, phase.address, phase.port)) {
        // An open cut short by a stop (the link closed under it) is no fault of the instrument.
        if (waits.stopped()) {
            end(EndReason::Stopped);
            return;
        }
        qDebug().noquote() << "串口打开失败!";
        instrumentFault(InstrumentFault::Open);
        return;
    }
    bool complete = false;
    const QList<ChannelSetting> settings = channelSettings(phase.probes, phase.unit, &complete);
    if (!complete || !collector->SetChannels(settings)) {
        collector->Close();
        instrumentFault(InstrumentFault::Configure);
        return;
    }

    // The writer is there before the first sample, so that a database that cannot be written
    // is known before anything is taken.
    SampleSink sink(phase.storage);
    sink.onCommit = [this, id](qint64 total) {
        stored = total;
        post(id, [this, total] { emit rowsCommitted(total); });
    };
    if (!sink.start()) {
        collector->Close();
        result.storeFault = true;
        result.storeError = sink.error();
        end(EndReason::StoreFailed);
        return;
    }

    // Wait for the start time, compared in whole seconds: until its second has begun.
    const qint64 startSecond = phase.start.toSecsSinceEpoch();
    for (;;) {
        const qint64 left = startSecond * 1000 - QDateTime::currentMSecsSinceEpoch();
        if (left <= 0 || waits.stopped())
            break;
        waits.sleepFor(std::chrono::milliseconds(qMin(left, StartPollMs)));
    }
    if (waits.stopped()) {
        collector->Close();
        sink.finish();
        end(EndReason::Stopped);
        return;
    }

    qDebug().noquote() << "开始采集";
    const int count = sampleCount(phase.duration, phase.interval);
    const int channels = phase.probes.NumberChannels.toInt();
    const QDateTime start = QDateTime::currentDateTime();
    post(id, [this, start] {
        phaseStart = start;
        emit acquisitionStarted(start);
    });
    const StopWait::Clock::time_point clockStart = StopWait::Clock::now();

    int i = 0;
    bool readFailed = false;
    while (i < count && !waits.stopped()) {
        QStringList values;
        if (!collector->ReadChannels(values) || values.size() != channels) {
            // A read ended by a stop is no fault of the instrument.
            readFailed = !waits.stopped();
            break;
        }
        const QDateTime now = QDateTime::currentDateTime();
        if (!sink.append(sampleRow(phase, start, i, values)))
            break;
        post(id, [this, i, values, now] { emit sampleTaken(i, values, now); });
        taken = ++i;
        // The next read is due one interval after this one was due, counted from the phase
        // start: the read time is absorbed and the reads keep to their time stamps.
        waits.sleepUntil(clockStart + std::chrono::milliseconds(sampleOffsetMs(phase.interval, i)));
    }
    collector->Close();
    if (!sink.finish()) {
        result.storeFault = true;
        result.storeError = sink.error();
    }
    if (readFailed) {
        result.instrumentFault = true;
        result.fault = InstrumentFault::Read;
    }
    if (result.storeFault)
        end(EndReason::StoreFailed);
    else if (readFailed)
        end(EndReason::InstrumentFailed);
    else
        end(i == count && !waits.stopped() ? EndReason::Finished : EndReason::Stopped);
}
