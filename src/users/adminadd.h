#pragma once
// Adds one account. Its rights are those ticked in "详细权限"; without it, none.

#include "users/adminform.h"

class AdminAdd : public AdminForm
{
    Q_OBJECT

public:
    // loggedInRole: the stored role of the logged-in user; it decides the roles offered.
    explicit AdminAdd(const QString &loggedInRole, QWidget *parent = nullptr);

protected slots:
    void pt_OK_clicked() override;
};
