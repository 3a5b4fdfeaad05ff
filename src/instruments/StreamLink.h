#pragma once

#include "instruments/LinkSettings.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class QObject;
class QThread;
class Transport;

// The transport side of a driver: a driver thread of its own with the transport on it, and the
// receive buffer and reply queue that the calling threads wait on.
//
// Threads. Every link starts one driver thread (a QThread) when it is made and joins it in
// shutdown(). The transport is created, used and deleted there, and the driver's slots run there:
// the driver connects its signals to its slots through context(), which lives on that thread.
// Callers (page workers, tools, tests; any thread but the driver thread) block only in timed waits
// on one condition variable, which a reply, a connection, a loss or a close ends at once. So no
// activity of the GUI thread, or of any other caller, can delay a read. One thread per driver
// rather than one for all instruments: a driver is self-contained, its thread ends with it, and
// a slow port never holds up another instrument.
//
// One mutex guards the receive buffer, the reply queue, the open attempt and the close count.
class StreamLink
{
public:
    enum Mode { None = 0, Serial = 1, Network = 2, Bluetooth = 3 };
    static constexpr int OpenWaitMs = 12000;
    static constexpr int CloseWaitMs = 1000;

    explicit StreamLink(std::atomic<bool> &openFlag);
    // Shuts down, if the driver has not.
    ~StreamLink();
    StreamLink(const StreamLink &) = delete;
    StreamLink &operator=(const StreamLink &) = delete;

    // Lives on the driver thread.
    QObject *context() const { return ctx; }
    bool onDriverThread() const;

    // Held by each public operation of a driver for its whole length. False (the operation
    // fails at once) once shutdown has begun, and on the driver thread itself, whose event loop
    // delivers what the operation would wait for.
    class Call
    {
    public:
        Call(Call &&other) noexcept : link(other.link) { other.link = nullptr; }
        Call(const Call &) = delete;
        Call &operator=(const Call &) = delete;
        ~Call();
        explicit operator bool() const { return link != nullptr; }

    private:
        friend class StreamLink;
        explicit Call(StreamLink *link) : link(link) {}
        StreamLink *link;
    };
    Call enter(const char *operation);

    // Ends every wait and open attempt, closes the transport, lets the operations still in
    // progress return, then stops and joins the driver thread. A driver calls it first thing in
    // its destructor, while the members its operations use still exist. Idempotent; never called
    // on the driver thread.
    void shutdown();

    // --- calling thread
    // Emits the open request (`emitOpen`) and waits for the connection; an attempt that is not
    // up in time is closed again (`emitClose`) before this returns, so that it cannot end a
    // new attempt made right after.
    bool openAndWait(const std::function<void()> &emitOpen, const std::function<void()> &emitClose);
    // Emits the close request and waits, at most `ms`, until the driver thread has run it.
    void closeAndWait(const std::function<void()> &emitClose, int ms = CloseWaitMs);
    // Marks an open attempt as pending; the driver thread ends it.
    void beginOpen();
    // Waits until the connection is open or the attempt ended, at most `ms`.
    bool waitOpen(int ms);
    // Waits up to `ms` for a framed reply and takes the oldest, without CR and LF; on a timeout
    // the unframed buffer is cleared.
    bool takeReply(QString &out, int ms);
    // Waits up to `ms` for framed replies and takes all of them, oldest first, joined, without
    // CR and LF (the bath's bursts).
    bool takeAllReplies(QString &out, int ms);
    // A fixed pause of the calling thread that ends early only when the link shuts down (then
    // false), so that destroying a driver never waits for a pause.
    bool pause(int ms);
    // Drops replies still queued from earlier requests.
    void discardReplies();
    // Taken before a close is requested; waitCloseDone then waits, at most `ms`, until the
    // driver thread has run that close, also when nothing was open. A new attempt made earlier
    // would be ended, or its fresh connection closed, by the close still on its way.
    int closeTicket();
    bool waitCloseDone(int ticket, int ms);

    // --- driver thread
    void clear();
    // The open slot of a serial/TCP driver: the stored link texts opened as a serial port or a
    // TCP connection, with the driver's receive slot for that kind; any other kind ends the
    // attempt at once.
    void openStored(const QString &mode, const QString &address, int port, const std::function<void()> &onSerialRead,
                    const std::function<void()> &onNetRead);
    // Creates the transport for `link` and starts it; the open attempt ends when it is up or
    // has failed (at once for a link this build has no transport for). `onReadyRead` runs on the
    // driver thread whenever data has arrived.
    void openTransport(const LinkSettings &link, const std::function<void()> &onReadyRead);
    // The same with a transport the driver made (the Bluetooth link); `what` names it in the log.
    void openTransport(std::unique_ptr<Transport> made, Mode mode, const QString &what, const std::function<void()> &onReadyRead);
    // Runs on the driver thread whenever the link comes up (true) or an open link goes down
    // (false: lost or closed; also for a close while nothing was open).
    void setStateHook(const std::function<void(bool up)> &hook) { stateHook = hook; }
    void endOpenAttempt();
    void write(const QByteArray &bytes);
    QByteArray readAvailable();
    void close();
    int mode() const { return transportMode.load(); }

    // Runs `framer` on the receive buffer under the lock; the replies it returns, oldest first,
    // go to the queue.
    void frame(const std::function<QStringList(QString &buffer)> &framer);

    // Runs `f` under the link's lock (for driver state shared with the framer).
    template <class F> auto locked(F f)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return f();
    }

private:
    void dropTransport();
    void connectionLost(const QString &reason);
    void wake();
    void leave();
    // Has the driver thread close the link, and waits for it.
    void closeOnDriverThreadAndWait();

    std::atomic<bool> &openFlag;
    std::function<void(bool)> stateHook;  // driver thread only
    std::atomic<int> transportMode{None};
    QThread *thread = nullptr;
    QObject *ctx = nullptr;
    Transport *transport = nullptr;  // driver thread only

    std::mutex mutex;
    std::condition_variable changed;
    QString rxBuffer;
    QStringList rxQueue;  // newest at the front, taken from the back
    bool openPending = false;
    int closesDone = 0;
    int activeCalls = 0;
    bool stopping = false;
};
