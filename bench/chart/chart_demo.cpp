// Shows the chart with a day-long 16-probe run and tag lines, for looking at it on a screen.
//   chart_demo [--samples N] [--stored] [--live] [--save FILE.png]
// --stored fills the curves the way the data export page does (ReplaceSeries, SetRange);
// otherwise they are appended sample by sample as during a run. --live keeps appending one
// sample every 300 ms. --save grabs the window into an image and quits.

#include "ChartRunData.h"
#include "chart/ChartView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <QValueAxis>

#include <algorithm>
#include <limits>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption samplesOption("samples", "Samples per probe.", "N",
                                           QString::number(chartrun::DaySamples));
    const QCommandLineOption storedOption("stored", "Show a stored run (ReplaceSeries).");
    const QCommandLineOption liveOption("live", "Keep appending a sample every 300 ms.");
    const QCommandLineOption saveOption("save", "Grab the chart into FILE and quit.", "FILE");
    parser.addOptions({samplesOption, storedOption, liveOption, saveOption});
    parser.process(app);
    const int samples = std::max(2, parser.value(samplesOption).toInt());

    const QDateTime start(QDate(2024, 3, 5), QTime(8, 0, 0));
    ChartView view;
    view.resize(1200, 700);
    view.setWindowTitle(QStringLiteral("ChartView"));

    if (parser.isSet(storedOption)) {
        view.SetSeries(QStringLiteral("PCR-2024-031"), chartrun::channelList(), QStringLiteral("℃"));
        double lo = std::numeric_limits<double>::max();
        double hi = std::numeric_limits<double>::lowest();
        for (int c = 0; c < chartrun::Channels; ++c) {
            const QVector<QPointF> points = chartrun::seriesPoints(start, c, samples);
            for (const QPointF &p : points) {
                lo = std::min(lo, p.y());
                hi = std::max(hi, p.y());
            }
            view.ReplaceSeries(c, points);
        }
        view.SetRange(lo - 1, hi + 1, start, start.addSecs(samples - 1));
    } else {
        view.StartRun(QTime(23, 59, 59), start, chartrun::channelList(), QStringLiteral("℃"));
        for (int k = 0; k < samples; ++k)
            view.AppendSample(chartrun::sampleTexts(k), start.addSecs(k));
    }

    // Two pairs of time markers (each pair one colour) and two value markers.
    const int pairs[2][2] = {{2 * 3600, 5 * 3600}, {14 * 3600, 17 * 3600}};
    for (const auto &pair : pairs) {
        if (pair[1] >= samples)
            break;
        view.AddVerticalLine(start.addSecs(pair[0]), QStringLiteral("开始"), false);
        view.AddVerticalLine(start.addSecs(pair[1]), QStringLiteral("结束"), true);
    }
    view.AddHorizontalLine(95.0, QStringLiteral("95℃"));
    view.AddHorizontalLine(55.0, QStringLiteral("55℃"));
    view.show();

    int next = samples;
    QTimer live;
    if (parser.isSet(liveOption)) {
        QObject::connect(&live, &QTimer::timeout, &view, [&] {
            view.AppendSample(chartrun::sampleTexts(next), start.addSecs(next));
            ++next;
        });
        live.start(300);
    }

    if (parser.isSet(saveOption)) {
        QTimer::singleShot(500, &view, [&] {
            view.grab().save(parser.value(saveOption));
            app.quit();
        });
    }
    return app.exec();
}
