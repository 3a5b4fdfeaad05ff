#include "users/adminedit.h"

#include "app/login.h"
#include "app/messages.h"
#include "store/accounts.h"
#include "store/auditdiff.h"
#include "users/userrights.h"

#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>

namespace {

bool canAdminister(const Tool::Struct_UesrManagement &u, const QDateTime &now)
{
    return u.Rights == Accounts::administrator() && Accounts::usability(u, now) == Accounts::Usability::Usable;
}

// Whether the lab keeps an administrator who can log in once this record is stored: without one
// nobody could unlock, add or repair an account again.
bool keepsAnAdministrator(const Tool::Struct_UesrManagement &changed)
{
    const QDateTime now = QDateTime::currentDateTime();
    if (canAdminister(changed, now))
        return true;
    QList<Tool::Struct_UesrManagement> users;
    if (!Tool::getUesrManagement(users, QString()))
        return true;   // cannot tell: the update itself will report a failing database
    for (const Tool::Struct_UesrManagement &u : users)
        if (u.Name != changed.Name && canAdminister(u, now))
            return true;
    return false;
}

} // namespace

AdminEdit::AdminEdit(const QString &loggedInRole, const Tool::Struct_UesrManagement &user,
                     QWidget *parent)
    : AdminForm(UserRights::rolesOffered(loggedInRole), true, parent)
{
    setObjectName(QStringLiteral("AdminEdit"));
    setWindowTitle(tr("用户修改"));
    load(user);
    m_storedPassword = user.Password;
    m_loaded = user;
    // The update finds the account by this name; a changed name would match nothing.
    m_name->setReadOnly(true);
    if (!UserRights::managesOthers(loggedInRole)) {
        m_rights->setEnabled(false);
        m_expiration->setEnabled(false);
    }
    // The validity and the lock an administrator gave an account are not for its holder to undo.
    if (loggedInRole != Accounts::administrator() && user.Name == Tool::CurrentUser.Name) {
        m_expiration->setEnabled(false);
        m_state->setEnabled(false);
    }
}

void AdminEdit::pt_OK_clicked()
{
    collect();
    const QString invalid = invalidInput();
    if (!invalid.isEmpty()) {
        Messages::warning(this, m_warning, invalid);
        return;
    }
    // The login shows the password of the initial account to anyone who asks for it: that is
    // meant for the delivered password only. A new password needs a real question and answer.
    // Leaving the marker question keeps no use for the delivered (public) answer: a new one is due.
    const bool leavesMarkerWithOldAnswer = m_loaded.Problem == Login::InitialUserQuestion
        && m_user.Problem != Login::InitialUserQuestion && m_user.Answer == m_loaded.Answer;
    if ((m_user.Problem == Login::InitialUserQuestion && m_user.Password != m_storedPassword)
        || leavesMarkerWithOldAnswer) {
        Messages::warning(this, m_warning, tr("修改初始账户的密码时，请选择找回密码的问题并填写答案！"));
        return;
    }
    if (!keepsAnAdministrator(m_user)) {
        Messages::warning(this, m_warning, tr("至少要保留一个可以登录的管理员账户！"));
        return;
    }
    if (!Tool::modifyUesrManagement(m_user)) {
        Messages::warning(this, m_warning, tr("修改数据失败!"));
        return;
    }
    // Editing oneself: the pages built from now on apply the new rights.
    if (m_user.Name == Tool::CurrentUser.Name) {
        QList<Tool::Struct_UesrManagement> stored;
        if (Tool::getUesrManagement(stored, m_user.Name) && !stored.isEmpty())
            Tool::CurrentUser = stored.first();
    }
    Messages::information(this, m_notice, tr("数据修改成功!"));
    Tool::SaveAuditLog(AuditEvent::UserModify,
                       AuditDiff::sentence(tr("修改用户：") + m_user.Name, UserRights::changes(m_loaded, m_user)));
    accept();
}
