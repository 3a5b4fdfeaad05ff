#include "BlockModel.h"

#include "Thermistor.h"

#include <QStringList>
#include <cmath>

namespace pcrsim {

bool parseProgram(const QString &text, QVector<ProgramStep> *steps, QString *error)
{
    QVector<ProgramStep> parsed;
    const QStringList parts = text.split(QLatin1Char(','));
    for (const QString &part : parts) {
        const QStringList pair = part.trimmed().split(QLatin1Char(':'));
        bool okT = false, okM = false;
        ProgramStep s;
        if (pair.size() == 2) {
            s.temperature = pair.at(0).trimmed().toDouble(&okT);
            s.holdMinutes = pair.at(1).trimmed().toDouble(&okM);
        }
        if (!okT || !okM) {
            *error = QStringLiteral("program step \"%1\" is not TEMPERATURE:MINUTES").arg(part.trimmed());
            return false;
        }
        if (!std::isfinite(s.temperature) || s.temperature < -50 || s.temperature > 150) {
            *error = QStringLiteral("set temperature %1 of step \"%2\" is outside -50..150 °C").arg(pair.at(0).trimmed(), part.trimmed());
            return false;
        }
        if (!std::isfinite(s.holdMinutes) || s.holdMinutes < 0) {
            *error = QStringLiteral("hold time of step \"%1\" is negative").arg(part.trimmed());
            return false;
        }
        parsed << s;
    }
    double total = 0;
    for (int i = 0; i < parsed.size(); ++i)
        total += parsed[i].holdMinutes * 60 + std::fabs(parsed[i].temperature - parsed[(i + parsed.size() - 1) % parsed.size()].temperature);
    if (total <= 0) {
        *error = QStringLiteral("the program takes no time: give at least one step a hold time");
        return false;
    }
    *steps = parsed;
    return true;
}

BlockModel::BlockModel(const BlockModelConfig &config) : cfg(config)
{
    cfg.channels = qBound(1, cfg.channels, 16);
    const double w = cfg.naturalFrequency, z = qBound(0.05, cfg.damping, 0.95);
    sigma = z * w;
    omegaD = w * std::sqrt(1 - z * z);
    c1 = 2 * z / w;
    c2 = (2 * z * z - 1) / omegaD;
    decay = 32.0 / sigma;  // e^-32: transients below any printed digit

    const int n = cfg.program.size();
    double t = 0;
    for (int k = 0; k < n; ++k) {
        firstStarts << t;
        const double from = k == 0 ? cfg.initialTemperature : cfg.program[k - 1].temperature;
        const double d = cfg.program[k].temperature - from;
        t += std::fabs(d) / (d >= 0 ? cfg.heatingRate : cfg.coolingRate) + cfg.program[k].holdMinutes * 60;
    }
    firstCycle = t;
    t = 0;
    for (int k = 0; k < n; ++k) {
        starts << t;
        const double from = cfg.program[(k + n - 1) % n].temperature;
        const double d = cfg.program[k].temperature - from;
        t += std::fabs(d) / (d >= 0 ? cfg.heatingRate : cfg.coolingRate) + cfg.program[k].holdMinutes * 60;
    }
    cycle = t;
}

BlockModel::StepRef BlockModel::step(qint64 index) const
{
    StepRef r;
    const int n = cfg.program.size();
    if (index < 0 || n == 0)
        return r;
    const qint64 c = index / n;
    const int k = int(index % n);
    r.index = index;
    r.from = index == 0 ? cfg.initialTemperature : cfg.program[(k + n - 1) % n].temperature;
    r.to = cfg.program[k].temperature;
    r.start = c == 0 ? firstStarts[k] : firstCycle + double(c - 1) * cycle + starts[k];
    const double d = r.to - r.from;
    r.ramp = std::fabs(d) / (d >= 0 ? cfg.heatingRate : cfg.coolingRate);
    return r;
}

BlockModel::StepRef BlockModel::stepAt(double t) const
{
    const int n = cfg.program.size();
    if (n == 0 || t < 0)
        return {};
    qint64 c = 0;
    if (t >= firstCycle)
        c = 1 + qint64(std::floor((t - firstCycle) / cycle));
    // Scan the pass; rounding may put t a hair outside, hence the clamp to its last step.
    qint64 index = c * n;
    for (int k = 1; k < n; ++k) {
        if (step(c * n + k).start <= t)
            index = c * n + k;
    }
    return step(index);
}

double BlockModel::rampResponse(double tau) const
{
    if (tau <= 0)
        return 0;
    return tau - c1 + std::exp(-sigma * tau) * (c1 * std::cos(omegaD * tau) + c2 * std::sin(omegaD * tau));
}

double BlockModel::setPoint(double t) const
{
    const StepRef s = stepAt(t);
    if (s.index < 0)
        return cfg.initialTemperature;
    if (t >= s.start + s.ramp || s.ramp <= 0)
        return s.to;
    return s.from + (s.to - s.from) * (t - s.start) / s.ramp;
}

double BlockModel::blockTemperature(double t) const
{
    // The system is linear: the answer to the set point is the sum of the answers to each
    // ramp (a unit ramp minus the same ramp delayed by its duration). Ramps that ended more
    // than `decay` ago contribute exactly their temperature change.
    StepRef s = stepAt(t);
    double sum = 0;
    while (s.index >= 0) {
        if (t - s.start - s.ramp > decay)
            return s.to + sum;
        if (s.ramp > 0) {
            const double slope = (s.to - s.from) / s.ramp;
            sum += slope * (rampResponse(t - s.start) - rampResponse(t - s.start - s.ramp));
        }
        s = step(s.index - 1);
    }
    return cfg.initialTemperature + sum;
}

double BlockModel::edgeFactor(int channel) const
{
    // Probes spread over the block on a 4 x 4 pattern: 1 at the rim, 1/3 inside.
    const double r = (channel / 4 - 1.5) / 1.5, c = (channel % 4 - 1.5) / 1.5;
    return std::max(std::fabs(r), std::fabs(c));
}

double BlockModel::wellOffset(int channel, double setTemperature) const
{
    const double e = edgeFactor(channel);
    const double fixed = 0.1 * (uniformNoise(cfg.seed, 11, quint64(channel)) - 0.5);
    const double gain = 0.08 - 0.3 * e * e + 0.1 * (uniformNoise(cfg.seed, 12, quint64(channel)) - 0.5);
    return fixed + gain * (setTemperature - 25.0) / 70.0;
}

double BlockModel::wellLag(int channel) const
{
    return 0.3 + 0.5 * edgeFactor(channel) + 0.2 * uniformNoise(cfg.seed, 13, quint64(channel));
}

double BlockModel::wellTemperature(int channel, double t) const
{
    const double b = blockTemperature(t - wellLag(channel));
    return b + wellOffset(channel, b);
}

QVector<double> BlockModel::wellTemperatures(double t) const
{
    QVector<double> v;
    for (int j = 0; j < cfg.channels; ++j)
        v << wellTemperature(j, t);
    return v;
}

double BlockModel::measuredTemperature(int channel, double t) const
{
    // A new noise value every 0.1 s of model time.
    const quint64 slot = quint64(std::llround(std::floor(std::max(0.0, t) * 10)));
    return wellTemperature(channel, t) + cfg.noiseSigma * gaussianNoise(cfg.seed, 200 + quint64(channel), slot);
}

QVector<double> BlockModel::measuredTemperatures(double t) const
{
    QVector<double> v;
    for (int j = 0; j < cfg.channels; ++j)
        v << measuredTemperature(j, t);
    return v;
}

QVector<Plateau> BlockModel::plateaus(double from, double to) const
{
    QVector<Plateau> list;
    const int n = cfg.program.size();
    if (n == 0 || to < from)
        return list;
    double maxLag = 0;
    for (int j = 0; j < cfg.channels; ++j)
        maxLag = std::max(maxLag, wellLag(j));
    for (StepRef s = stepAt(std::max(0.0, from)); s.index >= 0 && s.start <= to; s = step(s.index + 1)) {
        Plateau p;
        p.cycle = int(s.index / n);
        p.step = int(s.index % n);
        p.setTemperature = s.to;
        p.rampStart = s.start;
        p.holdStart = s.start + s.ramp;
        p.end = p.holdStart + cfg.program[p.step].holdMinutes * 60;
        if (p.end < from || p.end <= p.holdStart)
            continue;
        // Last moment the block is still 0.05 °C or more away from the set temperature
        // (the offsets scale with it, so the wells follow within the same margin).
        double last = p.holdStart;
        for (double t = p.holdStart; t <= std::min(p.end, p.holdStart + decay); t += 0.05) {
            if (std::fabs(blockTemperature(t) - s.to) >= 0.05 * 0.9)
                last = t;
        }
        p.settledStart = std::min(p.end, last + 0.05 + maxLag);
        list << p;
    }
    return list;
}

} // namespace pcrsim
