#include "instruments/ScpiCommands.h"

#include <QHash>
#include <cmath>

namespace {

using S = ChannelSetting;

const QString Crlf = QStringLiteral("\r\n");
const QString TwoWire = QStringLiteral("二线制");
const QString ThreeWire = QStringLiteral("三线制");
const QString FourWire = QStringLiteral("四线制");

// Coefficient groups: the fields joined, each followed by a comma.
QString group(const ChannelSetting &s, std::initializer_list<int> fields)
{
    QString text;
    for (int f : fields)
        text += s[f] + QLatin1Char(',');
    return text;
}

QString q4(const ChannelSetting &s)
{
    return group(s, {S::Coefficient1, S::Coefficient2, S::Coefficient3, S::Coefficient4});
}

void thermocouple(const ChannelSetting &s, QStringList &list)
{
    const QString prefix = QStringLiteral("TEMP:TC:");
    const QString type = s[S::Type];
    list << prefix + QStringLiteral("TYPE ") + type + QLatin1Char(',');
    if (type == QLatin1String("S") || type == QLatin1String("R"))
        list << prefix + type + QStringLiteral(":COEF ") + q4(s);
    else if (type == QLatin1String("POLY"))
        list << prefix + QStringLiteral("POLY:COEF ") + q4(s) + group(s, {S::ReferenceResistance, S::Coefficient5, S::Coefficient6});
    // The front input has no reference junction of its own.
    if (s[S::Channel] == QLatin1String("001"))
        return;
    const QString junction = s[S::ColdJunction];
    if (junction == QStringLiteral("内部补偿")) {
        list << prefix + QStringLiteral("RJUN:TYPE INT,");
    } else if (junction == QStringLiteral("外部补偿")) {
        list << prefix + QStringLiteral("RJUN:TYPE EXT,");
    } else if (junction == QStringLiteral("固定冷端")) {
        list << prefix + QStringLiteral("RJUN:TYPE FIX,");
        list << prefix + QStringLiteral("RJUN ") + s[S::ColdJunctionTemperature] + QLatin1Char(',');
    }
}

void thermistor(const ChannelSetting &s, QStringList &list)
{
    const QString wiring = s[S::Wiring];
    const QString prefix = wiring == TwoWire ? QStringLiteral("TEMP:THER:") : wiring == FourWire ? QStringLiteral("TEMP:FTH:") : QString();
    const QString type = s[S::Type];
    if (type == QStringLiteral("2.252kΩ")) {
        list << prefix + QStringLiteral("TYPE R2K2,");
    } else if (type == QStringLiteral("5kΩ")) {
        list << prefix + QStringLiteral("TYPE R5K,");
    } else if (type == QStringLiteral("10kΩ")) {
        list << prefix + QStringLiteral("TYPE R10K,");
    } else if (type == QStringLiteral("R(T)")) {
        list << prefix + QStringLiteral("TYPE RPOL,");
        list << prefix + QStringLiteral("RPOL:COEF ") + q4(s);
    }
    if (s[S::Unit] == QLatin1String("Ohm"))
        list << prefix + QStringLiteral("CALC:RES ON,");
}

void platinum(const ChannelSetting &s, QStringList &list)
{
    const QString wiring = s[S::Wiring];
    const QString prefix = wiring == TwoWire     ? QStringLiteral("TEMP:RTD:")
                           : wiring == ThreeWire ? QStringLiteral("TEMP:TRTD:")
                           : wiring == FourWire  ? QStringLiteral("TEMP:FRTD:")
                                                 : QString();
    const QString conversion = s[S::Type];
    static const QHash<QString, QString> words{{QStringLiteral("PT385"), QStringLiteral("A385")},
                                               {QStringLiteral("PT392"), QStringLiteral("A392")},
                                               {QStringLiteral("CVD"), QStringLiteral("ABC")},
                                               {QStringLiteral("ITS90"), QStringLiteral("SPRT")}};
    const QString word = words.value(conversion);
    list << prefix + QStringLiteral("TYPE ") + word + QLatin1Char(',');
    if (conversion == QLatin1String("PT385") || conversion == QLatin1String("PT392") || conversion == QLatin1String("CVD"))
        list << prefix + word + QStringLiteral(":RZER ") + s[S::ReferenceResistance] + QLatin1Char(',');
    if (conversion == QLatin1String("CVD"))
        list << prefix + word + QStringLiteral(":COEF ") + group(s, {S::Coefficient1, S::Coefficient2, S::Coefficient3});
    if (conversion == QLatin1String("ITS90")) {
        list << prefix + word + QStringLiteral(":RTPW ") + s[S::ReferenceResistance] + QLatin1Char(',');
        list << prefix + word + QStringLiteral(":COEF:HIGH ") + q4(s);
        list << prefix + word + QStringLiteral(":COEF:LOW ") + group(s, {S::Coefficient5, S::Coefficient6});
    }
}

// A range command: header + the mapped argument, or header + ":AUTO ON," for "自动".
void range(const QString &header, const QString &rangeText, const QHash<QString, QString> &arguments, QStringList &list)
{
    if (header.isEmpty())
        return;
    if (rangeText == QStringLiteral("自动"))
        list << header + QStringLiteral(":AUTO ON,");
    else if (arguments.contains(rangeText))
        list << header + arguments.value(rangeText);
}

const QHash<QString, QString> &voltageRanges()
{
    static const QHash<QString, QString> map{{QStringLiteral("100mV"), QStringLiteral(" 0.1,")}, {QStringLiteral("1V"), QStringLiteral(" 1,")},
                                             {QStringLiteral("10V"), QStringLiteral(" 10,")},     {QStringLiteral("50V"), QStringLiteral(" 50,")},
                                             {QStringLiteral("100V"), QStringLiteral(" 100,")},   {QStringLiteral("150V"), QStringLiteral(" 150,")}};
    return map;
}

const QHash<QString, QString> &currentRanges()
{
    static const QHash<QString, QString> map{{QStringLiteral("100μA"), QStringLiteral(" 1e-04,")},
                                             {QStringLiteral("1mA"), QStringLiteral(" 1e-03,")},
                                             {QStringLiteral("10mA"), QStringLiteral(" 1e-02,")},
                                             {QStringLiteral("100mA"), QStringLiteral(" 1e-01,")}};
    return map;
}

const QHash<QString, QString> &resistanceRanges()
{
    static const QHash<QString, QString> map{{QStringLiteral("100Ω"), QStringLiteral(" 1e+02,")},  {QStringLiteral("1kΩ"), QStringLiteral(" 1e+03,")},
                                             {QStringLiteral("10kΩ"), QStringLiteral(" 1e+04,")},  {QStringLiteral("100kΩ"), QStringLiteral(" 1e+05,")},
                                             {QStringLiteral("1MΩ"), QStringLiteral(" 1e+06,")},   {QStringLiteral("10MΩ"), QStringLiteral(" 1e+07,")}};
    return map;
}

} // namespace

QString scpiRateCommand(const QString &speed)
{
    static const QHash<QString, QString> words{
        {QStringLiteral("快速"), QStringLiteral("FAST")}, {QStringLiteral("中速"), QStringLiteral("MED")}, {QStringLiteral("慢速"), QStringLiteral("SLOW")}};
    const QString word = words.value(speed);
    return word.isEmpty() ? QString() : QStringLiteral("RATE ") + word + Crlf;
}

QStringList scpiChannelCommands(const ChannelSetting &s)
{
    QStringList lines;
    const QString unit = s[S::Unit];
    if (unit == QStringLiteral("℉"))
        lines << QStringLiteral("UNIT:TEMP F") + Crlf;
    else if (unit == QStringLiteral("℃"))
        lines << QStringLiteral("UNIT:TEMP C") + Crlf;

    QStringList list{QStringLiteral("ROUT:CHAN:STAT ON,")};
    const QString function = s[S::Function];
    const QString wiring = s[S::Wiring];
    if (function == QStringLiteral("热电偶"))
        thermocouple(s, list);
    else if (function == QStringLiteral("热敏电阻"))
        thermistor(s, list);
    else if (function == QStringLiteral("铂电阻"))
        platinum(s, list);
    else if (function == QStringLiteral("直流电压"))
        range(QStringLiteral("VOLT:RANG"), s[S::Type], voltageRanges(), list);
    else if (function == QStringLiteral("交流电压"))
        range(QStringLiteral("VOLT:AC:RANG"), s[S::Type], voltageRanges(), list);
    else if (function == QStringLiteral("直流电流"))
        range(QStringLiteral("CURR:RANG"), s[S::Type], currentRanges(), list);
    else if (function == QStringLiteral("交流电流"))
        range(QStringLiteral("CURR:AC:RANG"), s[S::Type], currentRanges(), list);
    else if (function == QStringLiteral("电阻"))
        // Resistance is measured 2- or 4-wire; another wiring has no range command.
        range(wiring == TwoWire ? QStringLiteral("RES:RANG") : wiring == FourWire ? QStringLiteral("FRES:RANG") : QString(), s[S::Type],
              resistanceRanges(), list);
    else if (function == QStringLiteral("频率"))
        list << QStringLiteral("CONF:FREQ");
    list << QStringLiteral("CALC:SCAL:STAT ON,") << QStringLiteral("CALC:SCAL:GAIN ") + s[S::ScaleGain] + QLatin1Char(',')
         << QStringLiteral("CALC:SCAL:OFFS ") + s[S::ScaleOffset] + QLatin1Char(',');

    const QString channelList = QStringLiteral("(@") + s[S::Channel] + QLatin1Char(')') + Crlf;
    for (const QString &command : qAsConst(list))
        lines << command + channelList;
    return lines;
}

bool scpiReadingValue(const QString &reply, double &value)
{
    const QStringList parts = reply.split(QLatin1Char(','), Qt::KeepEmptyParts);
    if (parts.size() != 1)
        return false;
    bool ok = false;
    const double v = parts.first().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}
