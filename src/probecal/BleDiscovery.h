#pragma once
// A short search for Bluetooth Low Energy devices by name, for the connection dialog's list. It
// never blocks: without an adapter (or without a Bluetooth service on the machine) the search
// ends at once and says so.

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class BleCentral;

class BleDiscovery : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Found, NoAdapter, PoweredOff };
    Q_ENUM(Outcome)

    // The central a search runs on: QtBluetooth's unless a test puts a scripted one in its place.
    using CentralFactory = std::function<BleCentral *()>;
    static CentralFactory makeCentral;

    explicit BleDiscovery(QObject *parent = nullptr);
    ~BleDiscovery() override;

    // Searches for low-energy devices for timeoutMs; done() follows once, also when nothing could
    // be searched. A search still running is given up first.
    void start(int timeoutMs = 500);
    bool isSearching() const { return searching; }

signals:
    // The names of the low-energy devices found, each once, in the order found.
    void done(const QStringList &names, BleDiscovery::Outcome outcome);

private:
    void finish(const QStringList &found, Outcome outcome);
    void drop();

    BleCentral *central = nullptr;
    QTimer guard;
    bool searching = false;
};
