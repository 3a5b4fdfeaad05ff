#include "ChartView.h"

#include "ChartScales.h"
#include "ChartTaggingLine.h"

#include <QDateTimeAxis>
#include <QGraphicsEllipseItem>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QGraphicsLayout>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QValueAxis>
#include <QWheelEvent>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstdlib>

QT_CHARTS_USE_NAMESPACE

namespace {

const QString Celsius = QStringLiteral("℃");

// Zoom stops here: below 10 ms the date-time axis (whole milliseconds) cannot resolve the span,
// beyond a century it leaves the range QDateTime handles comfortably.
constexpr double MinTimeSpan = 10.0;
constexpr double MaxTimeSpan = 100.0 * 366 * 24 * 3600 * 1000;
constexpr double MinValueSpan = 1e-6;
constexpr double MaxValueSpan = 1e9;

// Curves are drawn into a cached image only at screen-like resolutions; printers and large
// renders get vectors (an image that size would cost more than it saves).
constexpr qreal MaxCacheScale = 4.0;
constexpr qreal MaxVectorColumns = 8192;

// Curves with more points than this per pixel column are drawn as per-column bars.
constexpr double BarDensity = 2.0;

// The legend's font shrinks no further than this when entries compete for height.
constexpr int MinLegendPixels = 9;

// Above the plot background, grid and axes of the chart, below its legend.
constexpr qreal CurveLayerZ = 4.5;
// The readout above everything.
constexpr qreal ReadoutZ = 20;
// How close the mouse must come to a curve for its readout.
constexpr double ReadoutPixels = 20;
// Value ticks: at most this many, on round values.
constexpr int ValueTicks = 9;

// Height the legend's entries ask for, stacked in one column. The library keeps its entries as
// layout items in one item group inside the legend; their size hints follow a new font at once,
// while their drawn geometry waits for the next layout.
qreal legendColumnHeight(QLegend *legend)
{
    qreal height = 0;
    for (QGraphicsItem *child : legend->childItems()) {
        if (child->type() != QGraphicsItemGroup::Type)
            continue;
        for (QGraphicsItem *entry : child->childItems())
            if (const auto *item = dynamic_cast<QGraphicsLayoutItem *>(entry))
                height += item->effectiveSizeHint(Qt::PreferredSize).height();
    }
    return height;
}

// Clips segment a-b to r (Liang-Barsky); false when nothing of it lies inside. t0 > 0 or t1 < 1
// tell that the start or the end was cut.
bool clipSegment(const QPointF &a, const QPointF &b, const QRectF &r, double &t0, double &t1)
{
    t0 = 0;
    t1 = 1;
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const auto test = [&](double p, double q) {
        if (p == 0)
            return q >= 0;
        const double t = q / p;
        if (p < 0) {
            if (t > t1)
                return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0)
                return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    return test(-dx, a.x() - r.left()) && test(dx, r.right() - a.x())
           && test(-dy, a.y() - r.top()) && test(dy, r.bottom() - a.y());
}

double toMsecs(const QDateTime &t)
{
    return double(t.toMSecsSinceEpoch());
}

QPointF along(const QPointF &a, const QPointF &b, double t)
{
    return QPointF(a.x() + (b.x() - a.x()) * t, a.y() + (b.y() - a.y()) * t);
}

} // namespace

// Draws every curve of the view into a cached image over the plot area; the chart's own line
// series stay empty. Where a curve has more than two points per pixel column it is drawn as one
// bar per column, from its lowest to its highest point and joined to the column before: the
// pixels a line through every point would cover, for the cost of one rectangle. Sparser curves
// are drawn as line segments. Segments go out as separate lines: the raster engine strokes a
// long polyline with a 2 px pen hundreds of times slower.
class ChartCurveLayer : public QGraphicsItem
{
public:
    explicit ChartCurveLayer(ChartView *view, QGraphicsItem *parent)
        : QGraphicsItem(parent), m_view(view)
    {
        setZValue(CurveLayerZ);
        setFlag(ItemUsesExtendedStyleOption);
        setAcceptedMouseButtons(Qt::NoButton);
    }

    QRectF boundingRect() const override { return m_plot; }

    void setPlotArea(const QRectF &plot)
    {
        if (plot == m_plot)
            return;
        prepareGeometryChange();
        m_plot = plot;
        invalidate();
    }

    void invalidate()
    {
        m_cacheValid = false;
        update();
    }

    bool antialiasing() const { return m_antialiasing; }
    void setAntialiasing(bool on)
    {
        m_antialiasing = on;
        invalidate();
    }

    // The last point of each listed curve was just added at its end: draw only what it adds,
    // exactly what a full redraw would draw for it.
    void drawAppended(const QVector<int> &indices)
    {
        Frame frame;
        if (!m_cacheValid || !currentFrame(frame))
            return invalidate();
        frame.scale = m_cacheFrame.scale;
        if (!(frame == m_cacheFrame) || m_barMode.size() != m_view->m_series.size()
            || m_visible.size() != m_barMode.size())
            return invalidate();
        const QRectF bounds = clipBounds(frame);
        const double lastColumn = lastColumnOf(frame);
        QRectF dirty;
        QPainter painter(&m_cache);
        painter.translate(-frame.plot.topLeft());
        painter.setClipRect(bounds);
        for (int index : indices) {
            const QLineSeries *series = m_view->m_series.at(index);
            const ChartViewPoints &points = m_view->m_points.at(index);
            const int n = points.size();
            if (!series->isVisible() || n == 0)
                continue;
            m_lines.clear();
            m_bars.clear();
            const QPointF &p = points.at(n - 1);
            const double column = columnOf(frame, p.x());
            const qreal width = penWidth(series->pen());
            if (p.x() >= frame.x0 && p.x() <= frame.x1 && !m_barMode.at(index)
                && ++m_visible[index] > BarDensity * frame.plot.width() * frame.scale) {
                // Dense enough now to be drawn as bars: once, everything over.
                painter.end();
                return invalidate();
            }
            if (m_barMode.at(index) && column >= 0 && column <= lastColumn) {
                double lo = p.y();
                double hi = p.y();
                if (n >= 2) {
                    const QPointF &prev = points.at(n - 2);
                    if (columnOf(frame, prev.x()) >= column - 1) {
                        lo = std::min(lo, prev.y());
                        hi = std::max(hi, prev.y());
                    } else {
                        addSegment(frame, bounds, prev, p);
                    }
                }
                addBar(frame, bounds, int(column), lo, hi, width);
            } else if (n >= 2) {
                addSegment(frame, bounds, points.at(n - 2), p);
            }
            dirty |= flush(painter, *series);
        }
        painter.end();
        if (!dirty.isEmpty())
            update(dirty & m_plot);
    }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *) override
    {
        Frame frame;
        if (!currentFrame(frame))
            return;
        const QTransform device = painter->deviceTransform();
        const qreal scale = device.m11();
        const int type = painter->device() ? painter->device()->devType() : 0;
        const bool raster = type == QInternal::Widget || type == QInternal::Image
                            || type == QInternal::Pixmap;
        if (!raster || device.type() > QTransform::TxScale || !qFuzzyCompare(scale, device.m22())
            || scale <= 0 || scale > MaxCacheScale) {
            // Printing, PDF or an odd transform: vectors at the target's resolution.
            const qreal columns = m_plot.width() * std::max(std::abs(device.m11()), std::abs(device.m21()));
            frame.scale = std::clamp(columns, 1.0, qreal(MaxVectorColumns)) / m_plot.width();
            painter->save();
            painter->setClipRect(m_plot, Qt::IntersectClip);
            drawCurves(*painter, frame);
            painter->restore();
            return;
        }
        frame.scale = scale;
        if (!m_cacheValid || !(frame == m_cacheFrame))
            rebuild(frame);
        const QRectF exposed = option->exposedRect & m_plot;
        if (exposed.isEmpty())
            return;
        const QRectF source((exposed.topLeft() - m_plot.topLeft()) * scale, exposed.size() * scale);
        painter->drawImage(exposed, m_cache, source);
    }

private:
    // The axis ranges, the plot rectangle and the device pixels per logical pixel a drawing
    // was made for.
    struct Frame
    {
        double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        QRectF plot;
        qreal scale = 1;
        bool operator==(const Frame &o) const
        {
            return x0 == o.x0 && x1 == o.x1 && y0 == o.y0 && y1 == o.y1 && plot == o.plot
                   && scale == o.scale;
        }
    };

    bool currentFrame(Frame &frame) const
    {
        frame.x0 = toMsecs(m_view->m_timeAxis->min());
        frame.x1 = toMsecs(m_view->m_timeAxis->max());
        frame.y0 = m_view->m_valueAxis->min();
        frame.y1 = m_view->m_valueAxis->max();
        frame.plot = m_plot;
        return frame.x1 > frame.x0 && frame.y1 > frame.y0 && !m_plot.isEmpty();
    }

    static QPointF map(const Frame &f, const QPointF &p)
    {
        return QPointF(f.plot.left() + (p.x() - f.x0) / (f.x1 - f.x0) * f.plot.width(),
                       f.plot.bottom() - (p.y() - f.y0) / (f.y1 - f.y0) * f.plot.height());
    }

    // Width of one pixel column in time units.
    static double columnWidth(const Frame &f) { return (f.x1 - f.x0) / (f.plot.width() * f.scale); }
    static double lastColumnOf(const Frame &f)
    {
        return std::max(0.0, std::ceil(f.plot.width() * f.scale) - 1);
    }
    static double columnOf(const Frame &f, double x)
    {
        const double column = std::floor((x - f.x0) / columnWidth(f));
        return x <= f.x1 ? std::min(column, lastColumnOf(f)) : column;
    }

    static qreal penWidth(const QPen &pen) { return pen.widthF() > 0 ? pen.widthF() : 1.0; }

    // A little beyond the plot, so the pen's width at the edges is drawn and clipped cleanly.
    static QRectF clipBounds(const Frame &f) { return f.plot.adjusted(-8, -8, 8, 8); }

    void addSegment(const Frame &frame, const QRectF &bounds, const QPointF &from, const QPointF &to)
    {
        const QPointF a = map(frame, from);
        const QPointF b = map(frame, to);
        double t0;
        double t1;
        if (clipSegment(a, b, bounds, t0, t1))
            m_lines.append(QLineF(along(a, b, t0), along(a, b, t1)));
    }

    void addBar(const Frame &frame, const QRectF &bounds, int column, double lo, double hi, qreal width)
    {
        const double x = frame.plot.left() + (column + 0.5) / frame.scale;
        const double top = map(frame, QPointF(frame.x0, hi)).y();
        const double bottom = map(frame, QPointF(frame.x0, lo)).y();
        const QRectF bar = QRectF(x - width / 2, top - width / 2, width, bottom - top + width) & bounds;
        if (!bar.isEmpty())
            m_bars.append(bar);
    }

    // Draws the collected lines and bars of one curve; returns the area they touch.
    QRectF flush(QPainter &painter, const QLineSeries &series)
    {
        const QPen pen = series.pen();
        QRectF touched;
        painter.setOpacity(series.opacity());
        if (!m_lines.isEmpty()) {
            painter.setRenderHint(QPainter::Antialiasing, m_antialiasing);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawLines(m_lines);
            const qreal grow = penWidth(pen) + 2;
            for (const QLineF &l : qAsConst(m_lines))
                touched |= QRectF(l.p1(), l.p2()).normalized().adjusted(-grow, -grow, grow, grow);
        }
        if (!m_bars.isEmpty()) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setPen(Qt::NoPen);
            painter.setBrush(pen.brush());
            painter.drawRects(m_bars);
            for (const QRectF &r : qAsConst(m_bars))
                touched |= r.adjusted(-1, -1, 1, 1);
        }
        painter.setOpacity(1);
        m_lines.clear();
        m_bars.clear();
        return touched;
    }

    void rebuild(const Frame &frame)
    {
        const QSize pixels(int(std::ceil(frame.plot.width() * frame.scale)),
                           int(std::ceil(frame.plot.height() * frame.scale)));
        if (m_cache.size() != pixels)
            m_cache = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_cache.setDevicePixelRatio(frame.scale);
        m_cache.fill(Qt::transparent);
        QPainter painter(&m_cache);
        painter.translate(-frame.plot.topLeft());
        painter.setClipRect(clipBounds(frame));
        drawCurves(painter, frame);
        painter.end();
        m_cacheFrame = frame;
        m_cacheValid = true;
    }

    void drawCurves(QPainter &painter, const Frame &frame)
    {
        const QRectF bounds = clipBounds(frame);
        const double columns = frame.plot.width() * frame.scale;
        m_barMode.fill(0, m_view->m_series.size());
        m_visible.fill(0, m_view->m_series.size());
        for (int i = 0; i < m_view->m_series.size(); ++i) {
            const QLineSeries *series = m_view->m_series.at(i);
            const ChartViewPoints &points = m_view->m_points.at(i);
            const int n = points.size();
            const int first = points.lowerBound(frame.x0);
            const int end = points.upperBound(frame.x1, first);
            m_visible[i] = end - first;
            m_barMode[i] = end - first > BarDensity * columns;
            if (!series->isVisible() || n < 1)
                continue;
            if (!m_barMode.at(i)) {
                for (int k = std::max(1, first); k <= std::min(n - 1, end); ++k)
                    addSegment(frame, bounds, points.at(k - 1), points.at(k));
            } else {
                const qreal width = penWidth(series->pen());
                points.columns(frame.x0, frame.x1, columnWidth(frame), m_columns);
                for (const ChartViewPoints::Column &c : qAsConst(m_columns)) {
                    double lo = points.at(c.iMin).y();
                    double hi = points.at(c.iMax).y();
                    if (c.first > 0) {
                        const QPointF &prev = points.at(c.first - 1);
                        if (columnOf(frame, prev.x()) >= c.column - 1) {
                            lo = std::min(lo, prev.y());
                            hi = std::max(hi, prev.y());
                        } else {
                            addSegment(frame, bounds, prev, points.at(c.first));
                        }
                    }
                    addBar(frame, bounds, c.column, lo, hi, width);
                }
                if (end < n && end > 0)
                    addSegment(frame, bounds, points.at(end - 1), points.at(end));
            }
            flush(painter, *series);
        }
    }

    ChartView *m_view;
    QRectF m_plot;
    QImage m_cache;
    Frame m_cacheFrame;
    bool m_cacheValid = false;
    bool m_antialiasing = true;
    QVector<char> m_barMode; // per curve, as the cache was drawn
    QVector<int> m_visible;  // per curve, points within the time range of the cache
    // Scratch buffers, kept to save allocations.
    QVector<QLineF> m_lines;
    QVector<QRectF> m_bars;
    QVector<ChartViewPoints::Column> m_columns;
};

ChartView::ChartView(QWidget *parent) : QChartView(parent)
{
    m_tagColour = randomColour();

    QChart *c = chart();
    c->setTitle(tr("设备校准"));
    c->setMargins(QMargins(10, 10, 10, 10));
    c->legend()->setAlignment(Qt::AlignRight);
    QFont titleFont = c->titleFont();
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    c->setTitleFont(titleFont);

    m_timeAxis = new QDateTimeAxis(c);
    m_timeAxis->setFormat(QStringLiteral("HH:mm:ss"));
    m_from = QDateTime(QDate(2018, 1, 1), QTime(0, 0, 0));
    m_to = QDateTime(QDate(2018, 1, 1), QTime(12, 0, 0));
    m_timeAxis->setRange(m_from, m_to);
    m_timeAxis->setLabelsAngle(90);
    m_timeAxis->setTickCount(15);
    m_timeAxis->setTitleText(tr("采集时间"));
    c->addAxis(m_timeAxis, Qt::AlignBottom);

    m_valueAxis = new QValueAxis(c);
    m_valueAxis->setRange(m_low, m_high);
    m_valueAxis->setTitleText(tr("温度"));
    m_valueAxis->setLabelFormat(QStringLiteral("%.2f"));
    m_valueAxis->setTickCount(ValueTicks);
    c->addAxis(m_valueAxis, Qt::AlignLeft);
    updateValueTicks();

    m_readoutDot = new QGraphicsEllipseItem(-4, -4, 8, 8);
    m_readoutDot->setZValue(ReadoutZ);
    m_readoutDot->setVisible(false);
    m_readoutDot->setAcceptedMouseButtons(Qt::NoButton);
    scene()->addItem(m_readoutDot);
    m_readout = new QGraphicsSimpleTextItem();
    m_readout->setZValue(ReadoutZ);
    m_readout->setVisible(false);
    m_readout->setAcceptedMouseButtons(Qt::NoButton);
    scene()->addItem(m_readout);

    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);

    m_layer = new ChartCurveLayer(this, c);
    m_layer->setPlotArea(c->plotArea());
    m_legendFont = c->legend()->font();
    connect(c, &QChart::plotAreaChanged, this, [this](const QRectF &plot) {
        m_layer->setPlotArea(plot);
        fitLegend();
    });
    connect(m_timeAxis, &QDateTimeAxis::rangeChanged, this, [this] { m_layer->invalidate(); });
    connect(m_valueAxis, &QValueAxis::rangeChanged, this, [this] {
        updateValueTicks();
        m_layer->invalidate();
    });
}

ChartView::~ChartView()
{
    // Tag lines delete their items from the scene, which must still exist.
    qDeleteAll(m_horizontalLines);
    qDeleteAll(m_verticalLines);
    // The chart outlives this part of the view; nothing it emits while it goes may reach the
    // curve layer, which goes with it.
    disconnect(chart(), nullptr, this, nullptr);
    disconnect(m_timeAxis, nullptr, this, nullptr);
    disconnect(m_valueAxis, nullptr, this, nullptr);
    for (QLineSeries *s : qAsConst(m_series))
        disconnect(s, nullptr, this, nullptr);
    for (QLegendMarker *marker : chart()->legend()->markers())
        disconnect(marker, nullptr, this, nullptr);
}

QColor ChartView::randomColour()
{
    const int hue = std::rand() % 360;
    const int saturation = std::rand() % 256;
    const int lightness = std::rand() % 200;
    return QColor::fromHsl(hue, saturation, lightness, 255);
}

QLineSeries *ChartView::series(int index) const
{
    return index >= 0 && index < m_series.size() ? m_series.at(index) : nullptr;
}

const QVector<QPointF> &ChartView::seriesPoints(int index) const
{
    static const QVector<QPointF> none;
    return index >= 0 && index < m_points.size() ? m_points.at(index).points() : none;
}

void ChartView::setCurveAntialiasing(bool on)
{
    m_layer->setAntialiasing(on);
}

bool ChartView::curveAntialiasing() const
{
    return m_layer->antialiasing();
}

// A right-hand legend is one column as high as the chart; entries beyond its end are cut off.
// Sixteen probes on the data export page of a small window need a smaller font, so the font
// shrinks until every entry fits, never below MinLegendPixels. The room does not depend on the
// font, so a second pass after the new layout chooses the same size.
void ChartView::fitLegend()
{
    QLegend *legend = chart()->legend();
    qreal left = 0, top = 0, right = 0, bottom = 0;
    if (legend->layout())
        legend->layout()->getContentsMargins(&left, &top, &right, &bottom);
    const qreal room = legend->geometry().height() - top - bottom;
    if (room <= 0)
        return;
    QFont font = m_legendFont;
    for (int pixels = QFontInfo(m_legendFont).pixelSize(); pixels >= MinLegendPixels; --pixels) {
        font.setPixelSize(pixels);
        if (legend->font() != font)
            legend->setFont(font);
        if (legendColumnHeight(legend) <= room)
            break;
    }
}

void ChartView::updateValueTicks()
{
    // Round values (20, 30 ... or 72.5, 73.0 ...) rather than the range split in eight.
    const double step = ChartScales::niceStep(m_valueAxis->max() - m_valueAxis->min(), ValueTicks);
    m_valueAxis->setTickType(QValueAxis::TicksDynamic);
    m_valueAxis->setTickAnchor(0.0);
    m_valueAxis->setTickInterval(step);
    m_valueAxis->setLabelFormat(QStringLiteral("%.%1f").arg(ChartScales::decimalsFor(step)));
}

void ChartView::setUnit(const QString &unit)
{
    m_unit = unit;
    m_valueAxis->setTitleText(unit.isEmpty() ? tr("温度") : tr("温度") + QStringLiteral(" (") + unit + QLatin1Char(')'));
}

void ChartView::highlightSeries(int index)
{
    m_highlighted = (index == m_highlighted || index < 0 || index >= m_series.size()) ? -1 : index;
    for (int i = 0; i < m_series.size(); ++i) {
        QLineSeries *s = m_series.at(i);
        QPen pen = s->pen();
        pen.setWidthF(i == m_highlighted ? 4 : 2);
        s->setPen(pen);
        s->setOpacity(m_highlighted < 0 || i == m_highlighted ? 1.0 : 0.25);
    }
    // Drawn last, so it lies on top of the others.
    m_layer->invalidate();
}

ChartScales::Nearest ChartView::nearestTo(const QPoint &viewportPosition) const
{
    const QPointF scenePosition = mapToScene(viewportPosition);
    const QRectF plot = chart()->mapRectToScene(chart()->plotArea());
    const double msSpan = toMsecs(m_timeAxis->max()) - toMsecs(m_timeAxis->min());
    const double valueSpan = m_valueAxis->max() - m_valueAxis->min();
    if (!plot.contains(scenePosition) || msSpan <= 0 || valueSpan <= 0)
        return ChartScales::Nearest();
    QVector<const ChartViewPoints *> curves;
    for (int i = 0; i < m_points.size(); ++i)
        curves.append(m_series.at(i)->isVisible() ? &m_points.at(i) : nullptr);
    return ChartScales::nearestPoint(curves, valueAt(scenePosition), plot.width() / msSpan,
                                     plot.height() / valueSpan, ReadoutPixels);
}

QString ChartView::readoutAt(const QPoint &viewportPosition) const
{
    const ChartScales::Nearest near = nearestTo(viewportPosition);
    if (near.series < 0)
        return QString();
    const QPointF &p = m_points.at(near.series).at(near.index);
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(qint64(p.x()));
    const double valueSpan = m_valueAxis->max() - m_valueAxis->min();
    const int decimals = std::max(2, ChartScales::decimalsFor(ChartScales::niceStep(valueSpan, ValueTicks)));
    QString text = m_series.at(near.series)->name() + QStringLiteral("  ") + time.toString(QStringLiteral("HH:mm:ss"))
                   + QStringLiteral("  ") + QString::number(p.y(), 'f', decimals);
    if (!m_unit.isEmpty())
        text += QLatin1Char(' ') + m_unit;
    return text;
}

void ChartView::showReadout(const QPoint &viewportPosition)
{
    const ChartScales::Nearest near = nearestTo(viewportPosition);
    if (near.series < 0) {
        m_readout->setVisible(false);
        m_readoutDot->setVisible(false);
        return;
    }
    // The point itself, marked in its curve's colour, and the text beside the mouse, kept inside
    // the plot.
    const QPointF &p = m_points.at(near.series).at(near.index);
    const QColor colour = m_series.at(near.series)->pen().color();
    m_readoutDot->setPen(QPen(colour.darker(150), 1.5));
    m_readoutDot->setBrush(colour);
    m_readoutDot->setPos(positionOf(p.x(), p.y()));
    m_readoutDot->setVisible(true);
    m_readout->setText(readoutAt(viewportPosition));
    m_readout->setBrush(QColor(30, 30, 30));
    const QRectF box = m_readout->boundingRect();
    const QRectF plot = chart()->mapRectToScene(chart()->plotArea());
    QPointF at = mapToScene(viewportPosition) + QPointF(14, -box.height() - 6);
    at.setX(std::min(at.x(), plot.right() - box.width()));
    at.setY(std::max(at.y(), plot.top()));
    m_readout->setPos(at);
    m_readout->setVisible(true);
}

void ChartView::leaveEvent(QEvent *event)
{
    m_readout->setVisible(false);
    m_readoutDot->setVisible(false);
    QChartView::leaveEvent(event);
}

void ChartView::removeAllSeries()
{
    for (QLegendMarker *marker : chart()->legend()->markers())
        disconnect(marker, nullptr, this, nullptr);
    chart()->removeAllSeries();
    m_series.clear();
    m_points.clear();
    m_highlighted = -1;
    m_readout->setVisible(false);
    m_readoutDot->setVisible(false);
    m_layer->invalidate();
}

void ChartView::addSeries(const QString &name, const QColor &colour)
{
    if (m_series.size() >= MaxSeries) {
        qWarning("ChartView: more than %d channels, \"%s\" is not shown", MaxSeries,
                 qUtf8Printable(name));
        return;
    }
    auto *s = new QLineSeries(this);
    s->setName(name);
    chart()->addSeries(s);
    s->attachAxis(m_timeAxis);
    s->attachAxis(m_valueAxis);
    // After addSeries, which would otherwise give it the theme's colour.
    s->setPen(QPen(colour, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    const int index = m_series.size();
    for (QLegendMarker *marker : chart()->legend()->markers(s))
        connect(marker, &QLegendMarker::clicked, this, [this, index] { highlightSeries(index); });
    connect(s, &QXYSeries::penChanged, this, [this] { m_layer->invalidate(); });
    connect(s, &QAbstractSeries::visibleChanged, this, [this] { m_layer->invalidate(); });
    connect(s, &QAbstractSeries::opacityChanged, this, [this] { m_layer->invalidate(); });
    m_series.append(s);
    m_points.append(ChartViewPoints());
}

void ChartView::addSeriesList(const QString &channels)
{
    if (channels.trimmed().isEmpty())
        return;
    // Empty names keep their place: values arrive by channel position. Colours differ from run
    // to run but are spread apart within one.
    const QStringList names = channels.split(QLatin1Char(','));
    const int startHue = std::rand() % 360;
    for (int i = 0; i < names.size(); ++i)
        addSeries(names.at(i).trimmed(), ChartScales::spreadColour(i, names.size(), startHue));
}

void ChartView::showValueRange(double low, double high)
{
    // An axis of no span maps nothing; a collapsed range is shown around its value.
    if (high > low)
        m_valueAxis->setRange(low, high);
    else
        m_valueAxis->setRange(low - 0.5, low + 0.5);
}

void ChartView::showTimeRange(const QDateTime &from, const QDateTime &to)
{
    // Likewise for a run without a duration: one second wide until its samples widen it.
    m_timeAxis->setRange(from, to > from ? to : from.addSecs(1));
}

void ChartView::setHomeValueRange(double low, double high)
{
    if (low > high)
        std::swap(low, high);
    m_low = low;
    m_high = high;
    showValueRange(m_low, m_high);
}

void ChartView::setHomeTimeRange(const QDateTime &from, const QDateTime &to)
{
    if (!from.isValid() || !to.isValid())
        return;
    m_from = std::min(from, to);
    m_to = std::max(from, to);
    showTimeRange(m_from, m_to);
}

void ChartView::applyHomeRanges()
{
    showTimeRange(m_from, m_to);
    showValueRange(m_low, m_high);
}

void ChartView::StartRun(const QTime &duration, const QDateTime &start, const QString &channels,
                         const QString &unit)
{
    if (unit == Celsius)
        setHomeValueRange(20, 100);
    else
        setHomeValueRange(68, 212);
    setUnit(unit);
    const int seconds = duration.isValid() ? QTime(0, 0).secsTo(duration) : 0;
    setHomeTimeRange(start, start.addSecs(seconds));
    removeAllSeries();
    addSeriesList(channels);
}

void ChartView::AppendSample(const QStringList &values, const QDateTime &time)
{
    if (!time.isValid()) {
        qWarning("ChartView: sample without a valid time ignored");
        return;
    }
    const double at = toMsecs(time);
    const int count = std::min(values.size(), m_series.size());
    double lo = m_low;
    double hi = m_high;
    QVector<int> atEnd;
    atEnd.reserve(count);
    bool inserted = false;
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        double v = values.at(i).toDouble(&ok);
        if (!ok || !std::isfinite(v))
            v = 0;
        ChartViewPoints &points = m_points[i];
        if (points.append(QPointF(at, v)) == points.size() - 1)
            atEnd.append(i);
        else
            inserted = true;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }

    if (m_timeAxis->max().msecsTo(time) >= 1000) {
        m_to = time;
        m_timeAxis->setMax(time);
    }
    if (lo != m_low || hi != m_high) {
        if (lo != m_low)
            m_low = lo - 1;
        if (hi != m_high)
            m_high = hi + 1;
        showValueRange(m_low, m_high);
    }

    if (inserted)
        m_layer->invalidate();
    else
        m_layer->drawAppended(atEnd);
}

void ChartView::SetRange(double low, double high, const QDateTime &from, const QDateTime &to)
{
    setHomeValueRange(low, high);
    setHomeTimeRange(from, to);
    for (ChartTaggingLine *line : qAsConst(m_horizontalLines))
        line->UpdatePosition();
    for (ChartTaggingLine *line : qAsConst(m_verticalLines))
        line->UpdatePosition();
}

void ChartView::SetSingleSeries(int low, int high, const QDateTime &start, const QString &name)
{
    setHomeValueRange(double(low) - 5, double(high) + 5);
    setHomeTimeRange(start, start.addSecs(3600));
    removeAllSeries();
    addSeries(name, ChartScales::spreadColour(0, 1, std::rand() % 360));
}

void ChartView::SetSeries(const QString &title, const QString &channels, const QString &unit)
{
    if (unit == Celsius)
        setHomeValueRange(20, 100);
    else
        setHomeValueRange(68, 212);
    setUnit(unit);
    removeAllSeries();
    chart()->setTitle(title);
    addSeriesList(channels);
}

void ChartView::ReplaceSeries(int index, const QVector<QPointF> &points)
{
    if (index < 0 || index >= m_series.size()) {
        qWarning("ChartView: no series %d to replace", index);
        return;
    }
    m_points[index].replace(points);
    m_layer->invalidate();
}

void ChartView::ReplaceSeries(int index, ChartViewPoints points)
{
    if (index < 0 || index >= m_series.size()) {
        qWarning("ChartView: no series %d to replace", index);
        return;
    }
    m_points[index] = std::move(points);
    m_layer->invalidate();
}

void ChartView::AddHorizontalLine(double value, const QString &name)
{
    auto *line = new ChartTaggingLine(this, m_tagColour);
    line->SetHorizontal(value, name, 0);
    m_horizontalLines.append(line);
}

void ChartView::AddVerticalLine(const QDateTime &time, const QString &name, bool sameColour)
{
    if (!sameColour)
        m_tagColour = randomColour();
    auto *line = new ChartTaggingLine(this, m_tagColour);
    line->SetVertical(name, time, sameColour ? 1 : 0);
    m_verticalLines.append(line);
}

void ChartView::ClearHorizontalLines()
{
    qDeleteAll(m_horizontalLines);
    m_horizontalLines.clear();
}

void ChartView::ClearVerticalLines()
{
    qDeleteAll(m_verticalLines);
    m_verticalLines.clear();
}

void ChartView::RemoveVerticalLine(int index)
{
    if (index < 0 || index >= m_verticalLines.size())
        return;
    delete m_verticalLines.takeAt(index);
}

int ChartView::VerticalLineCount() const
{
    return m_verticalLines.size();
}

bool ChartView::GetVerticalLine(int index, int &mark, QDateTime &time) const
{
    if (index < 0 || index >= m_verticalLines.size())
        return false;
    const ChartTaggingLine *line = m_verticalLines.at(index);
    mark = line->mark();
    time = line->time();
    return true;
}

QPointF ChartView::positionOf(double msecs, double value) const
{
    const QRectF plot = chart()->plotArea();
    const double x0 = toMsecs(m_timeAxis->min());
    const double x1 = toMsecs(m_timeAxis->max());
    const double y0 = m_valueAxis->min();
    const double y1 = m_valueAxis->max();
    // A collapsed axis (a run of no duration before its first sample) maps to its start.
    const double fx = x1 > x0 ? (msecs - x0) / (x1 - x0) : 0.0;
    const double fy = y1 > y0 ? (value - y0) / (y1 - y0) : 0.0;
    return chart()->mapToScene(QPointF(plot.left() + fx * plot.width(), plot.bottom() - fy * plot.height()));
}

QPointF ChartView::valueAt(const QPointF &scenePosition) const
{
    const QRectF plot = chart()->plotArea();
    const QPointF p = chart()->mapFromScene(scenePosition);
    const double x0 = toMsecs(m_timeAxis->min());
    const double x1 = toMsecs(m_timeAxis->max());
    const double y0 = m_valueAxis->min();
    const double y1 = m_valueAxis->max();
    const double fx = plot.width() > 0 ? (p.x() - plot.left()) / plot.width() : 0.0;
    const double fy = plot.height() > 0 ? (plot.bottom() - p.y()) / plot.height() : 0.0;
    return QPointF(x0 + fx * (x1 - x0), y0 + fy * (y1 - y0));
}

void ChartView::setTimeRange(double minMsecs, double maxMsecs)
{
    m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(qint64(std::llround(minMsecs))),
                         QDateTime::fromMSecsSinceEpoch(qint64(std::llround(maxMsecs))));
}

void ChartView::zoomAround(const QPointF &anchor, double factor)
{
    // The plot rectangle scaled by `factor` about the anchor becomes the whole plot: the value
    // under the anchor stays there and the axis units per pixel are multiplied by `factor`.
    const QPointF fixed = valueAt(anchor);
    const QRectF plot = chart()->mapRectToScene(chart()->plotArea());
    if (plot.width() <= 0 || plot.height() <= 0)
        return;
    const double perPixelX = (toMsecs(m_timeAxis->max()) - toMsecs(m_timeAxis->min())) / plot.width() * factor;
    const double perPixelY = (m_valueAxis->max() - m_valueAxis->min()) / plot.height() * factor;
    const double xSpan = perPixelX * plot.width();
    const double ySpan = perPixelY * plot.height();
    if (!std::isfinite(xSpan) || !std::isfinite(ySpan) || xSpan < MinTimeSpan || xSpan > MaxTimeSpan
        || ySpan < MinValueSpan || ySpan > MaxValueSpan)
        return;
    // New axis labels may be wider or narrower and move the plot edges at once; then the
    // ranges are fitted again to the new plot so the anchor still holds.
    QRectF area = plot;
    for (int round = 0; round < 3; ++round) {
        const double x0 = fixed.x() - (anchor.x() - area.left()) * perPixelX;
        const double y1 = fixed.y() + (anchor.y() - area.top()) * perPixelY;
        setTimeRange(x0, x0 + area.width() * perPixelX);
        m_valueAxis->setRange(y1 - area.height() * perPixelY, y1);
        const QRectF now = chart()->mapRectToScene(chart()->plotArea());
        if (now == area || now.width() <= 0 || now.height() <= 0)
            break;
        area = now;
    }
}

void ChartView::scrollBy(qreal dx, qreal dy)
{
    const QRectF plot = chart()->plotArea();
    if (plot.width() <= 0 || plot.height() <= 0)
        return;
    const double x0 = toMsecs(m_timeAxis->min());
    const double x1 = toMsecs(m_timeAxis->max());
    const double shiftX = dx / plot.width() * (x1 - x0);
    const double shiftY = dy / plot.height() * (m_valueAxis->max() - m_valueAxis->min());
    if (shiftX != 0)
        setTimeRange(x0 + shiftX, x1 + shiftX);
    if (shiftY != 0)
        m_valueAxis->setRange(m_valueAxis->min() + shiftY, m_valueAxis->max() + shiftY);
}

void ChartView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton) {
        m_panning = true;
        m_panOrigin = event->pos();
        viewport()->setCursor(Qt::ClosedHandCursor);
    } else if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragOrigin = event->pos();
    }
    QChartView::mousePressEvent(event);
}

void ChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton) {
        m_panning = false;
        viewport()->setCursor(Qt::ArrowCursor);
    } else if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        for (ChartTaggingLine *line : qAsConst(m_horizontalLines))
            line->lineItem()->pressed = 0;
        for (ChartTaggingLine *line : qAsConst(m_verticalLines))
            line->lineItem()->pressed = 0;
        m_dragOrigin = event->pos();
    }
    QChartView::mouseReleaseEvent(event);
}

void ChartView::mouseDoubleClickEvent(QMouseEvent *event)
{
    applyHomeRanges();
    QChartView::mouseDoubleClickEvent(event);
}

void ChartView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->pos();
    if (m_panning) {
        scrollBy(m_panOrigin.x() - pos.x(), pos.y() - m_panOrigin.y());
        m_panOrigin = pos;
    }
    if (m_dragging) {
        for (ChartTaggingLine *line : qAsConst(m_horizontalLines)) {
            if (line->lineItem()->pressed)
                line->MoveTo(pos.x(), pos.y());
        }
        for (ChartTaggingLine *line : qAsConst(m_verticalLines)) {
            if (line->lineItem()->pressed)
                line->MoveTo(pos.x(), pos.y());
        }
        m_dragOrigin = pos;
    }
    if (m_panning || m_dragging) {
        m_readout->setVisible(false);
        m_readoutDot->setVisible(false);
    } else {
        showReadout(pos);
    }
    QChartView::mouseMoveEvent(event);
}

void ChartView::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta != 0) {
        // Zooming into the plot rectangle scaled by f and centred on p + f (c - p), c the
        // plot's centre, keeps the point p under the mouse where it is.
        zoomAround(mapToScene(event->position().toPoint()), std::pow(0.999, delta));
    }
    QChartView::wheelEvent(event);
    event->accept();
}
