#include "app/login.h"

#include "app/messages.h"
#include "store/accounts.h"
#include "ui_login.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>

const QString Login::InitialUserQuestion = Accounts::initialUserQuestion();

namespace {

// The company's name is printed on every certificate: no question for a secret.
const char *const RecoveryQuestions[] = {
    QT_TRANSLATE_NOOP("Login", "你的出生地是？"),     QT_TRANSLATE_NOOP("Login", "你母亲的姓名是？"),
    QT_TRANSLATE_NOOP("Login", "你就读的小学是？"),   QT_TRANSLATE_NOOP("Login", "你的第一位老师姓什么？"),
    QT_TRANSLATE_NOOP("Login", "你最喜欢的一本书是？"),
};
// Offered once and still shown translated where an account keeps it.
const char *const FormerQuestions[] = {QT_TRANSLATE_NOOP("Login", "你所在的公司为？")};

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
    for (const char *q : FormerQuestions)
        if (stored == QString::fromUtf8(q))
            return tr(q);
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

    // The name is typed: the dialog does not tell whoever sits at the machine which accounts exist.
    ui->comboBox_UserName->setInsertPolicy(QComboBox::NoInsert);
    ui->comboBox_UserName->setFocus();
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
    const Accounts::Attempt outcome = Accounts::signIn(name, password, QDateTime::currentDateTime()).outcome;
    if (outcome != Accounts::Attempt::Accepted) {
        Messages::information(this, m_warning, refusalText(outcome, tr("密码错误,连续3次密码错误用户将会锁定!")));
        return;
    }
    Tool::SaveAuditLog(AuditEvent::UserLogin, tr("用户登录。"));
    accept();
}

QString Login::refusalText(Accounts::Attempt outcome, const QString &wrong)
{
    switch (outcome) {
    case Accounts::Attempt::Accepted:
        break;
    case Accounts::Attempt::NoSuchAccount:
    case Accounts::Attempt::ReadFailed:
        return tr("用户名错误!");
    case Accounts::Attempt::Expired:
        return tr("用户已过期!");
    case Accounts::Attempt::Locked:
        return tr("用户已被锁定!");
    case Accounts::Attempt::Unusable:
        return unusableHashText();
    case Accounts::Attempt::Wrong:
        return wrong;
    }
    return QString();
}

QString Login::unusableHashText()
{
    return tr("该用户的密码记录无效（参数超出允许范围），请由管理员在用户管理中重设密码！");
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
    // A locked account is unlocked by an administrator, never by its answer.
    switch (Accounts::usability(user, QDateTime::currentDateTime())) {
    case Accounts::Usability::Expired:
        Messages::information(this, m_warning, tr("用户已过期!"));
        return;
    case Accounts::Usability::Locked:
        Messages::information(this, m_warning, tr("用户已被锁定!"));
        return;
    default:
        break;
    }
    // Only the delivered password of the initial account can be shown; every other password is
    // kept as a hash and cannot be read back.
    const QString delivered = Accounts::deliveredPassword(user);
    if (!delivered.isEmpty())
        Messages::information(this, m_notice, tr("密码为：") + delivered);

    bool ok = false;
    const QString answer = Messages::getText(this, tr("忘记密码"), questionText(user.Problem), &ok);
    if (!ok)
        return;
    const Accounts::Attempt outcome = Accounts::answerRecovery(name, answer, QDateTime::currentDateTime()).outcome;
    if (outcome != Accounts::Attempt::Accepted) {
        Messages::information(this, m_warning, refusalText(outcome, tr("答案错误!")));
        return;
    }
    if (!Accounts::mayResetByRecovery(user)) {
        // The initial account's answer is printed in the manual: once its password was changed,
        // that answer must not reset it.
        Messages::information(this, m_warning, tr("初始账户的密码已修改，请由管理员在用户管理中重设！"));
        return;
    }
    setNewPassword(user);
}

void Login::setNewPassword(const Tool::Struct_UesrManagement &user)
{
    bool ok = false;
    const QString password = Messages::getText(this, tr("忘记密码"), tr("请输入新密码："), &ok, QString(), true).trimmed();
    if (!ok)
        return;
    if (password.isEmpty()) {
        Messages::information(this, m_warning, tr("请输入密码!"));
        return;
    }
    const QString again = Messages::getText(this, tr("忘记密码"), tr("请再次输入新密码："), &ok, QString(), true).trimmed();
    if (!ok)
        return;
    if (again != password) {
        Messages::information(this, m_warning, tr("两次输入的密码不一致！"));
        return;
    }
    if (!Tool::updatePassword(user.Name, password)) {
        Messages::information(this, m_warning, tr("修改数据失败!"));
        return;
    }
    // The entry carries the account whose password was reset, as the login's entries do.
    Tool::CurrentUser = user;
    Tool::SaveAuditLog(AuditEvent::PasswordReset, tr("通过找回密码重设密码：") + user.Name);
    Messages::information(this, m_notice, tr("密码已重设，请用新密码登录。"));
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
