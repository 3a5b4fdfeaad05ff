#pragma once
// Frame and number helpers of the byte protocols (QtCore only: the simulator and the tests use them too).

#include <QByteArray>
#include <QString>
#include <QStringList>

// CRC-16/MODBUS (initial 0xFFFF, reflected polynomial 0xA001, no final XOR) over raw bytes.
quint16 crc16Modbus(const QByteArray &bytes);

// Appends the CRC of `frame` to it, most significant byte first (the collector's byte order).
void appendCrc(QByteArray &frame);

// True when the last two bytes of `frame` are the CRC (high byte first) of the bytes before them.
bool hasValidCrc(const QByteArray &frame);

// CRC of a hex text (decoded first), as four lower-case hex digits, high byte first.
QString crcHex(const QString &hexText);

// A float's 32 bits as four bytes, least significant first, as the collector's frames carry it.
QByteArray floatToBytesLE(float value);

// Inverse of floatToBytesLE for the four bytes at `bytes`.
float bytesLEToFloat(const char *bytes);

// A float's 32 bits as eight hex digits, least significant byte first.
QString floatToHexLE(float value);

// Inverse of floatToHexLE; spaces are ignored, fewer than eight digits give 0.
float hexLEToFloat(const QString &hexText);

// Fixed-point text with `digits` significant digits and no exponent; nine digits give back
// every single-precision value exactly when parsed.
QString significantText(double value, int digits = 9);

// Celsius to Fahrenheit as a text with six decimals, the collector's reading format.
QString fahrenheitText(double celsius);

// The collector's receive framing over its buffer of hex digits. A buffer that does not start
// with the bus address is noise or another sender's and is dropped (an empty address accepts any
// sender). Once at least 7 digits are buffered and the last four are the CRC of the rest, the
// whole buffer is one reply: it is taken out and returned. Otherwise the result is empty and the
// buffer keeps accumulating.
QString takeCollectorFrame(QString &buffer, const QString &busAddress);

// Line framing of the text instruments: every complete line, up to and including its line feed,
// is cut off the front of `buffer`, oldest first; a partial line stays for the next data.
QStringList takeLines(QString &buffer);

// Burst framing of the bath: once `buffer` ends with a line feed, all of it is one reply (a lone
// line feed is none) and the buffer is emptied; until then nothing is taken.
QStringList takeBurst(QString &buffer);
