#pragma once
// Passwords and recovery answers as salted, slow hashes (PBKDF2-HMAC-SHA256 from libcrypto).
// A stored value names its algorithm, iteration count and salt:
//     pbkdf2-sha256-named$<iterations>$<salt, base64>$<key, base64>
// so that the count can be raised later without locking anyone out. The account's name enters
// the derivation: a value copied from one account's row to another's matches nothing there.
// Values of the older form "pbkdf2-sha256$..." (not bound to a name) are still accepted and
// replaced at the next successful login.

#include <QByteArray>
#include <QString>

namespace Passwords {

constexpr int Iterations = 100000;
// Counts outside this range are refused: a low one is no protection, a huge one stalls the login.
constexpr int MinimumIterations = 100000;
constexpr int MaximumIterations = 2000000;
constexpr int SaltBytes = 16;
constexpr int KeyBytes = 32;

enum class Check {
    Match,
    Mismatch,
    Unusable,   // a hash whose parameters are outside the accepted range: only a reset helps
};

// A fresh salt from the system's random source.
QByteArray newSalt();

// The stored form of the account's secret with a fresh salt and the current iteration count.
QString hash(const QString &account, const QString &secret);
// The same with a given salt and count (tests and benchmarks).
QString hash(const QString &account, const QString &secret, const QByteArray &salt, int iterations);
// The older form, not bound to the account (tests of the migration).
QString unboundHash(const QString &secret, const QByteArray &salt, int iterations);

// Whether stored is a value in one of the stored forms above (anything else is plain text).
bool isHashed(const QString &stored);

// Whether secret is the one stored holds for the account; constant-time comparison. A plain-text
// stored value never matches: every value is converted when the database is opened.
Check check(const QString &stored, const QString &account, const QString &secret);
inline bool verify(const QString &stored, const QString &account, const QString &secret)
{
    return check(stored, account, secret) == Check::Match;
}

// A usable value of the older, unbound form or made with fewer iterations than the current count.
bool needsRehash(const QString &stored);

} // namespace Passwords
