#pragma once

#include "instruments/ChannelSetting.h"
#include "instruments/Device.h"
#include "instruments/Field.h"

#include <QPointer>

// A reference thermometer. As a concrete class it is the reference built into a bath: it opens
// and reads through the bath it is linked to (which it never opens or closes itself), and every
// operation fails without one.
class Criteria : public Device
{
    Q_OBJECT
public:
    explicit Criteria(QObject *parent = nullptr) : Device(parent) {}
    explicit Criteria(Field *bath, QObject *parent = nullptr) : Device(parent), bath(bath) {}

    // The link texts mean nothing here: open exactly when the bath is.
    bool Open(const QString &Mode, const QString &IP, const QString &Port) override;
    bool OpenLink(const LinkSettings &Link) override;
    bool Close() override;
    // Open while the bath is: a bath closed since is not read through a stale flag.
    bool IsOpen() override;
    bool Read(QString &Data) override;
    bool Write(const QString &Data) override;
    bool GetIdentity(QString &Identity) override;

    virtual bool SetChannel(const ChannelSetting &Setting);
    virtual bool ReadValue(double &Value);

    void setBath(Field *Bath) { bath = Bath; }

private:
    // Not owned; cleared when the bath goes.
    QPointer<Field> bath;
};
