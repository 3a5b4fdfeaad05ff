#ifndef CHARTVIEW_H
#define CHARTVIEW_H

#include "ChartScales.h"
#include "ChartViewPoints.h"

#include <QChartView>
#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVector>

QT_CHARTS_BEGIN_NAMESPACE
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;
QT_CHARTS_END_NAMESPACE

class ChartTaggingLine;
class ChartCurveLayer;
class QGraphicsEllipseItem;
class QGraphicsSimpleTextItem;

// The temperature-over-time chart: one curve per channel against a date-time axis, wheel zoom,
// middle-button pan, double click back home, and movable tag lines.
//
// Every point is kept in a ChartViewPoints store; the line series only carry name and pen for
// the legend. Curves are drawn by one layer item from per-pixel-column min/max envelopes into a
// cached image, and a new sample only draws its own short segments into that image, so a
// day-long run of 16 channels stays as quick to extend as a fresh one.
class ChartView : public QT_CHARTS_NAMESPACE::QChartView
{
    Q_OBJECT

public:
    static constexpr int MaxSeries = 300;

    explicit ChartView(QWidget *parent = nullptr);
    ~ChartView() override;

    // unit: the temperature unit text; "℃" gives the Celsius home range, anything else Fahrenheit.
    void StartRun(const QTime &duration, const QDateTime &start, const QString &channels,
                  const QString &unit);
    void AppendSample(const QStringList &values, const QDateTime &time);
    void SetRange(double low, double high, const QDateTime &from, const QDateTime &to);
    void SetSingleSeries(int low, int high, const QDateTime &start, const QString &name);
    void SetSeries(const QString &title, const QString &channels, const QString &unit);
    // points: x milliseconds since the epoch, y value.
    void ReplaceSeries(int index, const QVector<QPointF> &points);
    // The same with the point store built beforehand (on a worker: building it for a day-long
    // run is most of the cost of showing one).
    void ReplaceSeries(int index, ChartViewPoints points);

    void AddHorizontalLine(double value, const QString &name);
    void AddVerticalLine(const QDateTime &time, const QString &name, bool sameColour);
    void ClearHorizontalLines();
    void ClearVerticalLines();
    void RemoveVerticalLine(int index);
    int VerticalLineCount() const;
    bool GetVerticalLine(int index, int &mark, QDateTime &time) const;

    // A colour for a tag line: hue, saturation and lightness from rand(). Curves get colours of
    // a random start hue spread apart (ChartScales::spreadColour), so that 16 can be told apart.
    static QColor randomColour();

    // The temperature unit the value axis names in its title ("温度 (℃)"); StartRun and SetSeries
    // set it too.
    void setUnit(const QString &unit);

    // A click on a legend entry: that curve drawn wide over the others faded; the same click
    // again, or -1, shows all alike.
    void highlightSeries(int index);
    int highlightedSeries() const { return m_highlighted; }

    // The readout of the curve nearest to a viewport position (within 20 px): its name, time
    // and value; empty when no curve is that close. The chart shows it beside the mouse.
    QString readoutAt(const QPoint &viewportPosition) const;
    QGraphicsSimpleTextItem *readoutItem() const { return m_readout; }

    QT_CHARTS_NAMESPACE::QValueAxis *valueAxis() const { return m_valueAxis; }
    QT_CHARTS_NAMESPACE::QDateTimeAxis *timeAxis() const { return m_timeAxis; }
    int seriesCount() const { return m_series.size(); }
    QT_CHARTS_NAMESPACE::QLineSeries *series(int index) const;
    // Every point of a curve as stored (none dropped for drawing).
    const QVector<QPointF> &seriesPoints(int index) const;
    const QList<ChartTaggingLine *> &horizontalLines() const { return m_horizontalLines; }
    const QList<ChartTaggingLine *> &verticalLines() const { return m_verticalLines; }
    QColor tagColour() const { return m_tagColour; }
    double homeLow() const { return m_low; }
    double homeHigh() const { return m_high; }
    QDateTime homeFrom() const { return m_from; }
    QDateTime homeTo() const { return m_to; }

    // Scene position of (milliseconds since the epoch, value) under the current axis ranges,
    // and back. Independent of the series, so tag lines work on an empty chart too.
    QPointF positionOf(double msecs, double value) const;
    QPointF valueAt(const QPointF &scenePosition) const;

    // Anti-aliased curves look smoother; off, a full redraw is cheaper. On by default.
    void setCurveAntialiasing(bool on);
    bool curveAntialiasing() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void removeAllSeries();
    void addSeries(const QString &name, const QColor &colour);
    void updateValueTicks();
    void showReadout(const QPoint &viewportPosition);
    ChartScales::Nearest nearestTo(const QPoint &viewportPosition) const;
    void addSeriesList(const QString &channels);
    void showValueRange(double low, double high);
    void showTimeRange(const QDateTime &from, const QDateTime &to);
    void setHomeValueRange(double low, double high);
    void setHomeTimeRange(const QDateTime &from, const QDateTime &to);
    void applyHomeRanges();
    void zoomAround(const QPointF &anchor, double factor);
    void scrollBy(qreal dx, qreal dy);
    void setTimeRange(double minMsecs, double maxMsecs);
    void fitLegend();

    friend class ChartCurveLayer;

    QColor m_tagColour;
    QList<ChartTaggingLine *> m_horizontalLines;
    QList<ChartTaggingLine *> m_verticalLines;
    bool m_dragging = false;
    bool m_panning = false;
    QPoint m_panOrigin;
    QPoint m_dragOrigin;
    QT_CHARTS_NAMESPACE::QValueAxis *m_valueAxis = nullptr;
    QT_CHARTS_NAMESPACE::QDateTimeAxis *m_timeAxis = nullptr;
    QVector<QT_CHARTS_NAMESPACE::QLineSeries *> m_series; // at most MaxSeries, in channel order
    QVector<ChartViewPoints> m_points;                    // one store per series
    double m_low = 20;
    double m_high = 100;
    QDateTime m_from;
    QDateTime m_to;
    ChartCurveLayer *m_layer = nullptr;
    QFont m_legendFont; // the theme's; the legend shrinks from it only when space is short
    QString m_unit;     // of the value axis, as its title shows it
    int m_highlighted = -1;
    QGraphicsSimpleTextItem *m_readout = nullptr;
    QGraphicsEllipseItem *m_readoutDot = nullptr;
};

#endif // CHARTVIEW_H
