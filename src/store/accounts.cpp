#include "store/accounts.h"

#include "store/passwords.h"
#include "store/schema.h"

namespace Accounts {

Usability usability(const Tool::Struct_UesrManagement &user, const QDateTime &now, std::optional<Right> required)
{
    if (user.hasExpired(now))
        return Usability::Expired;
    if (user.State == stateLocked())
        return Usability::Locked;
    if (required && !user.has(*required))
        return Usability::MissingRight;
    return Usability::Usable;
}

std::optional<WrongPassword> afterWrongPassword(const QString &errorsNumber)
{
    switch (errorsNumber.toInt()) {
    case 0: return WrongPassword{QStringLiteral("1"), QString()};
    case 1: return WrongPassword{QStringLiteral("2"), QString()};
    case 2: return WrongPassword{QStringLiteral("0"), stateLocked()};
    default: return std::nullopt;
    }
}

bool passwordMatches(const Tool::Struct_UesrManagement &user, const QString &typed)
{
    return Passwords::verify(user.Password, typed);
}

bool answerMatches(const Tool::Struct_UesrManagement &user, const QString &typed)
{
    return Passwords::verify(user.Answer, typed);
}

QString deliveredPassword(const Tool::Struct_UesrManagement &user)
{
    if (user.Problem != initialUserQuestion())
        return QString();
    const QString delivered = Schema::initialUser().Password;
    return passwordMatches(user, delivered) ? delivered : QString();
}

bool mayResetByRecovery(const Tool::Struct_UesrManagement &user)
{
    return user.Problem != initialUserQuestion() || !deliveredPassword(user).isEmpty();
}

} // namespace Accounts
