// The login dialog against a real database: the lock, expiry, trimming and recovery.

#include "../support/TestSuite.h"
#include "../support/Workspace.h"

#include "app/login.h"
#include "store/passwords.h"
#include "app/messages.h"
#include "store/tool.h"

#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTranslator>
#include <QtTest>

namespace {

const QString WrongPassword = QStringLiteral("密码错误,连续3次密码错误用户将会锁定!");

// One login attempt through the dialog's own controls; returns whether it was accepted.
bool attempt(const QString &name, const QString &password)
{
    Login dialog;
    dialog.findChild<QComboBox *>("comboBox_UserName")->setCurrentText(name);
    dialog.findChild<QLineEdit *>("lineEdit_UserPassword")->setText(password);
    dialog.findChild<QPushButton *>("btn_Login")->click();
    return dialog.result() == QDialog::Accepted;
}

Tool::Struct_UesrManagement user(const QString &name)
{
    QList<Tool::Struct_UesrManagement> users;
    Tool::getUesrManagement(users, name);
    return users.value(0);
}

void addUser(const QString &name, const QString &password, const QString &state = "正常",
             const QString &errors = "0",
             const QString &expiry = QStringLiteral("2099-01-01 00:00:00"))
{
    Tool::Struct_UesrManagement u;
    u.Name = name;
    u.Password = password;
    u.Rights = "操作员";
    u.State = state;
    u.ExpirationDate = expiry;
    u.ErrorsNumber = errors;
    u.Problem = "你所在的公司为？";
    u.Answer = " Lab A ";
    QVERIFY(Tool::addUesrManagement(u));
}

} // namespace

class TestLogin : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_ws.reset(new Workspace);
        QVERIFY(Tool::openDatabase());
    }
    void cleanup() { m_ws.reset(); }

    void namesNoAccount()
    {
        addUser("op1", "x");
        Login dialog;
        auto *names = dialog.findChild<QComboBox *>("comboBox_UserName");
        // Whoever sits at the machine is not told which accounts exist: the name is typed.
        QCOMPARE(names->count(), 0);
        QVERIFY(names->isEditable());
        QCOMPARE(dialog.findChild<QLineEdit *>("lineEdit_UserPassword")->echoMode(), QLineEdit::Password);
    }

    void initialAccountLogsInAndIsAudited()
    {
        MessageRecorder rec;
        QVERIFY(attempt("admin", "123456"));
        QVERIFY(rec.isEmpty());
        QCOMPARE(Tool::CurrentUser.Name, QStringLiteral("admin"));
        QVERIFY(Tool::hasRight(Right::SQLBackups));
        const auto audit = Workspace::audit();
        QCOMPARE(audit.size(), 1);
        QCOMPARE(audit.first().Type, QStringLiteral("用户管理-登录"));
        QCOMPARE(audit.first().Details, QStringLiteral("用户登录。"));
        QCOMPARE(audit.first().Operator, QStringLiteral("admin"));
    }

    void missingInputAndUnknownName()
    {
        MessageRecorder rec;
        QVERIFY(!attempt("  ", "123456"));
        QVERIFY(!attempt("admin", "   "));
        QVERIFY(!attempt("nobody", "123456"));
        QVERIFY(!attempt("admin' OR '1'='1", "123456"));
        QCOMPARE(rec.texts(), QStringList({"请输入用户名!", "请输入密码!", "用户名错误!", "用户名错误!"}));
        for (const auto &box : rec.boxes())
            QCOMPARE(box.title, QStringLiteral("警告"));
        QVERIFY(Workspace::audit().isEmpty());
    }

    void thirdConsecutiveWrongPasswordLocks()
    {
        MessageRecorder rec;
        QVERIFY(!attempt("admin", "bad"));
        QCOMPARE(user("admin").ErrorsNumber, QStringLiteral("1"));
        QVERIFY(!attempt("admin", "bad"));
        QCOMPARE(user("admin").ErrorsNumber, QStringLiteral("2"));
        QCOMPARE(user("admin").State, QStringLiteral("正常"));
        QVERIFY(!attempt("admin", "bad"));
        QCOMPARE(user("admin").ErrorsNumber, QStringLiteral("0"));
        QCOMPARE(user("admin").State, QStringLiteral("锁定"));
        QCOMPARE(rec.texts(), QStringList({WrongPassword, WrongPassword, WrongPassword}));

        // Locked: even the right password is refused and nothing changes.
        QVERIFY(!attempt("admin", "123456"));
        QVERIFY(!attempt("admin", "bad"));
        QCOMPARE(rec.texts().mid(3), QStringList({"用户已被锁定!", "用户已被锁定!"}));
        QCOMPARE(user("admin").State, QStringLiteral("锁定"));
        QCOMPARE(user("admin").ErrorsNumber, QStringLiteral("0"));

        // Each wrong password was audited under the attempted name; the refusals were not.
        const auto audit = Workspace::audit();
        QCOMPARE(audit.size(), 3);
        for (const auto &row : audit) {
            QCOMPARE(row.Details, QStringLiteral("用户密码错误。"));
            QCOMPARE(row.Type, QStringLiteral("用户管理-登录"));
            QCOMPARE(row.Operator, QStringLiteral("admin"));
        }
    }

    void onlyConsecutiveFailuresCount()
    {
        MessageRecorder rec;
        QVERIFY(!attempt("admin", "bad"));
        QVERIFY(attempt("admin", "123456"));
        QCOMPARE(user("admin").ErrorsNumber, QStringLiteral("0"));
        QVERIFY(!attempt("admin", "bad"));
        QCOMPARE(user("admin").ErrorsNumber, QStringLiteral("1"));
        QCOMPARE(user("admin").State, QStringLiteral("正常"));
    }

    void oddErrorCounts()
    {
        addUser("five", "pw", "正常", "5");
        addUser("text", "pw", "正常", "abc");
        MessageRecorder rec;
        for (int i = 0; i < 4; ++i)
            QVERIFY(!attempt("five", "bad"));
        QCOMPARE(user("five").ErrorsNumber, QStringLiteral("5"));   // never locked
        QCOMPARE(user("five").State, QStringLiteral("正常"));
        QVERIFY(!attempt("text", "bad"));
        QCOMPARE(user("text").ErrorsNumber, QStringLiteral("1"));   // no number counts as 0
        QCOMPARE(rec.count(), 5);
        QCOMPARE(Workspace::audit().size(), 5);
    }

    void expiry()
    {
        addUser("old", "pw", "锁定", "0", "2020-01-01 00:00:00");
        addUser("garbled", "pw", "正常", "0", "next year");
        const QString now = QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss");
        addUser("now", "pw", "正常", "0", now);
        MessageRecorder rec;
        QVERIFY(!attempt("old", "pw"));       // expired and locked: reported as expired
        QVERIFY(!attempt("garbled", "pw"));   // unparsable counts as expired
        QVERIFY(!attempt("now", "pw"));       // this very second is already expired
        QVERIFY(!attempt("now", "bad"));      // and wrong passwords change nothing
        QCOMPARE(rec.texts(), QStringList({"用户已过期!", "用户已过期!", "用户已过期!", "用户已过期!"}));
        QCOMPARE(user("now").ErrorsNumber, QStringLiteral("0"));
        QVERIFY(Workspace::audit().isEmpty());
    }

    void trimming()
    {
        addUser("blank", " pw ");
        MessageRecorder rec;
        QVERIFY(attempt("  admin  ", " 123456\t"));
        QVERIFY(!attempt("blank", " pw "));   // a stored password with blanks can never match
        QVERIFY(!attempt("blank", "pw"));
        QCOMPARE(user("blank").ErrorsNumber, QStringLiteral("2"));
        QVERIFY(!attempt("admin", "123456 x"));
        addUser("case", "Secret");
        QVERIFY(!attempt("case", "secret"));   // exact, case-sensitive
        QVERIFY(attempt("case", "Secret"));
    }

    void currentUserIsWhoLoggedIn()
    {
        addUser("op1", "secret");
        MessageRecorder rec;
        QVERIFY(!attempt("admin", "wrong"));
        QCOMPARE(Tool::CurrentUser.Name, QStringLiteral("admin"));
        QVERIFY(attempt("op1", "secret"));
        QCOMPARE(Tool::CurrentUser.Name, QStringLiteral("op1"));
        QVERIFY(!Tool::hasRight(Right::SQLBackups));
        QCOMPARE(user("admin").ErrorsNumber, QStringLiteral("1"));
    }

    void recoveryOfTheInitialAccount()
    {
        MessageRecorder rec;
        rec.inputNext("admin");
        Login dialog;
        dialog.findChild<QComboBox *>("comboBox_UserName")->setCurrentText(" admin ");
        dialog.findChild<QPushButton *>("btn_Forget")->click();
        QCOMPARE(rec.count(), 3);
        QCOMPARE(rec.boxes().at(0).title, QStringLiteral("提示"));
        QCOMPARE(rec.boxes().at(0).text, QStringLiteral("密码为：123456"));
        QCOMPARE(rec.boxes().at(1).kind, MessageRecorder::TextInput);
        QCOMPARE(rec.boxes().at(1).title, QStringLiteral("忘记密码"));
        QCOMPARE(rec.boxes().at(1).text, QStringLiteral("初始用户"));
        // The right answer leads to a new password, never to the old one; cancelled here.
        QCOMPARE(rec.boxes().at(2).kind, MessageRecorder::TextInput);
        QCOMPARE(rec.boxes().at(2).text, QStringLiteral("请输入新密码："));

        rec.clear();
        rec.inputNext("wrong");
        dialog.findChild<QPushButton *>("btn_Forget")->click();
        QCOMPARE(rec.texts(), QStringList({"密码为：123456", "初始用户", "答案错误!"}));
        QCOMPARE(rec.last().title, QStringLiteral("警告"));
        // Every answer is audited; the wrong one counts toward the lock.
        QCOMPARE(Workspace::auditDetails(), QStringList({"找回密码：答案正确。", "找回密码：答案错误。"}));
        QCOMPARE(user("admin").ErrorsNumber, QStringLiteral("1"));

        // A blank name is no account: it must not answer for the first account (the initial one).
        rec.clear();
        rec.inputNext("admin");
        dialog.findChild<QComboBox *>("comboBox_UserName")->setCurrentText("  ");
        dialog.findChild<QPushButton *>("btn_Forget")->click();
        QCOMPARE(rec.texts(), QStringList({"请输入用户名!"}));
        QCOMPARE(rec.last().title, QStringLiteral("警告"));
        dialog.findChild<QComboBox *>("comboBox_UserName")->setCurrentText("admin");

        // The marker question is the system's word: in English it is asked in English.
        QTranslator english;
        QVERIFY(english.load(QStringLiteral(":/i18n/pcr_en.qm")));
        QCoreApplication::installTranslator(&english);
        rec.clear();
        rec.inputNext("admin");
        dialog.findChild<QPushButton *>("btn_Forget")->click();
        QCoreApplication::removeTranslator(&english);
        QCOMPARE(rec.boxes().at(1).text, QStringLiteral("Initial user"));
    }

    void recoveryByQuestion()
    {
        addUser("op1", "secret");
        MessageRecorder rec;
        Login dialog;
        auto *names = dialog.findChild<QComboBox *>("comboBox_UserName");
        auto *forget = dialog.findChild<QPushButton *>("btn_Forget");
        names->setCurrentText("op1");
        rec.inputNext("Lab A");   // the answer is compared untrimmed
        forget->click();
        rec.inputNext(" Lab A ");
        forget->click();
        forget->click();          // cancelled: nothing more
        names->setCurrentText("ghost");
        forget->click();
        QCOMPARE(rec.texts(), QStringList({"你所在的公司为？", "答案错误!", "你所在的公司为？",
                                           "请输入新密码：", "你所在的公司为？", "用户名错误!"}));
        QCOMPARE(user("op1").ErrorsNumber, QStringLiteral("0"));   // the right answer cleared it
        QCOMPARE(Workspace::auditDetails(), QStringList({"找回密码：答案错误。", "找回密码：答案正确。"}));

        // The system's question is asked in the interface language; the answer still counts.
        QTranslator english;
        QVERIFY(english.load(QStringLiteral(":/i18n/pcr_en.qm")));
        QCoreApplication::installTranslator(&english);
        rec.clear();
        names->setCurrentText("op1");
        rec.inputNext(" Lab A ");
        forget->click();
        QCoreApplication::removeTranslator(&english);
        QCOMPARE(rec.texts(), QStringList({"Which company are you with?", "Enter the new password:"}));
    }

    // After the right answer the user sets a new password (typed twice); the old one stops
    // working, the new one logs in, and the reset is audited under the account.
    void recoverySetsANewPassword_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<bool>("changed");
        QTest::newRow("set") << " n3w pass " << "n3w pass" << "密码已重设，请用新密码登录。" << true;
        QTest::newRow("mismatch") << "n3w" << "n3W" << "两次输入的密码不一致！" << false;
        QTest::newRow("blank") << "   " << "" << "请输入密码!" << false;
    }
    void recoverySetsANewPassword()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, outcome);
        QFETCH(bool, changed);
        addUser("op1", "secret");
        MessageRecorder rec;
        Login dialog;
        dialog.findChild<QComboBox *>("comboBox_UserName")->setCurrentText("op1");
        rec.inputNext(" Lab A ");
        rec.inputNext(first);
        rec.inputNext(second);
        dialog.findChild<QPushButton *>("btn_Forget")->click();
        QCOMPARE(rec.last().text, outcome);
        const auto stored = user("op1");
        QCOMPARE(Passwords::verify(stored.Password, "op1", "n3w pass"), changed);
        QCOMPARE(Passwords::verify(stored.Password, "op1", "secret"), !changed);
        QVERIFY(!stored.Password.contains("n3w"));
        // The right answer, then the reset.
        const auto audit = Workspace::audit();
        QCOMPARE(audit.size(), changed ? 2 : 1);
        if (changed) {
            QCOMPARE(audit.last().Type, QStringLiteral("用户管理-重设密码"));
            QCOMPARE(audit.last().Operator, QStringLiteral("op1"));
            QVERIFY(audit.last().Details.endsWith("op1"));
            QVERIFY(attempt("op1", "n3w pass"));
        }
    }

    // A hash of the older form, bound to no account, is renewed at the next login, same password.
    void olderHashRenewedAtLogin()
    {
        addUser("op1", "secret");
        const QString older = Passwords::unboundHash("secret", Passwords::newSalt(), Passwords::Iterations);
        QSqlQuery q(QSqlDatabase::database());
        q.prepare("UPDATE UesrManagement SET Password = ? WHERE Name = 'op1'");
        q.addBindValue(older);
        QVERIFY(q.exec());
        MessageRecorder rec;
        QVERIFY(attempt("op1", "secret"));
        const QString renewed = user("op1").Password;
        QVERIFY(renewed != older);
        QVERIFY(!Passwords::needsRehash(renewed));
        QVERIFY(Passwords::verify(renewed, "op1", "secret"));
    }

    // The initial account shows its delivered password only while it has it; once changed, its
    // public answer resets nothing.
    void initialAccountOnceChanged()
    {
        MessageRecorder rec;
        Login dialog;
        dialog.findChild<QComboBox *>("comboBox_UserName")->setCurrentText("admin");
        for (const char *input : {"admin", "changed-1", "changed-1"})
            rec.inputNext(input);
        dialog.findChild<QPushButton *>("btn_Forget")->click();
        QCOMPARE(rec.texts(), QStringList({"密码为：123456", "初始用户", "请输入新密码：", "请再次输入新密码：",
                                           "密码已重设，请用新密码登录。"}));
        rec.clear();
        for (const char *input : {"admin", "again", "again"})
            rec.inputNext(input);
        dialog.findChild<QPushButton *>("btn_Forget")->click();
        QCOMPARE(rec.texts(), QStringList({"初始用户", "初始账户的密码已修改，请由管理员在用户管理中重设！"}));
        QVERIFY(Passwords::verify(user("admin").Password, "admin", "changed-1"));
    }

    // A locked account is not reset by its answer, and not even asked for it (the count of wrong
    // answers: tst_accounts). A hash outside the accepted parameters says so.
    void recoveryStopsAtTheLock()
    {
        addUser("op1", "secret", "锁定");
        MessageRecorder rec;
        Login dialog;
        dialog.findChild<QComboBox *>("comboBox_UserName")->setCurrentText("op1");
        for (const char *input : {" Lab A ", "new", "new"})
            rec.inputNext(input);
        dialog.findChild<QPushButton *>("btn_Forget")->click();
        QCOMPARE(rec.texts(), QStringList({"用户已被锁定!"}));
        QVERIFY(Passwords::verify(user("op1").Password, "op1", "secret"));

        QSqlQuery q(QSqlDatabase::database());
        QVERIFY(q.exec("UPDATE UesrManagement SET Password = replace(Password, '$100000$', '$1$') WHERE Name = 'admin'"));
        rec.clear();
        QVERIFY(!attempt("admin", "123456"));
        QCOMPARE(rec.texts(), QStringList({Login::unusableHashText()}));
        QCOMPARE(user("admin").ErrorsNumber, QStringLiteral("0"));
    }

    void cancelAndCloseRefuse()
    {
        Login dialog;
        dialog.show();
        dialog.findChild<QPushButton *>("btn_Cancle")->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        Login other;
        other.show();
        other.close();
        QCOMPARE(other.result(), int(QDialog::Rejected));
        QVERIFY(!other.isVisible());
    }

private:
    QScopedPointer<Workspace> m_ws;
};

PCR_TEST_CLASS(TestLogin)
#include "tst_login.moc"
