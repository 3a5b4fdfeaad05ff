#pragma once

#include "instruments/Transport.h"

#include <memory>

class BleCentral;

// The Bluetooth LE thermometer's link as a byte transport: discovery by advertised name,
// connection, the notify and write services; notifications of the measurement characteristic
// are what it reads, writes go to the command characteristic without response. Opened once the
// command characteristic can be written.
class BleTransport : public Transport
{
    Q_OBJECT
public:
    static const QString NotifyService, NotifyCharacteristic, WriteService, WriteCharacteristic;
    static constexpr int DiscoveryTimeoutMs = 500;

    BleTransport(BleCentral *central, const QString &targetName);
    ~BleTransport() override;

    void open() override;
    void write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void close() override;

private:
    void discovered(const QStringList &names);
    void serviceDiscovered(const QString &service);
    void detailsDiscovered(const QString &service);
    void notifyReady();
    void writeReady();

    std::unique_ptr<BleCentral> central;
    QString targetName;
    QByteArray received;
    bool up = false;
    bool closed = false;
};
