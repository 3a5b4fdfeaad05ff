// The store declares the port listing with the rest of Tool; it is defined here so that only
// the instrument library links the serial port module.

#include "store/tool.h"

#include <QSerialPortInfo>
#include <algorithm>

QStringList Tool::serialPortNames()
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &p : ports)
        names << p.portName();
    std::sort(names.begin(), names.end());
    return names;
}
