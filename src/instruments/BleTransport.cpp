#include "instruments/BleTransport.h"

#include "instruments/BleCentral.h"

#include <QDebug>

const QString BleTransport::NotifyService = QStringLiteral("0000ffe0-0000-1000-8000-00805f9b34fb");
const QString BleTransport::NotifyCharacteristic = QStringLiteral("0000ffe4-0000-1000-8000-00805f9b34fb");
const QString BleTransport::WriteService = QStringLiteral("0000ffe5-0000-1000-8000-00805f9b34fb");
const QString BleTransport::WriteCharacteristic = QStringLiteral("0000ffe9-0000-1000-8000-00805f9b34fb");

BleTransport::BleTransport(BleCentral *central, const QString &targetName) : central(central), targetName(targetName)
{
    central->setParent(nullptr);
}

BleTransport::~BleTransport()
{
    close();
}

void BleTransport::open()
{
    BleCentral *c = central.get();
    connect(c, &BleCentral::discoveryFinished, this, &BleTransport::discovered);
    connect(c, &BleCentral::discoveryFailed, this, [this](const QString &reason) {
        // No adapter or no Bluetooth service: the instrument cannot be reached now.
        emit failed(QStringLiteral("Bluetooth not available: ") + reason);
    });
    connect(c, &BleCentral::connected, this, [this] {
        qDebug().noquote() << QStringLiteral("蓝牙连接成功；");
        central->discoverServices();
    });
    connect(c, &BleCentral::disconnected, this, [this] {
        qDebug().noquote() << QStringLiteral("蓝牙以断开；");
        if (up) {
            up = false;
            emit lost(QStringLiteral("the thermometer disconnected"));
        } else {
            emit failed(QStringLiteral("disconnected before the link was ready"));
        }
    });
    connect(c, &BleCentral::controllerError, this, [this](const QString &error) {
        qDebug().noquote() << "Controler Error:" << error;
        // Before the link is up the attempt is over; later errors are only logged.
        if (!up)
            emit failed(QStringLiteral("controller error ") + error);
    });
    connect(c, &BleCentral::serviceDiscovered, this, &BleTransport::serviceDiscovered);
    connect(c, &BleCentral::serviceDiscoveryFinished, this, [] { qDebug().noquote() << QStringLiteral("搜索服务结束；"); });
    connect(c, &BleCentral::detailsDiscovered, this, &BleTransport::detailsDiscovered);
    connect(c, &BleCentral::serviceError, this, [](const QString &service, const QString &error) {
        if (service == WriteService)
            qDebug().noquote() << "WriteService Error:" << error;
    });
    connect(c, &BleCentral::notified, this, [this](const QString &service, const QString &characteristic, const QByteArray &value) {
        if (service != NotifyService || characteristic != NotifyCharacteristic)
            return;
        received += value;
        emit readyRead();
    });
    central->startDiscovery(DiscoveryTimeoutMs);
}

void BleTransport::discovered(const QStringList &names)
{
    // A name not found ends the attempt; the caller's Open calls run out or start another.
    if (!names.contains(targetName)) {
        emit failed(QStringLiteral("no LE device named \"%1\" found").arg(targetName));
        return;
    }
    if (!central->connectToDevice(targetName))
        emit failed(QStringLiteral("cannot connect to \"%1\"").arg(targetName));
}

void BleTransport::serviceDiscovered(const QString &service)
{
    if (service == NotifyService || service == WriteService)
        central->discoverDetails(service);
}

void BleTransport::detailsDiscovered(const QString &service)
{
    if (service == NotifyService)
        notifyReady();
    else if (service == WriteService)
        writeReady();
}

void BleTransport::notifyReady()
{
    const int properties = central->characteristicProperties(NotifyService, NotifyCharacteristic);
    if (properties < 0)
        return;
    if (properties & BleCentral::Notify)
        qDebug().noquote() << QStringLiteral("具有通知权限!");
    central->enableNotifications(NotifyService, NotifyCharacteristic);
}

void BleTransport::writeReady()
{
    const int properties = central->characteristicProperties(WriteService, WriteCharacteristic);
    if (properties < 0 || !(properties & (BleCentral::WriteNoResponse | BleCentral::Write)) || up)
        return;
    qDebug().noquote() << QStringLiteral("具有写入权限!");
    up = true;
    emit opened();
}

void BleTransport::write(const QByteArray &bytes)
{
    if (up)
        central->writeWithoutResponse(WriteService, WriteCharacteristic, bytes);
}

QByteArray BleTransport::readAll()
{
    QByteArray bytes;
    bytes.swap(received);
    return bytes;
}

void BleTransport::close()
{
    if (closed)
        return;
    closed = true;
    central->disconnect(this);
    central->disconnectFromDevice();
    up = false;
    received.clear();
}
