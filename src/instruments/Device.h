#pragma once

#include "instruments/LinkSettings.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <thread>

// Root of the instrument drivers. A driver object may be created and destroyed on the GUI thread;
// its port work runs on a driver thread of its own (StreamLink), and worker threads call its
// blocking operations, which wait in timed waits and never spin. No operation needs the GUI
// thread's event loop.
class Device : public QObject
{
    Q_OBJECT
public:
    explicit Device(QObject *parent = nullptr) : QObject(parent) {}

    // The stored link texts (mode word, port name or address, baud rate or TCP port), read into
    // LinkSettings; texts that make no usable link fail at once, with the reason in the log.
    virtual bool Open(const QString &Mode, const QString &IP, const QString &Port);
    virtual bool Close() = 0;
    virtual bool IsOpen() = 0;
    virtual bool Read(QString &Data) = 0;
    virtual bool Write(const QString &Data) = 0;
    virtual bool GetIdentity(QString &Identity) = 0;

    // Opens the connection; false when it is open already, the link is of a kind this driver
    // does not speak, or the instrument cannot be reached.
    virtual bool OpenLink(const LinkSettings &Link) = 0;

    // A fixed pause of the calling thread; it sleeps rather than spins and processes no events.
    static void delayMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

protected:
    std::atomic<bool> openFlag{false};
};
