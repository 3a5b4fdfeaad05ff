#pragma once
// Probe calibration and verification in the bath, without widgets. The object owns the three
// drivers (bath, collector, reference thermometer), the run lists and one worker thread. An
// automatic run sets the bath to each point, waits until the reference is stable, records the
// reference and every probe, and pauses after a point that needs a change of bath liquid; the
// manual steps connect, read one point at a time and disconnect. A stop ends any step within a
// second: it ends the waits at once and closes the drivers, which ends a call in progress.
//
// The object lives in the thread that starts it (the GUI thread of a page, the main thread of a
// tool); its signals are emitted there, in the order the worker produced them. Each completed
// point is stored in the database (one transaction, audited) and then in the lists before
// pointCompleted() is emitted, so a run cut short by anything resumes after its last stored
// point. A point that cannot be stored stops the run (Fault::PointStore); nothing after it is
// reported as taken.

#include "acquisition/ProbeCalibration.h"
#include "acquisition/StopWait.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

class Collection;
class Criteria;
class Field;
class WorkerThread;

class ProbeCalibrationRun : public QObject
{
    Q_OBJECT

public:
    using Mode = ProbeCalibration::Mode;

    enum class Fault {
        None,
        NoDevice,          // no bath or collector of that name
        ManualReference,   // no reference driver, where the run needs one
        CollectorOpen,
        BathOpen,
        ReferenceOpen,
        BathSetup,         // the bath's set-up commands, or a set point it did not take
        CollectorSetup,
        ReferenceSetup,
        ReferenceRead,
        CollectorRead,     // of an automatic run
        ManualCollectorRead,
        PointStore,        // a completed point could not be written to the database
        Busy,              // a step is still running
    };
    Q_ENUM(Fault)

    enum class EndReason {
        Completed,   // every point has its reference temperature
        Paused,      // after a point that needs a change of bath liquid
        Stopped,     // stop() (or the object's end)
        Failed,      // a device failed; fault() tells which
    };
    Q_ENUM(EndReason)

    enum class Step { Connect, Point, Disconnect };
    Q_ENUM(Step)

    struct Setup
    {
        Mode mode = Mode::Calibration;
        ProbeCalibration::DeviceSettings bath, collector, reference;
        ProbeCalibration::ReferenceProbe referenceProbe;
        Tool::Struct_Standardizer probes;
        QVector<ProbeCalibration::Point> points;
        int delayMinutes = 0;
        double index = 0.01;               // ℃
        double intervalSeconds = ProbeCalibration::StandardIntervalSeconds;
    };

    struct Reading
    {
        int point = 0;               // from 0
        double value = 0;            // ℃
        double spread = qQNaN();     // max − min of the last 15 once there are 15
        bool delay = false;          // taken after the bath was found stable
        QDateTime time;
    };

    explicit ProbeCalibrationRun(QObject *parent = nullptr);
    // Stops a step in progress, waits for its end, then closes and destroys the drivers.
    ~ProbeCalibrationRun() override;

    // The run lists: the plan and the set last run from config.ini, the points of that set's open
    // runs from the database (false when they could not be read).
    ProbeCalibration::RunLists &lists() { return runLists; }
    const ProbeCalibration::RunLists &lists() const { return runLists; }
    bool loadLists();
    bool loadLists(const Tool::Struct_Standardizer &probes);
    // The set and the plan to config.ini (settings only).
    void saveLists() const;

    // Starts an automatic run at the first point without a stored reference temperature, with
    // new drivers. Fault::None when the run has started; otherwise nothing started.
    Fault start(const Setup &setup);

    // Manual steps, one at a time. connectDevices() makes new drivers and opens them;
    // readPoint() takes point index (from 0) with the reference read, or the value given when
    // there is no reference driver; disconnectDevices() closes them. stepEnded() follows each.
    Fault connectDevices(const Setup &setup);
    Fault readPoint(int index, std::optional<double> enteredReference = std::nullopt);
    Fault disconnectDevices();
    bool isConnected() const { return connected; }
    // The reference of the last set-up is read by a driver (not typed in).
    bool hasReferenceDriver() const { return reference != nullptr; }

    // Asks the step in progress to end (see above); its end is reported as usual.
    void stop();
    // From start() (or a manual step) until its end has been reported.
    bool isActive() const { return active; }
    // Waits for the step in progress and reports its end before returning.
    void finish();

    // The text the user reads for a fault, and for the end of an automatic run.
    static QString faultText(Fault fault, Mode mode);
    static QString endText(EndReason reason, Fault fault, Mode mode);

signals:
    void setTemperatureChanged(double temperature);
    void readingTaken(const ProbeCalibrationRun::Reading &reading);
    // Already in the lists and in config.ini.
    void pointCompleted(int index, const QString &reference, const QStringList &values);
    void runEnded(ProbeCalibrationRun::EndReason reason, ProbeCalibrationRun::Fault fault);
    // Manual steps: their log lines, and how each ended.
    void logLine(const QString &line);
    void stepEnded(ProbeCalibrationRun::Step step, bool ok, ProbeCalibrationRun::Fault fault);

private:
    enum class Job { Automatic, Connect, Point, Disconnect };
    struct Outcome
    {
        Job job = Job::Automatic;
        EndReason reason = EndReason::Stopped;
        Fault fault = Fault::None;
        bool ok = false;
    };

    Fault makeDrivers(const Setup &setup, bool needReference);
    void dropDrivers();
    void begin(Job job, const std::function<Outcome(quint64 id)> &work);
    template<class F> void post(quint64 id, F f);
    void endJob(quint64 id);
    void completePoint(int index, const QString &reference, const QStringList &values, bool entered);

    // Worker side.
    Outcome runAutomatic(const Setup &setup, int first, quint64 id);
    Outcome runConnect(const Setup &setup, quint64 id);
    Outcome runPoint(const Setup &setup, int index, std::optional<double> entered, quint64 id);
    Outcome runDisconnect(const Setup &setup, quint64 id);
    bool openReference(const ProbeCalibration::DeviceSettings &settings);
    Fault settle(const Setup &setup, int point, quint64 id);
    bool readReference(int point, ProbeCalibration::StabilityWindow &window, bool delay, quint64 id);
    void closeDrivers();
    void log(quint64 id, const QString &line);

    std::unique_ptr<Field> bath;
    std::unique_ptr<Collection> collector;
    std::unique_ptr<Criteria> reference;
    Setup current;   // of the drivers; owner's thread
    bool connected = false;

    ProbeCalibration::RunLists runLists;
    WorkerThread *worker;
    StopWait waits;
    bool active = false;
    quint64 jobId = 0;
    Outcome outcome;   // written by the worker, read once it has been joined
    bool storeFailed = false;   // of the job in progress; owner's thread
    Job runningJob = Job::Automatic;
};

Q_DECLARE_METATYPE(ProbeCalibrationRun::Reading)
