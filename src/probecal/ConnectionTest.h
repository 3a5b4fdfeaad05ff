#pragma once
// The communication test of one device: open the link, ask for the identity, close. Runs on a
// worker thread of the dialog that asks for it; widget-free.

#include "instruments/LinkSettings.h"
#include "acquisition/StopWait.h"

#include <QCoreApplication>
#include <QString>

class Device;

namespace ConnectionTest {

// A Bluetooth device may need a while to advertise: the link is tried again after a pause.
constexpr int BluetoothRetries = 10;
constexpr int BluetoothRetryWaitMs = 1000;

enum class Outcome {
    Identified,     // open, and the identity was read
    NoIdentity,     // open, but the identity query failed
    NotConnected,   // the link did not open
    Stopped,        // given up on request before the link opened
};

struct Result
{
    Outcome outcome = Outcome::NotConnected;
    QString identity;
    int openCalls = 0;
};

// The driver is closed again when this returns. retryWaitMs is the pause between Bluetooth
// attempts (tests shorten it).
Result run(Device &driver, const LinkSettings &link, StopWait &stop, int retryWaitMs = BluetoothRetryWaitMs);

class Texts
{
    Q_DECLARE_TR_FUNCTIONS(ThermistorScan)

public:
    // "提示" for a success, "警告" otherwise.
    static QString title(Outcome outcome);
    static QString text(Outcome outcome);
};

} // namespace ConnectionTest
