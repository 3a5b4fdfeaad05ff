// Overshoot, settling, fixed-time deviations, interpolated and maximum rates, and the verdicts
// against a cycler's profile: against shapes whose figures are known in closed form and against
// runs of the simulator's block model, whose noise-free wells give the truth.

#include "AnalysisTestData.h"

#include "analysis/Performance.h"
#include "analysis/PerformanceVerdict.h"
#include "analysis/Segmentation.h"

#include "BlockModel.h"

#include <QtTest>

#include <cmath>
#include <functional>

using namespace Analysis;

namespace {

// Sixteen well offsets with a zero mean, so the block mean follows the shape itself.
QVector<double> wellOffsets()
{
    QVector<double> offsets;
    for (int w = 0; w < 8; ++w) {
        const double o = 0.02 * (w + 1) * (w % 2 ? 1 : -1);
        offsets << o << -o;
    }
    return offsets;
}

// Samples of `shape` (℃ at second t) every `interval` seconds from 0 to `duration`, one value per
// well: the shape plus the well's offset, delayed by the well's lag.
QVector<RunSample> shapedRun(const std::function<double(double)> &shape, double duration, double interval,
                             const QVector<double> &offsets, const QVector<double> &lags = {})
{
    QVector<QVector<double>> rows;
    for (int i = 0; i * interval <= duration + 1e-9; ++i) {
        QVector<double> row;
        for (int w = 0; w < offsets.size(); ++w)
            row << shape(i * interval - (w < lags.size() ? lags.at(w) : 0.0)) + offsets.at(w);
        rows << row;
    }
    return TestData::makeRun(rows, interval);
}

// The samples of `run` within [from, to] seconds from its start, as one segment.
Segment segmentOf(const QVector<RunSample> &run, double from, double to)
{
    Segment s;
    for (const RunSample &sample : run) {
        const double t = TestData::runStart().msecsTo(sample.time) / 1000.0;
        if (t >= from && t <= to)
            s << sample;
    }
    return s;
}

double secondsOf(const QDateTime &time)
{
    return TestData::runStart().msecsTo(time) / 1000.0;
}

double modelMean(const pcrsim::BlockModel &model, double t)
{
    double sum = 0;
    for (int w = 0; w < model.channels(); ++w)
        sum += model.wellTemperature(w, t);
    return sum / model.channels();
}

} // namespace

class TestPerformance : public QObject
{
    Q_OBJECT

private slots:
    void interpolatedTimes_data();
    void interpolatedTimes();

    void decayingOvershoot_data();
    void decayingOvershoot();
    void blockShortOfTheSetPointReachesItAtTheBand();
    void stepThatNeverSettles();
    void fixedTimeBeyondTheStep();

    void blockModelSteps_data();
    void blockModelSteps();

    void analyticRamps_data();
    void analyticRamps();
    void maximumRateOverWiderWindow();
    void rateWithoutCrossings();
    void blockModelRates_data();
    void blockModelRates();

    void limitsAtExactValues_data();
    void limitsAtExactValues();
    void overallVerdicts_data();
    void overallVerdicts();
    void printedFigures_data();
    void printedFigures();
};

// ---- interpolation -----------------------------------------------------------------------------

void TestPerformance::interpolatedTimes_data()
{
    QTest::addColumn<double>("t0");
    QTest::addColumn<double>("v0");
    QTest::addColumn<double>("t1");
    QTest::addColumn<double>("v1");
    QTest::addColumn<double>("level");
    QTest::addColumn<double>("expected");
    QTest::newRow("rising, a quarter in") << 10.0 << 54.0 << 11.0 << 58.0 << 55.0 << 10.25;
    QTest::newRow("falling") << 3.0 << 90.0 << 3.5 << 88.0 << 89.5 << 3.125;
    QTest::newRow("at the first sample") << 1.0 << 55.0 << 2.0 << 57.0 << 55.0 << 1.0;
    QTest::newRow("at the second sample") << 1.0 << 53.0 << 2.0 << 55.0 << 55.0 << 2.0;
    QTest::newRow("flat: the later sample") << 1.0 << 55.0 << 2.0 << 55.0 << 55.0 << 2.0;
    QTest::newRow("level outside: clamped") << 1.0 << 50.0 << 2.0 << 52.0 << 60.0 << 2.0;
}

void TestPerformance::interpolatedTimes()
{
    QFETCH(double, t0);
    QFETCH(double, v0);
    QFETCH(double, t1);
    QFETCH(double, v1);
    QFETCH(double, level);
    QFETCH(double, expected);
    QCOMPARE(interpolatedTime(t0, v0, t1, v1, level), expected);
}

// ---- steps -------------------------------------------------------------------------------------

void TestPerformance::decayingOvershoot_data()
{
    QTest::addColumn<bool>("heating");
    QTest::addColumn<double>("interval");
    QTest::addColumn<double>("phase");   // of the shape against the samples, in intervals
    for (bool heating : {true, false})
        for (double interval : {1.0, 0.5, 0.3})
            for (double phase : {0.0, 0.37, 0.81})
                QTest::addRow("%s, %.1f s, phase %.2f", heating ? "heating" : "cooling", interval, phase)
                    << heating << interval << phase;
}

void TestPerformance::decayingOvershoot()
{
    // From 60 to 95 ℃ at 4 ℃/s (or back), going 0.8 ℃ past the set point and decaying back to
    // it with a time constant of 4 s: the set point is crossed 0.2 s before the peak, and the block
    // is within ±0.5 ℃ from 4 ln(0.8 / 0.5) s after the peak on.
    QFETCH(bool, heating);
    QFETCH(double, interval);
    QFETCH(double, phase);
    const double from = heating ? 60 : 95, set = heating ? 95 : 60, peak = 0.8, tau = 4, rate = 4;
    const int towards = heating ? 1 : -1;
    const double rampStart = 30 + phase * interval;
    const double peakAt = rampStart + (std::fabs(set - from) + peak) / rate;
    const auto shape = [=](double t) {
        if (t < rampStart)
            return from;
        if (t < peakAt)
            return from + towards * rate * (t - rampStart);
        return set + towards * peak * std::exp(-(t - peakAt) / tau);
    };
    const QVector<double> offsets = wellOffsets();
    const QVector<RunSample> run = shapedRun(shape, 120, interval, offsets);
    const QVector<Segment> segments{segmentOf(run, 70, 120)};
    PerformanceSettings settings;
    const QVector<StepPerformance> steps = stepPerformance(run, segments, {CycleStep{set, 1}}, 16, settings);
    QCOMPARE(steps.size(), 1);
    const StepPerformance &s = steps.first();

    QCOMPARE(s.heating, heating);
    QVERIFY(s.reached && s.crossed);
    const double crossing = peakAt - peak / rate;
    QVERIFY2(std::fabs(secondsOf(s.reachedTime) - crossing) <= interval,
             qPrintable(QString("reached at %1 s, crossing at %2 s").arg(secondsOf(s.reachedTime)).arg(crossing)));
    // The highest sample lies within one interval after the peak (or on the ramp just before it).
    const double lowest = peak * std::exp(-interval / tau);
    QVERIFY2(s.overshoot >= lowest - 1e-9 && s.overshoot <= peak + 1e-9, qPrintable(QString::number(s.overshoot)));
    double largest = 0;
    int worst = 0;
    for (int w = 0; w < offsets.size(); ++w) {
        if (towards * offsets.at(w) > largest) {
            largest = towards * offsets.at(w);
            worst = w;
        }
    }
    QCOMPARE(s.worstWell, worst);
    QVERIFY(s.wellOvershoot >= lowest + largest - 1e-9 && s.wellOvershoot <= peak + largest + 1e-9);

    const double settling = (peakAt - crossing) + tau * std::log(peak / settings.band);
    QVERIFY2(std::fabs(s.settlingTime - settling) <= interval / 2,
             qPrintable(QString("settling %1 s, expected %2 s").arg(s.settlingTime).arg(settling)));

    // A fixed time after reaching, every well is its offset plus what is left of the decay.
    QCOMPARE(s.atTimes.size(), 2);
    double smallestOffset = 1e9, largestOffset = -1e9;
    for (double o : offsets) {
        smallestOffset = qMin(smallestOffset, o);
        largestOffset = qMax(largestOffset, o);
    }
    for (const FixedTimeFigures &f : s.atTimes) {
        QVERIFY(f.available);
        const double at = secondsOf(s.reachedTime) + f.after;
        const double left = shape(at) - set;
        QVERIFY2(std::fabs(f.meanDeviation - left) < 0.005,
                 qPrintable(QString("%1 s: mean deviation %2, expected %3").arg(f.after).arg(f.meanDeviation).arg(left)));
        QVERIFY(std::fabs(f.spread - (largestOffset - smallestOffset)) < 1e-6);
        for (int w = 0; w < offsets.size(); ++w)
            QVERIFY(std::fabs(f.deviations.at(w) - (left + offsets.at(w))) < 0.005);
    }
}

void TestPerformance::blockShortOfTheSetPointReachesItAtTheBand()
{
    // A block that creeps up to 94.8 ℃ never crosses 95: it counts as reached where it enters the
    // band, has nothing past the set point and is settled from there on.
    const auto shape = [](double t) { return t < 10 ? 60.0 : 94.8 - 34.8 * std::exp(-(t - 10) / 3); };
    const QVector<RunSample> run = shapedRun(shape, 100, 1.0, QVector<double>(4, 0.0));
    const QVector<StepPerformance> steps =
        stepPerformance(run, {segmentOf(run, 60, 100)}, {CycleStep{95, 1}}, 4, PerformanceSettings());
    const StepPerformance &s = steps.first();
    QVERIFY(s.reached);
    QVERIFY(!s.crossed);
    // 94.5 ℃ is reached 3 ln(34.8 / 0.3) s after the ramp's start.
    QVERIFY(std::fabs(secondsOf(s.reachedTime) - (10 + 3 * std::log(34.8 / 0.3))) < 0.5);
    QCOMPARE(s.overshoot, 0.0);
    QCOMPARE(s.settlingTime, 0.0);
    QVERIFY(std::fabs(s.atTimes.at(1).meanDeviation + 0.2) < 0.01);
}

void TestPerformance::stepThatNeverSettles()
{
    // ±0.7 ℃ of ringing around the set point to the end of the step: reached, never settled,
    // and the settling time fails any limit.
    const auto shape = [](double t) { return t < 5 ? 60.0 : t < 13.75 ? 60 + 4 * (t - 5) : 95 + 0.7 * std::sin(t); };
    const QVector<RunSample> run = shapedRun(shape, 80, 0.5, QVector<double>(2, 0.0));
    const QVector<StepPerformance> steps =
        stepPerformance(run, {segmentOf(run, 40, 80)}, {CycleStep{95, 1}}, 2, PerformanceSettings());
    QVERIFY(steps.first().reached);
    QVERIFY(qIsNaN(steps.first().settlingTime));
    PerformanceProfile profile;
    profile.settlingTime = 1000;
    PerformanceResult result;
    result.steps = steps;
    bool judged = false;
    for (const PerformanceFigure &f : performanceFigures(result, profile)) {
        if (f.kind == FigureKind::SettlingTime) {
            QCOMPARE(f.verdict, Verdict::Fail);
            judged = true;
        }
    }
    QVERIFY(judged);
}

void TestPerformance::fixedTimeBeyondTheStep()
{
    // A step whose data ends 20 s after reaching has its 15 s figures and not its 30 s ones.
    const auto shape = [](double t) { return t < 5 ? 60.0 : qMin(95.0, 60 + 5 * (t - 5)); };
    const QVector<RunSample> run = shapedRun(shape, 32, 1.0, {0.1, -0.1});
    const QVector<StepPerformance> steps =
        stepPerformance(run, {segmentOf(run, 20, 32)}, {CycleStep{95, 1}}, 2, PerformanceSettings());
    const StepPerformance &s = steps.first();
    QCOMPARE(secondsOf(s.reachedTime), 12.0);
    QVERIFY(s.atTimes.at(0).available);
    QVERIFY(std::fabs(s.atTimes.at(0).spread - 0.2) < 1e-9);
    QVERIFY(!s.atTimes.at(1).available);
    QVERIFY(qIsNaN(s.atTimes.at(1).meanDeviation));
}

void TestPerformance::blockModelSteps_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<double>("damping");
    QTest::addColumn<double>("frequency");
    QTest::addColumn<double>("rate");
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<double>("interval");
    for (double interval : {1.0, 0.5}) {
        // The demo block: 0.8 ℃ past each heating step, settled within 2 s.
        for (quint64 seed : {1, 2})
            QTest::addRow("demo block, seed %llu, %.1f s", seed, interval)
                << "60:1,95:1,72:1" << 0.55 << 1.2 << 4.0 << seed << interval;
        // A slower block: 0.8 ℃ past 95 ℃, decaying with a 4 s time constant.
        QTest::addRow("4 s decay, %.1f s", interval) << "60:1,95:1,60:1" << 0.5 << 0.5 << 1.33 << quint64(3) << interval;
    }
}

void TestPerformance::blockModelSteps()
{
    QFETCH(QString, program);
    QFETCH(double, damping);
    QFETCH(double, frequency);
    QFETCH(double, rate);
    QFETCH(quint64, seed);
    QFETCH(double, interval);
    pcrsim::BlockModelConfig config = TestData::modelConfig(program, seed);
    config.damping = damping;
    config.naturalFrequency = frequency;
    config.heatingRate = config.coolingRate = rate;
    const pcrsim::BlockModel model(config);
    const QVector<RunSample> run = TestData::modelRun(model, model.firstCycleDuration(), interval);
    const QVector<CycleStep> steps = TestData::modelSteps(model);
    const AutoSegmentResult found = AutoSegment(0.1, steps, run, model.channels(), interval);
    QCOMPARE(found.outcome, AutoSegmentOutcome::Found);
    QVector<QDateTime> markers;
    for (int k = 0; k < steps.size(); ++k)
        markers << found.starts.at(k) << found.ends.at(k);
    const CutResult cut = cutSegments(markers, steps, run);
    QCOMPARE(cut.error, CutError::None);

    const PerformanceSettings settings;
    const QVector<StepPerformance> figures = stepPerformance(run, cut.segments, steps, model.channels(), settings);
    QCOMPARE(figures.size(), steps.size());
    const double meanNoise = 4 * config.noiseSigma / std::sqrt(double(model.channels()));
    double windowStart = 0;
    for (int k = 0; k < steps.size(); ++k) {
        const StepPerformance &s = figures.at(k);
        const double set = steps.at(k).temperature;
        const double windowEnd = secondsOf(cut.segments.at(k).last().time);
        // The truth: the noise-free wells every 5 ms over the same stretch of the run.
        const int towards = s.heating ? 1 : -1;
        double overshoot = 0, peakAt = windowStart, crossing = -1, outside = -1;
        for (double t = windowStart; t <= windowEnd; t += 0.005) {
            const double past = towards * (modelMean(model, t) - set);
            if (past > overshoot) {
                overshoot = past;
                peakAt = t;
            }
            if (crossing < 0 && past >= 0)
                crossing = t;
            if (crossing >= 0 && std::fabs(past) > settings.band)
                outside = t;
        }
        QVERIFY(crossing >= 0);
        QVERIFY(s.reached && s.crossed);
        // The sample nearest the peak lies within half an interval of it.
        double nearPeak = overshoot;
        for (double t = peakAt - interval / 2; t <= peakAt + interval / 2; t += 0.005)
            nearPeak = qMin(nearPeak, towards * (modelMean(model, t) - set));
        const double settling = outside < 0 ? 0 : outside - crossing;
        qInfo("step %d (%.0f ℃): overshoot %.3f ℃ (model %.3f), settling %.2f s (model %.2f)", k, set,
              s.overshoot, overshoot, s.settlingTime, settling);
        QVERIFY2(s.overshoot <= overshoot + meanNoise && s.overshoot >= nearPeak - meanNoise,
                 qPrintable(QString("overshoot %1, model %2").arg(s.overshoot).arg(overshoot)));
        QVERIFY2(std::fabs(s.settlingTime - settling) <= interval / 2,
                 qPrintable(QString("settling %1 s, model %2 s").arg(s.settlingTime).arg(settling)));
        QVERIFY(std::fabs(secondsOf(s.reachedTime) - crossing) <= interval);

        // A fixed time after reaching, each well against its noise-free temperature.
        for (const FixedTimeFigures &f : s.atTimes) {
            QVERIFY(f.available);
            const double at = secondsOf(s.reachedTime) + f.after;
            for (int w = 0; w < model.channels(); ++w) {
                const double truth = model.wellTemperature(w, at) - set;
                QVERIFY2(std::fabs(f.deviations.at(w) - truth) < 4 * config.noiseSigma + 0.01,
                         qPrintable(QString("well %1 at %2 s: %3, model %4").arg(w).arg(f.after)
                                        .arg(f.deviations.at(w)).arg(truth)));
            }
        }
        windowStart = windowEnd;
    }
}

// ---- rates -------------------------------------------------------------------------------------

void TestPerformance::analyticRamps_data()
{
    QTest::addColumn<double>("heating");
    QTest::addColumn<double>("cooling");
    QTest::addColumn<double>("interval");
    QTest::addColumn<double>("phase");
    for (double interval : {1.0, 0.5, 0.3})
        for (double phase : {0.0, 0.43})
            QTest::addRow("4.0 / 3.0 ℃/s, %.1f s, phase %.2f", interval, phase) << 4.0 << 3.0 << interval << phase;
    QTest::newRow("3.3 / 1.7 ℃/s, 1 s") << 3.3 << 1.7 << 1.0 << 0.2;
    QTest::newRow("2.2 / 2.9 ℃/s, 0.3 s") << 2.2 << 2.9 << 0.3 << 0.7;
}

void TestPerformance::analyticRamps()
{
    // 50 → 95 → 50 ℃ on straight ramps, each well with its own offset and lag: the crossings of
    // 55 and 90 ℃ fall between samples, and interpolated they give the ramps' rates exactly.
    QFETCH(double, heating);
    QFETCH(double, cooling);
    QFETCH(double, interval);
    QFETCH(double, phase);
    const double up = 20 + phase * interval, top = up + 45 / heating, down = top + 30, bottom = down + 45 / cooling;
    const auto shape = [=](double t) {
        if (t < up)
            return 50.0;
        if (t < top)
            return 50 + heating * (t - up);
        if (t < down)
            return 95.0;
        if (t < bottom)
            return 95 - cooling * (t - down);
        return 50.0;
    };
    QVector<double> lags;
    for (int w = 0; w < 16; ++w)
        lags << 0.05 * w;
    const QVector<RunSample> run = shapedRun(shape, bottom + 20, interval, wellOffsets(), lags);
    const RatePerformance r = ratePerformance(run, TestData::steps({50, 95, 50}), 16, 1.0);
    QVERIFY(r.hasData);
    QVERIFY2(std::fabs(r.heatingRate - heating) < 1e-6, qPrintable(QString::number(r.heatingRate, 'g', 12)));
    QVERIFY2(std::fabs(r.coolingRate - cooling) < 1e-6, qPrintable(QString::number(r.coolingRate, 'g', 12)));
    QVERIFY(std::fabs(r.heatingTime - 35 / heating) < 1e-6);
    QVERIFY(std::fabs(r.coolingTime - 35 / cooling) < 1e-6);
    // Over a one-second window the block mean never changes faster than the ramps.
    QVERIFY2(std::fabs(r.maxHeatingRate - heating) < 1e-6, qPrintable(QString::number(r.maxHeatingRate, 'g', 12)));
    QVERIFY(std::fabs(r.maxCoolingRate - cooling) < 1e-6);
}

void TestPerformance::maximumRateOverWiderWindow()
{
    // A 2 s window over a ramp of 1 s at 6 ℃/s between holds: 6 ℃ in 2 s, 3 ℃/s at the most;
    // samples 0.25 s apart are interpolated to the window's end.
    const auto shape = [](double t) { return t < 10.1 ? 60.0 : t < 11.1 ? 60 + 6 * (t - 10.1) : 66.0; };
    const QVector<RunSample> run = shapedRun(shape, 20, 0.25, {0.0});
    double heating = 0, cooling = 0;
    maximumRates(run, 1, 2.0, &heating, &cooling);
    QVERIFY(std::fabs(heating - 3.0) < 1e-9);
    QCOMPARE(cooling, 0.0);
    maximumRates(run, 1, 0.5, &heating, &cooling);
    QVERIFY(std::fabs(heating - 6.0) < 1e-9);
    // Samples further apart than the window: the rate over the gap.
    maximumRates(TestData::makeRun({{60}, {62}, {61}}, 2.0), 1, 1.0, &heating, &cooling);
    QCOMPARE(heating, 1.0);
    QCOMPARE(cooling, 0.5);
    maximumRates(TestData::makeRun({{60}}), 1, 1.0, &heating, &cooling);
    QVERIFY(qIsNaN(heating) && qIsNaN(cooling));
}

void TestPerformance::rateWithoutCrossings()
{
    // Never above T2 − 5: no rates, whatever the other probes do; too few steps: none either.
    const QVector<RunSample> run = TestData::makeRun({{50, 50}, {70, 70}, {92, 88}, {50, 50}});
    QVERIFY(!ratePerformance(run, TestData::steps({50, 95, 50}), 2, 1.0).hasData);
    const QVector<RunSample> both = TestData::makeRun({{50, 50}, {70, 70}, {92, 92}, {50, 50}});
    QVERIFY(ratePerformance(both, TestData::steps({50, 95, 50}), 2, 1.0).hasData);
    QVERIFY(!ratePerformance(both, TestData::steps({50, 95}), 2, 1.0).hasData);
    QVERIFY(!ratePerformance({}, TestData::steps({50, 95, 50}), 2, 1.0).hasData);
}

void TestPerformance::blockModelRates_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<double>("interval");
    for (quint64 seed : {1, 2})
        for (double interval : {1.0, 0.3})
            QTest::addRow("seed %llu, %.1f s", seed, interval) << seed << interval;
}

void TestPerformance::blockModelRates()
{
    // The block ramps its set point at 4 ℃/s up and 3 ℃/s down and follows it with a lag: between
    // 55 and 90 ℃ it moves at the set point's rate, and the interpolated crossings find it.
    QFETCH(quint64, seed);
    QFETCH(double, interval);
    const pcrsim::BlockModelConfig config = TestData::modelConfig("50:1,95:1,50:1", seed);
    const pcrsim::BlockModel model(config);
    const QVector<RunSample> run = TestData::modelRun(model, model.firstCycleDuration(), interval);
    const RatePerformance r = ratePerformance(run, TestData::modelSteps(model), model.channels(), 1.0);
    QVERIFY(r.hasData);
    // The steepest second of the noise-free block mean.
    double steepestUp = 0, steepestDown = 0;
    for (double t = 0; t + 1 <= model.firstCycleDuration(); t += 0.01) {
        const double d = modelMean(model, t + 1) - modelMean(model, t);
        steepestUp = qMax(steepestUp, d);
        steepestDown = qMax(steepestDown, -d);
    }
    qInfo("heating %.3f ℃/s (max %.3f, model %.3f), cooling %.3f ℃/s (max %.3f, model %.3f)", r.heatingRate,
          r.maxHeatingRate, steepestUp, r.coolingRate, r.maxCoolingRate, steepestDown);
    QVERIFY(std::fabs(r.heatingRate - config.heatingRate) < 0.03 * config.heatingRate);
    QVERIFY(std::fabs(r.coolingRate - config.coolingRate) < 0.03 * config.coolingRate);
    QVERIFY(std::fabs(r.maxHeatingRate - steepestUp) < 0.02 * steepestUp + 0.02);
    QVERIFY(std::fabs(r.maxCoolingRate - steepestDown) < 0.02 * steepestDown + 0.02);
}

// ---- verdicts ----------------------------------------------------------------------------------

void TestPerformance::limitsAtExactValues_data()
{
    QTest::addColumn<int>("test");   // 0 at most, 1 at least, 2 within ±
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("limit");
    QTest::addColumn<int>("expected");
    const int pass = int(Verdict::Pass), fail = int(Verdict::Fail), none = int(Verdict::NotJudged);
    // Differences of readings land a hair either side of the limit as written.
    QTest::newRow("overshoot 95.8 - 95 at 0.8") << 0 << 95.8 - 95.0 << 0.8 << pass;
    QTest::newRow("overshoot 96.1 - 95.3 at 0.8") << 0 << 96.1 - 95.3 << 0.8 << pass;
    QTest::newRow("overshoot 0.8001 over 0.8") << 0 << 0.8001 << 0.8 << fail;
    QTest::newRow("settling 10.0 at 10") << 0 << 10.3 - 0.3 << 10.0 << pass;
    QTest::newRow("no limit") << 0 << 5.0 << qQNaN() << none;
    QTest::newRow("figure missing") << 0 << qQNaN() << 0.8 << fail;
    QTest::newRow("rate 3.0 at 3.0") << 1 << 35.0 / (35.0 / 3.0) << 3.0 << pass;
    QTest::newRow("rate 0.7 * 3 at 2.1") << 1 << 0.7 * 3 << 2.1 << pass;
    QTest::newRow("rate 2.9999 under 3") << 1 << 2.9999 << 3.0 << fail;
    QTest::newRow("rate missing") << 1 << qQNaN() << 3.0 << fail;
    QTest::newRow("deviation -0.25 at ±0.25") << 2 << 94.75 - 95.0 << 0.25 << pass;
    QTest::newRow("deviation +0.25 at ±0.25") << 2 << 72.25 - 72.0 << 0.25 << pass;
    QTest::newRow("deviation -0.2501 over ±0.25") << 2 << -0.2501 << 0.25 << fail;
}

void TestPerformance::limitsAtExactValues()
{
    QFETCH(int, test);
    QFETCH(double, value);
    QFETCH(double, limit);
    QFETCH(int, expected);
    const Verdict v = test == 0 ? atMost(value, limit) : test == 1 ? atLeast(value, limit) : withinPlusMinus(value, limit);
    QCOMPARE(int(v), expected);
}

void TestPerformance::overallVerdicts_data()
{
    QTest::addColumn<bool>("profile");
    QTest::addColumn<double>("overshootLimit");
    QTest::addColumn<double>("coolingLimit");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("failures");
    const int pass = int(Verdict::Pass), fail = int(Verdict::Fail), none = int(Verdict::NotJudged);
    QTest::newRow("every figure within") << true << 0.8 << 2.0 << pass << 0;
    QTest::newRow("overshoot at its limit") << true << 0.6 << 2.0 << pass << 0;
    QTest::newRow("overshoot past the limit") << true << 0.59 << 2.0 << fail << 1;
    QTest::newRow("cooling too slow") << true << 0.8 << 3.5 << fail << 2;
    QTest::newRow("a limit missing") << true << qQNaN() << 2.0 << none << 0;
    QTest::newRow("no profile") << false << 0.8 << 2.0 << none << 0;
}

void TestPerformance::overallVerdicts()
{
    QFETCH(bool, profile);
    QFETCH(double, overshootLimit);
    QFETCH(double, coolingLimit);
    QFETCH(int, expected);
    QFETCH(int, failures);
    PerformanceResult result;
    StepPerformance step;
    step.setTemperature = 95;
    step.reached = step.crossed = true;
    step.overshoot = 0.6;
    step.wellOvershoot = 0.5;
    step.worstWell = 3;
    step.settlingTime = 2.5;
    FixedTimeFigures at;
    at.after = 15;
    at.available = true;
    at.meanDeviation = -0.1;
    at.spread = 0.3;
    step.atTimes << at;
    result.steps << step;
    result.rate.hasData = true;
    result.rate.heatingRate = result.rate.maxHeatingRate = 4.0;
    result.rate.coolingRate = 3.0;
    result.rate.maxCoolingRate = 3.4;

    PerformanceProfile limits;
    if (profile) {
        limits.accuracy = 0.2;
        limits.uniformity = 0.5;
        limits.heatingRate = 3.0;
        limits.coolingRate = coolingLimit;
        limits.overshoot = overshootLimit;
        limits.settlingTime = 5;
    }
    const QVector<PerformanceFigure> figures = performanceFigures(result, limits);
    // Overshoot, worst well, settling, deviation and spread at 15 s, four rates.
    QCOMPARE(figures.size(), 9);
    QCOMPARE(int(overallVerdict(figures)), expected);
    int failed = 0;
    for (const PerformanceFigure &f : figures) {
        failed += f.verdict == Verdict::Fail;
        if (!profile)
            QCOMPARE(f.verdict, Verdict::NotJudged);
    }
    QCOMPARE(failed, failures);
    QCOMPARE(overallVerdict({}), Verdict::NotJudged);
}

void TestPerformance::printedFigures_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("heating");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("limit");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("valueText");
    QTest::addColumn<QString>("limitText");
    QTest::addColumn<QString>("unitText");
    QTest::newRow("overshoot") << int(FigureKind::Overshoot) << true << 0.808 << 1.0 << "℃" << "过冲" << "0.81"
                               << "≤1.00" << "℃";
    QTest::newRow("undershoot in ℉") << int(FigureKind::Overshoot) << false << 0.5 << 1.0 << "℉" << "下冲" << "0.90"
                                     << "≤1.80" << "℉";
    QTest::newRow("deviation") << int(FigureKind::MeanDeviation) << true << -0.123 << 0.25 << "℃"
                               << "平均偏差（15 s）" << "-0.12" << "±0.25" << "℃";
    QTest::newRow("settling") << int(FigureKind::SettlingTime) << true << 1.94 << 10.0 << "℉" << "稳定时间" << "1.9"
                              << "≤10.0" << "s";
    QTest::newRow("never settled") << int(FigureKind::SettlingTime) << true << qQNaN() << 10.0 << "℃" << "稳定时间"
                                   << "未稳定" << "≤10.0" << "s";
    QTest::newRow("rate in ℉") << int(FigureKind::MaxCoolingRate) << false << 3.0 << 2.5 << "℉" << "最大降温速率"
                               << "5.40" << "≥4.50" << "℉/s";
    QTest::newRow("no limit") << int(FigureKind::Spread) << true << 0.3 << qQNaN() << "℃" << "均匀度（15 s）"
                              << "0.30" << "" << "℃";
}

void TestPerformance::printedFigures()
{
    QFETCH(int, kind);
    QFETCH(bool, heating);
    QFETCH(double, value);
    QFETCH(double, limit);
    QFETCH(QString, unit);
    QFETCH(QString, name);
    QFETCH(QString, valueText);
    QFETCH(QString, limitText);
    QFETCH(QString, unitText);
    PerformanceFigure f;
    f.kind = FigureKind(kind);
    f.heating = heating;
    f.after = 15;
    f.value = value;
    f.limit = limit;
    QCOMPARE(figureName(f), name);
    QCOMPARE(figureValueText(f, unit, 2), valueText);
    QCOMPARE(figureLimitText(f, unit, 2), limitText);
    QCOMPARE(figureUnit(f, unit), unitText);
}

QTEST_GUILESS_MAIN(TestPerformance)
#include "tst_performance.moc"
