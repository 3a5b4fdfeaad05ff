#pragma once

#include "instruments/BleCentral.h"

#include <QBluetoothDeviceInfo>
#include <QHash>
#include <QList>

class QBluetoothDeviceDiscoveryAgent;
class QLowEnergyController;
class QLowEnergyService;

// BleCentral on QtBluetooth: a discovery agent, a central-role controller and the service
// objects, each released when replaced and with the central.
class QtBleCentral : public BleCentral
{
    Q_OBJECT
public:
    explicit QtBleCentral(QObject *parent = nullptr);
    ~QtBleCentral() override;

    void startDiscovery(int leTimeoutMs) override;
    bool connectToDevice(const QString &name) override;
    void discoverServices() override;
    void discoverDetails(const QString &service) override;
    int characteristicProperties(const QString &service, const QString &characteristic) override;
    bool enableNotifications(const QString &service, const QString &characteristic) override;
    void writeWithoutResponse(const QString &service, const QString &characteristic, const QByteArray &bytes) override;
    void disconnectFromDevice() override;

private:
    void releaseServices();

    QBluetoothDeviceDiscoveryAgent *agent = nullptr;
    QList<QBluetoothDeviceInfo> devices;
    QLowEnergyController *controller = nullptr;
    QHash<QString, QLowEnergyService *> services;
};
