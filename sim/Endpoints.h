#pragma once
// Transports of the simulator: a TCP server on the loopback interface and a pseudo-terminal.
// Each client connection is an Endpoint with its own input buffer and its own timed output
// queue; the instrument behind it is shared.

#include "Faults.h"
#include "Instrument.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QTimer>

class QTcpServer;
class QTcpSocket;
class QSocketNotifier;

namespace pcrsim {

class Endpoint : public QObject
{
    Q_OBJECT
public:
    Endpoint(Instrument *instrument, FaultInjector *faults, QObject *parent);

protected:
    void received(const QByteArray &bytes);
    virtual void writeRaw(const QByteArray &bytes) = 0;

private:
    void flushDue();

    Instrument *instrument;
    FaultInjector *faults;
    QByteArray input;
    struct Piece
    {
        qint64 due;
        QByteArray bytes;
    };
    QQueue<Piece> output;
    QTimer sendTimer;
    QElapsedTimer clock;
};

class TcpEndpoint : public Endpoint
{
    Q_OBJECT
public:
    TcpEndpoint(QTcpSocket *socket, Instrument *instrument, FaultInjector *faults, QObject *parent);

protected:
    void writeRaw(const QByteArray &bytes) override;

private:
    QPointer<QTcpSocket> socket;
};

// Serves an instrument on 127.0.0.1:port (0 picks a free port).
class TcpService : public QObject
{
    Q_OBJECT
public:
    TcpService(Instrument *instrument, FaultInjector *faults, QObject *parent = nullptr);
    bool listen(quint16 port, QString *error);
    quint16 port() const;

private:
    QTcpServer *server;
    Instrument *instrument;
    FaultInjector *faults;
};

// Serves an instrument on a new pseudo-terminal. The simulator keeps the slave side open
// itself (in raw mode), so clients can open, close and reopen it by its path.
class PtyEndpoint : public Endpoint
{
    Q_OBJECT
public:
    PtyEndpoint(Instrument *instrument, FaultInjector *faults, QObject *parent = nullptr);
    ~PtyEndpoint() override;
    bool open(QString *error);
    QString slavePath() const { return path; }

protected:
    void writeRaw(const QByteArray &bytes) override;

private:
    void readMaster();

    int master = -1;
    int slave = -1;
    QString path;
    QSocketNotifier *notifier = nullptr;
};

} // namespace pcrsim
