#include "registry/LayoutGrid.h"

#include <QStringList>

#include <algorithm>

namespace LayoutGrid {

namespace {

QString wellText(int index, int columns)
{
    return QStringLiteral("%1:%2").arg(index / columns + 1).arg(index % columns + 1);
}

} // namespace

bool parseCount(const QString &text, int limit, int *count)
{
    bool ok = false;
    const QString trimmed = text.trimmed();
    // Digits only: "2.5", "1e2", "+3" and "-3" are not hole counts.
    for (const QChar ch : trimmed)
        if (!ch.isDigit() || ch.unicode() > 127)
            return false;
    const int value = trimmed.toInt(&ok);
    if (!ok || value < 1 || value > limit)
        return false;
    *count = value;
    return true;
}

Grid compute(int columns, int rows)
{
    Grid g;
    if (columns < 1 || rows < 1)
        return g;
    g.columns = columns;
    g.rows = rows;
    g.pitchY = ((rows / 2) * 100) / rows;
    g.pitchX = ((columns / 2) * 100) / columns;
    g.width = (columns / 2) * 100 + 2 * Margin;
    g.height = (rows / 2) * 100 + 2 * Margin;
    g.frameEnd = QPoint((columns / 2) * 100 + Margin, (rows / 2) * 100 + Margin);
    g.centres.reserve(columns * rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            g.centres.append(QPoint(g.pitchX / 2 + Margin + c * g.pitchX, g.pitchY / 2 + Margin + r * g.pitchY));
    return g;
}

QPoint Grid::columnLabel(int column) const
{
    return QPoint(pitchX / 2 + 42 + (column - 1) * pitchX, 35);
}

QPoint Grid::rowLabel(int row) const
{
    return QPoint(15, pitchY / 2 + 55 + (row - 1) * pitchY);
}

QString Grid::wellName(int index) const
{
    return columns < 1 ? QString() : wellText(index, columns);
}

QString rowName(int row)
{
    QString name;
    for (int n = row; n > 0; n = (n - 1) / 26)
        name.prepend(QChar('A' + (n - 1) % 26));
    return name;
}

QString wellLabel(const QString &point)
{
    const QStringList parts = point.trimmed().split(QLatin1Char(':'));
    bool rowOk = false, columnOk = false;
    const int row = parts.value(0).toInt(&rowOk);
    const int column = parts.value(1).toInt(&columnOk);
    if (parts.size() != 2 || !rowOk || !columnOk || row < 1 || column < 1)
        return QString();
    return rowName(row) + QString::number(column);
}

QVector<ChannelWell> channelWells(const QStringList &channels, const QString &points)
{
    const QStringList wells = points.trimmed().isEmpty() ? QStringList() : points.split(QLatin1Char(','));
    QVector<ChannelWell> out;
    for (int k = 0; k < std::max(channels.size(), wells.size()); ++k)
        out.append({channels.value(k).trimmed(), wellLabel(wells.value(k))});
    return out;
}

QVector<int> wellsNear(const QVector<QPoint> &centres, const QPoint &point, int radius)
{
    QVector<int> hits;
    const qint64 limit = qint64(radius) * radius;
    for (int i = 0; i < centres.size(); ++i) {
        const qint64 dx = centres.at(i).x() - point.x();
        const qint64 dy = centres.at(i).y() - point.y();
        if (dx * dx + dy * dy < limit)
            hits.append(i);
    }
    return hits;
}

QString pointsText(const QVector<bool> &marks, int columns)
{
    if (columns < 1)
        return QString();
    QStringList points;
    for (int i = 0; i < marks.size(); ++i)
        if (marks.at(i))
            points << wellText(i, columns);
    return points.join(QLatin1Char(','));
}

int markedCount(const QVector<bool> &marks)
{
    return int(marks.count(true));
}

} // namespace LayoutGrid
