// Probe sets: reading the coefficients of 16 channels out of the collector (pcrsim over TCP and a
// pseudo-terminal, on the worker as the add dialog does it), and the GUI-thread work around it:
// filling the table with what was read, reading a coefficient file, checking and storing a set.
//   bench_standardizer [repeats]   (default 10; run with QT_QPA_PLATFORM=offscreen)

#include "../../tests/instruments/SimHarness.h"
#include "app/messages.h"
#include "instruments/Collection1611A.h"
#include "registry/StandardizerAdd.h"
#include "registry/StandardizerImport.h"
#include "store/tool.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Times
{
    double median = 0, max = 0;
};

template<class F>
Times measure(int repeats, F &&f)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The store logs every statement it runs: not wanted between the figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    const int repeats = argc > 1 ? std::max(1, QString::fromLatin1(argv[1]).toInt()) : 10;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    if (!Tool::openDatabase()) {
        std::fprintf(stderr, "no database\n");
        return 1;
    }
    Tool::CurrentUser.setAllRights(true);

    PcrSim sim;
    if (!sim.start({"--collector-tcp", "0", "--collector-pty"})) {
        std::fprintf(stderr, "pcrsim did not start\n");
        return 1;
    }
    std::printf("%-34s %10s %10s\n", "16 channels read (worker)", "median ms", "max ms");
    const std::vector<std::pair<const char *, LinkSettings>> links = {
        {"TCP", LinkSettings::network(QStringLiteral("127.0.0.1"), sim.tcpPort.toInt())},
        {"pseudo-terminal 9600 Bd", LinkSettings::serial(sim.ptyPath, 9600)}};
    StandardizerRules::Columns columns;
    for (const auto &[name, link] : links) {
        Collection1611A collector;
        StopWait stop;
        bool ok = true;
        const Times t = measure(repeats, [&] {
            const auto r = inWorker([&] { return StandardizerImport::fromCollector(collector, link, 16, stop); });
            ok = ok && r.outcome == StandardizerImport::Result::Done;
            columns = r.columns;
        });
        std::printf("%-34s %10.1f %10.1f%s\n", name, t.median, t.max, ok ? "" : "  (a read failed)");
    }

    std::printf("\n%-34s %10s %10s\n", "GUI thread", "median ms", "max ms");
    MessageRecorder boxes;   // a failure would otherwise wait for a click
    StandardizerAdd editor;
    editor.findChild<QComboBox *>("comboBox_CHNumber")->setCurrentText("16");
    editor.findChild<QPushButton *>("pushButton_Set")->click();
    Times t = measure(repeats, [&] { editor.AddData_slots(columns[0], columns[1], columns[2], columns[3]); });
    std::printf("%-34s %10.2f %10.2f\n", "table filled with 16 channels", t.median, t.max);

    const QString file = dir.filePath(QStringLiteral("probes.ini"));
    StandardizerRules::writeFile(file, columns);
    StandardizerAdd::chooseFile = [&](QWidget *, const QString &, const QString &) { return file; };
    t = measure(repeats, [&] { editor.pt_Import_clicked(); });
    std::printf("%-34s %10.2f %10.2f\n", "coefficient file read, checked", t.median, t.max);

    int n = 0;
    t = measure(repeats, [&] {
        const StandardizerRules::Rows rows = editor.rows();
        StandardizerRules::Fault fault;
        const auto free = [](const QString &) { return false; };
        const QString number = QStringLiteral("B%1").arg(++n);
        if (StandardizerRules::checkNew(number, number, rows, free, free, &fault) == StandardizerRules::Check::Ok)
            Tool::addStandardizer(StandardizerRules::record(number, number, rows, QDateTime::currentDateTime()));
    });
    std::printf("%-34s %10.2f %10.2f\n", "set checked and stored", t.median, t.max);
    if (!boxes.isEmpty())
        std::printf("messages: %s\n", qPrintable(boxes.texts().join(QLatin1Char('|'))));
    return 0;
}
