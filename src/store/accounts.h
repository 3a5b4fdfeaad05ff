#pragma once
// Stored role and state words of the accounts, and the rule that decides whether an account may
// be used now: by the login and by the headless tools alike.

#include "store/tool.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace Accounts {

// Roles and states as stored in UesrManagement: Chinese whatever the interface language.
inline QString administrator() { return QStringLiteral("管理员"); }
inline QString supervisor() { return QStringLiteral("主管"); }
inline QString operatorRole() { return QStringLiteral("操作员"); }
inline QString stateNormal() { return QStringLiteral("正常"); }
inline QString stateLocked() { return QStringLiteral("锁定"); }
inline QString stateExpired() { return QStringLiteral("过期"); }

enum class Usability { Usable, Expired, Locked, MissingRight };

// The expiry a new account is offered: one year from now, to the second.
QDateTime defaultExpiry(const QDateTime &now);
// The state a list shows: "过期" once the expiry has passed (the stored state stays as it is),
// else the stored state.
QString shownState(const Tool::Struct_UesrManagement &user, const QDateTime &now);

// Expiry first (an account both expired and locked is reported as expired), then the lock, then
// the required right, if any. Expired from the expiration second on; an unreadable date has
// expired.
Usability usability(const Tool::Struct_UesrManagement &user, const QDateTime &now,
                    std::optional<Right> required = std::nullopt);

// What a wrong password writes back: the next error count and, on the third in a row, the lock
// (state empty: unchanged). Nothing for a count other than 0, 1 or 2; a text that is no number
// counts as 0.
struct WrongPassword
{
    QString errors;
    QString state;
};
std::optional<WrongPassword> afterWrongPassword(const QString &errorsNumber);

// The password typed (already trimmed) against the stored hash; a plain-text value never matches.
bool passwordMatches(const Tool::Struct_UesrManagement &user, const QString &typed);
// The recovery answer as typed (untrimmed) against the stored hash.
bool answerMatches(const Tool::Struct_UesrManagement &user, const QString &typed);

// What an attempt with a password or a recovery answer came to.
enum class Attempt {
    Accepted,
    NoSuchAccount,
    Expired,
    Locked,
    Wrong,          // counted toward the lock
    Unusable,       // the stored hash is outside the accepted parameters: an administrator resets it
    ReadFailed,     // the account could not be read
};
struct AttemptResult
{
    Attempt outcome = Attempt::ReadFailed;
    Tool::Struct_UesrManagement user;   // the account as read before the attempt (when found)
};

// The one rule for signing in, used by the login and by the headless tools alike: the account
// must exist, not have expired and not be locked; a wrong password counts toward the lock (three
// in a row lock it) and is audited under the attempted name; the right one clears the count and
// renews a hash of an older form. Tool::CurrentUser becomes the account once it is found. The
// caller audits an accepted sign-in as its own kind of entry.
AttemptResult signIn(const QString &name, const QString &password, const QDateTime &now);
// The same rule for an answer to the recovery question: a locked or expired account is refused;
// a wrong answer counts toward the lock like a wrong password; every attempt is audited.
AttemptResult answerRecovery(const QString &name, const QString &answer, const QDateTime &now);

// The recovery question that marks the delivered initial account, as stored.
inline QString initialUserQuestion() { return QStringLiteral("初始用户"); }
// The delivered password, while the initial account still has it; empty for any other account
// and once it has been changed. Only this one is ever shown: no stored password can be read back.
QString deliveredPassword(const Tool::Struct_UesrManagement &user);

// What "忘记密码" may do for an account once its question was answered right: set a new
// password, or not, because the account's answer is the public one of the delivered account and
// its password is no longer the delivered one (only an administrator may reset it then).
bool mayResetByRecovery(const Tool::Struct_UesrManagement &user);

} // namespace Accounts
