#include "ChartTaggingLine.h"

#include "ChartView.h"

#include <QDateTimeAxis>
#include <QFont>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSimpleTextItem>
#include <QPainterPathStroker>
#include <QPen>
#include <QCursor>
#include <QValueAxis>

#include <cmath>

QT_CHARTS_USE_NAMESPACE

namespace {

constexpr qreal GripWidth = 9;
constexpr qreal OpeningLabelGap = 4;

} // namespace

QPainterPath MyGraphicsLineItem::shape() const
{
    QPainterPath path;
    path.moveTo(line().p1());
    path.lineTo(line().p2());
    QPainterPathStroker stroker;
    stroker.setWidth(std::max(GripWidth, pen().widthF()));
    return stroker.createStroke(path);
}

QRectF MyGraphicsLineItem::boundingRect() const
{
    const qreal grow = std::max(GripWidth, pen().widthF()) / 2 + 1;
    return QRectF(line().p1(), line().p2()).normalized().adjusted(-grow, -grow, grow, grow);
}

void MyGraphicsLineItem::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pressed = 1;
    QGraphicsLineItem::mousePressEvent(event);
}

void MyGraphicsLineItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        pressed = 0;
    QGraphicsLineItem::mouseReleaseEvent(event);
}

ChartTaggingLine::ChartTaggingLine(ChartView *view, const QColor &colour, QObject *parent)
    : QObject(parent), m_time(QDateTime::currentDateTime()), m_view(view)
{
    m_line = new MyGraphicsLineItem();
    m_line->setPen(QPen(colour, 2));
    m_line->setLine(QLineF());
    m_line->setVisible(false);
    m_label = new QGraphicsSimpleTextItem(m_line);
    m_label->setFlag(QGraphicsItem::ItemIsMovable);
    m_label->setBrush(colour);
    QFont font(QStringLiteral("Helvetica"));
    font.setPixelSize(15);
    m_label->setFont(font);
    if (view) {
        m_valueAxis = view->valueAxis();
        m_timeAxis = view->timeAxis();
        m_scene = view->scene();
        if (m_scene) {
            m_scene->addItem(m_line);
            m_inScene = true;
        }
    }
}

ChartTaggingLine::~ChartTaggingLine()
{
    // A scene deletes its items when it goes; then there is nothing left to delete here.
    if (!m_inScene || m_scene)
        delete m_line;
}

void ChartTaggingLine::connectToView()
{
    if (m_valueAxis)
        connect(m_valueAxis, &QValueAxis::rangeChanged, this, &ChartTaggingLine::RangeChangedY,
                Qt::UniqueConnection);
    // Also the time axis: otherwise a time-only change (the run growing past the axis end)
    // would leave vertical lines where they were.
    if (m_timeAxis)
        connect(m_timeAxis, &QDateTimeAxis::rangeChanged, this, &ChartTaggingLine::RangeChangedX,
                Qt::UniqueConnection);
    if (m_view && m_view->chart())
        connect(m_view->chart(), &QChart::plotAreaChanged, this, &ChartTaggingLine::plotAreaChanged,
                Qt::UniqueConnection);
}

bool ChartTaggingLine::SetHorizontal(double value, const QString &name, int mark)
{
    if (!m_view || name.isEmpty())
        return false;
    m_horizontal = true;
    m_line->setCursor(Qt::SizeVerCursor);
    m_value = value;
    m_name = name;
    m_mark = mark;
    m_label->setText(name);
    connectToView();
    place();
    return true;
}

bool ChartTaggingLine::SetVertical(const QString &name, const QDateTime &time, int mark)
{
    if (!m_view || name.isEmpty())
        return false;
    m_horizontal = false;
    m_line->setCursor(Qt::SizeHorCursor);
    m_name = name;
    m_time = time;
    m_mark = mark;
    // On one line, beside the line: a label of a letter per line ran down the whole plot.
    m_label->setText(name);
    connectToView();
    place();
    return true;
}

void ChartTaggingLine::MoveTo(int x, int y)
{
    if (!m_view)
        return;
    const QPointF v = m_view->valueAt(m_view->mapToScene(QPoint(x, y)));
    if (m_horizontal)
        m_value = v.y();
    else
        m_time = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(v.x())));
    place();
}

void ChartTaggingLine::UpdatePosition()
{
    // Only a line that was placed has something to follow; an unnamed one stays hidden.
    if (m_name.isEmpty())
        return;
    place();
}

void ChartTaggingLine::place()
{
    if (!m_view || !m_valueAxis || !m_timeAxis)
        return;
    const double timeMin = double(m_timeAxis->min().toMSecsSinceEpoch());
    const double timeMax = double(m_timeAxis->max().toMSecsSinceEpoch());
    if (m_horizontal) {
        if (m_value < m_valueAxis->min() || m_value > m_valueAxis->max()) {
            m_line->setVisible(false);
            return;
        }
        const QPointF left = m_view->positionOf(timeMin, m_value);
        const QPointF right = m_view->positionOf(timeMax, m_value);
        m_label->setPos(left);
        m_line->setLine(QLineF(left, right));
        m_line->setVisible(true);
    } else {
        const double t = double(m_time.toMSecsSinceEpoch());
        if (!m_time.isValid() || timeMin - t >= 1000 || t - timeMax >= 1000) {
            m_line->setVisible(false);
            return;
        }
        const QPointF bottom = m_view->positionOf(t, m_valueAxis->min());
        const QPointF top = m_view->positionOf(t, m_valueAxis->max());
        // Marker pairs bound plateaus: the opening line (mark 0, a new colour) writes its label
        // on its right, the closing one (mark 1) on its left, a line lower. Both labels then
        // stand inside the span they bound, and the end of one plateau never writes over the
        // start of the next, however close the two lines come.
        const QRectF text = m_label->boundingRect();
        if (m_mark == 0)
            m_label->setPos(top.x() + OpeningLabelGap, top.y());
        else
            m_label->setPos(top.x() - OpeningLabelGap - text.width(), top.y() + text.height());
        m_line->setLine(QLineF(bottom, top));
        m_line->setVisible(true);
    }
}

void ChartTaggingLine::RangeChangedX(QDateTime, QDateTime)
{
    UpdatePosition();
}

void ChartTaggingLine::RangeChangedY(qreal, qreal)
{
    UpdatePosition();
}

void ChartTaggingLine::plotAreaChanged(QRectF)
{
    UpdatePosition();
}
