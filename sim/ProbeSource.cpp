#include "ProbeSource.h"

namespace pcrsim {

BlockSource::BlockSource(const BlockModelConfig &config, double timeScale, bool startOnConfigure)
    : base(config), timeScale(timeScale), startOnConfigure(startOnConfigure)
{
    clock.start();
    BlockModelConfig first = base;
    if (startOnConfigure)
        first.program.clear();  // idle at the initial temperature until configured
    model = std::make_unique<BlockModel>(first);
}

double BlockSource::now() const
{
    return double(clock.nsecsElapsed()) * 1e-9 * timeScale;
}

double BlockSource::probeTemperature(int channel)
{
    return model->measuredTemperature(channel, now() - modelStart);
}

ThermistorCoefficients BlockSource::probeCharacteristic(int channel) const
{
    return probeThermistor(base.seed, channel);
}

void BlockSource::configured()
{
    if (!startOnConfigure)
        return;
    // The program starts again from its first step, from wherever the block is now.
    const double t = now();
    BlockModelConfig next = base;
    next.initialTemperature = model->blockTemperature(t - modelStart);
    model = std::make_unique<BlockModel>(next);
    modelStart = t;
}

} // namespace pcrsim
