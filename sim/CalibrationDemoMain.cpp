// pcrcal-demo-setup: prepares the demo workspace for a calibration against pcrsim. On the first
// start (no database yet) it creates the database and registers the demo records; later it only
// points the demo collector at the simulator's port.
//   pcrcal-demo-setup --workspace DIR --port PORT --program T:MIN,... [--seed S]

#include "CalibrationDemo.h"
#include "store/tool.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>

#include <cstdio>

namespace {

// The store reports every statement at debug level; the demo start shows only what matters.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "pcrcal-demo-setup: %s\n", qPrintable(message));
}

int fail(const QString &message)
{
    std::fprintf(stderr, "pcrcal-demo-setup: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // The layout drawing needs a GUI application, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietHandler);
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Registers the demo instruments, probes, cycle files and layout."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("workspace"), QStringLiteral("The demo workspace folder."), QStringLiteral("DIR")},
        {QStringLiteral("port"), QStringLiteral("The simulator's collector TCP port."), QStringLiteral("PORT")},
        {QStringLiteral("program"), QStringLiteral("The simulator's cycle program."), QStringLiteral("T:MIN,...")},
        {QStringLiteral("seed"), QStringLiteral("The simulator's seed (default 0)."), QStringLiteral("S"), QStringLiteral("0")},
    });
    parser.process(app);
    for (const char *option : {"workspace", "port", "program"})
        if (!parser.isSet(QLatin1String(option)))
            return fail(QStringLiteral("--%1 is required (see --help)").arg(QLatin1String(option)));

    CalibrationDemo::Options options;
    options.port = parser.value(QStringLiteral("port"));
    options.program = parser.value(QStringLiteral("program"));
    bool ok = false;
    options.seed = parser.value(QStringLiteral("seed")).toULongLong(&ok);
    if (!ok)
        return fail(QStringLiteral("--seed must be a whole number"));

    if (!QDir::setCurrent(parser.value(QStringLiteral("workspace"))))
        return fail(QStringLiteral("cannot enter the workspace %1").arg(parser.value(QStringLiteral("workspace"))));
    const bool fresh = !QFileInfo::exists(Tool::DatabaseFileName);
    if (!Tool::openDatabase())
        return fail(QStringLiteral("cannot open %1").arg(Tool::DatabaseFileName));
    Tool::createDefaultConfig();

    QString error;
    if (fresh) {
        if (!CalibrationDemo::registerRecords(options, &error))
            return fail(error);
        CalibrationDemo::writeCalibrationDefaults(options.program);
        // A certificate names its laboratory: the demo workspace gets one of its own.
        Tool::configFile()->setValue(QStringLiteral("SystemSet/CorporateName"), QStringLiteral("PCR仪校准演示实验室"));
        std::printf("demo: registered the simulated collector at 127.0.0.1:%s, probe set, cycle files and layout\n",
                    qPrintable(options.port));
    } else if (!CalibrationDemo::updateCollectorAddress(options, &error)) {
        return fail(error);
    }
    Tool::closeDatabase();
    return 0;
}
