#pragma once
// Passwords and recovery answers as salted, slow hashes (PBKDF2-HMAC-SHA256 from libcrypto).
// A stored value names its algorithm, iteration count and salt:
//     pbkdf2-sha256$<iterations>$<salt, base64>$<key, base64>
// so that the count can be raised later without locking anyone out.

#include <QByteArray>
#include <QString>

namespace Passwords {

constexpr int Iterations = 100000;
constexpr int SaltBytes = 16;
constexpr int KeyBytes = 32;

// A fresh salt from the system's random source.
QByteArray newSalt();

// The stored form of secret with a fresh salt and the current iteration count.
QString hash(const QString &secret);
// The same with a given salt and count (tests and benchmarks).
QString hash(const QString &secret, const QByteArray &salt, int iterations);

// Whether stored is a value in the stored form above (anything else is plain text).
bool isHashed(const QString &stored);

// Whether secret is the one stored holds; constant-time comparison. A plain-text stored value
// never matches: every value is converted when the database is opened.
bool verify(const QString &stored, const QString &secret);

// A hashed value made with fewer iterations than the current count.
bool needsRehash(const QString &stored);

} // namespace Passwords
