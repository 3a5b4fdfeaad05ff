#include "BathModel.h"

#include "Thermistor.h"

#include <cmath>

namespace pcrsim {

namespace {

// The slow fluctuation: two sines of these periods (s) and amplitudes (°C).
constexpr double Period1 = 1500, Amplitude1 = 0.0010;
constexpr double Period2 = 480, Amplitude2 = 0.0006;

} // namespace

BathModel::BathModel(const BathModelConfig &config) : cfg(config), target(config.initialTemperature)
{
    phase1 = 2 * M_PI * uniformNoise(cfg.seed, 301, 0);
    phase2 = 2 * M_PI * uniformNoise(cfg.seed, 301, 1);
}

double BathModel::approach(double t) const
{
    // x(u) = e^(−u)·(x0 + (x0 + v0)·u) for the deviation x = T − S and its rate v = dx/du.
    const double u = std::max(0.0, t - since) / cfg.timeConstant;
    return target + std::exp(-u) * (deviation + (deviation + rate) * u);
}

bool BathModel::setSetPoint(double t, double value)
{
    if (!std::isfinite(value) || value < cfg.minimum || value > cfg.maximum)
        return false;
    const double u = std::max(0.0, t - since) / cfg.timeConstant;
    const double e = std::exp(-u);
    const double x = e * (deviation + (deviation + rate) * u);
    const double v = e * (rate - (deviation + rate) * u);
    const double step = value - target;
    // The temperature carries on; the controller answers the step at once with its rate.
    deviation = x - step;
    rate = v + (1 + cfg.overshoot) * step;
    since = std::max(since, t);
    target = value;
    return true;
}

double BathModel::fluctuation(double t) const
{
    return Amplitude1 * std::sin(2 * M_PI * t / Period1 + phase1) + Amplitude2 * std::sin(2 * M_PI * t / Period2 + phase2);
}

double BathModel::temperature(double t) const
{
    return approach(t) + fluctuation(t);
}

double BathModel::immersionError(int channel) const
{
    return cfg.immersionError * (2 * uniformNoise(cfg.seed, 302, quint64(channel)) - 1);
}

double BathModel::referenceReading(double t) const
{
    // A new noise value every 0.1 s.
    const quint64 slot = quint64(std::llround(std::floor(std::max(0.0, t) * 10)));
    return temperature(t) + cfg.referenceOffset + cfg.referenceNoise * gaussianNoise(cfg.seed, 303, slot);
}

} // namespace pcrsim
