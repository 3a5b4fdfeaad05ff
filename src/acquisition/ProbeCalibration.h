#pragma once
// The rules of probe calibration in the bath, without widgets and without threads: the point
// list, the resume decision, the stabilisation window, the channel settings of the collector and
// the reference, the run lists kept in config.ini, the coefficient fit with its residuals and the
// verification verdicts. The run (ProbeCalibrationRun), the page, the manual dialog and
// pcrcal-probecal all decide through these.

#include "instruments/ChannelSetting.h"
#include "store/tool.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

#include <deque>
#include <functional>

class QSettings;

namespace ProbeCalibration {

enum class Mode { Calibration, Verification };

constexpr int MaximumPoints = 9;
constexpr int MinimumPoints = 4;
// Readings the stability test looks at, and readings per minute of delay at the standard
// interval of 20 s.
constexpr int WindowSize = 15;
constexpr int DelayReadingsPerMinute = 3;
constexpr double StandardIntervalSeconds = 20;
constexpr double StandardResidualLimit = 0.02;   // K
constexpr double VerdictLimit = 0.1;             // K

// Device names as the page's lists show them and config.ini keeps them.
namespace Names {
inline QString vade() { return QStringLiteral("VADE"); }
inline QString ziviD() { return QStringLiteral("ZIVI-D"); }
inline QString collector() { return QStringLiteral("1611A"); }
inline QString manual() { return QStringLiteral("Manual"); }
inline QString fluke1586A() { return QStringLiteral("Fluke 1586A"); }
inline QString morva1621A() { return QStringLiteral("MORVA 1621A"); }
// The lists of the page, in order; the Bluetooth reference only where an adapter is.
QStringList baths();
QStringList collectors();
QStringList references(bool bluetoothAdapter);
} // namespace Names

// The communication settings of one device: name, link type (stored word), address, port or baud
// rate.
struct DeviceSettings
{
    QString name, mode, address, port;
    bool operator==(const DeviceSettings &o) const
    {
        return name == o.name && mode == o.mode && address == o.address && port == o.port;
    }
    bool operator!=(const DeviceSettings &o) const { return !(*this == o); }
};

// The reference probe: its type ("ITS90-4W", ...), the reference instrument's channel ("CH001",
// "CH101", ...) and its coefficients as typed.
struct ReferenceProbe
{
    QString type, channel, a, b, c, d, r0, a4, b4;
    static QStringList types();
    static QStringList channels();
};

struct Point
{
    double temperature = 0;   // ℃
    bool liquidChange = false;
    bool operator==(const Point &o) const { return temperature == o.temperature && liquidChange == o.liquidChange; }
};

// The points of the page's nine fields: up to the first empty one, each with its liquid flag.
// False, with the message, for fewer than four points or a text that is no temperature.
bool collectPoints(const QStringList &texts, const QList<bool> &liquidFlags, QVector<Point> &points,
                   QString *message);
QString tooFewPointsText();

// What a plan is held to before any device is driven: the bath's set-temperature range and the
// smallest spacing of two points.
constexpr double DefaultMinimumSpacing = 5;   // K
struct PlanLimits
{
    double lowest = 0, highest = 0;           // ℃
    double minimumSpacing = DefaultMinimumSpacing;
    QString bathModel;                        // empty: the span of every model the driver knows
};
// "TField/Model" (one of the bath models the driver knows; otherwise the span of all of them)
// and "TStandardizer/MinimumSpacing" (K, 5 when missing or unusable).
PlanLimits readPlanLimits(const QSettings &ini);
// The one check of a plan, for the page, the manual dialog and pcrcal-probecal: at least four
// points, each within the bath's range, no point repeated and no two closer than the spacing,
// so the fit gets four distinct, well spread temperatures. Empty when the plan may run; else
// what is wrong, naming the point.
QString checkPlan(const QVector<Point> &points, const PlanLimits &limits);
// "20, 30, 40, 50 ℃".
QString planText(const QVector<Point> &points);
// The same set temperatures in the same order (liquid changes may differ).
bool samePlan(const QVector<Point> &a, const QVector<Point> &b);

// What a start does with the points stored for the probe set.
enum class Resume {
    Fresh,         // nothing stored for this set (or another set's data): start at point 1
    Ask,           // an unfinished run of the same plan: ask whether to continue at the first missing point
    DataError,     // as many points stored as entered, or more: tell, and start afresh
    PlanDiffers,   // an unfinished run of another plan: start afresh only if the engineer says so
};
Resume resumeDecision(const QString &storedSet, const QString &set, int storedPoints, int points);
QString resumeQuestion(Mode mode);
QString dataErrorText(Mode mode);
// The stored and the entered plan, both named.
QString otherPlanText(const QVector<Point> &stored, int storedPoints, const QVector<Point> &entered);
struct RunLists;
struct ResumeChoices
{
    std::function<bool()> continueUnfinished;                       // Ask: true continues
    std::function<bool(const QString &)> restartForOtherPlan;       // PlanDiffers: true restarts
    std::function<void(const QString &)> notice;                    // DataError
};
// Readies the lists for a start of `mode` with the plan `points` of `set`: an unfinished run of
// the same plan goes on if continueUnfinished() says so, one of another plan only goes (and the
// new one starts) if restartForOtherPlan() agrees, and lists as long as the plan or longer go
// after a notice (dataErrorText). False when nothing may start. The decision in *decision.
bool prepareLists(RunLists &lists, const QString &set, Mode mode, const QVector<Point> &points,
                  const ResumeChoices &choices, Resume *decision = nullptr);

// The stability test: the last 15 reference readings; stable once all 15 are there and the
// index is greater than their spread (max − min).
class StabilityWindow
{
public:
    void add(double reading);
    void clear() { readings.clear(); }
    bool isFull() const { return int(readings.size()) >= WindowSize; }
    int size() const { return int(readings.size()); }
    double spread() const;
    bool isStable(double index) const;

private:
    std::deque<double> readings;
};
// Readings of the delay phase: three per minute; none below a third.
int delayReadings(int delayMinutes);

// The collector's channel settings for a probe set: resistances ("Ohm") for calibration,
// temperatures ("℃") through the set's coefficients for verification. Empty when the set's lists
// do not give every channel its values.
QList<ChannelSetting> collectorSettings(const Tool::Struct_Standardizer &probes, Mode mode);
// The reference instrument's channel setting for the reference probe.
ChannelSetting referenceSetting(const ReferenceProbe &probe);

// The run lists: the points entered, and per mode the reference temperatures of the completed
// points (four decimals) with the probes' readings of each.
struct RunLists
{
    QString probeSet;         // the set the stored points belong to (its name)
    QString probeSetNumber;   // and its number, the key of its runs in the database
    QVector<Point> points;    // the plan of the next start
    // The open runs in the database (empty: none yet) and their plans.
    QString calibrationRun, verificationRun;
    QVector<Point> calibrationPlan, verificationPlan;
    QStringList calibrationReferences;
    QVector<QStringList> calibrationReadings;
    QStringList verificationReferences;
    QVector<QStringList> verificationReadings;

    QStringList &references(Mode mode) { return mode == Mode::Calibration ? calibrationReferences : verificationReferences; }
    const QStringList &references(Mode mode) const
    {
        return mode == Mode::Calibration ? calibrationReferences : verificationReferences;
    }
    QVector<QStringList> &readings(Mode mode) { return mode == Mode::Calibration ? calibrationReadings : verificationReadings; }
    const QVector<QStringList> &readings(Mode mode) const
    {
        return mode == Mode::Calibration ? calibrationReadings : verificationReadings;
    }
    QString &runId(Mode mode) { return mode == Mode::Calibration ? calibrationRun : verificationRun; }
    QVector<Point> &plan(Mode mode) { return mode == Mode::Calibration ? calibrationPlan : verificationPlan; }
    const QVector<Point> &plan(Mode mode) const { return mode == Mode::Calibration ? calibrationPlan : verificationPlan; }
    // Forgets the run of the mode here; the next stored point opens a new one in the database.
    void clear(Mode mode)
    {
        references(mode).clear();
        readings(mode).clear();
        runId(mode).clear();
        plan(mode).clear();
    }
    // Point index (from 0) stored or replaced; earlier points missing are not invented.
    void store(Mode mode, int index, const QString &reference, const QStringList &values);
    // Every entered point has its reference temperature.
    bool complete(Mode mode) const { return !points.isEmpty() && references(mode).size() >= points.size(); }
};

// config.ini keeps settings only: "TChannel/Channel" (the set last run) and the plan as
// "TSet/Temp"n, "TSet/Liquid"n. Measured points are in the database.
RunLists readLists(const QSettings &ini);
void writeLists(QSettings &ini, const RunLists &lists);
// The points as the page's fields show them (TSet/Temp n as typed).
void writePointTexts(QSettings &ini, const QStringList &texts, const QList<bool> &liquidFlags);
// Measured points an older version kept in config.ini ("TCalibration/…", "TVerification/…"):
// never trusted (anyone may have edited them), written to the log and removed. The text to tell
// the user when there were any, else empty.
QString dropConfigPoints(QSettings &ini);

// The open runs of the probe set, both modes, from the database into the lists (the plan to
// start with stays). False when they could not be read.
bool loadStoredLists(RunLists &lists, const Tool::Struct_Standardizer &probes);
// Point `index` of `mode`, stored in the database (the run opened first when there is none, with
// lists.points as its plan) and then in the lists. False, with nothing changed, when it could not
// be written.
bool storePoint(RunLists &lists, Mode mode, int index, const QString &reference, const QStringList &values,
                const QString &instrument);
// How a reference value was had, as the stored point names it.
QString instrumentText(const DeviceSettings &reference, bool entered);

// The device record kept under a group ("TField", "TCriteria", "TCollection").
DeviceSettings readDevice(const QSettings &ini, const QString &group);
void writeDevice(QSettings &ini, const QString &group, const DeviceSettings &device);
ReferenceProbe readReferenceProbe(const QSettings &ini);
void writeReferenceProbe(QSettings &ini, const ReferenceProbe &probe);

// Settings not shown on the page: the reading interval of the stabilisation loop (seconds,
// "TStandardizer/Interval", 20) and the largest fit residual stored without asking (K,
// "TStandardizer/ResidualLimit", 0.02). A missing or unusable value reads as the default.
double readInterval(const QSettings &ini);
double readResidualLimit(const QSettings &ini);

// The fit of a completed calibration, with what it leaves at each point.
struct Fit
{
    bool ok = false;
    QString message;            // on failure: "数据错误，校准失败!"
    QStringList b0, b1, b2, b3; // per channel, as stored (full precision)
    // residuals[probe][point]: the fitted temperature of the probe's resistance, from the stored
    // texts, minus the reference temperature, in K.
    QVector<QVector<double>> residuals;
    double worstResidual = 0;   // largest |residual|
    // Probes (from 0) with a residual over limit.
    QList<int> probesOver(double limit) const;
};
// Coefficients that do not give back their own points within VerdictLimit are refused (the
// message names the probes); the design itself is judged by the fit (Analysis::fitProbeSet).
Fit fitCalibration(const RunLists &lists, int channelCount, const QStringList &channelNames = {});
// For the question before storing and for the log: one line per probe over the limit.
QString residualReport(const Fit &fit, const Tool::Struct_Standardizer &probes, double limit);
// The question asked before coefficients with a residual over limit are stored.
QString residualQuestion(const Fit &fit, const Tool::Struct_Standardizer &probes, double limit);
QString notStoredText();

// Coefficients into the probe set, with the audit entry under Tool::CurrentUser.
bool storeFit(const Tool::Struct_Standardizer &probes, const Fit &fit);

} // namespace ProbeCalibration
