#pragma once
// What a chart's legend shows: the names of the entries that are visible and lie wholly inside
// the view, beside (not over) the plot. A problem with an entry is described in *problem.

#include "chart/ChartView.h"

#include <QGraphicsTextItem>
#include <QLegend>
#include <QStringList>

inline QStringList shownLegendEntries(QT_CHARTS_NAMESPACE::QChartView &view, QString *problem)
{
    QStringList shown;
    const QRectF inView = view.mapToScene(view.viewport()->rect()).boundingRect();
    const QRectF plot = view.chart()->plotArea();
    QList<QGraphicsItem *> pending = view.chart()->legend()->childItems();
    while (!pending.isEmpty()) {
        QGraphicsItem *item = pending.takeFirst();
        pending << item->childItems();
        const auto *text = dynamic_cast<QGraphicsTextItem *>(item);
        if (!text || !text->isVisible())
            continue;
        const QRectF at = text->sceneBoundingRect();
        if (!inView.contains(at))
            *problem += text->toPlainText() + QStringLiteral(" is cut off; ");
        else if (plot.intersects(at))
            *problem += text->toPlainText() + QStringLiteral(" lies over the plot; ");
        else
            shown << text->toPlainText();
    }
    return shown;
}
