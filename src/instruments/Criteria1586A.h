#pragma once

#include "instruments/Criteria.h"
#include "instruments/RetryPolicy.h"
#include "instruments/StreamLink.h"

#include <QStringList>

// The FLUKE 1586A precision thermometer: SCPI lines over serial or TCP. One SetChannel resets it
// and configures exactly one channel; ReadValue triggers and reads that channel. The signals
// below reach their slots on the link's driver thread, where the port or socket lives.
class Criteria1586A : public Criteria
{
    Q_OBJECT
public:
    static constexpr int ReadWaitMs = 100 * 10;
    static constexpr int WritePauseMs = 200;

    explicit Criteria1586A(QObject *parent = nullptr);
    // Ends the calls still in progress (they return false) and joins the driver thread.
    ~Criteria1586A() override;

    bool Open(const QString &Mode, const QString &IP, const QString &Port) override;
    bool OpenLink(const LinkSettings &Link) override;
    bool Close() override;
    bool IsOpen() override;
    bool Read(QString &Data) override;
    bool Write(const QString &Data) override;
    // True when the "*IDN?" reply names FLUKE; `Identity` holds the whole reply either way.
    bool GetIdentity(QString &Identity) override;
    bool SetChannel(const ChannelSetting &Setting) override;
    // One triggered reading of the configured channel. A reply that is not exactly one number
    // (several values, text, nothing) is a failed attempt; READ? is sent again as
    // Retry::ScpiReading allows.
    bool ReadValue(double &Value) override;

    QStringList GetModes() const { return modeNames; }
    // "快速", "中速" or "慢速"; another name sends nothing and fails.
    bool SetRate(const QString &Speed);
    bool SendChannelCommands(const ChannelSetting &Setting);

    // The instrument's vocabulary, for the dialogs.
    QStringList speeds, units, coldJunctionModes, wiringOne, wiringTwo, wiringThree, functions, resistanceRanges,
        thermocoupleTypes, conversions, thermistorTypes, voltageRanges, currentRanges;

signals:
    void Open_signals(QString Mode, QString IP, int Port);
    void Write_signals(QString Data);
    void Close_signals();

private slots:
    void NetReadData_slots();
    void SerialReadData_slots();
    void Open_slots(QString Mode, QString IP, int Port);
    void Write_slots(QString Data);
    void Close_slots();

private:
    void receive();

    StreamLink link;
    QStringList modeNames;
};
