// A calibration phase in a process of its own, without widgets, for the tests that end a process
// in the middle of a run:
//   run_process DATABASE PROJECT INTERVAL
// takes the measuring instrument and the probe set registered first in DATABASE and runs a phase
// of 23:59:59 at INTERVAL seconds. It prints "started", then "taken I" for every sample and
// "committed N" after every commit, each line flushed at once. The project record is stored
// first, marked as running, as the calibration page stores it.

#include "acquisition/CalibrationRun.h"
#include "instruments/Collection1611A.h"
#include "store/SampleWriter.h"
#include "store/datawords.h"
#include "store/runrecords.h"
#include "store/tool.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &m) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", qPrintable(m));
    });
    const QStringList args = app.arguments();
    if (args.size() != 4 || !QFileInfo(args[1]).isFile() || !Tool::openDatabase(args[1])) {
        std::fprintf(stderr, "usage: run_process DATABASE PROJECT INTERVAL\n");
        return 2;
    }
    QList<Tool::Struct_Electrometer> meters;
    QList<Tool::Struct_Standardizer> probes;
    Tool::getElectrometer(meters, QString());
    Tool::getStandardizer(probes, QString());
    if (meters.isEmpty() || probes.isEmpty()) {
        std::fprintf(stderr, "no measuring instrument or probe set registered\n");
        return 2;
    }

    Collection1611A collector;
    CalibrationRun run(&collector);
    CalibrationRun::Phase phase = CalibrationRun::phaseWith(meters.first(), probes.first());
    phase.unit = QStringLiteral("℃");
    phase.interval = args[3].toDouble();
    phase.duration = QTime(23, 59, 59);
    phase.start = QDateTime::currentDateTime();
    phase.projectName = args[2];
    phase.model = DataWords::uniformityItem();
    phase.storage.databaseFile = Tool::databaseFileName();
    // As the calibration page does: the project record first, marked as running.
    Tool::Struct_Calibration project;
    project.CalibrationName = args[2];
    project.CalibrationTime = QDateTime::currentDateTime().toString(Tool::TimeFormat);
    project.Interval = args[3];
    project.NumberChannels = probes.first().NumberChannels;
    project.StandardizerName = probes.first().Name;
    project.UniformityFile = QStringLiteral("均匀度演示");
    if (!RunRecords::begin(project)) {
        std::fprintf(stderr, "the project record could not be stored\n");
        return 2;
    }

    const auto line = [](const QString &text) {
        std::printf("%s\n", qPrintable(text));
        std::fflush(stdout);
    };
    QObject::connect(&run, &CalibrationRun::acquisitionStarted, [&](const QDateTime &) { line("started"); });
    QObject::connect(&run, &CalibrationRun::sampleTaken,
                     [&](int i, const QStringList &, const QDateTime &) { line(QStringLiteral("taken %1").arg(i)); });
    QObject::connect(&run, &CalibrationRun::rowsCommitted,
                     [&](qint64 n) { line(QStringLiteral("committed %1").arg(n)); });
    QObject::connect(&run, &CalibrationRun::phaseEnded, [&](CalibrationRun::EndReason reason) {
        line(QStringLiteral("ended %1").arg(int(reason)));
        app.exit(reason == CalibrationRun::EndReason::Finished ? 0 : 1);
    });
    run.start(phase);
    return app.exec();
}
