#include "BathSim.h"

#include "Trace.h"

#include <QStringList>
#include <cmath>

namespace pcrsim {

namespace {

// The values each set-up key takes.
const QMap<QString, QStringList> &setupValues()
{
    static const QMap<QString, QStringList> map{{QStringLiteral("lf"), {"on", "off"}},     {QStringLiteral("u"), {"C", "F"}},
                                                {QStringLiteral("sa"), {"n", "y"}},        {QStringLiteral("pc"), {"s", "m"}},
                                                {QStringLiteral("co"), {"au", "ma"}},      {QStringLiteral("hg"), {"auto", "high", "low"}}};
    return map;
}

const QStringList CoefficientKeys{"Rtp", "A", "B", "C", "A4", "B4"};

} // namespace

BathSim::BathSim(BathModel *bath, const SimClock *clock, quint64 seed) : bath(bath), clock(clock)
{
    serial = QStringLiteral("ZV%1").arg(seed % 1000000, 6, 10, QLatin1Char('0'));
    setup = {{QStringLiteral("lf"), QStringLiteral("on")}, {QStringLiteral("u"), QStringLiteral("C")},   {QStringLiteral("sa"), QStringLiteral("n")},
             {QStringLiteral("pc"), QStringLiteral("s")},  {QStringLiteral("co"), QStringLiteral("au")}, {QStringLiteral("hg"), QStringLiteral("auto")}};
}

QString BathSim::temperatureText(double celsius, int decimals) const
{
    const bool fahrenheit = setup.value(QStringLiteral("u")) == QLatin1String("F");
    const double v = fahrenheit ? celsius * 9 / 5 + 32 : celsius;
    return QString::number(v, 'f', decimals) + (fahrenheit ? QStringLiteral(" F") : QStringLiteral(" C"));
}

QStringList BathSim::command(const QString &line)
{
    if (line == QLatin1String("sn"))
        return {QStringLiteral("sn: ") + serial};
    if (line == QLatin1String("r"))
        return {QStringLiteral("r: ") + temperatureText(bath->displayReading(clock->now()), 3)};
    if (line == QLatin1String("s"))
        return {QStringLiteral("set: ") + temperatureText(bath->setPoint(), 2)};

    const int eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return {QStringLiteral("err: unknown command")};
    const QString key = line.left(eq).trimmed();
    const QString value = line.mid(eq + 1).trimmed();
    bool ok = false;
    if (key == QLatin1String("s")) {
        double v = value.toDouble(&ok);
        if (ok && setup.value(QStringLiteral("u")) == QLatin1String("F"))
            v = (v - 32) * 5 / 9;
        // The bath takes set points to the hundredth of a degree.
        v = std::round(v * 100) / 100;
        if (!ok || !bath->setSetPoint(clock->now(), v))
            return {QStringLiteral("err: set point out of range")};
        trace(QStringLiteral("bath set point %1").arg(v, 0, 'f', 2));
        return {QStringLiteral("s: ") + temperatureText(bath->setPoint(), 2)};
    }
    if (CoefficientKeys.contains(key)) {
        const double v = value.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return {QStringLiteral("err: not a number")};
        coefficients.insert(key, v);
        return {key + QStringLiteral(" Save!")};
    }
    if (setupValues().contains(key)) {
        if (!setupValues().value(key).contains(value))
            return {QStringLiteral("err: bad value")};
        setup.insert(key, value);
        return {key + QStringLiteral(": ") + value};
    }
    return {QStringLiteral("err: unknown command")};
}

} // namespace pcrsim
