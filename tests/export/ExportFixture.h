#pragma once

// Workspaces for the export tests: a real "PCR.db3" and "config.ini" in a folder, holding
// projects whose runs are built from known numbers, so every printed value can be worked out by
// hand.
//
// A uniformity run climbs to each set temperature in three ramp samples and then holds it for
// `plateauSamples` samples: probe p reads set + offset[p] + wobble[t], with the wobble pattern
// below repeating every nine samples and summing to zero. With a two-minute hold at 10 s the
// automatic search puts each segment on exactly the first nine plateau samples, so a probe's
// mean is set + offset[p], the range is (max offset + 0.02) - (min offset - 0.02) and the
// expanded uncertainty 2 × the sample standard deviation of the offsets.
//
// A rate run (steps 50, 95, 50) follows the fixed profile rateProfile() + offset[p]: heating from
// sample 3 (56) to 7 (92), cooling from 11 (88) to 15 (52), so at 10 s both times are 40 s and
// both rates 0.9 ℃/s.
#include "analysis/AnalysisTypes.h"
#include "store/tool.h"

#include <QDateTime>
#include <QString>
#include <QVector>

namespace Fixture {

struct Project
{
    QString name = QStringLiteral("PCR-2024-001");
    int probes = 3;
    double interval = 10.0;
    QVector<double> offsets{-0.03, 0.01, 0.05};   // per probe, ℃
    QVector<CycleStep> uniformitySteps{{60.0, 2.0}, {95.0, 2.0}};   // empty: no uniformity run
    QVector<CycleStep> rateSteps{{50.0, 1.0}, {95.0, 1.0}, {50.0, 1.0}};   // empty: no rate run
    QString uniformityFile = QStringLiteral("均匀度程序");
    QString rateFile = QStringLiteral("升降温程序");
    int plateauSamples = 14;
    QDateTime start = QDateTime(QDate(2024, 5, 6), QTime(9, 0, 0, 250));
    QString ambient = QStringLiteral("23.50");   // ℃ as stored
    bool linearity = true;
};

// Offsets for n probes: small, distinct, not symmetric.
QVector<double> offsetsFor(int probes);

// The nine-sample wobble on top of every plateau value.
const QVector<double> &wobble();
QVector<double> rateProfile();

// Creates folder/PCR.db3 (schema and the initial account "admin") and folder/config.ini, and
// leaves the database open as the default connection.
bool createWorkspace(const QString &folder, const QString &unit = QStringLiteral("℃"), int decimals = 2,
                     const QString &format = QStringLiteral("Word"), const QString &language = QStringLiteral("中文"));
void writeConfig(const QString &folder, const QString &unit, int decimals, const QString &format,
                 const QString &language = QStringLiteral("中文"));

// Stores the project record, its cycle files (unless already there) and both runs.
bool addProject(const Project &project);
Tool::Struct_Calibration calibrationRecord(const Project &project);

// The stored samples (℃, as read back) of one run, in time order.
QVector<RunSample> uniformitySamples(const Project &project);
QVector<RunSample> rateSamples(const Project &project);
// The first and last sample of the first nine plateau samples of step k (the automatic segment).
int plateauStart(const Project &project, int step);

// Writes n samples per second for `hours` hours of a 16-probe day-long run (benchmarks).
bool addDayLongProject(const QString &name, int probes, double hours, int intervalMs = 1000);

// Accounts: one with every right, one without export rights, one locked, one expired.
bool addAccounts();

// Logs in as the initial account "admin"; false when it is not there.
bool logInAsAdmin();

// What the open workspace holds: the project of that name (empty when none) and the audit trail.
Tool::Struct_Calibration stored(const QString &name);
QList<Tool::Struct_AuditLog> audit();

} // namespace Fixture
