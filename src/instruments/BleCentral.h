#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

// The few things the Bluetooth LE thermometer needs of a central: find devices, connect to one,
// open two services, enable notifications, write a characteristic. Services and characteristics
// are named by their UUID text ("0000ffe0-0000-1000-8000-00805f9b34fb"). QtBleCentral does it
// with QtBluetooth; a test puts a scripted peer in its place. A central is created, used and
// deleted on one thread and emits its signals there; every answer comes asynchronously.
class BleCentral : public QObject
{
    Q_OBJECT
public:
    // Characteristic properties, valued as Bluetooth defines them.
    enum Property { Read = 0x02, WriteNoResponse = 0x04, Write = 0x08, Notify = 0x10 };

    using QObject::QObject;

    // A low-energy discovery; ends in discoveryFinished or discoveryFailed.
    virtual void startDiscovery(int leTimeoutMs) = 0;
    // Connects to the device of that name found by the last discovery; false when there is none.
    // Ends in connected, or in controllerError or disconnected.
    virtual bool connectToDevice(const QString &name) = 0;
    // After connected: serviceDiscovered for each service, then serviceDiscoveryFinished.
    virtual void discoverServices() = 0;
    // Details of a discovered service: detailsDiscovered or serviceError.
    virtual void discoverDetails(const QString &service) = 0;
    // Properties of a characteristic of a service whose details are known; -1 when there is no
    // such characteristic.
    virtual int characteristicProperties(const QString &service, const QString &characteristic) = 0;
    // Writes 01 00 to the characteristic's client configuration descriptor; false without one.
    virtual bool enableNotifications(const QString &service, const QString &characteristic) = 0;
    virtual void writeWithoutResponse(const QString &service, const QString &characteristic, const QByteArray &bytes) = 0;
    virtual void disconnectFromDevice() = 0;

signals:
    void discoveryFinished(const QStringList &leNames);
    // No adapter, adapter off, no Bluetooth service: QtBluetooth says so at once.
    void discoveryFailed(const QString &reason);
    void connected();
    void disconnected();
    void controllerError(const QString &error);
    void serviceDiscovered(const QString &service);
    void serviceDiscoveryFinished();
    void detailsDiscovered(const QString &service);
    void serviceError(const QString &service, const QString &error);
    void notified(const QString &service, const QString &characteristic, const QByteArray &value);
};
