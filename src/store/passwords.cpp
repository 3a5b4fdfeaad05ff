#include "store/passwords.h"

#include <QList>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace Passwords {
namespace {

const QString Unbound = QStringLiteral("pbkdf2-sha256");
const QString Named = QStringLiteral("pbkdf2-sha256-named");

struct Parsed
{
    bool named = false;
    qint64 iterations = 0;
    QByteArray salt;
    QByteArray key;
};

bool parse(const QString &stored, Parsed &out)
{
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || (parts.at(0) != Unbound && parts.at(0) != Named))
        return false;
    out.named = parts.at(0) == Named;
    bool ok = false;
    out.iterations = parts.at(1).toLongLong(&ok);
    if (!ok || out.iterations < 1)
        return false;
    const auto decode = [](const QString &text, QByteArray &bytes) {
        auto result = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        bytes = result.decoded;
        return bool(result) && !bytes.isEmpty();
    };
    return decode(parts.at(2), out.salt) && decode(parts.at(3), out.key) && out.key.size() == KeyBytes;
}

bool usable(const Parsed &p)
{
    // A bound value's salt has its fixed size, so that no salt can be made to swallow a name.
    return p.iterations >= MinimumIterations && p.iterations <= MaximumIterations
        && (!p.named || p.salt.size() == SaltBytes);
}

// The bytes the key is derived from: the secret alone, or the name (length first, so that no two
// name and secret pairs give the same bytes) and the secret.
QByteArray input(bool named, const QString &account, const QString &secret)
{
    if (!named)
        return secret.toUtf8();
    const QByteArray name = account.toUtf8();
    return QByteArray::number(name.size()) + ':' + name + secret.toUtf8();
}

QByteArray derive(const QByteArray &password, const QByteArray &salt, int iterations)
{
    QByteArray key(KeyBytes, Qt::Uninitialized);
    if (PKCS5_PBKDF2_HMAC(password.constData(), password.size(),
                          reinterpret_cast<const unsigned char *>(salt.constData()), salt.size(), iterations,
                          EVP_sha256(), key.size(), reinterpret_cast<unsigned char *>(key.data()))
        != 1)
        return QByteArray();
    return key;
}

QString format(const QString &scheme, const QByteArray &salt, int iterations, const QByteArray &key)
{
    if (key.isEmpty() || salt.isEmpty())
        return QString();
    return scheme + QLatin1Char('$') + QString::number(iterations) + QLatin1Char('$')
        + QString::fromLatin1(salt.toBase64()) + QLatin1Char('$') + QString::fromLatin1(key.toBase64());
}

} // namespace

QByteArray newSalt()
{
    QByteArray salt(SaltBytes, Qt::Uninitialized);
    if (RAND_bytes(reinterpret_cast<unsigned char *>(salt.data()), salt.size()) != 1)
        return QByteArray();
    return salt;
}

QString hash(const QString &account, const QString &secret, const QByteArray &salt, int iterations)
{
    return format(Named, salt, iterations, derive(input(true, account, secret), salt, iterations));
}

QString hash(const QString &account, const QString &secret)
{
    return hash(account, secret, newSalt(), Iterations);
}

QString unboundHash(const QString &secret, const QByteArray &salt, int iterations)
{
    return format(Unbound, salt, iterations, derive(input(false, QString(), secret), salt, iterations));
}

bool isHashed(const QString &stored)
{
    Parsed p;
    return parse(stored, p);
}

Check check(const QString &stored, const QString &account, const QString &secret)
{
    Parsed p;
    if (!parse(stored, p))
        return Check::Mismatch;
    if (!usable(p))
        return Check::Unusable;
    const QByteArray key = derive(input(p.named, account, secret), p.salt, int(p.iterations));
    const bool same = key.size() == p.key.size()
        && CRYPTO_memcmp(key.constData(), p.key.constData(), size_t(key.size())) == 0;
    return same ? Check::Match : Check::Mismatch;
}

bool needsRehash(const QString &stored)
{
    Parsed p;
    return parse(stored, p) && usable(p) && (!p.named || p.iterations < Iterations);
}

} // namespace Passwords
