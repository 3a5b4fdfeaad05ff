#ifndef CHARTVIEWPOINTS_H
#define CHARTVIEWPOINTS_H

#include <QPointF>
#include <QVector>

// Every point of one curve, kept in time order (x: milliseconds since the epoch, y: value).
// A min/max pyramid over blocks of 16, 256, 4096 ... points answers "lowest and highest point
// of this index span" without visiting every point, so the per-pixel-column envelope of a
// day-long curve costs about the same at any zoom.
class ChartViewPoints
{
public:
    void clear();
    // Takes the points in time order (a stable sort when they are not); non-finite points are
    // left out, they cannot be drawn.
    void replace(const QVector<QPointF> &points);
    // Adds one point and returns its index; a point older than the last one is inserted where
    // its time belongs (after points of equal time).
    int append(const QPointF &point);

    int size() const { return m_points.size(); }
    bool isEmpty() const { return m_points.isEmpty(); }
    const QVector<QPointF> &points() const { return m_points; }
    const QPointF &at(int i) const { return m_points.at(i); }

    // First index whose x is >= x (lowerBound) or > x (upperBound), searched in [from, to).
    int lowerBound(double x, int from = 0, int to = -1) const;
    int upperBound(double x, int from = 0, int to = -1) const;

    // Indices of the lowest and highest point in [from, to); both -1 for an empty span.
    void minMax(int from, int to, int &iMin, int &iMax) const;

    // One pixel column of a drawing: the points [first, last] fall into it, iMin and iMax are
    // the lowest and highest of them.
    struct Column
    {
        int column;
        int first;
        int last;
        int iMin;
        int iMax;
    };
    // Columns of width `width` (in x units) counted from x0, for the points with x in [x0, x1];
    // only columns holding points are listed. Costs a search per column, not a visit per point.
    void columns(double x0, double x1, double width, QVector<Column> &out) const;

private:
    // lowerBound(x, from, to) for an x expected close after `from`.
    int lowerBoundNear(double x, int from, int to) const;

    struct Block
    {
        int iMin;
        int iMax;
    };
    Block blockOf(int level, int first, int count) const;
    void rebuildFrom(int index);
    void extendLevels();

    QVector<QPointF> m_points;
    // m_levels[k][b] covers points [b * span(k), (b + 1) * span(k)) with span(k) = 16^(k + 1);
    // only complete blocks are stored.
    QVector<QVector<Block>> m_levels;
};

#endif // CHARTVIEWPOINTS_H
