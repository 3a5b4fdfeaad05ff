// The typed rights against the columns of a real database, the account-usable rule, the audit
// kinds with their stored words in both languages, and the list-entry key convention.

#include "../support/Workspace.h"

#include "store/accounts.h"
#include "store/auditevents.h"
#include "store/datawords.h"
#include "store/rights.h"
#include "store/schema.h"
#include "store/tool.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTranslator>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(Right)
Q_DECLARE_METATYPE(RightGroup)
Q_DECLARE_METATYPE(RightChangeable)
Q_DECLARE_METATYPE(Accounts::Usability)

namespace {

QString rawText(const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database());
    return q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("<failed>");
}

bool insertAudit(const QString &type, const QString &details)
{
    QSqlQuery q(QSqlDatabase::database());
    q.prepare(QStringLiteral("insert into AuditLog (Time, Operator, Type, Details) "
                             "values ('2024-01-01 10:00:00.000', 'admin', ?, ?)"));
    q.addBindValue(type);
    q.addBindValue(details);
    return q.exec();
}

QStringList detailsOf(const QList<Tool::Struct_AuditLog> &rows)
{
    QStringList details;
    for (const auto &r : rows)
        details << r.Details;
    details.sort();
    return details;
}

// The application's own English catalogue, as the main window installs it.
class English
{
public:
    English() { m_loaded = m_translator.load(QStringLiteral(":/i18n/pcr_en.qm")); }
    ~English() { QCoreApplication::removeTranslator(&m_translator); }
    bool install() { return m_loaded && QCoreApplication::installTranslator(&m_translator); }

private:
    QTranslator m_translator;
    bool m_loaded = false;
};

} // namespace

class TestRights : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rightTableFollowsTheColumns_data();
    void rightTableFollowsTheColumns();
    void changeableByRole_data();
    void changeableByRole();
    void accountUsability_data();
    void accountUsability();
    void wrongPasswordCountsToTheLock_data();
    void wrongPasswordCountsToTheLock();
    void auditCodes_data();
    void auditCodes();
    void unknownAuditCodeStoresAnEmptyType();
    void englishSessionStoresChineseTypes();
    void typesDisplayAndFilterInBothLanguages_data();
    void typesDisplayAndFilterInBothLanguages();
    void listEntryKeys_data();
    void listEntryKeys();

private:
    std::unique_ptr<Workspace> m_ws;
};

void TestRights::init()
{
    m_ws = std::make_unique<Workspace>();
    QVERIFY(m_ws->openDatabase());
}

void TestRights::cleanup()
{
    m_ws.reset();
    Tool::CurrentUser = Tool::Struct_UesrManagement();
}

void TestRights::rightTableFollowsTheColumns_data()
{
    QTest::addColumn<Right>("right");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label");
    QTest::addColumn<RightGroup>("group");
    QTest::addColumn<RightChangeable>("changeable");
    using G = RightGroup;
    const auto A = RightChangeable::AdministratorsOnly;
    const auto S = RightChangeable::AdministratorsAndSupervisors;
    const auto E = RightChangeable::EveryRole;
    const struct
    {
        Right right;
        const char *column, *name, *label;
        RightGroup group;
        RightChangeable changeable;
    } rows[] = {
        {Right::SQLBackups, "SQLBackups", "数据库备份", "数据库备份", G::SystemSet, A},
        {Right::CompanyName, "CompanyName", "公司名称", "公司名称", G::SystemSet, A},
        {Right::SystemSet, "SystemSet", "系统设置", "系统设置", G::SystemSet, S},
        {Right::PCRDeviceAdd, "PCRDeviceAdd", "PCR设备添加", "PCR设备添加", G::PCRDevice, S},
        {Right::PCRDeviceModify, "PCRDeviceModify", "PCR设备修改", "PCR设备修改", G::PCRDevice, S},
        {Right::PCRDeviceDelete, "PCRDeviceDelete", "PCR设备删除", "PCR设备删除", G::PCRDevice, A},
        {Right::ElectrometerAdd, "ElectrometerAdd", "测温仪添加", "测温仪添加", G::Electrometer, S},
        {Right::ElectrometerModify, "ElectrometerModify", "测温仪修改", "测温仪修改", G::Electrometer, S},
        {Right::ElectrometerDelete, "ElectrometerDelete", "测温仪删除", "测温仪删除", G::Electrometer, A},
        {Right::ElectrometerScan, "ElectrometerScan", "通信设置", "通信设置", G::Electrometer, E},
        {Right::StandardizerAdd, "StandardizerAdd", "探头添加", "探头添加", G::Standardizer, S},
        {Right::StandardizerDelete, "StandardizerDelete", "探头删除", "探头删除", G::Standardizer, A},
        {Right::CyclicFileAdd, "CyclicFileAdd", "循环文件添加", "循环文件添加", G::CyclicFile, S},
        {Right::CyclicFileDelete, "CyclicFileDelete", "循环文件删除", "循环文件删除", G::CyclicFile, A},
        {Right::LayoutAdd, "LayoutAdd", "布点图添加", "布点图添加", G::Layout, S},
        {Right::LayoutDelete, "LayoutDelete", "布点图删除", "布点图删除", G::Layout, A},
        {Right::CalibrationStartUp, "CalibrationStartUp", "开始校准", "开始校准", G::Calibration, E},
        {Right::DeleteData, "DeleteData", "数据删除", "数据删除", G::Calibration, A},
        {Right::CalibrationReport, "CalibrationReport", "校准报告导出", "校准报告导出", G::DataExport, E},
        {Right::OriginalRecord, "OriginalRecord", "原始记录导出", "校准记录导出", G::DataExport, E},
        {Right::Custom, "Custom", "自定义导出", "原始记录导出", G::DataExport, E},
        {Right::AdminAdd, "AdminAdd", "用户添加", "用户添加", G::Admin, S},
        {Right::AdminDelete, "AdminDelete", "用户删除", "用户删除", G::Admin, A},
        {Right::LogDownload, "LogDownload", "日志下载", "审计日志下载", G::Admin, S},
        {Right::Format, "Format", "导出格式", "导出格式", G::SystemSet, S},
    };
    QCOMPARE(int(std::size(rows)), RightCount);
    for (const auto &r : rows)
        QTest::newRow(r.column) << r.right << QString::fromLatin1(r.column) << QString::fromUtf8(r.name)
                                << QString::fromUtf8(r.label) << r.group << r.changeable;
}

void TestRights::rightTableFollowsTheColumns()
{
    QFETCH(Right, right);
    QFETCH(QString, column);
    QFETCH(QString, name);
    QFETCH(QString, label);
    QFETCH(RightGroup, group);
    QFETCH(RightChangeable, changeable);

    const auto &entry = Tool::Struct_UesrManagement::rightColumn(right);
    QCOMPARE(Rights::column(right), column);
    QCOMPARE(Rights::name(right), name);
    QCOMPARE(Rights::label(right), label);   // no translator: the source text
    QCOMPARE(entry.group, group);
    QCOMPARE(entry.changeable, changeable);
    // The table's position is the column's position after the ten text columns.
    const int index = int(right);
    QCOMPARE(Schema::table(QStringLiteral("UesrManagement"))->columns.at(10 + index), column);
    QCOMPARE(QString::fromLatin1(Tool::Struct_UesrManagement::rights().at(size_t(index)).column), column);

    // The record's flag for this right is the one stored in and read from this column.
    Tool::Struct_UesrManagement u;
    u.Name = QStringLiteral("holder");
    u.ExpirationDate = QStringLiteral("2099-01-01 00:00:00");
    u.grant(right, true);
    QVERIFY(Tool::addUesrManagement(u));
    QCOMPARE(rawText(QStringLiteral("select %1 from UesrManagement where Name = 'holder'").arg(column)),
             QStringLiteral("1"));
    QStringList sum;
    for (const auto &r : Tool::Struct_UesrManagement::rights())
        sum << QString::fromLatin1(r.column);
    QCOMPARE(rawText(QStringLiteral("select %1 from UesrManagement where Name = 'holder'").arg(sum.join('+'))),
             QStringLiteral("1"));

    QList<Tool::Struct_UesrManagement> read;
    QVERIFY(Tool::getUesrManagement(read, u.Name));
    QCOMPARE(read.size(), 1);
    Tool::CurrentUser = read.first();
    for (const auto &r : Tool::Struct_UesrManagement::rights())
        QCOMPARE(Tool::hasRight(r.right), r.right == right);
}

void TestRights::changeableByRole_data()
{
    QTest::addColumn<RightChangeable>("rule");
    QTest::addColumn<QString>("role");
    QTest::addColumn<bool>("changeable");
    const auto A = RightChangeable::AdministratorsOnly;
    const auto S = RightChangeable::AdministratorsAndSupervisors;
    const auto E = RightChangeable::EveryRole;
    QTest::newRow("admin-only, administrator") << A << QStringLiteral("管理员") << true;
    QTest::newRow("admin-only, supervisor") << A << QStringLiteral("主管") << false;
    QTest::newRow("admin-only, operator") << A << QStringLiteral("操作员") << false;
    QTest::newRow("admin+sup, administrator") << S << QStringLiteral("管理员") << true;
    QTest::newRow("admin+sup, supervisor") << S << QStringLiteral("主管") << true;
    QTest::newRow("admin+sup, operator") << S << QStringLiteral("操作员") << false;
    QTest::newRow("everyone, operator") << E << QStringLiteral("操作员") << true;
    // Roles are compared as stored: a translated word is no administrator.
    QTest::newRow("admin-only, English word") << A << QStringLiteral("Administrator") << false;
}

void TestRights::changeableByRole()
{
    QFETCH(RightChangeable, rule);
    QFETCH(QString, role);
    QFETCH(bool, changeable);
    QCOMPARE(Rights::isChangeable(rule, role), changeable);
}

void TestRights::accountUsability_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("expiry");
    QTest::addColumn<bool>("holdsRight");
    QTest::addColumn<bool>("rightRequired");
    QTest::addColumn<Accounts::Usability>("expected");
    using U = Accounts::Usability;
    const QString later = QStringLiteral("2031-01-01 00:00:00");
    QTest::newRow("ok") << "正常" << later << false << false << U::Usable;
    QTest::newRow("ok with the right") << "正常" << later << true << true << U::Usable;
    QTest::newRow("missing right") << "正常" << later << false << true << U::MissingRight;
    QTest::newRow("locked") << "锁定" << later << true << true << U::Locked;
    QTest::newRow("locked, no right needed") << "锁定" << later << false << false << U::Locked;
    QTest::newRow("locked and missing right") << "锁定" << later << false << true << U::Locked;
    QTest::newRow("expired") << "正常" << "2030-01-01 00:00:00" << true << true << U::Expired;
    QTest::newRow("expired and locked") << "锁定" << "2030-01-01 00:00:00" << true << false << U::Expired;
    QTest::newRow("expires this second") << "正常" << "2030-06-01 12:00:00" << true << false << U::Expired;
    QTest::newRow("expires next second") << "正常" << "2030-06-01 12:00:01" << true << false << U::Usable;
    QTest::newRow("unreadable expiry") << "正常" << "next year" << true << false << U::Expired;
    QTest::newRow("empty expiry") << "正常" << "" << true << false << U::Expired;
    // Only the date expires an account; the state word alone does not.
    QTest::newRow("state word 过期") << "过期" << later << false << false << U::Usable;
}

void TestRights::accountUsability()
{
    QFETCH(QString, state);
    QFETCH(QString, expiry);
    QFETCH(bool, holdsRight);
    QFETCH(bool, rightRequired);
    QFETCH(Accounts::Usability, expected);
    const QDateTime now(QDate(2030, 6, 1), QTime(12, 0, 0));
    Tool::Struct_UesrManagement u;
    u.State = state;
    u.ExpirationDate = expiry;
    u.setAllRights(true);
    u.grant(Right::CalibrationReport, holdsRight);
    const auto required = rightRequired ? std::optional<Right>(Right::CalibrationReport) : std::nullopt;
    QCOMPARE(Accounts::usability(u, now, required), expected);
}

void TestRights::wrongPasswordCountsToTheLock_data()
{
    QTest::addColumn<QString>("errors");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("nextErrors");
    QTest::addColumn<QString>("nextState");
    QTest::newRow("first") << "0" << true << "1" << "";
    QTest::newRow("second") << "1" << true << "2" << "";
    QTest::newRow("third locks and resets") << "2" << true << "0" << "锁定";
    QTest::newRow("no number counts as 0") << "abc" << true << "1" << "";
    QTest::newRow("empty counts as 0") << "" << true << "1" << "";
    QTest::newRow("other number: never locked") << "5" << false << "" << "";
    QTest::newRow("negative") << "-1" << false << "" << "";
}

void TestRights::wrongPasswordCountsToTheLock()
{
    QFETCH(QString, errors);
    QFETCH(bool, written);
    QFETCH(QString, nextErrors);
    QFETCH(QString, nextState);
    const auto next = Accounts::afterWrongPassword(errors);
    QCOMPARE(next.has_value(), written);
    if (!next)
        return;
    QCOMPARE(next->errors, nextErrors);
    QCOMPARE(next->state, nextState);
}

void TestRights::auditCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("word");
    const struct
    {
        int code;
        const char *word;
    } rows[] = {
        {1, "系统设置-手动备份"}, {2, "系统设置-自动备份"}, {3, "系统设置-手动恢复"},
        {4, "系统设置-修改路径"}, {5, "系统设置-公司名称"}, {6, "系统设置-语言切换"},
        {7, "系统设置-温度单位"}, {8, "系统设置-温度精度"}, {9, "系统设置-导出格式"},
        {11, "PCR设备管理-添加"}, {12, "PCR设备管理-修改"}, {13, "PCR设备管理-删除"},
        {14, "PCR设备管理-查看"}, {15, "PCR设备管理-性能指标"}, {16, "PCR设备管理-删除性能指标"},
        {21, "测温仪管理-添加"}, {22, "测温仪管理-修改"},
        {23, "测温仪管理-删除"}, {24, "测温仪管理-查看"}, {25, "测温仪管理-通信设置"},
        {31, "探头文件管理-添加"}, {32, "探头文件管理-删除"}, {33, "探头文件管理-查看"}, {34, "探头文件管理-校准"},
        {41, "循环文件管理-添加"}, {42, "循环文件管理-删除"}, {43, "循环文件管理-查看"}, {44, "循环文件管理-修改"},
        {51, "布点图管理-添加"}, {52, "布点图管理-删除"}, {53, "布点图管理-查看"},
        {61, "设备校准-校准"}, {62, "设备校准-数据删除"}, {71, "数据导出-校准报告"},
        {72, "数据导出-校准记录"}, {73, "数据导出-原始记录"}, {81, "用户管理-添加"},
        {82, "用户管理-修改"}, {83, "用户管理-删除"}, {84, "用户管理-登录"}, {85, "用户管理-重设密码"},
        {86, "用户管理-密码加密"}, {91, "审计日志-下载"}, {92, "审计日志-校验"}, {93, "审计日志-建链"},
    };
    QCOMPARE(int(std::size(rows)), int(AuditEvents::entries().size()));
    for (const auto &r : rows)
        QTest::newRow(r.word) << r.code << QString::fromUtf8(r.word);
}

void TestRights::auditCodes()
{
    QFETCH(int, code);
    QFETCH(QString, word);
    QCOMPARE(AuditEvents::storedWord(code), word);
    QCOMPARE(Tool::auditTypeName(code), word);   // no translator: the source text
    // The typed and the numeric form store the same row.
    Tool::CurrentUser.Name = QStringLiteral("admin");
    Tool::SaveAuditLog(code, QStringLiteral("by code。"));
    Tool::SaveAuditLog(static_cast<AuditEvent>(code), QStringLiteral("by kind。"));
    QList<Tool::Struct_AuditLog> rows;
    QVERIFY(Tool::getAuditLog(rows, QString(), QString(), QString(), QString()));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).Type, word);
    QCOMPARE(rows.at(1).Type, word);
}

void TestRights::unknownAuditCodeStoresAnEmptyType()
{
    for (int code : {0, 10, 19, 94, -1}) {
        QVERIFY(AuditEvents::storedWord(code).isEmpty());
        Tool::SaveAuditLog(code, QStringLiteral("odd。"));
    }
    QList<Tool::Struct_AuditLog> rows;
    QVERIFY(Tool::getAuditLog(rows, QString(), QString(), QString(), QString()));
    QCOMPARE(rows.size(), 5);
    for (const auto &r : rows)
        QVERIFY(r.Type.isEmpty());
}

void TestRights::englishSessionStoresChineseTypes()
{
    English english;
    QVERIFY(english.install());
    Tool::CurrentUser.Name = QStringLiteral("admin");
    Tool::SaveAuditLog(AuditEvent::UserLogin, QStringLiteral("User logged in."));
    Tool::SaveAuditLog(AuditEvent::Language, QStringLiteral("Language changed."));
    QList<Tool::Struct_AuditLog> rows;
    QVERIFY(Tool::getAuditLog(rows, QString(), QString(), QString(), QString()));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).Type, QStringLiteral("用户管理-登录"));
    QCOMPARE(rows.at(1).Type, QStringLiteral("系统设置-语言切换"));
    // The sentence is stored as the caller wrote it.
    QCOMPARE(rows.at(0).Details, QStringLiteral("User logged in."));
    QCOMPARE(AuditEvents::displayText(rows.at(0).Type), QStringLiteral("Users - login"));
    QCOMPARE(Tool::auditTypeName(6), QStringLiteral("Settings - language"));
}

void TestRights::typesDisplayAndFilterInBothLanguages_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("fragment");
    QTest::addColumn<QStringList>("found");
    // Rows: a = Chinese login, b = English (older) user add, c = Chinese language setting,
    // d = a type that is no kind.
    QTest::newRow("zh: Chinese word") << false << "用户管理-登录" << "用户管理-登录" << "用户管理"
                                      << QStringList{"a", "b"};
    QTest::newRow("zh: older English word") << false << "Users - add" << "用户管理-添加" << "Settings"
                                            << QStringList{"c"};
    QTest::newRow("en: Chinese word") << true << "用户管理-登录" << "Users - login" << "users"
                                      << QStringList{"a", "b"};
    QTest::newRow("en: older English word") << true << "Users - add" << "Users - add" << "语言"
                                            << QStringList{"c"};
    QTest::newRow("en: exact older word") << true << "系统设置-语言切换" << "Settings - language"
                                          << "Users - add" << QStringList{"b"};
    QTest::newRow("unknown type as it stands") << true << "custom" << "custom" << "cust"
                                               << QStringList{"d"};
    QTest::newRow("empty fragment") << false << "" << "" << "" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("quote") << true << "'" << "'" << "' OR '1'='1" << QStringList();
}

void TestRights::typesDisplayAndFilterInBothLanguages()
{
    QFETCH(bool, english);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(QString, fragment);
    QFETCH(QStringList, found);
    QVERIFY(insertAudit(QStringLiteral("用户管理-登录"), QStringLiteral("a")));
    QVERIFY(insertAudit(QStringLiteral("Users - add"), QStringLiteral("b")));
    QVERIFY(insertAudit(QStringLiteral("系统设置-语言切换"), QStringLiteral("c")));
    QVERIFY(insertAudit(QStringLiteral("custom"), QStringLiteral("d")));
    English translator;
    if (english)
        QVERIFY(translator.install());
    QCOMPARE(AuditEvents::displayText(stored), shown);
    QList<Tool::Struct_AuditLog> rows;
    QVERIFY(Tool::getAuditLog(rows, QStringLiteral("2020-01-01 00:00:00"), QStringLiteral("2040-01-01 00:00:00"),
                              QStringLiteral("admin"), fragment));
    QCOMPARE(detailsOf(rows), found);
}

void TestRights::listEntryKeys_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("rest");
    QTest::newRow("three columns") << "P1--CFX96--SN-1" << "P1" << "CFX96--SN-1";
    QTest::newRow("no separator") << "P1" << "P1" << "";
    QTest::newRow("single dashes") << "A-1--均匀度演示" << "A-1" << "均匀度演示";
    QTest::newRow("empty key") << "--name" << "" << "name";
    QTest::newRow("empty rest") << "901--" << "901" << "";
    QTest::newRow("empty") << "" << "" << "";
}

void TestRights::listEntryKeys()
{
    QFETCH(QString, entry);
    QFETCH(QString, key);
    QFETCH(QString, rest);
    QCOMPARE(DataWords::keyOf(entry), key);
    QCOMPARE(DataWords::afterKey(entry), rest);
    QVERIFY(DataWords::isUsableKey(key));
    // A usable key is read back whole from its entry; a key holding "--" is not.
    QCOMPARE(DataWords::keyOf(DataWords::listEntry({key, QStringLiteral("x--y")})), key);
    const QString bad = key + QStringLiteral("--") + key;
    QVERIFY(!DataWords::isUsableKey(bad));
    QVERIFY(DataWords::keyOf(DataWords::listEntry({bad, QStringLiteral("x")})) != bad);
}

QTEST_GUILESS_MAIN(TestRights)
#include "tst_rights.moc"
