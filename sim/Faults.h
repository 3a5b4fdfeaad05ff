#pragma once
// Fault injection on the replies of every served instrument.

#include <QByteArray>
#include <QList>
#include <QRandomGenerator64>

namespace pcrsim {

class Instrument;

struct FaultConfig
{
    double drop = 0;     // probability that a reply is not sent
    double corrupt = 0;  // probability that a reply is spoilt (a byte frame's CRC, a text line's character)
    double noise = 0;    // probability of stray bytes before a reply
    int chunk = 0;       // send replies in pieces of this many bytes (0: whole)
    int delayMs = 0;     // delay before every reply
};

class FaultInjector
{
public:
    static constexpr int ChunkGapMs = 5;  // pause between pieces, so they arrive as separate reads

    FaultInjector(const FaultConfig &config, quint64 seed);
    const FaultConfig &config() const { return cfg; }
    // The pieces to send for one reply (empty when it is dropped).
    QList<QByteArray> apply(const Instrument &instrument, QByteArray reply);

private:
    bool chance(double p);
    FaultConfig cfg;
    QRandomGenerator64 rng;
};

} // namespace pcrsim
