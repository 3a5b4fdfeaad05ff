#include "reports/RunPicture.h"

#include "analysis/Units.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QLineF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace RunPicture {
namespace {

// Sixteen colours that stay apart on paper, also in grey print (dark and light alternate).
const QColor &curveColour(int probe)
{
    static const QColor colours[] = {
        {31, 119, 180}, {255, 127, 14}, {44, 160, 44},  {214, 39, 40},  {148, 103, 189}, {140, 86, 75},
        {227, 119, 194}, {127, 127, 127}, {188, 189, 34}, {23, 190, 207}, {0, 0, 128},    {128, 0, 0},
        {0, 100, 0},     {255, 0, 255},   {70, 70, 70},   {184, 134, 11}};
    return colours[probe % 16];
}

QString number(double v, double step)
{
    const int decimals = step >= 1.0 ? 0 : std::min(3, int(std::ceil(-std::log10(step))));
    return QString::number(v, 'f', decimals);
}

} // namespace

double tickStep(double low, double high, int count)
{
    const double span = high - low;
    if (!(span > 0.0) || !std::isfinite(span) || count < 1)
        return 1.0;
    const double raw = span / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (raw <= f * magnitude)
            return f * magnitude;
    return 10.0 * magnitude;
}

QImage render(const QVector<RunSample> &samples, const QVector<Window> &windows, const Options &options)
{
    if (samples.isEmpty() || samples.first().values.isEmpty() || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return {};
    const int probes = samples.first().values.size();
    const qint64 t0 = samples.first().time.toMSecsSinceEpoch();
    const qint64 t1 = std::max(samples.last().time.toMSecsSinceEpoch(), t0 + 1000);
    double low = std::numeric_limits<double>::max(), high = std::numeric_limits<double>::lowest();
    for (const RunSample &s : samples)
        for (double v : s.values)
            if (std::isfinite(v)) {
                low = std::min(low, v);
                high = std::max(high, v);
            }
    if (low > high)
        return {};
    low = Analysis::displayTemperature(low, options.unit);
    high = Analysis::displayTemperature(high, options.unit);
    const double yStep = tickStep(low, high, 8);
    low = std::floor(low / yStep) * yStep;
    high = std::ceil(high / yStep) * yStep;
    if (high <= low)
        high = low + yStep;

    QImage image(options.width, options.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(std::max(12, options.height / 34));
    p.setFont(font);
    const QFontMetrics fm(font);
    const int left = fm.horizontalAdvance(QStringLiteral("-000.0")) + fm.height() * 2;
    auto legendName = [&options](int probe) {
        return probe < options.probeLabels.size() && !options.probeLabels.at(probe).isEmpty()
            ? options.probeLabels.at(probe) : QString::number(probe + 1);
    };
    int nameWidth = fm.horizontalAdvance(QStringLiteral("00"));
    for (int probe = 0; probe < probes; ++probe)
        nameWidth = std::max(nameWidth, fm.horizontalAdvance(legendName(probe)));
    const int legendWidth = nameWidth + fm.height() * 3;
    const QRect plot(left, fm.height() * 2, options.width - left - legendWidth - fm.height(),
                     options.height - fm.height() * 5);
    const double minutes = (t1 - t0) / 60000.0;
    auto xOf = [&](qint64 ms) { return plot.left() + (ms - t0) * double(plot.width()) / double(t1 - t0); };
    auto yOf = [&](double v) { return plot.bottom() - (v - low) * plot.height() / (high - low); };

    // Plateau windows under the curves.
    for (const Window &w : windows) {
        const double a = xOf(w.from.toMSecsSinceEpoch()), b = xOf(w.to.toMSecsSinceEpoch());
        const QRectF band(QPointF(std::max<double>(a, plot.left()), plot.top()),
                          QPointF(std::min<double>(b, plot.right()), plot.bottom()));
        if (band.width() <= 0)
            continue;
        p.fillRect(band, QColor(255, 236, 160));
        p.setPen(QPen(QColor(200, 150, 0), 2, Qt::DashLine));
        p.drawLine(QPointF(band.left(), plot.top()), QPointF(band.left(), plot.bottom()));
        p.drawLine(QPointF(band.right(), plot.top()), QPointF(band.right(), plot.bottom()));
        p.setPen(Qt::black);
        p.drawText(QRectF(band.center().x() - 200, plot.top() - fm.height() * 1.5, 400, fm.height() * 1.4),
                   Qt::AlignHCenter | Qt::AlignBottom, w.label);
    }

    // Grid and axes.
    p.setPen(QPen(QColor(210, 210, 210), 1));
    for (double v = low; v <= high + yStep / 2; v += yStep)
        p.drawLine(QPointF(plot.left(), yOf(v)), QPointF(plot.right(), yOf(v)));
    const double xStep = tickStep(0.0, minutes, 10);
    for (double m = 0.0; m <= minutes + xStep / 2; m += xStep)
        p.drawLine(QPointF(xOf(t0 + qint64(m * 60000.0)), plot.top()), QPointF(xOf(t0 + qint64(m * 60000.0)), plot.bottom()));
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(plot);
    for (double v = low; v <= high + yStep / 2; v += yStep)
        p.drawText(QRectF(0, yOf(v) - fm.height(), plot.left() - fm.height() / 2, fm.height() * 2),
                   Qt::AlignRight | Qt::AlignVCenter, number(v, yStep));
    for (double m = 0.0; m <= minutes + xStep / 2; m += xStep)
        p.drawText(QRectF(xOf(t0 + qint64(m * 60000.0)) - 100, plot.bottom() + 4, 200, fm.height() * 1.2),
                   Qt::AlignHCenter | Qt::AlignTop, number(m, xStep));
    p.drawText(QRectF(plot.left(), plot.bottom() + fm.height() * 1.3, plot.width(), fm.height() * 1.5),
               Qt::AlignHCenter | Qt::AlignTop, QCoreApplication::translate("RunPicture", "时间（min），起始 %1").arg(samples.first().time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
    p.save();
    p.translate(fm.height() * 0.2, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2.0, 0, plot.height(), fm.height() * 1.4), Qt::AlignCenter,
               QCoreApplication::translate("RunPicture", "温度（%1）").arg(options.unit));
    p.restore();

    // Curves: per pixel column the smallest and largest value, joined column to column.
    p.setClipRect(plot);
    const int columns = std::max(1, plot.width());
    // Each sample's pixel column, worked out once for all probes (a time stamp's conversion is
    // the dearest step of a long run).
    std::vector<int> columnOf(size_t(samples.size()));
    for (int i = 0; i < samples.size(); ++i)
        columnOf[size_t(i)] = std::clamp(
            int((samples.at(i).time.toMSecsSinceEpoch() - t0) * double(columns) / double(t1 - t0)), 0, columns - 1);
    // Drawn as separate line segments: one long path that doubles back on itself in every
    // column makes the stroker and the rasterizer work for seconds.
    QVector<QLineF> segments;
    for (int probe = 0; probe < probes; ++probe) {
        segments.clear();
        int column = -1;
        double lo = 0, hi = 0, first = 0, last = 0;
        QPointF previous;
        bool started = false;
        auto flush = [&] {
            if (column < 0)
                return;
            const double x = plot.left() + column + 0.5;
            if (started)
                segments.append(QLineF(previous, QPointF(x, yOf(first))));
            if (hi != lo)
                segments.append(QLineF(QPointF(x, yOf(lo)), QPointF(x, yOf(hi))));
            previous = QPointF(x, yOf(last));
            started = true;
        };
        for (int i = 0; i < samples.size(); ++i) {
            const RunSample &s = samples.at(i);
            if (probe >= s.values.size() || !std::isfinite(s.values.at(probe)))
                continue;
            const double v = Analysis::displayTemperature(s.values.at(probe), options.unit);
            const int c = columnOf[size_t(i)];
            if (c != column) {
                flush();
                column = c;
                lo = hi = first = v;
            }
            lo = std::min(lo, v);
            hi = std::max(hi, v);
            last = v;
        }
        flush();
        p.setPen(QPen(curveColour(probe), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLines(segments);
    }
    p.setClipping(false);

    // Legend: probe numbers in their colours.
    const int rowHeight = std::max(fm.height(), plot.height() / std::max(probes, 1));
    for (int probe = 0; probe < probes; ++probe) {
        const int y = plot.top() + probe * std::min(rowHeight, fm.height() + 4);
        p.fillRect(QRect(plot.right() + fm.height() / 2, y + fm.height() / 3, fm.height(), fm.height() / 3),
                   curveColour(probe));
        p.setPen(Qt::black);
        p.drawText(QRect(plot.right() + fm.height() * 2, y, legendWidth, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   legendName(probe));
    }
    p.end();
    return image;
}

QByteArray png(const QVector<RunSample> &samples, const QVector<Window> &windows, const Options &options)
{
    const QImage image = render(samples, windows, options);
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

} // namespace RunPicture
