#include "probecal/ThermistorConnection.h"

#include "probecal/ProbeDevices.h"
#include "probecal/ThermistorScan.h"

namespace ThermistorConnection {

namespace {

DeviceRecord toRecord(const ProbeCalibration::DeviceSettings &s)
{
    return {s.name, s.mode, s.address, s.port};
}

ProbeCalibration::DeviceSettings fromRecord(const DeviceRecord &r)
{
    return {r.name, r.mode, r.address, r.port};
}

} // namespace

bool edit(QWidget *parent, ProbeCalibration::DeviceSettings &settings)
{
    ThermistorScan dialog(toRecord(settings), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings = fromRecord(dialog.record());
    return true;
}

ProbeCalibration::DeviceSettings defaults(const QString &device)
{
    return fromRecord(ProbeDevices::defaults(device));
}

ProbeCalibration::DeviceSettings read(const QSettings &ini, const QString &group, const QString &device)
{
    return fromRecord(ProbeDevices::readRecord(ini, group, device));
}

} // namespace ThermistorConnection
