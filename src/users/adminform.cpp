#include "users/adminform.h"

#include "app/login.h"
#include "app/messages.h"
#include "app/widgets.h"
#include "users/jurisdiction.h"
#include "store/accounts.h"
#include "store/textchecks.h"
#include "users/userrights.h"

#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using Widgets::named;

namespace {

QLabel *label(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(objectName);
    return l;
}

} // namespace

QStringList AdminForm::problems()
{
    return Login::recoveryQuestions();
}

AdminForm::AdminForm(const QStringList &roles, bool withState, QWidget *parent)
    : QDialog(parent), m_notice(tr("提示")), m_warning(tr("警告"))
{
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    setMinimumWidth(460);

    auto *group = named(new QGroupBox(tr("用户信息"), this), "groupBox");
    m_grid = new QGridLayout(group);
    m_grid->setVerticalSpacing(10);
    m_grid->setColumnStretch(1, 1);
    int row = 0;
    auto addRow = [this, &row, group](const char *labelName, const QString &text, QWidget *field) {
        m_grid->addWidget(label(QLatin1String(labelName), text, group), row, 0);
        m_grid->addWidget(field, row++, 1);
    };

    m_name = named(new QLineEdit(group), "lineEdit_Name");
    m_name->setMaxLength(TextChecks::NameLength);
    addRow("label_Name", tr("用 户 名："), m_name);

    m_password = named(new QLineEdit(group), "lineEdit_Password");
    m_password->setEchoMode(QLineEdit::PasswordEchoOnEdit);
    m_password->setMaxLength(TextChecks::SecretLength);
    addRow("label_Password", tr("用户密码："), m_password);

    m_problem = named(new QComboBox(group), "comboBox_Problem");
    // Chosen from the list or typed.
    m_problem->setEditable(true);
    m_problem->setInsertPolicy(QComboBox::NoInsert);
    m_problem->lineEdit()->setMaxLength(TextChecks::NameLength);
    // Shown translated, stored as the system's own word, so that the login shows the question
    // in whatever language is chosen later.
    for (const QString &question : problems())
        m_problem->addItem(Login::questionText(question), question);
    addRow("label_Problem", tr("问    题："), m_problem);

    m_answer = named(new QLineEdit(group), "lineEdit_Answer");
    m_answer->setMaxLength(TextChecks::NameLength);
    addRow("label_Answer", tr("答    案："), m_answer);

    // Roles are shown translated and carry the stored word as item data.
    m_rights = named(new QComboBox(group), "comboBox_Rights");
    for (const QString &role : roles)
        m_rights->addItem(Tool::toDisplayText(role), role);
    addRow("label_Rights", tr("用户权限："), m_rights);

    if (withState) {
        m_state = named(new QComboBox(group), "comboBox_State");
        for (const QString &state : {Accounts::stateNormal(), Accounts::stateLocked()})
            m_state->addItem(Tool::toDisplayText(state), state);
        addRow("label_State", tr("用户状态："), m_state);
    }

    m_expiration = named(new QLineEdit(group), "lineEdit_ExpirationDate");
    m_expiration->setInputMask(QStringLiteral("0000-00-00 00:00:00"));
    // A new account is usable for a year unless the form says otherwise.
    m_expiration->setText(Accounts::defaultExpiry(QDateTime::currentDateTime()).toString(Tool::TimeFormat));
    addRow("label_ExpirationDate", tr("有 效 期："), m_expiration);

    m_remarks = named(new QLineEdit(group), "lineEdit_Remarks");
    m_remarks->setMaxLength(TextChecks::RemarkLength);
    addRow("label_Remarks", tr("备    注："), m_remarks);

    m_jurisdictionButton = named(new QPushButton(tr("详细权限"), this), "pushButton_Jurisdiction");
    m_ok = named(new QPushButton(tr("确定"), this), "pushButton_OK");
    m_ok->setDefault(true);
    connect(m_jurisdictionButton, &QPushButton::clicked, this, &AdminForm::pt_Jurisdiction_clicked);
    connect(m_ok, &QPushButton::clicked, this, &AdminForm::pt_OK_clicked);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_jurisdictionButton);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    // A new account: all rights false until "详细权限" sets them.
    m_user.setAllRights(false);
}

void AdminForm::selectText(QComboBox *box, const QString &stored)
{
    int i = box->findData(stored);
    if (i < 0) {
        box->addItem(Tool::toDisplayText(stored), stored);
        i = box->count() - 1;
    }
    box->setCurrentIndex(i);
}

void AdminForm::load(const Tool::Struct_UesrManagement &user)
{
    m_user = user;
    m_keepSecrets = true;
    m_loadedPassword = user.Password;
    m_loadedAnswer = user.Answer;
    m_name->setText(user.Name);
    // Stored as hashes, which cannot be shown: an empty field keeps what is stored.
    m_password->clear();
    m_password->setPlaceholderText(tr("不修改请留空"));
    m_answer->setPlaceholderText(tr("不修改请留空"));
    // The system's own questions are found by their stored word, or by their translation as an
    // account stored it while the English interface was on (stored back as the word). Any other
    // question, and the initial account's marker, stay as stored.
    int p = m_problem->findData(user.Problem);
    if (p < 0)
        p = m_problem->findText(user.Problem);
    if (p < 0) {
        m_problem->addItem(Login::questionText(user.Problem), user.Problem);
        p = m_problem->count() - 1;
    }
    m_problem->setCurrentIndex(p);
    m_loadedProblem = user.Problem;
    m_answer->clear();
    selectText(m_rights, user.Rights);
    if (m_state)
        selectText(m_state, user.State);
    m_expiration->setText(user.ExpirationDate);
    m_remarks->setText(user.Remarks);
}

void AdminForm::collect()
{
    // The login trims what is typed, so blanks around a name or password would make the account
    // unusable.
    m_user.Name = m_name->text().trimmed();
    const QString password = m_password->text().trimmed();
    if (!m_keepSecrets || !password.isEmpty())
        m_user.Password = password;
    // A list entry is stored as the system's word; a typed question as typed.
    const QString shown = m_problem->currentText();
    const int listed = m_problem->findText(shown);
    const QVariant storedProblem = m_problem->itemData(listed);
    m_user.Problem = listed >= 0 && storedProblem.isValid() ? storedProblem.toString() : shown.trimmed();
    if (!m_keepSecrets || !m_answer->text().isEmpty())
        m_user.Answer = m_answer->text();
    m_user.Rights = m_rights->currentData().toString();
    if (m_state)
        m_user.State = m_state->currentData().toString();
    m_user.ExpirationDate = m_expiration->text();
    m_user.Remarks = m_remarks->text();
}

Tool::Struct_UesrManagement AdminForm::record() const
{
    return m_user;
}

Jurisdiction *AdminForm::openJurisdiction() const
{
    return m_jurisdiction;
}

QString AdminForm::invalidInput() const
{
    const bool valid = !m_user.Name.isEmpty() && !m_user.Password.isEmpty()
        && !m_user.Problem.trimmed().isEmpty() && !m_user.Answer.trimmed().isEmpty()
        && !m_user.Rights.isEmpty()
        // The login reads an unparsable expiry as expired: refuse it here instead.
        && QDateTime::fromString(m_user.ExpirationDate, Tool::TimeFormat).isValid();
    if (!valid)
        return tr("请输入正确的参数！");
    // The delivered account's marker stays with the account that was delivered with it.
    if (m_user.Problem == Accounts::initialUserQuestion() && m_loadedProblem != m_user.Problem)
        return tr("请选择或输入一个找回密码的问题！");
    // A stored hash handed back unchanged is no typed text.
    return TextChecks::refusal({{m_user.Name, TextChecks::NameLength},
                                {m_user.Password == m_loadedPassword ? QString() : m_user.Password,
                                 TextChecks::SecretLength},
                                {m_user.Problem, TextChecks::NameLength},
                                {m_user.Answer == m_loadedAnswer ? QString() : m_user.Answer, TextChecks::NameLength},
                                {m_user.Remarks, TextChecks::RemarkLength}});
}

void AdminForm::pt_Jurisdiction_clicked()
{
    collect();   // so that the role just chosen applies
    if (m_jurisdiction)
        m_jurisdiction->close();
    m_jurisdiction = new Jurisdiction(this);
    m_jurisdiction->setAttribute(Qt::WA_DeleteOnClose);
    // Only an administrator changes the rights of the account in use: anyone else could grant
    // themselves what the rights were meant to keep from them.
    const bool ownAccount = !m_user.Name.isEmpty() && m_user.Name == Tool::CurrentUser.Name;
    m_jurisdiction->setUser(m_user, !ownAccount || Tool::CurrentUser.Rights == Accounts::administrator());
    connect(m_jurisdiction, &Jurisdiction::sp_SetJurisdiction_signals, this,
            &AdminForm::pt_SetJurisdiction_slots);
    m_jurisdiction->show();
}

void AdminForm::pt_SetJurisdiction_slots(Tool::Struct_UesrManagement user)
{
    m_user = UserRights::withRightsOf(m_user, user);
}
