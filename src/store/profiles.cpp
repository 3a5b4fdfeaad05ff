#include "store/profiles.h"

#include "store/ThreadConnection.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

const PerformanceProfileRecord::FieldList &PerformanceProfileRecord::fields()
{
    using T = PerformanceProfileRecord;
    static const FieldList list = {
        {"DeviceModel", &T::DeviceModel}, {"Accuracy", &T::Accuracy},       {"Uniformity", &T::Uniformity},
        {"HeatingRate", &T::HeatingRate}, {"CoolingRate", &T::CoolingRate}, {"Overshoot", &T::Overshoot},
        {"SettlingTime", &T::SettlingTime},
    };
    return list;
}

QStringList PerformanceProfileRecord::values() const
{
    QStringList texts;
    for (const auto &f : fields())
        texts << this->*(f.second);
    return texts;
}

PerformanceProfileRecord PerformanceProfileRecord::fromValues(const QStringList &texts)
{
    PerformanceProfileRecord record;
    int i = 0;
    for (const auto &f : fields()) {
        if (i < texts.size())
            record.*(f.second) = texts.at(i);
        ++i;
    }
    return record;
}

namespace Profiles {

const char *const TableName = "PerformanceProfile";
const char *const VerdictTableName = "PerformanceVerdict";

QStringList verdictColumns()
{
    return {QStringLiteral("CalibrationName"), QStringLiteral("Verdict"), QStringLiteral("DeviceModel"),
            QStringLiteral("Time")};
}

namespace {

// The calling thread's connection: an export reads the profile on its worker.
QSqlDatabase connection()
{
    return ThreadConnection::current();
}

QString columns()
{
    QStringList names;
    for (const auto &f : PerformanceProfileRecord::fields())
        names << QString::fromLatin1(f.first);
    return names.join(QStringLiteral(", "));
}

bool run(QSqlQuery &q, const QString &sql, const QVariantList &values)
{
    if (q.prepare(sql)) {
        for (const QVariant &v : values)
            q.addBindValue(v.isNull() ? QVariant(QStringLiteral("")) : v);
        if (q.exec())
            return true;
    }
    qDebug().noquote() << QStringLiteral("性能指标数据库操作失败：") << q.lastError().text() << sql;
    return false;
}

bool select(QList<PerformanceProfileRecord> &list, const QString &where, const QVariantList &values)
{
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!run(q, QStringLiteral("select %1 from %2%3 order by DeviceModel")
                    .arg(columns(), QLatin1String(TableName), where),
             values))
        return false;
    QList<PerformanceProfileRecord> rows;
    const int count = int(PerformanceProfileRecord::fields().size());
    while (q.next()) {
        QStringList texts;
        for (int i = 0; i < count; ++i)
            texts << q.value(i).toString();
        rows << PerformanceProfileRecord::fromValues(texts);
    }
    list.swap(rows);
    return true;
}

} // namespace

bool get(const QString &model, PerformanceProfileRecord *record, bool *found)
{
    *found = false;
    QList<PerformanceProfileRecord> rows;
    if (!select(rows, QStringLiteral(" where DeviceModel = ?"), {model}))
        return false;
    if (!rows.isEmpty()) {
        *record = rows.first();
        *found = true;
    }
    return true;
}

bool getAll(QList<PerformanceProfileRecord> &list)
{
    return select(list, QString(), {});
}

namespace {

// Replaces the row whose first column holds values[0]; one transaction.
bool replaceRow(const char *table, const QStringList &columns, const QStringList &texts)
{
    QSqlDatabase db = connection();
    if (!db.transaction())
        return false;
    QSqlQuery q(db);
    QVariantList values;
    QStringList marks;
    for (const QString &v : texts) {
        values << v;
        marks << QStringLiteral("?");
    }
    const bool ok = run(q, QStringLiteral("delete from %1 where %2 = ?").arg(QLatin1String(table), columns.first()),
                        {texts.first()})
        && run(q, QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(QLatin1String(table), columns.join(QStringLiteral(", ")), marks.join(QLatin1Char(','))),
               values);
    if (ok && db.commit())
        return true;
    db.rollback();
    return false;
}

bool removeRow(const char *table, const QString &column, const QString &key)
{
    QSqlQuery q(connection());
    return run(q, QStringLiteral("delete from %1 where %2 = ?").arg(QLatin1String(table), column), {key});
}

} // namespace

bool save(const PerformanceProfileRecord &record)
{
    QStringList names;
    for (const auto &f : PerformanceProfileRecord::fields())
        names << QString::fromLatin1(f.first);
    if (!replaceRow(TableName, names, record.values()))
        return false;
    qDebug().noquote() << QStringLiteral("保存性能指标：") + record.values().join(QLatin1Char(','));
    return true;
}

bool remove(const QString &model)
{
    if (!removeRow(TableName, QStringLiteral("DeviceModel"), model))
        return false;
    qDebug().noquote() << QStringLiteral("删除性能指标：") + model;
    return true;
}

bool saveVerdict(const QString &calibration, const QString &verdict, const QString &model, const QString &time)
{
    return replaceRow(VerdictTableName, verdictColumns(), {calibration, verdict, model, time});
}

bool verdicts(QHash<QString, QString> &byCalibration)
{
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!run(q, QStringLiteral("select CalibrationName, Verdict from %1").arg(QLatin1String(VerdictTableName)), {}))
        return false;
    QHash<QString, QString> out;
    while (q.next())
        out.insert(q.value(0).toString(), q.value(1).toString());
    byCalibration.swap(out);
    return true;
}

bool removeVerdict(const QString &calibration)
{
    return removeRow(VerdictTableName, QStringLiteral("CalibrationName"), calibration);
}

} // namespace Profiles
