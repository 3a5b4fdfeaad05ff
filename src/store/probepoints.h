#pragma once
// The measured points of probe calibration and verification runs. A run of a probe set in one
// mode is opened with its plan (the set temperatures and liquid changes, as planned) and keeps
// every completed point: the set temperature, the reference temperature, every probe's reading,
// the reference instrument, the operator and the time. Each point is stored, and audited, in one
// transaction; a run resumed reads its points from here, never from config.ini.

#include <QList>
#include <QString>
#include <QStringList>

namespace ProbePoints {

extern const char *const RunTableName;     // "ProbeCalibrationRun"
extern const char *const PointTableName;   // "ProbeCalibrationPoint"
QStringList runColumns();     // RunId (key), ProbeSet, Mode, Plan, Started, Operator, State
QStringList pointColumns();   // RunId, Point, SetTemperature, Reference, Readings, ReferenceInstrument, Operator, Time

// The stored mode words (never translated).
QString calibrationWord();    // "校准"
QString verificationWord();   // "验证"

struct Point
{
    int index = 0;              // from 0
    QString setTemperature;     // ℃, as planned
    QString reference;          // ℃, four decimals
    QStringList readings;       // one per probe, as the collector gave them
    QString instrument;         // the reference: name and link, or how the value was entered
    QString operatorName;
    QString time;
};

struct Run
{
    QString id;
    QString probeSet;           // the probe set's number
    QString mode;               // calibrationWord() or verificationWord()
    QString plan;
    QString started;
    QString operatorName;
    QList<Point> points;        // in point order
};

// The open run of a probe set in a mode with its points; *found false when there is none. False
// when the tables could not be read.
bool openRun(const QString &probeSet, const QString &mode, Run &run, bool *found);
// Closes any open run of the set in the mode and opens a new one with the plan, under the
// current operator, in one transaction. False (nothing changed) when that cannot be written.
bool beginRun(const QString &probeSet, const QString &mode, const QString &plan, QString *runId);
// Stores a point of an open run (replacing the one of the same index taken before) with its audit
// entry, in one transaction: both or neither. False when either cannot be written.
bool storePoint(const QString &runId, const Point &point, const QString &auditText);

} // namespace ProbePoints
