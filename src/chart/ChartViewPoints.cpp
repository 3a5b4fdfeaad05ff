#include "ChartViewPoints.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int FanBits = 4;
constexpr int Fan = 1 << FanBits; // points per block of the first level, blocks per block above

qint64 spanOfLevel(int level)
{
    qint64 span = Fan;
    for (int k = 0; k < level; ++k)
        span *= Fan;
    return span;
}

bool isFinitePoint(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

} // namespace

void ChartViewPoints::clear()
{
    m_points.clear();
    m_levels.clear();
}

void ChartViewPoints::replace(const QVector<QPointF> &points)
{
    m_points.clear();
    m_points.reserve(points.size());
    for (const QPointF &p : points) {
        if (isFinitePoint(p))
            m_points.append(p);
    }
    const auto byTime = [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); };
    if (!std::is_sorted(m_points.cbegin(), m_points.cend(), byTime))
        std::stable_sort(m_points.begin(), m_points.end(), byTime);
    m_levels.clear();
    rebuildFrom(0);
}

int ChartViewPoints::append(const QPointF &point)
{
    if (m_points.isEmpty() || m_points.constLast().x() <= point.x()) {
        m_points.append(point);
        extendLevels();
        return m_points.size() - 1;
    }
    const int at = upperBound(point.x());
    m_points.insert(at, point);
    rebuildFrom(at);
    return at;
}

int ChartViewPoints::lowerBound(double x, int from, int to) const
{
    if (to < 0)
        to = m_points.size();
    const auto it = std::lower_bound(m_points.cbegin() + from, m_points.cbegin() + to, x,
                                     [](const QPointF &p, double v) { return p.x() < v; });
    return int(it - m_points.cbegin());
}

int ChartViewPoints::upperBound(double x, int from, int to) const
{
    if (to < 0)
        to = m_points.size();
    const auto it = std::upper_bound(m_points.cbegin() + from, m_points.cbegin() + to, x,
                                     [](double v, const QPointF &p) { return v < p.x(); });
    return int(it - m_points.cbegin());
}

ChartViewPoints::Block ChartViewPoints::blockOf(int level, int first, int count) const
{
    // `count` entries of the level below `level` (raw points for level 0), starting at `first`.
    Block b{-1, -1};
    for (int i = first; i < first + count; ++i) {
        int lo = i;
        int hi = i;
        if (level > 0) {
            lo = m_levels[level - 1][i].iMin;
            hi = m_levels[level - 1][i].iMax;
        }
        if (b.iMin < 0 || m_points[lo].y() < m_points[b.iMin].y())
            b.iMin = lo;
        if (b.iMax < 0 || m_points[hi].y() > m_points[b.iMax].y())
            b.iMax = hi;
    }
    return b;
}

void ChartViewPoints::extendLevels()
{
    // Called after one point was added at the end: close every block it completes.
    const qint64 n = m_points.size();
    for (int level = 0;; ++level) {
        const qint64 span = spanOfLevel(level);
        if (n % span != 0)
            break;
        if (m_levels.size() <= level)
            m_levels.append(QVector<Block>());
        const int firstBelow = level == 0 ? int(n - span) : int((n - span) / (span / Fan));
        m_levels[level].append(blockOf(level, firstBelow, Fan));
    }
}

void ChartViewPoints::rebuildFrom(int index)
{
    // Blocks that start at or after `index`'s block are recomputed; earlier ones still hold.
    const qint64 n = m_points.size();
    for (int level = 0;; ++level) {
        const qint64 span = spanOfLevel(level);
        const int complete = int(n / span);
        if (complete == 0) {
            m_levels.resize(level);
            break;
        }
        if (m_levels.size() <= level)
            m_levels.append(QVector<Block>());
        QVector<Block> &blocks = m_levels[level];
        const int keep = std::min<int>(blocks.size(), int(index / span));
        blocks.resize(keep);
        blocks.reserve(complete);
        for (int b = keep; b < complete; ++b) {
            const int firstBelow = level == 0 ? int(b * span) : b * Fan;
            blocks.append(blockOf(level, firstBelow, Fan));
        }
    }
}

void ChartViewPoints::minMax(int from, int to, int &iMin, int &iMax) const
{
    iMin = -1;
    iMax = -1;
    from = std::max(from, 0);
    to = std::min(to, m_points.size());
    const int levels = m_levels.size();
    int i = from;
    while (i < to) {
        // The largest stored block that starts at i and ends within the span. Spans are powers
        // of Fan (16): alignment and block index are a mask and a shift, no division.
        int level = -1;
        int shift = 0;
        while (level + 1 < levels) {
            const int next = shift + FanBits;
            const qint64 span = qint64(1) << next;
            if ((i & (span - 1)) != 0 || i + span > to)
                break;
            shift = next;
            ++level;
        }
        int lo = i;
        int hi = i;
        if (level >= 0) {
            const Block &b = m_levels[level][i >> shift];
            lo = b.iMin;
            hi = b.iMax;
        }
        if (iMin < 0 || m_points[lo].y() < m_points[iMin].y())
            iMin = lo;
        if (iMax < 0 || m_points[hi].y() > m_points[iMax].y())
            iMax = hi;
        i += 1 << shift;
    }
}

int ChartViewPoints::lowerBoundNear(double x, int from, int to) const
{
    // Steps of 1, 2, 4, ... from `from`, then a binary search in the last step: a column's
    // first point is found in a few looks at nearby points rather than a search of all of them.
    int lo = from;
    int hi = from;
    for (int step = 1; hi < to && m_points[hi].x() < x; step *= 2) {
        lo = hi + 1;
        hi = from + step;
    }
    return lowerBound(x, lo, std::min(hi, to));
}

void ChartViewPoints::columns(double x0, double x1, double width, QVector<Column> &out) const
{
    out.clear();
    if (!(x1 >= x0) || !(width > 0))
        return;
    const int end = upperBound(x1);
    int i = lowerBound(x0, 0, end);
    const double lastColumn = std::max(0.0, std::ceil((x1 - x0) / width) - 1);
    while (i < end) {
        const int column = int(std::min(lastColumn, std::floor((m_points[i].x() - x0) / width)));
        const int next = column >= lastColumn
                             ? end
                             : std::max(i + 1, lowerBoundNear(x0 + (column + 1) * width, i, end));
        Column c{column, i, next - 1, -1, -1};
        minMax(i, next, c.iMin, c.iMax);
        out.append(c);
        i = next;
    }
}
