#pragma once
// The login dialog: identifies the user, enforces expiry and the lock after three consecutive wrong
// passwords, offers password recovery and fills Tool::CurrentUser.

#include "store/tool.h"
#include "store/accounts.h"

#include <QDialog>

namespace Ui {
class Login;
}

class Login : public QDialog
{
    Q_OBJECT

public:
    explicit Login(QWidget *parent = nullptr);
    ~Login() override;

    // The recovery question of the initial account, as stored (never translated).
    static const QString InitialUserQuestion;   // "初始用户"

    // The recovery questions offered for new accounts, as stored (Chinese, whatever the language).
    static QStringList recoveryQuestions();
    // A stored question as the interface shows it: the system's own questions translated, a
    // question of any other origin as it stands.
    static QString questionText(const QString &stored);
    // Why an account whose stored hash is refused cannot sign in.
    static QString unusableHashText();
    // The message of a refused sign-in or recovery attempt; wrong is what a wrong secret says.
    static QString refusalText(Accounts::Attempt outcome, const QString &wrong);

private slots:
    void Login_Clicked();
    void Forget_Clicked();
    void Cancle_Clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // After a right recovery answer: asks for the new password twice and stores it.
    void setNewPassword(const Tool::Struct_UesrManagement &user);

    Ui::Login *ui;
    QString m_notice;    // "提示"
    QString m_warning;   // "警告"
};
