#include "users/adminadd.h"

#include "app/messages.h"
#include "store/accounts.h"
#include "users/userrights.h"

#include <QDateTime>

AdminAdd::AdminAdd(const QString &loggedInRole, QWidget *parent)
    : AdminForm(UserRights::rolesOffered(loggedInRole), false, parent)
{
    setObjectName(QStringLiteral("AdminAdd"));
    setWindowTitle(tr("添加用户"));
}

void AdminAdd::pt_OK_clicked()
{
    collect();
    m_user.State = Accounts::stateNormal();
    m_user.RegistrationDate = QDateTime::currentDateTime().toString(Tool::TimeFormat);
    m_user.ErrorsNumber = QStringLiteral("0");

    const QString invalid = invalidInput();
    if (!invalid.isEmpty()) {
        Messages::warning(this, m_warning, invalid);
        return;
    }
    // Every statement finds an account by its name: a second account of the same name would be
    // changed and deleted together with the first.
    QList<Tool::Struct_UesrManagement> existing;
    if (!Tool::getUesrManagement(existing, m_user.Name)) {
        Messages::warning(this, m_warning, tr("添加数据失败!"));
        return;
    }
    if (!existing.isEmpty()) {
        Messages::warning(this, m_warning, tr("名称重复,添加失败！"));
        return;
    }
    if (!Tool::addUesrManagement(m_user)) {
        // Another station may have added the name since it was checked.
        Messages::warning(this, m_warning, Tool::lastWriteWasDuplicate() ? tr("名称重复,添加失败！") : tr("添加数据失败!"));
        return;
    }
    Messages::information(this, m_notice, tr("添加数据成功!"));
    Tool::SaveAuditLog(AuditEvent::UserAdd, tr("添加用户：") + m_user.Name);
    accept();
}
