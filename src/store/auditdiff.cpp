#include "store/auditdiff.h"

namespace AuditDiff {
namespace {

QString shown(const QString &value)
{
    // An emptied field must read as emptied, not as a missing word.
    return value.isEmpty() ? QCoreApplication::translate("AuditDiff", "（空）") : value;
}

} // namespace

QString describe(const QVector<Change> &changes)
{
    QStringList parts;
    for (const Change &c : changes) {
        if (c.before == c.after)
            continue;
        const QString masked = QStringLiteral("******");
        parts << QCoreApplication::translate("AuditDiff", "%1：%2 → %3")
                     .arg(c.label, c.secret ? masked : shown(c.before), c.secret ? masked : shown(c.after));
    }
    return parts.join(QCoreApplication::translate("AuditDiff", "；"));
}

QString sentence(const QString &head, const QString &changes)
{
    if (changes.isEmpty())
        return head;
    return QCoreApplication::translate("AuditDiff", "%1（%2）").arg(head, changes);
}

} // namespace AuditDiff
