#pragma once
// Where the probe calibration page gets a device's communication settings edited: the device
// connection dialog, and the settings a device starts from.

#include "acquisition/ProbeCalibration.h"

class QWidget;

namespace ThermistorConnection {

// Shows the connection dialog for the device; true, with settings changed, when it was accepted.
bool edit(QWidget *parent, ProbeCalibration::DeviceSettings &settings);

// A device's settings as a fresh workspace has them.
ProbeCalibration::DeviceSettings defaults(const QString &device);

} // namespace ThermistorConnection
