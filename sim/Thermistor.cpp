#include "Thermistor.h"

#include <cmath>
#include <limits>

namespace pcrsim {

namespace {

quint64 splitmix(quint64 x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

double inverseKelvin(const ThermistorCoefficients &c, double x)
{
    return c.b0 + x * (c.b1 + x * (c.b2 + x * c.b3));
}

} // namespace

double uniformNoise(quint64 seed, quint64 stream, quint64 index)
{
    const quint64 h = splitmix(splitmix(splitmix(seed) ^ stream) ^ index);
    return double(h >> 11) * (1.0 / 9007199254740992.0);
}

double gaussianNoise(quint64 seed, quint64 stream, quint64 index)
{
    const double u1 = 1.0 - uniformNoise(seed, stream, 2 * index);  // (0, 1]
    const double u2 = uniformNoise(seed, stream, 2 * index + 1);
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
}

double thermistorTemperature(const ThermistorCoefficients &c, double ohms)
{
    if (!(ohms > 0))
        return std::numeric_limits<double>::quiet_NaN();
    const double inv = inverseKelvin(c, std::log(ohms));
    if (!(inv > 0) || !std::isfinite(inv))
        return std::numeric_limits<double>::quiet_NaN();
    return 1.0 / inv - KelvinOffset;
}

double thermistorResistance(const ThermistorCoefficients &c, double celsius)
{
    const double target = 1.0 / (celsius + KelvinOffset);
    // Newton on x = ln R from the nominal 10 kΩ point; the characteristic is monotonic
    // in the range of interest.
    double x = std::log(10000.0);
    for (int i = 0; i < 50; ++i) {
        const double f = inverseKelvin(c, x) - target;
        const double df = c.b1 + x * (2 * c.b2 + 3 * c.b3 * x);
        if (df == 0 || !std::isfinite(df))
            return std::numeric_limits<double>::quiet_NaN();
        const double step = f / df;
        x -= step;
        if (std::fabs(step) < 1e-13)
            return std::exp(x);
    }
    return std::isfinite(x) ? std::exp(x) : std::numeric_limits<double>::quiet_NaN();
}

ThermistorCoefficients nominalThermistor()
{
    // Steinhart-Hart coefficients of a common 10 kΩ NTC.
    return {1.129148e-3, 2.34125e-4, 0.0, 8.76741e-8};
}

ThermistorCoefficients probeThermistor(quint64 seed, int channel)
{
    const ThermistorCoefficients n = nominalThermistor();
    const double a = std::log(1.0 + 0.02 * (uniformNoise(seed, 101, quint64(channel)) - 0.5));  // ±1 %
    const double beta = 0.006 * (uniformNoise(seed, 102, quint64(channel)) - 0.5);              // ±0.3 %
    const double x0 = std::log(10000.0);
    // 1/T = A + B(1+β)(x − a) − Bβ·x0 + C(x − a)³, expanded in powers of x.
    ThermistorCoefficients c;
    c.b0 = n.b0 - n.b1 * (1 + beta) * a - n.b1 * beta * x0 - n.b3 * a * a * a;
    c.b1 = n.b1 * (1 + beta) + 3 * n.b3 * a * a;
    c.b2 = -3 * n.b3 * a;
    c.b3 = n.b3;
    return c;
}

} // namespace pcrsim
