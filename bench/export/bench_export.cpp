// Exports of a day-long project: 24 hours of 16 probes at 1 s (86,400 samples), plus a short rate
// run. Each stage runs in its own process so its peak memory is its own; prints time and peak
// resident memory (VmHWM) per stage. "page" opens the project on the data export page (offscreen;
// read on the page's worker) and draws it; "confirm" fills the plateau confirmation as a
// certificate export does; "record" writes the original record with the picture of the run.
//
//   bench_export [hours]            builds the workspace in a temporary folder, then runs the stages
//   bench_export --stage NAME DIR   one stage on an existing workspace (used by the driver)
//   bench_export --workspace DIR [hours]   only builds the workspace in DIR (to look at it in pcrcal)

#include "ExportFixture.h"

#include "chart/ChartView.h"
#include "exportui/DataExport.h"
#include "exportui/DataExportConfirm.h"
#include "reports/ExportJob.h"
#include "reports/ReportTemplates.h"
#include "store/tool.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTableWidget>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QString project = QStringLiteral("DAY-16");

double peakMiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

int stage(const QString &name, const QString &folder)
{
    ReportTemplates::setDirectory(QStringLiteral(PCR_TEMPLATE_DIR));
    if (!Tool::openDatabase(QDir(folder).filePath(Tool::DatabaseFileName)))
        return 1;
    Tool::TemperatureUnit = QStringLiteral("℃");
    Tool::TemperatureAccuracy = 2;
    QList<Tool::Struct_Calibration> list;
    Tool::getCalibration(list, project);
    const double base = peakMiB();
    QElapsedTimer timer;
    timer.start();
    if (name == QLatin1String("page")) {
        Tool::CurrentUser.setAllRights(true);
        DataExport page;
        page.resize(1300, 800);
        page.show();
        QCoreApplication::processEvents();
        const qint64 built = timer.elapsed();
        auto *table = page.findChild<QTableWidget *>();
        int row = 0;
        while (row < table->rowCount() && table->item(row, 0)->text() != project)
            ++row;
        timer.restart();
        page.openRow(row);   // read on the page's worker
        while (page.isLoading())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        const qint64 opened = timer.elapsed();
        page.chart()->grab();   // one full drawing of the 16 curves
        std::printf("%-12s build %6lld ms  open %6lld ms  open+draw %6lld ms  points %d x %d  peak %6.1f MiB (%.1f before)\n",
                    qPrintable(name), built, opened, timer.elapsed(), page.chart()->seriesCount(),
                    page.chart()->seriesPoints(0).size(), peakMiB(), base);
        return 0;
    }
    if (name == QLatin1String("confirm")) {
        ExportJob job(ExportJob::CertificateMode, QStringLiteral("Word"), list.value(0));
        job.LoadCycleFiles();
        job.LoadRunData(ExportJob::wholeRunFrom(), ExportJob::wholeRunTo());
        const qint64 loaded = timer.elapsed();
        timer.restart();
        DataExportConfirm dialog;
        dialog.resize(1200, 760);
        dialog.show();
        dialog.SetData(list.value(0), Tool::TemperatureUnit, job.uniformitySamples(), job.uniformitySteps());
        dialog.chart()->grab();
        std::printf("%-12s load %6lld ms  chart+markers+draw %6lld ms  markers %d  peak %6.1f MiB (%.1f before)\n",
                    qPrintable(name), loaded, timer.elapsed(), dialog.chart()->VerticalLineCount(), peakMiB(), base);
        return 0;
    }
    int mode = ExportJob::CertificateMode;
    QString format = QStringLiteral("Word"), file = QStringLiteral("certificate.docx");
    if (name == QLatin1String("pdf")) {
        format = QStringLiteral("PDF");
        file = QStringLiteral("certificate.pdf");
    } else if (name == QLatin1String("record")) {
        mode = ExportJob::OriginalRecordMode;   // with the picture of the whole run
        file = QStringLiteral("record.docx");
    } else if (name == QLatin1String("raw")) {
        mode = ExportJob::RawDataMode;
        format = QStringLiteral("Excel");
        file = QStringLiteral("raw.xlsx");
    }
    ExportJob job(mode, format, list.value(0));
    QString message;
    if (!job.prepare(ExportJob::wholeRunFrom(), ExportJob::wholeRunTo(), 0.1, nullptr, &message)) {
        std::printf("%-12s refused: %s\n", qPrintable(name), qPrintable(message));
        return 1;
    }
    const qint64 prepared = timer.elapsed();
    const QString path = QDir(folder).filePath(file);
    const int code = job.write(path);
    const qint64 total = timer.elapsed();
    if (code != 0) {
        std::printf("%-12s failed %d: %s\n", qPrintable(name), code, qPrintable(job.errorString()));
        return 1;
    }
    std::printf("%-12s prepare %6lld ms  write %6lld ms  total %6lld ms  peak %6.1f MiB (%.1f before)  file %.1f KiB\n",
                qPrintable(name), prepared, total - prepared, total, peakMiB(), base,
                QFileInfo(path).size() / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Widgets only for the stages that show them; the others paint the record's picture. Offscreen.
    const bool widgets = argc >= 3 && (qstrcmp(argv[2], "page") == 0 || qstrcmp(argv[2], "confirm") == 0);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QScopedPointer<QCoreApplication> application(widgets ? new QApplication(argc, argv) : new QGuiApplication(argc, argv));
    QCoreApplication &app = *application;
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args.at(1) == QLatin1String("--stage"))
        return stage(args.at(2), args.at(3));

    if (args.size() >= 3 && args.at(1) == QLatin1String("--workspace")) {
        const double hours = args.size() > 3 ? args.at(3).toDouble() : 24.0;
        const bool ok = Fixture::createWorkspace(args.at(2)) && Fixture::addAccounts()
            && Fixture::addProject(Fixture::Project()) && Fixture::addDayLongProject(project, 16, hours);
        return ok ? 0 : 1;
    }
    const double hours = args.size() > 1 ? args.at(1).toDouble() : 24.0;
    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    if (!Fixture::createWorkspace(dir.path()) || !Fixture::addDayLongProject(project, 16, hours)) {
        std::fprintf(stderr, "could not build the workspace\n");
        return 1;
    }
    Tool::closeDatabase();
    std::printf("workspace: %.0f h of 16 probes at 1 s stored in %lld ms (%.1f MiB database)\n", hours,
                timer.elapsed(), QFileInfo(dir.filePath(Tool::DatabaseFileName)).size() / 1048576.0);
    std::fflush(stdout);
    for (const char *name : {"page", "confirm", "certificate", "record", "pdf", "raw"}) {
        for (int repeat = 0; repeat < 2; ++repeat) {
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedChannels);
            p.start(app.applicationFilePath(), {QStringLiteral("--stage"), QString::fromLatin1(name), dir.path()});
            p.waitForFinished(-1);
        }
    }
    return 0;
}
