#include "probecal/BleDiscovery.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QBluetoothDeviceInfo>
#include <QDebug>

BleDiscovery::BleDiscovery(QObject *parent) : QObject(parent)
{
    guard.setSingleShot(true);
    // The stack's own timeout should end the search; this ends it should the stack not answer.
    connect(&guard, &QTimer::timeout, this, [this] {
        if (agent)
            agent->stop();
        finish(Outcome::Found);
    });
}

BleDiscovery::~BleDiscovery()
{
    drop();
}

void BleDiscovery::drop()
{
    guard.stop();
    if (!agent)
        return;
    agent->disconnect(this);
    if (agent->isActive())
        agent->stop();
    agent->deleteLater();
    agent = nullptr;
}

void BleDiscovery::start(int timeoutMs)
{
    drop();
    searching = true;
    agent = new QBluetoothDeviceDiscoveryAgent(this);
    agent->setLowEnergyDiscoveryTimeout(timeoutMs);
    connect(agent, &QBluetoothDeviceDiscoveryAgent::finished, this, [this] { finish(Outcome::Found); });
    connect(agent, &QBluetoothDeviceDiscoveryAgent::canceled, this, [this] { finish(Outcome::Found); });
    connect(agent, QOverload<QBluetoothDeviceDiscoveryAgent::Error>::of(&QBluetoothDeviceDiscoveryAgent::error), this,
            [this](QBluetoothDeviceDiscoveryAgent::Error error) {
                qInfo().noquote() << "Bluetooth search:" << agent->errorString();
                switch (error) {
                case QBluetoothDeviceDiscoveryAgent::PoweredOffError:
                    finish(Outcome::PoweredOff);
                    break;
                case QBluetoothDeviceDiscoveryAgent::InvalidBluetoothAdapterError:
                case QBluetoothDeviceDiscoveryAgent::UnsupportedPlatformError:
                case QBluetoothDeviceDiscoveryAgent::UnsupportedDiscoveryMethod:
                    finish(Outcome::NoAdapter);
                    break;
                default:
                    // Without a Bluetooth service the stack reports an I/O or unknown error: no
                    // adapter can be used either.
                    finish(Outcome::NoAdapter);
                    break;
                }
            });
    guard.start(timeoutMs + 1500);
    agent->start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
}

void BleDiscovery::finish(Outcome outcome)
{
    if (!searching)
        return;
    searching = false;
    QStringList names;
    if (agent) {
        const QList<QBluetoothDeviceInfo> devices = agent->discoveredDevices();
        for (const QBluetoothDeviceInfo &d : devices)
            if ((d.coreConfigurations() & QBluetoothDeviceInfo::LowEnergyCoreConfiguration)
                && !d.name().isEmpty() && !names.contains(d.name()))
                names << d.name();
    }
    drop();
    emit done(names, outcome);
}
