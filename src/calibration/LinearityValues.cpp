#include "calibration/LinearityValues.h"

#include <QRegularExpression>

#include <cmath>

namespace LinearityValues {

bool isValue(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^[-+]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][-+]?\\d{1,3})?$"));
    return number.match(text.trimmed()).hasMatch();
}

QString indicationError(const QString &standard, const QString &measured)
{
    if (!isValue(standard) || !isValue(measured))
        return QString();
    const double s = standard.trimmed().toDouble();
    const double m = measured.trimmed().toDouble();
    if (s == 0 || !std::isfinite(s) || !std::isfinite(m))
        return QString();
    const double error = (m - s) / s * 100.0;
    if (!std::isfinite(error))
        return QString();
    const QString text = QString::number(error, 'f', 2);
    return text == QStringLiteral("-0.00") ? QStringLiteral("0.00") : text;
}

} // namespace LinearityValues
