#include "Faults.h"

#include "Instrument.h"
#include "Trace.h"

namespace pcrsim {

FaultInjector::FaultInjector(const FaultConfig &config, quint64 seed) : cfg(config), rng(seed ^ 0x5DEECE66Dull) {}

bool FaultInjector::chance(double p)
{
    // Always draws, so the decisions for one reply do not depend on the other probabilities.
    const double u = rng.generateDouble();
    return u < p;
}

QList<QByteArray> FaultInjector::apply(const Instrument &instrument, QByteArray reply)
{
    const bool drop = chance(cfg.drop);
    const bool corrupt = chance(cfg.corrupt);
    const bool noise = chance(cfg.noise);
    const QString name = instrument.name();
    if (drop) {
        trace(name + QStringLiteral(" fault drop"));
        return {};
    }
    if (corrupt && !reply.isEmpty()) {
        trace(name + QStringLiteral(" fault corrupt"));
        reply = instrument.corrupted(reply, rng.generate());
    }
    if (noise) {
        trace(name + QStringLiteral(" fault noise"));
        QByteArray junk;
        const int n = 1 + int(rng.bounded(4u));
        for (int i = 0; i < n; ++i)
            junk.append(instrument.textLines() ? char('!' + rng.bounded(94u)) : char(rng.bounded(256u)));
        reply.prepend(junk);
    }
    if (cfg.chunk <= 0)
        return {reply};
    QList<QByteArray> pieces;
    for (int i = 0; i < reply.size(); i += cfg.chunk)
        pieces << reply.mid(i, cfg.chunk);
    return pieces;
}

} // namespace pcrsim
