// The main window: start-up paths, showPage, the backup tick, exit, language switching and Help.

#include "../support/TestSuite.h"
#include "../support/Workspace.h"
#include "../support/file_permissions.h"

#include "app/help.h"
#include "app/login.h"
#include "registry/CyclicFileAdd.h"
#include "registry/LayoutAdd.h"
#include "registry/CyclicFileDisplay.h"
#include "users/adminadd.h"
#include "users/adminedit.h"
#include "users/jurisdiction.h"
#include "app/messages.h"
#include "app/pages.h"
#include "app/pcr.h"
#include "app/runningpage.h"
#include "store/schema.h"
#include "store/tool.h"
#include "store/runrecords.h"

#include <QAction>
#include <QAbstractButton>
#include <QTranslator>
#include <QTableWidget>
#include <QLineEdit>
#include <QGroupBox>
#include <QComboBox>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <unistd.h>
#include <memory>
#include <numeric>
#include <vector>

namespace {

class FakeRunningPage : public QWidget, public RunningPage
{
public:
    using QWidget::QWidget;
    bool running = false;
    bool isRunning() const override { return running; }
};

// Stands for the settings page: receives the backup values and has the page's three signals.
class FakeSettingsPage : public QWidget, public SystemSetHooks
{
    Q_OBJECT

public:
    using QWidget::QWidget;
    bool autoBackup = false;
    int cycle = -1;
    QString path;
    int retranslated = 0;
    void setBackups(bool a, int c, const QString &p) override
    {
        autoBackup = a;
        cycle = c;
        path = p;
    }
    void retranslate() override { ++retranslated; }
    void connectShell(QObject *context, const Shell &shell) override
    {
        connect(this, &FakeSettingsPage::sp_SQListOpen_signals, context, shell.openDatabase);
        connect(this, &FakeSettingsPage::sp_SQListClose_signals, context, shell.closeDatabase);
        connect(this, &FakeSettingsPage::sp_Language_signals, context, shell.language);
    }

signals:
    void sp_SQListOpen_signals();
    void sp_SQListClose_signals();
    void sp_Language_signals(QString language);
};

struct Factory
{
    int built[Pages::Count] = {};
    QWidget *make(int index, QWidget *parent)
    {
        ++built[index];
        if (index == Pages::CalibrationPage || index == Pages::ThermistorPage)
            return new FakeRunningPage(parent);
        if (index == Pages::SystemSetPage)
            return new FakeSettingsPage(parent);
        return Pages::createPage(index, parent);
    }
};

PCR::Options options(Factory *factory, int *logins = nullptr, bool accept = true)
{
    PCR::Options o;
    o.splashMs = 0;
    o.login = [logins, accept] {
        if (logins)
            ++*logins;
        QList<Tool::Struct_UesrManagement> users;
        Tool::getUesrManagement(users, "admin");
        Tool::CurrentUser = users.value(0);
        return accept;
    };
    if (factory)
        o.pages = [factory](int i, QWidget *p) { return factory->make(i, p); };
    return o;
}

QImage image(const QIcon &icon)
{
    return icon.pixmap(50, 50).toImage();
}

bool hasChinese(const QString &text)
{
    static const QRegularExpression cjk(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return cjk.match(text).hasMatch();
}

// Every text the window shows: title, actions, labels.
QStringList shownTexts(const QMainWindow &w)
{
    QStringList texts{w.windowTitle()};
    for (const QAction *a : w.findChildren<QAction *>())
        texts << a->text() << a->toolTip();
    for (const QLabel *l : w.findChildren<QLabel *>())
        texts << l->text();
    return texts;
}

QString backupTimeIn(const QString &config)
{
    return Tool::configFile(config)->value("Backups/BackupTime").toString();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void startsOnTheFirstPageAfterLogin();
    void unopenableDatabaseLeavesAnEmptyWindow();
    void readOnlyFolderIsNoDamagedDatabase();
    void refusedLoginEndsTheProgram();
    void foreignDatabaseIsLeftAloneAndANewOneOffered_data();
    void foreignDatabaseIsLeftAloneAndANewOneOffered();
    void unwritableAuditEntryIsReported();
    void interruptedRunsAreMarkedAtStart();
    void showPageRules();
    void settingsPageGetsBackupsAndSignals();
    void toolbarDialogsDoNotChangeThePage();
    void backupRules();
    void backupTick();
    void readOnlyConfigLosesNothing();
    void exitNeedsConfirmation();
    void logOutAndInAsAnotherUser();
    void englishLeavesNoChinese();
    void englishFormsOfTheShellRegistriesAndUsers();
    void helpOpensTheManual();
    void pagesAndDialogsShareTheBackground();
};

void TestMainWindow::startsOnTheFirstPageAfterLogin()
{
    Workspace ws;
    Factory f;
    int logins = 0;
    MessageRecorder rec;
    ws.write("log_2000-01-01.log", "old\n");
    PCR w(options(&f, &logins));
    QVERIFY(rec.isEmpty());
    QCOMPARE(logins, 1);
    QVERIFY(!w.loginRefused());
    QVERIFY(!w.databaseFailed());
    QVERIFY(QFile::exists(ws.path("PCR.db3")));
    // A fresh workspace gets the settings of a fresh installation.
    QVERIFY(QFile::exists(ws.path("config.ini")));
    QCOMPARE(Tool::Language, QStringLiteral("中文"));
    QCOMPARE(Tool::TemperatureUnit, QStringLiteral("℃"));
    QCOMPARE(Tool::TemperatureAccuracy, 2);
    QVERIFY(!QFile::exists(ws.path("log_2000-01-01.log")));   // old logs removed after login

    QCOMPARE(w.currentPageIndex(), 0);
    QCOMPARE(f.built[0], 1);
    QCOMPARE(w.windowTitle(), QStringLiteral("PCR仪校准系统软件"));
    auto *toolBar = w.findChild<QToolBar *>("toolBar");
    QCOMPARE(toolBar->actions().size(), 13);
    QCOMPARE(toolBar->iconSize(), QSize(50, 50));
    QCOMPARE(toolBar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QVERIFY(!toolBar->isMovable());
    QCOMPARE(toolBar->font().pixelSize(), 16);
    const QStringList names = {"Action_SystemSet", "Action_RCRDevice", "Action_Electrometer",
                               "Action_Standardizer", "Action_StandardizerCalibration", "Action_CyclicFile",
                               "Action_Layout", "Action_Calibration", "Action_DataExport", "Action_Admin",
                               "Action_AuditLog", "Action_Logout", "Action_Help"};
    QSet<qint64> distinct;
    for (int i = 0; i < 13; ++i) {
        QAction *a = toolBar->actions().at(i);
        QCOMPARE(a->objectName(), names.at(i));
        QVERIFY(a->isEnabled());
        const QImage img = image(a->icon());
        QVERIFY2(!img.isNull() && img.width() == 50, qPrintable(names.at(i)));
        distinct.insert(qint64(qHash(QByteArray(reinterpret_cast<const char *>(img.constBits()), int(img.sizeInBytes())))));
    }
    QCOMPARE(distinct.size(), 13);   // thirteen different icons
    QCOMPARE(toolBar->actions().at(2)->text(), QStringLiteral("测温仪器 "));
    QCOMPARE(toolBar->actions().at(1)->toolTip(), QStringLiteral("RCR仪设备管理"));

    // The visible page's action shows the grey variant.
    QCOMPARE(image(w.pageAction(0)->icon()), image(QIcon(":/PCR/Image/RCRDevice_grey.png")));
    QCOMPARE(image(w.pageAction(2)->icon()), image(QIcon(":/PCR/Image/Layout.png")));

    const QStringList status = [&] {
        QStringList t;
        for (QLabel *l : w.statusBar()->findChildren<QLabel *>())
            t << l->text();
        return t;
    }();
    QVERIFY(status.contains(QStringLiteral("PCR仪设备管理")));
    QVERIFY(status.contains(QStringLiteral("当前用户为：admin")));
    // The copyright names the year of the build, not a year fixed in the source.
    QVERIFY(std::any_of(status.begin(), status.end(), [](const QString &s) {
        const auto m = QRegularExpression(QStringLiteral("^版权所有 © (\\d{4}) PCR仪校准系统开发组")).match(s);
        return m.hasMatch() && m.captured(1).toInt() >= 2026;
    }));
    QVERIFY(std::any_of(status.begin(), status.end(), [](const QString &s) {
        return QDateTime::fromString(s, "yyyy-MM-dd hh:mm:ss").isValid();
    }));

    // An account name holding "<" is shown as typed, not read as markup.
    Tool::CurrentUser.Name = QStringLiteral("a<b>b</b>");
    w.sp_Language_slots(QStringLiteral("中文"));
    int userLabels = 0;
    for (QLabel *l : w.statusBar()->findChildren<QLabel *>()) {
        if (l->text().startsWith(QStringLiteral("当前用户为："))) {
            QCOMPARE(l->text(), QStringLiteral("当前用户为：a<b>b</b>"));
            QCOMPARE(l->textFormat(), Qt::PlainText);
            ++userLabels;
        }
    }
    QCOMPARE(userLabels, 1);
}

void TestMainWindow::unopenableDatabaseLeavesAnEmptyWindow()
{
    for (const bool folder : {false, true}) {
        Workspace ws;
        if (folder)
            QVERIFY(QDir(ws.path(".")).mkdir("PCR.db3"));
        else
            ws.write("PCR.db3", QByteArray(8192, '\x5a'));
        Factory f;
        int logins = 0;
        MessageRecorder rec;
        PCR w(options(&f, &logins));
        QVERIFY(w.databaseFailed());
        // First the offer of a new database elsewhere (declined), then the failure.
        QCOMPARE(rec.count(), 2);
        QCOMPARE(rec.boxes().first().kind, MessageRecorder::Question);
        QVERIFY(rec.boxes().first().text.contains("不是可读的数据库"));
        QCOMPARE(rec.last().title, QStringLiteral("警告"));
        QCOMPARE(rec.last().text, QStringLiteral("打开数据库失败！"));
        QCOMPARE(logins, 0);
        QCOMPARE(w.currentPageIndex(), -1);
        QCOMPARE(std::accumulate(std::begin(f.built), std::end(f.built), 0), 0);
        if (!folder)
            QCOMPARE(ws.read("PCR.db3"), QByteArray(8192, '\x5a'));   // the file is left alone
        // Nobody logged in: no page or registry dialog can be opened, only the about box.
        auto *toolBar = w.findChild<QToolBar *>("toolBar");
        for (QAction *a : toolBar->actions()) {
            QCOMPARE(a->isEnabled(), a->objectName() == QLatin1String("Action_Help"));
            if (a->objectName() != QLatin1String("Action_Help")
                && a->objectName() != QLatin1String("Action_Standardizer")
                && a->objectName() != QLatin1String("Action_CyclicFile"))
                a->trigger();
        }
        w.showPage(Pages::AdminPage);
        QCOMPARE(w.currentPageIndex(), -1);
        QCOMPARE(std::accumulate(std::begin(f.built), std::end(f.built), 0), 0);
        QCOMPARE(rec.count(), 2);
        // Leaving still works: the exit audit entry has nowhere to go and is dropped quietly.
        rec.answerNext(QMessageBox::Yes);
        w.show();
        QVERIFY(w.close());
    }

    Workspace ws;
    QVERIFY(Tool::openDatabase(ws.path("PCR.db3")));
    Tool::closeDatabase();
    QVERIFY(QFile::setPermissions(ws.path("PCR.db3"), QFileDevice::Permissions()));
    AsOrdinaryUser ordinary;
    QVERIFY(ordinary.active());
    MessageRecorder rec;
    PCR w(options(nullptr));
    QVERIFY(w.databaseFailed());
    QCOMPARE(rec.texts(), QStringList({"打开数据库失败！"}));
}

// A PCR.db3 that holds none of the program's tables (another program's database, a zero-byte
// file left by a crash) used to receive the tables and the delivered admin/123456 account.
void TestMainWindow::foreignDatabaseIsLeftAloneAndANewOneOffered_data()
{
    QTest::addColumn<bool>("empty");
    QTest::addColumn<bool>("startElsewhere");
    QTest::newRow("zero bytes, declined") << true << false;
    QTest::newRow("another program's, declined") << false << false;
    QTest::newRow("zero bytes, new folder") << true << true;
}

void TestMainWindow::foreignDatabaseIsLeftAloneAndANewOneOffered()
{
    QFETCH(bool, empty);
    QFETCH(bool, startElsewhere);
    Workspace ws;
    if (empty) {
        ws.write("PCR.db3", QByteArray());
    } else {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
            db.setDatabaseName(ws.path("PCR.db3"));
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec("create table Invoices (Id, Amount)"));
            db.close();
        }
        QSqlDatabase::removeDatabase("foreign");
    }
    const QByteArray before = ws.read("PCR.db3");
    QTemporaryDir elsewhere;
    MessageRecorder rec;
    rec.answerNext(startElsewhere ? QMessageBox::Yes : QMessageBox::No);
    PCR::Options o = options(nullptr);
    o.chooseFolder = [&] { return elsewhere.path(); };
    PCR w(o);
    QCOMPARE(rec.boxes().value(0).kind, MessageRecorder::Question);
    QVERIFY2(rec.boxes().value(0).text.contains("不是本程序的数据库"), qPrintable(rec.boxes().value(0).text));
    QCOMPARE(ws.read("PCR.db3"), before);
    QVERIFY(!QFile::exists(ws.path("PCR.db3-wal")));
    QCOMPARE(w.databaseFailed(), !startElsewhere);
    if (startElsewhere) {
        QVERIFY(QFile::exists(QDir(elsewhere.path()).filePath("PCR.db3")));
        QCOMPARE(Tool::databaseFileName(), QFileInfo(QDir(elsewhere.path()).filePath("PCR.db3")).absoluteFilePath());
        QCOMPARE(w.currentPageIndex(), int(Pages::PCRDevicePage));
    }
}

// A login on a database that cannot be written: its audit entry is lost, and the user is told.
void TestMainWindow::unwritableAuditEntryIsReported()
{
    Workspace ws;
    QVERIFY(Tool::openDatabase(ws.path("PCR.db3")));
    Tool::closeDatabase();
    QVERIFY(QFile::setPermissions(ws.path("PCR.db3"), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    AsOrdinaryUser ordinary;
    if (!ordinary.active())
        QSKIP("file permissions do not apply here");
    MessageRecorder rec;
    PCR::Options o = options(nullptr);
    o.login = [] {
        Login dialog;
        dialog.findChild<QComboBox *>("comboBox_UserName")->setCurrentText("admin");
        dialog.findChild<QLineEdit *>("lineEdit_UserPassword")->setText("123456");
        dialog.findChild<QPushButton *>("btn_Login")->click();
        return dialog.result() == QDialog::Accepted;
    };
    PCR w(o);
    QVERIFY(!w.databaseFailed());
    QVERIFY2(rec.texts().contains("审计日志写入失败！未记录的操作：用户登录。"), qPrintable(rec.texts().join('|')));
    QCOMPARE(rec.last().title, QStringLiteral("警告"));
    QVERIFY(QFile::setPermissions(ws.path("PCR.db3"), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
}

// A run still marked running when the program starts was cut off: from now on it is listed as
// interrupted.
void TestMainWindow::interruptedRunsAreMarkedAtStart()
{
    Workspace ws;
    QVERIFY(ws.openDatabase());
    // A program killed mid-run leaves its mark and no lease; a live run (here this process's,
    // as another program's would be) holds its lease and is left running. Any start used to
    // mark both.
    Tool::Struct_Calibration project;
    project.CalibrationName = "被中止";
    QVERIFY(Tool::addCalibration(project));
    QSqlQuery mark;
    QVERIFY(mark.exec(QStringLiteral("insert into CalibrationRunState values ('被中止', '进行中', '2024-01-01 00:00:00')")));
    project.CalibrationName = "运行中";
    QVERIFY(RunRecords::begin(project));
    MessageRecorder rec;
    PCR w(options(nullptr, nullptr, false));
    QHash<QString, QString> states;
    QVERIFY(RunRecords::states(states));
    QCOMPARE(states.value("被中止"), RunRecords::interruptedWord());
    QCOMPARE(RunRecords::displayState(states.value("被中止")), QStringLiteral("运行中断"));
    QCOMPARE(states.value("运行中"), RunRecords::runningWord());
    QVERIFY(RunRecords::isLive("运行中") && !RunRecords::isLive("被中止"));
    QVERIFY(RunRecords::complete("运行中"));
}

// A healthy database in a folder that cannot be written (no room for its -shm file): said as
// such, and no new, empty database offered in its place. It used to be called damaged.
void TestMainWindow::readOnlyFolderIsNoDamagedDatabase()
{
    Workspace ws;
    QVERIFY(ws.openDatabase());
    Tool::closeDatabase();
    QVERIFY(!QFile::exists(ws.path("PCR.db3-shm")));
    QVERIFY(QFile::setPermissions(ws.path("."), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    struct Writable
    {
        QString dir;
        ~Writable() { QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner); }
    } writable{ws.path(".")};
    AsOrdinaryUser ordinary;
    if (!ordinary.active())
        QSKIP("permissions do not apply here");
    MessageRecorder rec;
    Factory f;
    PCR w(options(&f));
    QVERIFY(w.databaseFailed());
    QCOMPARE(rec.count(), 1);
    QCOMPARE(rec.last().kind, MessageRecorder::Information);
    QVERIFY2(rec.last().text.contains(QStringLiteral("只读")), qPrintable(rec.last().text));
    QVERIFY(!rec.last().text.contains(QStringLiteral("不是可读的数据库")));
}

void TestMainWindow::refusedLoginEndsTheProgram()
{
    Workspace ws;
    Factory f;
    PCR w(options(&f, nullptr, false));
    QVERIFY(w.loginRefused());
    QCOMPARE(w.currentPageIndex(), -1);
    QCOMPARE(f.built[0], 0);
}

void TestMainWindow::showPageRules()
{
    Workspace ws;
    Factory f;
    MessageRecorder rec;
    PCR w(options(&f));
    QPointer<QWidget> first = w.page(0);
    QVERIFY(first);

    // The action of the page shown does nothing: the page is not rebuilt.
    w.pageAction(0)->trigger();
    QCOMPARE(f.built[0], 1);
    QCOMPARE(w.page(0), first.data());

    w.findChild<QAction *>("Action_Calibration")->trigger();
    QCOMPARE(w.currentPageIndex(), 3);
    QVERIFY(!first);   // destroyed
    QVERIFY(!w.page(0));
    QCOMPARE(image(w.pageAction(0)->icon()), image(QIcon(":/PCR/Image/RCRDevice.png")));
    QCOMPARE(image(w.pageAction(3)->icon()), image(QIcon(":/PCR/Image/Calibrate_grey.png")));
    auto *calibration = dynamic_cast<FakeRunningPage *>(w.page(3));
    QVERIFY(calibration);
    QCOMPARE(calibration->parentWidget(), w.centralWidget());

    // On the calibration page the probe calibration is refused, running or not.
    w.findChild<QAction *>("Action_StandardizerCalibration")->trigger();
    QCOMPARE(rec.texts(), QStringList({"校准界面不允许打开设置！"}));
    QCOMPARE(rec.last().title, QStringLiteral("警告"));
    QCOMPARE(w.currentPageIndex(), 3);

    // While it runs, every page action is refused and the page stays as it is.
    calibration->running = true;
    rec.clear();
    for (const char *name : {"Action_SystemSet", "Action_RCRDevice", "Action_Electrometer", "Action_Layout",
                             "Action_DataExport", "Action_Admin", "Action_AuditLog"})
        w.findChild<QAction *>(name)->trigger();
    QCOMPARE(rec.count(), 7);
    for (const auto &box : rec.boxes()) {
        QCOMPARE(box.text, QStringLiteral("设备正在运行中，请停止运行！"));
        QCOMPARE(box.title, QStringLiteral("警告"));
    }
    QCOMPARE(w.currentPageIndex(), 3);
    QCOMPARE(w.page(3), calibration);
    QCOMPARE(f.built[7], 0);
    w.findChild<QAction *>("Action_Calibration")->trigger();   // the same page: nothing, no box
    QCOMPARE(rec.count(), 7);

    // Stopped: leaving works; the probe calibration page guards itself the same way.
    calibration->running = false;
    w.findChild<QAction *>("Action_Layout")->trigger();
    QCOMPARE(w.currentPageIndex(), 2);
    w.findChild<QAction *>("Action_StandardizerCalibration")->trigger();
    QCOMPARE(w.currentPageIndex(), 8);
    static_cast<FakeRunningPage *>(w.page(8))->running = true;
    rec.clear();
    w.findChild<QAction *>("Action_Calibration")->trigger();
    QCOMPARE(rec.texts(), QStringList({"设备正在运行中，请停止运行！"}));
    QCOMPARE(w.currentPageIndex(), 8);
    static_cast<FakeRunningPage *>(w.page(8))->running = false;
    w.findChild<QAction *>("Action_Calibration")->trigger();
    QCOMPARE(w.currentPageIndex(), 3);
    QCOMPARE(f.built[3], 2);   // a fresh page on every visit

    // Exactly one page exists at a time.
    int alive = 0;
    for (int i = 0; i < Pages::Count; ++i)
        alive += w.page(i) != nullptr;
    QCOMPARE(alive, 1);
    QCOMPARE(w.centralWidget()->findChildren<FakeRunningPage *>().size(), 1);
}

void TestMainWindow::settingsPageGetsBackupsAndSignals()
{
    Workspace ws;
    QVERIFY(QDir(ws.path(".")).mkdir("bk"));
    ws.write("config.ini", QStringLiteral("[Backups]\nAutoBackup=true\nBackupsCycle=3\nBackupPath=%1\n"
                                          "[SystemSet]\nLanguage=中文\n")
                               .arg(ws.path("bk"))
                               .toUtf8());
    Factory f;
    MessageRecorder rec;
    PCR w(options(&f));
    w.findChild<QAction *>("Action_SystemSet")->trigger();
    auto *settings = dynamic_cast<FakeSettingsPage *>(w.page(7));
    QVERIFY(settings);
    QVERIFY(settings->autoBackup);
    QCOMPARE(settings->cycle, 3);
    QCOMPARE(settings->path, ws.path("bk"));

    // The page's signals reach the window.
    emit settings->sp_SQListClose_signals();
    QVERIFY(!Tool::isDatabaseOpen());
    emit settings->sp_SQListOpen_signals();
    QVERIFY(Tool::isDatabaseOpen());
    emit settings->sp_Language_signals("English");
    QCOMPARE(w.windowTitle(), QStringLiteral("PCR Calibration System"));
    QCOMPARE(settings->retranslated, 1);
    emit settings->sp_Language_signals("中文");
    QCOMPARE(w.windowTitle(), QStringLiteral("PCR仪校准系统软件"));

    // Settings changed while the page is shown take effect when it is left.
    {
        const auto ini = Tool::configFile();
        ini->setValue("Backups/BackupsCycle", 9);
        ini->setValue("Backups/AutoBackup", false);
    }
    w.findChild<QAction *>("Action_Admin")->trigger();
    w.findChild<QAction *>("Action_SystemSet")->trigger();
    settings = dynamic_cast<FakeSettingsPage *>(w.page(7));
    QCOMPARE(settings->cycle, 9);
    QVERIFY(!settings->autoBackup);

    // A database that cannot be reopened is reported.
    emit settings->sp_SQListClose_signals();
    QFile::remove(ws.path("PCR.db3"));
    QVERIFY(QDir(ws.path(".")).mkdir("PCR.db3"));
    emit settings->sp_SQListOpen_signals();
    QCOMPARE(rec.texts(), QStringList({"打开数据库失败！"}));
    QDir(ws.path("PCR.db3")).removeRecursively();
}

void TestMainWindow::toolbarDialogsDoNotChangeThePage()
{
    Workspace ws;
    Factory f;
    PCR w(options(&f));
    w.findChild<QAction *>("Action_Calibration")->trigger();
    static_cast<FakeRunningPage *>(w.page(3))->running = true;   // also during a run
    QStringList titles;
    for (const char *name : {"Action_Standardizer", "Action_CyclicFile", "Action_Help"}) {
        QTimer::singleShot(0, [&titles] {
            QWidget *modal = QApplication::activeModalWidget();
            titles << (modal ? modal->windowTitle() : QStringLiteral("<none>"));
            if (modal) {
                QVERIFY(!modal->parentWidget());   // without parent
                modal->close();
            }
        });
        w.findChild<QAction *>(name)->trigger();
    }
    QCOMPARE(titles, QStringList({"探头管理", "步骤文件", "关于"}));
    QCOMPARE(w.currentPageIndex(), 3);
}

void TestMainWindow::backupRules()
{
    const QDateTime now(QDate(2024, 6, 10), QTime(12, 0, 0));
    QVERIFY(PCR::backupDue(QDateTime(), 1, now));     // never backed up (or unparsable)
    QVERIFY(PCR::backupDue(QDateTime(), 0, now));
    QVERIFY(PCR::backupDue(now, 0, now));             // cycle 0: every tick
    QVERIFY(PCR::backupDue(now.addSecs(-1), 0, now));
    QVERIFY(PCR::backupDue(now.addDays(-1), 1, now)); // exactly due
    QVERIFY(!PCR::backupDue(now.addDays(-1).addSecs(1), 1, now));
    QVERIFY(!PCR::backupDue(now.addDays(-6), 7, now));
    QVERIFY(PCR::backupDue(now.addDays(-8), 7, now));

    QCOMPARE(PCR::backupTarget("/data/bk", now), QStringLiteral("/data/bk/2024_06_10_12_00_PCR.db3"));
    QCOMPARE(PCR::backupTarget("D:\\data\\bk", now), QStringLiteral("D:/data/bk/2024_06_10_12_00_PCR.db3"));
}

// A tick of the backup timer, and the backup it may have started carried through.
void tick(PCR &w)
{
    w.BackupTimer_slots();
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBackingUp(), 60000);
}

void TestMainWindow::backupTick()
{
    Workspace ws;
    QVERIFY(QDir(ws.path(".")).mkdir("bk"));
    const QString config = QStringLiteral("[Backups]\nAutoBackup=%1\nBackupsCycle=%2\nBackupPath=%3\nBackupTime=%4\n");
    const QStringList none;

    // Automatic backup off: nothing.
    ws.write("config.ini", config.arg("false", "1", ws.path("bk"), "").toUtf8());
    {
        PCR w(options(nullptr));
        tick(w);
        QCOMPARE(QDir(ws.path("bk")).entryList(QDir::Files), none);
    }

    // Unparsable last time: backed up at the first tick, and the time stored.
    ws.write("config.ini", config.arg("true", "1", ws.path("bk"), "yesterday").toUtf8());
    {
        PCR w(options(nullptr));
        QVERIFY(Tool::addCalibrationData({"p", "均匀度校准", "t", "1,2"}));
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        // Taken on a worker; a tick while it is under way starts no second one.
        w.BackupTimer_slots();
        QVERIFY(w.isBackingUp());
        tick(w);
        const QStringList files = QDir(ws.path("bk")).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY(QRegularExpression("^\\d{4}_\\d\\d_\\d\\d_\\d\\d_\\d\\d_PCR\\.db3$").match(files.first()).hasMatch());
        const QDateTime stored = QDateTime::fromString(backupTimeIn(ws.path("config.ini")), "yyyy-MM-dd hh:mm:ss");
        QVERIFY(stored.isValid());
        QVERIFY(stored >= before.addSecs(-1));
        // The copy is a complete database holding the committed row.
        QVERIFY(Tool::isPcrDatabase(ws.path("bk/" + files.first())));
        // The next tick is not due for a day.
        tick(w);
        QCOMPARE(QDir(ws.path("bk")).entryList(QDir::Files).size(), 1);
    }
    QDir(ws.path("bk")).removeRecursively();

    // A missing folder: no backup, the time stays as it was, the next tick tries again.
    ws.write("config.ini", config.arg("true", "1", ws.path("bk"), "").toUtf8());
    {
        PCR w(options(nullptr));
        tick(w);
        QVERIFY(!QFileInfo::exists(ws.path("bk")));
        QCOMPARE(backupTimeIn(ws.path("config.ini")), QString());
        QVERIFY(QDir(ws.path(".")).mkdir("bk"));
        tick(w);
        QCOMPARE(QDir(ws.path("bk")).entryList(QDir::Files).size(), 1);
    }

    // An empty folder setting never writes a backup somewhere else.
    ws.write("config.ini", config.arg("true", "0", "", "").toUtf8());
    {
        PCR w(options(nullptr));
        tick(w);
        QCOMPARE(backupTimeIn(ws.path("config.ini")), QString());
    }
}

void TestMainWindow::readOnlyConfigLosesNothing()
{
    Workspace ws;
    QVERIFY(QDir(ws.path(".")).mkdir("bk"));
    const QByteArray content = QStringLiteral("[Backups]\nAutoBackup=true\nBackupsCycle=1\nBackupPath=%1\n\n"
                                              "[SystemSet]\nLanguage=中文\nTemperatureUnit=℉\n")
                                   .arg(ws.path("bk"))
                                   .toUtf8();
    ws.write("config.ini", content);
    QVERIFY(QFile::setPermissions(ws.path("config.ini"), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    AsOrdinaryUser ordinary;
    QVERIFY(ordinary.active());
    PCR w(options(nullptr));
    QCOMPARE(Tool::TemperatureUnit, QStringLiteral("℉"));
    tick(w);
    QCOMPARE(QDir(ws.path("bk")).entryList(QDir::Files).size(), 1);   // the backup itself is made
    tick(w);   // and remembered for the run, though the file could not take the time
    QCOMPARE(QDir(ws.path("bk")).entryList(QDir::Files).size(), 1);
    QCOMPARE(ws.read("config.ini"), content);
}

void TestMainWindow::logOutAndInAsAnotherUser()
{
    Workspace ws;
    QVERIFY(ws.openDatabase());
    Tool::Struct_UesrManagement op = Schema::initialUser();
    op.Name = QStringLiteral("op");
    op.Rights = QStringLiteral("操作员");
    op.Problem = QStringLiteral("你所在的公司为？");
    op.ExpirationDate = QStringLiteral("2099-01-01 00:00:00");
    op.setAllRights(false);
    op.CalibrationStartUp = true;
    QVERIFY(Tool::addUesrManagement(op));
    Tool::closeDatabase();

    // admin first, then op, then nobody.
    QStringList who = {QStringLiteral("admin"), QStringLiteral("op")};
    PCR::Options o;
    o.splashMs = 0;
    o.login = [&who] {
        if (who.isEmpty())
            return false;
        QList<Tool::Struct_UesrManagement> users;
        Tool::getUesrManagement(users, who.takeFirst());
        Tool::CurrentUser = users.value(0);
        return true;
    };
    MessageRecorder rec;
    PCR w(o);
    const auto addButton = [&w] {
        return w.page(Pages::PCRDevicePage)->findChild<QPushButton *>("pushButton_Add");
    };
    QVERIFY(addButton()->isEnabled());
    w.showPage(Pages::DataExportPage);

    // Answering No keeps the user and the page.
    rec.answerNext(QMessageBox::No);
    QVERIFY(!w.logOut());
    QCOMPARE(Tool::CurrentUser.Name, QStringLiteral("admin"));
    QCOMPARE(w.currentPageIndex(), int(Pages::DataExportPage));

    rec.clear();
    rec.answerNext(QMessageBox::Yes);
    QVERIFY(w.logOut());
    QCOMPARE(rec.texts(), QStringList({"是否注销当前用户？"}));
    QCOMPARE(Tool::CurrentUser.Name, QStringLiteral("op"));
    QCOMPARE(w.currentPageIndex(), int(Pages::PCRDevicePage));
    // The page is built anew with op's rights.
    QVERIFY(!addButton()->isEnabled());
    QVERIFY(!w.loginRefused());
    const QList<Tool::Struct_AuditLog> audit = Workspace::audit();
    QCOMPARE(audit.last().Details, QStringLiteral("用户注销。"));
    QCOMPARE(audit.last().Operator, QStringLiteral("admin"));
    QStringList statusTexts;
    for (QLabel *l : w.statusBar()->findChildren<QLabel *>())
        statusTexts << l->text();
    QVERIFY(statusTexts.contains(QStringLiteral("当前用户为：op")));

    // Nobody logs in: the program ends.
    rec.answerNext(QMessageBox::Yes);
    QVERIFY(w.logOut());
    QVERIFY(w.loginRefused());
}

void TestMainWindow::exitNeedsConfirmation()
{
    Workspace ws;
    MessageRecorder rec;
    PCR w(options(nullptr));
    w.show();
    rec.answerNext(QMessageBox::No);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(rec.last().kind, MessageRecorder::Question);
    QCOMPARE(rec.last().title, QStringLiteral("退出程序"));
    QCOMPARE(rec.last().text, QStringLiteral("确认退出程序?"));
    QCOMPARE(rec.last().buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(Workspace::audit().isEmpty());

    rec.answerNext(QMessageBox::Yes);
    QVERIFY(w.close());
    const auto audit = Workspace::audit();
    QCOMPARE(audit.size(), 1);
    QCOMPARE(audit.first().Type, QStringLiteral("用户管理-登录"));
    QCOMPARE(audit.first().Details, QStringLiteral("退出软件。"));
    QCOMPARE(audit.first().Operator, QStringLiteral("admin"));
}

void TestMainWindow::englishLeavesNoChinese()
{
    Workspace ws;
    ws.write("config.ini", "[SystemSet]\nLanguage=English\n");
    Factory f;
    MessageRecorder rec;
    PCR w(options(&f));
    QCOMPARE(w.windowTitle(), QStringLiteral("PCR Calibration System"));
    for (int page : {5, 6, 0, 1, 4, 2}) {   // ends on the layout page
        w.showPage(page);
        for (const QString &text : shownTexts(w))
            QVERIFY2(!hasChinese(text), qPrintable(QStringLiteral("page %1: %2").arg(page).arg(text)));
    }
    rec.answerNext(QMessageBox::No);
    w.close();
    QVERIFY(!hasChinese(rec.last().title) && !hasChinese(rec.last().text));
    QVERIFY(!hasChinese(Tool::auditTypeName(84)));

    // And back at run time, without a restart.
    w.sp_Language_slots("中文");
    QCoreApplication::processEvents();   // pages follow through the language-change event
    QCOMPARE(w.windowTitle(), QStringLiteral("PCR仪校准系统软件"));
    QCOMPARE(w.findChild<QAction *>("Action_Admin")->text(), QStringLiteral("用户管理"));
    QCOMPARE(w.findChild<QLabel *>("label_Choice")->text(), QStringLiteral("选取布点图："));
    QVERIFY(hasChinese(Pages::title(w.currentPageIndex())));
    w.sp_Language_slots("English");
    QCoreApplication::processEvents();
    QCOMPARE(w.findChild<QAction *>("Action_Admin")->text(), QStringLiteral("Users"));
    for (const QString &text : shownTexts(w))
        QVERIFY2(!hasChinese(text), qPrintable(text));
    w.sp_Language_slots("中文");
}

namespace {

// Every fixed text a form shows: titles, labels, buttons, boxes, list items, headers, hints.
QStringList formTexts(QWidget *form)
{
    QStringList texts{form->windowTitle(), form->toolTip()};
    for (const QWidget *w : form->findChildren<QWidget *>()) {
        texts << w->toolTip() << w->windowTitle();
        if (auto *l = qobject_cast<const QLabel *>(w))
            texts << l->text();
        if (auto *b = qobject_cast<const QAbstractButton *>(w))
            texts << b->text();
        if (auto *g = qobject_cast<const QGroupBox *>(w))
            texts << g->title();
        if (auto *e = qobject_cast<const QLineEdit *>(w))
            texts << e->placeholderText();
        // Languages are listed in their own words.
        if (auto *c = qobject_cast<const QComboBox *>(w);
            c && !c->isEditable() && c->objectName() != QLatin1String("comboBox_Language"))
            for (int i = 0; i < c->count(); ++i)
                texts << c->itemText(i);
        if (auto *t = qobject_cast<const QTableWidget *>(w))
            for (int i = 0; i < t->columnCount(); ++i)
                texts << (t->horizontalHeaderItem(i) ? t->horizontalHeaderItem(i)->text() : QString());
    }
    return texts;
}

} // namespace

void TestMainWindow::englishFormsOfTheShellRegistriesAndUsers()
{
    Workspace ws;
    QVERIFY(ws.openDatabase());
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/i18n/pcr_en.qm")));
    QCoreApplication::installTranslator(&english);
    QList<Tool::Struct_UesrManagement> users;
    Tool::getUesrManagement(users, "admin");
    Tool::CurrentUser = users.value(0);
    QWidget parent;
    std::vector<std::unique_ptr<QWidget>> forms;
    for (int page : {Pages::PCRDevicePage, Pages::ElectrometerPage, Pages::LayoutPage, Pages::AdminPage,
                     Pages::AuditLogPage, Pages::SystemSetPage})
        forms.emplace_back(Pages::createPage(page, &parent));
    forms.emplace_back(Pages::createDialog(Pages::Dialog::CyclicFile));
    forms.emplace_back(new Login);
    forms.emplace_back(new Help);
    forms.emplace_back(new AdminAdd(users.value(0).Rights));
    forms.emplace_back(new AdminEdit(users.value(0).Rights, users.value(0)));
    auto *rights = new Jurisdiction;
    rights->setUser(users.value(0));
    forms.emplace_back(rights);
    forms.emplace_back(new CyclicFileAdd);
    forms.emplace_back(new LayoutAdd);
    Tool::Struct_CyclicFile file;
    file.StepCount = QStringLiteral("1");
    forms.emplace_back(new CyclicFileDisplay(file));
    for (const auto &form : forms)
        for (const QString &text : formTexts(form.get()))
            QVERIFY2(!hasChinese(text), qPrintable(form->metaObject()->className() + QStringLiteral(": ") + text));
    QCoreApplication::removeTranslator(&english);
}

void TestMainWindow::helpOpensTheManual()
{
    for (const QString &language : {QStringLiteral("中文"), QStringLiteral("English")}) {
        const QString path = Help::manualPath(language);
        QVERIFY(!path.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        QVERIFY(html.contains("<html"));
        QCOMPARE(hasChinese(html), language == QStringLiteral("中文"));
        QVERIFY(html.contains("123456"));   // the initial account is documented
    }
    // Before any settings are read (the database did not open) the window speaks Chinese, and so
    // does the manual it opens.
    QVERIFY(Help::manualPath(QString()).endsWith("/zh/index.html"));

    // The copy is written where nobody else can plant a link: neither a link at a fixed name in
    // the shared temporary folder nor one in the cache folder makes it delete what it points to.
    {
        QTemporaryDir sandbox;
        QVERIFY(sandbox.isValid());
        const QByteArray cacheBefore = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(sandbox.filePath("cache")));
        QVERIFY(QDir().mkpath(sandbox.filePath("victim")));
        QVERIFY(QDir().mkpath(sandbox.filePath("cache/pcrcal")));
        QFile keep(sandbox.filePath("victim/keep.txt"));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.close();
        const QString oldPlace = QDir::tempPath() + QStringLiteral("/pcrcal-manual-%1").arg(::getuid());
        QDir(oldPlace).removeRecursively();
        QFile::remove(oldPlace);
        QVERIFY(QFile::link(sandbox.filePath("victim"), oldPlace));
        QVERIFY(!Help::manualPath(QStringLiteral("中文")).isEmpty());
        QVERIFY(QFile::exists(sandbox.filePath("victim/keep.txt")));
        QFile::remove(oldPlace);

        QVERIFY(QDir(sandbox.filePath("cache/pcrcal/manual")).removeRecursively());
        QVERIFY(QFile::link(sandbox.filePath("victim"), sandbox.filePath("cache/pcrcal/manual")));
        QVERIFY(Help::manualPath(QStringLiteral("中文")).isEmpty());
        QVERIFY(QFile::exists(sandbox.filePath("victim/keep.txt")));
        QVERIFY(QFile::remove(sandbox.filePath("cache/pcrcal/manual")));
        QVERIFY(Help::manualPath(QStringLiteral("中文")).startsWith(sandbox.filePath("cache/pcrcal/manual/")));
        if (cacheBefore.isNull())
            qunsetenv("XDG_CACHE_HOME");
        else
            qputenv("XDG_CACHE_HOME", cacheBefore);
    }

    QUrl opened;
    const auto previous = Help::openUrl;
    Help::openUrl = [&opened](const QUrl &url) {
        opened = url;
        return true;
    };
    Tool::Language = "中文";
    MessageRecorder rec;
    Help help;
    QCOMPARE(help.windowTitle(), QStringLiteral("关于"));
    help.findChild<QPushButton *>("pushButton_Help")->click();
    QVERIFY(opened.isLocalFile());
    QVERIFY(opened.toLocalFile().endsWith("/zh/index.html"));
    QVERIFY(QFile::exists(opened.toLocalFile()));
    QVERIFY(rec.isEmpty());

    Help::openUrl = [](const QUrl &) { return false; };   // no viewer on this desktop
    help.findChild<QPushButton *>("pushButton_Help")->click();
    QCOMPARE(rec.count(), 1);
    QVERIFY(rec.last().text.startsWith("无法打开用户手册："));
    Help::openUrl = previous;

    help.show();
    help.findChild<QPushButton *>("pushButton_OK")->click();
    QVERIFY(!help.isVisible());
}

// Every page and toolbar dialog that is built fills its window with RGB 240, 240, 240.
void TestMainWindow::pagesAndDialogsShareTheBackground()
{
    Workspace ws;
    QVERIFY(ws.openDatabase());
    Tool::CurrentUser.setAllRights(true);
    MessageRecorder rec;
    QWidget parent;
    std::vector<std::unique_ptr<QWidget>> built;
    for (int i = 0; i < Pages::Count; ++i)
        built.emplace_back(Pages::createPage(i, &parent));
    built.emplace_back(Pages::createDialog(Pages::Dialog::CyclicFile));
    built.emplace_back(new Help);
    int painted = 0;
    for (const auto &w : built) {
        if (QLatin1String(w->metaObject()->className()) == QLatin1String("EmptyPage"))
            continue;
        QVERIFY2(w->autoFillBackground(), w->metaObject()->className());
        QCOMPARE(w->palette().color(QPalette::Window), QColor(240, 240, 240));
        ++painted;
    }
    QVERIFY(painted >= 9);
    QVERIFY(rec.isEmpty());
}

PCR_TEST_CLASS(TestMainWindow)
#include "tst_mainwindow.moc"
