#pragma once
// Frames and connection counting of the Bluetooth LE thermometer (QtCore only).

#include <QString>

// XOR of the bytes of a hex command (its first 16 hex digits at most), as two lower-case digits.
QString xorChecksumHex(const QString &hexCommand);

// The command with its checksum appended: "04050100" gives "0405010000".
QString bleCommandFrame(const QString &hexCommand);

// Decodes the notification data buffered in `hexBuffer` (lower-case hex digits). With fewer than
// 24 bytes buffered it waits for more (false, buffer kept). Otherwise the buffer is used up: a
// measurement frame (starting 17 05) gives its temperature, bytes 19 to 22 as a big-endian
// single-precision float kept to six significant digits, in `value` and true; anything else is
// dropped (false). Data beyond the first frame goes with it.
bool takeBleMeasurement(QString &hexBuffer, double &value);

// One call of the thermometer's polled Open, given the link state before it. The first call of
// an attempt (state 0) starts a connection; calls count up while it runs; the call after the
// link became ready (100) reports it open (state 1); an attempt still not ready when the count
// reached 10 is given up and the next call starts a new one. A link already open is left alone.
struct BleOpenStep
{
    int next = 0;           // the link state after the call
    bool startAttempt = false;
    bool opened = false;    // the call's result
};
BleOpenStep bleOpenStep(int linkState);

// Link states: idle; 1 to 10 while an attempt runs (the Open calls made so far); ready once the
// write characteristic is found; open once an Open call has reported it. Open has a value of its
// own, so that the first call of an attempt does not make the link look open.
constexpr int BleIdle = 0;
constexpr int BleGiveUpCount = 10;
constexpr int BleReady = 100;
constexpr int BleOpen = 101;
