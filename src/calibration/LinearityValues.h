#pragma once
// The rules of the sample-linearity entry: what a cell may hold and the indication error worked
// out from a sample's standard and measured values. Widget-free.

#include <QString>

namespace LinearityValues {

// A value as the engineer reads it off: a decimal number, also in exponent form ("1.2E6").
bool isValue(const QString &text);

// The relative indication error in % of a sample, (measured − standard) / standard × 100, with
// two decimals; empty while either is not a value or the standard is 0.
QString indicationError(const QString &standard, const QString &measured);

} // namespace LinearityValues
