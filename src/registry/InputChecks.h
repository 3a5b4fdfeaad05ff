#pragma once
// Checks of what is typed into the registry forms: required fields named in the message, numbers
// that are refused rather than trimmed to their digits, dates that cannot lie ahead. Widget-free.

#include <QDateTime>
#include <QString>
#include <QVector>

namespace InputChecks {

struct Field
{
    QString label;   // as the form names it, without its colon
    QString value;
};

// The label of the first field left empty (blanks count as empty); empty when all are filled.
QString firstMissing(const QVector<Field> &fields);
// "请先输入参数！" and, on its own line, which field is missing.
QString missingText(const QString &label);

// A plain decimal number ("12", "-0.5", "1.25"): no letters, units or exponents.
bool isNumber(const QString &text);
// A text that carries a value, possibly with its label and unit ("0.1", "U=0.1℃ (k=2)", "±0.05 ℃").
bool hasNumber(const QString &text);
// A calibration took place: not after now.
bool notInFuture(const QDateTime &time, const QDateTime &now);

} // namespace InputChecks
