#include "instruments/FrameHelpers.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

quint16 crc16Modbus(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

void appendCrc(QByteArray &frame)
{
    const quint16 crc = crc16Modbus(frame);
    frame.append(char(crc >> 8));
    frame.append(char(crc & 0xFF));
}

bool hasValidCrc(const QByteArray &frame)
{
    if (frame.size() < 3)
        return false;
    const quint16 crc = crc16Modbus(frame.left(frame.size() - 2));
    return quint8(frame.at(frame.size() - 2)) == (crc >> 8) && quint8(frame.at(frame.size() - 1)) == (crc & 0xFF);
}

QString crcHex(const QString &hexText)
{
    const quint16 crc = crc16Modbus(QByteArray::fromHex(hexText.toLatin1()));
    return QStringLiteral("%1").arg(crc, 4, 16, QLatin1Char('0'));
}

QByteArray floatToBytesLE(float value)
{
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    uchar le[4];
    qToLittleEndian(bits, le);
    return QByteArray(reinterpret_cast<const char *>(le), 4);
}

float bytesLEToFloat(const char *bytes)
{
    const quint32 bits = qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(bytes));
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QString floatToHexLE(float value)
{
    return QString::fromLatin1(floatToBytesLE(value).toHex());
}

float hexLEToFloat(const QString &hexText)
{
    QString digits = hexText;
    digits.remove(QLatin1Char(' '));
    if (digits.size() < 8)
        return 0.0f;
    const QByteArray bytes = QByteArray::fromHex(digits.left(8).toLatin1());
    if (bytes.size() != 4)
        return 0.0f;
    return bytesLEToFloat(bytes.constData());
}

QString significantText(double value, int digits)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == 0.0)
        return QStringLiteral("0.00000000");
    // Decimals needed so the leading digit plus the decimals make `digits` significant ones;
    // rounding may carry into a new leading digit (9.99999999 -> 10.0000000), hence the re-check.
    int exponent = int(std::floor(std::log10(std::fabs(value))));
    QString text = QString::number(value, 'f', std::max(0, digits - 1 - exponent));
    const double rounded = text.toDouble();
    if (rounded != 0.0 && int(std::floor(std::log10(std::fabs(rounded)))) > exponent)
        text = QString::number(value, 'f', std::max(0, digits - 2 - exponent));
    return text;
}

QString fahrenheitText(double celsius)
{
    return QString::number(celsius * 9.0 / 5.0 + 32.0, 'f', 6);
}

QString takeCollectorFrame(QString &buffer, const QString &busAddress)
{
    if (!busAddress.isEmpty() && !buffer.startsWith(busAddress))
        buffer.clear();
    if (buffer.size() < 7 || crcHex(buffer.left(buffer.size() - 4)).toUpper() != buffer.right(4).toUpper())
        return QString();
    QString reply;
    reply.swap(buffer);
    return reply;
}

QStringList takeLines(QString &buffer)
{
    QStringList lines;
    int end;
    while ((end = buffer.indexOf(QLatin1Char('\n'))) >= 0) {
        lines << buffer.left(end + 1);
        buffer.remove(0, end + 1);
    }
    return lines;
}

QStringList takeBurst(QString &buffer)
{
    if (!buffer.endsWith(QLatin1Char('\n')))
        return {};
    QStringList replies;
    if (buffer != QLatin1String("\n"))
        replies << buffer;
    buffer.clear();
    return replies;
}
