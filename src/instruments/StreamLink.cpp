#include "instruments/StreamLink.h"

#include "instruments/Transport.h"

#include <QDebug>
#include <QThread>
#include <chrono>

StreamLink::StreamLink(std::atomic<bool> &openFlag) : openFlag(openFlag)
{
    thread = new QThread;
    thread->setObjectName(QStringLiteral("instrument link"));
    ctx = new QObject;
    ctx->moveToThread(thread);
    // Deleted on the driver thread as it ends, with every transport released there.
    QObject::connect(thread, &QThread::finished, ctx, &QObject::deleteLater);
    thread->start();
}

StreamLink::~StreamLink()
{
    shutdown();
}

bool StreamLink::onDriverThread() const
{
    return QThread::currentThread() == thread;
}

StreamLink::Call::~Call()
{
    if (link)
        link->leave();
}

StreamLink::Call StreamLink::enter(const char *operation)
{
    if (onDriverThread()) {
        qWarning() << operation << "called on the instrument's own driver thread; refused";
        return Call(nullptr);
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (stopping)
        return Call(nullptr);
    ++activeCalls;
    return Call(this);
}

void StreamLink::leave()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        --activeCalls;
    }
    wake();
}

void StreamLink::closeOnDriverThreadAndWait()
{
    int ticket;
    {
        std::lock_guard<std::mutex> lock(mutex);
        ticket = closesDone;
    }
    QMetaObject::invokeMethod(ctx, [this] { close(); }, Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(mutex);
    while (!changed.wait_for(lock, std::chrono::seconds(1), [&] { return closesDone != ticket; }))
        qWarning() << "StreamLink: still waiting for the driver thread to close the link";
}

void StreamLink::shutdown()
{
    if (!thread)
        return;
    Q_ASSERT(!onDriverThread());
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake();
    // Closing ends the waits that a lost connection ends; `stopping` ends the rest.
    closeOnDriverThreadAndWait();
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (activeCalls > 0)
            changed.wait_for(lock, std::chrono::milliseconds(100));
    }
    // Whatever those operations asked the driver thread for has run: nothing opens any more.
    closeOnDriverThreadAndWait();
    thread->quit();
    while (!thread->wait(1000))
        qWarning() << "StreamLink: still waiting for the driver thread to end";
    delete thread;
    thread = nullptr;
    ctx = nullptr;
}

void StreamLink::wake()
{
    changed.notify_all();
}

bool StreamLink::openAndWait(const std::function<void()> &emitOpen, const std::function<void()> &emitClose)
{
    beginOpen();
    emitOpen();
    if (waitOpen(OpenWaitMs))
        return true;
    closeAndWait(emitClose);
    return false;
}

void StreamLink::closeAndWait(const std::function<void()> &emitClose, int ms)
{
    const int ticket = closeTicket();
    emitClose();
    waitCloseDone(ticket, ms);
}

void StreamLink::openStored(const QString &mode, const QString &address, int port, const std::function<void()> &onSerialRead,
                            const std::function<void()> &onNetRead)
{
    clear();
    const LinkSettings settings = LinkSettings::fromStored(mode, address, QString::number(port));
    if (settings.isValid() && settings.kind == LinkSettings::Serial)
        openTransport(settings, onSerialRead);
    else if (settings.isValid() && settings.kind == LinkSettings::Network)
        openTransport(settings, onNetRead);
    else
        endOpenAttempt();  // an unknown mode cannot open: no need to let the caller wait
}

void StreamLink::beginOpen()
{
    std::lock_guard<std::mutex> lock(mutex);
    openPending = true;
}

bool StreamLink::waitOpen(int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return openFlag.load() || !openPending || stopping; });
    return openFlag.load() && !stopping;
}

bool StreamLink::takeReply(QString &out, int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    // A lost connection ends the wait early: nothing more can arrive.
    const bool got = changed.wait_for(lock, std::chrono::milliseconds(ms),
                                      [this] { return !rxQueue.isEmpty() || !openFlag.load() || stopping; });
    if (!got || rxQueue.isEmpty() || stopping) {
        rxBuffer.clear();
        return false;
    }
    out = rxQueue.takeLast();
    out.remove(QLatin1Char('\r'));
    out.remove(QLatin1Char('\n'));
    return true;
}

bool StreamLink::takeAllReplies(QString &out, int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    const bool got = changed.wait_for(lock, std::chrono::milliseconds(ms),
                                      [this] { return !rxQueue.isEmpty() || !openFlag.load() || stopping; });
    if (!got || rxQueue.isEmpty() || stopping)
        return false;
    QString joined;
    while (!rxQueue.isEmpty())
        joined += rxQueue.takeLast();
    joined.remove(QLatin1Char('\r'));
    joined.remove(QLatin1Char('\n'));
    out = joined;
    return true;
}

bool StreamLink::pause(int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    return !changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
}

int StreamLink::closeTicket()
{
    std::lock_guard<std::mutex> lock(mutex);
    return closesDone;
}

bool StreamLink::waitCloseDone(int ticket, int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return closesDone != ticket || stopping; });
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

void StreamLink::openTransport(const LinkSettings &link, const std::function<void()> &onReadyRead)
{
    dropTransport();
    const bool refused = locked([this] { return stopping; });
    std::unique_ptr<Transport> made = refused ? nullptr : Transport::create(link, OpenWaitMs);
    if (!made && !refused)
        qDebug() << "StreamLink: no transport for" << link.describe();
    const Mode mode = link.kind == LinkSettings::Serial ? Serial : link.kind == LinkSettings::Network ? Network : Bluetooth;
    openTransport(std::move(made), mode, link.describe(), onReadyRead);
}

void StreamLink::openTransport(std::unique_ptr<Transport> made, Mode mode, const QString &what, const std::function<void()> &onReadyRead)
{
    dropTransport();
    if (!made || locked([this] { return stopping; })) {
        endOpenAttempt();
        return;
    }
    transport = made.release();
    Transport *t = transport;
    QObject::connect(t, &Transport::readyRead, ctx, onReadyRead);
    QObject::connect(t, &Transport::opened, ctx, [this, t, mode] {
        if (t != transport)
            return;
        transportMode = mode;
        openFlag = true;
        if (stateHook)
            stateHook(true);
        endOpenAttempt();
    });
    QObject::connect(t, &Transport::failed, ctx, [this, t, what](const QString &reason) {
        if (t != transport)
            return;
        qDebug() << "StreamLink: cannot open" << what << reason;
        dropTransport();
        endOpenAttempt();
    });
    QObject::connect(t, &Transport::lost, ctx, [this, t](const QString &reason) {
        if (t == transport)
            connectionLost(reason);
    });
    t->open();
}

void StreamLink::dropTransport()
{
    if (!transport)
        return;
    // It may be in the middle of emitting: released by the event loop, never touched again.
    transport->disconnect(ctx);
    transport->close();
    transport->deleteLater();
    transport = nullptr;
}

void StreamLink::connectionLost(const QString &reason)
{
    qDebug() << "StreamLink: connection lost:" << reason;
    dropTransport();
    transportMode = None;
    openFlag = false;
    if (stateHook)
        stateHook(false);
    endOpenAttempt();
}

void StreamLink::write(const QByteArray &bytes)
{
    if (transport && openFlag.load())
        transport->write(bytes);
}

QByteArray StreamLink::readAvailable()
{
    return transport ? transport->readAll() : QByteArray();
}

void StreamLink::close()
{
    dropTransport();
    transportMode = None;
    openFlag = false;
    if (stateHook)
        stateHook(false);
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
