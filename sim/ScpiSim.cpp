#include "ScpiSim.h"

#include "Thermistor.h"

#include <QRegularExpression>
#include <cmath>
#include <optional>
#include <cstdio>

namespace pcrsim {

namespace {

// Numbers of the SCPI errors this instrument reports.
constexpr int UndefinedHeader = -113, MissingParameter = -109, IllegalValue = -224, SettingsConflict = -221, DataOutOfRange = -222;

bool isNumber(const QString &text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && std::isfinite(v);
}

bool allNumbers(const QStringList &args, int count)
{
    if (args.size() != count)
        return false;
    for (const QString &a : args) {
        if (!isNumber(a))
            return false;
    }
    return true;
}

// Channels of this instrument: the front input 001, and 101 to 122, 201 to 222 at the back.
bool validChannel(int n)
{
    return n == 1 || (n >= 101 && n <= 122) || (n >= 201 && n <= 222);
}

QString scientific(double v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%+.8E", v);
    return QString::fromLatin1(text);
}

} // namespace

ScpiSim::ScpiSim(const BathModel *bath, const SimClock *clock, quint64 seed) : bath(bath), clock(clock)
{
    identity = QStringLiteral("FLUKE,1586A,%1,1.20").arg(seed % 10000000, 7, 10, QLatin1Char('0'));
}

void ScpiSim::reset()
{
    unit = QStringLiteral("C");
    rate = QStringLiteral("SLOW");
    channels.clear();
}

void ScpiSim::error(int code, const char *text)
{
    errors << QStringLiteral("%1,\"%2\"").arg(code).arg(QLatin1String(text));
}

QString ScpiSim::reading(const Channel &c) const
{
    const double celsius = bath->referenceReading(clock->now());
    double v = 0;
    if (c.function == QLatin1String("THER") && c.resistance) {
        // The probe's resistance: a nominal thermistor of the configured type.
        const double r25 = c.type == QLatin1String("R2K2") ? 2252 : c.type == QLatin1String("R5K") ? 5000 : 10000;
        v = thermistorResistance(nominalThermistor(), celsius) * r25 / 10000;
    } else if (c.function == QLatin1String("VOLT")) {
        v = 1.234e-3;
    } else if (c.function == QLatin1String("VOLT:AC") || c.function == QLatin1String("CURR:AC")) {
        v = 0;
    } else if (c.function == QLatin1String("CURR")) {
        v = 1.0e-4;
    } else if (c.function == QLatin1String("RES")) {
        // A Pt100 in the bath.
        v = 100 * (1 + 3.9083e-3 * celsius - 5.775e-7 * celsius * celsius);
    } else if (c.function == QLatin1String("FREQ")) {
        v = 1000;
    } else {
        v = unit == QLatin1String("F") ? celsius * 9 / 5 + 32 : unit == QLatin1String("K") ? celsius + 273.15 : celsius;
    }
    if (c.scale)
        v = c.gain * v + c.offset;
    return scientific(v);
}

std::optional<bool> ScpiSim::channelCommand(const QString &header, const QStringList &args, Channel &c)
{
    const QString one = args.value(0).toUpper();
    const auto onOff = [&](bool &flag) {
        if (args.size() != 1 || (one != QLatin1String("ON") && one != QLatin1String("OFF")))
            return false;
        flag = one == QLatin1String("ON");
        return true;
    };
    const auto number = [&](double &value) {
        if (!allNumbers(args, 1))
            return false;
        value = args.first().toDouble();
        return true;
    };
    if (header == QLatin1String("ROUT:CHAN:STAT"))
        return onOff(c.on);
    if (header == QLatin1String("CALC:SCAL:STAT"))
        return onOff(c.scale);
    if (header == QLatin1String("CALC:SCAL:GAIN"))
        return number(c.gain);
    if (header == QLatin1String("CALC:SCAL:OFFS"))
        return number(c.offset);
    if (header == QLatin1String("CONF:FREQ")) {
        c.function = QStringLiteral("FREQ");
        return args.isEmpty();
    }

    // Thermocouples.
    static const QStringList tcTypes{"K", "T", "R", "S", "J", "N", "E", "B", "C", "D", "G", "L", "M", "U", "W", "POLY"};
    if (header == QLatin1String("TEMP:TC:TYPE")) {
        if (args.size() != 1 || !tcTypes.contains(one))
            return false;
        c.function = QStringLiteral("TC");
        c.type = one;
        return true;
    }
    if (header == QLatin1String("TEMP:TC:S:COEF") || header == QLatin1String("TEMP:TC:R:COEF"))
        return allNumbers(args, 4);
    if (header == QLatin1String("TEMP:TC:POLY:COEF"))
        return allNumbers(args, 7);
    if (header == QLatin1String("TEMP:TC:RJUN:TYPE"))
        return args.size() == 1 && QStringList{"INT", "EXT", "FIX"}.contains(one);
    if (header == QLatin1String("TEMP:TC:RJUN"))
        return allNumbers(args, 1);

    // Thermistors, 2- and 4-wire.
    static const QRegularExpression thermistor(QStringLiteral("^TEMP:(THER|FTH):(.+)$"));
    const QRegularExpressionMatch th = thermistor.match(header);
    if (th.hasMatch()) {
        const QString rest = th.captured(2);
        if (rest == QLatin1String("TYPE")) {
            if (args.size() != 1 || !QStringList{"R2K2", "R5K", "R10K", "RPOL"}.contains(one))
                return false;
            c.function = QStringLiteral("THER");
            c.type = one;
            c.resistance = false;
            return true;
        }
        if (rest == QLatin1String("RPOL:COEF"))
            return allNumbers(args, 4);
        if (rest == QLatin1String("CALC:RES"))
            return onOff(c.resistance);
        return std::nullopt;
    }

    // Platinum resistance thermometers, 2-, 3- and 4-wire.
    static const QRegularExpression prt(QStringLiteral("^TEMP:(RTD|TRTD|FRTD):(.+)$"));
    const QRegularExpressionMatch pm = prt.match(header);
    if (pm.hasMatch()) {
        const QString rest = pm.captured(2);
        if (rest == QLatin1String("TYPE")) {
            if (args.size() != 1 || !QStringList{"A385", "A392", "ABC", "SPRT"}.contains(one))
                return false;
            c.function = QStringLiteral("RTD");
            c.type = one;
            return true;
        }
        if (rest == QLatin1String("A385:RZER") || rest == QLatin1String("A392:RZER") || rest == QLatin1String("ABC:RZER")
            || rest == QLatin1String("SPRT:RTPW"))
            return allNumbers(args, 1);
        if (rest == QLatin1String("ABC:COEF"))
            return allNumbers(args, 3);
        if (rest == QLatin1String("SPRT:COEF:HIGH"))
            return allNumbers(args, 4);
        if (rest == QLatin1String("SPRT:COEF:LOW"))
            return allNumbers(args, 2);
        return std::nullopt;
    }

    // Ranges of the electrical functions: a number, or AUTO ON.
    static const QRegularExpression rangeHeader(QStringLiteral("^(VOLT|VOLT:AC|CURR|CURR:AC|RES|FRES):RANG(:AUTO)?$"));
    const QRegularExpressionMatch rm = rangeHeader.match(header);
    if (rm.hasMatch()) {
        c.function = rm.captured(1) == QLatin1String("FRES") ? QStringLiteral("RES") : rm.captured(1);
        if (!rm.captured(2).isEmpty())
            return args.size() == 1 && one == QLatin1String("ON");
        return allNumbers(args, 1) && args.first().toDouble() > 0;
    }
    return std::nullopt;
}

QStringList ScpiSim::command(const QString &line)
{
    QString text = line;
    // A channel list "(@NNN)" at the end addresses one channel.
    int channel = -1;
    static const QRegularExpression channelList(QStringLiteral("\\(@(\\d+)\\)$"));
    const QRegularExpressionMatch cm = channelList.match(text);
    if (cm.hasMatch()) {
        channel = cm.captured(1).toInt();
        text = text.left(cm.capturedStart());
    }
    const int space = text.indexOf(QLatin1Char(' '));
    const QString header = (space < 0 ? text : text.left(space)).trimmed().toUpper();
    QStringList args = space < 0 ? QStringList() : text.mid(space + 1).split(QLatin1Char(','));
    for (QString &a : args)
        a = a.trimmed();
    // Each command the thermometer is sent ends its parameters with a comma.
    while (!args.isEmpty() && args.last().isEmpty())
        args.removeLast();

    if (channel < 0) {
        if (header == QLatin1String("*IDN?"))
            return {identity};
        if (header == QLatin1String("*RST")) {
            reset();
            return {};
        }
        if (header == QLatin1String("SYST:ERR?"))
            return {errors.isEmpty() ? QStringLiteral("+0,\"No error\"") : errors.takeFirst()};
        if (header == QLatin1String("RATE")) {
            const QString word = args.value(0).toUpper();
            if (args.size() != 1 || !QStringList{"FAST", "MED", "SLOW"}.contains(word))
                error(args.isEmpty() ? MissingParameter : IllegalValue, args.isEmpty() ? "Missing parameter" : "Illegal parameter value");
            else
                rate = word;
            return {};
        }
        if (header == QLatin1String("UNIT:TEMP")) {
            const QString word = args.value(0).toUpper();
            if (args.size() != 1 || !QStringList{"C", "CEL", "F", "FAR", "K"}.contains(word))
                error(IllegalValue, "Illegal parameter value");
            else
                unit = word.left(1);
            return {};
        }
        if (header == QLatin1String("READ?")) {
            QStringList values;
            for (auto it = channels.cbegin(); it != channels.cend(); ++it) {
                if (it->on)
                    values << reading(*it);
            }
            // With no channel switched on there is nothing to measure: an empty line.
            if (values.isEmpty())
                error(SettingsConflict, "Settings conflict; no channel on");
            return {values.join(QLatin1Char(','))};
        }
        error(UndefinedHeader, "Undefined header");
        return {};
    }
    if (!validChannel(channel)) {
        error(DataOutOfRange, "Data out of range; no such channel");
        return {};
    }
    Channel c = channels.value(channel);
    const std::optional<bool> accepted = channelCommand(header, args, c);
    if (!accepted) {
        error(UndefinedHeader, "Undefined header");
        return {};
    }
    if (!*accepted) {
        error(args.isEmpty() ? MissingParameter : IllegalValue, args.isEmpty() ? "Missing parameter" : "Illegal parameter value");
        return {};
    }
    channels.insert(channel, c);
    return {};
}

} // namespace pcrsim
