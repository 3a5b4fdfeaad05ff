#pragma once

#include "instruments/ChannelSetting.h"
#include "instruments/Device.h"

#include <QStringList>

// A temperature source (bath).
class Field : public Device
{
    Q_OBJECT
public:
    explicit Field(QObject *parent = nullptr) : Device(parent) {}

    virtual QStringList GetModels() = 0;
    virtual QStringList GetModes() = 0;
    virtual void GetResolution(const QString &Model, QString &Resolution) = 0;
    virtual void GetRange(const QString &Model, QString &Minimum, QString &Maximum) = 0;
    virtual bool Initialize() = 0;
    virtual bool ReadTemperature(double &Value) = 0;
    virtual bool SetTemperature(double Value) = 0;
    virtual bool SetChannel(const ChannelSetting &Setting) = 0;
};
