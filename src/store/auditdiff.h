#pragma once
// The changed fields of a modified record as audit text, "field: old → new", passwords masked.

#include <QCoreApplication>
#include <QString>
#include <QVector>

#include <vector>

namespace AuditDiff {

struct Change
{
    QString label;
    QString before;
    QString after;
    bool secret = false;   // shown masked, only as changed
};

// The changes whose values differ, joined; empty when nothing differs.
QString describe(const QVector<Change> &changes);

// The audit sentence followed by the changes, if any.
QString sentence(const QString &head, const QString &changes);

template<class T>
struct Field
{
    QString label;
    QString T::*member;
    bool secret = false;
};

template<class T>
QString between(const T &before, const T &after, const std::vector<Field<T>> &fields)
{
    QVector<Change> changes;
    for (const Field<T> &f : fields)
        changes.push_back(Change{f.label, before.*(f.member), after.*(f.member), f.secret});
    return describe(changes);
}

} // namespace AuditDiff
