// pcrsim: serves simulated instruments over their real transports.

#include "BathModel.h"
#include "BathSim.h"
#include "BlockModel.h"
#include "CollectorSim.h"
#include "Endpoints.h"
#include "Faults.h"
#include "ProbeSource.h"
#include "ScpiSim.h"
#include "SimClock.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cmath>
#include <csignal>
#include <memory>
#include <cstdio>

namespace {

const char *const DefaultProgram = "95:1,60:1,72:1";

const char *const Description =
    "Instrument simulator of the PCR calibration system.\n"
    "\n"
    "Serves, on loopback TCP and/or on pseudo-terminals:\n"
    "  the multichannel collector (Modbus-style frames with CRC; temperatures and resistances),\n"
    "  the SCPI reference thermometer (*IDN?, *RST, RATE, UNIT:TEMP, the channel, function and\n"
    "    scaling commands, READ?, SYST:ERR?; READ? answers one value per channel switched on, and\n"
    "    an empty line when none is),\n"
    "  the temperature bath (sn, r, s, s=, the set-up commands lf= u= sa= pc= co= hg=, and the\n"
    "    reference-probe coefficients Rtp= A= B= C= A4= B4=, confirmed \"<key> Save!\").\n"
    "\n"
    "Without a bath the collector's probes sit in the wells of a simulated PCR block that runs the\n"
    "cycle program (ramps, overshoot, settling, per-well offsets, noise). With --bath-pty they sit\n"
    "in the bath instead, each with an immersion error within +/-1 mK; the bath approaches its set\n"
    "point with a lag of 200 s and a 0.7 % overshoot and then holds within +/-1.6 mK (slow drift).\n"
    "The reference thermometer reads the bath (a bath held at 25 degC when none is served) with an\n"
    "error of +0.8 mK and 0.2 mK noise; the bath's own reading (r) is 0.3 mK high, in mK steps.\n"
    "Every probe has its own thermistor characteristic, and the collector converts resistance to\n"
    "temperature with the coefficients written into it: 1/T = B0 + B1 ln R + B2 ln^2 R + B3 ln^3 R\n"
    "(T in K, R in ohm); in resistance mode it reports the resistance of that characteristic.\n"
    "\n"
    "On start it prints one line per served instrument, e.g.\n"
    "  collector tcp 127.0.0.1:5980\n"
    "  collector pty /dev/pts/7\n"
    "  scpi tcp 127.0.0.1:5981\n"
    "  scpi pty /dev/pts/8\n"
    "  bath pty /dev/pts/9\n"
    "and then serves until it is terminated. --print-probes prints the probes' true\n"
    "characteristics instead, one line \"probe N B0 B1 B2 B3\" per channel, and exits.\n"
    "\n"
    "Faults apply to the replies of every instrument. Exit status: 0 after --help or\n"
    "--print-probes, 2 for a usage error.\n"
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
        {QStringLiteral("scpi-tcp"), QStringLiteral("Serve the SCPI reference thermometer on 127.0.0.1:PORT (0: pick a free port)."), QStringLiteral("PORT")},
        {QStringLiteral("scpi-pty"), QStringLiteral("Serve the SCPI reference thermometer on a pseudo-terminal.")},
        {QStringLiteral("bath-pty"), QStringLiteral("Serve the temperature bath on a pseudo-terminal; the collector's probes then sit in the bath.")},
        {QStringLiteral("channels"), QStringLiteral("Collector channels in use, 1 to 16 (default 16)."), QStringLiteral("N"), QStringLiteral("16")},
        {QStringLiteral("program"),
         QStringLiteral("The cycle program the block runs: set temperature in °C and hold minutes per step, repeated until the "
                        "simulator ends (default %1). Ramps run at 4 °C/s up and 3 °C/s down; the hold counts from the end of the ramp.")
             .arg(QLatin1String(DefaultProgram)),
         QStringLiteral("T:MIN,T:MIN,..."), QString::fromLatin1(DefaultProgram)},
        {QStringLiteral("start-on-configure"),
         QStringLiteral("The block idles at 25 °C until channel coefficients are written, then runs the program from its first step, "
                        "restarting it at every later write. Without it the program runs from start-up.")},
        {QStringLiteral("time-scale"), QStringLiteral("Simulated seconds per real second, for the block and the bath (default 1)."), QStringLiteral("F"), QStringLiteral("1")},
        {QStringLiteral("seed"), QStringLiteral("Random seed of noise, offsets, probe characteristics and faults (default 0)."), QStringLiteral("S"), QStringLiteral("0")},
        {QStringLiteral("print-probes"), QStringLiteral("Print each probe's true characteristic as \"probe N B0 B1 B2 B3\" (N from 1, full precision) for --seed and --channels, and exit.")},
        {QStringLiteral("drop"), QStringLiteral("Probability of a dropped reply."), QStringLiteral("P")},
        {QStringLiteral("corrupt"), QStringLiteral("Probability of a spoilt reply: a broken CRC (collector), a garbled character (thermometer, bath)."), QStringLiteral("P")},
        {QStringLiteral("noise"), QStringLiteral("Probability of stray bytes before a reply."), QStringLiteral("P")},
        {QStringLiteral("chunk"), QStringLiteral("Send replies in pieces of N bytes (0: whole)."), QStringLiteral("N")},
        {QStringLiteral("delay"), QStringLiteral("Delay every reply by MS milliseconds."), QStringLiteral("MS")},
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("unexpected argument \"%1\" (see --help)").arg(parser.positionalArguments().first()));

    const bool collectorTcp = parser.isSet(QStringLiteral("collector-tcp"));
    const bool collectorPty = parser.isSet(QStringLiteral("collector-pty"));
    const bool scpiTcp = parser.isSet(QStringLiteral("scpi-tcp"));
    const bool scpiPty = parser.isSet(QStringLiteral("scpi-pty"));
    const bool bathPty = parser.isSet(QStringLiteral("bath-pty"));
    const bool printProbes = parser.isSet(QStringLiteral("print-probes"));
    if (!printProbes && !collectorTcp && !collectorPty && !scpiTcp && !scpiPty && !bathPty)
        fail(QStringLiteral("nothing to serve: give --collector-tcp PORT, --collector-pty, --scpi-tcp PORT, --scpi-pty and/or --bath-pty (see --help)"));
    // One set of probes: in the bath when a bath is served, else in the block.
    if (bathPty && (parser.isSet(QStringLiteral("program")) || parser.isSet(QStringLiteral("start-on-configure"))))
        fail(QStringLiteral("--program and --start-on-configure drive the PCR block; with --bath-pty the probes sit in the bath"));

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

    if (printProbes) {
        for (int j = 0; j < model.channels; ++j) {
            const pcrsim::ThermistorCoefficients c = pcrsim::probeThermistor(model.seed, j);
            std::printf("probe %d %.17g %.17g %.17g %.17g\n", j + 1, c.b0, c.b1, c.b2, c.b3);
        }
        std::fflush(stdout);
        return 0;
    }

    pcrsim::FaultConfig faults;
    faults.drop = probability(parser, QStringLiteral("drop"));
    faults.corrupt = probability(parser, QStringLiteral("corrupt"));
    faults.noise = probability(parser, QStringLiteral("noise"));
    faults.chunk = nonNegativeInt(parser, QStringLiteral("chunk"), 1 << 20);
    faults.delayMs = nonNegativeInt(parser, QStringLiteral("delay"), 3600 * 1000);

    pcrsim::FaultInjector injector(faults, model.seed);
    const pcrsim::SimClock clock(timeScale);
    pcrsim::BathModelConfig bathConfig;
    bathConfig.seed = model.seed;
    pcrsim::BathModel bath(bathConfig);
    std::unique_ptr<pcrsim::ProbeSource> probes;
    if (bathPty)
        probes = std::make_unique<pcrsim::BathSource>(&bath, &clock, model.seed, model.channels);
    else
        probes = std::make_unique<pcrsim::BlockSource>(model, timeScale, parser.isSet(QStringLiteral("start-on-configure")));
    pcrsim::CollectorSim collector(probes.get(), model.seed);
    pcrsim::ScpiSim scpi(&bath, &clock, model.seed);
    pcrsim::BathSim bathSim(&bath, &clock, model.seed);

    const auto serveTcp = [&](pcrsim::Instrument *instrument, const QString &option) {
        const int port = parser.value(option).toInt(&ok);
        if (!ok || port < 0 || port > 65535)
            fail(QStringLiteral("--%1 must be a port from 0 to 65535, not \"%2\"").arg(option, parser.value(option)));
        auto *service = new pcrsim::TcpService(instrument, &injector, &app);
        if (!service->listen(quint16(port), &error))
            fail(QStringLiteral("cannot listen on 127.0.0.1:%1: %2").arg(port).arg(error));
        printLine(QStringLiteral("%1 tcp 127.0.0.1:%2").arg(instrument->name()).arg(service->port()));
    };
    const auto servePty = [&](pcrsim::Instrument *instrument) {
        auto *pty = new pcrsim::PtyEndpoint(instrument, &injector, &app);
        if (!pty->open(&error))
            fail(QStringLiteral("cannot create a pseudo-terminal: %1").arg(error));
        printLine(QStringLiteral("%1 pty %2").arg(instrument->name(), pty->slavePath()));
    };
    if (collectorTcp)
        serveTcp(&collector, QStringLiteral("collector-tcp"));
    if (collectorPty)
        servePty(&collector);
    if (scpiTcp)
        serveTcp(&scpi, QStringLiteral("scpi-tcp"));
    if (scpiPty)
        servePty(&scpi);
    if (bathPty)
        servePty(&bathSim);
    return app.exec();
}
