#include "instruments/BleFrames.h"

#include <QByteArray>
#include <cmath>
#include <cstring>

QString xorChecksumHex(const QString &hexCommand)
{
    const QByteArray bytes = QByteArray::fromHex(hexCommand.left(16).toLatin1());
    quint8 sum = 0;
    for (const char b : bytes)
        sum ^= quint8(b);
    return QStringLiteral("%1").arg(sum, 2, 16, QLatin1Char('0'));
}

QString bleCommandFrame(const QString &hexCommand)
{
    return hexCommand + xorChecksumHex(hexCommand);
}

bool takeBleMeasurement(QString &hexBuffer, double &value)
{
    if (hexBuffer.size() < 48)
        return false;
    const bool measurement = hexBuffer.startsWith(QLatin1String("1705"));
    const QString digits = hexBuffer.mid(36, 8);
    hexBuffer.clear();
    if (!measurement)
        return false;
    bool ok = false;
    const quint32 bits = digits.toUInt(&ok, 16);
    if (!ok)
        return false;
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    // A frame without a temperature in it (NaN, infinity) is no measurement.
    if (!std::isfinite(f))
        return false;
    value = QString::number(double(f), 'g', 6).toDouble();
    return true;
}

BleOpenStep bleOpenStep(int linkState)
{
    BleOpenStep step;
    step.next = linkState;
    if (linkState == BleOpen)
        return step;  // open already: nothing to do, as with the other drivers
    if (linkState == BleReady) {
        step.next = BleOpen;
        step.opened = true;
        return step;
    }
    if (linkState == BleGiveUpCount) {
        step.next = BleIdle;
        return step;
    }
    step.startAttempt = linkState == BleIdle;
    step.next = linkState + 1;
    return step;
}
