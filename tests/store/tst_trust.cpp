// Accounts and audit trail a reviewer can trust: hashed secrets, older files converted on open,
// the hash chain and what breaks it (edits made with the sqlite3 tool), the verify tool's exit
// statuses, audit entries carried through a restore, and modifications' old and new values.
// The forgeries are made as someone holding the file would make them: rewriting the trail and
// recomputing every hash with the program's own formula (Attacker).

#include "../support/DamagedPage.h"
#include "../support/Workspace.h"

#include "store/Backup.h"
#include "store/DatabaseCopy.h"
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

// Rewrites a trail the way someone holding the file and the program would: any statement, then
// every hash recomputed with the program's formula, so that each entry matches its link again.
bool attack(const QString &file, const QString &statement, bool rechain)
{
    if (!statement.isEmpty() && !sqlite3(file, statement))
        return false;
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("attacker"));
        db.setDatabaseName(file);
        QSqlQuery q(db);
        QList<QPair<qint64, Tool::Struct_AuditLog>> rows;
        ok = !rechain || (db.open() && q.exec("select rowid, Time, Operator, Type, Details from AuditLog order by rowid"));
        while (rechain && ok && q.next())
            rows.append({q.value(0).toLongLong(), {q.value(1).toString(), q.value(2).toString(), q.value(3).toString(), q.value(4).toString()}});
        QString previous;
        for (const auto &row : rows) {
            previous = AuditChain::entryHash(previous, row.second);
            ok = ok && q.prepare("update AuditLog set Hash = ? where rowid = ?");
            q.addBindValue(previous);
            q.addBindValue(row.first);
            ok = ok && q.exec();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("attacker"));
    return ok;
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
    void forgeriesFailAgainstTheAnchors_data();
    void forgeriesFailAgainstTheAnchors();
    void readErrorIsDamagedNeverIntact();
    void chainColumnDroppedIsNeverChainedAgain();
    void restoreCarriesNewerEntries_data();
    void restoreCarriesNewerEntries();
    void backupWithOtherColumnsRefusedAndRowsReadByName();
    void backupTimeFromNameOrNewestEntry();
    void changedFieldsWithOldAndNewValues_data();
    void changedFieldsWithOldAndNewValues();

private:
    // pcrcal-export on this workspace; its exit status, -1 when it did not finish.
    int exportTool(const QStringList &args, QString *output = nullptr) const
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        // Messages in the program's own words, whatever this machine's language.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("zh_CN.UTF-8"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(PCRCAL_EXPORT_PATH), QStringList{QStringLiteral("--workspace"), m_ws->path(QStringLiteral("."))} + args);
        if (!p.waitForFinished(60000))
            return -1;
        if (output)
            *output = QString::fromUtf8(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    std::unique_ptr<Workspace> m_ws;
};

void TestTrust::storedFormAndVerification_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("hashed");
    QTest::addColumn<bool>("matches");
    const QByteArray salt("0123456789abcdef");
    const QString good = Passwords::hash(QStringLiteral("s3cret"), salt, 1000);
    QTest::newRow("right") << good << "s3cret" << true << true;
    QTest::newRow("wrong") << good << "s3creT" << true << false;
    QTest::newRow("blanks count") << good << " s3cret" << true << false;
    QTest::newRow("empty typed") << good << "" << true << false;
    QTest::newRow("non-ascii") << Passwords::hash(QStringLiteral("密码ä"), salt, 1000) << "密码ä" << true << true;
    // A plain value never matches, not even the same text: every value is converted on open.
    QTest::newRow("plain text") << "s3cret" << "s3cret" << false << false;
    QString other = good;
    other.replace(QStringLiteral("pbkdf2-sha256"), QStringLiteral("pbkdf2-sha1"));
    QTest::newRow("other scheme") << other << "s3cret" << false << false;
    QTest::newRow("no iterations") << QString(good).replace("$1000$", "$0$") << "s3cret" << false << false;
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
    QCOMPARE(Passwords::verify(stored, typed), matches);
}

void TestTrust::freshHashesDifferAndAreSlow()
{
    const QString a = Passwords::hash(QStringLiteral("same"));
    const QString b = Passwords::hash(QStringLiteral("same"));
    QVERIFY(a != b);   // salted
    QVERIFY(!a.contains(QStringLiteral("same")));
    QCOMPARE(a.section('$', 0, 0), QStringLiteral("pbkdf2-sha256"));
    QVERIFY(a.section('$', 1, 1).toInt() >= 100000);
    QCOMPARE(QByteArray::fromBase64(a.section('$', 2, 2).toLatin1()).size(), Passwords::SaltBytes);
    QVERIFY(Passwords::verify(a, QStringLiteral("same")) && Passwords::verify(b, QStringLiteral("same")));
    QVERIFY(!Passwords::needsRehash(a));
    // A count raised later: older values still verify and are known as due for rehashing.
    const QString older = Passwords::hash(QStringLiteral("same"), Passwords::newSalt(), 5000);
    QVERIFY(Passwords::verify(older, QStringLiteral("same")));
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
    const auto run = [this](const QStringList &args, QString *output = nullptr) { return exportTool(args, output); };
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

void TestTrust::forgeriesFailAgainstTheAnchors_data()
{
    // Entries f0..f5 at positions 1..6 (a new database's trail starts empty).
    const QString ghost = QStringLiteral("'2024-01-01 00:00:00.000', 'admin', '用户管理-添加', '添加用户：ghost', ''");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("rechain");
    QTest::addColumn<bool>("anchorsRewritten");   // the attacker also replaced the anchor file
    QTest::addColumn<bool>("printedHead");        // --anchor with the head a document printed before
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says");
    QTest::newRow("untouched") << QString() << false << false << true << 0 << "";
    QTest::newRow("edited, chain recomputed")
        << "update AuditLog set Details = 'nothing happened' where Details = 'f3'" << true << false << false << 6
        << "第 4 条";
    QTest::newRow("ghost inserted in the middle, chain recomputed")
        << "create table t as select * from AuditLog order by rowid; delete from AuditLog;"
           " insert into AuditLog select * from t where Details in ('f0', 'f1');"
           " insert into AuditLog values (" + ghost + ");"
           " insert into AuditLog select * from t where Details not in ('f0', 'f1'); drop table t;"
        << true << false << false << 6 << "ghost";
    QTest::newRow("ghost appended, chain recomputed")
        << "insert into AuditLog values (" + ghost + ")" << true << false << false << 6 << "第 7 条";
    QTest::newRow("last entries deleted") << "delete from AuditLog where Details in ('f4', 'f5')" << false << false
                                          << false << 6 << "第 5 条";
    QTest::newRow("emptied") << "delete from AuditLog" << false << false << false << 6 << "只有 0 条";
    // One head only: the newest entry is the first it can name.
    QTest::newRow("edited, anchors rewritten too: a printed head still tells")
        << "update AuditLog set Details = 'nothing happened' where Details = 'f3'" << true << true << true << 6
        << "第 6 条";
    // What no check of the file can see: the trail and every copy of its heads rewritten, nothing
    // printed given. README says so.
    QTest::newRow("everything rewritten, no printed head")
        << "update AuditLog set Details = 'nothing happened' where Details = 'f3'" << true << true << false << 0 << "";
}

void TestTrust::forgeriesFailAgainstTheAnchors()
{
    QFETCH(QString, statement);
    QFETCH(bool, rechain);
    QFETCH(bool, anchorsRewritten);
    QFETCH(bool, printedHead);
    QFETCH(int, status);
    QFETCH(QString, says);
    QVERIFY(m_ws->openDatabase());
    addEntries(6, QStringLiteral("f"));
    const QString printed = AuditChain::head(QSqlDatabase::database()).text();
    Tool::closeDatabase();
    const QString file = m_ws->path(QStringLiteral("PCR.db3"));
    QVERIFY(attack(file, statement, rechain));
    if (anchorsRewritten) {
        QVERIFY(QFile::remove(file + QStringLiteral(".anchors")));
        QVERIFY(Tool::openDatabase(file));
        const AuditChain::Head forged = AuditChain::head(QSqlDatabase::database());
        Tool::closeDatabase();
        QVERIFY(AuditAnchors::append(file + QStringLiteral(".anchors"), {forged.count, forged.hash, {}, {}}));
    }
    QString output;
    const QStringList head = printedHead ? QStringList{QStringLiteral("--anchor"), printed} : QStringList();
    QCOMPARE(exportTool(QStringList{QStringLiteral("--verify-audit")} + head, &output), status);
    QVERIFY2(output.contains(says), qPrintable(output));
}

void TestTrust::readErrorIsDamagedNeverIntact()
{
    PCR_SQLITE_ONLY();
    QVERIFY(m_ws->openDatabase());
    addEntries(410, QStringLiteral("a long enough entry to fill several pages of the table, number "));
    Tool::closeDatabase();
    QVERIFY(damageLeafPage(m_ws->path(QStringLiteral("PCR.db3")), QStringLiteral("AuditLog")) > 0);
    QString output;
    QCOMPARE(exportTool({QStringLiteral("--verify-audit")}, &output), 7);
    QVERIFY2(output.contains(QStringLiteral("损坏")) && !output.contains(QStringLiteral("完整")), qPrintable(output));
}

void TestTrust::chainColumnDroppedIsNeverChainedAgain()
{
    QVERIFY(m_ws->openDatabase());
    addEntries(3, QStringLiteral("d"));
    Tool::closeDatabase();
    const QString file = m_ws->path(QStringLiteral("PCR.db3"));
    QVERIFY(sqlite3(file, QStringLiteral("alter table AuditLog drop column Hash; "
                                         "update AuditLog set Details = 'nothing' where Details = 'd1'")));
    // Opened as the program and the tools open it: no migration, nothing audited as chained.
    QVERIFY(m_ws->openDatabase());
    QVERIFY(!AuditChain::hasColumn(QSqlDatabase::database()));
    QVERIFY(!Tool::SaveAuditLog(AuditEvent::UserLogin, QStringLiteral("after")));
    Tool::closeDatabase();
    QString output;
    QCOMPARE(exportTool({QStringLiteral("--verify-audit")}, &output), 6);
    QVERIFY2(output.contains(QStringLiteral("哈希列")), qPrintable(output));
    DatabaseSettings from, to;   // nor is it chained afresh on its way to a server
    from.file = file;
    to.file = m_ws->path(QStringLiteral("copy.db3"));
    QCOMPARE(DatabaseCopy::copy(from, to, nullptr), DatabaseCopy::Status::SourceUnreadable);
    // The one migration of an older file is on record in the anchor file and the schema version.
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".anchors"));
    writeOldDatabase(file, 2, {});
    QVERIFY(m_ws->openDatabase());
    QCOMPARE(count(QStringLiteral("PRAGMA user_version")), 1);
    Tool::closeDatabase();
    QVERIFY(m_ws->read(QStringLiteral("PCR.db3.anchors")).startsWith("2 ") && m_ws->read("PCR.db3.anchors").contains(" migrate "));
}

void TestTrust::restoreCarriesNewerEntries_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("foreign");
    QTest::addColumn<int>("carried");
    QTest::addColumn<QStringList>("tail");
    QTest::newRow("backup of this workspace") << "same" << false << 3 << QStringList{"after0", "after1", "after2"};
    QTest::newRow("nothing newer") << "none" << false << 0 << QStringList{"before1"};
    // Its newest entry is later than any here: the clock says nothing, the chain says foreign.
    QTest::newRow("later backup of another workspace")
        << "other" << true << 5 << QStringList{"before0", "before1", "after0", "after1", "after2"};
    QTest::newRow("unchained backup of another workspace")
        << "old" << true << 5 << QStringList{"before0", "before1", "after0", "after1", "after2"};
    // Made before this workspace chained its trail: the computed chain is a prefix of this one.
    QTest::newRow("unchained backup of this workspace")
        << "own old" << false << 4 << QStringList{"为已有的 2 条审计记录建立哈希链。", "before0", "before1", "after0"};
    // Edited before it is restored: never chained as it stands; the part both share is kept.
    QTest::newRow("unchained backup of this workspace, edited")
        << "own old edited" << true << 5 << QStringList{"为已有的 2 条审计记录建立哈希链。", "before0", "before1", "after0"};
}

void TestTrust::restoreCarriesNewerEntries()
{
    QFETCH(QString, kind);
    QFETCH(bool, foreign);
    QFETCH(int, carried);
    QFETCH(QStringList, tail);
    PCR_SQLITE_ONLY();
    const QString live = m_ws->path(QStringLiteral("PCR.db3"));
    const QString backup = m_ws->path(QStringLiteral("backup.db3"));
    if (kind == QLatin1String("old")) {
        writeOldDatabase(backup, 1, {});
    } else if (kind == QLatin1String("other")) {
        QVERIFY(Tool::openDatabase(backup));
        addEntries(1, QStringLiteral("elsewhere"));
        Tool::closeDatabase();
    } else if (kind.startsWith(QLatin1String("own old"))) {
        writeOldDatabase(live, 2, {});
        QVERIFY(QFile::copy(live, backup));
        if (kind.endsWith(QLatin1String("edited")))
            QVERIFY(sqlite3(backup, QStringLiteral("update AuditLog set Details = 'forged' where Details = 'entry 1'")));
    }
    QVERIFY(m_ws->openDatabase());
    addEntries(2, QStringLiteral("before"));
    if (kind == QLatin1String("same") || kind == QLatin1String("none"))
        QVERIFY(Tool::backupDatabase(backup));
    if (kind != QLatin1String("none"))
        addEntries(kind.startsWith(QLatin1String("own old")) ? 1 : 3, QStringLiteral("after"));
    const AuditChain::Head liveHead = AuditChain::head(QSqlDatabase::database());
    Tool::closeDatabase();
    if (kind == QLatin1String("other")) {
        QVERIFY(Tool::openDatabase(backup));
        addEntries(1, QStringLiteral("later"));
        Tool::closeDatabase();
    }
    const QByteArray untouched = m_ws->read(QStringLiteral("backup.db3"));

    AuditCarry::Result r;
    QString error;
    QCOMPARE(AuditCarry::carry(live, backup, false, &r, &error), !foreign);
    QCOMPARE(r.kinship == AuditCarry::Kinship::Foreign, foreign);
    if (foreign) {
        QCOMPARE(m_ws->read(QStringLiteral("backup.db3")), untouched);   // refused: nothing changed
        QVERIFY2(AuditCarry::carry(live, backup, true, &r, &error), qPrintable(error));
    }
    QCOMPARE(r.carried, carried);
    QVERIFY(Tool::openDatabase(backup));
    const QStringList details = Workspace::auditDetails();
    QCOMPARE(details.mid(details.size() - tail.size()), tail);
    if (!foreign) {
        // Carried by chain position: the live trail, hash for hash, so every head on record holds.
        QCOMPARE(AuditChain::head(QSqlDatabase::database()).text(), liveHead.text());
        Tool::closeDatabase();
        const auto anchors = AuditAnchors::read(live + QStringLiteral(".anchors"));
        QVERIFY(!anchors.isEmpty());
        QVERIFY(AuditChain::verifyFile(backup, anchors).intact);
    } else {
        QVERIFY(AuditChain::verify(QSqlDatabase::database()).intact);
        Tool::closeDatabase();
    }
}

void TestTrust::backupWithOtherColumnsRefusedAndRowsReadByName()
{
    PCR_SQLITE_ONLY();
    QVERIFY(m_ws->openDatabase());
    Tool::closeDatabase();
    const QString other = m_ws->path(QStringLiteral("other.db3"));
    QVERIFY(QFile::copy(m_ws->path(QStringLiteral("PCR.db3")), other));
    // One column more in the middle of the accounts: read by position, every later field shifts.
    QStringList columns = Schema::table(QStringLiteral("UesrManagement"))->columns;
    columns.insert(3, QStringLiteral("'x' as Nickname"));
    QVERIFY(sqlite3(other, QStringLiteral("create table u2 as select %1 from UesrManagement; drop table UesrManagement; "
                                          "alter table u2 rename to UesrManagement")
                               .arg(columns.join(QStringLiteral(", ")))));
    QString staging;
    QString why;
    QCOMPARE(Backup::stage(other, m_ws->path(QStringLiteral("PCR.db3")), &staging, {}, &why),
             Backup::RestoreResult::Incompatible);
    QVERIFY2(why.contains(QStringLiteral("UesrManagement")), qPrintable(why));
    // Such a table is still read into the right fields.
    QVERIFY(Tool::openDatabase(other));
    QList<Tool::Struct_UesrManagement> users;
    QVERIFY(Tool::getUesrManagement(users, QStringLiteral("admin")));
    QCOMPARE(users.size(), 1);
    QCOMPARE(users.first().ExpirationDate, QStringLiteral("2099-12-31 23:59:59"));
    QVERIFY(!users.first().hasExpired(QDateTime::currentDateTime()));
    QVERIFY(users.first().AdminAdd);
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
