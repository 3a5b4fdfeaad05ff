#pragma once

#include "instruments/Criteria.h"
#include "instruments/StreamLink.h"

#include <QStringList>
#include <atomic>
#include <functional>

class BleCentral;

// The MORVA 1621A single-channel thermometer over Bluetooth LE. Connecting runs in the
// background: Open is a polled step that the caller repeats about once a second until it reports
// the link open (or gives up). Measurements arrive by notification; ReadValue answers with the
// latest one. The Bluetooth objects live on the link's driver thread behind BleCentral.
class CriteriaMorva1621 : public Criteria
{
    Q_OBJECT
public:
    using CentralFactory = std::function<BleCentral *()>;
    static constexpr int WritePauseMs = 200;
    // A measurement older than this is no reading of the bath now (the link has gone quiet).
    static constexpr qint64 StaleAfterMs = 10000;

    // On QtBluetooth.
    explicit CriteriaMorva1621(QObject *parent = nullptr);
    // On the centrals `factory` makes (one per connection attempt and per search, on the driver
    // thread).
    explicit CriteriaMorva1621(CentralFactory factory, QObject *parent = nullptr);
    ~CriteriaMorva1621() override;

    // Whether this machine has a Bluetooth LE adapter the thermometer could be reached with.
    // Answers at once: without a Bluetooth service it is false.
    static bool AdapterPresent();

    // Mode "蓝牙" and the advertised name; the port text is not used.
    bool Open(const QString &Mode, const QString &IP, const QString &Port) override;
    bool OpenLink(const LinkSettings &Link) override;
    // Sends the stop command, then disconnects.
    bool Close() override;
    bool IsOpen() override;
    // The instrument is read through ReadValue only: always false.
    bool Read(QString &Data) override;
    // A hex command frame, written without response.
    bool Write(const QString &Data) override;
    // The advertised name.
    bool GetIdentity(QString &Identity) override;
    // Starts the measurement stream; the setting itself is not used.
    bool SetChannel(const ChannelSetting &Setting) override;
    // The latest measurement; false until one has arrived on this connection, and when none
    // has arrived for StaleAfterMs.
    bool ReadValue(double &Value) override;

    // A search for LE devices nearby; SearchState() is 1 while it runs and 2 when it has ended
    // (also when Bluetooth is not available), and FoundNames() then lists their names.
    void Search();
    int SearchState() const { return searchState.load(); }
    QStringList FoundNames();

    // The clock that dates measurements, in milliseconds (a steady clock unless set, for tests).
    void setClock(const std::function<qint64()> &msClock);

signals:
    void Search_signals();
    void Open_signals();
    void Write_signals(QString Data);
    void Close_signals();
    // On the driver thread, when a search has ended.
    void SearchFinished_signals(QStringList Names);

private slots:
    void Search_slots();
    void Open_slots();
    void Write_slots(QString Data);
    void Close_slots();
    void Finished_slots(const QStringList &Names);
    void ReadData_slots();

private:
    qint64 now() const;

    StreamLink link;
    CentralFactory factory;
    std::function<qint64()> clock;
    std::atomic<int> linkState{0};
    std::atomic<double> lastValue{0.0};
    std::atomic<qint64> lastFrameMs{-1};
    std::atomic<int> searchState{0};
    // Under the link's lock: written by callers, read on the driver thread.
    QString targetName;
    QStringList foundNames;
    BleCentral *searcher = nullptr;  // driver thread only
};
