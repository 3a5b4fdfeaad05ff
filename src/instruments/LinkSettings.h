#pragma once

#include <QCoreApplication>
#include <QMetaType>
#include <QString>

// How to reach an instrument, read once from the stored texts (the measuring-instrument record's
// `SignalMode`, `IP_COM` and `Port_BaudRate`, or the probe-calibration keys). The stored link
// words are Chinese whatever the interface language; they are compared here and nowhere else.
struct LinkSettings
{
    Q_DECLARE_TR_FUNCTIONS(LinkSettings)

public:
    enum Kind { Serial, Network, Bluetooth };
    enum Problem { NoProblem, UnknownMode, NoAddress, BadPort, BadBaudRate };

    Kind kind = Network;
    QString address;   // serial port name, IP address or host name, or a BLE device's advertised name
    int port = 0;      // TCP port (network only)
    int baudRate = 0;  // serial only
    Problem problem = NoProblem;

    // Texts are trimmed. A usable result has no problem; otherwise problemText() says what is wrong.
    static LinkSettings fromStored(const QString &mode, const QString &address, const QString &port);
    static LinkSettings serial(const QString &portName, int baudRate);
    static LinkSettings network(const QString &host, int port);

    bool isValid() const { return problem == NoProblem; }
    // A sentence for the user; empty when valid.
    QString problemText() const;

    // The stored texts again: fromStored(modeText(), address, portText()) gives back this value.
    static QString modeText(Kind kind);
    QString modeText() const { return modeText(kind); }
    QString portText() const;
    // For the log: mode, address and number.
    QString describe() const;

    bool operator==(const LinkSettings &o) const
    {
        return kind == o.kind && address == o.address && port == o.port && baudRate == o.baudRate && problem == o.problem;
    }
    bool operator!=(const LinkSettings &o) const { return !(*this == o); }

private:
    QString rejected;  // the text that made it unusable
};

Q_DECLARE_METATYPE(LinkSettings)
