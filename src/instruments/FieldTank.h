#pragma once

#include "instruments/Field.h"
#include "instruments/RetryPolicy.h"
#include "instruments/StreamLink.h"

#include <QStringList>
#include <functional>

// The temperature bath: "key=value" commands and "key: value" replies over a serial port. Every
// query is tried three times; a set point is confirmed by reading it back. The signals below
// reach their slots on the link's driver thread, where the port lives.
class FieldTank : public Field
{
    Q_OBJECT
public:
    static constexpr int WritePauseMs = 200;
    static constexpr int ReadPauseMs = 300;
    static constexpr int ReadWaitMs = Retry::Bath.replyWaitMs;
    static constexpr int Attempts = Retry::Bath.attempts;

    explicit FieldTank(QObject *parent = nullptr);
    // Closes the port if it is open, ends the calls still in progress and joins the driver thread.
    ~FieldTank() override;

    // The bath is always on a serial port: the mode text is not looked at.
    bool Open(const QString &Mode, const QString &IP, const QString &Port) override;
    bool OpenLink(const LinkSettings &Link) override;
    bool Close() override;
    bool IsOpen() override;
    // Everything that arrived after a 300 ms pause and within 6 s more, joined.
    bool Read(QString &Data) override;
    bool Write(const QString &Data) override;
    // The serial number.
    bool GetIdentity(QString &Identity) override;
    QStringList GetModels() override;
    QStringList GetModes() override;
    void GetResolution(const QString &Model, QString &Resolution) override;
    void GetRange(const QString &Model, QString &Minimum, QString &Maximum) override;
    bool Initialize() override;
    // The bath's actual temperature; a reply whose number cannot be read is a failed attempt.
    bool ReadTemperature(double &Value) override;
    // Sent with two decimals and confirmed when the bath shows that same text back.
    bool SetTemperature(double Value) override;
    // The ITS-90 coefficients of the bath's own 4-wire platinum reference probe.
    bool SetChannel(const ChannelSetting &Setting) override;

signals:
    void Open_signals(QString Mode, QString IP, int Port);
    void Write_signals(QString Data);
    void Close_signals();

private slots:
    void SerialReadData_slots();
    void Open_slots(QString Mode, QString IP, int Port);
    void Write_slots(QString Data);
    void Close_slots();

private:
    enum Outcome { Answered, NoAnswer, WriteFailed };
    // Writes `command` and reads one reply; Answered when the reply starts with `key`.
    Outcome query(const QString &command, const QString &key, QString &reply);
    // Up to three queries until one is answered and `accept` takes the reply; false at once
    // when a write fails.
    bool ask(const QString &command, const QString &key, const std::function<bool(const QString &)> &accept);

    StreamLink link;
    QStringList modeNames;
    QStringList bathModels;
};
