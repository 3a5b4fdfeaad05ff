#pragma once

#include "instruments/Collection.h"
#include "instruments/RetryPolicy.h"
#include "instruments/StreamLink.h"

#include <QStringList>

#include <atomic>

// The 1611A multichannel collector: Modbus-style frames with a CRC, over serial or TCP.
// The collector converts each probe's resistance to temperature with the four coefficients
// written into its channel; it can also deliver the raw resistances. The signals below reach
// their slots on the link's driver thread, where the port or socket lives.
class Collection1611A : public Collection
{
    Q_OBJECT
public:
    static constexpr int MaxChannels = 16;
    static constexpr int ReadWaitMs = Retry::Collector.replyWaitMs;
    static constexpr int CloseWaitMs = 1000;
    static constexpr int OpenAttempts = Retry::Collector.attempts;   // of the address query

    explicit Collection1611A(QObject *parent = nullptr);
    // Ends the calls still in progress (they return false) and joins the driver thread.
    ~Collection1611A() override;

    bool OpenLink(const LinkSettings &Link) override;
    bool Close() override;
    bool IsOpen() override;
    bool Read(QString &Data) override;
    bool Write(const QString &Data) override;
    bool GetIdentity(QString &Identity) override;
    QStringList GetModes() override;
    bool ReadChannels(QStringList &Values) override;
    bool SetChannels(const QList<ChannelSetting> &Settings) override;

    // Temperatures (℃, as the collector measures them) outside [minimum, maximum] are no reading:
    // an attempt that returns one fails like one with a non-finite value. Default −100 to 400 ℃;
    // resistances are not checked.
    static constexpr double DefaultPlausibleMinimum = -100;
    static constexpr double DefaultPlausibleMaximum = 400;
    void setPlausibleRange(double minimum, double maximum);

    // The four coefficients of a channel (index from 0), as texts that keep every significant
    // digit of the instrument's single-precision values.
    bool ReadCoefficients(int Channel, QString &C1, QString &C2, QString &C3, QString &C4);

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
    // Asks the driver thread to close and waits for it, so that an Open right after works.
    void closeAndWait();
    // Writes a request after dropping replies left over from earlier ones, and takes one reply.
    bool request(const QString &frame, QString &reply);
    bool writeCoefficients(int channel, float c1, float c2, float c3, float c4);
    QString address();

    StreamLink link;
    QStringList modeNames;
    // Shared with the framing on the driver thread: read and written under the link's lock.
    QString busAddress;
    bool acceptAnyAddress = false;
    int channelCount = 0;
    bool resistanceMode = false;
    QStringList channelUnits;
    std::atomic<double> plausibleMinimum{DefaultPlausibleMinimum};
    std::atomic<double> plausibleMaximum{DefaultPlausibleMaximum};
};
