#include "store/passwords.h"

#include <QList>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace Passwords {
namespace {

const QString Scheme = QStringLiteral("pbkdf2-sha256");
constexpr int MaxIterations = 100000000;

struct Parsed
{
    int iterations = 0;
    QByteArray salt;
    QByteArray key;
};

bool parse(const QString &stored, Parsed &out)
{
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts.at(0) != Scheme)
        return false;
    bool ok = false;
    out.iterations = parts.at(1).toInt(&ok);
    if (!ok || out.iterations < 1 || out.iterations > MaxIterations)
        return false;
    const auto decode = [](const QString &text, QByteArray &bytes) {
        auto result = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        bytes = result.decoded;
        return bool(result) && !bytes.isEmpty();
    };
    return decode(parts.at(2), out.salt) && decode(parts.at(3), out.key) && out.key.size() == KeyBytes;
}

QByteArray derive(const QString &secret, const QByteArray &salt, int iterations)
{
    const QByteArray password = secret.toUtf8();
    QByteArray key(KeyBytes, Qt::Uninitialized);
    if (PKCS5_PBKDF2_HMAC(password.constData(), password.size(),
                          reinterpret_cast<const unsigned char *>(salt.constData()), salt.size(), iterations,
                          EVP_sha256(), key.size(), reinterpret_cast<unsigned char *>(key.data()))
        != 1)
        return QByteArray();
    return key;
}

} // namespace

QByteArray newSalt()
{
    QByteArray salt(SaltBytes, Qt::Uninitialized);
    if (RAND_bytes(reinterpret_cast<unsigned char *>(salt.data()), salt.size()) != 1)
        return QByteArray();
    return salt;
}

QString hash(const QString &secret, const QByteArray &salt, int iterations)
{
    const QByteArray key = derive(secret, salt, iterations);
    if (key.isEmpty() || salt.isEmpty())
        return QString();
    return Scheme + QLatin1Char('$') + QString::number(iterations) + QLatin1Char('$')
        + QString::fromLatin1(salt.toBase64()) + QLatin1Char('$') + QString::fromLatin1(key.toBase64());
}

QString hash(const QString &secret)
{
    return hash(secret, newSalt(), Iterations);
}

bool isHashed(const QString &stored)
{
    Parsed p;
    return parse(stored, p);
}

bool verify(const QString &stored, const QString &secret)
{
    Parsed p;
    if (!parse(stored, p))
        return false;
    const QByteArray key = derive(secret, p.salt, p.iterations);
    return key.size() == p.key.size() && CRYPTO_memcmp(key.constData(), p.key.constData(), size_t(key.size())) == 0;
}

bool needsRehash(const QString &stored)
{
    Parsed p;
    return parse(stored, p) && p.iterations < Iterations;
}

} // namespace Passwords
