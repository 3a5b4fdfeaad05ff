#ifndef CHARTSCALES_H
#define CHARTSCALES_H

// Pure helpers of the chart: round tick steps, curve colours that can be told apart, and the
// curve point nearest to the mouse. No widgets.

#include <QColor>
#include <QPointF>
#include <QVector>

class ChartViewPoints;

namespace ChartScales {

// The step of at most maxTicks ticks over span: 1, 2, 2.5 or 5 times a power of ten
// (0.1, 0.2, 0.25, 0.5, 1, 2, 2.5, 5, 10, 20 ...). 1 for a span that is no positive number.
double niceStep(double span, int maxTicks);
// Decimals that show every multiple of step exactly (0.25 -> 2, 5 -> 0).
int decimalsFor(double step);

// Colour of curve `index` of `count`: hues spread evenly around the circle from startHue, with
// neighbouring channels far apart, lightness alternating between two middle levels (never near
// black or white) and full-ish saturation.
QColor spreadColour(int index, int count, int startHue);

// The point of the curves nearest to `at` (x: ms since the epoch, y: value), measured in pixels
// with the given scale, within maxPixels. series is -1 when none is close enough.
struct Nearest
{
    int series = -1;
    int index = -1;
    double pixels = 0;
};
Nearest nearestPoint(const QVector<const ChartViewPoints *> &curves, const QPointF &at, double pixelsPerMs,
                     double pixelsPerValue, double maxPixels);

} // namespace ChartScales

#endif // CHARTSCALES_H
