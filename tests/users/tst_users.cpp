// User administration: who sees whom, adding, editing, rights and deleting, against a real
// database file.

#include "userstest.h"

#include "app/login.h"
#include "app/messages.h"
#include "store/accounts.h"
#include "store/passwords.h"
#include "users/admin.h"
#include "users/adminadd.h"
#include "users/adminedit.h"
#include "users/jurisdiction.h"
#include "users/userrights.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTranslator>

using namespace UsersTest;

namespace {

const QString Admin_ = QStringLiteral("管理员");
const QString Sup = QStringLiteral("主管");
const QString Op = QStringLiteral("操作员");

QList<Tool::Struct_AuditLog> audit()
{
    QList<Tool::Struct_AuditLog> rows;
    Tool::getAuditLog(rows, QString(), QString(), QString(), QString());
    return rows;
}

Tool::Struct_UesrManagement stored(const QString &name)
{
    QList<Tool::Struct_UesrManagement> users;
    Tool::getUesrManagement(users, name);
    return users.isEmpty() ? Tool::Struct_UesrManagement() : users.first();
}

int rightsSet(const Tool::Struct_UesrManagement &u)
{
    int n = 0;
    for (const auto &e : Tool::Struct_UesrManagement::rights())
        n += u.*(e.flag) ? 1 : 0;
    return n;
}

void fillForm(AdminForm *d, const QString &name, const QString &password, const QString &answer,
              const QString &expiry = QStringLiteral("2099-12-31 00:00:00"))
{
    child<QLineEdit>(d, "lineEdit_Name")->setText(name);
    child<QLineEdit>(d, "lineEdit_Password")->setText(password);
    child<QLineEdit>(d, "lineEdit_Answer")->setText(answer);
    child<QLineEdit>(d, "lineEdit_ExpirationDate")->setText(expiry);
}

void click(QObject *parent, const char *button)
{
    child<QPushButton>(parent, button)->click();
}

QStringList comboData(QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemData(i).toString();
    return out;
}

} // namespace

class TestUsers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void eachRoleSeesItsAccounts();
    void searchStaysWithinWhatTheRoleSees();
    void buttonsFollowRights();
    void addedAccountWithoutDetailedRightsHasNone();
    void detailedRightsAreStoredWithTheAccount();
    void addRefusesDuplicateAndInvalidInput();
    void boxesEnabledByRoleKeepTheirTicks();
    void twoDeletedUsersGiveOneAuditEntry();
    void loggedInAccountIsNeverDeleted();
    void editUnlocksAndKeepsWhatTheFormDoesNotShow();
    void initialQuestionShownInEnglishKeptAsStored();
    void newPasswordOfTheInitialAccountNeedsARealQuestion();
    void recoveryQuestionStoredWhateverTheLanguage();
    void operatorEditsOwnAccountWithoutChangingRole();
    void onlyAnAdministratorChangesOwnRights();
    void lastUsableAdministratorStays();
    void expiredAccountCannotLogIn();
    void newAccountLogsInTheDayItIsMade();
    void shownState_data();
    void shownState();
    void accountUnlockedHereLogsInAgain();

private:
    std::unique_ptr<Workspace> m_ws;
    std::unique_ptr<MessageRecorder> m_boxes;
};

void TestUsers::init()
{
    PCR_SERVER_RUN_CHECK();
    m_ws = std::make_unique<Workspace>();
    QVERIFY(m_ws->openDatabase());
    m_boxes = std::make_unique<MessageRecorder>();
    // admin (initial account) is there already.
    QVERIFY(Tool::addUesrManagement(account("boss2", Admin_, true)));
    QVERIFY(Tool::addUesrManagement(account("sup", Sup, true)));
    QVERIFY(Tool::addUesrManagement(account("sup2", Sup)));
    QVERIFY(Tool::addUesrManagement(account("op1", Op)));
    QVERIFY(Tool::addUesrManagement(account("op'2", Op)));
}

void TestUsers::cleanup()
{
    m_boxes.reset();
    m_ws.reset();
    Tool::CurrentUser = Tool::Struct_UesrManagement();
}

void TestUsers::eachRoleSeesItsAccounts()
{
    logIn("admin");
    QCOMPARE(Admin().listedNames(), QStringList({"admin", "boss2", "sup", "sup2", "op1", "op'2"}));
    logIn("sup");
    QCOMPARE(Admin().listedNames(), QStringList({"sup", "op1", "op'2"}));
    logIn("op'2");
    QCOMPARE(Admin().listedNames(), QStringList({"op'2"}));

    // Role and state are shown translated (here the source words), rights as true/false.
    logIn("admin");
    Admin page;
    auto *table = child<QTableWidget>(&page, "tableWidget_List");
    QCOMPARE(table->columnCount(), 7 + 25);
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("用户名"));
    QCOMPARE(table->horizontalHeaderItem(7)->text(), QStringLiteral("数据库备份"));
    QCOMPARE(table->horizontalHeaderItem(7 + 23)->text(), QStringLiteral("日志导出"));
    QCOMPARE(table->item(2, 2)->text(), QStringLiteral("主管"));
    QCOMPARE(table->item(2, 7)->text(), QStringLiteral("true"));
    QCOMPARE(table->item(3, 7)->text(), QStringLiteral("false"));
    QVERIFY(table->cellWidget(0, 0)->findChild<QCheckBox *>());
}

void TestUsers::searchStaysWithinWhatTheRoleSees()
{
    auto search = [](Admin &page, const QString &text) {
        child<QLineEdit>(&page, "lineEdit_DeviceName")->setText(text);
        click(&page, "pushButton_Search");
        return page.listedNames();
    };
    logIn("sup");
    Admin sup;
    QCOMPARE(search(sup, "sup"), QStringList({"sup"}));            // not sup2, another supervisor
    QCOMPARE(search(sup, "o"), QStringList({"op1", "op'2"}));     // not boss2
    QCOMPARE(search(sup, "'"), QStringList({"op'2"}));
    QCOMPARE(search(sup, "x') OR ('1'='1"), QStringList());
    QCOMPARE(search(sup, "' OR Rights='管理员' OR Name like '"), QStringList());
    QCOMPARE(search(sup, ""), QStringList({"sup", "op1", "op'2"}));

    logIn("admin");
    Admin admin;
    QCOMPARE(search(admin, "sup"), QStringList({"sup", "sup2"}));
    QCOMPARE(search(admin, "'"), QStringList({"op'2"}));
    QCOMPARE(search(admin, "nobody' OR '1'='1"), QStringList());

    logIn("op1");
    Admin op;
    QVERIFY(!child<QPushButton>(&op, "pushButton_Search")->isEnabled());
}

void TestUsers::buttonsFollowRights()
{
    logIn("sup");   // all rights
    Admin all;
    QVERIFY(child<QPushButton>(&all, "pushButton_Add")->isEnabled());
    QVERIFY(child<QPushButton>(&all, "pushButton_Delete")->isEnabled());
    QVERIFY(child<QPushButton>(&all, "pushButton_Search")->isEnabled());
    logIn("sup2");  // none
    Admin none;
    QVERIFY(!child<QPushButton>(&none, "pushButton_Add")->isEnabled());
    QVERIFY(!child<QPushButton>(&none, "pushButton_Delete")->isEnabled());
    QVERIFY(child<QPushButton>(&none, "pushButton_Search")->isEnabled());

    // The roles each role may give.
    QCOMPARE(comboData(child<QComboBox>(AdminAdd(Admin_).window(), "comboBox_Rights")),
             QStringList({Admin_, Sup, Op}));
    QCOMPARE(comboData(child<QComboBox>(AdminAdd(Sup).window(), "comboBox_Rights")), QStringList({Sup, Op}));
    QCOMPARE(comboData(child<QComboBox>(AdminAdd(Op).window(), "comboBox_Rights")), QStringList());
}

void TestUsers::addedAccountWithoutDetailedRightsHasNone()
{
    logIn("admin");
    Admin page;
    bool seen = false;
    const QString before = QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss");
    onNextModal<AdminAdd>([](AdminAdd *d) {
        fillForm(d, "  newbie  ", " secret ", "lab");
        auto *roles = child<QComboBox>(d, "comboBox_Rights");
        roles->setCurrentIndex(roles->findData(Admin_));
        click(d, "pushButton_OK");
    }, &seen);
    click(&page, "pushButton_Add");
    QVERIFY(seen);
    QCOMPARE(m_boxes->texts(), QStringList({"添加数据成功!"}));
    QVERIFY(page.listedNames().contains("newbie"));

    const auto u = stored("newbie");   // blanks the login would trim are not stored
    QVERIFY(Passwords::verify(u.Password, QStringLiteral("secret")));
    QCOMPARE(u.Rights, Admin_);
    QCOMPARE(u.State, QStringLiteral("正常"));
    QCOMPARE(u.ErrorsNumber, QStringLiteral("0"));
    QCOMPARE(u.Problem, QStringLiteral("你所在的公司为？"));
    QCOMPARE(u.ExpirationDate, QStringLiteral("2099-12-31 00:00:00"));
    QVERIFY(u.RegistrationDate >= before);
    QCOMPARE(rightsSet(u), 0);   // even as an administrator

    const auto rows = audit();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.last().Type, QStringLiteral("用户管理-添加"));
    QCOMPARE(rows.last().Details, QStringLiteral("添加用户：newbie"));
    QCOMPARE(rows.last().Operator, QStringLiteral("admin"));
}

void TestUsers::detailedRightsAreStoredWithTheAccount()
{
    logIn("sup");
    AdminAdd d(Sup);
    fillForm(&d, "helper", "pw", "lab");
    auto *roles = child<QComboBox>(&d, "comboBox_Rights");
    roles->setCurrentIndex(roles->findData(Sup));
    click(&d, "pushButton_Jurisdiction");
    Jurisdiction *j = d.openJurisdiction();
    QVERIFY(j);
    QVERIFY(j->isVisible());
    QVERIFY(!j->isModal());
    // Supervisor account: administrator-only boxes cannot be ticked.
    QVERIFY(!j->checkBox("SQLBackups")->isEnabled());
    QVERIFY(j->checkBox("PCRDeviceAdd")->isEnabled());
    j->checkBox("PCRDeviceAdd")->setChecked(true);
    j->checkBox("LogDownload")->setChecked(true);
    click(j, "pushButton_OK");
    QTRY_VERIFY(!d.openJurisdiction());   // closed and gone after OK
    // Changing a field afterwards keeps the rights just set.
    child<QLineEdit>(&d, "lineEdit_Remarks")->setText("night shift");
    click(&d, "pushButton_OK");
    QCOMPARE(d.result(), int(QDialog::Accepted));

    const auto u = stored("helper");
    QVERIFY(u.PCRDeviceAdd);
    QVERIFY(u.LogDownload);
    QCOMPARE(rightsSet(u), 2);
    QCOMPARE(u.Remarks, QStringLiteral("night shift"));

    // Closing the rights dialog without OK changes nothing.
    AdminAdd d2(Sup);
    fillForm(&d2, "helper2", "pw", "lab");
    click(&d2, "pushButton_Jurisdiction");
    d2.openJurisdiction()->checkBox("CalibrationStartUp")->setChecked(true);
    d2.openJurisdiction()->close();
    click(&d2, "pushButton_OK");
    QCOMPARE(rightsSet(stored("helper2")), 0);
}

void TestUsers::addRefusesDuplicateAndInvalidInput()
{
    logIn("admin");
    struct Case
    {
        const char *name, *password, *answer, *expiry, *message;
    } cases[] = {
        {"op1", "pw", "lab", "2099-01-01 00:00:00", "名称重复,添加失败！"},
        {" op1 ", "pw", "lab", "2099-01-01 00:00:00", "名称重复,添加失败！"},
        {"", "pw", "lab", "2099-01-01 00:00:00", "请输入正确的参数！"},
        {"new", "  ", "lab", "2099-01-01 00:00:00", "请输入正确的参数！"},
        {"new", "pw", "", "2099-01-01 00:00:00", "请输入正确的参数！"},
        {"new", "pw", "lab", "2099-13-01 00:00:00", "请输入正确的参数！"},
        {"new", "pw", "lab", "2099-01", "请输入正确的参数！"},
    };
    const int users = rawCount("select count(*) from UesrManagement");
    for (const Case &c : cases) {
        m_boxes->clear();
        AdminAdd d(Admin_);
        fillForm(&d, c.name, c.password, c.answer, c.expiry);
        click(&d, "pushButton_OK");
        QCOMPARE(m_boxes->texts(), QStringList({QString::fromUtf8(c.message)}));
        QCOMPARE(m_boxes->last().title, QStringLiteral("警告"));
        QVERIFY(d.result() != QDialog::Accepted);
    }
    QCOMPARE(rawCount("select count(*) from UesrManagement"), users);
    QVERIFY(audit().isEmpty());

    // An operator who holds the add right has no role to give.
    logIn("op1");
    m_boxes->clear();
    AdminAdd d(Op);
    fillForm(&d, "new", "pw", "lab");
    click(&d, "pushButton_OK");
    QCOMPARE(m_boxes->texts(), QStringList({"请输入正确的参数！"}));

    // A name holding a quote is stored as typed.
    logIn("admin");
    m_boxes->clear();
    AdminAdd q(Admin_);
    fillForm(&q, "O'Brien", "it's", "lab");
    click(&q, "pushButton_OK");
    QCOMPARE(m_boxes->texts(), QStringList({"添加数据成功!"}));
    QVERIFY(Passwords::verify(stored("O'Brien").Password, QStringLiteral("it's")));
}

void TestUsers::boxesEnabledByRoleKeepTheirTicks()
{
    struct Expect
    {
        QString role;
        int enabled;
    } expects[] = {{Admin_, 25}, {Sup, 25 - 9}, {Op, 5}};
    for (const Expect &e : expects) {
        Jurisdiction j;
        auto u = account("x", e.role, true);
        j.setUser(u);
        int enabled = 0;
        for (const auto &entry : Tool::Struct_UesrManagement::rights()) {
            QCheckBox *box = j.checkBox(entry.column);
            QVERIFY(box->isChecked());
            enabled += box->isEnabled() ? 1 : 0;
            QCOMPARE(box->isEnabled(), Rights::isChangeable(entry.changeable, e.role));
        }
        QCOMPARE(enabled, e.enabled);
        // OK hands back all 25, the disabled ones with their ticks.
        Tool::Struct_UesrManagement handed;
        QObject::connect(&j, &Jurisdiction::sp_SetJurisdiction_signals,
                         [&handed](Tool::Struct_UesrManagement r) { handed = r; });
        j.checkBox("ElectrometerScan")->setChecked(false);
        child<QPushButton>(&j, "pushButton_OK")->click();
        QCOMPARE(rightsSet(handed), 24);
        QVERIFY(!handed.ElectrometerScan);
        QVERIFY(handed.SQLBackups);
    }

    // Labels and groups as the dialog shows them.
    Jurisdiction j;
    QCOMPARE(j.checkBox("Custom")->text(), QStringLiteral("原始记录导出"));
    QCOMPARE(j.checkBox("OriginalRecord")->text(), QStringLiteral("校准记录导出"));
    QCOMPARE(j.checkBox("LogDownload")->text(), QStringLiteral("审计日志下载"));
    QCOMPARE(j.checkBox("Format")->parent()->objectName(), QStringLiteral("groupBox_SystemSet"));
    QCOMPARE(j.findChildren<QCheckBox *>().size(), 25);

    // The role chosen in the form applies when the rights dialog opens.
    logIn("admin");
    AdminEdit edit(Admin_, stored("boss2"));
    auto *roles = child<QComboBox>(&edit, "comboBox_Rights");
    roles->setCurrentIndex(roles->findData(Op));
    click(&edit, "pushButton_Jurisdiction");
    QVERIFY(!edit.openJurisdiction()->checkBox("SystemSet")->isEnabled());
    QVERIFY(edit.openJurisdiction()->checkBox("SystemSet")->isChecked());
    QVERIFY(edit.openJurisdiction()->checkBox("CalibrationStartUp")->isEnabled());
}

void TestUsers::twoDeletedUsersGiveOneAuditEntry()
{
    logIn("admin");
    Admin page;
    click(&page, "pushButton_Delete");
    QCOMPARE(m_boxes->texts(), QStringList({"请选中用户!"}));

    QVERIFY(page.setChecked("op1", true));
    QVERIFY(page.setChecked("op'2", true));
    m_boxes->clear();
    m_boxes->answerNext(QMessageBox::No);
    click(&page, "pushButton_Delete");
    QCOMPARE(m_boxes->last().kind, MessageRecorder::Question);
    QCOMPARE(m_boxes->last().text, QStringLiteral("是否删除用户：op1,op'2?"));
    QCOMPARE(m_boxes->last().title, QStringLiteral("提示"));
    QCOMPARE(m_boxes->last().defaultButton, QMessageBox::No);
    QCOMPARE(page.listedNames().size(), 6);

    m_boxes->answerNext(QMessageBox::Yes);
    click(&page, "pushButton_Delete");
    QCOMPARE(page.listedNames(), QStringList({"admin", "boss2", "sup", "sup2"}));
    QVERIFY(stored("op1").Name.isEmpty());
    const auto rows = audit();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().Type, QStringLiteral("用户管理-删除"));
    QCOMPARE(rows.first().Details, QStringLiteral("删除用户：op1,op'2"));
    // No box ticked: the highlighted account is the one asked about.
    child<QTableWidget>(&page, "tableWidget_List")->selectRow(page.listedNames().indexOf("sup2"));
    m_boxes->clear();
    click(&page, "pushButton_Delete");
    QCOMPARE(m_boxes->texts(), QStringList({"是否删除用户：sup2?"}));
    QCOMPARE(page.listedNames().size(), 4);
}

void TestUsers::loggedInAccountIsNeverDeleted()
{
    logIn("admin");
    Admin page;
    // Only the own account checked: refused, nothing asked, nothing deleted.
    QVERIFY(page.setChecked("admin", true));
    m_boxes->setDefaultAnswer(QMessageBox::Yes);
    click(&page, "pushButton_Delete");
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().kind, MessageRecorder::Warning);
    QCOMPARE(m_boxes->last().title, QStringLiteral("警告"));
    QCOMPARE(m_boxes->last().text, QStringLiteral("不能删除当前登录的用户：admin！"));
    QCOMPARE(stored("admin").Name, QStringLiteral("admin"));
    QVERIFY(audit().isEmpty());

    // With others checked too: the own account stays, the others are deleted after the question.
    QVERIFY(page.setChecked("admin", true));
    QVERIFY(page.setChecked("op1", true));
    m_boxes->clear();
    click(&page, "pushButton_Delete");
    QCOMPARE(m_boxes->texts(), QStringList({"不能删除当前登录的用户：admin！", "是否删除用户：op1?"}));
    QCOMPARE(page.listedNames(), QStringList({"admin", "boss2", "sup", "sup2", "op'2"}));
    QCOMPARE(stored("admin").Name, QStringLiteral("admin"));
    QVERIFY(stored("op1").Name.isEmpty());
    const auto rows = audit();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().Details, QStringLiteral("删除用户：op1"));
}

void TestUsers::editUnlocksAndKeepsWhatTheFormDoesNotShow()
{
    auto locked = account("jo", Op);
    locked.State = QStringLiteral("锁定");
    locked.ErrorsNumber = QStringLiteral("2");
    locked.RegistrationDate = QStringLiteral("2023-05-06 07:08:09");
    locked.Problem = QStringLiteral("宠物的名字？");   // not in the offered list
    locked.CalibrationStartUp = true;
    QVERIFY(Tool::addUesrManagement(locked));

    logIn("admin");
    Admin page;
    bool seen = false;
    onNextModal<AdminEdit>([](AdminEdit *d) {
        QVERIFY(child<QLineEdit>(d, "lineEdit_Name")->isReadOnly());
        QCOMPARE(child<QLineEdit>(d, "lineEdit_Name")->text(), QStringLiteral("jo"));
        QCOMPARE(child<QComboBox>(d, "comboBox_Problem")->currentText(), QStringLiteral("宠物的名字？"));
        auto *state = child<QComboBox>(d, "comboBox_State");
        QCOMPARE(state->currentData().toString(), QStringLiteral("锁定"));
        state->setCurrentIndex(state->findData(QStringLiteral("正常")));
        child<QLineEdit>(d, "lineEdit_Password")->setText("new");
        click(d, "pushButton_OK");
    }, &seen);
    const int row = page.listedNames().indexOf("jo");
    auto *table = child<QTableWidget>(&page, "tableWidget_List");
    emit table->cellDoubleClicked(row, 3);
    QVERIFY(seen);
    QCOMPARE(m_boxes->texts(), QStringList({"数据修改成功!"}));

    const auto u = stored("jo");
    QCOMPARE(u.State, QStringLiteral("正常"));
    QVERIFY(Passwords::verify(u.Password, QStringLiteral("new")));
    QCOMPARE(u.ErrorsNumber, QStringLiteral("2"));
    QCOMPARE(u.RegistrationDate, QStringLiteral("2023-05-06 07:08:09"));
    QCOMPARE(u.Problem, QStringLiteral("宠物的名字？"));
    QVERIFY(u.CalibrationStartUp);
    QCOMPARE(rightsSet(u), 1);
    QCOMPARE(table->item(row, 3)->text(), QStringLiteral("正常"));
    // The sentence first, then what changed; the password only as changed.
    QCOMPARE(audit().last().Details, QStringLiteral("修改用户：jo（用户密码：****** → ******；用户状态：锁定 → 正常）"));
    QCOMPARE(audit().last().Type, QStringLiteral("用户管理-修改"));

    // Invalid input is refused and stores nothing.
    m_boxes->clear();
    AdminEdit d(Admin_, u);
    // Password and answer are not shown; left empty they keep what is stored.
    QVERIFY(child<QLineEdit>(&d, "lineEdit_Password")->text().isEmpty());
    QVERIFY(child<QLineEdit>(&d, "lineEdit_Answer")->text().isEmpty());
    child<QLineEdit>(&d, "lineEdit_ExpirationDate")->clear();
    click(&d, "pushButton_OK");
    QCOMPARE(m_boxes->texts(), QStringList({"请输入正确的参数！"}));
    QCOMPARE(stored("jo").Answer, u.Answer);
    m_boxes->clear();
    AdminEdit same(Admin_, u);
    click(&same, "pushButton_OK");
    QCOMPARE(m_boxes->texts(), QStringList({"数据修改成功!"}));
    QCOMPARE(stored("jo").Password, u.Password);
    QVERIFY(Passwords::verify(stored("jo").Answer, QStringLiteral("lab")));
    QCOMPARE(audit().last().Details, QStringLiteral("修改用户：jo"));
}

void TestUsers::initialQuestionShownInEnglishKeptAsStored()
{
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/i18n/pcr_en.qm")));
    QCoreApplication::installTranslator(&english);
    logIn("admin");
    AdminEdit d(Admin_, stored("admin"));
    QCOMPARE(child<QComboBox>(&d, "comboBox_Problem")->currentText(), QStringLiteral("Initial user"));
    click(&d, "pushButton_OK");
    QCoreApplication::removeTranslator(&english);
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().kind, MessageRecorder::Information);
    // Still the marker that lets the login show the initial password.
    QCOMPARE(stored("admin").Problem, QStringLiteral("初始用户"));
}

void TestUsers::newPasswordOfTheInitialAccountNeedsARealQuestion()
{
    // The login hands out the initial account's password to anyone: only the delivered one.
    logIn("admin");
    const auto before = stored("admin");
    QCOMPARE(before.Problem, QStringLiteral("初始用户"));
    {
        AdminEdit d(Admin_, before);
        child<QLineEdit>(&d, "lineEdit_Password")->setText("s3cret");
        click(&d, "pushButton_OK");
        QCOMPARE(m_boxes->texts(), QStringList({"修改初始账户的密码时，请选择找回密码的问题并填写答案！"}));
        QCOMPARE(stored("admin").Password, before.Password);
    }
    m_boxes->clear();
    {
        AdminEdit d(Admin_, before);
        child<QLineEdit>(&d, "lineEdit_Password")->setText("s3cret");
        auto *problem = child<QComboBox>(&d, "comboBox_Problem");
        problem->setCurrentIndex(problem->findData(QStringLiteral("你所在的公司为？")));
        child<QLineEdit>(&d, "lineEdit_Answer")->setText("Lab A");
        click(&d, "pushButton_OK");
        QCOMPARE(m_boxes->texts(), QStringList({"数据修改成功!"}));
    }
    const auto after = stored("admin");
    QVERIFY(Passwords::verify(after.Password, QStringLiteral("s3cret")));
    QCOMPARE(after.Problem, QStringLiteral("你所在的公司为？"));

    // The login no longer shows it unasked.
    m_boxes->clear();
    Login dialog;
    child<QComboBox>(&dialog, "comboBox_UserName")->setCurrentText("admin");
    click(&dialog, "btn_Forget");   // no answer queued: the question is cancelled
    QCOMPARE(m_boxes->texts(), QStringList({"你所在的公司为？"}));
}

void TestUsers::recoveryQuestionStoredWhateverTheLanguage()
{
    const QString question = QStringLiteral("你所在的公司为？");
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/i18n/pcr_en.qm")));
    QCoreApplication::installTranslator(&english);
    logIn("admin");
    {
        AdminAdd d(Admin_);
        QCOMPARE(child<QComboBox>(&d, "comboBox_Problem")->currentText(),
                 QStringLiteral("Which company are you with?"));
        fillForm(&d, "eng", "pw", "lab");
        click(&d, "pushButton_OK");
    }
    QCOMPARE(stored("eng").Problem, question);
    // An account that kept the English text is shown with the one question and stored back as it.
    auto old = stored("eng");
    old.Problem = QStringLiteral("Which company are you with?");
    QVERIFY(Tool::modifyUesrManagement(old));
    {
        AdminEdit d(Admin_, stored("eng"));
        QCOMPARE(child<QComboBox>(&d, "comboBox_Problem")->count(), 1);
        click(&d, "pushButton_OK");
    }
    QCoreApplication::removeTranslator(&english);
    QCOMPARE(stored("eng").Problem, question);
    // In Chinese the same account shows the question in Chinese.
    AdminEdit d(Admin_, stored("eng"));
    QCOMPARE(child<QComboBox>(&d, "comboBox_Problem")->currentText(), question);
}

void TestUsers::operatorEditsOwnAccountWithoutChangingRole()
{
    logIn("op1");
    AdminEdit d(Op, stored("op1"));
    auto *roles = child<QComboBox>(&d, "comboBox_Rights");
    QVERIFY(!roles->isEnabled());
    QVERIFY(!child<QLineEdit>(&d, "lineEdit_ExpirationDate")->isEnabled());
    QCOMPARE(roles->currentData().toString(), Op);
    child<QLineEdit>(&d, "lineEdit_Remarks")->setText("mine");
    click(&d, "pushButton_OK");
    const auto u = stored("op1");
    QCOMPARE(u.Rights, Op);
    QCOMPARE(u.Remarks, QStringLiteral("mine"));
    QCOMPARE(Tool::CurrentUser.Remarks, QStringLiteral("mine"));   // own account: refreshed
}

void TestUsers::onlyAnAdministratorChangesOwnRights()
{
    // Nobody but an administrator can tick a right for the account in use: an operator would
    // otherwise grant himself the calibration and the exports, a supervisor the user rights.
    // Likewise for the account's expiry and state.
    struct Case
    {
        const char *loggedIn;
        QString role;
        const char *edited;
        bool changeable;
    } cases[] = {{"op1", Op, "op1", false},
                 {"sup", Sup, "sup", false},
                 {"sup", Sup, "op1", true},
                 {"admin", Admin_, "admin", true}};
    for (const Case &c : cases) {
        logIn(c.loggedIn);
        AdminEdit edit(c.role, stored(c.edited));
        // Nor its own validity or lock.
        QCOMPARE(child<QLineEdit>(&edit, "lineEdit_ExpirationDate")->isEnabled(), c.changeable);
        QCOMPARE(child<QComboBox>(&edit, "comboBox_State")->isEnabled(), c.changeable);
        click(&edit, "pushButton_Jurisdiction");
        Jurisdiction *j = edit.openJurisdiction();
        QVERIFY(j);
        QCOMPARE(j->checkBox("CalibrationStartUp")->isEnabled(), c.changeable);
        QCOMPARE(j->checkBox("ElectrometerScan")->isEnabled(), c.changeable);
        if (!c.changeable) {
            for (const auto &entry : Tool::Struct_UesrManagement::rights())
                QVERIFY2(!j->checkBox(entry.column)->isEnabled(), entry.column);
        }
    }
}

void TestUsers::lastUsableAdministratorStays()
{
    logIn("admin");
    auto setRole = [](AdminEdit &d, const QString &role) {
        auto *roles = child<QComboBox>(&d, "comboBox_Rights");
        roles->setCurrentIndex(roles->findData(role));
    };
    // Another administrator remains: boss2 may be demoted.
    {
        AdminEdit d(Admin_, stored("boss2"));
        setRole(d, Sup);
        click(&d, "pushButton_OK");
        QCOMPARE(m_boxes->texts(), QStringList({"数据修改成功!"}));
        QCOMPARE(stored("boss2").Rights, Sup);
    }
    // admin is now the only one: locking, demoting or expiring it is refused and stores nothing.
    const QString refused = QStringLiteral("至少要保留一个可以登录的管理员账户！");
    const auto before = stored("admin");
    {
        m_boxes->clear();
        AdminEdit d(Admin_, stored("admin"));
        auto *state = child<QComboBox>(&d, "comboBox_State");
        state->setCurrentIndex(state->findData(QStringLiteral("锁定")));
        click(&d, "pushButton_OK");
        QCOMPARE(m_boxes->texts(), QStringList({refused}));
    }
    {
        m_boxes->clear();
        AdminEdit d(Admin_, stored("admin"));
        setRole(d, Op);
        click(&d, "pushButton_OK");
        QCOMPARE(m_boxes->texts(), QStringList({refused}));
    }
    {
        m_boxes->clear();
        AdminEdit d(Admin_, stored("admin"));
        child<QLineEdit>(&d, "lineEdit_ExpirationDate")->setText("2020-01-01 00:00:00");
        click(&d, "pushButton_OK");
        QCOMPARE(m_boxes->texts(), QStringList({refused}));
    }
    const auto after = stored("admin");
    QCOMPARE(after.Rights, before.Rights);
    QCOMPARE(after.State, before.State);
    QCOMPARE(after.ExpirationDate, before.ExpirationDate);
    // Other changes to the last administrator still go through.
    {
        m_boxes->clear();
        AdminEdit d(Admin_, stored("admin"));
        child<QLineEdit>(&d, "lineEdit_Remarks")->setText("lab head");
        click(&d, "pushButton_OK");
        QCOMPARE(m_boxes->texts(), QStringList({"数据修改成功!"}));
        QCOMPARE(stored("admin").Remarks, QStringLiteral("lab head"));
    }
}

namespace {

// One attempt through the login dialog's own controls; whether it was accepted.
bool logInThroughDialog(const QString &name, const QString &password)
{
    Login dialog;
    child<QComboBox>(&dialog, "comboBox_UserName")->setCurrentText(name);
    child<QLineEdit>(&dialog, "lineEdit_UserPassword")->setText(password);
    click(&dialog, "btn_Login");
    return dialog.result() == QDialog::Accepted;
}

} // namespace

void TestUsers::expiredAccountCannotLogIn()
{
    logIn("admin");
    const QDateTime past = QDateTime::currentDateTime().addSecs(-60);
    AdminAdd d(Admin_);
    fillForm(&d, "late", "pw", "lab", past.toString("yyyy-MM-dd hh:mm:ss"));
    click(&d, "pushButton_OK");
    QCOMPARE(m_boxes->texts(), QStringList({"添加数据成功!"}));

    m_boxes->clear();
    QVERIFY(!logInThroughDialog("late", "pw"));
    QCOMPARE(m_boxes->texts(), QStringList({"用户已过期!"}));

    // The same account with an expiry ahead logs in.
    auto u = stored("late");
    u.ExpirationDate = QDateTime::currentDateTime().addDays(1).toString("yyyy-MM-dd hh:mm:ss");
    AdminEdit edit(Admin_, u);
    click(&edit, "pushButton_OK");
    QVERIFY(logInThroughDialog("late", "pw"));
    QCOMPARE(Tool::CurrentUser.Name, QStringLiteral("late"));
}

void TestUsers::newAccountLogsInTheDayItIsMade()
{
    logIn("admin");
    AdminAdd d(Admin_);
    const QDateTime before = QDateTime::currentDateTime();
    // The expiry is left as the form offers it.
    child<QLineEdit>(&d, "lineEdit_Name")->setText("new");
    child<QLineEdit>(&d, "lineEdit_Password")->setText("pw");
    child<QLineEdit>(&d, "lineEdit_Answer")->setText("lab");
    click(&d, "pushButton_OK");
    QCOMPARE(m_boxes->texts(), QStringList({"添加数据成功!"}));
    const QDateTime expiry = QDateTime::fromString(stored("new").ExpirationDate, "yyyy-MM-dd hh:mm:ss");
    QVERIFY(expiry >= before.addYears(1).addSecs(-1) && expiry <= before.addYears(1).addSecs(60));
    QVERIFY(logInThroughDialog("new", "pw"));
    QCOMPARE(Tool::CurrentUser.Name, QStringLiteral("new"));

    // One whose expiry has passed is listed as expired, in red; the stored state stays.
    auto late = stored("op1");
    late.ExpirationDate = before.addDays(-1).toString("yyyy-MM-dd hh:mm:ss");
    QVERIFY(Tool::modifyUesrManagement(late));
    logIn("admin");
    Admin page;
    auto *table = child<QTableWidget>(&page, "tableWidget_List");
    const int row = page.listedNames().indexOf("op1");
    QCOMPARE(table->item(row, 3)->text(), QStringLiteral("过期"));
    QCOMPARE(table->item(row, 3)->foreground().color(), QColor(255, 0, 0));
    QCOMPARE(stored("op1").State, QStringLiteral("正常"));
}

void TestUsers::shownState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("expiresInSeconds");
    QTest::addColumn<QString>("shown");
    QTest::newRow("normal, ahead") << "正常" << 3600 << "正常";
    QTest::newRow("locked, ahead") << "锁定" << 3600 << "锁定";
    QTest::newRow("normal, passed") << "正常" << -1 << "过期";
    QTest::newRow("locked, passed") << "锁定" << -3600 << "过期";
    QTest::newRow("this very second") << "正常" << 0 << "过期";
}

void TestUsers::shownState()
{
    QFETCH(QString, state);
    QFETCH(int, expiresInSeconds);
    const QDateTime now(QDate(2026, 3, 1), QTime(12, 0, 0));
    Tool::Struct_UesrManagement u;
    u.State = state;
    u.ExpirationDate = now.addSecs(expiresInSeconds).toString("yyyy-MM-dd hh:mm:ss");
    QTEST(Accounts::shownState(u, now), "shown");
    QCOMPARE(Accounts::defaultExpiry(now.addMSecs(250)), QDateTime(QDate(2027, 3, 1), QTime(12, 0, 0)));
}

void TestUsers::accountUnlockedHereLogsInAgain()
{
    for (int i = 0; i < 3; ++i)
        QVERIFY(!logInThroughDialog("op1", "wrong"));
    QCOMPARE(stored("op1").State, QStringLiteral("锁定"));
    m_boxes->clear();
    QVERIFY(!logInThroughDialog("op1", "pw"));
    QCOMPARE(m_boxes->texts(), QStringList({"用户已被锁定!"}));

    logIn("admin");
    AdminEdit edit(Admin_, stored("op1"));
    auto *state = child<QComboBox>(&edit, "comboBox_State");
    QCOMPARE(state->currentData().toString(), QStringLiteral("锁定"));
    state->setCurrentIndex(state->findData(QStringLiteral("正常")));
    click(&edit, "pushButton_OK");
    QVERIFY(logInThroughDialog("op1", "pw"));
}

QTEST_MAIN(TestUsers)
#include "tst_users.moc"
