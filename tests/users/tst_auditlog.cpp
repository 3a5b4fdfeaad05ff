// The audit log browser and its PDF report, against a real database file and real PDF tools.

#include "userstest.h"

#include "app/messages.h"
#include "users/auditlog.h"
#include "users/auditreport.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTranslator>

#include "../support/file_permissions.h"

using namespace UsersTest;

namespace {

bool insertAudit(const QString &time, const QString &op, const QString &type, const QString &details)
{
    QSqlQuery q(QSqlDatabase::database());
    q.prepare("insert into AuditLog (Time, Operator, Type, Details) values (?, ?, ?, ?)");
    for (const QString &v : {time, op, type, details})
        q.addBindValue(v);
    return q.exec();
}

// Output of a poppler tool, empty when it fails.
QString poppler(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pageCount(const QString &pdf)
{
    const QString info = poppler("pdfinfo", {pdf});
    const QRegularExpression pages("Pages:\\s+(\\d+)");
    const auto m = pages.match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QVector<QStringList> rows(int n)
{
    QVector<QStringList> out;
    for (int i = 0; i < n; ++i)
        out << QStringList{QStringLiteral("2024-03-01 08:00:%1.000").arg(i % 60, 2, 10, QLatin1Char('0')),
                           QStringLiteral("user%1").arg(i), QStringLiteral("用户管理-添加"),
                           QStringLiteral("添加用户：row%1").arg(i)};
    return out;
}

QList<Tool::Struct_AuditLog> audit()
{
    QList<Tool::Struct_AuditLog> rows;
    Tool::getAuditLog(rows, QString(), QString(), QString(), QString());
    return rows;
}

} // namespace

class TestAuditLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listsNewestFirstWithOperatorsInTableOrder();
    void boundsCompareAsTextWithMilliseconds();
    void typeFragmentAndOperatorFilter();
    void emptyOperatorMatchesNothing();
    void downloadNeedsTheRight();
    void verifyFindsAnEditedEntry();
    void pageBreaksWithoutEmptyTrailingPage();
    void reportTextIsExtractableChinese();
    void longTextsWrapAndEveryPageIsNumbered();
    void downloadWritesReportAndAuditEntry();
    void downloadedNameGetsItsExtension();
    void uncreatableFileIsAFailure();
    void englishSessionStoresChineseAndShowsEnglish();

private:
    std::unique_ptr<Workspace> m_ws;
    std::unique_ptr<MessageRecorder> m_boxes;
};

void TestAuditLog::init()
{
    PCR_SERVER_RUN_CHECK();
    m_ws = std::make_unique<Workspace>();
    QVERIFY(m_ws->openDatabase());
    m_boxes = std::make_unique<MessageRecorder>();
    QVERIFY(Tool::addUesrManagement(account("zed", "操作员")));
    QVERIFY(Tool::addUesrManagement(account("amy", "主管", true)));
    logIn("admin");
}

void TestAuditLog::cleanup()
{
    m_boxes.reset();
    m_ws.reset();
    Tool::CurrentUser = Tool::Struct_UesrManagement();
}

void TestAuditLog::listsNewestFirstWithOperatorsInTableOrder()
{
    QVERIFY(insertAudit("2024-01-01 10:00:00.100", "admin", "用户管理-登录", "first"));
    QVERIFY(insertAudit("2024-01-01 10:00:00.200", "zed", "用户管理-登录", "second"));
    QVERIFY(insertAudit("2024-01-01 10:00:00.300", "amy", "审计日志-下载", "third"));
    AuditLog page;
    const auto listed = page.listedRows();
    QCOMPARE(listed.size(), 3);
    QCOMPARE(listed.at(0), QStringList({"2024-01-01 10:00:00.300", "amy", "审计日志-下载", "third"}));
    QCOMPARE(listed.at(2).at(3), QStringLiteral("first"));

    auto *ops = child<QComboBox>(&page, "comboBox_Operator");
    QStringList names;
    for (int i = 0; i < ops->count(); ++i)
        names << ops->itemText(i);
    QCOMPARE(names, QStringList({"admin", "zed", "amy"}));
    auto *table = child<QTableWidget>(&page, "tableWidget_List");
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("操作时间"));
    QCOMPARE(table->horizontalHeaderItem(3)->text(), QStringLiteral("详细信息"));
    QCOMPARE(child<QDateTimeEdit>(&page, "dateTimeEdit_Start")->dateTime().toString("yyyy-MM-dd hh:mm:ss"),
             QStringLiteral("2020-01-01 01:01:00"));
    QCOMPARE(child<QDateTimeEdit>(&page, "dateTimeEdit_End")->dateTime().toString("yyyy-MM-dd hh:mm:ss"),
             QStringLiteral("2040-01-01 01:01:59"));
}

void TestAuditLog::boundsCompareAsTextWithMilliseconds()
{
    QVERIFY(insertAudit("2024-01-01 09:59:59.999", "admin", "t", "before start"));
    QVERIFY(insertAudit("2024-01-01 10:00:00.000", "admin", "t", "at start"));
    QVERIFY(insertAudit("2024-01-01 10:00:00.500", "admin", "t", "within start second"));
    QVERIFY(insertAudit("2024-01-01 12:00:59.000", "admin", "t", "at end"));
    QVERIFY(insertAudit("2024-01-01 12:00:59.999", "admin", "t", "within end second"));
    QVERIFY(insertAudit("2024-01-01 12:01:00.000", "admin", "t", "after end"));
    AuditLog page;
    // As the user sets them: minutes shown, the default seconds kept (00 at the start, 59 at the end).
    child<QDateTimeEdit>(&page, "dateTimeEdit_Start")->setDateTime(QDateTime(QDate(2024, 1, 1), QTime(10, 0, 0)));
    child<QDateTimeEdit>(&page, "dateTimeEdit_End")->setDateTime(QDateTime(QDate(2024, 1, 1), QTime(12, 0, 59)));
    child<QPushButton>(&page, "pushButton_Search")->click();
    QStringList details;
    for (const auto &r : page.listedRows())
        details << r.at(3);
    QCOMPARE(details, QStringList({"within end second", "at end", "within start second", "at start"}));
}

void TestAuditLog::typeFragmentAndOperatorFilter()
{
    for (int code : {81, 82, 83, 84, 91, 1, 61})
        Tool::SaveAuditLog(code, QStringLiteral("code %1。").arg(code));
    Tool::CurrentUser.Name = "zed";
    Tool::SaveAuditLog(81, QStringLiteral("by zed。"));
    Tool::CurrentUser.Name = "admin";

    AuditLog page;
    QCOMPARE(page.listedRows().size(), 8);
    child<QLineEdit>(&page, "lineEdit_Type")->setText("用户管理");
    child<QPushButton>(&page, "pushButton_Search")->click();
    QStringList details;
    for (const auto &r : page.listedRows())
        details << r.at(3);
    QCOMPARE(details, QStringList({"code 84。", "code 83。", "code 82。", "code 81。"}));

    auto *ops = child<QComboBox>(&page, "comboBox_Operator");
    ops->setCurrentText("zed");
    child<QPushButton>(&page, "pushButton_Search")->click();
    QCOMPARE(page.listedRows().size(), 1);
    QCOMPARE(page.listedRows().first().at(3), QStringLiteral("by zed。"));

    // A fragment holding a quote neither breaks the statement nor widens it.
    child<QLineEdit>(&page, "lineEdit_Type")->setText("' OR '1'='1");
    child<QPushButton>(&page, "pushButton_Search")->click();
    QCOMPARE(page.listedRows().size(), 0);
}

void TestAuditLog::emptyOperatorMatchesNothing()
{
    QVERIFY(insertAudit("2024-01-01 10:00:00.000", "ghost", "用户管理-登录", "by a deleted account"));
    QSqlQuery(QSqlDatabase::database()).exec("delete from UesrManagement");
    AuditLog page;
    QCOMPARE(child<QComboBox>(&page, "comboBox_Operator")->count(), 0);
    QCOMPARE(page.listedRows().size(), 1);   // opened afresh: no filter
    child<QPushButton>(&page, "pushButton_Search")->click();
    QCOMPARE(page.listedRows().size(), 0);
}

void TestAuditLog::downloadNeedsTheRight()
{
    AuditLog withRight;
    QVERIFY(child<QPushButton>(&withRight, "pushButton_Download")->isEnabled());
    logIn("zed");
    AuditLog without;
    QVERIFY(!child<QPushButton>(&without, "pushButton_Download")->isEnabled());
}

void TestAuditLog::verifyFindsAnEditedEntry()
{
    Tool::SaveAuditLog(AuditEvent::UserLogin, QStringLiteral("用户登录。"));
    Tool::SaveAuditLog(AuditEvent::UserAdd, QStringLiteral("添加用户：jo"));
    AuditLog page;
    QVERIFY(page.startVerify());
    QVERIFY(page.waitForVerify(60000));
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().kind, MessageRecorder::Information);
    QVERIFY2(m_boxes->last().text.startsWith(QStringLiteral("审计日志完整：共 2 条记录")), qPrintable(m_boxes->last().text));
    // The check is on the record; then an entry is changed behind the program's back.
    QCOMPARE(Workspace::audit().last().Type, QStringLiteral("审计日志-校验"));
    // On a server only the table's owner can, and only with its append-only trigger lifted.
    if (Tool::isServerDatabase())
        QVERIFY(Workspace::sql("alter table AuditLog disable trigger user"));
    QVERIFY(Workspace::sql("update AuditLog set Details = '添加用户：ann' where Details = '添加用户：jo'"));
    m_boxes->clear();
    child<QPushButton>(&page, "pushButton_Verify")->click();
    QVERIFY(page.waitForVerify(60000));
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().kind, MessageRecorder::Warning);
    QVERIFY(m_boxes->last().text.contains(QStringLiteral("第 2 条记录处断开")));
    QVERIFY(m_boxes->last().text.contains(QStringLiteral("添加用户：ann")));
}

void TestAuditLog::pageBreaksWithoutEmptyTrailingPage()
{
    const int perPage = AuditReport::rowsPerPage();
    QCOMPARE(perPage, 24);   // (3258 - 300) / 120 rows on the A4 viewport at 300 dpi
    struct Case { int rows, pages; } cases[] = {
        {0, 1}, {1, 1}, {perPage, 1}, {perPage + 1, 2}, {2 * perPage, 2}, {2 * perPage + 1, 3}};
    for (const Case &c : cases) {
        const QString file = m_ws->path(QStringLiteral("r%1.pdf").arg(c.rows));
        QVERIFY(AuditReport::write(file, rows(c.rows)));
        QCOMPARE(pageCount(file), c.pages);
    }
    // The next row starts page two with its own header.
    const QString file = m_ws->path("r25.pdf");
    AuditReport::write(file, rows(perPage + 1));
    const QString second = poppler("pdftotext", {"-f", "2", "-l", "2", "-layout", file, "-"});
    QVERIFY(second.contains("审计报告"));
    QVERIFY(second.contains("操作说明"));
    QVERIFY(second.contains(QStringLiteral("row%1").arg(perPage)));
    QVERIFY(!second.contains(QStringLiteral("row%1").arg(perPage - 1)));
}

void TestAuditLog::longTextsWrapAndEveryPageIsNumbered()
{
    // Details several lines long, a hash with no place to break, and English headers: nothing is
    // cut, the rows grow, and each page names itself and the chain's head.
    QVector<QStringList> data = rows(30);
    QString details = QStringLiteral("修改用户：jo（");
    for (int i = 0; i < 12; ++i)
        details += QStringLiteral("权限%1：false → true；").arg(i);
    details += QStringLiteral("end）");
    data[2][3] = details;
    data[3][3] = QString(64, QLatin1Char('a')) + QStringLiteral("tail");
    const QString head = QStringLiteral("17:") + QString(64, QLatin1Char('f'));
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/i18n/pcr_en.qm")));
    QCoreApplication::installTranslator(&english);
    const QString file = m_ws->path("long.pdf");
    const bool written = AuditReport::write(file, data, head);
    QCoreApplication::removeTranslator(&english);
    QVERIFY(written);
    const int pages = pageCount(file);
    QCOMPARE(pages, 2);   // 30 one-line rows would fit on two pages as well; the tall ones push none off
    const QString text = poppler("pdftotext", {file, "-"}).remove(QLatin1Char('\n')).remove(QLatin1Char(' '));
    QVERIFY(text.contains(QString(details).remove(QLatin1Char(' '))));
    QVERIFY(text.contains(QString(64, QLatin1Char('a')) + QStringLiteral("tail")));
    for (int p = 1; p <= pages; ++p) {
        const QString page = poppler("pdftotext", {"-f", QString::number(p), "-l", QString::number(p), file, "-"});
        QVERIFY2(page.contains(QStringLiteral("Page %1 of %2").arg(p).arg(pages)), qPrintable(page));
        QVERIFY(page.contains(QStringLiteral("Audit chain head (count:hash): ") + head));
        for (const char *title : {"Time", "User name", "Type", "Description"})
            QVERIFY2(page.contains(QLatin1String(title)), title);
    }
}

void TestAuditLog::reportTextIsExtractableChinese()
{
    QVector<QStringList> data = rows(3);
    data[1][3] = QStringLiteral("删除用户：张三,李四 户 用");
    const QString file = m_ws->path("text.pdf");
    QVERIFY(AuditReport::write(file, data));
    const QString text = poppler("pdftotext", {"-layout", file, "-"});
    for (const char *s : {"审计报告", "操作时间", "用户名", "操作类型", "操作说明", "用户管理-添加",
                          "删除用户：张三,李四 户 用", "2024-03-01 08:00:02.000", "user0", "添加用户：row2"})
        QVERIFY2(text.contains(QString::fromUtf8(s)), s);
    // The Chinese face is embedded, in its Simplified Chinese variant.
    const QString fonts = poppler("pdffonts", {file});
    QVERIFY2(fonts.contains("NotoSerifCJKsc"), qPrintable(fonts));
    for (const QString &line : fonts.split('\n').mid(2, 1))
        QVERIFY2(line.contains(" yes "), qPrintable(line));

    // The map names the ideograph, not the radical or tab sharing its glyph; offsets unchanged.
    QFont font("Noto Serif CJK SC", 12);
    const auto alike = AuditReport::lookAlikes(font, QStringLiteral("用户 a"));
    QCOMPARE(alike.value(0x2F64), 0x7528u);   // ⽤ -> 用
    QCOMPARE(alike.value(0x2F3E), 0x6237u);   // ⼾ -> 户 (not the traditional 戶)
    QCOMPARE(alike.value(0x0009), 0x0020u);
    QVERIFY(!alike.contains('a'));
    QByteArray pdf("x\n2 beginbfrange\n<0001> <0003> [<2F64> <0009> <0041>]\n<0004> <0004> <2F3E>\n"
                   "<0005> <0006> <2F64>\nendbfrange\n<2F64>");
    const int size = pdf.size();
    AuditReport::repairToUnicode(pdf, alike);
    QCOMPARE(pdf.size(), size);
    QCOMPARE(pdf, QByteArray("x\n2 beginbfrange\n<0001> <0003> [<7528> <0020> <0041>]\n<0004> <0004> <6237>\n"
                             "<0005> <0006> <2F64>\nendbfrange\n<2F64>"));
}

void TestAuditLog::downloadWritesReportAndAuditEntry()
{
    QVERIFY(insertAudit("2024-01-01 10:00:00.000", "admin", "用户管理-登录", "用户登录。"));
    QVERIFY(insertAudit("2024-01-02 10:00:00.000", "zed", "用户管理-添加", "添加用户：O'Brien"));
    AuditLog page;
    const QString file = m_ws->path("audit report.pdf");
    QVERIFY(page.download(file));
    QCOMPARE(m_boxes->texts(), QStringList({"数据导出成功！"}));
    QCOMPARE(m_boxes->last().title, QStringLiteral("提示"));
    const auto entries = audit();
    QCOMPARE(entries.last().Type, QStringLiteral("审计日志-下载"));
    QCOMPARE(entries.last().Details, QStringLiteral("下载审计日志。"));

    // The report holds what the table showed, in its order (newest first).
    const QString text = poppler("pdftotext", {"-layout", file, "-"});
    const int newer = text.indexOf("添加用户：O'Brien");
    const int older = text.indexOf("用户登录。");
    QVERIFY(newer >= 0 && older >= 0);
    QVERIFY(newer < older);
}

void TestAuditLog::downloadedNameGetsItsExtension()
{
    QVERIFY(insertAudit("2024-01-01 10:00:00.000", "admin", "用户管理-登录", "用户登录。"));
    AuditLog page;
    const QString typed = m_ws->path("report");
    bool sawDialog = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        sawDialog = true;
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("pdf"));
        dialog->selectFile(typed);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    child<QPushButton>(&page, "pushButton_Download")->click();
    QVERIFY(sawDialog);
    QVERIFY(QFileInfo(typed + ".pdf").size() > 0);
    QVERIFY(!QFileInfo::exists(typed));
    QCOMPARE(m_boxes->texts(), QStringList({"数据导出成功！"}));
}

void TestAuditLog::uncreatableFileIsAFailure()
{
    AuditLog page;
    const int before = audit().size();
    QVERIFY(!page.download(m_ws->path("no such folder/report.pdf")));
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().kind, MessageRecorder::Warning);
    QVERIFY(m_boxes->last().text.startsWith("数据导出失败！"));
    QCOMPARE(audit().size(), before);

    // A file that exists but cannot be replaced stays as it was.
    const QString folder = m_ws->path("locked");
    QVERIFY(QDir().mkpath(folder));
    const QString file = folder + "/report.pdf";
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    {
        AsOrdinaryUser ordinary;
        if (!ordinary.active())
            QSKIP("cannot drop the right to override permissions");
        m_boxes->clear();
        QVERIFY(!page.download(file));
        QCOMPARE(m_boxes->texts().size(), 1);
        QVERIFY(m_boxes->last().text.startsWith("数据导出失败！"));
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("old"));
    QCOMPARE(audit().size(), before);
}

void TestAuditLog::englishSessionStoresChineseAndShowsEnglish()
{
    QTranslator english;
    QVERIFY(english.load(":/i18n/pcr_en.qm"));
    QCoreApplication::installTranslator(&english);
    // An entry of an older English session, and one written now in English.
    QVERIFY(insertAudit("2024-01-01 10:00:00.000", "admin", "Users - add", "User added: old"));
    Tool::SaveAuditLog(AuditEvent::UserLogin, QStringLiteral("User logged in."));
    QCOMPARE(audit().last().Type, QStringLiteral("用户管理-登录"));

    AuditLog page;
    auto types = [&page] {
        QStringList t;
        for (const auto &r : page.listedRows())
            t << r.at(2);
        return t;
    };
    QCOMPARE(types(), QStringList({"Users - login", "Users - add"}));
    child<QLineEdit>(&page, "lineEdit_Type")->setText("login");
    child<QPushButton>(&page, "pushButton_Search")->click();
    QCOMPARE(types(), QStringList({"Users - login"}));
    child<QLineEdit>(&page, "lineEdit_Type")->setText("用户管理");
    child<QPushButton>(&page, "pushButton_Search")->click();
    QCOMPARE(types(), QStringList({"Users - login", "Users - add"}));

    // The report prints what the table shows.
    const QString file = m_ws->path("english.pdf");
    QVERIFY(page.download(file));
    const QString text = poppler("pdftotext", {"-layout", file, "-"});
    QVERIFY2(text.contains("Users - login") && text.contains("Users - add"), qPrintable(text));
    QCOMPARE(audit().last().Type, QStringLiteral("审计日志-下载"));
    QCoreApplication::removeTranslator(&english);

    // Back in Chinese, the older English entry reads in Chinese too.
    AuditLog chinese;
    QCOMPARE(chinese.listedRows().last().at(2), QStringLiteral("用户管理-添加"));
}

QTEST_MAIN(TestAuditLog)
#include "tst_auditlog.moc"
