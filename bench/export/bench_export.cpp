// Exports of a day-long project: 24 hours of 16 probes at 1 s (86,400 samples), plus a short rate
// run. Each stage runs in its own process so its peak memory is its own; prints time and peak
// resident memory (VmHWM) per stage.
//
//   bench_export [hours]            builds the workspace in a temporary folder, then runs the stages
//   bench_export --stage NAME DIR   one stage on an existing workspace (used by the driver)

#include "ExportFixture.h"

#include "reports/ExportJob.h"
#include "reports/ReportTemplates.h"
#include "store/tool.h"

#include <QCoreApplication>
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
    int mode = ExportJob::CertificateMode;
    QString format = QStringLiteral("Word"), file = QStringLiteral("certificate.docx");
    if (name == QLatin1String("pdf")) {
        format = QStringLiteral("PDF");
        file = QStringLiteral("certificate.pdf");
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
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args.at(1) == QLatin1String("--stage"))
        return stage(args.at(2), args.at(3));

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
    for (const char *name : {"certificate", "pdf", "raw"}) {
        for (int repeat = 0; repeat < 2; ++repeat) {
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedChannels);
            p.start(app.applicationFilePath(), {QStringLiteral("--stage"), QString::fromLatin1(name), dir.path()});
            p.waitForFinished(-1);
        }
    }
    return 0;
}
