#pragma once

#include "instruments/LinkSettings.h"

#include <QByteArray>
#include <QObject>
#include <memory>

// A byte link to one instrument: a serial port or a TCP connection today; a BLE link (writes to
// one characteristic, notifications from another) fits the same shape. A transport is created,
// used and deleted on its StreamLink's driver thread only, and emits its signals there. It knows
// nothing of framing: the driver frames what it reads.
class Transport : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts the connection; it ends with opened() or failed(), possibly before this returns.
    // Called once per object.
    virtual void open() = 0;
    virtual void write(const QByteArray &bytes) = 0;
    virtual QByteArray readAll() = 0;
    // Drops what is buffered and closes; emits nothing.
    virtual void close() = 0;

    // The transport for a link, or none when that kind has no transport in this build (the BLE
    // link comes with its driver). `openWaitMs` bounds a connection attempt.
    static std::unique_ptr<Transport> create(const LinkSettings &link, int openWaitMs);

signals:
    void opened();
    void failed(const QString &reason);  // the connection did not come up
    void readyRead();
    void lost(const QString &reason);    // an open connection went away (peer closed, port pulled)
};

// A serial port (also a pseudo-terminal by its full path): 8 data bits, no parity, one stop bit,
// no flow control.
class SerialTransport : public Transport
{
    Q_OBJECT
public:
    SerialTransport(const QString &portName, int baudRate);
    ~SerialTransport() override;

    void open() override;
    void write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void close() override;

private:
    class QSerialPort *port = nullptr;
    QString portName;
    int baudRate;
};

// A TCP client connection with Nagle's delay off (requests are short and wait for their reply).
class TcpTransport : public Transport
{
    Q_OBJECT
public:
    TcpTransport(const QString &host, int port, int openWaitMs);
    ~TcpTransport() override;

    void open() override;
    void write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void close() override;

private:
    class QTcpSocket *socket = nullptr;
    QString host;
    int port;
    int openWaitMs;
    bool up = false;
};
