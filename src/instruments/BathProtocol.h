#pragma once
// The temperature bath's text protocol: commands "key=value\r\n", replies "key: value" (QtCore
// only: the tests and the simulator use it too).

#include "instruments/ChannelSetting.h"

#include <QList>
#include <QString>
#include <QStringList>

// The number in a reply that starts with `key` (for instance "r:" or "set:"): spaces and the
// unit letter C are dropped and the text after the first colon is read. False when the reply
// has another key or the value is no finite number.
bool bathReplyValue(const QString &reply, const QString &key, double &value);

// A set point as the bath is sent it and shows it back: fixed-point with two decimals.
QString bathSetPointText(double value);

// The fixed set-up commands, in the order they are sent.
QStringList bathSetupCommands();

struct BathCoefficientCommand
{
    QString command;       // "Rtp=25.5\r\n"
    QString confirmation;  // "Rtp Save!"
};

// The six coefficient commands of the bath's reference probe. Only a 4-wire ITS-90 platinum
// probe is accepted; empty fields are sent as 0, and a field that is no number refuses the
// whole setting (nothing would be sent).
bool bathCoefficientCommands(const ChannelSetting &setting, QList<BathCoefficientCommand> &commands);

// Bath models and their set-temperature limits in °C ("0", "0" for an unknown model).
QStringList bathModels();
void bathModelRange(const QString &model, QString &minimum, QString &maximum);
