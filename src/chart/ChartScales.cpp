#include "ChartScales.h"

#include "ChartViewPoints.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace ChartScales {

double niceStep(double span, int maxTicks)
{
    if (!(span > 0) || !std::isfinite(span))
        return 1.0;
    const int intervals = std::max(1, maxTicks - 1);
    const double raw = span / intervals;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        const double step = m * power;
        // A hair of tolerance, so 80 / 8 gives 10 and not 20.
        if (step >= raw * (1 - 1e-9))
            return step;
    }
    return 10.0 * power;
}

int decimalsFor(double step)
{
    if (!(step > 0) || !std::isfinite(step))
        return 0;
    for (int d = 0; d < 10; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * scaled)
            return d;
    }
    return 10;
}

QColor spreadColour(int index, int count, int startHue)
{
    const int n = std::max(1, count);
    // Step through the n evenly spaced hues about 0.38 of the circle at a time (the golden
    // section), with a step that visits every one of them once.
    int stride = std::max(1, int(std::lround(n * 0.382)));
    while (std::gcd(stride, n) != 1)
        ++stride;
    const int slot = int((qint64(index) * stride) % n);
    const int hue = ((startHue % 360) + 360 + slot * 360 / n) % 360;
    const int lightness = index % 2 == 0 ? 105 : 145;    // of 255: 41 % and 57 %
    const int saturation = index % 3 == 2 ? 200 : 235;
    return QColor::fromHsl(hue, saturation, lightness);
}

Nearest nearestPoint(const QVector<const ChartViewPoints *> &curves, const QPointF &at, double pixelsPerMs,
                     double pixelsPerValue, double maxPixels)
{
    Nearest best;
    best.pixels = maxPixels;
    if (!(pixelsPerMs > 0) || !(pixelsPerValue > 0))
        return Nearest();
    // Only points within maxPixels in time can be near enough.
    const double reach = maxPixels / pixelsPerMs;
    for (int s = 0; s < curves.size(); ++s) {
        const ChartViewPoints *points = curves.at(s);
        if (!points || points->isEmpty())
            continue;
        const int from = points->lowerBound(at.x() - reach);
        const int to = points->upperBound(at.x() + reach, from);
        for (int i = from; i < to; ++i) {
            const QPointF &p = points->at(i);
            const double dx = (p.x() - at.x()) * pixelsPerMs;
            const double dy = (p.y() - at.y()) * pixelsPerValue;
            const double d = std::hypot(dx, dy);
            if (d <= best.pixels) {
                best.series = s;
                best.index = i;
                best.pixels = d;
            }
        }
    }
    return best.series < 0 ? Nearest() : best;
}

} // namespace ChartScales
