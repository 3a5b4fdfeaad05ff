#pragma once
// The maker's performance profile of a PCR instrument model: the limits its maker states, against which
// an export judges the block's performance. One row per model (the DeviceModel of the PCR
// instrument records), every limit a decimal text in ℃, seconds or ℃/s as stored.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

struct PerformanceProfileRecord
{
    QString DeviceModel, Accuracy, Uniformity, HeatingRate, CoolingRate, Overshoot, SettlingTime;

    using FieldList = std::vector<std::pair<const char *, QString PerformanceProfileRecord::*>>;
    static const FieldList &fields();      // the columns in order
    QStringList values() const;
    static PerformanceProfileRecord fromValues(const QStringList &texts);
    // The six limits, in column order (everything but the model).
    QStringList limits() const { return values().mid(1); }
};

namespace Profiles {

extern const char *const TableName;          // "PerformanceProfile"
extern const char *const VerdictTableName;   // "PerformanceVerdict"
// The columns of the verdict table: CalibrationName (key), Verdict, DeviceModel, Time.
QStringList verdictColumns();

// The profile of a model; false when the query fails. *found says whether there is one.
bool get(const QString &model, PerformanceProfileRecord *record, bool *found);
// Every profile, ordered by model.
bool getAll(QList<PerformanceProfileRecord> &list);
// Stores the profile of record.DeviceModel, replacing one the model had. One transaction.
bool save(const PerformanceProfileRecord &record);
// Removes the profile of a model; true also when it had none.
bool remove(const QString &model);

// The overall verdict of a calibration's last certificate or original-record export, as its
// stored word ("合格", "不合格", "不作判定"), with the model judged and the time; replaces the
// one it had.
bool saveVerdict(const QString &calibration, const QString &verdict, const QString &model, const QString &time);
// Every stored verdict word by calibration name.
bool verdicts(QHash<QString, QString> &byCalibration);
// Forgets the verdict of a deleted calibration; true also when it had none.
bool removeVerdict(const QString &calibration);

} // namespace Profiles
