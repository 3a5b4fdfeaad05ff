// The sign-in rule shared by the login and the headless tools, on a real database: the lock after
// three wrong passwords or recovery answers, each attempt audited, hashes bound to their account
// and refused outside the accepted parameters; and the one text rule of every input.

#include "../support/Workspace.h"

#include "store/accounts.h"
#include "store/passwords.h"
#include "store/schema.h"
#include "store/textchecks.h"
#include "store/tool.h"

#include <QSqlQuery>
#include <QtTest>

#include <memory>

using Accounts::Attempt;
Q_DECLARE_METATYPE(Accounts::Attempt)

namespace {

Tool::Struct_UesrManagement account(const QString &name)
{
    Tool::Struct_UesrManagement u = Schema::initialUser();
    u.Name = name;
    u.Password = QStringLiteral("pw-") + name;
    u.Problem = QStringLiteral("你的出生地是？");
    u.Answer = QStringLiteral("town-") + name;
    return u;
}

Tool::Struct_UesrManagement stored(const QString &name)
{
    QList<Tool::Struct_UesrManagement> users;
    Tool::getUesrManagement(users, name);
    return users.value(0);
}

bool setColumn(const QString &name, const QString &column, const QString &value)
{
    QSqlQuery q(QSqlDatabase::database());
    q.prepare(QStringLiteral("update UesrManagement set %1 = ? where Name = ?").arg(column));
    q.addBindValue(value);
    q.addBindValue(name);
    return q.exec();
}

} // namespace

class TestAccounts : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> m_ws;
    const QDateTime m_now = QDateTime::currentDateTime();

private slots:
    void init()
    {
        m_ws = std::make_unique<Workspace>();
        QVERIFY(m_ws->openDatabase());
        QVERIFY(Tool::addUesrManagement(account(QStringLiteral("ann"))));
        QVERIFY(Tool::addUesrManagement(account(QStringLiteral("bob"))));
    }
    void cleanup() { m_ws.reset(); }

    // Three wrong passwords in a row lock the account; the right one then is refused too. Each
    // wrong one is audited under the attempted name; a right one clears the count.
    void wrongPasswordsLock()
    {
        QCOMPARE(Accounts::signIn("ann", "nope", m_now).outcome, Attempt::Wrong);
        QCOMPARE(stored("ann").ErrorsNumber, QStringLiteral("1"));
        QCOMPARE(Accounts::signIn("ann", "pw-ann", m_now).outcome, Attempt::Accepted);
        QCOMPARE(stored("ann").ErrorsNumber, QStringLiteral("0"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(Accounts::signIn("ann", "nope", m_now).outcome, Attempt::Wrong);
        QCOMPARE(stored("ann").State, Accounts::stateLocked());
        QCOMPARE(Accounts::signIn("ann", "pw-ann", m_now).outcome, Attempt::Locked);
        QCOMPARE(Accounts::signIn("nobody", "x", m_now).outcome, Attempt::NoSuchAccount);
        QCOMPARE(Accounts::signIn("", "x", m_now).outcome, Attempt::NoSuchAccount);
        const auto audit = Workspace::audit();
        QCOMPARE(audit.size(), 4);
        for (const auto &e : audit) {
            QCOMPARE(e.Operator, QStringLiteral("ann"));
            QCOMPARE(e.Details, QStringLiteral("用户密码错误。"));
        }
    }

    // A hash copied from one account's row to another's opens neither with the first password;
    // the older, unbound form still opens its own account once and is renewed bound to it.
    void hashesBindTheirAccount()
    {
        QVERIFY(setColumn("bob", "Password", stored("ann").Password));
        QCOMPARE(Accounts::signIn("bob", "pw-ann", m_now).outcome, Attempt::Wrong);
        QCOMPARE(Accounts::signIn("bob", "pw-bob", m_now).outcome, Attempt::Wrong);
        QVERIFY(setColumn("bob", "Answer", stored("ann").Answer));
        QCOMPARE(Accounts::answerRecovery("bob", "town-ann", m_now).outcome, Attempt::Wrong);

        const QString older = Passwords::unboundHash("pw-ann", Passwords::newSalt(), Passwords::Iterations);
        QVERIFY(setColumn("ann", "Password", older));
        QCOMPARE(Accounts::signIn("ann", "pw-ann", m_now).outcome, Attempt::Accepted);
        const QString renewed = stored("ann").Password;
        QVERIFY(renewed.startsWith("pbkdf2-sha256-named$"));
        QVERIFY(Passwords::verify(renewed, "ann", "pw-ann"));
        QVERIFY(!Passwords::verify(renewed, "bob", "pw-ann"));
    }

    // A hash outside the accepted parameters (the range itself: tst_trust) is refused without
    // counting toward the lock, with an audit entry, until an administrator sets a new password.
    void hashesOutsideTheRangeNeedAReset()
    {
        // Relabelled to 10^8 iterations: such a count must not be derived at all.
        QString hash = Passwords::hash("ann", "pw-ann", Passwords::newSalt(), Passwords::MinimumIterations);
        hash.replace("$100000$", "$100000000$");
        QVERIFY(setColumn("ann", "Password", hash));
        QCOMPARE(Accounts::signIn("ann", "pw-ann", m_now).outcome, Attempt::Unusable);
        QCOMPARE(stored("ann").ErrorsNumber, QStringLiteral("0"));
        QCOMPARE(Workspace::audit().size(), 1);
        QVERIFY(Tool::updatePassword("ann", "fresh"));
        QCOMPARE(Accounts::signIn("ann", "fresh", m_now).outcome, Attempt::Accepted);
    }

    // Recovery answers count like passwords: three wrong lock the account, whose right answer
    // then resets nothing; every attempt is audited.
    void recoveryAnswersCount()
    {
        QCOMPARE(Accounts::answerRecovery("ann", "town-ann", m_now).outcome, Attempt::Accepted);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(Accounts::answerRecovery("ann", "wrong", m_now).outcome, Attempt::Wrong);
        QCOMPARE(stored("ann").State, Accounts::stateLocked());
        QCOMPARE(Accounts::answerRecovery("ann", "town-ann", m_now).outcome, Attempt::Locked);
        QCOMPARE(Workspace::auditDetails(),
                 QStringList({"找回密码：答案正确。", "找回密码：答案错误。", "找回密码：答案错误。", "找回密码：答案错误。",
                              "找回密码被拒绝：用户已锁定或已过期。"}));
        // Passwords and answers share the count.
        QVERIFY(setColumn("bob", "ErrorsNumber", "2"));
        QCOMPARE(Accounts::answerRecovery("bob", "wrong", m_now).outcome, Attempt::Wrong);
        QCOMPARE(Accounts::signIn("bob", "pw-bob", m_now).outcome, Attempt::Locked);
    }

    // One rule for every typed name and free text.
    void textRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("refusal");
        const QString control = TextChecks::refusalText();
        const auto u = [](uint c) { return QString::fromUcs4(&c, 1); };
        QTest::newRow("plain") << "PCR-2024-001" << 64 << "";
        QTest::newRow("Chinese") << "某市计量测试研究所" << 64 << "";
        QTest::newRow("emoji, a surrogate pair") << u(0x1f321) + "ok" << 64 << "";
        QTest::newRow("ESC") << "adm\x1b[2Jin" << 64 << control;
        QTest::newRow("BEL") << "admin\a" << 64 << control;
        QTest::newRow("TAB") << "ad\tmin" << 64 << control;
        QTest::newRow("line feed") << "ad\nmin" << 64 << control;
        QTest::newRow("C1 control") << "ad" + u(0x85) + "min" << 64 << control;
        QTest::newRow("right-to-left override") << "adm" + u(0x202e) + "ni" << 64 << control;
        QTest::newRow("left-to-right mark") << "admin" + u(0x200e) << 64 << control;
        QTest::newRow("isolate") << u(0x2067) + "admin" << 64 << control;
        QTest::newRow("arabic letter mark") << u(0x061c) + "admin" << 64 << control;
        QTest::newRow("unassigned") << "ad" + u(0x0378) + "min" << 64 << control;
        QTest::newRow("unassigned, astral") << "ad" + u(0x2fffd) << 64 << control;
        QTest::newRow("lone surrogate") << "ad" + QString(QChar(0xd800)) << 64 << control;
        QTest::newRow("non-character") << "ad" + u(0xffff) << 64 << control;
        QTest::newRow("64 characters") << QString(64, 'n') << 64 << "";
        QTest::newRow("65 characters") << QString(65, 'n') << 64 << TextChecks::lengthText(64);
        QTest::newRow("64 astral characters") << QString(64, 'x').replace("x", u(0x1f321)) << 64 << "";
        QTest::newRow("501 in a remark") << QString(501, 'r') << 500 << TextChecks::lengthText(500);
        QTest::newRow("a megabyte") << QString(1 << 20, 'p') << 64 << TextChecks::lengthText(64);
    }
    void textRule()
    {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(QString, refusal);
        QCOMPARE(TextChecks::refusal({{QStringLiteral("ok"), limit}, {text, limit}}), refusal);
    }
};

QTEST_GUILESS_MAIN(TestAccounts)
#include "tst_accounts.moc"
