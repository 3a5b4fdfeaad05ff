#pragma once
// The devices of the probe calibration set-up: which links each one offers, the driver its
// connection test talks through, and the settings record config.ini keeps for it. Widget-free.

#include "instruments/Device.h"
#include "instruments/LinkSettings.h"

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// One device's communication settings: its name (as the lists show it), link type (stored word),
// address (port name, IP address or Bluetooth name) and port (TCP port or baud rate; empty for
// Bluetooth).
struct DeviceRecord
{
    QString name, mode, address, port;

    LinkSettings link() const { return LinkSettings::fromStored(mode, address, port); }
    bool operator==(const DeviceRecord &o) const
    {
        return name == o.name && mode == o.mode && address == o.address && port == o.port;
    }
    bool operator!=(const DeviceRecord &o) const { return !(*this == o); }
};

// Where config.ini keeps the probe calibration set-up.
namespace ProbeCalibrationKeys {
inline QString field() { return QStringLiteral("TField"); }
inline QString criteria() { return QStringLiteral("TCriteria"); }
inline QString collection() { return QStringLiteral("TCollection"); }
// The probe set chosen on the probe calibration page.
inline QString probeSet() { return QStringLiteral("TChannel/Channel"); }
} // namespace ProbeCalibrationKeys

namespace ProbeDevices {

// The collector the probe sets are read from and measured with.
inline QString collector() { return QStringLiteral("1611A"); }

// Every device the connection dialog knows, in the order of its table.
QStringList names();
bool isKnown(const QString &device);
// The link types (stored words) the device offers, the first being its default; empty for an
// unknown name.
QStringList linkTypes(const QString &device);
// The eight baud rates of the serial lists.
QStringList baudRates();

// The driver the connection test talks through, created on the calling thread; none for a name
// the table does not know.
std::unique_ptr<Device> createDriver(const QString &device);

// A device's record as a fresh workspace has it: its first link type with the presets of the
// forms (network 192.168.1.1 port 5980, serial 9600 baud, Bluetooth without a name).
DeviceRecord defaults(const QString &device);

// The record kept under group ("TCollection", ...) when it is the named device's; otherwise,
// and for a link type the device does not offer, its defaults.
DeviceRecord readRecord(const QSettings &ini, const QString &group, const QString &device);
void writeRecord(QSettings &ini, const QString &group, const DeviceRecord &record);

} // namespace ProbeDevices
