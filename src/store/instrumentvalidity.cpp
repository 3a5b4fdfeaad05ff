#include "store/instrumentvalidity.h"

#include <QCoreApplication>

namespace InstrumentValidity {

Validity of(const QString &validUntil, const QString &storedState, const QDateTime &now)
{
    if (storedState.trimmed() == QStringLiteral("过期"))
        return Validity::Overdue;
    const QString text = validUntil.trimmed();
    if (text.isEmpty())
        return Validity::NotCalibrated;
    QDateTime until = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (!until.isValid())
        until = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm"));
    return until.isValid() && now < until ? Validity::Valid : Validity::Overdue;
}

bool refused(const QString &number, const QString &name, const QString &validUntil, const QString &storedState,
             const QDateTime &now, QString *message)
{
    const Validity validity = of(validUntil, storedState, now);
    if (validity == Validity::Valid)
        return false;
    if (message) {
        const QString which = QStringLiteral("%1 %2").arg(number, name).trimmed();
        *message = (validity == Validity::Overdue
                        ? QCoreApplication::translate("InstrumentValidity", "测温仪已过有效期，不能用于校准！")
                        : QCoreApplication::translate("InstrumentValidity", "测温仪未校准，不能用于校准！"))
            + QLatin1Char('\n') + which;
    }
    return true;
}

} // namespace InstrumentValidity
