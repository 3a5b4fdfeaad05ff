#include "instruments/Transport.h"

#include <QAbstractSocket>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTimer>

std::unique_ptr<Transport> Transport::create(const LinkSettings &link, int openWaitMs)
{
    if (!link.isValid())
        return nullptr;
    switch (link.kind) {
    case LinkSettings::Serial:
        return std::make_unique<SerialTransport>(link.address, link.baudRate);
    case LinkSettings::Network:
        return std::make_unique<TcpTransport>(link.address, link.port, openWaitMs);
    case LinkSettings::Bluetooth:
        return nullptr;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------

SerialTransport::SerialTransport(const QString &portName, int baudRate) : portName(portName), baudRate(baudRate) {}

SerialTransport::~SerialTransport()
{
    close();
}

void SerialTransport::open()
{
    port = new QSerialPort(this);
    port->setPortName(portName);
    if (!port->open(QIODevice::ReadWrite)) {
        const QString reason = port->errorString();
        delete port;
        port = nullptr;
        emit failed(reason);
        return;
    }
    port->setBaudRate(baudRate, QSerialPort::AllDirections);
    port->setDataBits(QSerialPort::Data8);
    port->setFlowControl(QSerialPort::NoFlowControl);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    connect(port, &QSerialPort::readyRead, this, &Transport::readyRead);
    // A port that goes away (adapter pulled, pseudo-terminal closed) is lost; a hung-up line
    // reads as end of file, which the port reports as a read error, over and over.
    connect(port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (!port || (e != QSerialPort::ResourceError && e != QSerialPort::ReadError))
            return;
        const QString reason = port->errorString();
        port->disconnect(this);
        port->close();
        emit lost(reason);
    });
    emit opened();
}

void SerialTransport::write(const QByteArray &bytes)
{
    if (port && port->isOpen())
        port->write(bytes);
}

QByteArray SerialTransport::readAll()
{
    return port && port->isOpen() ? port->readAll() : QByteArray();
}

void SerialTransport::close()
{
    if (!port)
        return;
    port->disconnect(this);
    if (port->isOpen()) {
        port->clear(QSerialPort::AllDirections);
        port->close();
    }
}

// ---------------------------------------------------------------------------------------------

TcpTransport::TcpTransport(const QString &host, int port, int openWaitMs) : host(host), port(port), openWaitMs(openWaitMs) {}

TcpTransport::~TcpTransport()
{
    close();
}

void TcpTransport::open()
{
    socket = new QTcpSocket(this);
    connect(socket, &QTcpSocket::readyRead, this, &Transport::readyRead);
    connect(socket, &QTcpSocket::connected, this, [this] {
        up = true;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        emit opened();
    });
    // Before the connection is up an error ends the attempt; afterwards the peer closing or the
    // network failing ends in `disconnected`.
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (up)
            return;
        const QString reason = socket->errorString();
        socket->disconnect(this);
        socket->abort();
        emit failed(reason);
    });
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        if (!up)
            return;
        up = false;
        socket->disconnect(this);
        emit lost(QStringLiteral("the peer closed the connection"));
    });
    // The attempt is given up with the caller's wait.
    QTimer::singleShot(openWaitMs, socket, [this] {
        if (up || socket->state() == QAbstractSocket::UnconnectedState)
            return;
        socket->disconnect(this);
        socket->abort();
        emit failed(QStringLiteral("no connection within %1 ms").arg(openWaitMs));
    });
    socket->connectToHost(host, quint16(port), QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
}

void TcpTransport::write(const QByteArray &bytes)
{
    if (socket && up) {
        socket->write(bytes);
        socket->flush();
    }
}

QByteArray TcpTransport::readAll()
{
    return socket ? socket->readAll() : QByteArray();
}

void TcpTransport::close()
{
    if (!socket)
        return;
    socket->disconnect(this);
    if (socket->state() != QAbstractSocket::UnconnectedState) {
        socket->disconnectFromHost();
        socket->abort();
    }
    up = false;
}
