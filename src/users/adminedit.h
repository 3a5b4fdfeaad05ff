#pragma once
// Changes one account, identified by its name (which therefore cannot be edited here).

#include "users/adminform.h"

class AdminEdit : public AdminForm
{
    Q_OBJECT

public:
    AdminEdit(const QString &loggedInRole, const Tool::Struct_UesrManagement &user,
              QWidget *parent = nullptr);

protected slots:
    void pt_OK_clicked() override;

private:
    QString m_storedPassword;   // as loaded, before any edit
    Tool::Struct_UesrManagement m_loaded;
};
