#include "CollectorSim.h"

#include "Trace.h"
#include "instruments/FrameHelpers.h"

#include <QtEndian>
#include <cmath>
#include <limits>

namespace pcrsim {

namespace {

constexpr quint8 ReadRegisters = 0x03;
constexpr quint8 WriteRegisters = 0x10;
constexpr quint8 IllegalAddress = 0x02;

} // namespace

CollectorSim::CollectorSim(ProbeSource *probes, quint64 seed, quint8 busAddress)
    : probes(probes), busAddress(busAddress)
{
    identityText = QStringLiteral("1611A%1").arg(seed % 100000, 5, 10, QLatin1Char('0')).toLatin1();
    const ThermistorCoefficients n = nominalThermistor();
    for (auto &block : coefficients)
        block = {float(n.b0), float(n.b1), float(n.b2), float(n.b3)};
}

int CollectorSim::coefficientBlock(quint16 start) const
{
    if (start < 0x0010 || start > 0x002E || (start - 0x0010) % 2 != 0)
        return -1;
    return (start - 0x0010) / 2;
}

QByteArray CollectorSim::exception(quint8 function, quint8 code) const
{
    QByteArray reply;
    reply.append(char(busAddress)).append(char(function | 0x80)).append(char(code));
    appendCrc(reply);
    return reply;
}

double CollectorSim::reading(int channel, bool resistance)
{
    const double probeCelsius = probes->probeTemperature(channel);
    const double ohms = thermistorResistance(probes->probeCharacteristic(channel), probeCelsius);
    if (resistance)
        return ohms;
    const auto &c = coefficients[size_t(channel)];
    return thermistorTemperature({c[0], c[1], c[2], c[3]}, ohms);
}

QByteArray CollectorSim::handleRead(quint8 address, quint16 start, quint16 count)
{
    // The address query is answered whatever address it was sent to.
    const bool addressQuery = start == 0x0001 && count == 1;
    if (!addressQuery && address != busAddress)
        return {};
    QByteArray data;
    if (addressQuery) {
        data.append(char(busAddress));
    } else if (start == 0x1000 && count == 5) {
        data = identityText.leftJustified(10, '\0', true);
    } else if ((start & 0xFF00) == 0x0100 || (start & 0xFF00) == 0x0200) {
        const int first = (start & 0x00FF) / 2;
        const int n = count / 2;
        if ((start & 1) || (count & 1) || n < 1 || first + n > probes->channels())
            return exception(ReadRegisters, IllegalAddress);
        const bool resistance = (start & 0xFF00) == 0x0200;
        for (int j = first; j < first + n; ++j) {
            const double v = reading(j, resistance);
            data += floatToBytesLE(std::isfinite(v) ? float(v) : std::numeric_limits<float>::quiet_NaN());
        }
    } else if (coefficientBlock(start) >= 0 && count == 8) {
        for (float c : coefficients[size_t(coefficientBlock(start))])
            data += floatToBytesLE(c);
    } else {
        return exception(ReadRegisters, IllegalAddress);
    }
    QByteArray reply;
    reply.append(char(busAddress)).append(char(ReadRegisters)).append(char(data.size())).append(data);
    appendCrc(reply);
    return reply;
}

QByteArray CollectorSim::handleWrite(const QByteArray &frame, quint16 start, quint16 count)
{
    if (quint8(frame.at(0)) != busAddress)
        return {};
    const int block = coefficientBlock(start);
    if (block < 0 || count != 8)
        return exception(WriteRegisters, IllegalAddress);
    for (int i = 0; i < 4; ++i)
        coefficients[size_t(block)][size_t(i)] = bytesLEToFloat(frame.constData() + 7 + 4 * i);
    trace(QStringLiteral("collector channel %1 coefficients %2 %3 %4 %5").arg(block + 1)
              .arg(double(coefficients[size_t(block)][0]), 0, 'g', 9).arg(double(coefficients[size_t(block)][1]), 0, 'g', 9)
              .arg(double(coefficients[size_t(block)][2]), 0, 'g', 9).arg(double(coefficients[size_t(block)][3]), 0, 'g', 9));
    probes->configured();
    // The collector confirms a write by echoing the whole frame.
    return frame;
}

QList<QByteArray> CollectorSim::consume(QByteArray &input)
{
    QList<QByteArray> replies;
    while (input.size() >= 2) {
        const quint8 function = quint8(input.at(1));
        int length = 0;
        if (function == ReadRegisters)
            length = 8;
        else if (function == WriteRegisters && (input.size() < 7 || quint8(input.at(6)) == 0x10))
            length = 9 + 0x10;
        if (length == 0) {
            input.remove(0, 1);  // not the start of a request: resynchronise
            continue;
        }
        if (input.size() < length)
            break;
        const QByteArray frame = input.left(length);
        if (!hasValidCrc(frame)) {
            trace(QStringLiteral("collector bad request %1").arg(QString::fromLatin1(frame.toHex())));
            input.remove(0, 1);
            continue;
        }
        input.remove(0, length);
        trace(QStringLiteral("collector request %1").arg(QString::fromLatin1(frame.toHex())));
        const quint8 address = quint8(frame.at(0));
        const quint16 start = qFromBigEndian<quint16>(reinterpret_cast<const uchar *>(frame.constData() + 2));
        const quint16 count = qFromBigEndian<quint16>(reinterpret_cast<const uchar *>(frame.constData() + 4));
        const QByteArray reply = function == ReadRegisters ? handleRead(address, start, count) : handleWrite(frame, start, count);
        if (!reply.isEmpty())
            replies << reply;
    }
    return replies;
}

} // namespace pcrsim
