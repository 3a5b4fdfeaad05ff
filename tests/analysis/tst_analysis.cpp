// The analysis core against hand-checkable cases: cycle files, run windows, plateau detection,
// cutting, uniformity rows, uncertainty, rates, units and the thermistor fit.

#include "AnalysisTestData.h"

#include "analysis/CycleFile.h"
#include "analysis/Rate.h"
#include "analysis/RunData.h"
#include "analysis/Segmentation.h"
#include "analysis/Thermistor.h"
#include "analysis/Uniformity.h"
#include "analysis/Units.h"

#include "BlockModel.h"

#include <QtTest>

#include <cmath>
#include <random>

using namespace Analysis;
using TestData::flatRun;
using TestData::makeRun;
using TestData::steps;

namespace {

QDateTime at(const QVector<RunSample> &run, int i)
{
    return run.at(i).time;
}

// A probe of a rate run that crosses the four thresholds of steps 50/95/50 at the given samples.
QVector<double> rateProbe(int count, int heatStart, int heatEnd, int coolStart, int coolEnd, double offset)
{
    QVector<double> v(count);
    for (int i = 0; i < count; ++i) {
        double t = 50;
        if (i >= heatStart && i < heatEnd)
            t = 60;
        else if (i >= heatEnd && i < coolStart)
            t = 95;
        else if (i >= coolStart && i < coolEnd)
            t = 70;
        v[i] = t + offset;
    }
    return v;
}

QVector<RunSample> rateRun(const QVector<QVector<double>> &probes, double interval)
{
    QVector<QVector<double>> rows(probes.first().size());
    for (int i = 0; i < rows.size(); ++i)
        for (const QVector<double> &p : probes)
            rows[i].append(p.at(i));
    return makeRun(rows, interval);
}

// Two plateaus of three probes with fixed per-probe offsets, reached by ramps, in ℃.
QVector<RunSample> twoPlateauRun()
{
    QVector<QVector<double>> rows;
    const double offsets[3] = {0.05, -0.03, 0.0};
    auto add = [&](double base, int i) {
        const double ripple = (i % 2 ? 0.01 : -0.01);
        rows.append(QVector<double>{base + offsets[0] + ripple, base + offsets[1] - ripple, base + offsets[2]});
    };
    for (int i = 0; i < 20; ++i)
        add(25 + i * 3.5, i);
    for (int i = 0; i < 90; ++i)
        add(95, i);
    for (int i = 0; i < 20; ++i)
        add(95 - i * 1.75, i);
    for (int i = 0; i < 90; ++i)
        add(60, i);
    return makeRun(rows);
}

QVector<QDateTime> interleave(const AutoSegmentResult &r)
{
    QVector<QDateTime> markers;
    for (int k = 0; k < r.starts.size(); ++k)
        markers << r.starts.at(k) << r.ends.at(k);
    return markers;
}

struct Row
{
    QString time;
    QString values;
};

} // namespace

class TestAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void cycleFileParsing();
    void cycleFileRateChecksInOrder_data();
    void cycleFileRateChecksInOrder();
    void cycleFileLoading();

    void runWindowBoundsAndSkips();
    void sampleTimeParsing();

    void autoSegmentNeedsMoreThanFiveSamples();
    void autoSegmentAcceptsAtSixthSample();
    void autoSegmentStartsFiveBeforeTheCompletingSample();
    void autoSegmentRejectsEndBeyondRun();
    void autoSegmentComparisonsAreStrict();
    void autoSegmentSharesTheCursor();
    void autoSegmentHoldOffsets();

    void cutChecksInOrder();
    void cutBoundariesAndMismatch();

    void uniformityCodes();
    void uniformityRowByHand();
    void uniformityOrderAndDuplicates();
    void uncertaintyByHand();
    void uncertaintyBudgetWithTheInstrument_data();
    void uncertaintyBudgetWithTheInstrument();
    void registeredInstrumentUncertainty_data();
    void registeredInstrumentUncertainty();

    void rateHandCase();
    void rateTruncatesPerProbe();
    void rateCodes();
    void rateRefusesAbsurdIntervals_data();
    void rateRefusesAbsurdIntervals();
    void rateNoData();

    void fahrenheitRunsOnStoredCelsius();

    void blockModelRowsRecoverWellMeans_data();
    void blockModelRowsRecoverWellMeans();
    void blockModelRates_data();
    void blockModelRates();

    void thermistorFitReproducesExactData();
    void thermistorCoefficientTextRoundTrips();
    void thermistorEightDecimalTextIsTooCoarse();
    void thermistorFitWithNoise();
    void thermistorProbeSetFitRefusesBadData();
    void verificationVerdicts();
};

// ---- cycle files -------------------------------------------------------------------------------

void TestAnalysis::cycleFileParsing()
{
    QVector<CycleStep> s;
    QCOMPARE(parseCycleSteps({"3", "95,60,72.5", "1,2,0.5"}, s), CycleFileError::None);
    QCOMPARE(s.size(), 3);
    QCOMPARE(s.at(2).temperature, 72.5);
    QCOMPARE(s.at(2).holdTime, 0.5);

    // Count against temperatures, temperatures against hold times.
    QCOMPARE(parseCycleSteps({"2", "95,60,72", "1,2,3"}, s), CycleFileError::Corrupt);
    QVERIFY(s.isEmpty());
    QCOMPARE(parseCycleSteps({"3", "95,60,72", "1,2"}, s), CycleFileError::Corrupt);
    QCOMPARE(parseCycleSteps({"0", "", ""}, s), CycleFileError::Corrupt);
    // A text that is not a number is a corrupt file, not a set temperature of 0.
    QCOMPARE(parseCycleSteps({"3", "95,abc,72", "1,2,3"}, s), CycleFileError::Corrupt);
    QCOMPARE(parseCycleSteps({"3", "95,60,72", "1,,3"}, s), CycleFileError::Corrupt);
    QCOMPARE(parseCycleSteps({"x", "95", "1"}, s), CycleFileError::Corrupt);
    QVERIFY(s.isEmpty());
}

void TestAnalysis::cycleFileRateChecksInOrder_data()
{
    QTest::addColumn<QString>("temperatures");
    QTest::addColumn<int>("expected");
    QTest::newRow("two steps") << "50,95" << int(CycleFileError::RateTooFewSteps);
    QTest::newRow("step 1 above step 2") << "96,95,50" << int(CycleFileError::RateStep1AboveStep2);
    QTest::newRow("step 1 above wins over step 3") << "96,95,97" << int(CycleFileError::RateStep1AboveStep2);
    QTest::newRow("step 3 above step 2") << "50,95,96" << int(CycleFileError::RateStep3AboveStep2);
    QTest::newRow("95/95/60 is a span fault") << "95,95,60" << int(CycleFileError::RateSpanTooSmall);
    QTest::newRow("cooling span short") << "50,95,85.1" << int(CycleFileError::RateSpanTooSmall);
    QTest::newRow("50/60/50 exactly 10 passes") << "50,60,50" << int(CycleFileError::None);
    QTest::newRow("exactly 10 with decimals passes") << "55.3,65.3,55.3" << int(CycleFileError::None);
    QTest::newRow("just under 10") << "50,59.9,50" << int(CycleFileError::RateSpanTooSmall);
    QTest::newRow("later steps ignored") << "50,95,50,200,-40" << int(CycleFileError::None);
}

void TestAnalysis::cycleFileRateChecksInOrder()
{
    QFETCH(QString, temperatures);
    QFETCH(int, expected);
    const int count = temperatures.split(',').size();
    QStringList holds;
    for (int i = 0; i < count; ++i)
        holds << "1";
    QVector<CycleStep> s;
    const CycleFileColumns columns{QString::number(count), temperatures, holds.join(',')};
    QCOMPARE(int(loadCycleFile(&columns, CycleFileRole::Rate, s)), expected);
    QCOMPARE(s.isEmpty(), expected != int(CycleFileError::None));
    // A uniformity file is not held to the rate checks.
    QCOMPARE(loadCycleFile(&columns, CycleFileRole::Uniformity, s), CycleFileError::None);
}

void TestAnalysis::cycleFileLoading()
{
    QVector<CycleStep> s = steps({1, 2});
    QCOMPARE(loadCycleFile(nullptr, CycleFileRole::Uniformity, s), CycleFileError::NotFound);
    QVERIFY(s.isEmpty());
    QCOMPARE(cycleFileErrorText(CycleFileError::NotFound), QStringLiteral("未查找到循环文件！"));
    QCOMPARE(cycleFileErrorText(CycleFileError::Corrupt), QStringLiteral("循环文件异常！"));
    QCOMPARE(cycleFileErrorText(CycleFileError::RateTooFewSteps), QStringLiteral("升降温循环文件步骤不能小于3步！"));
    QCOMPARE(cycleFileErrorText(CycleFileError::RateStep1AboveStep2),
             QStringLiteral("升降温循环文件步骤1温度需要小于步骤2温度！"));
    QCOMPARE(cycleFileErrorText(CycleFileError::RateStep3AboveStep2),
             QStringLiteral("升降温循环文件步骤3温度需要小于步骤2温度！"));
    QCOMPARE(cycleFileErrorText(CycleFileError::RateSpanTooSmall),
             QStringLiteral("升降温循环文件的升降温温差需要大于十度！"));
    QVERIFY(cycleFileErrorText(CycleFileError::None).isEmpty());
}

// ---- reading a run -----------------------------------------------------------------------------

void TestAnalysis::runWindowBoundsAndSkips()
{
    const QDateTime from(QDate(2024, 5, 6), QTime(9, 0, 10));
    const QDateTime to(QDate(2024, 5, 6), QTime(9, 0, 20));
    const QVector<Row> rows = {
        {"2024-05-06 09:00:09.999", "1,1"},     // before the window
        {"2024-05-06 09:00:10.000", "2,2"},     // exactly `from`: in
        {"2024-05-06 09:00:11.000", "3"},       // wrong count: skipped
        {"2024-05-06 09:00:12.000", "4,x"},     // not a number: skipped
        {"2024-05-06 09:00:13.000", "5,"},      // empty value: skipped
        {"2024-05-06 09:0:14.000", "6,6"},      // unreadable time: skipped
        {"2024-05-06 09:00:15.500", "7,7.25"},
        {"2024-05-06 09:00:20.000", "8,8"},     // exactly `to`: in
        {"2024-05-06 09:00:21.000", "9,9,9"},   // after, but a wrong count is skipped first
        {"2024-05-06 09:00:22.000", "10,10"},   // after: ends the reading
        {"2024-05-06 09:00:15.000", "11,11"},   // inside again, never looked at
    };
    const QVector<RunSample> run = readRunWindow(
        rows, [](const Row &r) { return r.time; }, [](const Row &r) { return r.values; }, 2, from, to);
    QCOMPARE(run.size(), 3);
    QCOMPARE(run.at(0).time, from);
    QCOMPARE(run.at(0).values, QVector<double>({2, 2}));
    QCOMPARE(run.at(1).values, QVector<double>({7, 7.25}));
    QCOMPARE(run.at(1).time, QDateTime(QDate(2024, 5, 6), QTime(9, 0, 15, 500)));
    QCOMPARE(run.at(2).time, to);

    RunWindowReader reader(2, from, to);
    for (const Row &r : rows)
        if (!reader.addRow(r.time, r.values))
            break;
    QVERIFY(reader.finished());
    QCOMPARE(reader.skippedRows(), 5);
    QVERIFY(!reader.addRow("2024-05-06 09:00:15.000", "1,1"));
    QCOMPARE(reader.samples().size(), 3);
}

void TestAnalysis::sampleTimeParsing()
{
    const QStringList good = {"2024-05-06 09:00:10.000", "2023-12-31 23:59:59.999", "2024-02-29 00:00:00.001"};
    for (const QString &text : good) {
        QDateTime t;
        QVERIFY2(parseSampleTime(text, t), qPrintable(text));
        QCOMPARE(t, QDateTime::fromString(text, "yyyy-MM-dd hh:mm:ss.zzz"));
    }
    const QStringList bad = {"2023-02-29 00:00:00.000", "2024-05-06 24:00:00.000", "2024-05-06T09:00:10.000",
                             "2024-05-06 09:00:10", "", "garbage", "x024-05-06 09:00:10.000",
                             "2O24-05-06 09:00:10.000"};
    for (const QString &text : bad) {
        QDateTime t;
        QVERIFY2(!parseSampleTime(text, t), qPrintable(text));
    }
}

// ---- plateau detection -------------------------------------------------------------------------

void TestAnalysis::autoSegmentNeedsMoreThanFiveSamples()
{
    const AutoSegmentResult r = AutoSegment(0.1, steps({95}), flatRun(5, 2, 95), 2, 1.0);
    QCOMPARE(r.outcome, AutoSegmentOutcome::NotRun);
    QVERIFY(r.starts.isEmpty() && r.ends.isEmpty());
    QCOMPARE(autoSegmentFailedText(), QStringLiteral("自动识别错误，请手动分段！"));
}

void TestAnalysis::autoSegmentAcceptsAtSixthSample()
{
    // Hold 0.6 min at 1 s: offset trunc(36 − 30) = 6.
    const QVector<RunSample> run = flatRun(7, 2, 95);
    const AutoSegmentResult r = AutoSegment(0.1, steps({95}, 0.6), run, 2, 1.0);
    QCOMPARE(r.outcome, AutoSegmentOutcome::Found);
    QCOMPARE(r.starts, QVector<QDateTime>({at(run, 0)}));
    QCOMPARE(r.ends, QVector<QDateTime>({at(run, 6)}));
    QCOMPARE(markerLabel(steps({95}).first(), false, "℃"), QStringLiteral("95开始"));
    QCOMPARE(markerLabel(steps({94.6}).first(), true, "℃"), QStringLiteral("95结束"));
}

void TestAnalysis::autoSegmentStartsFiveBeforeTheCompletingSample()
{
    // Ten ramp samples, then the plateau from sample 10: the window of samples 10..14 first holds
    // still at sample 14, so the start is sample 9.
    QVector<QVector<double>> rows;
    for (int i = 0; i < 10; ++i)
        rows.append(QVector<double>{20.0 + i, 20.0 + i});
    for (int i = 0; i < 60; ++i)
        rows.append(QVector<double>{95, 95.2});
    const QVector<RunSample> run = makeRun(rows);
    const AutoSegmentResult r = AutoSegment(0.1, steps({95}), run, 2, 1.0);
    QCOMPARE(r.outcome, AutoSegmentOutcome::Found);
    QCOMPARE(r.starts.first(), at(run, 9));
    QCOMPARE(r.ends.first(), at(run, 9 + 30));

    // Only the first `probeCount` values enter the means.
    QVector<RunSample> noisy = run;
    for (int i = 0; i < noisy.size(); ++i)
        noisy[i].values.append(i % 2 ? 500.0 : -500.0);
    QCOMPARE(AutoSegment(0.1, steps({95}), noisy, 2, 1.0).starts, r.starts);
}

void TestAnalysis::autoSegmentRejectsEndBeyondRun()
{
    // Two steps; the second plateau's end (start + 30) falls beyond the run.
    QVector<QVector<double>> rows;
    for (int i = 0; i < 40; ++i)
        rows.append(QVector<double>{95});
    for (int i = 0; i < 20; ++i)
        rows.append(QVector<double>{60});
    const QVector<RunSample> run = makeRun(rows);
    const AutoSegmentResult r = AutoSegment(0.1, steps({95, 60}), run, 1, 1.0);
    QCOMPARE(r.outcome, AutoSegmentOutcome::Failed);
    QCOMPARE(r.starts.size(), 2);
    QCOMPARE(r.ends.size(), 1);
}

void TestAnalysis::autoSegmentComparisonsAreStrict()
{
    // A first probe exactly 1.5 off never holds; 1.4 off does.
    QCOMPARE(AutoSegment(0.1, steps({95}), flatRun(60, 1, 96.5), 1, 1.0).outcome, AutoSegmentOutcome::Failed);
    QCOMPARE(AutoSegment(0.1, steps({95}), flatRun(60, 1, 93.5), 1, 1.0).outcome, AutoSegmentOutcome::Failed);
    QCOMPARE(AutoSegment(0.1, steps({95}), flatRun(60, 1, 96.4), 1, 1.0).outcome, AutoSegmentOutcome::Found);

    // Means that step by exactly the tolerance are not steady.
    QVector<QVector<double>> rows;
    for (int i = 0; i < 60; ++i)
        rows.append(QVector<double>{95.0 + (i % 2) * 0.5});
    const QVector<RunSample> run = makeRun(rows);
    QCOMPARE(AutoSegment(0.5, steps({95}), run, 1, 1.0).outcome, AutoSegmentOutcome::Failed);
    QCOMPARE(AutoSegment(0.5000001, steps({95}), run, 1, 1.0).outcome, AutoSegmentOutcome::Found);

    // The same with the real tolerance and stored values: 95.1 − 95.0 is 0.1 as written (a hair
    // under 0.1 in binary) and does not hold; 95.0999 does. Two probes: the means step by 0.1.
    auto alternating = [](double low, double high) {
        QVector<QVector<double>> r;
        for (int i = 0; i < 60; ++i)
            r.append(QVector<double>(2, i % 2 ? high : low));
        return makeRun(r);
    };
    QCOMPARE(AutoSegment(0.1, steps({95}), alternating(95.0, 95.1), 2, 1.0).outcome, AutoSegmentOutcome::Failed);
    QCOMPARE(AutoSegment(0.1, steps({72}), alternating(72.3, 72.2), 2, 1.0).outcome, AutoSegmentOutcome::Failed);
    QCOMPARE(AutoSegment(0.1, steps({95}), alternating(95.0, 95.0999), 2, 1.0).outcome, AutoSegmentOutcome::Found);
}

void TestAnalysis::autoSegmentSharesTheCursor()
{
    QVector<QVector<double>> rows;
    for (int i = 0; i < 50; ++i)
        rows.append(QVector<double>{60});
    for (int i = 0; i < 50; ++i)
        rows.append(QVector<double>{95});
    const QVector<RunSample> run = makeRun(rows);

    // In run order both are found; the second search starts at the first start. The 95 plateau
    // holds first at sample 54 (window 50..54), so its start is the last 60 sample, 49.
    const AutoSegmentResult inOrder = AutoSegment(0.1, steps({60, 95}), run, 1, 1.0);
    QCOMPARE(inOrder.outcome, AutoSegmentOutcome::Found);
    QCOMPARE(inOrder.starts, QVector<QDateTime>({at(run, 0), at(run, 49)}));

    // Out of order: 95 is found from sample 49 on, and 60 is never found after it.
    const AutoSegmentResult reversed = AutoSegment(0.1, steps({95, 60}), run, 1, 1.0);
    QCOMPARE(reversed.outcome, AutoSegmentOutcome::Failed);
    QCOMPARE(reversed.starts, QVector<QDateTime>({at(run, 49)}));

    // Two steps of one temperature share their start.
    const AutoSegmentResult same = AutoSegment(0.1, steps({60, 60}), run, 1, 1.0);
    QCOMPARE(same.starts, QVector<QDateTime>({at(run, 0), at(run, 0)}));
}

void TestAnalysis::autoSegmentHoldOffsets()
{
    // 0.5 s: hold 1 min gives trunc(120 − 60) = 60 samples.
    const QVector<RunSample> half = flatRun(100, 1, 72, 0.5);
    QCOMPARE(AutoSegment(0.1, steps({72}), half, 1, 0.5).ends.first(), at(half, 60));
    // 0.3 s: trunc(1.5 × 200 − 100) = 200 samples.
    const QVector<RunSample> fast = flatRun(300, 1, 72, 0.3);
    QCOMPARE(AutoSegment(0.1, steps({72}, 1.5), fast, 1, 0.3).ends.first(), at(fast, 200));
    // Whole numbers as written that binary rounding puts a hair below: 4.1 min at 1 s is
    // 246 − 30 = 216 samples (not 215), at 2 s 123 − 15 = 108, 8.2 min at 0.5 s 984 − 60 = 924.
    const QVector<RunSample> long1 = flatRun(300, 1, 72, 1.0);
    QCOMPARE(AutoSegment(0.1, steps({72}, 4.1), long1, 1, 1.0).ends.first(), at(long1, 216));
    const QVector<RunSample> long2 = flatRun(300, 1, 72, 2.0);
    QCOMPARE(AutoSegment(0.1, steps({72}, 4.1), long2, 1, 2.0).ends.first(), at(long2, 108));
    const QVector<RunSample> long3 = flatRun(1000, 1, 72, 0.5);
    QCOMPARE(AutoSegment(0.1, steps({72}, 8.2), long3, 1, 0.5).ends.first(), at(long3, 924));
    // A hold under half a minute would end before it starts: no end, the result is refused.
    QCOMPARE(AutoSegment(0.1, steps({72}, 0.25), flatRun(100, 1, 72), 1, 1.0).outcome, AutoSegmentOutcome::Failed);
    // So is a run without a usable interval.
    QCOMPARE(AutoSegment(0.1, steps({72}), flatRun(100, 1, 72), 1, 0.0).outcome, AutoSegmentOutcome::Failed);
}

// ---- cutting -----------------------------------------------------------------------------------

void TestAnalysis::cutChecksInOrder()
{
    const QVector<RunSample> run = flatRun(100, 2, 95);
    const QVector<CycleStep> two = steps({95, 95});
    const QDateTime invalid;

    auto cut = [&](const QVector<QDateTime> &markers, const QVector<CycleStep> &s = {}) {
        return cutSegments(markers, s.isEmpty() ? two : s, run).error;
    };
    QCOMPARE(cut({at(run, 1), at(run, 5), at(run, 10)}), CutError::MarkersIncomplete);
    QCOMPARE(cut({invalid, invalid, invalid}), CutError::MarkersIncomplete);
    QCOMPARE(cut({at(run, 1), invalid, at(run, 10), at(run, 20)}), CutError::MarkerUnreadable);
    QCOMPARE(cut({at(run, 1), at(run, 5), at(run, 4), invalid}), CutError::MarkersNotIncreasing);
    QCOMPARE(cutSegments({}, {}, run).error, CutError::NoMarkers);
    QCOMPARE(cut({at(run, 0).addMSecs(-1), at(run, 5), at(run, 6), at(run, 9)}), CutError::MarkerBeforeStart);
    QCOMPARE(cut({at(run, 0), at(run, 5), at(run, 6), at(run, 99).addMSecs(1)}), CutError::MarkerAfterEnd);
    QCOMPARE(cut({at(run, 0), at(run, 5), at(run, 6), at(run, 6)}), CutError::NoData);
    QCOMPARE(cut({at(run, 0), at(run, 5), at(run, 5), at(run, 99)}), CutError::None);

    QCOMPARE(cutErrorText(CutError::MarkersIncomplete), QStringLiteral("标注线不全不能生成报告！"));
    QCOMPARE(cutErrorText(CutError::MarkerUnreadable), QStringLiteral("获取数据错误！"));
    QCOMPARE(cutErrorText(CutError::MarkersNotIncreasing), QStringLiteral("标注线时间必须为递增的！"));
    QCOMPARE(cutErrorText(CutError::NoMarkers), QStringLiteral("没有检测到标注线！"));
    QCOMPARE(cutErrorText(CutError::MarkerBeforeStart), QStringLiteral("标注线时间小于开始时间！"));
    QCOMPARE(cutErrorText(CutError::MarkerAfterEnd), QStringLiteral("标注线时间大于结束时间！"));
    QCOMPARE(cutErrorText(CutError::NoData), QStringLiteral("未找到数据！"));
    QCOMPARE(cutErrorText(CutError::DataMismatch), QStringLiteral("截取的数据不匹配循环文件！"));
}

void TestAnalysis::cutBoundariesAndMismatch()
{
    QVector<QVector<double>> rows;
    for (int i = 0; i < 20; ++i)
        rows.append(QVector<double>{95, 95});
    for (int i = 0; i < 20; ++i)
        rows.append(QVector<double>{61.6, 61.6});
    const QVector<RunSample> run = makeRun(rows);

    // A sample exactly at marker 2d is out, one exactly at marker 2d + 1 is in.
    const CutResult ok = cutSegments({at(run, 2), at(run, 10), at(run, 25), at(run, 30)}, steps({95, 60.1}), run);
    QCOMPARE(ok.error, CutError::None);
    QCOMPARE(ok.segments.size(), 2);
    QCOMPARE(ok.segments.at(0).size(), 8);
    QCOMPARE(ok.segments.at(0).first().time, at(run, 3));
    QCOMPARE(ok.segments.at(0).last().time, at(run, 10));
    QCOMPARE(ok.segments.at(1).first().time, at(run, 26));
    QCOMPARE(ok.segments.at(1).last().time, at(run, 30));

    // 61.6 against 60.1 is exactly 1.5 off as written and passes; 60.0 is 1.6 off.
    const CutResult off = cutSegments({at(run, 2), at(run, 10), at(run, 25), at(run, 30)}, steps({95, 60}), run);
    QCOMPARE(off.error, CutError::DataMismatch);
    QVERIFY(off.segments.isEmpty());

    // An empty segment is reported before any mismatch.
    QCOMPARE(cutSegments({at(run, 2), at(run, 2), at(run, 25), at(run, 30)}, steps({95, 0}), run).error,
             CutError::NoData);
}

// ---- uniformity rows ---------------------------------------------------------------------------

void TestAnalysis::uniformityCodes()
{
    QVector<UniformityRow> rows = {{1, 2, 3, 4}};
    const QVector<RunSample> run = flatRun(10, 2, 95);
    QCOMPARE(UniformityAnalysisData({}, {}, steps({95}), 2, rows), int(UniformityNoSamples));
    QCOMPARE(UniformityAnalysisData(run, {run}, steps({95}), 3, rows), int(UniformityFirstSampleCount));
    Segment broken = run;
    broken[4].values.append(1.0);
    QCOMPARE(UniformityAnalysisData(run, {run, broken}, steps({95, 60}), 2, rows), int(UniformitySegmentSampleCount));
    QCOMPARE(UniformityAnalysisData(run, {run, run}, steps({95}), 2, rows), int(UniformitySegmentsMismatch));
    QCOMPARE(UniformityAnalysisData(run, {Segment()}, steps({95}), 2, rows), int(UniformitySegmentsMismatch));
    // Nothing partial is left behind on failure.
    QCOMPARE(rows, QVector<UniformityRow>({{1, 2, 3, 4}}));
}

void TestAnalysis::uniformityRowByHand()
{
    const Segment segment = makeRun({{1, 4}, {2, 5}, {3, 9}});
    QVector<UniformityRow> rows;
    QCOMPARE(UniformityAnalysisData(segment, {segment}, steps({60}), 2, rows), 0);
    // Set temperature, means 2 and 6, range 9 − 1, overall mean 24 / 6.
    QCOMPARE(rows, QVector<UniformityRow>({{60, 2, 6, 8, 4}}));
}

void TestAnalysis::uniformityOrderAndDuplicates()
{
    const Segment at95 = flatRun(5, 2, 95.1);
    const Segment at60 = flatRun(5, 2, 60.2);
    const Segment at60b = flatRun(5, 2, 59.9);
    const Segment at72 = flatRun(5, 2, 72);
    QVector<UniformityRow> rows;
    QCOMPARE(UniformityAnalysisData(at95, {at95, at60, at72, at60b}, steps({95, 60, 72, 60}), 2, rows), 0);
    // Ascending; of the two 60 rows the one sorted first (lower probe 1 mean) stays.
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).at(0), 60.0);
    QCOMPARE(rows.at(0).at(1), 59.9);
    QCOMPARE(rows.at(1).at(0), 72.0);
    QCOMPARE(rows.at(2).at(0), 95.0);
}

void TestAnalysis::uncertaintyByHand()
{
    // Probe means 59.9, 60.1, 60.0 about 60.0: s = sqrt(0.02 / 2) = 0.1, U = 0.2.
    const UniformityRow row = {60, 59.9, 60.1, 60.0, 0.4, 60.0};
    QVERIFY(qAbs(expandedUncertainty(row) - 0.2) < 1e-12);
    QCOMPARE(expandedUncertainty(QVector<UniformityRow>{row, row}).size(), 2);
    // One probe: division by zero, not a number.
    QVERIFY(qIsNaN(expandedUncertainty(UniformityRow{60, 60.1, 0.2, 60.1})));
}

void TestAnalysis::uncertaintyBudgetWithTheInstrument_data()
{
    QTest::addColumn<double>("u2");
    QTest::addColumn<double>("combined");
    // Probe means 59.9, 60.1, 60.0: u1 = 0.1.
    QTest::newRow("no instrument component") << 0.0 << 0.1;
    QTest::newRow("u2 0.05") << 0.05 << std::sqrt(0.0125);
    QTest::newRow("3-4-5") << 0.075 << 0.125;   // sqrt(0.1² + 0.075²)
}

void TestAnalysis::uncertaintyBudgetWithTheInstrument()
{
    QFETCH(double, u2);
    QFETCH(double, combined);
    const UniformityRow row = {60, 59.9, 60.1, 60.0, 0.4, 60.0};
    const UncertaintyBudget b = uncertaintyBudget(row, u2);
    QVERIFY(qAbs(b.u1 - 0.1) < 1e-12);
    QCOMPARE(b.u2, u2);
    QVERIFY(qAbs(b.combined - combined) < 1e-12);
    QCOMPARE(b.k, 2.0);
    QVERIFY(qAbs(b.expanded - 2 * combined) < 1e-12);
    // One probe has no spread to speak of: not a number, whatever the instrument adds.
    QVERIFY(qIsNaN(uncertaintyBudget(UniformityRow{60, 60.1, 0.2, 60.1}, u2).expanded));
}

void TestAnalysis::registeredInstrumentUncertainty_data()
{
    QTest::addColumn<QString>("registered");
    QTest::addColumn<bool>("found");
    QTest::addColumn<double>("u2");
    QTest::newRow("plain") << QStringLiteral("0.1") << true << 0.05;
    QTest::newRow("with unit") << QStringLiteral("0.05℃") << true << 0.025;
    QTest::newRow("labelled") << QStringLiteral("U = 0.06 ℃") << true << 0.03;
    QTest::newRow("k before U") << QStringLiteral("k=2, U=0.08℃") << true << 0.04;
    QTest::newRow("plus-minus") << QStringLiteral("±0.2°C") << true << 0.1;
    QTest::newRow("leading dot") << QStringLiteral(".3") << true << 0.15;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("words") << QStringLiteral("见证书") << false << 0.0;
    QTest::newRow("negative") << QStringLiteral("-0.1") << false << 0.0;
}

void TestAnalysis::registeredInstrumentUncertainty()
{
    QFETCH(QString, registered);
    QFETCH(bool, found);
    QFETCH(double, u2);
    bool was = !found;
    QVERIFY(qAbs(instrumentStandardUncertainty(registered, &was) - u2) < 1e-12);
    QCOMPARE(was, found);
}

// ---- rates -------------------------------------------------------------------------------------

void TestAnalysis::rateHandCase()
{
    // Δt 0.5 s, heating spans of 7 samples: 3 s after the first probe (truncation of 3.5), 6 after
    // the second (truncation of 3.5 + 3); cooling spans of 6 samples, 3 s each.
    const QVector<RunSample> run = rateRun({rateProbe(20, 1, 8, 11, 17, 0.0), rateProbe(20, 1, 8, 11, 17, 0.1)}, 0.5);
    RateResult r;
    QCOMPARE(RateAnalysisData(run, steps({50, 95, 50}), 2, 0.5, r), int(RateOk));
    QCOMPARE(r.heatingTime, 3);
    QCOMPARE(r.coolingTime, 3);
    QStringList texts = {"kept"};
    QCOMPARE(RateAnalysisData(run, steps({50, 95, 50}), 2, 0.5, "℃", 2, texts), 0);
    QCOMPARE(texts, QStringList({"kept", "60.05", "95.05", "3", "11.67", "70.05", "50.05", "3", "6.67"}));
    QCOMPARE(rateTexts(r, "℃", 0), QStringList({"60", "95", "3", "12", "70", "50", "3", "7"}));

    // Already above T1 + 5 at sample 0: heating starts there (8 samples, 4 s at 0.5 s).
    const QVector<RunSample> hot = rateRun({rateProbe(20, 0, 8, 11, 17, 0.0)}, 0.5);
    QCOMPARE(RateAnalysisData(hot, steps({50, 95, 50}), 1, 0.5, r), 0);
    QCOMPARE(r.heatingTime, 4);

    // Strict thresholds at a reading equal to one as written: 64.1 − 5 is a hair under 59.1 in
    // binary and 64.4 − 5 a hair over 59.4, yet neither reading crosses its threshold.
    QCOMPARE(RateAnalysisData(makeRun({{50}, {56}, {59.1}, {60}, {64.1}, {64.1}, {58}, {54}, {50}}),
                              steps({50, 64.1, 50}), 1, 1.0, r),
             0);
    QCOMPARE(r.heatingEnd, 60.0);
    QCOMPARE(r.heatingTime, 2);
    QCOMPARE(RateAnalysisData(makeRun({{50}, {56}, {60}, {64.4}, {59.4}, {58}, {54}, {50}}),
                              steps({50, 64.4, 50}), 1, 1.0, r),
             0);
    QCOMPARE(r.coolingStart, 58.0);
    QCOMPARE(r.coolingTime, 1);
}

// A stored interval no run can have (an edited or damaged record) is refused before any
// arithmetic: 1e10 s made the time sums overflow an int (undefined) and print −134217728.
void TestAnalysis::rateRefusesAbsurdIntervals_data()
{
    QTest::addColumn<double>("interval");
    QTest::addColumn<int>("code");
    QTest::newRow("1e10 s") << 1e10 << int(RateUnusableInput);
    QTest::newRow("just above an hour") << 3600.5 << int(RateUnusableInput);
    QTest::newRow("1e-300 s") << 1e-300 << int(RateUnusableInput);
    QTest::newRow("negative") << -1.0 << int(RateUnusableInput);
    QTest::newRow("infinite") << qInf() << int(RateUnusableInput);
    QTest::newRow("an hour") << 3600.0 << int(RateOk);
    QTest::newRow("half a second") << 0.5 << int(RateOk);
}

void TestAnalysis::rateRefusesAbsurdIntervals()
{
    QFETCH(double, interval);
    QFETCH(int, code);
    const QVector<RunSample> run = rateRun({rateProbe(20, 1, 8, 11, 17, 0.0)}, 0.5);
    RateResult r;
    QCOMPARE(RateAnalysisData(run, steps({50, 95, 50}), 1, interval, r), code);
    QCOMPARE(r.hasData, code == RateOk);
    if (code == RateOk)
        QVERIFY(r.heatingTime >= 0 && std::isfinite(r.heatingRate));
}

void TestAnalysis::rateTruncatesPerProbe()
{
    // 3.5 s then 2.5 s: per probe 3, then trunc(2.5 + 3) = 5, mean 5 / 2 = 2 (not 6 / 2).
    const QVector<RunSample> run = rateRun({rateProbe(20, 1, 8, 11, 17, 0), rateProbe(20, 1, 6, 11, 17, 0)}, 0.5);
    RateResult r;
    QCOMPARE(RateAnalysisData(run, steps({50, 95, 50}), 2, 0.5, r), 0);
    QCOMPARE(r.heatingTime, 2);
    QCOMPARE(r.heatingRate, 35.0 / 2);
    // 90 samples of 0.7 s are 63 s as written (62.99999999999999 in binary); 10 are 7 s.
    const QVector<RunSample> slow = rateRun({rateProbe(120, 1, 91, 100, 110, 0)}, 0.7);
    QCOMPARE(RateAnalysisData(slow, steps({50, 95, 50}), 1, 0.7, r), 0);
    QCOMPARE(r.heatingTime, 63);
    QCOMPARE(r.coolingTime, 7);
    // A mean time of 0 s divides by zero; the text is what the conversion prints.
    const QVector<RunSample> jump = rateRun({rateProbe(20, 1, 2, 11, 17, 0)}, 0.5);
    QCOMPARE(RateAnalysisData(jump, steps({50, 95, 50}), 1, 0.5, r), 0);
    QCOMPARE(r.heatingTime, 0);
    QVERIFY(qIsInf(r.heatingRate));
}

void TestAnalysis::rateCodes()
{
    const QVector<double> good = rateProbe(20, 1, 8, 11, 17, 0);
    const QVector<CycleStep> s = steps({50, 95, 50});
    RateResult r;
    auto code = [&](const QVector<double> &second) {
        return RateAnalysisData(rateRun({good, second}, 1.0), s, 2, 1.0, r);
    };
    QCOMPARE(code(QVector<double>(20, 50)), int(RateNoHeatingStart));   // never above 55
    QCOMPARE(code(QVector<double>(20, 60)), int(RateNoHeatingEnd));     // never above 90
    QCOMPARE(code(rateProbe(20, 1, 8, 20, 20, 0)), int(RateNoCoolingStart));
    QCOMPARE(code(rateProbe(20, 1, 8, 11, 20, 0)), int(RateNoCoolingEnd));
    // The first probe failing decides, whatever the others do.
    QCOMPARE(RateAnalysisData(rateRun({QVector<double>(20, 50), good}, 1.0), s, 2, 1.0, r), int(RateNoHeatingStart));
    QStringList texts;
    QCOMPARE(RateAnalysisData(rateRun({good, QVector<double>(20, 60)}, 1.0), s, 2, 1.0, "℃", 2, texts), 11);
    QVERIFY(texts.isEmpty());
}

void TestAnalysis::rateNoData()
{
    QStringList texts;
    QCOMPARE(RateAnalysisData({}, steps({50, 95, 50}), 2, 1.0, "℃", 2, texts), 0);
    QCOMPARE(texts, QStringList(QVector<QString>(8).toList()));
    texts.clear();
    QCOMPARE(RateAnalysisData(flatRun(10, 3, 50), steps({50, 95, 50}), 2, 1.0, "℃", 2, texts), 0);
    QCOMPARE(texts.size(), 8);
    QVERIFY(texts.join(QString()).isEmpty());
}

// ---- units -------------------------------------------------------------------------------------

void TestAnalysis::fahrenheitRunsOnStoredCelsius()
{
    const QVector<RunSample> run = twoPlateauRun();
    const QVector<CycleStep> s = steps({95, 60});

    const AutoSegmentResult found = AutoSegment(0.1, s, run, 3, 1.0);
    QCOMPARE(found.outcome, AutoSegmentOutcome::Found);
    const CutResult cut = cutSegments(interleave(found), s, run);
    QCOMPARE(cut.error, CutError::None);
    QVector<UniformityRow> celsius;
    QCOMPARE(UniformityAnalysisData(run, cut.segments, s, 3, celsius), 0);
    QCOMPARE(celsius.size(), 2);
    QVERIFY(qAbs(celsius.at(1).at(1) - 95.05) < 1e-9);
    QVERIFY(qAbs(celsius.at(1).at(2) - 94.97) < 1e-9);

    // ℉ shows exactly the ℃ results converted.
    const QVector<UniformityRow> fahrenheit = displayRows(celsius, "℉");
    for (int r = 0; r < celsius.size(); ++r) {
        const int m = celsius.at(r).size();
        for (int j = 0; j < m; ++j) {
            const double expected = j == m - 2 ? celsius[r][j] * 9 / 5 : celsius[r][j] * 9 / 5 + 32;
            QCOMPARE(fahrenheit[r][j], expected);
        }
    }
    QCOMPARE(fahrenheit.at(0).at(0), 140.0);
    QCOMPARE(displayRows(celsius, "℃"), celsius);
    const QVector<double> uC = expandedUncertainty(celsius);
    const QVector<double> uF = expandedUncertainty(fahrenheit);
    for (int r = 0; r < uC.size(); ++r)
        QVERIFY(qAbs(displayDifference(uC[r], "℉") - uF[r]) < 1e-9);
    QCOMPARE(markerLabel(s.first(), false, "℉"), QStringLiteral("203开始"));

    RateResult rate;
    QCOMPARE(RateAnalysisData(rateRun({rateProbe(20, 1, 8, 11, 17, 0)}, 1.0), steps({50, 95, 50}), 1, 1.0, rate), 0);
    QCOMPARE(rateTexts(rate, "℉", 2), QStringList({"140.00", "203.00", "7", "9.00", "158.00", "122.00", "6", "6.00"}));

    // The fault this mends: samples converted to ℉ against ℃ set temperatures find nothing
    // and every cut is refused.
    QVector<RunSample> converted = run;
    for (RunSample &sample : converted)
        for (double &v : sample.values)
            v = v * 9 / 5 + 32;
    QCOMPARE(AutoSegment(0.1, s, converted, 3, 1.0).outcome, AutoSegmentOutcome::Failed);
    QCOMPARE(cutSegments(interleave(found), s, converted).error, CutError::DataMismatch);
}

// ---- runs of the simulator's block model --------------------------------------------------------

void TestAnalysis::blockModelRowsRecoverWellMeans_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("channels");
    QTest::addColumn<double>("interval");
    QTest::addColumn<quint64>("seed");
    for (quint64 seed = 1; seed <= 4; ++seed) {
        QTest::addRow("95/60/72, 16 probes, 1 s, seed %llu", seed) << "95:1,60:1,72:1" << 16 << 1.0 << seed;
        QTest::addRow("94/55/72/40, 8 probes, 0.5 s, seed %llu", seed) << "94.5:2,55:1,72:1.5,40:1" << 8 << 0.5 << seed;
        QTest::addRow("37/50/90, 1 probe, 2 s, seed %llu", seed) << "37:3,50:2,90:2" << 1 << 2.0 << seed;
    }
}

void TestAnalysis::blockModelRowsRecoverWellMeans()
{
    QFETCH(QString, program);
    QFETCH(int, channels);
    QFETCH(double, interval);
    QFETCH(quint64, seed);
    pcrsim::BlockModelConfig config = TestData::modelConfig(program, seed);
    config.channels = channels;
    const pcrsim::BlockModel model(config);
    const QVector<CycleStep> s = TestData::modelSteps(model);
    const QVector<RunSample> run = TestData::modelRun(model, model.firstCycleDuration(), interval);

    const AutoSegmentResult found = AutoSegment(0.1, s, run, channels, interval);
    QCOMPARE(found.outcome, AutoSegmentOutcome::Found);
    QVector<pcrsim::Plateau> plateaus;
    for (const pcrsim::Plateau &p : model.plateaus(0, model.firstCycleDuration()))
        if (p.cycle == 0)
            plateaus.append(p);
    QCOMPARE(plateaus.size(), s.size());
    for (int k = 0; k < s.size(); ++k) {
        // Each segment lies inside its hold.
        const double start = TestData::runStart().msecsTo(found.starts.at(k)) / 1000.0;
        const double end = TestData::runStart().msecsTo(found.ends.at(k)) / 1000.0;
        QVERIFY2(start >= plateaus.at(k).holdStart - 5 * interval && end <= plateaus.at(k).end,
                 qPrintable(QString("step %1: %2..%3 s, hold %4..%5 s").arg(k).arg(start).arg(end)
                                .arg(plateaus.at(k).holdStart).arg(plateaus.at(k).end)));
    }
    const CutResult cut = cutSegments(interleave(found), s, run);
    QCOMPARE(cut.error, CutError::None);
    QVector<UniformityRow> rows;
    QCOMPARE(UniformityAnalysisData(run, cut.segments, s, channels, rows), 0);
    QCOMPARE(rows.size(), s.size());

    const double sigma = config.noiseSigma;
    double worst = 0, worstU = 0;
    for (int r = 0; r < rows.size(); ++r) {
        const UniformityRow &row = rows.at(r);
        QVERIFY(r == 0 || rows.at(r - 1).first() < row.first());
        double expectedMean = 0, smallest = 1e9, largest = -1e9;
        for (int c = 0; c < channels; ++c) {
            const double truth = model.plateauMean(c, row.first());
            worst = qMax(worst, qAbs(row.at(c + 1) - truth));
            expectedMean += truth / channels;
            smallest = qMin(smallest, truth);
            largest = qMax(largest, truth);
        }
        QVERIFY(qAbs(row.last() - expectedMean) < 2 * sigma);
        if (channels > 1) {
            UniformityRow truthRow = {row.first()};
            for (int c = 0; c < channels; ++c)
                truthRow.append(model.plateauMean(c, row.first()));
            truthRow << largest - smallest << expectedMean;
            const double u = expandedUncertainty(row), uTruth = expandedUncertainty(truthRow);
            worstU = qMax(worstU, qAbs(u - uTruth));
        }
        // The range spans the wells' spread plus the noise on both sides.
        const double range = row.at(channels + 1);
        QVERIFY2(range >= largest - smallest && range <= largest - smallest + 12 * sigma + 0.1,
                 qPrintable(QString("range %1, spread %2").arg(range).arg(largest - smallest)));
    }
    qInfo("worst probe mean off the model's plateau mean: %.4f °C, uncertainty off by %.4f °C (noise %.3f °C)",
          worst, worstU, sigma);
    // A segment starts as soon as the means hold still, so the end of the settling enters it
    // beside the noise: both stay within two noise deviations.
    QVERIFY(worst < 2 * sigma);
    QVERIFY(worstU < 2 * sigma);
}

void TestAnalysis::blockModelRates_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<double>("interval");
    for (quint64 seed = 1; seed <= 4; ++seed) {
        QTest::addRow("seed %llu, 1 s", seed) << seed << 1.0;
        QTest::addRow("seed %llu, 0.3 s", seed) << seed << 0.3;
    }
}

void TestAnalysis::blockModelRates()
{
    QFETCH(quint64, seed);
    QFETCH(double, interval);
    const pcrsim::BlockModelConfig config = TestData::modelConfig("50:1,95:1,50:1", seed);
    const pcrsim::BlockModel model(config);
    const QVector<RunSample> run = TestData::modelRun(model, model.firstCycleDuration(), interval);
    RateResult r;
    QCOMPARE(RateAnalysisData(run, TestData::modelSteps(model), model.channels(), interval, r), 0);
    qInfo("heating %.2f -> %.2f in %d s: %.3f °C/s; cooling %.2f -> %.2f in %d s: %.3f °C/s", r.heatingStart,
          r.heatingEnd, r.heatingTime, r.heatingRate, r.coolingStart, r.coolingEnd, r.coolingTime, r.coolingRate);
    // Crossings of 55 and 90 °C are found within one sample (and the block's overshoot) of the
    // thresholds; the times are whole seconds, so the rates come within a sample of the ramps.
    QVERIFY(r.heatingStart > 55 && r.heatingStart < 55 + config.heatingRate * interval + 1);
    QVERIFY(r.heatingEnd > 90 && r.heatingEnd < 90 + config.heatingRate * interval + 1);
    QVERIFY(r.coolingStart < 90 && r.coolingStart > 90 - config.coolingRate * interval - 1);
    QVERIFY(r.coolingEnd < 55 && r.coolingEnd > 55 - config.coolingRate * interval - 1);
    QVERIFY(qAbs(r.heatingRate - config.heatingRate) < 0.2 * config.heatingRate);
    QVERIFY(qAbs(r.coolingRate - config.coolingRate) < 0.2 * config.coolingRate);
}

// ---- thermistor --------------------------------------------------------------------------------

void TestAnalysis::thermistorFitReproducesExactData()
{
    const ThermistorCoefficients truth = TestData::typicalNtc();
    double worst = 0;
    for (int points = 4; points <= 9; ++points) {
        QVector<double> t, r;
        for (int k = 0; k < points; ++k) {
            t.append(100.0 * k / (points - 1));
            r.append(TestData::resistanceAt(truth, t.last()));
        }
        ThermistorCoefficients fit;
        QVERIFY(fitThermistor(t, r, fit));
        for (double c = 0; c <= 100; c += 0.5)
            worst = qMax(worst, qAbs(thermistorTemperature(fit, TestData::resistanceAt(truth, c)) - c));
    }
    qInfo("exact data, 4 to 9 points: worst fitted error %.3g K", worst);
    QVERIFY(worst < 1e-6);
}

void TestAnalysis::thermistorCoefficientTextRoundTrips()
{
    // Two probes with their own characteristics, through the probe set fit and its texts.
    const ThermistorCoefficients truths[2] = {TestData::typicalNtc(), {1.1291e-3, 2.341e-4, 0.9e-6, 9.1e-8}};
    double worst = 0;
    for (int points = 4; points <= 9; ++points) {
        QStringList references;
        QVector<QStringList> readings;
        for (int k = 0; k < points; ++k) {
            // References are stored with four decimals; the points sit exactly on them.
            const double t = std::round(100.0 * k / (points - 1) * 1e4) / 1e4;
            references.append(QString::number(t, 'f', 4));
            readings.append({QString::number(TestData::resistanceAt(truths[0], t), 'g', 17),
                             QString::number(TestData::resistanceAt(truths[1], t), 'g', 17)});
        }
        const ProbeSetFit fit = fitProbeSet(references, readings, 2);
        QVERIFY(fit.ok);
        QCOMPARE(fit.b3.size(), 2);
        // As stored: comma-joined lists, read back by splitting.
        const QStringList b0 = fit.b0.join(',').split(','), b1 = fit.b1.join(',').split(','),
                          b2 = fit.b2.join(',').split(','), b3 = fit.b3.join(',').split(',');
        for (int probe = 0; probe < 2; ++probe) {
            const ThermistorCoefficients stored{b0[probe].toDouble(), b1[probe].toDouble(), b2[probe].toDouble(),
                                                b3[probe].toDouble()};
            for (double c = 0; c <= 100; c += 0.5)
                worst = qMax(worst, qAbs(thermistorTemperature(stored, TestData::resistanceAt(truths[probe], c)) - c));
        }
    }
    qInfo("fitted, stored as text and read back: worst error %.3g K", worst);
    QVERIFY(worst < 0.001);
    QCOMPARE(coefficientText(8.5e-8), QStringLiteral("8.5e-08"));
    QCOMPARE(coefficientText(0.001125).toDouble(), 0.001125);
}

void TestAnalysis::thermistorEightDecimalTextIsTooCoarse()
{
    // The fault the full-precision texts mend: eight fixed decimals leave B3 one significant
    // digit and move the temperature past the 0.1 K verification limit.
    const ThermistorCoefficients truth = TestData::typicalNtc();
    auto eight = [](double v) { return QString::number(v, 'f', 8).toDouble(); };
    const ThermistorCoefficients rounded{eight(truth.b0), eight(truth.b1), eight(truth.b2), eight(truth.b3)};
    double worst = 0;
    for (double c = 0; c <= 100; c += 0.5)
        worst = qMax(worst, qAbs(thermistorTemperature(rounded, TestData::resistanceAt(truth, c)) - c));
    qInfo("eight fixed decimals: worst error %.3f K", worst);
    QVERIFY(worst > 0.1);
}

void TestAnalysis::thermistorFitWithNoise()
{
    // 0.005 K on the reference, 0.01 % on the resistance; 4 to 9 points over 0..100 °C, 200
    // probes each, errors over the whole range after the text round trip.
    const ThermistorCoefficients truth = TestData::typicalNtc();
    std::mt19937 random(20240506);
    std::normal_distribution<double> refNoise(0.0, 0.005), ohmNoise(0.0, 1e-4);
    for (int points = 4; points <= 9; ++points) {
        double worst = 0, sumSquares = 0;
        int n = 0;
        for (int probe = 0; probe < 200; ++probe) {
            QVector<double> t, r;
            for (int k = 0; k < points; ++k) {
                const double c = 100.0 * k / (points - 1);
                t.append(c + refNoise(random));
                r.append(TestData::resistanceAt(truth, c) * (1.0 + ohmNoise(random)));
            }
            ThermistorCoefficients fit;
            QVERIFY(fitThermistor(t, r, fit));
            const ThermistorCoefficients stored{coefficientText(fit.b0).toDouble(), coefficientText(fit.b1).toDouble(),
                                                coefficientText(fit.b2).toDouble(), coefficientText(fit.b3).toDouble()};
            for (double c = 0; c <= 100; c += 1) {
                const double e = thermistorTemperature(stored, TestData::resistanceAt(truth, c)) - c;
                worst = qMax(worst, qAbs(e));
                sumSquares += e * e;
                ++n;
            }
        }
        qInfo("with noise, %d points: rms error %.4f K, worst %.4f K over 200 probes", points,
              std::sqrt(sumSquares / n), worst);
        QVERIFY(worst < 0.05);
    }
}

void TestAnalysis::thermistorProbeSetFitRefusesBadData()
{
    const ThermistorCoefficients truth = TestData::typicalNtc();
    QStringList references;
    QVector<QStringList> readings;
    for (int k = 0; k < 5; ++k) {
        references.append(QString::number(25.0 * k, 'f', 4));
        readings.append({QString::number(TestData::resistanceAt(truth, 25.0 * k), 'f', 3)});
    }
    QVERIFY(fitProbeSet(references, readings, 1).ok);

    auto refused = [](const ProbeSetFit &fit) {
        return !fit.ok && fit.b0.isEmpty() && fit.message == QStringLiteral("数据错误，校准失败!");
    };
    QVector<QStringList> wrongCount = readings;
    wrongCount[2].append("1000");
    QVERIFY(refused(fitProbeSet(references, wrongCount, 1)));
    QVector<QStringList> notNumber = readings;
    notNumber[1][0] = "";
    QVERIFY(refused(fitProbeSet(references, notNumber, 1)));
    QVector<QStringList> negative = readings;
    negative[1][0] = "-5";
    QVERIFY(refused(fitProbeSet(references, negative, 1)));
    QVERIFY(refused(fitProbeSet(references.mid(0, 3), readings.mid(0, 3), 1)));
    QVERIFY(refused(fitProbeSet(references.mid(0, 4), readings.mid(0, 5), 1)));
    QVector<QStringList> repeated = readings;
    repeated[4] = repeated[3];
    repeated[2] = repeated[1];
    QVERIFY(refused(fitProbeSet(references, repeated, 1)));  // three distinct resistances
}

void TestAnalysis::verificationVerdicts()
{
    // Exactly 0.1 passes, 0.1001 fails; reference minus probe either way.
    const ProbeSetVerdict v = verifyProbeSet({"25.1000", "60.0000"}, {{"25.000000", "25.099900"}, {"60.100000", "59.899900"}}, 2);
    QVERIFY(v.ok);
    QCOMPARE(v.verdicts, QStringList({"合格", "不合格"}));
    QCOMPARE(v.details, QStringList({"", "59.900℃ "}));
    QCOMPARE(v.message, QStringLiteral("校准结果为：\n通道1:合格 \n通道2:不合格 59.900℃ "));

    const ProbeSetVerdict bad = verifyProbeSet({"25.1000"}, {{"25.0"}}, 2);
    QVERIFY(!bad.ok);
    QCOMPARE(bad.message, QStringLiteral("数据错误，验证失败!"));

    // Values are compared as printed with four decimals: 25.09996 prints as 25.1000, 0.1 off.
    const ProbeSetVerdict printed = verifyProbeSet({"25.2000"}, {{"25.099960", "25.099940"}}, 2);
    QCOMPARE(printed.verdicts, QStringList({"合格", "不合格"}));
    QVERIFY(!manualVerificationPasses(25.2, 25.09996));
    QVERIFY(!manualVerificationPasses(25.2, 25.10004));   // 0.09996, printed 0.1000
    QVERIFY(manualVerificationPasses(25.2, 25.10006));

    // Manual verification fails at exactly 0.1.
    QVERIFY(!manualVerificationPasses(25.1, 25.0));
    QVERIFY(!manualVerificationPasses(0.3, 0.2));
    QVERIFY(manualVerificationPasses(25.1, 25.0001));
    QCOMPARE(manualVerificationLine(3, 25.1, 25.0), QStringLiteral("通道3不合格  误差为：0.100℃ "));
    QCOMPARE(manualVerificationLine(1, 25.1, 25.05), QStringLiteral("通道1合格  误差为：0.050℃ "));
}

QTEST_GUILESS_MAIN(TestAnalysis)
#include "tst_analysis.moc"
