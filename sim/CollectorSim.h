#pragma once
// The 1611A multichannel collector: Modbus-style frames, CRC sent high byte first.

#include "Instrument.h"
#include "ProbeSource.h"

#include <array>

namespace pcrsim {

class CollectorSim : public Instrument
{
public:
    static constexpr int Channels = 16;

    CollectorSim(ProbeSource *probes, quint64 seed, quint8 busAddress = 0x01);

    QString name() const override { return QStringLiteral("collector"); }
    QList<QByteArray> consume(QByteArray &input) override;

    QByteArray identity() const { return identityText; }

private:
    QByteArray handleRead(quint8 address, quint16 start, quint16 count);
    QByteArray handleWrite(const QByteArray &frame, quint16 start, quint16 count);
    QByteArray exception(quint8 function, quint8 code) const;
    int coefficientBlock(quint16 start) const;  // -1 if `start` is no block start
    double reading(int channel, bool resistance);

    ProbeSource *probes;
    quint8 busAddress;
    QByteArray identityText;
    // Kept for the life of the simulator, whichever client writes them.
    std::array<std::array<float, 4>, Channels> coefficients;
};

} // namespace pcrsim
