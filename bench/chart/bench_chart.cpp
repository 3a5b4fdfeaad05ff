// Chart benchmark: a 1200 x 700 view, offscreen, 16 probes, a day of samples at 1 s.
//
//   bench_chart              runs every case below, each in its own process (own peak memory)
//   bench_chart CASE [--no-aa] [--repeats N]
//
// Cases:
//   empty    a shown chart with 16 empty series (the memory every case starts from)
//   append   a live run already holding 86,400 points per probe: one 16-value sample appended
//            and painted the way the event loop paints it; the same with a forced repaint of the
//            whole view; and samples past the end of the time axis (every one moves the axis)
//   stored   a stored run of that size shown at once (SetSeries, 16 x ReplaceSeries, SetRange,
//            first paint), then wheel zoom and pan steps on it
//   qtcharts the same data in plain QtCharts line series (no reduction), for comparison

#include "ChartRunData.h"
#include "chart/ChartView.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QElapsedTimer>
#include <QLineSeries>
#include <QProcess>
#include <QValueAxis>
#include <QWheelEvent>

#include <sys/resource.h>

#include <ctime>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <vector>

QT_CHARTS_USE_NAMESPACE

namespace {

const QDateTime Start(QDate(2024, 3, 5), QTime(8, 0, 0));
const QSize ViewSize(1200, 700);

// Counts paint events of a widget, so a measurement can wait for the repaint it caused.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *w) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Runs the event loop until the widget has painted again (at most a few hundred rounds).
bool waitForPaint(PaintCounter &counter)
{
    const int before = counter.count;
    for (int i = 0; i < 500 && counter.count == before; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return counter.count != before;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

struct Stats
{
    double median = 0;
    double worst = 0;
    double mean = 0;
};

Stats stats(std::vector<double> ms)
{
    Stats s;
    if (ms.empty())
        return s;
    std::sort(ms.begin(), ms.end());
    s.median = ms[ms.size() / 2];
    s.worst = ms.back();
    for (double v : ms)
        s.mean += v;
    s.mean /= ms.size();
    return s;
}

// One measurement: wall-clock time, and this (the GUI) thread's processor time. On a machine
// shared with other work the wall clock also counts the waits for a processor.
struct Measured
{
    double wall;
    double processor;
    operator double() const { return wall; }
};

struct Timings
{
    std::vector<double> wall;
    std::vector<double> processor;
    void push_back(const Measured &m)
    {
        wall.push_back(m.wall);
        processor.push_back(m.processor);
    }
};

void report(const char *what, const Timings &t)
{
    const Stats s = stats(t.wall);
    std::printf("  %-52s median %8.3f ms  worst %8.3f ms  (n=%zu)  processor median %7.3f ms\n", what, s.median,
                s.worst, t.wall.size(), stats(t.processor).median);
}

double threadCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

Measured timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = threadCpuMs();
    work();
    return {timer.nsecsElapsed() / 1e6, threadCpuMs() - cpu};
}

void settle(QWidget &w)
{
    w.resize(ViewSize);
    w.show();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

int runAppend(bool antialias, int repeats)
{
    ChartView view;
    view.setCurveAntialiasing(antialias);
    settle(view);
    PaintCounter paints(view.viewport());
    view.StartRun(QTime(23, 59, 59), Start, chartrun::channelList(), QStringLiteral("℃"));

    // Texts of the measured samples are made beforehand; the fill makes its own as it goes.
    const int fill = chartrun::DaySamples - repeats;
    std::vector<QStringList> texts(fill + 2 * repeats + 2);
    for (int k = fill; k < int(texts.size()); ++k)
        texts[k] = chartrun::sampleTexts(k);

    const double fillMs = timeMs([&] {
        for (int k = 0; k < fill; ++k)
            view.AppendSample(chartrun::sampleTexts(k), Start.addSecs(k));
        waitForPaint(paints);
    });
    std::printf("  %-52s %8.1f ms  (%.2f us per sample, with making its texts)\n",
                "fill 86,400 samples without painting between", fillMs, fillMs * 1000 / fill);

    int k = fill;
    Timings eventDriven;
    int missed = 0;
    for (int i = 0; i < repeats / 2; ++i, ++k) {
        eventDriven.push_back(timeMs([&] {
            view.AppendSample(texts[k], Start.addSecs(k));
            if (!waitForPaint(paints))
                ++missed;
        }));
    }
    Timings fullRepaint;
    for (int i = 0; i < repeats / 2; ++i, ++k) {
        fullRepaint.push_back(timeMs([&] {
            view.AppendSample(texts[k], Start.addSecs(k));
            view.viewport()->repaint();
        }));
    }
    std::printf("  (the chart now holds %d points per probe)\n", int(view.seriesPoints(0).size()));
    report("append + repaint by the event loop (dirty strip)", eventDriven);
    report("append + forced repaint of the whole view", fullRepaint);

    // Past the planned end: every sample moves the axis end, so everything is redrawn.
    Timings moving;
    for (int i = 0; i < repeats / 2; ++i, ++k) {
        moving.push_back(timeMs([&] {
            view.AppendSample(texts[k], Start.addSecs(k + 1));
            if (!waitForPaint(paints))
                ++missed;
        }));
    }
    report("append past the axis end (axis moves, full redraw)", moving);
    if (missed)
        std::printf("  warning: %d appends were not followed by a paint\n", missed);
    std::printf("  points per probe at the end: %d\n", int(view.seriesPoints(0).size()));
    std::printf("  %-52s %8.1f MB\n", "peak resident memory", peakMegabytes());
    return 0;
}

int runStored(bool antialias, int repeats)
{
    ChartView view;
    view.setCurveAntialiasing(antialias);
    settle(view);
    PaintCounter paints(view.viewport());

    std::vector<QVector<QPointF>> runs;
    double lo = std::numeric_limits<double>::max();
    double hi = std::numeric_limits<double>::lowest();
    for (int c = 0; c < chartrun::Channels; ++c) {
        runs.push_back(chartrun::seriesPoints(Start, c));
        for (const QPointF &p : runs.back()) {
            lo = std::min(lo, p.y());
            hi = std::max(hi, p.y());
        }
    }

    Timings show;
    for (int r = 0; r < std::max(1, repeats / 20); ++r) {
        show.push_back(timeMs([&] {
            view.SetSeries(QStringLiteral("stored run"), chartrun::channelList(), QStringLiteral("℃"));
            for (int c = 0; c < chartrun::Channels; ++c)
                view.ReplaceSeries(c, runs[c]);
            view.SetRange(lo - 1, hi + 1, Start, Start.addSecs(chartrun::DaySamples - 1));
            waitForPaint(paints);
        }));
    }
    report("show a stored run: SetSeries + 16 ReplaceSeries + paint", show);

    Timings zoom;
    const QRect plot = view.mapFromScene(view.chart()->plotArea()).boundingRect();
    for (int i = 0; i < repeats; ++i) {
        const QPointF at(plot.left() + (i * 37) % plot.width(), plot.top() + (i * 53) % plot.height());
        const int delta = (i / 10) % 2 == 0 ? 120 : -120;
        zoom.push_back(timeMs([&] {
            QWheelEvent wheel(at, view.viewport()->mapToGlobal(at.toPoint()), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(view.viewport(), &wheel);
            waitForPaint(paints);
        }));
    }
    report("wheel zoom step + repaint", zoom);

    Timings pan;
    for (int i = 0; i < repeats; ++i) {
        pan.push_back(timeMs([&] {
            view.valueAxis()->setRange(view.valueAxis()->min() + 0.01, view.valueAxis()->max() + 0.01);
            const QDateTime a = view.timeAxis()->min().addSecs(20);
            const QDateTime b = view.timeAxis()->max().addSecs(20);
            view.timeAxis()->setRange(a, b);
            waitForPaint(paints);
        }));
    }
    report("pan step (both axes move) + repaint", pan);
    std::printf("  %-52s %8.1f MB\n", "peak resident memory", peakMegabytes());
    return 0;
}

int runEmpty()
{
    ChartView view;
    view.StartRun(QTime(23, 59, 59), Start, chartrun::channelList(), QStringLiteral("℃"));
    settle(view);
    std::printf("  %-52s %8.1f MB\n", "peak resident memory, shown chart without points", peakMegabytes());
    return 0;
}

int runQtCharts(int repeats)
{
    QChartView view;
    QChart *chart = view.chart();
    auto *timeAxis = new QDateTimeAxis(chart);
    auto *valueAxis = new QValueAxis(chart);
    chart->addAxis(timeAxis, Qt::AlignBottom);
    chart->addAxis(valueAxis, Qt::AlignLeft);
    timeAxis->setRange(Start, Start.addSecs(chartrun::DaySamples + repeats));
    valueAxis->setRange(40, 115);
    std::vector<QLineSeries *> series;
    for (int c = 0; c < chartrun::Channels; ++c) {
        auto *s = new QLineSeries(chart);
        chart->addSeries(s);
        s->attachAxis(timeAxis);
        s->attachAxis(valueAxis);
        s->setPen(QPen(ChartView::randomColour(), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        series.push_back(s);
    }
    settle(view);
    PaintCounter paints(view.viewport());

    std::vector<QVector<QPointF>> runs;
    for (int c = 0; c < chartrun::Channels; ++c)
        runs.push_back(chartrun::seriesPoints(Start, c));
    const double showMs = timeMs([&] {
        for (int c = 0; c < chartrun::Channels; ++c)
            series[c]->replace(runs[c]);
        waitForPaint(paints);
    });
    std::printf("  %-52s %8.1f ms\n", "show a stored run: 16 QLineSeries::replace + paint", showMs);

    Timings append;
    for (int i = 0; i < repeats; ++i) {
        const int k = chartrun::DaySamples + i;
        append.push_back(timeMs([&] {
            const double t = double(Start.addSecs(k).toMSecsSinceEpoch());
            for (int c = 0; c < chartrun::Channels; ++c)
                series[c]->append(t, chartrun::value(k, c));
            waitForPaint(paints);
        }));
    }
    report("append 16 points + repaint by the event loop", append);
    std::printf("  %-52s %8.1f MB\n", "peak resident memory", peakMegabytes());
    return 0;
}

// The readout under the mouse over a whole day of 16 probes, from the full day down to a few
// minutes: the nearest-curve look-up runs on every mouse move.
int runReadout(int repeats)
{
    ChartView view;
    settle(view);
    view.SetSeries(QStringLiteral("stored run"), chartrun::channelList(), QStringLiteral("℃"));
    for (int c = 0; c < chartrun::Channels; ++c)
        view.ReplaceSeries(c, chartrun::seriesPoints(Start, c));
    view.SetRange(40, 115, Start, Start.addSecs(chartrun::DaySamples - 1));
    settle(view);
    const QRect plot = view.mapFromScene(view.chart()->plotArea()).boundingRect();
    for (const int minutes : {24 * 60, 60, 5}) {
        view.timeAxis()->setRange(Start, Start.addSecs(minutes * 60));
        settle(view);
        Timings readout;
        int hits = 0;
        for (int i = 0; i < repeats; ++i) {
            const QPoint at(plot.left() + (i * 37) % plot.width(), plot.top() + (i * 53) % plot.height());
            readout.push_back(timeMs([&] { hits += view.readoutAt(at).isEmpty() ? 0 : 1; }));
        }
        const QByteArray what = QStringLiteral("readout at the mouse, %1 min shown (%2 hits)")
                                    .arg(minutes).arg(hits).toLatin1();
        report(what.constData(), readout);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool antialias = !args.removeAll(QStringLiteral("--no-aa"));
    int repeats = 300;
    const int r = args.indexOf(QStringLiteral("--repeats"));
    if (r >= 0 && r + 1 < args.size()) {
        repeats = std::max(4, args.at(r + 1).toInt());
        args.erase(args.begin() + r, args.begin() + r + 2);
    }

    if (args.isEmpty()) {
        // Each case in a process of its own, so peak memory belongs to that case alone.
        const QList<QStringList> cases = {{"empty"}, {"append"}, {"append", "--no-aa"}, {"stored"},
                                          {"stored", "--no-aa"}, {"qtcharts", "--repeats", "10"}, {"readout"}};
        for (const QStringList &c : cases) {
            std::printf("%s\n", qPrintable(c.join(QLatin1Char(' '))));
            std::fflush(stdout);
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(app.applicationFilePath(), c);
            child.waitForFinished(-1);
        }
        return 0;
    }
    const QString which = args.first();
    if (which == QLatin1String("append"))
        return runAppend(antialias, repeats);
    if (which == QLatin1String("empty"))
        return runEmpty();
    if (which == QLatin1String("stored"))
        return runStored(antialias, repeats);
    if (which == QLatin1String("qtcharts"))
        return runQtCharts(repeats);
    if (which == QLatin1String("readout"))
        return runReadout(repeats);
    std::fprintf(stderr, "unknown case %s\n", qPrintable(which));
    return 2;
}
