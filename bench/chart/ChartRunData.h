#ifndef CHARTRUNDATA_H
#define CHARTRUNDATA_H

// A synthetic long PCR run for the chart benchmark and demo: 16 probes following a repeated
// three-step cycle (95, 55, 72 °C) with ramps, overshoot, per-probe offsets and noise, and one
// single-sample spike so a reduced drawing can be checked for lost peaks.

#include <QDateTime>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cmath>
#include <cstdint>

namespace chartrun {

constexpr int Channels = 16;
constexpr int DaySamples = 86400; // 24 h at 1 s
constexpr int SpikeSample = 43210;
constexpr int SpikeChannel = 3;

inline double noise(std::uint32_t k, int channel)
{
    std::uint32_t x = k * 2654435761u ^ std::uint32_t(channel + 1) * 40503u;
    x ^= x >> 13;
    x *= 0x5bd1e995u;
    x ^= x >> 15;
    return (double(x % 2001u) / 1000.0 - 1.0) * 0.04;
}

// Temperature of probe `channel` at second k of the run.
inline double value(int k, int channel)
{
    static const double targets[3] = {95.0, 55.0, 72.0};
    const int stepLength = 300; // 5 min per step, 15 min per cycle
    const int cyclePos = k % (3 * stepLength);
    const int step = cyclePos / stepLength;
    const int inStep = cyclePos % stepLength;
    const double from = targets[(step + 2) % 3];
    const double to = targets[step];
    const double rate = to > from ? 3.0 : 2.0; // °C per second
    const double rampTime = std::abs(to - from) / rate;
    double t;
    if (inStep < rampTime) {
        t = from + (to - from) * inStep / rampTime;
    } else {
        const double settle = inStep - rampTime;
        t = to + (to - from) * 0.03 * std::exp(-settle / 8.0) * std::cos(settle / 3.0);
    }
    t += (channel - 7.5) * 0.05 + noise(std::uint32_t(k), channel);
    if (k == SpikeSample && channel == SpikeChannel)
        t += 15.0;
    return t;
}

inline QString channelList(int channels = Channels)
{
    QStringList names;
    for (int c = 1; c <= channels; ++c)
        names << QString::number(c);
    return names.join(QLatin1Char(','));
}

inline QStringList sampleTexts(int k, int channels = Channels)
{
    QStringList values;
    values.reserve(channels);
    for (int c = 0; c < channels; ++c)
        values << QString::number(value(k, c), 'f', 6);
    return values;
}

inline QVector<QPointF> seriesPoints(const QDateTime &start, int channel, int samples = DaySamples)
{
    QVector<QPointF> points;
    points.reserve(samples);
    const double t0 = double(start.toMSecsSinceEpoch());
    for (int k = 0; k < samples; ++k)
        points.append(QPointF(t0 + k * 1000.0, value(k, channel)));
    return points;
}

} // namespace chartrun

#endif // CHARTRUNDATA_H
