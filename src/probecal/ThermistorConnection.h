#pragma once
// Where the probe calibration page gets a device's communication settings edited: the device
// connection dialog, and the settings a device starts from.

#include "acquisition/ProbeCalibration.h"

class QSettings;
class QWidget;

namespace ThermistorConnection {

// Shows the connection dialog for the device; true, with settings changed, when it was accepted.
bool edit(QWidget *parent, ProbeCalibration::DeviceSettings &settings);

// A device's settings as a fresh workspace has them.
ProbeCalibration::DeviceSettings defaults(const QString &device);
// The settings config.ini keeps under group when they are the named device's and use a link it
// offers; otherwise its defaults.
ProbeCalibration::DeviceSettings read(const QSettings &ini, const QString &group, const QString &device);

} // namespace ThermistorConnection
