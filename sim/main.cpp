// pcrsim: serves simulated instruments over their real transports.

#include "BlockModel.h"
#include "CollectorSim.h"
#include "Endpoints.h"
#include "Faults.h"
#include "ProbeSource.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cmath>
#include <csignal>
#include <cstdio>

namespace {

const char *const DefaultProgram = "95:1,60:1,72:1";

const char *const Description =
    "Instrument simulator of the PCR calibration system.\n"
    "\n"
    "Serves the multichannel collector (Modbus-style frames with CRC) on TCP and/or on a\n"
    "pseudo-terminal. Its channels read probes in the wells of a simulated PCR block that runs\n"
    "the cycle program (ramps, overshoot, settling, per-well offsets, noise); every probe has\n"
    "its own thermistor characteristic, and the collector converts resistance to temperature\n"
    "with the coefficients written into it: 1/T = B0 + B1 ln R + B2 ln^2 R + B3 ln^3 R (T in K).\n"
    "\n"
    "On start it prints one line per served instrument, e.g.\n"
    "  collector tcp 127.0.0.1:5980\n"
    "  collector pty /dev/pts/7\n"
    "and then serves until it is terminated.\n"
    "\n"
    "The SCPI reference thermometer (--scpi-tcp, --scpi-pty) and the temperature bath\n"
    "(--bath-pty) are not served by this version; asking for them is an error.\n"
    "Set PCRSIM_TRACE=1 to log requests and injected faults on standard error.";

void fail(const QString &message)
{
    std::fprintf(stderr, "pcrsim: %s\n", message.toLocal8Bit().constData());
    std::exit(2);
}

double probability(const QCommandLineParser &p, const QString &name)
{
    if (!p.isSet(name))
        return 0;
    bool ok = false;
    const double v = p.value(name).toDouble(&ok);
    if (!ok || !(v >= 0 && v <= 1))
        fail(QStringLiteral("--%1 must be a probability from 0 to 1, not \"%2\"").arg(name, p.value(name)));
    return v;
}

int nonNegativeInt(const QCommandLineParser &p, const QString &name, int max)
{
    if (!p.isSet(name))
        return 0;
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (!ok || v < 0 || v > max)
        fail(QStringLiteral("--%1 must be a whole number from 0 to %2, not \"%3\"").arg(name).arg(max).arg(p.value(name)));
    return v;
}

void printLine(const QString &line)
{
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pcrsim"));
    // A reader that goes away must not kill the simulator through a write.
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("collector-tcp"), QStringLiteral("Serve the collector on 127.0.0.1:PORT (0: pick a free port)."), QStringLiteral("PORT")},
        {QStringLiteral("collector-pty"), QStringLiteral("Serve the collector on a pseudo-terminal.")},
        {QStringLiteral("scpi-tcp"), QStringLiteral("The SCPI reference thermometer on 127.0.0.1:PORT (not served by this version)."), QStringLiteral("PORT")},
        {QStringLiteral("scpi-pty"), QStringLiteral("The SCPI reference thermometer on a pseudo-terminal (not served by this version).")},
        {QStringLiteral("bath-pty"), QStringLiteral("The temperature bath on a pseudo-terminal (not served by this version).")},
        {QStringLiteral("channels"), QStringLiteral("Collector channels in use, 1 to 16 (default 16)."), QStringLiteral("N"), QStringLiteral("16")},
        {QStringLiteral("program"),
         QStringLiteral("The cycle program the block runs: set temperature in °C and hold minutes per step, repeated until the "
                        "simulator ends (default %1). Ramps run at 4 °C/s up and 3 °C/s down; the hold counts from the end of the ramp.")
             .arg(QLatin1String(DefaultProgram)),
         QStringLiteral("T:MIN,T:MIN,..."), QString::fromLatin1(DefaultProgram)},
        {QStringLiteral("start-on-configure"),
         QStringLiteral("The block idles at 25 °C until channel coefficients are written, then runs the program from its first step, "
                        "restarting it at every later write. Without it the program runs from start-up.")},
        {QStringLiteral("time-scale"), QStringLiteral("Simulated seconds per real second (default 1)."), QStringLiteral("F"), QStringLiteral("1")},
        {QStringLiteral("seed"), QStringLiteral("Random seed of noise, offsets, probe characteristics and faults (default 0)."), QStringLiteral("S"), QStringLiteral("0")},
        {QStringLiteral("drop"), QStringLiteral("Probability of a dropped reply."), QStringLiteral("P")},
        {QStringLiteral("corrupt"), QStringLiteral("Probability of a reply with a broken CRC."), QStringLiteral("P")},
        {QStringLiteral("noise"), QStringLiteral("Probability of stray bytes before a reply."), QStringLiteral("P")},
        {QStringLiteral("chunk"), QStringLiteral("Send replies in pieces of N bytes (0: whole)."), QStringLiteral("N")},
        {QStringLiteral("delay"), QStringLiteral("Delay every reply by MS milliseconds."), QStringLiteral("MS")},
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("unexpected argument \"%1\" (see --help)").arg(parser.positionalArguments().first()));

    // Instruments of later versions: refused loudly rather than ignored.
    if (parser.isSet(QStringLiteral("scpi-tcp")) || parser.isSet(QStringLiteral("scpi-pty")))
        fail(QStringLiteral("the SCPI reference thermometer (--scpi-tcp, --scpi-pty) is not served by this version"));
    if (parser.isSet(QStringLiteral("bath-pty")))
        fail(QStringLiteral("the temperature bath (--bath-pty) is not served by this version"));

    const bool collectorTcp = parser.isSet(QStringLiteral("collector-tcp"));
    const bool collectorPty = parser.isSet(QStringLiteral("collector-pty"));
    if (!collectorTcp && !collectorPty)
        fail(QStringLiteral("nothing to serve: give --collector-tcp PORT and/or --collector-pty (see --help)"));

    bool ok = false;
    pcrsim::BlockModelConfig model;
    model.channels = parser.value(QStringLiteral("channels")).toInt(&ok);
    if (!ok || model.channels < 1 || model.channels > 16)
        fail(QStringLiteral("--channels must be a whole number from 1 to 16, not \"%1\"").arg(parser.value(QStringLiteral("channels"))));
    QString error;
    if (!pcrsim::parseProgram(parser.value(QStringLiteral("program")), &model.program, &error))
        fail(QStringLiteral("--program: %1").arg(error));
    const double timeScale = parser.value(QStringLiteral("time-scale")).toDouble(&ok);
    if (!ok || !(timeScale > 0) || !std::isfinite(timeScale))
        fail(QStringLiteral("--time-scale must be a positive number, not \"%1\"").arg(parser.value(QStringLiteral("time-scale"))));
    model.seed = parser.value(QStringLiteral("seed")).toULongLong(&ok);
    if (!ok)
        fail(QStringLiteral("--seed must be a whole number from 0 to 18446744073709551615, not \"%1\"").arg(parser.value(QStringLiteral("seed"))));

    pcrsim::FaultConfig faults;
    faults.drop = probability(parser, QStringLiteral("drop"));
    faults.corrupt = probability(parser, QStringLiteral("corrupt"));
    faults.noise = probability(parser, QStringLiteral("noise"));
    faults.chunk = nonNegativeInt(parser, QStringLiteral("chunk"), 1 << 20);
    faults.delayMs = nonNegativeInt(parser, QStringLiteral("delay"), 3600 * 1000);

    pcrsim::FaultInjector injector(faults, model.seed);
    pcrsim::BlockSource block(model, timeScale, parser.isSet(QStringLiteral("start-on-configure")));
    pcrsim::CollectorSim collector(&block, model.seed);

    if (collectorTcp) {
        const int port = parser.value(QStringLiteral("collector-tcp")).toInt(&ok);
        if (!ok || port < 0 || port > 65535)
            fail(QStringLiteral("--collector-tcp must be a port from 0 to 65535, not \"%1\"").arg(parser.value(QStringLiteral("collector-tcp"))));
        auto *service = new pcrsim::TcpService(&collector, &injector, &app);
        if (!service->listen(quint16(port), &error))
            fail(QStringLiteral("cannot listen on 127.0.0.1:%1: %2").arg(port).arg(error));
        printLine(QStringLiteral("collector tcp 127.0.0.1:%1").arg(service->port()));
    }
    if (collectorPty) {
        auto *pty = new pcrsim::PtyEndpoint(&collector, &injector, &app);
        if (!pty->open(&error))
            fail(QStringLiteral("cannot create a pseudo-terminal: %1").arg(error));
        printLine(QStringLiteral("collector pty %1").arg(pty->slavePath()));
    }
    return app.exec();
}
