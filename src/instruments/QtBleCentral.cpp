#include "instruments/QtBleCentral.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QBluetoothUuid>
#include <QLowEnergyController>
#include <QLowEnergyService>
#include <QMetaEnum>

namespace {

template <class E> QString enumName(E value)
{
    return QString::fromLatin1(QMetaEnum::fromType<E>().valueToKey(int(value)));
}

QString uuidText(const QBluetoothUuid &uuid)
{
    return uuid.toString(QUuid::WithoutBraces);
}

} // namespace

QtBleCentral::QtBleCentral(QObject *parent) : BleCentral(parent) {}

QtBleCentral::~QtBleCentral()
{
    // Services go before the controller they belong to.
    releaseServices();
    delete controller;
    delete agent;
}

void QtBleCentral::releaseServices()
{
    qDeleteAll(services);
    services.clear();
}

void QtBleCentral::startDiscovery(int leTimeoutMs)
{
    delete agent;
    devices.clear();
    agent = new QBluetoothDeviceDiscoveryAgent(this);
    agent->setLowEnergyDiscoveryTimeout(leTimeoutMs);
    QBluetoothDeviceDiscoveryAgent *a = agent;
    connect(a, &QBluetoothDeviceDiscoveryAgent::finished, this, [this, a] {
        QStringList names;
        const QList<QBluetoothDeviceInfo> found = a->discoveredDevices();
        for (const QBluetoothDeviceInfo &info : found) {
            if (info.coreConfigurations() & QBluetoothDeviceInfo::LowEnergyCoreConfiguration) {
                devices << info;
                names << info.name();
            }
        }
        emit discoveryFinished(names);
    });
    // Without an adapter or a Bluetooth service this comes at once, from start() itself.
    connect(a, QOverload<QBluetoothDeviceDiscoveryAgent::Error>::of(&QBluetoothDeviceDiscoveryAgent::error), this,
            [this, a](QBluetoothDeviceDiscoveryAgent::Error e) {
                emit discoveryFailed(enumName(e) + QStringLiteral(": ") + a->errorString());
            });
    agent->start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
}

bool QtBleCentral::connectToDevice(const QString &name)
{
    for (const QBluetoothDeviceInfo &info : qAsConst(devices)) {
        if (info.name() != name)
            continue;
        releaseServices();
        delete controller;
        controller = QLowEnergyController::createCentral(info, this);
        connect(controller, &QLowEnergyController::connected, this, &BleCentral::connected);
        connect(controller, &QLowEnergyController::disconnected, this, &BleCentral::disconnected);
        connect(controller, QOverload<QLowEnergyController::Error>::of(&QLowEnergyController::error), this,
                [this](QLowEnergyController::Error e) { emit controllerError(enumName(e)); });
        connect(controller, &QLowEnergyController::serviceDiscovered, this,
                [this](const QBluetoothUuid &uuid) { emit serviceDiscovered(uuidText(uuid)); });
        connect(controller, &QLowEnergyController::discoveryFinished, this, &BleCentral::serviceDiscoveryFinished);
        controller->connectToDevice();
        return true;
    }
    return false;
}

void QtBleCentral::discoverServices()
{
    if (controller)
        controller->discoverServices();
}

void QtBleCentral::discoverDetails(const QString &service)
{
    if (!controller)
        return;
    delete services.take(service);
    QLowEnergyService *s = controller->createServiceObject(QBluetoothUuid(service), this);
    if (!s) {
        emit serviceError(service, QStringLiteral("no such service"));
        return;
    }
    services.insert(service, s);
    connect(s, &QLowEnergyService::stateChanged, this, [this, service](QLowEnergyService::ServiceState state) {
        if (state == QLowEnergyService::ServiceDiscovered)
            emit detailsDiscovered(service);
    });
    connect(s, QOverload<QLowEnergyService::ServiceError>::of(&QLowEnergyService::error), this,
            [this, service](QLowEnergyService::ServiceError e) { emit serviceError(service, enumName(e)); });
    connect(s, &QLowEnergyService::characteristicChanged, this,
            [this, service](const QLowEnergyCharacteristic &c, const QByteArray &value) { emit notified(service, uuidText(c.uuid()), value); });
    s->discoverDetails();
}

int QtBleCentral::characteristicProperties(const QString &service, const QString &characteristic)
{
    QLowEnergyService *s = services.value(service);
    if (!s)
        return -1;
    const QLowEnergyCharacteristic c = s->characteristic(QBluetoothUuid(characteristic));
    return c.isValid() ? int(c.properties()) : -1;
}

bool QtBleCentral::enableNotifications(const QString &service, const QString &characteristic)
{
    QLowEnergyService *s = services.value(service);
    if (!s)
        return false;
    const QLowEnergyCharacteristic c = s->characteristic(QBluetoothUuid(characteristic));
    const QLowEnergyDescriptor d = c.isValid() ? c.descriptor(QBluetoothUuid::ClientCharacteristicConfiguration) : QLowEnergyDescriptor();
    if (!d.isValid())
        return false;
    s->writeDescriptor(d, QByteArray::fromHex("0100"));
    return true;
}

void QtBleCentral::writeWithoutResponse(const QString &service, const QString &characteristic, const QByteArray &bytes)
{
    QLowEnergyService *s = services.value(service);
    if (!s)
        return;
    const QLowEnergyCharacteristic c = s->characteristic(QBluetoothUuid(characteristic));
    if (c.isValid())
        s->writeCharacteristic(c, bytes, QLowEnergyService::WriteWithoutResponse);
}

void QtBleCentral::disconnectFromDevice()
{
    if (controller)
        controller->disconnectFromDevice();
}
