// The live temperature chart: range rules, home ranges, tag lines, mouse handling, the point
// store behind the curves and what ends up on screen.

#include "chart/ChartScales.h"
#include "chart/ChartTaggingLine.h"
#include "chart/ChartView.h"
#include "chart/ChartViewPoints.h"
#include "../support/chart_legend.h"

#include <QDateTimeAxis>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QSet>
#include <QLineSeries>
#include <QPainter>
#include <QPicture>
#include <QRandomGenerator>
#include <QValueAxis>
#include <QtTest>

#include <cmath>
#include <memory>

QT_CHARTS_USE_NAMESPACE

namespace {

const QString Celsius = QStringLiteral("℃");
const QString Fahrenheit = QStringLiteral("℉");
const QDateTime Start(QDate(2024, 3, 5), QTime(8, 0, 0));

std::unique_ptr<ChartView> makeView()
{
    auto view = std::make_unique<ChartView>();
    view->resize(1200, 700);
    return view;
}

bool showAndSettle(ChartView &view)
{
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return false;
    QCoreApplication::processEvents();
    return true;
}

// Lets pending layout (a new plot area after axis labels changed width) take place.
void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void sendMouse(ChartView &view, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               const QPoint &pos)
{
    QMouseEvent event(type, pos, view.viewport()->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &event);
}

void sendWheel(ChartView &view, const QPoint &pos, int delta)
{
    QWheelEvent event(pos, view.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &event);
}

QPoint viewportPoint(const ChartView &view, double msecs, double value)
{
    return view.mapFromScene(view.positionOf(msecs, value));
}

double msecs(const QDateTime &t)
{
    return double(t.toMSecsSinceEpoch());
}

int countColour(const QImage &image, const QRect &area, const QColor &colour, int tolerance = 40)
{
    int n = 0;
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green())
                    + std::abs(c.blue() - colour.blue())
                <= tolerance)
                ++n;
        }
    }
    return n;
}

QString channelNames(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QString::number(i);
    return names.join(QLatin1Char(','));
}

} // namespace

class TestChart : public QObject
{
    Q_OBJECT

private slots:
    // The point store behind every curve.
    void pyramidAgreesWithScanning();
    void pointsKeptInTimeOrder();
    void columnsHoldEveryPointOnce();

    // The view's operations.
    void constructionDefaults();
    void appendSampleWidensOnceWithMargin();
    void fahrenheitHomeRange();
    void timeAxisEndFollowsLateSamples();
    void doubleClickAfterZoomRestoresHomeRanges();
    void seriesOperations();
    void atMost300Series();
    void legendShowsSixteenChannelsInSmallCharts();

    // Tag lines.
    void emptyNameLinesStayHidden();
    void verticalLineIndexBounds();
    void sharedColourRule();
    void verticalLabelOnOneLine();
    void tagLinesFollowRangeAndPlotChanges();
    void tagLinesHiddenOffTheAxes();
    void draggingMovesOnlyThePressedLine();

    // Mouse.
    void wheelZoomKeepsPointUnderMouse();
    void middleButtonPans();

    // What is drawn.
    void spikeVisibleInDayLongRun();
    void curvesInScaledAndVectorRenders();
    void appendedSegmentsMatchFullRedraw_data();
    void appendedSegmentsMatchFullRedraw();

    // Scales, colours and the readout.
    void tickSteps_data();
    void tickSteps();
    void sixteenColoursApart();
    void readoutAndHighlight();
};

void TestChart::pyramidAgreesWithScanning()
{
    QRandomGenerator rng(7);
    ChartViewPoints byAppend;
    QVector<QPointF> raw;
    for (int i = 0; i < 5000; ++i) {
        const QPointF p(i * 10.0, rng.bounded(1000.0) - 500.0);
        raw.append(p);
        byAppend.append(p);
    }
    ChartViewPoints byReplace;
    byReplace.replace(raw);

    for (int round = 0; round < 2; ++round) {
        for (int q = 0; q < 400; ++q) {
            const int from = int(rng.bounded(raw.size()));
            const int to = from + int(rng.bounded(raw.size() - from + 1));
            double lo = qInf();
            double hi = -qInf();
            for (int i = from; i < to; ++i) {
                lo = std::min(lo, byAppend.at(i).y());
                hi = std::max(hi, byAppend.at(i).y());
            }
            for (const ChartViewPoints *points : {&byAppend, &byReplace}) {
                int iMin;
                int iMax;
                points->minMax(from, to, iMin, iMax);
                if (from == to) {
                    QCOMPARE(iMin, -1);
                    continue;
                }
                QVERIFY(iMin >= from && iMin < to && iMax >= from && iMax < to);
                QCOMPARE(points->at(iMin).y(), lo);
                QCOMPARE(points->at(iMax).y(), hi);
            }
        }
        // Late points land in the middle; the blocks after them must be rebuilt.
        for (int k = 0; k < 50; ++k) {
            const QPointF late(rng.bounded(50000.0), rng.bounded(2000.0) - 1000.0);
            byAppend.append(late);
            raw.append(late);
        }
        byReplace.replace(raw);
        QCOMPARE(byAppend.points(), byReplace.points());
    }
}

void TestChart::pointsKeptInTimeOrder()
{
    ChartViewPoints points;
    points.replace({{30, 1}, {10, 2}, {20, 3}, {10, 4}, {qQNaN(), 5}, {40, qInf()}});
    // Sorted by time, equal times in their given order, undrawable points left out.
    const QVector<QPointF> expected{{10, 2}, {10, 4}, {20, 3}, {30, 1}};
    QCOMPARE(points.points(), expected);

    QCOMPARE(points.append(QPointF(10, 9)), 2); // after the points of equal time
    QCOMPARE(points.append(QPointF(50, 0)), 5);
    QCOMPARE(points.size(), 6);
    QCOMPARE(points.at(2), QPointF(10, 9));
}

void TestChart::columnsHoldEveryPointOnce()
{
    QRandomGenerator rng(11);
    ChartViewPoints points;
    double t = 0;
    for (int i = 0; i < 20000; ++i) {
        t += rng.bounded(3.0); // uneven spacing, some equal times
        points.append(QPointF(t, std::sin(t / 50) + rng.bounded(0.1)));
    }
    const double x0 = 1234.5;
    const double x1 = 17777.25;
    const double width = (x1 - x0) / 997.3; // a fractional number of columns, as on screen
    QVector<ChartViewPoints::Column> columns;
    points.columns(x0, x1, width, columns);

    int expectedIndex = points.lowerBound(x0);
    int previousColumn = -1;
    for (const ChartViewPoints::Column &c : columns) {
        QCOMPARE(c.first, expectedIndex);
        QVERIFY(c.last >= c.first);
        QVERIFY(c.column > previousColumn);
        QVERIFY(c.column <= 997);
        previousColumn = c.column;
        double lo = qInf();
        double hi = -qInf();
        for (int i = c.first; i <= c.last; ++i) {
            const int column = std::min(997, int(std::floor((points.at(i).x() - x0) / width)));
            QCOMPARE(column, c.column);
            lo = std::min(lo, points.at(i).y());
            hi = std::max(hi, points.at(i).y());
        }
        QCOMPARE(points.at(c.iMin).y(), lo);
        QCOMPARE(points.at(c.iMax).y(), hi);
        expectedIndex = c.last + 1;
    }
    QCOMPARE(expectedIndex, points.upperBound(x1));
}

void TestChart::constructionDefaults()
{
    ChartView view;
    QCOMPARE(view.chart()->title(), QStringLiteral("设备校准"));
    QCOMPARE(view.chart()->margins(), QMargins(10, 10, 10, 10));
    QCOMPARE(view.chart()->legend()->alignment(), Qt::AlignRight);
    QCOMPARE(view.timeAxis()->format(), QStringLiteral("HH:mm:ss"));
    QCOMPARE(view.timeAxis()->min(), QDateTime(QDate(2018, 1, 1), QTime(0, 0)));
    QCOMPARE(view.timeAxis()->max(), QDateTime(QDate(2018, 1, 1), QTime(12, 0)));
    QCOMPARE(view.timeAxis()->labelsAngle(), 90);
    QCOMPARE(view.timeAxis()->tickCount(), 15);
    QCOMPARE(view.timeAxis()->titleText(), QStringLiteral("采集时间"));
    QCOMPARE(view.timeAxis()->alignment(), Qt::AlignBottom);
    QCOMPARE(view.valueAxis()->min(), 20.0);
    QCOMPARE(view.valueAxis()->max(), 100.0);
    QCOMPARE(view.valueAxis()->titleText(), QStringLiteral("温度"));
    QCOMPARE(view.seriesCount(), 0);
    // Ticks on round values: every 10 over 20 … 100.
    QCOMPARE(view.valueAxis()->tickType(), QValueAxis::TicksDynamic);
    QCOMPARE(view.valueAxis()->tickInterval(), 10.0);
    QCOMPARE(view.valueAxis()->labelFormat(), QStringLiteral("%.0f"));
    // The unit comes with the run.
    view.StartRun(QTime(0, 1), Start, QStringLiteral("CH1"), QStringLiteral("℃"));
    QCOMPARE(view.valueAxis()->titleText(), QStringLiteral("温度 (℃)"));
    view.SetSeries(QStringLiteral("t"), QStringLiteral("CH1"), QStringLiteral("℉"));
    QCOMPARE(view.valueAxis()->titleText(), QStringLiteral("温度 (℉)"));
    // A narrower range gets a finer round step.
    view.valueAxis()->setRange(71.95, 73.06);
    QCOMPARE(view.valueAxis()->tickInterval(), 0.2);
    QCOMPARE(view.valueAxis()->labelFormat(), QStringLiteral("%.1f"));
    QCOMPARE(view.valueAxis()->alignment(), Qt::AlignLeft);
    QCOMPARE(view.seriesCount(), 1);
}

void TestChart::appendSampleWidensOnceWithMargin()
{
    ChartView view;
    view.StartRun(QTime(1, 0), Start, QStringLiteral("1,2"), Celsius);
    QCOMPARE(view.seriesCount(), 2);

    view.AppendSample({"25.0", "30.0"}, Start.addSecs(1));
    QCOMPARE(view.valueAxis()->min(), 20.0);
    QCOMPARE(view.valueAxis()->max(), 100.0);

    view.AppendSample({"101.5", "30.0"}, Start.addSecs(2));
    QCOMPARE(view.valueAxis()->min(), 20.0);
    QCOMPARE(view.valueAxis()->max(), 102.5);

    view.AppendSample({"101.5", "30.0"}, Start.addSecs(3));
    QCOMPARE(view.valueAxis()->max(), 102.5);
    QCOMPARE(view.homeHigh(), 102.5);

    // The low end the same way, from the lowest value of the sample.
    view.AppendSample({"19.2", "18.7"}, Start.addSecs(4));
    QCOMPARE(view.valueAxis()->min(), 17.7);
    QCOMPARE(view.valueAxis()->max(), 102.5);

    // A value that is not a number counts as 0.
    view.AppendSample({"bad", "30"}, Start.addSecs(5));
    QCOMPARE(view.valueAxis()->min(), -1.0);
    QCOMPARE(view.seriesPoints(0).last(), QPointF(msecs(Start.addSecs(5)), 0.0));

    // Every value reached its series, none was dropped.
    QCOMPARE(view.seriesPoints(0).size(), 5);
    QCOMPARE(view.seriesPoints(1).size(), 5);
    QCOMPARE(view.seriesPoints(1).at(1), QPointF(msecs(Start.addSecs(2)), 30.0));
}

void TestChart::fahrenheitHomeRange()
{
    ChartView view;
    view.StartRun(QTime(0, 30), Start, QStringLiteral("1"), Fahrenheit);
    QCOMPARE(view.valueAxis()->min(), 68.0);
    QCOMPARE(view.valueAxis()->max(), 212.0);
    view.AppendSample({"98.6"}, Start.addSecs(1));
    QCOMPARE(view.valueAxis()->max(), 212.0);

    view.SetSeries(QStringLiteral("P1"), QStringLiteral("1,2"), Celsius);
    QCOMPARE(view.valueAxis()->min(), 20.0);
    QCOMPARE(view.valueAxis()->max(), 100.0);
    view.SetSeries(QStringLiteral("P1"), QStringLiteral("1,2"), Fahrenheit);
    QCOMPARE(view.valueAxis()->min(), 68.0);
    QCOMPARE(view.valueAxis()->max(), 212.0);
    QCOMPARE(view.homeLow(), 68.0);
    QCOMPARE(view.homeHigh(), 212.0);
}

void TestChart::timeAxisEndFollowsLateSamples()
{
    ChartView view;
    view.StartRun(QTime(0, 10), Start, QStringLiteral("1"), Celsius);
    QCOMPARE(view.timeAxis()->min(), Start);
    QCOMPARE(view.timeAxis()->max(), Start.addSecs(600));

    view.AppendSample({"30"}, Start.addSecs(300));
    view.AppendSample({"30"}, Start.addMSecs(600 * 1000 + 999));
    QCOMPARE(view.timeAxis()->max(), Start.addSecs(600));

    const QDateTime late = Start.addMSecs(601 * 1000);
    view.AppendSample({"30"}, late);
    QCOMPARE(view.timeAxis()->max(), late);
    QCOMPARE(view.timeAxis()->min(), Start);
    QCOMPARE(view.homeTo(), late);

    // A run without a duration: its home range is collapsed, the axis shows one second and
    // then grows with the samples.
    view.StartRun(QTime(), Start, QStringLiteral("1"), Celsius);
    QCOMPARE(view.homeFrom(), Start);
    QCOMPARE(view.homeTo(), Start);
    QCOMPARE(view.timeAxis()->min(), Start);
    QCOMPARE(view.timeAxis()->max(), Start.addSecs(1));
    view.AppendSample({"30"}, Start.addSecs(1));
    QCOMPARE(view.timeAxis()->max(), Start.addSecs(1));
    view.AppendSample({"30"}, Start.addSecs(2));
    QCOMPARE(view.timeAxis()->max(), Start.addSecs(2));
    QCOMPARE(view.homeTo(), Start.addSecs(2));

    // The same for a stored run of a single sample, on both axes.
    view.SetRange(36.6, 36.6, Start, Start);
    QCOMPARE(view.timeAxis()->max(), Start.addSecs(1));
    QCOMPARE(view.valueAxis()->min(), 36.1);
    QCOMPARE(view.valueAxis()->max(), 37.1);
}

void TestChart::doubleClickAfterZoomRestoresHomeRanges()
{
    auto view = makeView();
    QVERIFY(showAndSettle(*view));
    view->StartRun(QTime(2, 0), Start, QStringLiteral("1,2,3"), Celsius);
    view->AppendSample({"25", "101.5", "26"}, Start.addSecs(10));
    settle();

    const QPoint centre = view->mapFromScene(view->chart()->plotArea().center());
    sendWheel(*view, centre + QPoint(80, -40), 360);
    QVERIFY(view->valueAxis()->max() < 102.5);
    QVERIFY(view->timeAxis()->max() < Start.addSecs(7200));
    sendMouse(*view, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, centre);
    sendMouse(*view, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, centre);
    QCOMPARE(view->valueAxis()->min(), 20.0);
    QCOMPARE(view->valueAxis()->max(), 102.5); // widened by the sample, so that is home now
    QCOMPARE(view->timeAxis()->min(), Start);
    QCOMPARE(view->timeAxis()->max(), Start.addSecs(7200));

    // Home is whatever was set last.
    view->SetRange(-5, 45.5, Start.addSecs(60), Start.addSecs(120));
    sendWheel(*view, centre, -240);
    QVERIFY(view->valueAxis()->max() > 45.5);
    sendMouse(*view, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, centre);
    QCOMPARE(view->valueAxis()->min(), -5.0);
    QCOMPARE(view->valueAxis()->max(), 45.5);
    QCOMPARE(view->timeAxis()->min(), Start.addSecs(60));
    QCOMPARE(view->timeAxis()->max(), Start.addSecs(120));

    view->SetSingleSeries(30, 90, Start, QStringLiteral("Ref"));
    sendWheel(*view, centre, 120);
    sendMouse(*view, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, centre);
    QCOMPARE(view->valueAxis()->min(), 25.0);
    QCOMPARE(view->valueAxis()->max(), 95.0);
    QCOMPARE(view->timeAxis()->max(), Start.addSecs(3600));
}

void TestChart::seriesOperations()
{
    ChartView view;
    view.AddHorizontalLine(50, QStringLiteral("50"));
    view.AddVerticalLine(Start, QStringLiteral("A"), false);

    view.SetSingleSeries(30, 90, Start, QStringLiteral("参考"));
    QCOMPARE(view.seriesCount(), 1);
    QCOMPARE(view.series(0)->name(), QStringLiteral("参考"));
    QCOMPARE(view.series(0)->pen().widthF(), 2.0);
    QCOMPARE(view.series(0)->pen().capStyle(), Qt::SquareCap);
    QCOMPARE(view.series(0)->pen().joinStyle(), Qt::BevelJoin);
    QCOMPARE(view.series(0)->attachedAxes().size(), 2);

    // Channels keep their positions, so the values of a sample meet the right series.
    view.SetSeries(QStringLiteral("PCR-7"), QStringLiteral("A1, B2,,C3"), Celsius);
    QCOMPARE(view.chart()->title(), QStringLiteral("PCR-7"));
    QCOMPARE(view.seriesCount(), 4);
    QCOMPARE(view.series(1)->name(), QStringLiteral("B2"));
    QCOMPARE(view.series(3)->name(), QStringLiteral("C3"));
    QCOMPARE(view.chart()->series().size(), 4);

    const QVector<QPointF> points{{msecs(Start.addSecs(2)), 31}, {msecs(Start), 30}};
    view.ReplaceSeries(3, points);
    QCOMPARE(view.seriesPoints(3).size(), 2);
    QCOMPARE(view.seriesPoints(3).first().y(), 30.0); // drawn left to right
    view.ReplaceSeries(4, points);                     // no such series: nothing happens
    view.ReplaceSeries(-1, points);
    QCOMPARE(view.seriesPoints(4).size(), 0);

    // New series, same tag lines.
    QCOMPARE(view.horizontalLines().size(), 1);
    QCOMPARE(view.VerticalLineCount(), 1);
    view.SetSeries(QString(), QString(), Celsius);
    QCOMPARE(view.seriesCount(), 0);
}

void TestChart::legendShowsSixteenChannelsInSmallCharts()
{
    // The chart of the data export page at the main window's default and minimum sizes, and of
    // the calibration page at the minimum.
    for (const QSize size : {QSize(955, 476), QSize(875, 397), QSize(543, 536)}) {
        ChartView view;
        view.resize(size);
        QVERIFY(showAndSettle(view));
        QStringList names;
        for (int i = 1; i <= 16; ++i)
            names << QStringLiteral("CH1%1").arg(i, 2, 10, QLatin1Char('0'));
        view.SetSeries(QStringLiteral("DAY-16"), names.join(','), Celsius);
        settle();
        QString problem;
        QCOMPARE(shownLegendEntries(view, &problem), names);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(QFontInfo(view.chart()->legend()->font()).pixelSize() >= 9);   // still readable
    }
}

void TestChart::atMost300Series()
{
    ChartView view;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("more than 300 channels"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("more than 300 channels"));
    view.StartRun(QTime(1, 0), Start, channelNames(302), Celsius);
    QCOMPARE(view.seriesCount(), ChartView::MaxSeries);
    QStringList values;
    for (int i = 0; i < 302; ++i)
        values << QString::number(30 + i * 0.01);
    view.AppendSample(values, Start.addSecs(1));
    QCOMPARE(view.seriesPoints(299).size(), 1);
    QCOMPARE(view.seriesPoints(299).first().y(), 32.99);
}

void TestChart::emptyNameLinesStayHidden()
{
    auto view = makeView();
    QVERIFY(showAndSettle(*view));
    view->AddHorizontalLine(50, QString());
    QCOMPARE(view->horizontalLines().size(), 1);
    ChartTaggingLine *line = view->horizontalLines().first();
    QVERIFY(!line->lineItem()->isVisible());
    QVERIFY(!line->SetHorizontal(50, QString(), 0));
    view->SetRange(0, 100, Start, Start.addSecs(60));
    settle();
    QVERIFY(!line->lineItem()->isVisible());

    view->AddVerticalLine(Start.addSecs(30), QString(), false);
    QCOMPARE(view->VerticalLineCount(), 1);
    QVERIFY(!view->verticalLines().first()->lineItem()->isVisible());

    // A line without a view is never placed.
    ChartTaggingLine loose(nullptr, Qt::red);
    QVERIFY(!loose.SetVertical(QStringLiteral("开始"), Start, 0));
    QVERIFY(!loose.lineItem()->isVisible());
}

void TestChart::verticalLineIndexBounds()
{
    auto view = makeView();
    int mark = -7;
    QDateTime time;
    QVERIFY(!view->GetVerticalLine(0, mark, time));
    QCOMPARE(mark, -7);

    const int itemsBefore = view->scene()->items().size();
    view->AddVerticalLine(Start.addSecs(10), QStringLiteral("一"), false);
    view->AddVerticalLine(Start.addSecs(20), QStringLiteral("二"), true);
    QCOMPARE(view->scene()->items().size(), itemsBefore + 4); // line and label each

    view->RemoveVerticalLine(2);
    view->RemoveVerticalLine(-1);
    QCOMPARE(view->VerticalLineCount(), 2);
    QVERIFY(!view->GetVerticalLine(2, mark, time));
    QVERIFY(view->GetVerticalLine(1, mark, time));
    QCOMPARE(mark, 1);
    QCOMPARE(time, Start.addSecs(20));

    view->RemoveVerticalLine(0);
    QCOMPARE(view->VerticalLineCount(), 1);
    QCOMPARE(view->scene()->items().size(), itemsBefore + 2);
    QVERIFY(view->GetVerticalLine(0, mark, time));
    QCOMPARE(time, Start.addSecs(20));
    QVERIFY(!view->GetVerticalLine(1, mark, time));

    view->AddHorizontalLine(40, QStringLiteral("40"));
    view->ClearVerticalLines();
    QCOMPARE(view->VerticalLineCount(), 0);
    view->ClearHorizontalLines();
    QCOMPARE(view->horizontalLines().size(), 0);
    QCOMPARE(view->scene()->items().size(), itemsBefore);
}

void TestChart::sharedColourRule()
{
    ChartView view;
    view.AddVerticalLine(Start, QStringLiteral("95开始"), false);
    view.AddVerticalLine(Start.addSecs(60), QStringLiteral("95结束"), true);
    view.AddVerticalLine(Start.addSecs(120), QStringLiteral("60开始"), false);
    view.AddHorizontalLine(60, QStringLiteral("60"));
    const auto colour = [&](int i) { return view.verticalLines().at(i)->lineItem()->pen().color(); };
    QCOMPARE(colour(0), colour(1));
    QVERIFY(colour(2) != colour(1));
    QCOMPARE(view.tagColour(), colour(2));
    QCOMPARE(view.horizontalLines().first()->lineItem()->pen().color(), colour(2));
    QCOMPARE(view.verticalLines().at(0)->mark(), 0);
    QCOMPARE(view.verticalLines().at(1)->mark(), 1);
    QCOMPARE(view.verticalLines().at(0)->lineItem()->pen().widthF(), 2.0);
}

void TestChart::verticalLabelOnOneLine()
{
    ChartView view;
    view.resize(800, 500);
    view.SetRange(20, 100, Start, Start.addSecs(600));
    view.AddVerticalLine(Start.addSecs(300), QStringLiteral("95开始"), false);
    view.AddVerticalLine(Start.addSecs(360), QStringLiteral("95结束"), true);
    view.AddHorizontalLine(50, QStringLiteral("开始"));
    const ChartTaggingLine *opening = view.verticalLines().first();
    const ChartTaggingLine *closing = view.verticalLines().last();
    QCOMPARE(opening->label()->text(), QStringLiteral("95开始"));
    QCOMPARE(opening->name(), QStringLiteral("95开始"));
    QCOMPARE(view.horizontalLines().first()->label()->text(), QStringLiteral("开始"));
    QCOMPARE(opening->label()->font().pixelSize(), 15);
    QVERIFY(opening->label()->flags() & QGraphicsItem::ItemIsMovable);
    // The opening label stands right of its line, the closing one left of its own: both inside
    // the plateau they bound.
    QVERIFY(opening->label()->pos().x() > opening->lineItem()->line().x1());
    QVERIFY(closing->label()->pos().x() + closing->label()->boundingRect().width()
            < closing->lineItem()->line().x1());
}

void TestChart::tickSteps_data()
{
    QTest::addColumn<double>("span");
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("decimals");
    QTest::newRow("20..100") << 80.0 << 10.0 << 0;
    QTest::newRow("odd range") << 1.11 << 0.2 << 1;
    QTest::newRow("68..212") << 144.0 << 20.0 << 0;
    QTest::newRow("quarter") << 1.9 << 0.25 << 2;
    QTest::newRow("wide") << 950.0 << 200.0 << 0;
    QTest::newRow("tiny") << 0.004 << 0.0005 << 4;
    QTest::newRow("nothing") << 0.0 << 1.0 << 0;
}

void TestChart::tickSteps()
{
    QFETCH(double, span);
    QFETCH(double, step);
    QFETCH(int, decimals);
    QCOMPARE(ChartScales::niceStep(span, 9), step);
    QCOMPARE(ChartScales::decimalsFor(step), decimals);
    if (span > 0)
        QVERIFY(span / ChartScales::niceStep(span, 9) <= 8.0 + 1e-9);
}

// Sixteen curves differ in hue by at least 360 / 16 degrees, neighbours by far more, and none
// is near black or white; the start hue changes from run to run.
void TestChart::sixteenColoursApart()
{
    for (const int start : {0, 137, 359}) {
        QVector<QColor> colours;
        for (int i = 0; i < 16; ++i)
            colours << ChartScales::spreadColour(i, 16, start);
        for (int i = 0; i < 16; ++i) {
            QVERIFY(colours[i].lightness() >= 90 && colours[i].lightness() <= 160);
            QVERIFY(colours[i].hslSaturation() >= 180);
            for (int j = i + 1; j < 16; ++j) {
                const int d = std::abs(colours[i].hslHue() - colours[j].hslHue());
                QVERIFY2(std::min(d, 360 - d) >= 22, qPrintable(QString("%1 %2").arg(i).arg(j)));
            }
            if (i > 0) {
                const int d = std::abs(colours[i].hslHue() - colours[i - 1].hslHue());
                QVERIFY(std::min(d, 360 - d) >= 90);
            }
        }
    }
    ChartView view;
    view.SetSeries(QStringLiteral("t"), QStringLiteral("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16"), QStringLiteral("℃"));
    QSet<QRgb> distinct;
    for (int i = 0; i < 16; ++i)
        distinct.insert(view.series(i)->pen().color().rgb());
    QCOMPARE(distinct.size(), 16);
}

// The readout names the curve nearest to the mouse with its time and value; a click on a legend
// entry brings its curve forward and a second one puts it back.
void TestChart::readoutAndHighlight()
{
    ChartView view;
    view.resize(900, 600);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.StartRun(QTime(0, 0, 10), Start, QStringLiteral("CH1,CH2"), QStringLiteral("℃"));
    for (int s = 0; s <= 10; ++s)
        view.AppendSample({QStringLiteral("30"), QStringLiteral("70.126")}, Start.addSecs(s));
    settle();
    const auto viewportOf = [&](int seconds, double value) {
        return view.mapFromScene(view.positionOf(double(Start.addSecs(seconds).toMSecsSinceEpoch()), value));
    };
    QCOMPARE(view.readoutAt(viewportOf(5, 70.2)), QStringLiteral("CH2  %1  70.13 ℃").arg(Start.addSecs(5).toString("HH:mm:ss")));
    QCOMPARE(view.readoutAt(viewportOf(3, 31)), QStringLiteral("CH1  %1  30.00 ℃").arg(Start.addSecs(3).toString("HH:mm:ss")));
    QCOMPARE(view.readoutAt(viewportOf(5, 50)), QString());   // far from both
    sendMouse(view, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, viewportOf(5, 70.2));
    QVERIFY(view.readoutItem()->isVisible());
    QVERIFY(view.readoutItem()->text().startsWith(QStringLiteral("CH2")));

    const auto markers = view.chart()->legend()->markers(view.series(1));
    QCOMPARE(markers.size(), 1);
    emit markers.first()->clicked();
    QCOMPARE(view.highlightedSeries(), 1);
    QCOMPARE(view.series(1)->pen().widthF(), 4.0);
    QVERIFY(view.series(0)->opacity() < 1.0);
    emit markers.first()->clicked();
    QCOMPARE(view.highlightedSeries(), -1);
    QCOMPARE(view.series(0)->opacity(), 1.0);
}

void TestChart::tagLinesFollowRangeAndPlotChanges()
{
    auto view = makeView();
    QVERIFY(showAndSettle(*view));
    view->StartRun(QTime(1, 0), Start, QStringLiteral("1"), Celsius);
    view->AddHorizontalLine(50, QStringLiteral("50℃"));
    const QDateTime mark = Start.addSecs(1800);
    view->AddVerticalLine(mark, QStringLiteral("开始"), false);
    view->AddVerticalLine(mark.addSecs(60), QStringLiteral("结束"), true);
    settle();
    ChartTaggingLine *h = view->horizontalLines().first();
    ChartTaggingLine *v = view->verticalLines().first();
    ChartTaggingLine *closing = view->verticalLines().last();

    const auto check = [&]() {
        const QRectF plot = view->chart()->plotArea();
        // The view's mapping agrees with the chart library's own.
        const QPointF viaChart = view->chart()->mapToPosition(QPointF(msecs(mark), 50), view->series(0));
        const QPointF viaView = view->positionOf(msecs(mark), 50);
        QVERIFY(std::abs(viaChart.x() - viaView.x()) < 0.01 && std::abs(viaChart.y() - viaView.y()) < 0.01);

        QVERIFY(h->lineItem()->isVisible());
        const QLineF hl = h->lineItem()->line();
        QCOMPARE(hl.p1(), view->positionOf(msecs(view->timeAxis()->min()), 50));
        QCOMPARE(hl.p2(), view->positionOf(msecs(view->timeAxis()->max()), 50));
        QVERIFY(std::abs(hl.p1().x() - plot.left()) < 0.01 && std::abs(hl.p2().x() - plot.right()) < 0.01);
        QCOMPARE(h->label()->pos(), hl.p1());

        QVERIFY(v->lineItem()->isVisible());
        const QLineF vl = v->lineItem()->line();
        QCOMPARE(vl.p1(), view->positionOf(msecs(mark), view->valueAxis()->min()));
        QCOMPARE(vl.p2(), view->positionOf(msecs(mark), view->valueAxis()->max()));
        QVERIFY(std::abs(vl.p1().y() - plot.bottom()) < 0.01 && std::abs(vl.p2().y() - plot.top()) < 0.01);
        // A pair's labels stand inside the span it bounds: the opening line's on its right, the
        // closing line's on its left a line lower, so they never cover each other however close the lines come.
        QCOMPARE(v->label()->pos(), QPointF(vl.p2().x() + 4, vl.p2().y()));
        const QLineF cl = closing->lineItem()->line();
        const QRectF closingText = closing->label()->boundingRect();
        QCOMPARE(closing->label()->pos(),
                 QPointF(cl.p2().x() - 4 - closingText.width(), cl.p2().y() + closingText.height()));
    };
    check();

    const QLineF before = v->lineItem()->line();
    view->SetRange(0, 200, Start.addSecs(-1800), Start.addSecs(3600));
    check();
    QVERIFY(v->lineItem()->line().p1().x() > before.p1().x());
    settle();
    check();

    // The time axis alone moves: a sample long past the end.
    const double xBefore = v->lineItem()->line().p1().x();
    view->AppendSample({"40"}, Start.addSecs(9000));
    QCOMPARE(view->timeAxis()->max(), Start.addSecs(9000));
    QVERIFY(v->lineItem()->line().p1().x() < xBefore);
    check();

    // The value axis alone moves.
    view->AppendSample({"250"}, Start.addSecs(9001));
    check();

    // The plot area changes size.
    const QRectF plotBefore = view->chart()->plotArea();
    view->resize(900, 500);
    settle();
    QVERIFY(view->chart()->plotArea() != plotBefore);
    check();
}

void TestChart::tagLinesHiddenOffTheAxes()
{
    auto view = makeView();
    QVERIFY(showAndSettle(*view));
    view->SetRange(20, 100, Start, Start.addSecs(600));
    view->AddHorizontalLine(150, QStringLiteral("150"));
    view->AddHorizontalLine(100, QStringLiteral("100"));
    view->AddVerticalLine(Start.addMSecs(-999), QStringLiteral("早"), false);
    view->AddVerticalLine(Start.addSecs(-1), QStringLiteral("更早"), false);
    view->AddVerticalLine(Start.addMSecs(600 * 1000 + 500), QStringLiteral("晚"), false);
    settle();
    QVERIFY(!view->horizontalLines().at(0)->lineItem()->isVisible()); // above the axis
    QVERIFY(view->horizontalLines().at(1)->lineItem()->isVisible());  // on its end
    QVERIFY(view->verticalLines().at(0)->lineItem()->isVisible());    // within a second
    QVERIFY(!view->verticalLines().at(1)->lineItem()->isVisible());   // a whole second before
    QVERIFY(view->verticalLines().at(2)->lineItem()->isVisible());

    // They come back when the axes reach them.
    view->SetRange(20, 200, Start.addSecs(-60), Start.addSecs(600));
    QVERIFY(view->horizontalLines().at(0)->lineItem()->isVisible());
    QVERIFY(view->verticalLines().at(1)->lineItem()->isVisible());
}

void TestChart::draggingMovesOnlyThePressedLine()
{
    auto view = makeView();
    QVERIFY(showAndSettle(*view));
    view->SetRange(0, 100, Start, Start.addSecs(1000));
    view->AddVerticalLine(Start.addSecs(200), QStringLiteral("开始"), false);
    view->AddVerticalLine(Start.addSecs(600), QStringLiteral("结束"), true);
    view->AddHorizontalLine(30, QStringLiteral("30"));
    settle();
    ChartTaggingLine *start = view->verticalLines().at(0);
    ChartTaggingLine *end = view->verticalLines().at(1);
    ChartTaggingLine *level = view->horizontalLines().at(0);

    // Grab the start line a few pixels beside it, halfway up, and drag it right.
    const QPoint grab = viewportPoint(*view, msecs(Start.addSecs(200)), 50) + QPoint(3, 0);
    const QPoint drop = grab + QPoint(150, 40);
    sendMouse(*view, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, grab);
    QCOMPARE(start->lineItem()->pressed, 1);
    QCOMPARE(end->lineItem()->pressed, 0);
    sendMouse(*view, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grab + QPoint(70, 10));
    sendMouse(*view, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, drop);
    sendMouse(*view, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, drop);
    QCOMPARE(start->lineItem()->pressed, 0);

    const double expected = view->valueAt(view->mapToScene(drop)).x();
    QVERIFY(std::abs(msecs(start->time()) - expected) <= 1);
    QVERIFY(start->time() > Start.addSecs(300));
    QCOMPARE(end->time(), Start.addSecs(600));
    QCOMPARE(level->value(), 30.0);
    int mark;
    QDateTime time;
    QVERIFY(view->GetVerticalLine(0, mark, time));
    QCOMPARE(time, start->time());

    // Moving without a pressed line changes nothing.
    sendMouse(*view, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, drop + QPoint(100, 0));
    QCOMPARE(time, start->time());

    // A horizontal line follows the mouse up and down.
    const QPoint onLevel = viewportPoint(*view, msecs(Start.addSecs(800)), 30) + QPoint(0, 2);
    sendMouse(*view, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, onLevel);
    QCOMPARE(level->lineItem()->pressed, 1);
    sendMouse(*view, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, onLevel - QPoint(0, 100));
    sendMouse(*view, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, onLevel - QPoint(0, 100));
    QVERIFY(std::abs(level->value() - view->valueAt(view->mapToScene(onLevel - QPoint(0, 100))).y()) < 1e-9);
    QVERIFY(level->value() > 40);
}

void TestChart::wheelZoomKeepsPointUnderMouse()
{
    auto view = makeView();
    QVERIFY(showAndSettle(*view));
    view->SetRange(20, 100, Start, Start.addSecs(3600));
    settle();
    const QRectF plot = view->chart()->plotArea();
    const QList<QPointF> spots{plot.topLeft() + QPointF(40, 30), plot.center() + QPointF(300, 150),
                               plot.bottomRight() - QPointF(10, 10)};
    for (const QPointF &spot : spots) {
        for (int delta : {120, -120, 360, -240}) {
            const QPoint mouse = view->mapFromScene(spot);
            const QPointF before = view->valueAt(view->mapToScene(mouse));
            // Axis units per pixel: what the user sees shrink or grow by the zoom factor.
            const auto perPixel = [&] {
                const QRectF plot = view->chart()->plotArea();
                return QPointF((msecs(view->timeAxis()->max()) - msecs(view->timeAxis()->min())) / plot.width(),
                               (view->valueAxis()->max() - view->valueAxis()->min()) / plot.height());
            };
            const QPointF scaleBefore = perPixel();
            sendWheel(*view, mouse, delta);
            // Also once the axes have laid out their new labels, which may move the plot edges.
            settle();
            const QPointF after = view->valueAt(view->mapToScene(mouse));
            const QPointF scale = perPixel();
            const double f = std::pow(0.999, delta);
            QVERIFY2(std::abs(after.x() - before.x()) <= 2, qPrintable(QString::number(after.x() - before.x())));
            QVERIFY2(std::abs(after.y() - before.y()) <= 1e-6,
                     qPrintable(QString::number(after.y() - before.y())));
            QVERIFY(std::abs(scale.x() / scaleBefore.x() - f) < 1e-4);
            QVERIFY(std::abs(scale.y() / scaleBefore.y() - f) < 1e-9);
        }
    }
}

void TestChart::middleButtonPans()
{
    auto view = makeView();
    QVERIFY(showAndSettle(*view));
    view->SetRange(20, 100, Start, Start.addSecs(3600));
    settle();
    const QRectF plot = view->chart()->plotArea();
    const QPoint from = view->mapFromScene(plot.center());
    const QPoint to = from + QPoint(100, 50);
    sendMouse(*view, QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, from);
    QCOMPARE(view->viewport()->cursor().shape(), Qt::ClosedHandCursor);
    sendMouse(*view, QEvent::MouseMove, Qt::NoButton, Qt::MiddleButton, from + QPoint(40, 20));
    sendMouse(*view, QEvent::MouseMove, Qt::NoButton, Qt::MiddleButton, to);
    sendMouse(*view, QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton, to);
    QCOMPARE(view->viewport()->cursor().shape(), Qt::ArrowCursor);

    // The content follows the mouse: right and down shows earlier times and higher values.
    const double dt = -100.0 / plot.width() * 3600 * 1000;
    const double dv = 50.0 / plot.height() * 80;
    QVERIFY(std::abs(msecs(view->timeAxis()->min()) - (msecs(Start) + dt)) <= 2);
    QVERIFY(std::abs(msecs(view->timeAxis()->max()) - (msecs(Start.addSecs(3600)) + dt)) <= 2);
    QVERIFY(std::abs(view->valueAxis()->min() - (20 + dv)) < 1e-9);
    QVERIFY(std::abs(view->valueAxis()->max() - (100 + dv)) < 1e-9);

    // Moving after the release pans no more.
    const QDateTime min = view->timeAxis()->min();
    sendMouse(*view, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, to + QPoint(50, 0));
    QCOMPARE(view->timeAxis()->min(), min);
}

void TestChart::spikeVisibleInDayLongRun()
{
    // One probe jumps for a single sample among 86,400; it must show at full view.
    auto view = makeView();
    QVERIFY(showAndSettle(*view));
    const int samples = 86400;
    const int spike = 43210;
    view->SetSeries(QStringLiteral("day"), QStringLiteral("1,2,3"), Celsius);
    for (int c = 0; c < 3; ++c) {
        QVector<QPointF> points;
        points.reserve(samples);
        for (int k = 0; k < samples; ++k) {
            double v = 40 + 10 * std::sin(k / 900.0) + c;
            if (c == 1 && k == spike)
                v = 95;
            points.append(QPointF(msecs(Start) + k * 1000.0, v));
        }
        view->ReplaceSeries(c, points);
        view->series(c)->setPen(QPen(c == 1 ? QColor(255, 0, 0) : QColor(0, 0, 255), 2));
    }
    view->SetRange(20, 100, Start, Start.addSecs(samples - 1));
    settle();
    QCOMPARE(view->seriesPoints(1).size(), samples);

    const QImage image = view->grab().toImage();
    const QPoint top = view->mapFromScene(view->positionOf(msecs(Start.addSecs(spike)), 94));
    // Red pixels at the top of the spike, well above every other curve.
    QVERIFY(countColour(image, QRect(top - QPoint(3, 3), QSize(7, 7)), Qt::red) > 0);
    QCOMPARE(countColour(image, QRect(top - QPoint(200, 3), QSize(190, 7)), Qt::red), 0);
    // The rest of the curves are there too.
    const QPoint mid = view->mapFromScene(view->positionOf(msecs(Start.addSecs(20000)), 40));
    QVERIFY(countColour(image, QRect(mid.x() - 2, 0, 5, image.height()), Qt::blue) > 0);
}

void TestChart::curvesInScaledAndVectorRenders()
{
    // An exported image at another resolution and a vector target both show the curves.
    auto view = makeView();
    QVERIFY(showAndSettle(*view));
    view->SetSeries(QStringLiteral("run"), QStringLiteral("1"), Celsius);
    QVector<QPointF> points;
    for (int k = 0; k <= 3600; ++k)
        points.append(QPointF(msecs(Start) + k * 1000.0, k < 1800 ? 30 : 90));
    view->ReplaceSeries(0, points);
    view->series(0)->setPen(QPen(QColor(255, 0, 0), 2));
    view->SetRange(20, 100, Start, Start.addSecs(3600));
    settle();

    const QPointF low = view->positionOf(msecs(Start.addSecs(900)), 30);
    const QPointF high = view->positionOf(msecs(Start.addSecs(2700)), 90);
    for (qreal scale : {1.0, 2.0, 6.0}) {
        const QRectF source = view->scene()->sceneRect();
        QImage image((source.size() * scale).toSize(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        view->scene()->render(&painter, QRectF(QPointF(), source.size() * scale), source);
        painter.end();
        for (const QPointF &at : {low, high}) {
            const QPoint p = ((at - source.topLeft()) * scale).toPoint();
            QVERIFY2(countColour(image, QRect(p - QPoint(3, 3), QSize(7, 7)), Qt::red) > 0,
                     qPrintable(QString("scale %1").arg(scale)));
        }
    }
    // A picture records drawing commands, as a printer would get them.
    QPicture picture;
    QPainter recorder(&picture);
    view->scene()->render(&recorder);
    recorder.end();
    QImage replay(view->scene()->sceneRect().size().toSize(), QImage::Format_ARGB32);
    replay.fill(Qt::white);
    QPainter player(&replay);
    player.drawPicture(0, 0, picture);
    player.end();
    QVERIFY(countColour(replay, QRect(low.toPoint() - QPoint(3, 3), QSize(7, 7)), Qt::red) > 0);
}

void TestChart::appendedSegmentsMatchFullRedraw_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("stepMs");
    QTest::addColumn<bool>("antialiased");
    QTest::newRow("sparse, line segments") << 300 << 2000 << true;
    QTest::newRow("dense, column bars") << 12000 << 50 << true;
    QTest::newRow("dense, no anti-aliasing") << 12000 << 50 << false;
}

void TestChart::appendedSegmentsMatchFullRedraw()
{
    QFETCH(int, samples);
    QFETCH(int, stepMs);
    QFETCH(bool, antialiased);
    auto view = makeView();
    view->setCurveAntialiasing(antialiased);
    QVERIFY(showAndSettle(*view));
    view->StartRun(QTime(0, 10), Start, QStringLiteral("1,2,3"), Celsius);
    const QColor colours[3] = {QColor(255, 0, 0), QColor(0, 160, 0), QColor(0, 0, 255)};
    for (int c = 0; c < 3; ++c)
        view->series(c)->setPen(QPen(colours[c], 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    // Keep the value range fixed so the run is drawn piece by piece, not redrawn.
    view->AppendSample({"21", "99", "50"}, Start);
    settle();
    QImage drawn;
    for (int k = 1; k < samples; ++k) {
        const double t = k * stepMs / 1000.0;
        view->AppendSample({QString::number(60 + 30 * std::sin(t / 40)),
                            QString::number(60 + 30 * std::sin(t / 40 + 2) + (k % 7) * 0.3),
                            QString::number(k % 500 == 0 ? 95 : 50 + t / 30)},
                           Start.addMSecs(qint64(k) * stepMs));
        if (k % 97 == 0)
            QCoreApplication::processEvents(); // paints now and then, as a live window does
    }
    settle();
    QCOMPARE(view->timeAxis()->max(), Start.addSecs(600)); // no redraw forced by the axis
    drawn = view->grab().toImage();

    view->setCurveAntialiasing(antialiased); // throws the cached drawing away
    settle();
    const QImage redrawn = view->grab().toImage();
    QCOMPARE(drawn.size(), redrawn.size());

    int curvePixels = 0;
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb a = drawn.pixel(x, y);
            const QRgb b = redrawn.pixel(x, y);
            if (qRed(b) != qGreen(b) || qGreen(b) != qBlue(b))
                ++curvePixels;
            if (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 60)
                ++differing;
        }
    }
    QVERIFY(curvePixels > 2000);
    // Joins drawn twice may shade a few anti-aliased pixels differently; nothing more.
    QVERIFY2(differing <= curvePixels / 100, qPrintable(QString("%1 of %2").arg(differing).arg(curvePixels)));
}

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
