// Acquisition runs through the real calibration page against pcrsim (offscreen).
//   bench_calibration cpu [seconds]              CPU use of the process and its threads during a 0.3 s,
//                                                16-probe run (default 60 s); the page is shown, so the
//                                                chart paints
//   bench_calibration drift [seconds] [interval] how far the reads move off start + i × interval
//                                                (default 600 s at 0.3 s)
//   bench_calibration demo                       the demo workspace's two-phase run (about 8 min), then
//                                                the analysis cuts plateaus and ramps from the stored rows

#include "../../tests/support/Workspace.h"
#include "../../tests/instruments/SimHarness.h"
#include "../acquisition/ThreadCpu.h"

#include "analysis/CycleFile.h"
#include "analysis/Rate.h"
#include "analysis/RunData.h"
#include "analysis/Segmentation.h"
#include "analysis/Uniformity.h"
#include "app/messages.h"
#include "calibration/Calibration.h"
#include "chart/ChartView.h"
#include "CalibrationDemo.h"
#include "store/datawords.h"
#include "store/queries.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double cpuMs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double steadyMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Bench
{
    Workspace ws;
    PcrSim sim;
    MessageRecorder recorder;

    bool setUp(const QStringList &simArgs, const QString &program)
    {
        if (!Tool::openDatabase() || !sim.start(QStringList{"--collector-tcp", "0"} + simArgs))
            return false;
        Tool::Struct_UesrManagement u;
        u.Name = QStringLiteral("bench");
        u.setAllRights(true);
        Tool::CurrentUser = u;
        Tool::TemperatureUnit = QStringLiteral("℃");
        CalibrationDemo::Options o;
        o.port = sim.tcpPort;
        o.program = program;
        QString error;
        if (!CalibrationDemo::registerRecords(o, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
        recorder.setDefaultAnswer(QMessageBox::Save);
        return true;
    }

    static void fill(Calibration &page, const QString &name, int seconds, const QString &interval, bool uniformity,
                     bool rate)
    {
        const auto edit = [&](const char *n, const QString &t) { page.findChild<QLineEdit *>(n)->setText(t); };
        edit("lineEdit_ProjectName", name);
        edit("lineEdit_Company", "bench");
        edit("lineEdit_AmbientTemperature", "20");
        edit("lineEdit_AmbientHumidity", "50");
        edit("lineEdit_AmbientPressure", "1000");
        edit("lineEdit_Calibrated", "a");
        edit("lineEdit_Checked", "b");
        edit("lineEdit_Interval", interval);
        page.findChild<QTimeEdit *>("timeEdit_Long")->setTime(QTime(0, 0).addSecs(seconds));
        page.findChild<QCheckBox *>("checkBox_Uniformity")->setChecked(uniformity);
        page.findChild<QCheckBox *>("checkBox_Rate")->setChecked(rate);
    }

    static void waitWhile(const std::function<bool()> &condition)
    {
        while (condition())
            spin(50);
    }
};

int cpu(int seconds)
{
    Bench b;
    if (!b.setUp({}, "95:1,60:1,72:1"))
        return 1;
    Calibration page;
    page.resize(1300, 700);
    page.show();
    Bench::fill(page, "cpu", seconds, "0.3", true, false);

    int samples = 0;
    QObject::connect(page.acquisition(), &CalibrationRun::sampleTaken, &page, [&] { ++samples; });
    // The GUI thread in the run's events: the page's handling of each sample (the chart append)
    // and of the phase's end; painting comes later, from the event loop.
    auto *timing = static_cast<TimingApplication *>(qApp);
    timing->deliveries.clear();
    timing->watched = page.acquisition();

    ThreadCpuWatch threads;
    const double cpu0 = cpuMs(CLOCK_PROCESS_CPUTIME_ID), wall0 = steadyMs();
    const double gui0 = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    page.findChild<QPushButton *>("pushButton_StartUp")->click();
    Bench::waitWhile([&] { return page.isRunning(); });
    const double cpu1 = cpuMs(CLOCK_PROCESS_CPUTIME_ID), wall1 = steadyMs();
    const double gui1 = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    const auto used = threads.used();

    const double wall = wall1 - wall0, cpu = cpu1 - cpu0;
    std::printf("run of %d s at 0.3 s, 16 probes, page shown: %d samples in %.1f s\n", seconds, samples, wall / 1000);
    std::printf("process CPU %.0f ms = %.2f %% of one core; %.2f ms per sample\n", cpu, 100 * cpu / wall,
                cpu / std::max(1, samples));
    const double gui = gui1 - gui0 - threads.ownCpuMs();
    std::printf("  GUI thread (chart, paint) %.0f ms = %.2f %%\n", gui, 100 * gui / wall);
    for (const auto &t : used)
        std::printf("  thread %s %.0f ms = %.2f %%\n", qPrintable(t.first), t.second, 100 * t.second / wall);
    timing->watched = nullptr;
    std::vector<qint64> &d = timing->deliveries;
    std::sort(d.begin(), d.end());
    if (!d.empty())
        std::printf("  GUI thread in the run's events (chart append included): median %.3f ms, p99 %.3f ms, "
                    "max %.3f ms\n",
                    double(d[d.size() / 2]) / 1e6, double(d[size_t(d.size() * 0.99)]) / 1e6, double(d.back()) / 1e6);
    return 0;
}

int drift(int seconds, const QString &interval)
{
    Bench b;
    if (!b.setUp({}, "95:1,60:1,72:1"))
        return 1;
    Calibration page;
    Bench::fill(page, "drift", seconds, interval, false, true);
    QVector<double> emitted;
    QObject::connect(page.acquisition(), &CalibrationRun::sampleTaken, &page,
                     [&](int, const QStringList &, const QDateTime &time) { emitted << double(time.toMSecsSinceEpoch()); });
    page.findChild<QPushButton *>("pushButton_StartUp")->click();
    Bench::waitWhile([&] { return page.isRunning(); });

    const double step = interval.toDouble() * 1000;
    double worst = 0, sum = 0;
    QVector<double> offsets;
    for (int i = 0; i < emitted.size(); ++i) {
        const double d = emitted[i] - emitted[0] - i * step;
        offsets << d;
        worst = std::max(worst, std::fabs(d));
        sum += d;
    }
    std::sort(offsets.begin(), offsets.end());
    const int expected = int(std::floor(seconds / interval.toDouble() + 1e-9)) + 1;
    std::printf("run of %d s every %s s: %d reads (expected %d)\n", seconds, qPrintable(interval), int(emitted.size()), expected);
    if (!emitted.isEmpty())
        std::printf("read i at start + i × interval + d: last d = %+.1f ms, mean %+.1f ms, median %+.1f ms, "
                    "99th percentile %+.1f ms, largest |d| %.1f ms\n",
                    emitted.last() - emitted.first() - (emitted.size() - 1) * step, sum / emitted.size(),
                    offsets[offsets.size() / 2], offsets[int(offsets.size() * 0.99)], worst);
    return 0;
}

QVector<RunSample> samplesOf(const QString &name, const QString &model)
{
    QList<Tool::Struct_CalibrationData> rows;
    Tool::queryCalibrationData(rows, Queries::calibrationDataOf(name, model));
    if (rows.isEmpty())
        return {};
    QDateTime from, to;
    Analysis::parseSampleTime(rows.first().Time, from);
    Analysis::parseSampleTime(rows.last().Time, to);
    return Analysis::readRunWindow(
        rows, [](const auto &r) { return r.Time; }, [](const auto &r) { return r.Temperatures; }, 16, from, to);
}

int demo()
{
    const QString program = QStringLiteral("60:1,95:1,72:1");
    Bench b;
    if (!b.setUp({"--start-on-configure", "--program", program}, program))
        return 1;
    Calibration page;
    const int seconds = int(std::ceil(CalibrationDemo::firstPassSeconds(program))) + 15;
    Bench::fill(page, "demo", seconds, "1", true, true);
    auto *rate = page.findChild<QComboBox *>("comboBox_Rate");
    rate->setCurrentIndex(rate->findText(QStringLiteral("902--升降温演示")));
    auto *button = page.findChild<QPushButton *>("pushButton_StartUp");
    std::printf("demo run: two phases of %d s every 1 s\n", seconds);
    std::fflush(stdout);
    button->click();
    Bench::waitWhile([&] { return page.isRunning() || button->text() == QStringLiteral("停止"); });
    button->click();   // 继续
    Bench::waitWhile([&] { return page.isRunning(); });

    QList<Tool::Struct_CyclicFile> files;
    Tool::getCyclicFile(files, QString::fromLatin1(CalibrationDemo::UniformityFileNumber));
    const Analysis::CycleFileColumns columns{files.value(0).StepCount, files.value(0).SetTemperatures,
                                             files.value(0).HoldTimes};
    QVector<CycleStep> steps;
    Analysis::loadCycleFile(&columns, Analysis::CycleFileRole::Rate, steps);

    const QVector<RunSample> uniformity = samplesOf("demo", DataWords::uniformityItem());
    const QVector<RunSample> rates = samplesOf("demo", DataWords::rateItem());
    std::printf("stored: %d uniformity rows, %d rate rows\n", int(uniformity.size()), int(rates.size()));

    const Analysis::AutoSegmentResult cut = Analysis::AutoSegment(0.1, steps, uniformity, 16, 1.0);
    if (cut.outcome != Analysis::AutoSegmentOutcome::Found) {
        std::printf("automatic plateau detection FAILED\n");
        return 1;
    }
    QVector<QDateTime> markers;
    for (int k = 0; k < cut.starts.size(); ++k) {
        markers << cut.starts[k] << cut.ends[k];
        std::printf("plateau %g ℃: %s .. %s\n", steps[k].temperature, qPrintable(cut.starts[k].toString("hh:mm:ss")),
                    qPrintable(cut.ends[k].toString("hh:mm:ss")));
    }
    const Analysis::CutResult segments = Analysis::cutSegments(markers, steps, uniformity);
    if (segments.error != Analysis::CutError::None) {
        std::printf("cutting FAILED: %s\n", qPrintable(Analysis::cutErrorText(segments.error)));
        return 1;
    }
    QVector<UniformityRow> result;
    if (Analysis::UniformityAnalysisData(uniformity, segments.segments, steps, 16, result) != 0) {
        std::printf("uniformity FAILED\n");
        return 1;
    }
    for (const UniformityRow &row : result)
        std::printf("set %.1f ℃: mean %.3f ℃, range %.3f ℃, deviation %+.3f ℃\n", row[0], row.last(),
                    row[row.size() - 2], row.last() - row[0]);

    Analysis::RateResult r;
    const int code = Analysis::RateAnalysisData(rates, steps, 16, 1.0, r);
    std::printf("rates (code %d): heating %.2f → %.2f ℃ in %d s = %.2f ℃/s; cooling %.2f → %.2f ℃ in %d s = %.2f ℃/s\n",
                code, r.heatingStart, r.heatingEnd, r.heatingTime, r.heatingRate, r.coolingStart, r.coolingEnd,
                r.coolingTime, r.coolingRate);
    return code == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &m) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", qPrintable(m));
    });
    const QStringList args = app.arguments();
    const QString mode = args.value(1, QStringLiteral("cpu"));
    if (mode == QLatin1String("cpu"))
        return cpu(args.value(2, QStringLiteral("60")).toInt());
    if (mode == QLatin1String("drift"))
        return drift(args.value(2, QStringLiteral("600")).toInt(), args.value(3, QStringLiteral("0.3")));
    if (mode == QLatin1String("demo"))
        return demo();
    std::fprintf(stderr, "usage: bench_calibration cpu [seconds] | drift [seconds] [interval] | demo\n");
    return 2;
}
