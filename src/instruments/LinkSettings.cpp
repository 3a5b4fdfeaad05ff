#include "instruments/LinkSettings.h"

namespace {

const QString SerialWord = QStringLiteral("串口");
const QString NetworkWord = QStringLiteral("网络");
const QString BluetoothWord = QStringLiteral("蓝牙");

} // namespace

LinkSettings LinkSettings::fromStored(const QString &mode, const QString &address, const QString &port)
{
    LinkSettings s;
    const QString m = mode.trimmed();
    const QString number = port.trimmed();
    s.address = address.trimmed();
    // A whole decimal number within [low, high]; otherwise 0 and the problem noted.
    const auto read = [&](int low, int high, Problem bad) {
        bool ok = false;
        const int value = number.toInt(&ok, 10);
        if (ok && value >= low && value <= high)
            return value;
        s.problem = bad;
        s.rejected = number;
        return 0;
    };
    if (m == SerialWord) {
        s.kind = Serial;
        s.baudRate = read(1, 100000000, BadBaudRate);
    } else if (m == NetworkWord) {
        s.kind = Network;
        s.port = read(1, 65535, BadPort);
    } else if (m == BluetoothWord) {
        s.kind = Bluetooth;  // found by its advertised name; the number means nothing here
    } else {
        s.problem = UnknownMode;
        s.rejected = m;
        return s;
    }
    // The address is the first thing a user fills in: report it before the number.
    if (s.address.isEmpty()) {
        s.problem = NoAddress;
        s.rejected.clear();
    }
    return s;
}

LinkSettings LinkSettings::serial(const QString &portName, int baudRate)
{
    return fromStored(SerialWord, portName, QString::number(baudRate));
}

LinkSettings LinkSettings::network(const QString &host, int port)
{
    return fromStored(NetworkWord, host, QString::number(port));
}

QString LinkSettings::modeText(Kind kind)
{
    switch (kind) {
    case Serial:
        return SerialWord;
    case Network:
        return NetworkWord;
    case Bluetooth:
        return BluetoothWord;
    }
    return QString();
}

QString LinkSettings::portText() const
{
    switch (kind) {
    case Serial:
        return QString::number(baudRate);
    case Network:
        return QString::number(port);
    case Bluetooth:
        return QString();
    }
    return QString();
}

QString LinkSettings::problemText() const
{
    switch (problem) {
    case NoProblem:
        return QString();
    case UnknownMode:
        return tr("通讯方式“%1”无效，应为串口、网络或蓝牙！").arg(rejected);
    case NoAddress:
        if (kind == Serial)
            return tr("请选择串口号！");
        if (kind == Bluetooth)
            return tr("请输入蓝牙设备名称！");
        return tr("请输入IP地址！");
    case BadPort:
        return tr("端口号“%1”无效，应为1到65535之间的整数！").arg(rejected);
    case BadBaudRate:
        return tr("波特率“%1”无效，应为正整数！").arg(rejected);
    }
    return QString();
}

QString LinkSettings::describe() const
{
    return QStringLiteral("%1 %2 %3").arg(modeText(), address, portText()).trimmed();
}
