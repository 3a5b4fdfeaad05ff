#pragma once
// The SCPI thermometer's command texts (QtCore only: the tests and the simulator use them too).

#include "instruments/ChannelSetting.h"

#include <QString>
#include <QStringList>

// "RATE FAST\r\n" for "快速", MED for "中速", SLOW for "慢速"; empty for any other name.
QString scpiRateCommand(const QString &speed);

// Every line that configures the channel of `setting`, in the order they are sent: the unit
// command (for "℃" or "℉" only), then the channel, function and scaling commands, each ending
// with the channel list "(@" + channel + ")" and CR LF.
QStringList scpiChannelCommands(const ChannelSetting &setting);

// The value of a "READ?" reply: exactly one field that is a finite number. Several
// comma-separated values, an empty reply and text that is no number are refused.
bool scpiReadingValue(const QString &reply, double &value);
