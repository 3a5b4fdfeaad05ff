// The collector's receive framing and the number helpers over arbitrary bytes arriving in
// arbitrary pieces, and the text framings of the other instruments.
#include "instruments/FrameHelpers.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // First byte: the bus address (0: none learned yet); second: the piece length.
    const QString address = data[0] ? QString::fromLatin1(QByteArray(1, char(data[0])).toHex()) : QString();
    const size_t piece = 1 + data[1] % 64;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 2), int(size - 2));
    QString buffer;
    for (int at = 0; at < bytes.size(); at += int(piece)) {
        buffer += QString::fromLatin1(bytes.mid(at, int(piece)).toHex());
        const QString reply = takeCollectorFrame(buffer, address);
        if (reply.isEmpty())
            continue;
        // A reply as the driver reads it: values every eight digits from digit 7 on.
        for (int j = 6; j + 8 <= reply.size(); j += 8)
            (void)hexLEToFloat(reply.mid(j, 8));
        (void)crcHex(reply.left(reply.size() - 4));
        (void)hasValidCrc(QByteArray::fromHex(reply.toLatin1()));
    }
    (void)hexLEToFloat(QString::fromLatin1(bytes));
    if (bytes.size() >= 4) {
        const float f = bytesLEToFloat(bytes.constData());
        (void)significantText(f);
        (void)fahrenheitText(f);
    }
    QString lines = QString::fromLatin1(bytes);
    (void)takeLines(lines);
    QString burst = QString::fromLatin1(bytes);
    (void)takeBurst(burst);
    return 0;
}
