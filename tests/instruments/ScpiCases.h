#pragma once
// The SCPI thermometer's channel set-ups and the exact lines each one sends, shared by the
// command-builder test and the driver's byte-for-byte test against a scripted peer.

#include "instruments/ChannelSetting.h"

#include <QList>
#include <QString>
#include <QStringList>

struct ScpiCase
{
    const char *name;
    ChannelSetting setting;
    QStringList lines;  // complete lines, CR LF included
};

inline QList<ScpiCase> scpiCases()
{
    // Channel, function, type, wiring, unit, cold junction, its temperature; coefficients 1 to 4,
    // R0/Rtp, coefficients 5 and 6 and the scale are the same in every case.
    const auto setting = [](const QString &channel, const QString &function, const QString &type, const QString &wiring,
                            const QString &unit, const QString &junction = QString(), const QString &junctionT = QString(),
                            const QString &gain = QStringLiteral("1"), const QString &offset = QStringLiteral("0")) {
        return ChannelSetting::fromList({channel, function, type, wiring, unit, junction, junctionT, "1.1", "2.2", "3.3", "4.4", "25.5",
                                         "5.5", "6.6", gain, offset});
    };
    // The lines of `commands` addressed to channel 101, between the unit line and the scaling.
    const auto on101 = [](const QString &unitLine, const QStringList &commands) {
        QStringList lines;
        if (!unitLine.isEmpty())
            lines << unitLine + "\r\n";
        lines << "ROUT:CHAN:STAT ON,(@101)\r\n";
        for (const QString &c : commands)
            lines << c + "(@101)\r\n";
        lines << "CALC:SCAL:STAT ON,(@101)\r\n"
              << "CALC:SCAL:GAIN 1,(@101)\r\n"
              << "CALC:SCAL:OFFS 0,(@101)\r\n";
        return lines;
    };
    const QString C = "UNIT:TEMP C", F = "UNIT:TEMP F";
    const QString tc = "热电偶", ther = "热敏电阻", prt = "铂电阻";
    const QString w2 = "二线制", w3 = "三线制", w4 = "四线制";
    return {
        // Written out in full once: the frame of every case.
        {"thermocouple K, internal junction", setting("101", tc, "K", "", "℃", "内部补偿"),
         {"UNIT:TEMP C\r\n", "ROUT:CHAN:STAT ON,(@101)\r\n", "TEMP:TC:TYPE K,(@101)\r\n", "TEMP:TC:RJUN:TYPE INT,(@101)\r\n",
          "CALC:SCAL:STAT ON,(@101)\r\n", "CALC:SCAL:GAIN 1,(@101)\r\n", "CALC:SCAL:OFFS 0,(@101)\r\n"}},
        {"thermocouple K on the front input: no junction", setting("001", tc, "K", "", "℃", "内部补偿"),
         {"UNIT:TEMP C\r\n", "ROUT:CHAN:STAT ON,(@001)\r\n", "TEMP:TC:TYPE K,(@001)\r\n", "CALC:SCAL:STAT ON,(@001)\r\n",
          "CALC:SCAL:GAIN 1,(@001)\r\n", "CALC:SCAL:OFFS 0,(@001)\r\n"}},
        {"thermocouple S, four coefficients, external junction", setting("101", tc, "S", "", "℃", "外部补偿"),
         on101(C, {"TEMP:TC:TYPE S,", "TEMP:TC:S:COEF 1.1,2.2,3.3,4.4,", "TEMP:TC:RJUN:TYPE EXT,"})},
        {"thermocouple R, fixed junction", setting("101", tc, "R", "", "℉", "固定冷端", "0.5"),
         on101(F, {"TEMP:TC:TYPE R,", "TEMP:TC:R:COEF 1.1,2.2,3.3,4.4,", "TEMP:TC:RJUN:TYPE FIX,", "TEMP:TC:RJUN 0.5,"})},
        {"thermocouple POLY, seven coefficients", setting("101", tc, "POLY", "", "℃", "内部补偿"),
         on101(C, {"TEMP:TC:TYPE POLY,", "TEMP:TC:POLY:COEF 1.1,2.2,3.3,4.4,25.5,5.5,6.6,", "TEMP:TC:RJUN:TYPE INT,"})},
        {"thermocouple, unknown junction text", setting("101", tc, "J", "", "℃", "无"), on101(C, {"TEMP:TC:TYPE J,"})},
        {"thermistor R(T) 2-wire", setting("101", ther, "R(T)", w2, "℃"), on101(C, {"TEMP:THER:TYPE RPOL,", "TEMP:THER:RPOL:COEF 1.1,2.2,3.3,4.4,"})},
        {"thermistor 10kΩ 4-wire in Ohm: no unit command", setting("101", ther, "10kΩ", w4, "Ohm"),
         on101(QString(), {"TEMP:FTH:TYPE R10K,", "TEMP:FTH:CALC:RES ON,"})},
        {"thermistor R(T) 2-wire in Ohm", setting("101", ther, "R(T)", w2, "Ohm"),
         on101(QString(), {"TEMP:THER:TYPE RPOL,", "TEMP:THER:RPOL:COEF 1.1,2.2,3.3,4.4,", "TEMP:THER:CALC:RES ON,"})},
        {"thermistor 2.252kΩ in ℉", setting("101", ther, "2.252kΩ", w2, "℉"), on101(F, {"TEMP:THER:TYPE R2K2,"})},
        {"thermistor 5kΩ 3-wire: no prefix", setting("101", ther, "5kΩ", w3, "℃"), on101(C, {"TYPE R5K,"})},
        {"platinum ITS-90 4-wire", setting("101", prt, "ITS90", w4, "℃"),
         on101(C, {"TEMP:FRTD:TYPE SPRT,", "TEMP:FRTD:SPRT:RTPW 25.5,", "TEMP:FRTD:SPRT:COEF:HIGH 1.1,2.2,3.3,4.4,",
                   "TEMP:FRTD:SPRT:COEF:LOW 5.5,6.6,"})},
        {"platinum PT385 3-wire", setting("101", prt, "PT385", w3, "℃"), on101(C, {"TEMP:TRTD:TYPE A385,", "TEMP:TRTD:A385:RZER 25.5,"})},
        {"platinum PT392 2-wire", setting("101", prt, "PT392", w2, "℃"), on101(C, {"TEMP:RTD:TYPE A392,", "TEMP:RTD:A392:RZER 25.5,"})},
        {"platinum CVD 4-wire", setting("101", prt, "CVD", w4, "℃"),
         on101(C, {"TEMP:FRTD:TYPE ABC,", "TEMP:FRTD:ABC:RZER 25.5,", "TEMP:FRTD:ABC:COEF 1.1,2.2,3.3,"})},
        {"platinum, unknown conversion", setting("101", prt, "PT1000", w4, "℃"), on101(C, {"TEMP:FRTD:TYPE ,"})},
        {"DC voltage 100mV", setting("101", "直流电压", "100mV", "", ""), on101(QString(), {"VOLT:RANG 0.1,"})},
        {"DC voltage automatic", setting("101", "直流电压", "自动", "", ""), on101(QString(), {"VOLT:RANG:AUTO ON,"})},
        {"DC voltage 150V", setting("101", "直流电压", "150V", "", ""), on101(QString(), {"VOLT:RANG 150,"})},
        {"DC voltage, unknown range: scaling only", setting("101", "直流电压", "5V", "", ""), on101(QString(), {})},
        {"AC voltage 1V", setting("101", "交流电压", "1V", "", ""), on101(QString(), {"VOLT:AC:RANG 1,"})},
        {"DC current 100μA", setting("101", "直流电流", "100μA", "", ""), on101(QString(), {"CURR:RANG 1e-04,"})},
        {"DC current 100mA", setting("101", "直流电流", "100mA", "", ""), on101(QString(), {"CURR:RANG 1e-01,"})},
        {"AC current automatic", setting("101", "交流电流", "自动", "", ""), on101(QString(), {"CURR:AC:RANG:AUTO ON,"})},
        {"resistance 2-wire 1kΩ", setting("101", "电阻", "1kΩ", w2, ""), on101(QString(), {"RES:RANG 1e+03,"})},
        {"resistance 4-wire 10MΩ", setting("101", "电阻", "10MΩ", w4, ""), on101(QString(), {"FRES:RANG 1e+07,"})},
        {"resistance 4-wire automatic", setting("101", "电阻", "自动", w4, ""), on101(QString(), {"FRES:RANG:AUTO ON,"})},
        {"resistance 3-wire: no range command", setting("101", "电阻", "1kΩ", w3, ""), on101(QString(), {})},
        {"frequency: channel list without separator", setting("101", "频率", "", "", ""), on101(QString(), {"CONF:FREQ"})},
        {"unknown function", setting("101", "湿度", "", "", "℃"), on101(C, {})},
        {"scale gain and offset as given", setting("110", ther, "R(T)", w4, "℃", "", "", "1.0002", "-0.013"),
         {"UNIT:TEMP C\r\n", "ROUT:CHAN:STAT ON,(@110)\r\n", "TEMP:FTH:TYPE RPOL,(@110)\r\n", "TEMP:FTH:RPOL:COEF 1.1,2.2,3.3,4.4,(@110)\r\n",
          "CALC:SCAL:STAT ON,(@110)\r\n", "CALC:SCAL:GAIN 1.0002,(@110)\r\n", "CALC:SCAL:OFFS -0.013,(@110)\r\n"}},
    };
}
