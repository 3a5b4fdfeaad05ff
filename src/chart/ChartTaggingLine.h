#ifndef CHARTTAGGINGLINE_H
#define CHARTTAGGINGLINE_H

#include <QColor>
#include <QDateTime>
#include <QGraphicsLineItem>
#include <QObject>
#include <QPainterPath>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QtCharts/qchartglobal.h>

class ChartView;
class QGraphicsScene;
class QGraphicsSimpleTextItem;

QT_CHARTS_BEGIN_NAMESPACE
class QDateTimeAxis;
class QValueAxis;
QT_CHARTS_END_NAMESPACE

// The drawn line of a tag line. `pressed` tells the view which line the left button holds.
class MyGraphicsLineItem : public QGraphicsLineItem
{
public:
    using QGraphicsLineItem::QGraphicsLineItem;

    int pressed = 0;

    // A 2 px line is hard to hit with the mouse: it is grabbed within a few pixels of it.
    QPainterPath shape() const override;
    QRectF boundingRect() const override;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
};

// A labelled line across the plot of a ChartView: horizontal at a value or vertical at a time.
// It follows every range and plot-area change of the view and can be dragged with the mouse.
class ChartTaggingLine : public QObject
{
    Q_OBJECT

public:
    ChartTaggingLine(ChartView *view, const QColor &colour, QObject *parent = nullptr);
    ~ChartTaggingLine() override;

    bool SetHorizontal(double value, const QString &name, int mark);
    bool SetVertical(const QString &name, const QDateTime &time, int mark);
    // x, y: a mouse position on the view's viewport.
    void MoveTo(int x, int y);
    void UpdatePosition();

    int mark() const { return m_mark; }
    bool isHorizontal() const { return m_horizontal; }
    double value() const { return m_value; }
    QString name() const { return m_name; }
    QDateTime time() const { return m_time; }
    MyGraphicsLineItem *lineItem() const { return m_line; }
    QGraphicsSimpleTextItem *label() const { return m_label; }

public slots:
    void RangeChangedX(QDateTime min, QDateTime max);
    void RangeChangedY(qreal min, qreal max);
    void plotAreaChanged(QRectF plotArea);

private:
    void connectToView();
    void place();

    int m_mark = 0;
    bool m_horizontal = true;
    double m_value = 0;
    QString m_name;
    QDateTime m_time;
    MyGraphicsLineItem *m_line = nullptr;
    QGraphicsSimpleTextItem *m_label = nullptr;
    QPointer<ChartView> m_view;
    QPointer<QT_CHARTS_NAMESPACE::QValueAxis> m_valueAxis;
    QPointer<QT_CHARTS_NAMESPACE::QDateTimeAxis> m_timeAxis;
    // The items belong to this scene; when it is gone, so are they.
    QPointer<QGraphicsScene> m_scene;
    bool m_inScene = false;
};

#endif // CHARTTAGGINGLINE_H
