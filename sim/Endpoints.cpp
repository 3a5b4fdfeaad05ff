#include "Endpoints.h"

#include "Trace.h"

#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace pcrsim {

Endpoint::Endpoint(Instrument *instrument, FaultInjector *faults, QObject *parent)
    : QObject(parent), instrument(instrument), faults(faults)
{
    clock.start();
    sendTimer.setSingleShot(true);
    sendTimer.setTimerType(Qt::PreciseTimer);
    connect(&sendTimer, &QTimer::timeout, this, &Endpoint::flushDue);
}

void Endpoint::received(const QByteArray &bytes)
{
    input += bytes;
    const QList<QByteArray> replies = instrument->consume(input);
    // Replies keep their order: a piece is never due before the one queued ahead of it.
    qint64 due = clock.elapsed() + faults->config().delayMs;
    if (!output.isEmpty())
        due = std::max(due, output.last().due);
    for (const QByteArray &reply : replies) {
        const QList<QByteArray> pieces = faults->apply(*instrument, reply);
        for (int i = 0; i < pieces.size(); ++i)
            output.enqueue({due + (i > 0 ? FaultInjector::ChunkGapMs * i : 0), pieces.at(i)});
        if (!pieces.isEmpty())
            due = output.last().due;
    }
    flushDue();
}

void Endpoint::flushDue()
{
    const qint64 now = clock.elapsed();
    while (!output.isEmpty() && output.head().due <= now)
        writeRaw(output.dequeue().bytes);
    if (!output.isEmpty())
        sendTimer.start(int(output.head().due - now));
}

TcpEndpoint::TcpEndpoint(QTcpSocket *socket, Instrument *instrument, FaultInjector *faults, QObject *parent)
    : Endpoint(instrument, faults, parent), socket(socket)
{
    socket->setParent(this);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket, &QTcpSocket::readyRead, this, [this] { received(this->socket->readAll()); });
    connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
}

void TcpEndpoint::writeRaw(const QByteArray &bytes)
{
    if (socket && socket->state() == QAbstractSocket::ConnectedState) {
        socket->write(bytes);
        socket->flush();
    }
}

TcpService::TcpService(Instrument *instrument, FaultInjector *faults, QObject *parent)
    : QObject(parent), server(new QTcpServer(this)), instrument(instrument), faults(faults)
{
    connect(server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = server->nextPendingConnection()) {
            trace(this->instrument->name() + QStringLiteral(" tcp client connected"));
            new TcpEndpoint(s, this->instrument, this->faults, this);
        }
    });
}

bool TcpService::listen(quint16 port, QString *error)
{
    if (server->listen(QHostAddress::LocalHost, port))
        return true;
    *error = server->errorString();
    return false;
}

quint16 TcpService::port() const
{
    return server->serverPort();
}

PtyEndpoint::PtyEndpoint(Instrument *instrument, FaultInjector *faults, QObject *parent)
    : Endpoint(instrument, faults, parent)
{
}

PtyEndpoint::~PtyEndpoint()
{
    if (slave >= 0)
        ::close(slave);
    if (master >= 0)
        ::close(master);
}

bool PtyEndpoint::open(QString *error)
{
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    path = QString::fromLocal8Bit(::ptsname(master));
    // Holding the slave open keeps the master readable between clients, and raw mode keeps
    // the line discipline from echoing or translating bytes before a client sets its own.
    slave = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &PtyEndpoint::readMaster);
    return true;
}

void PtyEndpoint::readMaster()
{
    QByteArray bytes;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n > 0) {
            bytes.append(buf, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    if (!bytes.isEmpty())
        received(bytes);
}

void PtyEndpoint::writeRaw(const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            // Nobody reads the terminal and its buffer is full: the rest is lost, as on a line.
            trace(QStringLiteral("pty write lost %1 bytes").arg(bytes.size() - done));
            return;
        }
    }
}

} // namespace pcrsim
