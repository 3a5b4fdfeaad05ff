#include "store/profiles.h"

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

namespace {

QSqlDatabase connection()
{
    return QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
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

bool save(const PerformanceProfileRecord &record)
{
    QSqlDatabase db = connection();
    if (!db.transaction())
        return false;
    QSqlQuery q(db);
    QVariantList values;
    QStringList marks;
    for (const QString &v : record.values()) {
        values << v;
        marks << QStringLiteral("?");
    }
    const bool ok = run(q, QStringLiteral("delete from %1 where DeviceModel = ?").arg(QLatin1String(TableName)),
                        {record.DeviceModel})
        && run(q, QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(QLatin1String(TableName), columns(), marks.join(QLatin1Char(','))),
               values);
    if (ok && db.commit()) {
        qDebug().noquote() << QStringLiteral("保存性能指标：") + record.values().join(QLatin1Char(','));
        return true;
    }
    db.rollback();
    return false;
}

bool remove(const QString &model)
{
    QSqlQuery q(connection());
    if (!run(q, QStringLiteral("delete from %1 where DeviceModel = ?").arg(QLatin1String(TableName)), {model}))
        return false;
    qDebug().noquote() << QStringLiteral("删除性能指标：") + model;
    return true;
}

} // namespace Profiles
