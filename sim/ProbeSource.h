#pragma once
// Where the probes attached to the collector sit: the PCR block or the calibration bath.

#include "BathModel.h"
#include "BlockModel.h"
#include "SimClock.h"
#include "Thermistor.h"

#include <QElapsedTimer>
#include <memory>

namespace pcrsim {

class ProbeSource
{
public:
    virtual ~ProbeSource() = default;
    virtual int channels() const = 0;
    // What the probe of a channel (from 0) reads now, °C, and its true characteristic.
    virtual double probeTemperature(int channel) = 0;
    virtual ThermistorCoefficients probeCharacteristic(int channel) const = 0;
    // The collector's channel coefficients were written.
    virtual void configured() {}
};

// The block model on the simulator's clock: simulated seconds = real seconds × time scale.
class BlockSource : public ProbeSource
{
public:
    BlockSource(const BlockModelConfig &config, double timeScale, bool startOnConfigure);

    int channels() const override { return base.channels; }
    double probeTemperature(int channel) override;
    ThermistorCoefficients probeCharacteristic(int channel) const override;
    void configured() override;

private:
    double now() const;  // simulated seconds since start

    BlockModelConfig base;
    double timeScale;
    bool startOnConfigure;
    QElapsedTimer clock;
    std::unique_ptr<BlockModel> model;
    double modelStart = 0;  // simulated time at which `model` started
};

// The probes immersed in the bath, each with its own immersion error.
class BathSource : public ProbeSource
{
public:
    BathSource(const BathModel *bath, const SimClock *clock, quint64 seed, int channels)
        : bath(bath), clock(clock), seed(seed), count(channels)
    {
    }

    int channels() const override { return count; }
    double probeTemperature(int channel) override { return bath->probeTemperature(channel, clock->now()); }
    ThermistorCoefficients probeCharacteristic(int channel) const override { return probeThermistor(seed, channel); }

private:
    const BathModel *bath;
    const SimClock *clock;
    quint64 seed;
    int count;
};

} // namespace pcrsim
