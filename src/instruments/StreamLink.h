#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

class QObject;
class QSerialPort;
class QTcpSocket;

// The serial/TCP transport that the byte and line drivers carry. The port or socket lives in
// the driver's (GUI) thread; the worker thread only waits on the receive queue and the open flag.
// One mutex guards the receive buffer, the reply queue and the open attempt; the condition
// variable wakes a waiting worker as soon as a reply, a connection or a loss arrives.
class StreamLink
{
public:
    enum Mode { None = 0, Serial = 1, Network = 2 };
    static constexpr int OpenWaitMs = 12000;

    StreamLink(QObject *owner, std::atomic<bool> &openFlag);
    ~StreamLink();
    StreamLink(const StreamLink &) = delete;
    StreamLink &operator=(const StreamLink &) = delete;

    // True in the thread the driver lives in; blocking operations refuse to run there, since
    // the reply they would wait for is delivered by that thread's event loop.
    bool inOwnerThread() const;

    // --- caller's (worker) thread
    // Marks an open attempt as pending; the slot side ends it.
    void beginOpen();
    // Waits until the connection is open or the attempt ended, at most `ms`.
    bool waitOpen(int ms);
    // Waits up to `ms` for a framed reply and takes the oldest; on a timeout the unframed
    // buffer is cleared.
    bool takeReply(QString &out, int ms);
    // Drops replies still queued from earlier requests.
    void discardReplies();
    // Taken before a close is requested; waitCloseDone then waits, at most `ms`, until the
    // driver's thread has run that close, also when nothing was open. A new attempt made
    // earlier would be ended, or its fresh connection closed, by the close still on its way.
    int closeTicket();
    bool waitCloseDone(int ticket, int ms);

    // --- driver's (GUI) thread
    void clear();
    bool openSerial(const QString &name, int baudRate, const std::function<void()> &onReadyRead);
    void openNetwork(const QString &host, int port, const std::function<void()> &onReadyRead);
    void endOpenAttempt();
    void write(const QByteArray &bytes);
    QByteArray readAvailable();
    void close();
    int mode() const { return transportMode.load(); }

    // Runs `framer` on the receive buffer under the lock; the replies it returns, oldest
    // first, go to the queue.
    void frame(const std::function<QStringList(QString &buffer)> &framer);

    // Runs `f` under the link's lock (for driver state shared with the framer).
    template <class F> auto locked(F f)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return f();
    }

private:
    void connectionLost();
    void wake();

    QObject *owner;
    std::atomic<bool> &openFlag;
    std::atomic<int> transportMode{None};
    QPointer<QSerialPort> serialPort;
    QPointer<QTcpSocket> socket;

    std::mutex mutex;
    std::condition_variable changed;
    QString rxBuffer;
    QStringList rxQueue;  // newest at the front, taken from the back
    bool openPending = false;
    int closesDone = 0;
};
