#pragma once
// Channel settings and small helpers shared by the collector tests.

#include "Thermistor.h"
#include "instruments/ChannelSetting.h"

#include <QList>
#include <QString>
#include <chrono>
#include <thread>

namespace {

const QString Serial = QStringLiteral("串口");
const QString Network = QStringLiteral("网络");
const quint64 Seed = 42;

QString coefficientText(double v)
{
    return QString::number(v, 'g', 17);
}

QList<ChannelSetting> settings(int n, const QString &unit, bool trueCoefficients = true)
{
    QList<ChannelSetting> list;
    for (int j = 0; j < n; ++j) {
        const pcrsim::ThermistorCoefficients c = trueCoefficients ? pcrsim::probeThermistor(Seed, j) : pcrsim::nominalThermistor();
        list << ChannelSetting::fromList({QString::number(101 + j), QStringLiteral("热敏电阻"), QStringLiteral("R(T)"),
                                          QStringLiteral("二线制"), unit, QString(), QString(), coefficientText(c.b0),
                                          coefficientText(c.b1), coefficientText(c.b2), coefficientText(c.b3), QString(),
                                          QString(), QString(), QStringLiteral("1"), QStringLiteral("0")});
    }
    return list;
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace
