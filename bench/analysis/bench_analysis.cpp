// Times the analysis of a day-long run: 86,400 samples of 16 probes at 1 s, held as stored rows
// in memory. Prints one line per stage (median and best of several repetitions).

#include "analysis/CycleFile.h"
#include "analysis/Performance.h"
#include "analysis/PerformanceVerdict.h"
#include "analysis/Rate.h"
#include "analysis/RunData.h"
#include "analysis/Segmentation.h"
#include "analysis/Uniformity.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>

namespace {

struct StoredRow
{
    QString time;
    QString values;
};

constexpr int Probes = 16;
constexpr int Samples = 86400;

// A block cycling 95 / 60 / 72 / 40 °C, five minutes each, ramping at 3 °C/s, with fixed well
// offsets and 0.01 °C noise, stored as the acquisition stores it.
QVector<StoredRow> dayLongRun()
{
    const double program[4] = {95, 60, 72, 40};
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.01);
    double offsets[Probes];
    for (int p = 0; p < Probes; ++p)
        offsets[p] = 0.04 * std::sin(p * 1.7);
    QVector<StoredRow> rows;
    rows.reserve(Samples);
    const QDateTime start(QDate(2024, 5, 6), QTime(8, 0, 0, 125));
    double block = 25;
    for (int i = 0; i < Samples; ++i) {
        const double target = program[(i / 300) % 4];
        block += qBound(-3.0, target - block, 3.0);
        QStringList values;
        for (int p = 0; p < Probes; ++p)
            values.append(QString::number(block + offsets[p] + noise(random), 'f', 4));
        rows.append({start.addSecs(i).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")), values.join(',')});
    }
    return rows;
}

double timeIt(int repeats, const std::function<void()> &work, double *best = nullptr)
{
    QVector<double> ms;
    for (int r = 0; r < repeats; ++r) {
        QElapsedTimer t;
        t.start();
        work();
        ms.append(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    if (best)
        *best = ms.first();
    return ms.at(ms.size() / 2);
}

void report(const char *stage, int repeats, const std::function<void()> &work)
{
    double best = 0;
    const double median = timeIt(repeats, work, &best);
    std::printf("%-48s median %9.2f ms   best %9.2f ms   (%d runs)\n", stage, median, best, repeats);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The per-row log lines of the analysis are not what is measured.
    QLoggingCategory::setFilterRules(QStringLiteral("*.info=false"));

    std::printf("generating %d samples of %d probes...\n", Samples, Probes);
    const QVector<StoredRow> rows = dayLongRun();
    const QDateTime from = QDateTime::fromString(rows.first().time, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    const QDateTime to = QDateTime::fromString(rows.last().time, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));

    QVector<RunSample> run;
    report("read window (whole day, hand-parsed times)", 5, [&] {
        run = Analysis::readRunWindow(
            rows, [](const StoredRow &r) { return r.time; }, [](const StoredRow &r) { return r.values; },
            Probes, from, to);
    });
    report("  for comparison: QDateTime::fromString only", 3, [&] {
        qint64 sum = 0;
        for (const StoredRow &r : rows)
            sum += QDateTime::fromString(r.time, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toMSecsSinceEpoch();
        if (sum == 42)
            std::printf(" ");
    });
    if (run.size() != Samples) {
        std::printf("window read %d samples, expected %d\n", run.size(), Samples);
        return 1;
    }

    QVector<CycleStep> uniformity;
    const Analysis::CycleFileColumns file{"4", "95,60,72,40", "5,5,5,5"};
    Analysis::loadCycleFile(&file, Analysis::CycleFileRole::Uniformity, uniformity);

    Analysis::AutoSegmentResult found;
    report("AutoSegment, 4 steps found early", 20,
           [&] { found = Analysis::AutoSegment(0.1, uniformity, run, Probes, 1.0); });
    if (found.outcome != Analysis::AutoSegmentOutcome::Found) {
        std::printf("AutoSegment did not find the plateaus\n");
        return 1;
    }
    QVector<CycleStep> missing = uniformity;
    missing.append(CycleStep{30.0, 5.0});
    report("AutoSegment, 5th step never reached (full scan)", 5,
           [&] { Analysis::AutoSegment(0.1, missing, run, Probes, 1.0); });

    // Markers across the whole day: each plateau taken from its last occurrence, so the cut
    // walks the full run.
    QVector<QDateTime> markers;
    const int lastCycle = Samples / 1200 - 1;
    for (int k = 0; k < 4; ++k) {
        const int begin = lastCycle * 1200 + k * 300 + 60;
        markers << run.at(begin).time << run.at(begin + 230).time;
    }
    Analysis::CutResult cut;
    report("cut into 4 segments (markers at the day's end)", 20,
           [&] { cut = Analysis::cutSegments(markers, uniformity, run); });
    if (cut.error != Analysis::CutError::None) {
        std::printf("cut failed: %d\n", int(cut.error));
        return 1;
    }
    // Whole-day segments: the rows' cost grows with the samples they hold.
    QVector<QDateTime> wide;
    QVector<CycleStep> wideSteps;
    for (int k = 0; k < 4; ++k) {
        wide << run.at(k * (Samples / 4)).time << run.at((k + 1) * (Samples / 4) - 1).time;
        wideSteps.append(CycleStep{run.at(k * (Samples / 4) + 1).values.first(), 5});
    }
    const Analysis::CutResult wideCut = Analysis::cutSegments(wide, wideSteps, run);

    QVector<UniformityRow> rowsOut;
    report("uniformity rows, 4 segments of 230 samples", 50, [&] {
        rowsOut.clear();
        Analysis::UniformityAnalysisData(run, cut.segments, uniformity, Probes, rowsOut);
    });
    report("uniformity rows, 4 segments covering the day", 10, [&] {
        rowsOut.clear();
        Analysis::UniformityAnalysisData(run, wideCut.segments, wideSteps, Probes, rowsOut);
    });
    report("expanded uncertainty", 50, [&] { Analysis::expandedUncertainty(rowsOut); });

    const QVector<CycleStep> rateSteps = {{60, 5}, {95, 5}, {60, 5}};
    QStringList texts;
    report("rates (16 probes)", 20, [&] {
        texts.clear();
        Analysis::RateAnalysisData(run, rateSteps, Probes, 1.0, QStringLiteral("℃"), 2, texts);
    });
    // Worst case: the cooling end is never reached, so every search runs to the run's end.
    const QVector<CycleStep> unreachable = {{60, 5}, {95, 5}, {20, 5}};
    report("rates, cooling end never reached (full scan)", 20, [&] {
        Analysis::RateResult r;
        Analysis::RateAnalysisData(run, unreachable, Probes, 1.0, r);
    });
    std::printf("rate texts: %s\n", qPrintable(texts.join(QStringLiteral(", "))));

    // The figures beyond uniformity, on top of the above. With the markers at the day's end the
    // first step's stretch runs from the start of the day: every sample is looked at.
    const Analysis::PerformanceSettings settings;
    Analysis::PerformanceProfile profile;
    profile.accuracy = 0.25;
    profile.uniformity = 0.5;
    profile.heatingRate = 2.5;
    profile.coolingRate = 2.0;
    profile.overshoot = 1.0;
    profile.settlingTime = 10;
    Analysis::PerformanceResult performance;
    report("step figures, 4 steps over the whole day", 20, [&] {
        performance.steps = Analysis::stepPerformance(run, cut.segments, uniformity, Probes, settings);
    });
    report("rate figures (interpolated, 1 s window)", 20,
           [&] { performance.rate = Analysis::ratePerformance(run, rateSteps, Probes, settings.rateWindow); });
    QVector<Analysis::PerformanceFigure> figures;
    report("verdicts", 50, [&] { figures = Analysis::performanceFigures(performance, profile); });
    report("all performance figures and verdicts together", 10, [&] {
        Analysis::PerformanceResult r;
        r.steps = Analysis::stepPerformance(run, cut.segments, uniformity, Probes, settings);
        r.rate = Analysis::ratePerformance(run, rateSteps, Probes, settings.rateWindow);
        Analysis::overallVerdict(Analysis::performanceFigures(r, profile));
    });
    for (const Analysis::PerformanceFigure &f : figures)
        std::printf("  %-24s %10s %-6s %8s %s\n", qPrintable(Analysis::figureName(f)),
                    qPrintable(Analysis::figureValueText(f, QStringLiteral("℃"), 2)),
                    qPrintable(Analysis::figureUnit(f, QStringLiteral("℃"))),
                    qPrintable(Analysis::figureLimitText(f, QStringLiteral("℃"), 2)),
                    qPrintable(Analysis::verdictText(f.verdict)));
    return 0;
}
