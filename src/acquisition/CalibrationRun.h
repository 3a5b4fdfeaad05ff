#pragma once
// One acquisition phase of a block calibration, without widgets: opens the collector, writes
// each probe's coefficients into its channel, waits for the start time, reads every channel once
// per interval (counted from the phase start, so the read time is absorbed), hands each sample
// row to the writer thread and closes the collector at the end or on a stop.
//
// The object lives in the thread that starts it (the GUI thread of a page, the main thread of a
// tool); its signals are emitted there, in the order the worker produced them.

#include "acquisition/SampleSink.h"
#include "acquisition/StopWait.h"
#include "instruments/ChannelSetting.h"
#include "store/tool.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTime>

#include <atomic>

class Collection;
class WorkerThread;

class CalibrationRun : public QObject
{
    Q_OBJECT

public:
    enum class EndReason {
        Finished,           // every sample taken
        Stopped,            // stop() before the last sample (or before the first)
        InstrumentFailed,   // instrumentFailed() came before
        StoreFailed,        // storeFailed() came before
    };
    Q_ENUM(EndReason)

    enum class InstrumentFault {
        Open,        // the collector could not be opened
        Configure,   // the channels could not be configured (or a probe lacks coefficients)
        Read,        // a read failed or gave the wrong number of values
    };
    Q_ENUM(InstrumentFault)

    struct Phase
    {
        // The measuring instrument's link as registered (SignalMode, IP_COM, Port_BaudRate).
        QString mode, address, port;
        Tool::Struct_Standardizer probes;   // channel names and coefficients; NumberChannels values a read
        QString unit;                       // what the collector delivers, "℃" or "℉"; stored in ℃
        double interval = 1;                // seconds
        QTime duration;                     // the phase takes floor(seconds / interval) + 1 samples
        QDateTime start;                    // acquisition begins once this second has come
        QString projectName;
        QString model;                      // the calibration item the rows are stored under
        SampleSink::Options storage;
    };

    // The collector is used only from the worker, through its blocking operations; it must
    // outlive the run.
    explicit CalibrationRun(Collection *collector, QObject *parent = nullptr);
    // Stops a phase in progress and waits for its end.
    ~CalibrationRun() override;

    // Starts a phase; false while one is active.
    bool start(const Phase &phase);
    // Deletes every sample stored under projectName, on the worker (a day-long run takes a good
    // part of a second); rowsDiscarded() follows. False while a phase is active.
    bool discard(const QString &projectName, const SampleSink::Options &storage);
    // Asks the phase to end; it takes no further sample, closes the collector and commits what it
    // took, then phaseEnded() follows.
    void stop();
    // From start() until phaseEnded() has been emitted, from discard() until rowsDiscarded().
    bool isActive() const { return active; }
    // Waits for the worker of an active phase and emits its remaining signals before returning.
    // A stopped phase's collector is closed to end a read it waits for; an open attempt runs out
    // its time, during which this thread's events other than user input are processed, so that
    // a window stays drawn.
    void finish();

    // Of the phase in progress or the last one.
    int samplesTaken() const { return taken.load(); }
    qint64 rowsStored() const { return stored.load(); }
    QDateTime acquisitionStart() const { return phaseStart; }

    // A phase on the measuring instrument's link with the probe set's channels; the rest is left
    // to the caller.
    static Phase phaseWith(const Tool::Struct_Electrometer &meter, const Tool::Struct_Standardizer &probes);

    // --- the rules of a phase, for the run and its tests
    // One setting per channel name, in list order; complete is false when a probe lacks any of
    // its four coefficients.
    static QList<ChannelSetting> channelSettings(const Tool::Struct_Standardizer &probes, const QString &unit,
                                                 bool *complete = nullptr);
    // Milliseconds of sample i after the phase start: trunc(interval × 1000 × i).
    static qint64 sampleOffsetMs(double interval, int i);
    // Samples a phase takes: floor(whole seconds of duration / interval) + 1.
    static int sampleCount(const QTime &duration, double interval);
    // The stored row of sample i: time stamp start + offset, values in ℃ with 4 decimals when the
    // collector delivered ℉, as delivered otherwise.
    static Tool::Struct_CalibrationData sampleRow(const Phase &phase, const QDateTime &start, int i,
                                                  const QStringList &values);

signals:
    // The start time has come; time stamps count from start.
    void acquisitionStarted(QDateTime start);
    // Sample index (from 0 in the phase) as the collector delivered it, read at time.
    void sampleTaken(int index, QStringList values, QDateTime time);
    // Rows of the phase committed so far.
    void rowsCommitted(qint64 total);
    void instrumentFailed(CalibrationRun::InstrumentFault fault);
    // A write failed; what was committed before stays.
    void storeFailed(QString error);
    void phaseEnded(CalibrationRun::EndReason reason);
    void rowsDiscarded(bool ok);

private:
    struct Outcome
    {
        bool discardJob = false;   // discard() rather than a phase; ok tells how it went
        bool ok = false;
        EndReason reason = EndReason::Stopped;
        bool instrumentFault = false;
        InstrumentFault fault = InstrumentFault::Open;
        bool storeFault = false;
        QString storeError;
    };

    // Starts job on the worker as the next phase id; its end is handled by endPhase.
    void begin(const std::function<void(quint64 id)> &job, const char *threadName);
    void runPhase(const Phase &phase, quint64 id);
    // Runs f in this object's thread, unless the phase id has ended meanwhile.
    template<class F> void post(quint64 id, F f);
    void endPhase(quint64 id);

    Collection *collector;
    WorkerThread *worker;
    StopWait waits;
    bool active = false;
    quint64 phaseId = 0;
    Outcome outcome;   // written by the worker, read once it has been joined
    QDateTime phaseStart;
    std::atomic<int> taken{0};
    std::atomic<qint64> stored{0};
};
