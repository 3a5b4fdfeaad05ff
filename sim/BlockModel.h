#pragma once
// Thermal model of a PCR heating block running a cycle program, and of the wells in it.
//
// The block follows a set point that ramps from step to step at fixed heating and cooling
// rates and then holds for the step's time; the block answers like an underdamped second-order
// system (lag while ramping, overshoot and settling after each ramp). Each well sees the block
// with its own small time lag and a fixed offset that grows with the distance from ambient
// (edge wells run cooler when hot). Everything is a closed-form, deterministic function of the
// time and the seed, so any instant can be evaluated in any order.

#include <QString>
#include <QVector>

namespace pcrsim {

struct ProgramStep
{
    double temperature = 0;  // set temperature, °C
    double holdMinutes = 0;  // hold time once the set point has reached the temperature
};

// Parses "T:MIN,T:MIN,...". On failure returns false and says why in `error`.
bool parseProgram(const QString &text, QVector<ProgramStep> *steps, QString *error);

struct BlockModelConfig
{
    QVector<ProgramStep> program;    // empty: the block idles at initialTemperature
    quint64 seed = 0;                // fixes offsets, lags, probe characteristics and noise
    int channels = 16;               // wells with a probe, 1 to 16
    double initialTemperature = 25;  // block temperature at time 0, °C
    double heatingRate = 4.0;        // set-point ramp, °C/s
    double coolingRate = 3.0;        // °C/s
    double naturalFrequency = 1.2;   // rad/s of the block's response
    double damping = 0.55;           // damping ratio (< 1: overshoot)
    double noiseSigma = 0.01;        // measurement noise, °C
};

// One hold of the program, times in seconds from the model's start.
struct Plateau
{
    int cycle = 0;          // repetition of the program, from 0
    int step = 0;           // step of the program, from 0
    double setTemperature = 0;
    double rampStart = 0;   // the set point leaves the previous temperature
    double holdStart = 0;   // the set point reaches the temperature (the hold time counts from here)
    double settledStart = 0;  // from here every well is within 0.05 °C of its plateau mean
    double end = 0;         // the next ramp starts
};

class BlockModel
{
public:
    explicit BlockModel(const BlockModelConfig &config);

    const BlockModelConfig &config() const { return cfg; }
    int channels() const { return cfg.channels; }

    // Duration of the first pass through the program (its first ramp starts from the initial
    // temperature) and of every later pass; 0 without a program.
    double firstCycleDuration() const { return firstCycle; }
    double cycleDuration() const { return cycle; }

    double setPoint(double t) const;
    double blockTemperature(double t) const;

    // True (noise-free) temperature of a well (channel from 0).
    double wellTemperature(int channel, double t) const;
    QVector<double> wellTemperatures(double t) const;

    // What a probe in the well reads: the true temperature plus deterministic noise.
    double measuredTemperature(int channel, double t) const;
    QVector<double> measuredTemperatures(double t) const;

    // Steady deviation of a well from the set temperature; its plateau mean is
    // setTemperature + wellOffset(channel, setTemperature).
    double wellOffset(int channel, double setTemperature) const;
    double plateauMean(int channel, double setTemperature) const { return setTemperature + wellOffset(channel, setTemperature); }
    // Seconds by which a well trails the block.
    double wellLag(int channel) const;

    // Holds that overlap [from, to].
    QVector<Plateau> plateaus(double from, double to) const;

private:
    struct StepRef
    {
        qint64 index = -1;  // global step number (cycle * steps + step); -1 before the program
        double start = 0;   // set-point ramp start
        double ramp = 0;    // ramp duration
        double from = 0;    // previous set temperature
        double to = 0;
    };
    StepRef step(qint64 index) const;
    StepRef stepAt(double t) const;
    double rampResponse(double tau) const;  // unit-slope ramp response of the block
    double edgeFactor(int channel) const;

    BlockModelConfig cfg;
    QVector<double> firstStarts;  // ramp start of each step in the first pass
    QVector<double> starts;       // ramp start of each step within a later pass
    double firstCycle = 0;
    double cycle = 0;
    double sigma = 0, omegaD = 0, c1 = 0, c2 = 0, decay = 0;
};

} // namespace pcrsim
