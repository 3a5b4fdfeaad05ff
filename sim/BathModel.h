#pragma once
// Thermal model of a calibration bath and of what is immersed in it.
//
// The bath approaches each commanded set point like a lag with a small overshoot: a critically
// damped second-order response with a zero, T − S = −ΔS·e^(−u)·(1 − c·u), u = t/τ, whose
// overshoot is c·e^(−1−1/c) of the step (0.7 % with c = 0.35). Once settled it holds within a
// few millikelvin, with a slow fluctuation of two sines (±1.6 mK at most). The probes in it sit
// with a small immersion error of their own, and the reference thermometer reads it with its own
// small error. The state changes only when a set point is commanded; between commands every
// quantity is a closed-form, deterministic function of the time and the seed.

#include <QtGlobal>

namespace pcrsim {

struct BathModelConfig
{
    quint64 seed = 0;
    double initialTemperature = 25;  // °C, also the initial set point
    double timeConstant = 200;       // τ, s
    double overshoot = 0.35;         // c
    double minimum = -80;            // set points the bath accepts, °C
    double maximum = 300;
    double referenceOffset = 0.0008;     // the reference thermometer's error, °C
    double referenceNoise = 0.0002;      // its reading noise (sigma), °C
    double displayOffset = 0.0003;       // the bath's own readout error, °C
    double immersionError = 0.001;       // probes sit within ± this, °C
};

class BathModel
{
public:
    explicit BathModel(const BathModelConfig &config = BathModelConfig());

    const BathModelConfig &config() const { return cfg; }

    // Commands a set point at time `t` (seconds from the start; calls come in time order). A set
    // point outside the bath's range is refused and changes nothing.
    bool setSetPoint(double t, double value);
    double setPoint() const { return target; }

    // The bath's true temperature, °C, at `t` (not before the last command).
    double temperature(double t) const;
    // Without the fluctuation: the approach alone.
    double approach(double t) const;
    double fluctuation(double t) const;

    // What a probe in the bath (channel from 0) is at, and the error it sits with.
    double probeTemperature(int channel, double t) const { return temperature(t) + immersionError(channel); }
    double immersionError(int channel) const;
    // The reference thermometer's reading, and the bath's own readout.
    double referenceReading(double t) const;
    double displayReading(double t) const { return temperature(t) + cfg.displayOffset; }

private:
    BathModelConfig cfg;
    double target = 25;
    // Deviation from the set point and its rate (per τ) at time `since`.
    double since = 0, deviation = 0, rate = 0;
    double phase1 = 0, phase2 = 0;
};

} // namespace pcrsim
