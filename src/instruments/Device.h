#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <thread>

// Root of the instrument drivers. A driver lives in the GUI thread; a worker thread calls its
// blocking operations, which wait (timed waits, never spinning) for the driver's own slots to
// do the port work in the GUI thread.
class Device : public QObject
{
    Q_OBJECT
public:
    explicit Device(QObject *parent = nullptr) : QObject(parent) {}

    virtual bool Open(const QString &Mode, const QString &IP, const QString &Port) = 0;
    virtual bool Close() = 0;
    virtual bool IsOpen() = 0;
    virtual bool Read(QString &Data) = 0;
    virtual bool Write(const QString &Data) = 0;
    virtual bool GetIdentity(QString &Identity) = 0;

    // A fixed pause of the calling thread; it sleeps rather than spins and processes no events.
    static void delayMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

protected:
    std::atomic<bool> openFlag{false};
};
