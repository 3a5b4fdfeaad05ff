#pragma once
// Prepares a statement, binds every value in order and runs it; a failure is logged with its SQL.

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

namespace BoundQuery {

inline bool exec(QSqlQuery &q, const QString &sql, const QVariantList &values)
{
    if (!q.prepare(sql)) {
        qDebug().noquote() << "SQL:" << q.lastError().text() << sql;
        return false;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        qDebug().noquote() << "SQL:" << q.lastError().text() << sql;
        return false;
    }
    return true;
}

} // namespace BoundQuery
