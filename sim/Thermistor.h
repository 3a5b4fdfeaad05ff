#pragma once
// Thermistor characteristics of the simulated probes: 1/T = B0 + B1 ln R + B2 ln² R + B3 ln³ R
// (T in kelvin, R in ohms), the form the collector converts with.

#include <QtGlobal>

namespace pcrsim {

struct ThermistorCoefficients
{
    double b0 = 0, b1 = 0, b2 = 0, b3 = 0;
};

constexpr double KelvinOffset = 273.15;

// Temperature in °C of a resistance; NaN when the coefficients give no positive temperature.
double thermistorTemperature(const ThermistorCoefficients &c, double ohms);

// Resistance in ohms at a temperature in °C (inverse of thermistorTemperature); NaN when the
// characteristic does not reach that temperature.
double thermistorResistance(const ThermistorCoefficients &c, double celsius);

// A nominal 10 kΩ (at 25 °C) NTC thermistor.
ThermistorCoefficients nominalThermistor();

// The true characteristic of probe `channel` (from 0): the nominal one with its own resistance
// tolerance (about ±1 %, some 0.2 K at 25 °C) and slope tolerance (about ±0.3 %), fixed by `seed`.
ThermistorCoefficients probeThermistor(quint64 seed, int channel);

// Deterministic pseudo-random numbers keyed by (seed, stream, index), so every quantity of the
// model can be evaluated at any time in any order.
double uniformNoise(quint64 seed, quint64 stream, quint64 index);   // in [0, 1)
double gaussianNoise(quint64 seed, quint64 stream, quint64 index);  // mean 0, sigma 1

} // namespace pcrsim
