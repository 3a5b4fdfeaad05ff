#include "instruments/StreamLink.h"

#include <QAbstractSocket>
#include <QDebug>
#include <QSerialPort>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <chrono>

StreamLink::StreamLink(QObject *owner, std::atomic<bool> &openFlag) : owner(owner), openFlag(openFlag) {}

StreamLink::~StreamLink()
{
    close();
}

bool StreamLink::inOwnerThread() const
{
    return QThread::currentThread() == owner->thread();
}

void StreamLink::wake()
{
    changed.notify_all();
}

void StreamLink::beginOpen()
{
    std::lock_guard<std::mutex> lock(mutex);
    openPending = true;
}

bool StreamLink::waitOpen(int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return openFlag.load() || !openPending; });
    return openFlag.load();
}

bool StreamLink::takeReply(QString &out, int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    // A lost connection ends the wait early: nothing more can arrive.
    const bool got = changed.wait_for(lock, std::chrono::milliseconds(ms),
                                      [this] { return !rxQueue.isEmpty() || !openFlag.load(); });
    if (!got || rxQueue.isEmpty()) {
        rxBuffer.clear();
        return false;
    }
    out = rxQueue.takeLast();
    out.remove(QLatin1Char('\r'));
    out.remove(QLatin1Char('\n'));
    return true;
}

int StreamLink::closeTicket()
{
    std::lock_guard<std::mutex> lock(mutex);
    return closesDone;
}

bool StreamLink::waitCloseDone(int ticket, int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return closesDone != ticket; });
}

void StreamLink::discardReplies()
{
    std::lock_guard<std::mutex> lock(mutex);
    rxQueue.clear();
}

void StreamLink::clear()
{
    std::lock_guard<std::mutex> lock(mutex);
    rxBuffer.clear();
    rxQueue.clear();
}

void StreamLink::endOpenAttempt()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        openPending = false;
    }
    wake();
}

bool StreamLink::openSerial(const QString &name, int baudRate, const std::function<void()> &onReadyRead)
{
    auto *port = new QSerialPort(owner);
    port->setPortName(name);
    if (!port->open(QIODevice::ReadWrite)) {
        qDebug() << "StreamLink: cannot open serial port" << name << port->errorString();
        delete port;
        endOpenAttempt();
        return false;
    }
    port->setBaudRate(baudRate, QSerialPort::AllDirections);
    port->setDataBits(QSerialPort::Data8);
    port->setFlowControl(QSerialPort::NoFlowControl);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    QObject::connect(port, &QSerialPort::readyRead, owner, onReadyRead);
    // A port that goes away (adapter pulled, pseudo-terminal closed) leaves the driver closed;
    // a hung-up line reads as end of file, which the port reports as a read error, over and over.
    QObject::connect(port, &QSerialPort::errorOccurred, owner, [this, port](QSerialPort::SerialPortError e) {
        if ((e == QSerialPort::ResourceError || e == QSerialPort::ReadError) && port == serialPort) {
            qDebug() << "StreamLink: serial port lost:" << port->errorString();
            port->close();
            connectionLost();
        }
    });
    serialPort = port;
    transportMode = Serial;
    openFlag = true;
    endOpenAttempt();
    return true;
}

void StreamLink::openNetwork(const QString &host, int port, const std::function<void()> &onReadyRead)
{
    auto *s = new QTcpSocket(owner);
    socket = s;
    QObject::connect(s, &QTcpSocket::readyRead, owner, onReadyRead);
    QObject::connect(s, &QTcpSocket::connected, owner, [this, s] {
        if (s != socket)
            return;
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        transportMode = Network;
        openFlag = true;
        endOpenAttempt();
    });
    // Before the connection is up, an error ends the attempt; afterwards the peer closing or
    // the network failing ends in `disconnected`.
    QObject::connect(s, &QTcpSocket::errorOccurred, owner, [this, s](QAbstractSocket::SocketError) {
        if (s != socket || openFlag.load())
            return;
        qDebug() << "StreamLink: cannot connect" << s->errorString();
        s->disconnect(owner);
        s->deleteLater();
        socket = nullptr;
        endOpenAttempt();
    });
    QObject::connect(s, &QTcpSocket::disconnected, owner, [this, s] {
        if (s == socket)
            connectionLost();
    });
    // Connecting does not block the GUI thread; the attempt is given up with the caller's wait.
    QTimer::singleShot(OpenWaitMs, s, [this, s] {
        if (s != socket || s->state() == QAbstractSocket::ConnectedState)
            return;
        s->disconnect(owner);
        s->abort();
        s->deleteLater();
        socket = nullptr;
        endOpenAttempt();
    });
    s->connectToHost(host, quint16(port), QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
}

void StreamLink::connectionLost()
{
    // The port or socket is released later by the event loop; it is never touched again.
    if (serialPort) {
        serialPort->disconnect(owner);
        serialPort->deleteLater();
        serialPort = nullptr;
    }
    if (socket) {
        socket->disconnect(owner);
        socket->deleteLater();
        socket = nullptr;
    }
    transportMode = None;
    openFlag = false;
    endOpenAttempt();
}

void StreamLink::write(const QByteArray &bytes)
{
    if (transportMode == Serial && serialPort) {
        serialPort->write(bytes);
    } else if (transportMode == Network && socket) {
        socket->write(bytes);
        socket->flush();
    }
}

QByteArray StreamLink::readAvailable()
{
    if (serialPort)
        return serialPort->readAll();
    if (socket)
        return socket->readAll();
    return {};
}

void StreamLink::close()
{
    if (serialPort) {
        serialPort->disconnect(owner);
        serialPort->clear(QSerialPort::AllDirections);
        serialPort->close();
        delete serialPort.data();
        serialPort = nullptr;
    }
    if (socket) {
        QTcpSocket *s = socket.data();
        socket = nullptr;
        s->disconnect(owner);
        s->disconnectFromHost();
        s->close();
        s->deleteLater();
    }
    transportMode = None;
    openFlag = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        openPending = false;
        ++closesDone;
    }
    wake();
}

void StreamLink::frame(const std::function<QStringList(QString &)> &framer)
{
    bool queued = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const QStringList replies = framer(rxBuffer);
        for (const QString &r : replies)
            rxQueue.prepend(r);
        queued = !replies.isEmpty();
    }
    if (queued)
        wake();
}
