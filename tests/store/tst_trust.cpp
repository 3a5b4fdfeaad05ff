// Accounts and audit trail a reviewer can trust: hashed secrets, older files converted on open,
// the hash chain and what breaks it (edits made with the sqlite3 tool), the verify tool's exit
// statuses, audit entries carried through a restore, and modifications' old and new values.

#include "../support/Workspace.h"

#include "store/accounts.h"
#include "store/auditcarry.h"
#include "store/auditchain.h"
#include "store/auditdiff.h"
#include "store/passwords.h"
#include "store/safeguards.h"
#include "store/schema.h"
#include "store/tool.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

// The sqlite3 command-line tool on a file, as anyone holding the file could use it.
bool sqlite3(const QString &file, const QString &statement)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {file, statement});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

int count(const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database());
    return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
}

// A database as an older version left it: the tables without the chain column, plain-text
// secrets, audit entries of its own.
void writeOldDatabase(const QString &file, int entries, const QStringList &users)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        db.setDatabaseName(file);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const Schema::Table &t : Schema::tables()) {
            QStringList defs;
            for (int i = 0; i < t.columns.size() - t.added; ++i)
                defs << t.columns[i] + QLatin1Char(' ') + t.types[i];
            QVERIFY(q.exec(QStringLiteral("create table %1 (%2)").arg(t.name, defs.join(QStringLiteral(", ")))));
        }
        for (const QString &name : users) {
            QVERIFY(q.exec(QStringLiteral("insert into UesrManagement values ('%1', 'pw-%1', '管理员', '正常', "
                                          "'2024-01-01 00:00:00', '2099-01-01 00:00:00', '0', '你所在的公司为？', "
                                          "'lab-%1', '', 1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1)")
                               .arg(name)));
        }
        for (int i = 0; i < entries; ++i)
            QVERIFY(q.exec(QStringLiteral("insert into AuditLog values ('2024-01-01 10:00:%1.000', 'old', "
                                          "'用户管理-登录', 'entry %2')")
                               .arg(i % 60, 2, 10, QLatin1Char('0'))
                               .arg(i)));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
}

void addEntries(int n, const QString &prefix)
{
    Tool::CurrentUser.Name = QStringLiteral("admin");
    for (int i = 0; i < n; ++i)
        Tool::SaveAuditLog(AuditEvent::UserLogin, prefix + QString::number(i));
}

} // namespace

class TestTrust : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_ws = std::make_unique<Workspace>();
        QVERIFY(m_ws->isValid());
    }
    void cleanup() { m_ws.reset(); }

    void storedFormAndVerification_data();
    void storedFormAndVerification();
    void freshHashesDifferAndAreSlow();
    void newDatabaseKeepsNoSecretInPlainText();
    void plainTextDatabaseConvertedOnOpenOnce();
    void chainVerifiesAndNamesTheFirstBrokenEntry_data();
    void chainVerifiesAndNamesTheFirstBrokenEntry();
    void existingEntriesChainedOnceAndAudited();
    void concurrentWritersKeepTheChain();
    void verifyToolExitStatuses();
    void restoreCarriesNewerEntries_data();
    void restoreCarriesNewerEntries();
    void backupTimeFromNameOrNewestEntry();
    void changedFieldsWithOldAndNewValues_data();
    void changedFieldsWithOldAndNewValues();

private:
    std::unique_ptr<Workspace> m_ws;
};

void TestTrust::storedFormAndVerification_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("hashed");
    QTest::addColumn<bool>("matches");
    const QByteArray salt("0123456789abcdef");
    const int least = Passwords::MinimumIterations;
    const QString good = Passwords::hash(QStringLiteral("op"), QStringLiteral("s3cret"), salt, least);
    QTest::newRow("right") << good << "s3cret" << true << true;
    QTest::newRow("wrong") << good << "s3creT" << true << false;
    QTest::newRow("blanks count") << good << " s3cret" << true << false;
    QTest::newRow("empty typed") << good << "" << true << false;
    QTest::newRow("non-ascii") << Passwords::hash(QStringLiteral("op"), QStringLiteral("密码ä"), salt, least) << "密码ä"
                               << true << true;
    // The name is part of the derivation: another account's hash copied into this row fails.
    QTest::newRow("another account's hash")
        << Passwords::hash(QStringLiteral("admin"), QStringLiteral("s3cret"), salt, least) << "s3cret" << true << false;
    QTest::newRow("name moved into the secret")
        << Passwords::hash(QStringLiteral("o"), QStringLiteral("ps3cret"), salt, least) << "s3cret" << true << false;
    // The older form, bound to no name, still verifies until the next login renews it.
    QTest::newRow("older unbound form") << Passwords::unboundHash(QStringLiteral("s3cret"), salt, least) << "s3cret"
                                        << true << true;
    // Counts outside 100,000 to 2,000,000 are refused without deriving anything.
    QTest::newRow("one iteration") << Passwords::hash(QStringLiteral("op"), QStringLiteral("s3cret"), salt, 1)
                                   << "s3cret" << true << false;
    QTest::newRow("just below the range")
        << Passwords::hash(QStringLiteral("op"), QStringLiteral("s3cret"), salt, least - 1) << "s3cret" << true << false;
    QTest::newRow("10^8 iterations") << QString(good).replace("$100000$", "$100000000$") << "s3cret" << true << false;
    QTest::newRow("just above the range") << QString(good).replace("$100000$", "$2000001$") << "s3cret" << true << false;
    QTest::newRow("a salt that is not 16 bytes")
        << Passwords::hash(QStringLiteral("op"), QStringLiteral("s3cret"), QByteArray("short"), least) << "s3cret"
        << true << false;
    // A plain value never matches, not even the same text: every value is converted on open.
    QTest::newRow("plain text") << "s3cret" << "s3cret" << false << false;
    QString other = good;
    other.replace(QStringLiteral("pbkdf2-sha256"), QStringLiteral("pbkdf2-sha1"));
    QTest::newRow("other scheme") << other << "s3cret" << false << false;
    QTest::newRow("no iterations") << QString(good).replace("$100000$", "$0$") << "s3cret" << false << false;
    QTest::newRow("bad base64") << QString(good).replace(good.section('$', 2, 2), "!!") << "s3cret" << false << false;
    QTest::newRow("short key") << good.left(good.size() - 8) << "s3cret" << false << false;
    QTest::newRow("extra part") << good + "$x" << "s3cret" << false << false;
}

void TestTrust::storedFormAndVerification()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, hashed);
    QFETCH(bool, matches);
    QCOMPARE(Passwords::isHashed(stored), hashed);
    QCOMPARE(Passwords::verify(stored, QStringLiteral("op"), typed), matches);
    const QStringList outOfRange{"one iteration", "just below the range", "10^8 iterations", "just above the range",
                                 "a salt that is not 16 bytes"};
    QCOMPARE(Passwords::check(stored, QStringLiteral("op"), typed) == Passwords::Check::Unusable,
             outOfRange.contains(QLatin1String(QTest::currentDataTag())));
}

void TestTrust::freshHashesDifferAndAreSlow()
{
    const QString a = Passwords::hash(QStringLiteral("op"), QStringLiteral("same"));
    const QString b = Passwords::hash(QStringLiteral("op"), QStringLiteral("same"));
    QVERIFY(a != b);   // salted
    QVERIFY(!a.contains(QStringLiteral("same")));
    QCOMPARE(a.section('$', 0, 0), QStringLiteral("pbkdf2-sha256-named"));
    QVERIFY(a.section('$', 1, 1).toInt() >= 100000);
    QCOMPARE(QByteArray::fromBase64(a.section('$', 2, 2).toLatin1()).size(), Passwords::SaltBytes);
    QVERIFY(Passwords::verify(a, QStringLiteral("op"), QStringLiteral("same"))
            && Passwords::verify(b, QStringLiteral("op"), QStringLiteral("same")));
    QVERIFY(!Passwords::needsRehash(a));
    // Values of the older, unbound form still verify and are known as due for rehashing.
    const QString older = Passwords::unboundHash(QStringLiteral("same"), Passwords::newSalt(), Passwords::Iterations);
    QVERIFY(Passwords::verify(older, QStringLiteral("op"), QStringLiteral("same")));
    QVERIFY(Passwords::needsRehash(older));
}

void TestTrust::newDatabaseKeepsNoSecretInPlainText()
{
    QVERIFY(m_ws->openDatabase());
    Tool::Struct_UesrManagement u = Schema::initialUser();
    u.Name = QStringLiteral("op");
    u.Password = QStringLiteral("op-pass");
    u.Answer = QStringLiteral("op-answer");
    u.Problem = QStringLiteral("你所在的公司为？");
    QVERIFY(Tool::addUesrManagement(u));
    QVERIFY(Tool::updatePassword(QStringLiteral("admin"), QStringLiteral("new-admin")));
    Tool::closeDatabase();
    // Nothing typed is anywhere in the file.
    const QByteArray file = m_ws->read(QStringLiteral("PCR.db3"));
    for (const char *secret : {"123456", "op-pass", "op-answer", "new-admin"})
        QVERIFY2(!file.contains(secret), secret);
    QVERIFY(m_ws->openDatabase());
    QList<Tool::Struct_UesrManagement> users;
    QVERIFY(Tool::getUesrManagement(users, QString()));
    QCOMPARE(users.size(), 2);
    QVERIFY(Accounts::passwordMatches(users.at(0), QStringLiteral("new-admin")));
    QVERIFY(Accounts::answerMatches(users.at(0), QStringLiteral("admin")));
    QVERIFY(Accounts::passwordMatches(users.at(1), QStringLiteral("op-pass")));
    QVERIFY(Accounts::answerMatches(users.at(1), QStringLiteral("op-answer")));
    // The initial account shows its delivered password only while it has it.
    QVERIFY(Accounts::deliveredPassword(users.at(0)).isEmpty());
    QVERIFY(Tool::updatePassword(QStringLiteral("admin"), QStringLiteral("123456")));
    QVERIFY(Tool::getUesrManagement(users, QStringLiteral("admin")));
    QCOMPARE(Accounts::deliveredPassword(users.at(0)), QStringLiteral("123456"));
    QVERIFY(Accounts::mayResetByRecovery(users.at(0)));
    // A new database starts with an empty, chained trail: nothing to convert, nothing audited.
    QVERIFY(Workspace::audit().isEmpty());
}

void TestTrust::plainTextDatabaseConvertedOnOpenOnce()
{
    writeOldDatabase(m_ws->path(QStringLiteral("PCR.db3")), 3, {QStringLiteral("ann"), QStringLiteral("bob")});
    QVERIFY(m_ws->openDatabase());
    QCOMPARE(count(QStringLiteral("select count(*) from UesrManagement where Password like 'pw-%' or Answer like 'lab-%'")), 0);
    QList<Tool::Struct_UesrManagement> users;
    QVERIFY(Tool::getUesrManagement(users, QString()));
    QCOMPARE(users.size(), 2);
    for (const auto &u : users) {
        QVERIFY(Accounts::passwordMatches(u, QStringLiteral("pw-") + u.Name));
        QVERIFY(Accounts::answerMatches(u, QStringLiteral("lab-") + u.Name));
        QVERIFY(!Accounts::passwordMatches(u, QStringLiteral("pw-x")));
    }
    // Audited once, after the three old entries and the chain's own entry.
    auto audit = Workspace::audit();
    QCOMPARE(audit.size(), 5);
    QCOMPARE(audit.at(3).Type, QStringLiteral("审计日志-建链"));
    QCOMPARE(audit.at(3).Details, QStringLiteral("为已有的 3 条审计记录建立哈希链。"));
    QCOMPARE(audit.at(4).Type, QStringLiteral("用户管理-密码加密"));
    QCOMPARE(audit.at(4).Operator, Safeguards::systemOperator());
    QVERIFY(audit.at(4).Details.startsWith(QStringLiteral("2 个账户")));
    Tool::closeDatabase();
    QVERIFY(m_ws->openDatabase());
    QCOMPARE(Workspace::audit().size(), 5);
    QVERIFY(AuditChain::verify(QSqlDatabase::database()).intact);
}

void TestTrust::chainVerifiesAndNamesTheFirstBrokenEntry_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("brokenAt");
    QTest::addColumn<QString>("brokenDetails");
    QTest::newRow("untouched") << QString() << 0 << QString();
    QTest::newRow("details edited") << "update AuditLog set Details = 'nothing happened' where Details = 'e3'" << 4
                                    << "nothing happened";
    QTest::newRow("operator edited") << "update AuditLog set Operator = 'bob' where Details = 'e0'" << 1 << "e0";
    QTest::newRow("time edited") << "update AuditLog set Time = '2020-01-01 00:00:00.000' where Details = 'e5'" << 6
                                 << "e5";
    QTest::newRow("middle deleted") << "delete from AuditLog where Details = 'e2'" << 3 << "e3";
    QTest::newRow("first deleted") << "delete from AuditLog where Details = 'e0'" << 1 << "e1";
    QTest::newRow("forged insert") << "insert into AuditLog values ('2030-01-01 00:00:00.000', 'x', 'y', 'forged', NULL)"
                                   << 8 << "forged";
    QTest::newRow("hash rewritten") << "update AuditLog set Hash = upper(Hash) where Details = 'e6'" << 7 << "e6";
}

void TestTrust::chainVerifiesAndNamesTheFirstBrokenEntry()
{
    QFETCH(QString, statement);
    QFETCH(int, brokenAt);
    QFETCH(QString, brokenDetails);
    QVERIFY(m_ws->openDatabase());
    addEntries(7, QStringLiteral("e"));
    const QString head = AuditChain::lastHash(QSqlDatabase::database());
    QCOMPARE(head.size(), 64);
    Tool::closeDatabase();
    const QString file = m_ws->path(QStringLiteral("PCR.db3"));
    if (!statement.isEmpty())
        QVERIFY(sqlite3(file, statement));
    const AuditChain::Verdict v = AuditChain::verifyFile(file);
    QVERIFY(v.readable);
    QCOMPARE(v.intact, brokenAt == 0);
    QCOMPARE(int(v.brokenAt), brokenAt);
    QCOMPARE(v.brokenEntry.Details, brokenDetails);
    if (brokenAt == 0) {
        QCOMPARE(v.lastHash, head);
        QVERIFY(AuditChain::describe(v).contains(head));
    } else {
        QVERIFY(AuditChain::describe(v).contains(brokenDetails));
    }
}

void TestTrust::existingEntriesChainedOnceAndAudited()
{
    writeOldDatabase(m_ws->path(QStringLiteral("PCR.db3")), 50, {});
    QVERIFY(!AuditChain::verifyFile(m_ws->path(QStringLiteral("PCR.db3"))).readable);   // nothing to verify yet
    QVERIFY(m_ws->openDatabase());
    QVERIFY(AuditChain::hasColumn(QSqlDatabase::database()));
    AuditChain::Verdict v = AuditChain::verify(QSqlDatabase::database());
    QVERIFY(v.intact);
    QCOMPARE(v.entries, 51);
    QCOMPARE(Workspace::audit().last().Details, QStringLiteral("为已有的 50 条审计记录建立哈希链。"));
    addEntries(2, QStringLiteral("new "));
    Tool::closeDatabase();
    QVERIFY(m_ws->openDatabase());
    v = AuditChain::verify(QSqlDatabase::database());
    QVERIFY(v.intact);
    QCOMPARE(v.entries, 53);   // chained once: reopening adds nothing
}

void TestTrust::concurrentWritersKeepTheChain()
{
    QVERIFY(m_ws->openDatabase());
    const QString file = m_ws->path(QStringLiteral("PCR.db3"));
    constexpr int PerWriter = 150;
    std::vector<std::unique_ptr<QThread>> writers;
    QAtomicInt failures;
    for (int w = 0; w < 2; ++w) {
        writers.emplace_back(QThread::create([file, w, &failures] {
            const QString name = QStringLiteral("writer-%1").arg(w);
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                db.setDatabaseName(file);
                if (!db.open()) {
                    failures.ref();
                } else {
                    for (int i = 0; i < PerWriter; ++i) {
                        const Tool::Struct_AuditLog e{QStringLiteral("2024-01-01 00:00:00.000"), name,
                                                      QStringLiteral("t"), QString::number(i)};
                        QString why;
                        if (!AuditChain::append(db, e, &why)) {
                            qWarning() << "append failed:" << why;
                            failures.ref();
                        }
                    }
                }
                db.close();
            }
            QSqlDatabase::removeDatabase(name);
        }));
    }
    for (auto &t : writers)
        t->start();
    addEntries(PerWriter, QStringLiteral("main "));   // and the default connection at the same time
    for (auto &t : writers)
        QVERIFY(t->wait(120000));
    QCOMPARE(failures.loadRelaxed(), 0);
    const AuditChain::Verdict v = AuditChain::verify(QSqlDatabase::database());
    QVERIFY(v.intact);
    QCOMPARE(v.entries, 3 * PerWriter);
}

void TestTrust::verifyToolExitStatuses()
{
    const auto run = [this](const QStringList &args, QString *output = nullptr) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral(PCRCAL_EXPORT_PATH), QStringList{QStringLiteral("--workspace"), m_ws->path(QStringLiteral("."))} + args);
        if (!p.waitForFinished(60000))
            return -1;
        if (output)
            *output = QString::fromUtf8(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    QVERIFY(m_ws->openDatabase());
    addEntries(4, QStringLiteral("v"));
    Tool::closeDatabase();
    const QString file = m_ws->path(QStringLiteral("PCR.db3"));
    const QByteArray before = m_ws->read(QStringLiteral("PCR.db3"));
    QString output;
    QCOMPARE(run({QStringLiteral("--verify-audit")}, &output), 0);
    QVERIFY2(output.contains(QStringLiteral("4")), qPrintable(output));
    QCOMPARE(m_ws->read(QStringLiteral("PCR.db3")), before);   // verifying changes nothing
    QCOMPARE(run({QStringLiteral("--verify-audit"), QStringLiteral("--list")}), 2);
    QCOMPARE(run({QStringLiteral("--verify-audit"), QStringLiteral("--project"), QStringLiteral("p")}), 2);
    QVERIFY(sqlite3(file, QStringLiteral("update AuditLog set Details = 'v9' where Details = 'v2'")));
    QCOMPARE(run({QStringLiteral("--verify-audit")}, &output), 6);
    QVERIFY2(output.contains(QStringLiteral("v9")) && output.contains(QStringLiteral("3")), qPrintable(output));
    // An older, unchained trail cannot be shown intact.
    QFile::remove(file);
    writeOldDatabase(file, 2, {});
    QCOMPARE(run({QStringLiteral("--verify-audit")}), 6);
}

void TestTrust::restoreCarriesNewerEntries_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("carried");
    QTest::addColumn<QStringList>("tail");
    QTest::newRow("backup of this workspace") << "same" << 3 << QStringList{"after0", "after1", "after2"};
    QTest::newRow("nothing newer") << "none" << 0 << QStringList{"before1"};
    QTest::newRow("backup of another workspace") << "other" << 5 << QStringList{"before0", "before1", "after0", "after1", "after2"};
    QTest::newRow("older unchained backup") << "old" << 5 << QStringList{"before0", "before1", "after0", "after1", "after2"};
}

void TestTrust::restoreCarriesNewerEntries()
{
    QFETCH(QString, kind);
    QFETCH(int, carried);
    QFETCH(QStringList, tail);
    const QString backup = m_ws->path(QStringLiteral("backup.db3"));
    if (kind == QLatin1String("old")) {
        writeOldDatabase(backup, 1, {QStringLiteral("ann")});
    } else if (kind == QLatin1String("other")) {
        QVERIFY(Tool::openDatabase(backup));
        addEntries(1, QStringLiteral("elsewhere"));
        Tool::closeDatabase();
    }
    QVERIFY(m_ws->openDatabase());
    addEntries(2, QStringLiteral("before"));
    if (kind == QLatin1String("same") || kind == QLatin1String("none"))
        QVERIFY(Tool::backupDatabase(backup));
    if (kind != QLatin1String("none")) {
        QTest::qWait(2);   // later than anything the backup holds
        addEntries(3, QStringLiteral("after"));
    }
    Tool::closeDatabase();

    int n = -1;
    QString error;
    QVERIFY2(AuditCarry::carry(m_ws->path(QStringLiteral("PCR.db3")), backup, QStringLiteral("admin"), &n, &error),
             qPrintable(error));
    QCOMPARE(n, carried);
    QVERIFY(Tool::openDatabase(backup));
    const AuditChain::Verdict v = AuditChain::verify(QSqlDatabase::database());
    QVERIFY(v.intact);
    const QStringList details = Workspace::auditDetails();
    // An older backup is chained and converted first, as opening it would have done.
    QCOMPARE(details.contains(QStringLiteral("为已有的 1 条审计记录建立哈希链。")), kind == QLatin1String("old"));
    QCOMPARE(details.mid(details.size() - tail.size()), tail);
    // Carrying again finds nothing more.
    Tool::closeDatabase();
    QVERIFY(AuditCarry::carry(m_ws->path(QStringLiteral("PCR.db3")), backup, QStringLiteral("admin"), &n, &error));
    QCOMPARE(n, 0);
}

void TestTrust::backupTimeFromNameOrNewestEntry()
{
    const QString named = m_ws->path(QStringLiteral("2024_05_06_07_08_PCR.db3"));
    QVERIFY(Tool::openDatabase(named));
    Tool::closeDatabase();
    QCOMPARE(AuditCarry::backupTime(named), QDateTime(QDate(2024, 5, 6), QTime(7, 8)));
    const QString other = m_ws->path(QStringLiteral("copy.db3"));
    writeOldDatabase(other, 3, {});
    QCOMPARE(AuditCarry::backupTime(other), QDateTime(QDate(2024, 1, 1), QTime(10, 0, 2)));
    QVERIFY(!AuditCarry::timeInName(other).isValid());
    QVERIFY(!AuditCarry::timeInName(QStringLiteral("2024_13_06_07_08_PCR.db3")).isValid());
}

void TestTrust::changedFieldsWithOldAndNewValues_data()
{
    QTest::addColumn<QString>("nameBefore");
    QTest::addColumn<QString>("nameAfter");
    QTest::addColumn<QString>("remarksBefore");
    QTest::addColumn<QString>("remarksAfter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nothing") << "A" << "A" << "r" << "r" << "";
    QTest::newRow("one") << "A" << "B" << "r" << "r" << "名称：A → B";
    QTest::newRow("two in order") << "A" << "B" << "r" << "s" << "名称：A → B；备注：r → s";
    QTest::newRow("emptied") << "A" << "A" << "r" << "" << "备注：r → （空）";
    QTest::newRow("filled") << "A" << "A" << "" << "s" << "备注：（空） → s";
}

void TestTrust::changedFieldsWithOldAndNewValues()
{
    QFETCH(QString, nameBefore);
    QFETCH(QString, nameAfter);
    QFETCH(QString, remarksBefore);
    QFETCH(QString, remarksAfter);
    QFETCH(QString, expected);
    using D = Tool::Struct_PCRDevice;
    D before;
    before.Number = QStringLiteral("N1");
    before.DeviceName = nameBefore;
    before.Remarks = remarksBefore;
    D after = before;
    after.DeviceName = nameAfter;
    after.Remarks = remarksAfter;
    const QString changes =
        AuditDiff::between<D>(before, after, {{QStringLiteral("名称"), &D::DeviceName}, {QStringLiteral("备注"), &D::Remarks}});
    QCOMPARE(changes, expected);
    QCOMPARE(AuditDiff::sentence(QStringLiteral("PCR设备修改：") + nameAfter, changes),
             expected.isEmpty() ? QStringLiteral("PCR设备修改：") + nameAfter
                                : QStringLiteral("PCR设备修改：%1（%2）").arg(nameAfter, expected));
    // A secret shows only that it changed.
    QCOMPARE(AuditDiff::describe({{QStringLiteral("密码"), QStringLiteral("old"), QStringLiteral("new"), true},
                                  {QStringLiteral("答案"), QStringLiteral("same"), QStringLiteral("same"), true}}),
             QStringLiteral("密码：****** → ******"));
}

QTEST_GUILESS_MAIN(TestTrust)
#include "tst_trust.moc"
