#include "app/login.h"

#include "app/messages.h"
#include "store/accounts.h"
#include "ui_login.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>

const QString Login::InitialUserQuestion = QStringLiteral("初始用户");

namespace {

const char *const RecoveryQuestions[] = {QT_TRANSLATE_NOOP("Login", "你所在的公司为？")};

} // namespace

QStringList Login::recoveryQuestions()
{
    QStringList out;
    for (const char *q : RecoveryQuestions)
        out << QString::fromUtf8(q);
    return out;
}

QString Login::questionText(const QString &stored)
{
    if (stored == InitialUserQuestion)
        return tr("初始用户");
    if (recoveryQuestions().contains(stored))
        return tr(stored.toUtf8().constData());
    return stored;
}

Login::Login(QWidget *parent)
    : QDialog(parent), ui(new Ui::Login), m_notice(tr("提示")), m_warning(tr("警告"))
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/PCR.ico")));
    connect(ui->btn_Login, &QPushButton::clicked, this, &Login::Login_Clicked);
    connect(ui->btn_Forget, &QPushButton::clicked, this, &Login::Forget_Clicked);
    connect(ui->btn_Cancle, &QPushButton::clicked, this, &Login::Cancle_Clicked);

    QList<Tool::Struct_UesrManagement> users;
    Tool::getUesrManagement(users, QString());
    for (const auto &u : users)
        ui->comboBox_UserName->addItem(u.Name);
    ui->lineEdit_UserPassword->setFocus();
}

Login::~Login()
{
    delete ui;
}

void Login::Login_Clicked()
{
    const QString name = ui->comboBox_UserName->currentText().trimmed();
    const QString password = ui->lineEdit_UserPassword->text().trimmed();
    if (name.isEmpty()) {
        Messages::information(this, m_warning, tr("请输入用户名!"));
        return;
    }
    if (password.isEmpty()) {
        Messages::information(this, m_warning, tr("请输入密码!"));
        return;
    }
    QList<Tool::Struct_UesrManagement> users;
    if (!Tool::getUesrManagement(users, name) || users.isEmpty()) {
        Messages::information(this, m_warning, tr("用户名错误!"));
        return;
    }
    const Tool::Struct_UesrManagement user = users.first();
    // The audit entries of this attempt carry the attempted name.
    Tool::CurrentUser = user;

    switch (Accounts::usability(user, QDateTime::currentDateTime())) {
    case Accounts::Usability::Expired:
        Messages::information(this, m_warning, tr("用户已过期!"));
        return;
    case Accounts::Usability::Locked:
        Messages::information(this, m_warning, tr("用户已被锁定!"));
        return;
    case Accounts::Usability::MissingRight:   // logging in needs no right
    case Accounts::Usability::Usable:
        break;
    }

    if (password == user.Password) {
        if (!Tool::updateLoginErrors(name, QStringLiteral("0"), QString()))
            qDebug() << "修改数据失败！";
        Tool::SaveAuditLog(AuditEvent::UserLogin, tr("用户登录。"));
        accept();
        return;
    }

    const auto next = Accounts::afterWrongPassword(user.ErrorsNumber);
    if (!next || !Tool::updateLoginErrors(name, next->errors, next->state))
        qDebug() << "修改数据失败！";
    Tool::SaveAuditLog(AuditEvent::UserLogin, tr("用户密码错误。"));
    Messages::information(this, m_warning, tr("密码错误,连续3次密码错误用户将会锁定!"));
}

void Login::Forget_Clicked()
{
    const QString name = ui->comboBox_UserName->currentText().trimmed();
    // An empty name would fetch every account and answer for the first of them.
    if (name.isEmpty()) {
        Messages::information(this, m_warning, tr("请输入用户名!"));
        return;
    }
    QList<Tool::Struct_UesrManagement> users;
    if (!Tool::getUesrManagement(users, name) || users.isEmpty()) {
        Messages::information(this, m_warning, tr("用户名错误!"));
        return;
    }
    const Tool::Struct_UesrManagement user = users.first();
    if (user.Problem == InitialUserQuestion)
        Messages::information(this, m_notice, tr("密码为：") + user.Password);

    bool ok = false;
    const QString answer = Messages::getText(this, tr("忘记密码"), questionText(user.Problem), &ok);
    if (!ok)
        return;
    if (answer == user.Answer)
        Messages::information(this, m_notice, tr("密码为：") + user.Password);
    else
        Messages::information(this, m_warning, tr("答案错误!"));
}

void Login::Cancle_Clicked()
{
    reject();
}

void Login::closeEvent(QCloseEvent *event)
{
    // Closing the login ends the program just like cancelling it.
    event->accept();
    reject();
}
