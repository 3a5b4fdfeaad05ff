#pragma once
// A text instrument stand-in whose replies the test scripts, on loopback TCP or on a
// pseudo-terminal: for every line received (without CR LF), `answer` gives the raw pieces to
// send back, 20 ms apart so that the driver sees them as separate reads.

#include <QPointer>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

class LinePeer : public QObject
{
public:
    enum Kind { Tcp, Pty };

    std::function<QList<QByteArray>(const QByteArray &line)> answer;
    // Delay before the first piece of a reply (default none).
    int delayMs = 0;
    QByteArray received;     // every byte, as it came
    QList<QByteArray> lines;  // every complete line, without CR LF

    explicit LinePeer(Kind kind) : kind(kind)
    {
        if (kind == Tcp) {
            server.listen(QHostAddress::LocalHost, 0);
            QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
                while (QTcpSocket *s = server.nextPendingConnection()) {
                    client = s;
                    QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] { take(s->readAll()); });
                }
            });
            return;
        }
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        path = QString::fromLocal8Bit(::ptsname(master));
        // Held open in raw mode, so the line discipline neither echoes nor translates.
        slave = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        termios raw{};
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
        QObject::connect(notifier, &QSocketNotifier::activated, this, [this] {
            char buf[4096];
            ssize_t n;
            QByteArray bytes;
            while ((n = ::read(master, buf, sizeof buf)) > 0)
                bytes.append(buf, int(n));
            if (!bytes.isEmpty())
                take(bytes);
        });
    }
    ~LinePeer() override
    {
        delete notifier;
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
    }

    QString mode() const { return kind == Tcp ? QStringLiteral("网络") : QStringLiteral("串口"); }
    QString address() const { return kind == Tcp ? QStringLiteral("127.0.0.1") : path; }
    QString port() const { return kind == Tcp ? QString::number(server.serverPort()) : QStringLiteral("9600"); }

    int count(const QByteArray &line) const { return int(std::count(lines.cbegin(), lines.cend(), line)); }

    // Sends bytes to the driver now.
    void send(const QByteArray &bytes)
    {
        if (kind == Tcp) {
            if (client) {
                client->write(bytes);
                client->flush();
            }
        } else if (::write(master, bytes.constData(), size_t(bytes.size())) < 0) {
            qWarning("LinePeer: write to the terminal failed");
        }
    }

private:
    void take(const QByteArray &bytes)
    {
        received += bytes;
        buffer += bytes;
        int end;
        while ((end = buffer.indexOf('\n')) >= 0) {
            QByteArray line = buffer.left(end);
            buffer.remove(0, end + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            lines << line;
            const QList<QByteArray> pieces = answer ? answer(line) : QList<QByteArray>();
            for (int i = 0; i < pieces.size(); ++i) {
                const QByteArray piece = pieces.at(i);
                QTimer::singleShot(delayMs + 20 * i, this, [this, piece] { send(piece); });
            }
        }
    }

    Kind kind;
    QTcpServer server;
    QPointer<QTcpSocket> client;
    int master = -1, slave = -1;
    QString path;
    QSocketNotifier *notifier = nullptr;
    QByteArray buffer;
};
