#pragma once
// Where the probes attached to the collector sit: the PCR block (now), a bath (later).

#include "BlockModel.h"
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

} // namespace pcrsim
