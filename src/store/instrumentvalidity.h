#pragma once
// Whether a measuring instrument may be used: its "valid until" date and the state word the
// registry stores. The registry page shows it, the calibration set-up refuses by it.

#include <QDateTime>
#include <QString>

namespace InstrumentValidity {

enum class Validity { Valid, Overdue, NotCalibrated };

// Not calibrated without a date; overdue from that moment on, for an unreadable date, and
// whenever the registry marks it "过期"; valid otherwise. The date is stored "yyyy-MM-dd hh:mm",
// or with seconds.
Validity of(const QString &validUntil, const QString &storedState, const QDateTime &now);

// Whether a calibration may not start with this instrument; *message then names it
// ("测温仪已过有效期，不能用于校准！" or "测温仪未校准，不能用于校准！", then its number and name).
bool refused(const QString &number, const QString &name, const QString &validUntil, const QString &storedState,
             const QDateTime &now, QString *message);

} // namespace InstrumentValidity
