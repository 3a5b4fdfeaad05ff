#include "store/accounts.h"

#include "store/passwords.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QDebug>

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

QDateTime defaultExpiry(const QDateTime &now)
{
    const QDateTime second = now.addMSecs(-now.time().msec());
    return second.addYears(1);
}

QString shownState(const Tool::Struct_UesrManagement &user, const QDateTime &now)
{
    return user.hasExpired(now) ? stateExpired() : user.State;
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
    return Passwords::verify(user.Password, user.Name, typed);
}

bool answerMatches(const Tool::Struct_UesrManagement &user, const QString &typed)
{
    return Passwords::verify(user.Answer, user.Name, typed);
}

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("Accounts", source);
}

// Reads the account and applies expiry and lock; Accepted means "go on and compare".
AttemptResult usableAccount(const QString &name, const QDateTime &now)
{
    AttemptResult r;
    QList<Tool::Struct_UesrManagement> users;
    if (!Tool::getUesrManagement(users, name))
        return r;
    if (name.isEmpty() || users.isEmpty() || users.first().Name != name) {
        r.outcome = Attempt::NoSuchAccount;
        return r;
    }
    r.user = users.first();
    // The audit entries of this attempt carry the attempted name.
    Tool::CurrentUser = r.user;
    switch (usability(r.user, now)) {
    case Usability::Expired: r.outcome = Attempt::Expired; break;
    case Usability::Locked: r.outcome = Attempt::Locked; break;
    case Usability::MissingRight:
    case Usability::Usable: r.outcome = Attempt::Accepted; break;
    }
    return r;
}

void countFailure(const Tool::Struct_UesrManagement &user)
{
    const auto next = afterWrongPassword(user.ErrorsNumber);
    if (!next || !Tool::updateLoginErrors(user.Name, next->errors, next->state))
        qDebug() << "修改数据失败！";
}

} // namespace

AttemptResult signIn(const QString &name, const QString &password, const QDateTime &now)
{
    AttemptResult r = usableAccount(name, now);
    if (r.outcome != Attempt::Accepted)
        return r;
    switch (Passwords::check(r.user.Password, r.user.Name, password)) {
    case Passwords::Check::Match:
        if (!Tool::updateLoginErrors(name, QStringLiteral("0"), QString()))
            qDebug() << "修改数据失败！";
        // A hash of an older form is renewed while the password is at hand.
        if (Passwords::needsRehash(r.user.Password) && !Tool::updatePassword(name, password))
            qDebug() << "修改数据失败！";
        return r;
    case Passwords::Check::Unusable:
        Tool::SaveAuditLog(AuditEvent::UserLogin,
                           text(QT_TRANSLATE_NOOP("Accounts", "用户密码的存储参数无效，需由管理员重设。")));
        r.outcome = Attempt::Unusable;
        return r;
    case Passwords::Check::Mismatch:
        break;
    }
    countFailure(r.user);
    Tool::SaveAuditLog(AuditEvent::UserLogin, text(QT_TRANSLATE_NOOP("Accounts", "用户密码错误。")));
    r.outcome = Attempt::Wrong;
    return r;
}

AttemptResult answerRecovery(const QString &name, const QString &answer, const QDateTime &now)
{
    AttemptResult r = usableAccount(name, now);
    switch (r.outcome) {
    case Attempt::Expired:
    case Attempt::Locked:
        Tool::SaveAuditLog(AuditEvent::PasswordReset,
                           text(QT_TRANSLATE_NOOP("Accounts", "找回密码被拒绝：用户已锁定或已过期。")));
        return r;
    case Attempt::Accepted:
        break;
    default:
        return r;
    }
    switch (Passwords::check(r.user.Answer, r.user.Name, answer)) {
    case Passwords::Check::Match:
        if (!Tool::updateLoginErrors(name, QStringLiteral("0"), QString()))
            qDebug() << "修改数据失败！";
        Tool::SaveAuditLog(AuditEvent::PasswordReset,
                           text(QT_TRANSLATE_NOOP("Accounts", "找回密码：答案正确。")));
        return r;
    case Passwords::Check::Unusable:
        Tool::SaveAuditLog(AuditEvent::PasswordReset,
                           text(QT_TRANSLATE_NOOP("Accounts", "用户密码的存储参数无效，需由管理员重设。")));
        r.outcome = Attempt::Unusable;
        return r;
    case Passwords::Check::Mismatch:
        break;
    }
    countFailure(r.user);
    Tool::SaveAuditLog(AuditEvent::PasswordReset, text(QT_TRANSLATE_NOOP("Accounts", "找回密码：答案错误。")));
    r.outcome = Attempt::Wrong;
    return r;
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
