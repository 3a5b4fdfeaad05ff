#pragma once

#include "instruments/ChannelSetting.h"
#include "instruments/Device.h"

#include <QList>
#include <QStringList>

// A multichannel acquisition unit.
class Collection : public Device
{
    Q_OBJECT
public:
    explicit Collection(QObject *parent = nullptr) : Device(parent) {}

    virtual QStringList GetModes() = 0;
    // One value text per configured channel, in the unit of the channel settings.
    virtual bool ReadChannels(QStringList &Values) = 0;
    virtual bool SetChannels(const QList<ChannelSetting> &Settings) = 0;
};
