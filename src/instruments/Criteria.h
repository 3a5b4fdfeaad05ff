#pragma once

#include "instruments/ChannelSetting.h"
#include "instruments/Device.h"

// A reference thermometer.
class Criteria : public Device
{
    Q_OBJECT
public:
    explicit Criteria(QObject *parent = nullptr) : Device(parent) {}

    virtual bool SetChannel(const ChannelSetting &Setting) = 0;
    virtual bool ReadValue(double &Value) = 0;
};
