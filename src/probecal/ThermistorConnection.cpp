#include "probecal/ThermistorConnection.h"

// SEAM: the device connection dialog (ThermistorScan) is not in this build yet. Until it is, the
// page keeps the settings config.ini holds and the buttons change nothing.
namespace ThermistorConnection {

bool edit(QWidget *, ProbeCalibration::DeviceSettings &)
{
    return false;
}

ProbeCalibration::DeviceSettings defaults(const QString &device)
{
    return {device, QString(), QString(), QString()};
}

} // namespace ThermistorConnection
