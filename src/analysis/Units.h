#pragma once

#include "AnalysisTypes.h"

#include <QString>

// The analysis runs on stored ℃ against the ℃ set temperatures of the cycle files; these turn
// its results into the display unit afterwards.
namespace Analysis {

// True for the display unit "℉"; anything else shows ℃ as stored.
bool isFahrenheit(const QString &unit);

// A temperature: v × 9 / 5 + 32 in ℉.
double displayTemperature(double celsius, const QString &unit);

// A difference (range, deviation, uncertainty, rate): v × 9 / 5 in ℉.
double displayDifference(double celsius, const QString &unit);

// A uniformity row: set temperature, means and overall mean as temperatures, range as a difference.
UniformityRow displayRow(const UniformityRow &row, const QString &unit);
QVector<UniformityRow> displayRows(const QVector<UniformityRow> &rows, const QString &unit);

} // namespace Analysis
