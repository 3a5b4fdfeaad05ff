#pragma once
// Helpers shared by the instrument tests and benchmarks: a pcrsim process, a scripted
// collector peer on loopback TCP, and a way to run driver calls in a worker thread while the
// GUI thread runs its event loop, as the pages do.

#include "instruments/FrameHelpers.h"

#include <QEventLoop>
#include <QPointer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

// Runs `f` in a new thread; the calling (GUI) thread runs its event loop meanwhile.
template <class F> auto inWorker(F f) -> decltype(f())
{
    decltype(f()) result{};
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        std::fprintf(stderr, "worker still running after 120 s: a driver call hangs\n");
        std::abort();
    });
    guard.start(120000);
    std::thread worker([&] {
        result = f();
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    return result;
}

// Lets the GUI thread's event loop run for a while.
inline void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A loopback port nobody listens on (empty when no port could be had).
inline QString closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return QString();
    const QString port = QString::number(probe.serverPort());
    probe.close();
    return port;
}

class PcrSim
{
public:
    ~PcrSim() { stop(); }

    // Starts pcrsim with `args` and reads its start-up lines.
    bool start(const QStringList &args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PCRSIM_TRACE"), QStringLiteral("1"));
        proc.setProcessEnvironment(env);
        proc.setProgram(QStringLiteral(PCRSIM_PATH));
        proc.setArguments(args);
        proc.start();
        if (!proc.waitForStarted(5000))
            return false;
        // One start-up line per served instrument.
        int expected = 0;
        for (const char *option : {"--collector-tcp", "--collector-pty", "--scpi-tcp", "--scpi-pty", "--bath-pty"})
            expected += args.contains(QLatin1String(option)) ? 1 : 0;
        QStringList lines;
        while (lines.size() < expected) {
            if (!proc.canReadLine() && !proc.waitForReadyRead(5000))
                return false;
            while (proc.canReadLine())
                lines << QString::fromLocal8Bit(proc.readLine()).trimmed();
        }
        for (const QString &line : lines) {
            const QStringList parts = line.split(QLatin1Char(' '));
            if (parts.size() != 3)
                return false;
            const QString where = parts.at(1) == QLatin1String("tcp") ? parts.at(2).section(QLatin1Char(':'), 1) : parts.at(2);
            if (parts.at(0) == QLatin1String("collector") && parts.at(1) == QLatin1String("tcp"))
                tcpPort = where;
            else if (parts.at(0) == QLatin1String("collector") && parts.at(1) == QLatin1String("pty"))
                ptyPath = where;
            else if (parts.at(0) == QLatin1String("scpi") && parts.at(1) == QLatin1String("tcp"))
                scpiTcpPort = where;
            else if (parts.at(0) == QLatin1String("scpi") && parts.at(1) == QLatin1String("pty"))
                scpiPtyPath = where;
            else if (parts.at(0) == QLatin1String("bath") && parts.at(1) == QLatin1String("pty"))
                bathPtyPath = where;
            else
                return false;
        }
        return true;
    }

    void stop()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(5000);
        }
    }

    // Trace lines received so far (requests and injected faults).
    QStringList trace()
    {
        traceText += QString::fromLocal8Bit(proc.readAllStandardError());
        return traceText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    int count(const QString &prefix)
    {
        int n = 0;
        for (const QString &l : trace())
            n += l.startsWith(prefix) ? 1 : 0;
        return n;
    }
    void clearTrace()
    {
        trace();
        traceText.clear();
    }

    QProcess proc;
    QString tcpPort;  // the collector's
    QString ptyPath;
    QString scpiTcpPort;
    QString scpiPtyPath;
    QString bathPtyPath;

private:
    QString traceText;
};

// A collector stand-in on loopback TCP whose replies the test scripts: for every complete
// request, `answer` gives the raw pieces to send back (each piece is written separately).
// The address query is answered (address 01) unless `silentAddress` is set.
class ScriptedPeer : public QObject
{
public:
    std::function<QList<QByteArray>(const QByteArray &request)> answer;
    QList<QByteArray> requests;
    bool silentAddress = false;
    // Delay before the first piece of the reply to a request (default none).
    std::function<int(const QByteArray &request)> delayFor;

    ScriptedPeer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                client = s;
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] { received(s); });
            }
        });
    }
    QString port() const { return QString::number(server.serverPort()); }
    void dropClient()
    {
        if (client)
            client->abort();
    }
    int countRequests(const QByteArray &hexPrefix) const
    {
        int n = 0;
        for (const QByteArray &r : requests)
            n += r.toHex().startsWith(hexPrefix) ? 1 : 0;
        return n;
    }

    static QByteArray frame(const QByteArray &hexWithoutCrc)
    {
        QByteArray f = QByteArray::fromHex(hexWithoutCrc);
        appendCrc(f);
        return f;
    }

private:
    void received(QTcpSocket *s)
    {
        buffer += s->readAll();
        while (buffer.size() >= 8) {
            const int length = quint8(buffer.at(1)) == 0x10 ? 25 : 8;
            if (buffer.size() < length)
                return;
            const QByteArray request = buffer.left(length);
            buffer.remove(0, length);
            requests << request;
            QList<QByteArray> pieces;
            if (request.toHex() == "010300010001cad5" && !silentAddress)
                pieces << frame("01030101");
            else if (answer)
                pieces = answer(request);
            // Pieces go out 20 ms apart, so the driver sees them as separate reads.
            const int delay = delayFor ? delayFor(request) : 0;
            for (int i = 0; i < pieces.size(); ++i) {
                const QByteArray piece = pieces.at(i);
                QTimer::singleShot(delay + 20 * i, s, [s, piece] {
                    s->write(piece);
                    s->flush();
                });
            }
        }
    }

    QTcpServer server;
    QPointer<QTcpSocket> client;
    QByteArray buffer;
};
