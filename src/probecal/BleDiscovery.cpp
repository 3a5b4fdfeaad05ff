#include "probecal/BleDiscovery.h"

#include "instruments/QtBleCentral.h"

#include <QDebug>

BleDiscovery::CentralFactory BleDiscovery::makeCentral = [] { return new QtBleCentral; };

BleDiscovery::BleDiscovery(QObject *parent) : QObject(parent)
{
    guard.setSingleShot(true);
    // The stack's own timeout ends the search; this ends it should the stack not answer.
    connect(&guard, &QTimer::timeout, this, [this] { finish(QStringList(), Outcome::Found); });
}

BleDiscovery::~BleDiscovery()
{
    drop();
}

void BleDiscovery::drop()
{
    guard.stop();
    if (!central)
        return;
    central->disconnect(this);
    central->deleteLater();
    central = nullptr;
}

void BleDiscovery::start(int timeoutMs)
{
    drop();
    searching = true;
    central = makeCentral();
    connect(central, &BleCentral::discoveryFinished, this,
            [this](const QStringList &names) { finish(names, Outcome::Found); });
    connect(central, &BleCentral::discoveryFailed, this, [this](const QString &reason) {
        qInfo().noquote() << "Bluetooth search:" << reason;
        finish(QStringList(), reason.startsWith(QLatin1String("PoweredOffError")) ? Outcome::PoweredOff
                                                                                    : Outcome::NoAdapter);
    });
    guard.start(timeoutMs + 1500);
    central->startDiscovery(timeoutMs);
}

void BleDiscovery::finish(const QStringList &found, Outcome outcome)
{
    if (!searching)
        return;
    searching = false;
    QStringList names;
    for (const QString &name : found)
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    drop();
    emit done(names, outcome);
}
