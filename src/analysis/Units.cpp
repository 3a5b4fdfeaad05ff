#include "Units.h"

namespace Analysis {

bool isFahrenheit(const QString &unit)
{
    return unit == QStringLiteral("℉");
}

double displayTemperature(double celsius, const QString &unit)
{
    return isFahrenheit(unit) ? celsius * 9.0 / 5.0 + 32.0 : celsius;
}

double displayDifference(double celsius, const QString &unit)
{
    return isFahrenheit(unit) ? celsius * 9.0 / 5.0 : celsius;
}

UniformityRow displayRow(const UniformityRow &row, const QString &unit)
{
    if (!isFahrenheit(unit) || row.size() < 3)
        return row;
    UniformityRow out = row;
    const int rangeIndex = row.size() - 2;
    for (int i = 0; i < out.size(); ++i)
        out[i] = i == rangeIndex ? displayDifference(row[i], unit) : displayTemperature(row[i], unit);
    return out;
}

QVector<UniformityRow> displayRows(const QVector<UniformityRow> &rows, const QString &unit)
{
    QVector<UniformityRow> out;
    out.reserve(rows.size());
    for (const UniformityRow &row : rows)
        out.append(displayRow(row, unit));
    return out;
}

} // namespace Analysis
