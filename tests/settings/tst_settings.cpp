// The settings page inside the real main window: settings and their audit entries, the language
// switch, the automatic backup switch, the backup folder, manual backup and restore.

#include "../support/Connection.h"
#include "../support/Workspace.h"
#include "../support/file_permissions.h"

#include "app/SystemSet.h"
#include "app/messages.h"
#include "app/pages.h"
#include "app/pcr.h"
#include "store/DatabaseSettings.h"
#include "store/WorkerThread.h"
#include "store/auditchain.h"
#include "store/tool.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlError>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

PCR::Options loggedInAsAdmin()
{
    PCR::Options o;
    o.splashMs = 0;
    o.login = [] {
        QList<Tool::Struct_UesrManagement> users;
        Tool::getUesrManagement(users, QStringLiteral("admin"));
        Tool::CurrentUser = users.value(0);
        return true;
    };
    return o;
}

// Lets a backup or a restore started by a click run to its end (they run on the page's worker).
void settle(SystemSet *page)
{
    QTRY_VERIFY_WITH_TIMEOUT(!page->isBusy(), 60000);
}

// The main window logged in as the initial account, showing the settings page.
struct Window
{
    Window() : window(loggedInAsAdmin())
    {
        window.showPage(Pages::SystemSetPage);
    }
    SystemSet *page() const { return qobject_cast<SystemSet *>(window.page(Pages::SystemSetPage)); }
    template<class W>
    W *child(const char *name) const { return page()->findChild<W *>(QLatin1String(name)); }
    void click(const char *button) const
    {
        child<QPushButton>(button)->click();
        settle(page());
    }
    void leaveAndReturn()
    {
        window.showPage(Pages::AuditLogPage);
        window.showPage(Pages::SystemSetPage);
    }

    PCR window;
};

// What the boxes said, without the confirmation asked before a restore.
QStringList shown(const MessageRecorder &rec)
{
    QStringList texts;
    for (const auto &box : rec.boxes())
        if (box.kind != MessageRecorder::Question)
            texts << box.text;
    return texts;
}

QVariant configValue(const QString &key)
{
    return Tool::configFile()->value(key);
}

QStringList auditTypes()
{
    QStringList types;
    for (const auto &row : Workspace::audit())
        types << row.Type;
    return types;
}

// The answers the folder and file dialogs give, and what they were asked.
struct Choosers
{
    Choosers()
    {
        SystemSet::chooseDirectory = [this](QWidget *, const QString &title, const QString &dir) {
            asked << title + QLatin1Char('|') + dir;
            return answer;
        };
        SystemSet::chooseFile = [this](QWidget *, const QString &title, const QString &dir, const QString &filter) {
            asked << title + QLatin1Char('|') + dir + QLatin1Char('|') + filter;
            return answer;
        };
    }
    ~Choosers()
    {
        SystemSet::chooseDirectory = savedDirectory;
        SystemSet::chooseFile = savedFile;
    }
    QString answer;
    QStringList asked;
    decltype(SystemSet::chooseDirectory) savedDirectory = SystemSet::chooseDirectory;
    decltype(SystemSet::chooseFile) savedFile = SystemSet::chooseFile;
};

Tool::Struct_PCRDevice device(const QString &number)
{
    Tool::Struct_PCRDevice d;
    d.Number = number;
    d.DeviceName = QStringLiteral("PCR仪");
    return d;
}

bool hasDevice(const QString &number)
{
    QList<Tool::Struct_PCRDevice> list;
    return Tool::getPCRDevice(list, number) && list.size() == 1;
}

QStringList entries(const QString &dir)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

QByteArray bytesOf(const QString &fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSystemSet : public QObject
{
    Q_OBJECT

private slots:
    void freshInstallDefaults();
    void badConfigValuesFallBack_data();
    void badConfigValuesFallBack();
    void showsTheCurrentValues();
    void rightsDisableTheirControls();
    void setWithoutChangesOnlyReappliesTheLanguage();
    void languageAloneWritesCodeSixAndSwitchesAtOnce();
    void everyChangedSettingWritesOneEntryInOrder();
    void unwritableConfigIsReported();
    void autoBackupSwitch();
    void chooseBackupFolder();
    void manualBackupRules();
    void backupHoldsExactlyTheCommittedRows();
    void backupWhileAnotherThreadWrites();
    void backupRunsOnAWorker();
    void restoreGoodFile();
    void restoreRefusesWhatIsNoPcrDatabase();
    void foreignBackupRestoredOnlyWhenConfirmed();
    void restoreOfTheLiveFileChangesNothing();
    void restoreThatDoesNotOpenPutsTheFileBack();
    void restoreWithoutRoomForTheCopyChangesNothing();
    void databaseSettings_data();
    void databaseSettings();
    void databaseSectionIsForAdministrators();
    void backupAndRestoreRefusedOnServer();
};

void TestSystemSet::freshInstallDefaults()
{
    {
        // An existing file is never replaced by the defaults.
        const QByteArray own = "[SystemSet]\nLanguage=English\n";
        Workspace ws;
        ws.write("config.ini", own);
        QVERIFY(Tool::createDefaultConfig());
        QCOMPARE(ws.read("config.ini"), own);
    }
    Workspace ws;
    MessageRecorder rec;
    Window w;
    QVERIFY(w.page());
    QCOMPARE(configValue("SystemSet/Language").toString(), QStringLiteral("中文"));
    QCOMPARE(configValue("SystemSet/TemperatureUnit").toString(), QStringLiteral("℃"));
    QCOMPARE(configValue("SystemSet/TemperatureAccuracy").toInt(), 2);
    QCOMPARE(configValue("SystemSet/Format").toString(), QStringLiteral("Word"));
    QCOMPARE(configValue("Backups/AutoBackup").toBool(), false);
    QCOMPARE(configValue("Backups/BackupsCycle").toInt(), 1);

    QCOMPARE(w.child<QComboBox>("comboBox_Language")->currentText(), QStringLiteral("中文"));
    QCOMPARE(w.child<QComboBox>("comboBox_TemperatureUnit")->currentText(), QStringLiteral("℃"));
    QCOMPARE(w.child<QComboBox>("comboBox_DataNumber")->currentText(), QStringLiteral("2"));
    QCOMPARE(w.child<QComboBox>("comboBox_Format")->currentText(), QStringLiteral("Word"));
    QVERIFY(!w.child<QCheckBox>("checkBox_AutoBackup")->isChecked());
    QCOMPARE(w.child<QLineEdit>("lineEdit_BackupsCycle")->text(), QStringLiteral("1"));
    QCOMPARE(w.child<QLineEdit>("lineEdit_BackupPath")->text(), QString());
    QVERIFY(rec.isEmpty());
}

void TestSystemSet::showsTheCurrentValues()
{
    Workspace ws;
    QVERIFY(QDir(ws.path(".")).mkdir("bk"));
    ws.write("config.ini", QStringLiteral("[SystemSet]\nCorporateName=计量院\nLanguage=中文\nTemperatureUnit=℉\n"
                                          "TemperatureAccuracy=3\nFormat=Excel\n"
                                          "[Backups]\nAutoBackup=true\nBackupsCycle=7\nBackupPath=%1\n")
                               .arg(ws.path("bk"))
                               .toUtf8());
    MessageRecorder rec;
    Window w;
    SystemSet *page = w.page();
    QVERIFY(page);
    QCOMPARE(page->windowTitle(), QStringLiteral("系统设置"));
    QCOMPARE(page->palette().color(QPalette::Window), QColor(240, 240, 240));
    QCOMPARE(w.child<QGroupBox>("groupBox_Backups")->title(), QStringLiteral("备份设置"));
    QCOMPARE(w.child<QGroupBox>("groupBox_System")->title(), QStringLiteral("系统参数"));
    QCOMPARE(w.child<QLabel>("label_Language")->text(), QStringLiteral("语    言："));

    auto items = [&](const char *name) {
        QStringList texts;
        auto *box = w.child<QComboBox>(name);
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    };
    QCOMPARE(items("comboBox_Language"), QStringList({"中文", "English"}));
    QCOMPARE(items("comboBox_DataNumber"), QStringList({"0", "1", "2", "3", "4"}));
    QCOMPARE(items("comboBox_TemperatureUnit"), QStringList({"℃", "℉"}));
    QCOMPARE(items("comboBox_Format"), QStringList({"Word", "Excel", "PDF"}));

    QCOMPARE(w.child<QLineEdit>("lineEdit_CompanyName")->text(), QStringLiteral("计量院"));
    QCOMPARE(w.child<QComboBox>("comboBox_TemperatureUnit")->currentText(), QStringLiteral("℉"));
    QCOMPARE(w.child<QComboBox>("comboBox_DataNumber")->currentText(), QStringLiteral("3"));
    QCOMPARE(w.child<QComboBox>("comboBox_Format")->currentText(), QStringLiteral("Excel"));
    // The backup values come from the main window.
    QVERIFY(w.child<QCheckBox>("checkBox_AutoBackup")->isChecked());
    QCOMPARE(w.child<QLineEdit>("lineEdit_BackupsCycle")->text(), QStringLiteral("7"));
    QCOMPARE(w.child<QLineEdit>("lineEdit_BackupPath")->text(), ws.path("bk"));
    QCOMPARE(page->backupFolder(), ws.path("bk"));

    // Only whole days can be typed as the cycle.
    auto *cycle = w.child<QLineEdit>("lineEdit_BackupsCycle");
    cycle->clear();
    QTest::keyClicks(cycle, "-2x5");
    QCOMPARE(cycle->text(), QStringLiteral("25"));
    QVERIFY(rec.isEmpty());
}

void TestSystemSet::rightsDisableTheirControls()
{
    Workspace ws;
    QVERIFY(Tool::openDatabase());
    const char *const backupControls[] = {"checkBox_AutoBackup", "lineEdit_BackupsCycle", "lineEdit_BackupPath",
                                          "pushButton_Select", "pushButton_Backups", "pushButton_Recovery"};
    struct Case
    {
        bool SQLBackups, CompanyName, SystemSet, Format;
    };
    for (const Case c : {Case{true, true, true, true}, Case{false, true, true, true}, Case{true, false, true, true},
                         Case{true, true, false, true}, Case{true, true, true, false}, Case{false, false, false, false}}) {
        Tool::CurrentUser = Tool::Struct_UesrManagement();
        Tool::CurrentUser.SQLBackups = c.SQLBackups;
        Tool::CurrentUser.CompanyName = c.CompanyName;
        Tool::CurrentUser.SystemSet = c.SystemSet;
        Tool::CurrentUser.Format = c.Format;
        SystemSet page;
        for (const char *name : backupControls)
            QCOMPARE(page.findChild<QWidget *>(name)->isEnabled(), c.SQLBackups);
        QCOMPARE(page.findChild<QWidget *>("lineEdit_CompanyName")->isEnabled(), c.CompanyName);
        QCOMPARE(page.findChild<QWidget *>("pushButton_Set")->isEnabled(), c.SystemSet);
        QCOMPARE(page.findChild<QWidget *>("comboBox_Format")->isEnabled(), c.Format);
        // Unit, language and decimals are there for whoever may press "设置".
        for (const char *name : {"comboBox_TemperatureUnit", "comboBox_Language", "comboBox_DataNumber"})
            QVERIFY(page.findChild<QWidget *>(name)->isEnabled());
    }
}

void TestSystemSet::setWithoutChangesOnlyReappliesTheLanguage()
{
    Workspace ws;
    MessageRecorder rec;
    Window w;
    QSignalSpy language(w.page(), &SystemSet::sp_Language_signals);
    w.click("pushButton_Set");
    QVERIFY(Workspace::audit().isEmpty());
    QCOMPARE(language.count(), 1);
    QCOMPARE(language.first().first().toString(), QStringLiteral("中文"));
    QCOMPARE(rec.texts(), QStringList({"设置成功！"}));
    QCOMPARE(rec.last().title, QStringLiteral("提示"));
    QCOMPARE(w.window.windowTitle(), QStringLiteral("PCR仪校准系统软件"));
}

void TestSystemSet::languageAloneWritesCodeSixAndSwitchesAtOnce()
{
    Workspace ws;
    MessageRecorder rec;
    Window w;
    SystemSet *page = w.page();
    w.child<QComboBox>("comboBox_Language")->setCurrentText("English");
    w.click("pushButton_Set");

    auto audit = Workspace::audit();
    QCOMPARE(audit.size(), 1);
    QCOMPARE(audit.first().Type, QStringLiteral("系统设置-语言切换"));
    QCOMPARE(audit.first().Details, QStringLiteral("修改语言设置。"));
    QCOMPARE(audit.first().Operator, QStringLiteral("admin"));
    QCOMPARE(Tool::Language, QStringLiteral("English"));
    QCOMPARE(configValue("SystemSet/Language").toString(), QStringLiteral("English"));

    // The main window and the page (the same object, not rebuilt) speak English at once.
    QCOMPARE(w.page(), page);
    QCOMPARE(w.window.windowTitle(), QStringLiteral("PCR Calibration System"));
    QCOMPARE(w.window.findChild<QAction *>("Action_SystemSet")->text(), QStringLiteral("Settings"));
    QCOMPARE(page->windowTitle(), QStringLiteral("System Settings"));
    QCOMPARE(w.child<QPushButton>("pushButton_Set")->text(), QStringLiteral("Apply"));
    QCOMPARE(w.child<QGroupBox>("groupBox_Backups")->title(), QStringLiteral("Backup"));
    QCOMPARE(w.child<QCheckBox>("checkBox_AutoBackup")->text(), QStringLiteral("Automatic backup"));
    QCOMPARE(rec.last().text, QStringLiteral("Settings applied."));
    // Re-applying the texts leaves what the user entered alone.
    QCOMPARE(w.child<QLineEdit>("lineEdit_BackupsCycle")->text(), QStringLiteral("1"));
    QCOMPARE(w.child<QComboBox>("comboBox_Language")->currentText(), QStringLiteral("English"));

    // And back, with a second entry of the same kind.
    w.child<QComboBox>("comboBox_Language")->setCurrentText("中文");
    w.click("pushButton_Set");
    audit = Workspace::audit();
    QCOMPARE(audit.size(), 2);
    QCOMPARE(audit.last().Details, QStringLiteral("Language changed."));   // written before the switch
    QCOMPARE(w.window.windowTitle(), QStringLiteral("PCR仪校准系统软件"));
    QCOMPARE(w.child<QPushButton>("pushButton_Set")->text(), QStringLiteral("设置"));
    QCOMPARE(rec.last().text, QStringLiteral("设置成功！"));
}

void TestSystemSet::everyChangedSettingWritesOneEntryInOrder()
{
    Workspace ws;
    MessageRecorder rec;
    Window w;
    w.child<QLineEdit>("lineEdit_CompanyName")->setText("计量检测中心");
    w.child<QComboBox>("comboBox_DataNumber")->setCurrentText("4");
    w.child<QComboBox>("comboBox_TemperatureUnit")->setCurrentText("℉");
    w.child<QComboBox>("comboBox_Format")->setCurrentText("PDF");
    w.click("pushButton_Set");
    QCOMPARE(auditTypes(), QStringList({Tool::auditTypeName(5), Tool::auditTypeName(8), Tool::auditTypeName(7),
                                        Tool::auditTypeName(9)}));
    QCOMPARE(Workspace::auditDetails(), QStringList({"修改公司名称。", "修改温度精度。", "修改温度单位。", "修改导出格式。"}));
    QCOMPARE(Tool::CorporateName, QStringLiteral("计量检测中心"));
    QCOMPARE(Tool::TemperatureAccuracy, 4);
    QCOMPARE(Tool::TemperatureUnit, QStringLiteral("℉"));
    QCOMPARE(Tool::Format, QStringLiteral("PDF"));

    // What the next start reads.
    Tool::CorporateName.clear();
    Tool::TemperatureAccuracy = 0;
    Tool::readSystemSettings();
    QCOMPARE(Tool::CorporateName, QStringLiteral("计量检测中心"));
    QCOMPARE(Tool::TemperatureAccuracy, 4);
    QCOMPARE(Tool::TemperatureUnit, QStringLiteral("℉"));
    QCOMPARE(Tool::Language, QStringLiteral("中文"));
    QCOMPARE(Tool::Format, QStringLiteral("PDF"));

    // A fresh visit shows them; pressing again changes nothing more.
    w.leaveAndReturn();
    QCOMPARE(w.child<QComboBox>("comboBox_TemperatureUnit")->currentText(), QStringLiteral("℉"));
    w.click("pushButton_Set");
    QCOMPARE(Workspace::audit().size(), 4);
}

// A hand-edited or damaged config.ini: a value outside its choices is replaced by the default of
// a fresh installation (and logged); a missing key still reads empty.
void TestSystemSet::badConfigValuesFallBack_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("accuracy");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("format");
    QTest::newRow("kelvin") << QByteArray("TemperatureUnit=K\nTemperatureAccuracy=3\n") << "℃" << 3 << "" << "";
    QTest::newRow("negative decimals") << QByteArray("TemperatureAccuracy=-7\n") << "" << 2 << "" << "";
    QTest::newRow("too many decimals") << QByteArray("TemperatureAccuracy=12\n") << "" << 2 << "" << "";
    QTest::newRow("decimals not a number") << QByteArray("TemperatureAccuracy=two\n") << "" << 2 << "" << "";
    QTest::newRow("unknown language and format")
        << QByteArray("Language=Klingon\nFormat=ODT\nTemperatureUnit=\xe2\x84\x89\n") << "℉" << 0 << "中文" << "Word";
    QTest::newRow("good values stay") << QByteArray("Language=English\nFormat=PDF\nTemperatureAccuracy=4\n") << ""
                                      << 4 << "English" << "PDF";
}

void TestSystemSet::badConfigValuesFallBack()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, unit);
    QFETCH(int, accuracy);
    QFETCH(QString, language);
    QFETCH(QString, format);
    Workspace ws;
    ws.write("config.ini", "[SystemSet]\n" + ini);
    Tool::readSystemSettings();
    QCOMPARE(Tool::TemperatureUnit, unit);
    QCOMPARE(Tool::TemperatureAccuracy, accuracy);
    QCOMPARE(Tool::Language, language);
    QCOMPARE(Tool::Format, format);
}

void TestSystemSet::unwritableConfigIsReported()
{
    Workspace ws;
    QVERIFY(QDir(ws.path(".")).mkdir("bk"));
    MessageRecorder rec;
    Choosers choose;
    Window w;
    w.page()->setBackups(false, 3, ws.path("bk"));
    const QByteArray before = ws.read("config.ini");
    QVERIFY(QFile::setPermissions(ws.path("config.ini"), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    AsOrdinaryUser ordinary;
    QVERIFY(ordinary.active());

    // Settings hold for this run, and the user learns they will not survive it.
    w.child<QComboBox>("comboBox_TemperatureUnit")->setCurrentText("℉");
    w.click("pushButton_Set");
    QCOMPARE(Tool::TemperatureUnit, QStringLiteral("℉"));
    QCOMPARE(rec.last().text, QStringLiteral("设置已生效，但无法写入配置文件！"));
    QCOMPARE(rec.last().title, QStringLiteral("警告"));

    // The switch and the folder are not shown as changed when they could not be stored.
    w.child<QCheckBox>("checkBox_AutoBackup")->click();
    QVERIFY(!w.child<QCheckBox>("checkBox_AutoBackup")->isChecked());
    QCOMPARE(rec.last().text, QStringLiteral("无法写入配置文件！"));
    choose.answer = ws.path(".");
    w.click("pushButton_Select");
    QCOMPARE(w.child<QLineEdit>("lineEdit_BackupPath")->text(), ws.path("bk"));
    QCOMPARE(w.page()->backupFolder(), ws.path("bk"));
    QCOMPARE(rec.last().text, QStringLiteral("无法写入配置文件！"));

    QCOMPARE(ws.read("config.ini"), before);
    QCOMPARE(auditTypes(), QStringList({Tool::auditTypeName(7)}));
}

void TestSystemSet::autoBackupSwitch()
{
    Workspace ws;
    MessageRecorder rec;
    Window w;
    auto *box = w.child<QCheckBox>("checkBox_AutoBackup");
    auto *cycle = w.child<QLineEdit>("lineEdit_BackupsCycle");

    // An empty or zero cycle is refused both ways and the switch goes back.
    for (const bool on : {false, true}) {
        for (const char *text : {"", "0"}) {
            w.page()->setBackups(on, 1, ws.path("."));
            cycle->setText(text);
            rec.clear();
            box->click();
            QCOMPARE(box->isChecked(), on);
            QCOMPARE(rec.texts(), QStringList({"备份周期不能为0！"}));
            QCOMPARE(rec.last().title, QStringLiteral("警告"));
        }
    }
    QCOMPARE(configValue("Backups/AutoBackup").toBool(), false);
    QVERIFY(Workspace::audit().isEmpty());

    // Switching on needs an existing folder.
    w.page()->setBackups(false, 2, ws.path("missing"));
    rec.clear();
    box->click();
    QVERIFY(!box->isChecked());
    QCOMPARE(rec.texts(), QStringList({"备份路径不存在！"}));
    QCOMPARE(rec.last().title, QStringLiteral("提示"));
    QCOMPARE(configValue("Backups/AutoBackup").toBool(), false);
    QVERIFY(Workspace::audit().isEmpty());

    // On, with the typed cycle.
    QVERIFY(QDir(ws.path(".")).mkdir("bk"));
    w.page()->setBackups(false, 2, ws.path("bk"));
    cycle->setText("5");
    rec.clear();
    box->click();
    QVERIFY(box->isChecked());
    QVERIFY(rec.isEmpty());
    QCOMPARE(configValue("Backups/AutoBackup").toBool(), true);
    QCOMPARE(configValue("Backups/BackupsCycle").toInt(), 5);
    QCOMPARE(Workspace::auditDetails(), QStringList({"自动数据备份开。"}));
    QCOMPARE(auditTypes(), QStringList({Tool::auditTypeName(2)}));

    // A cycle typed without touching the switch is not stored.
    cycle->setText("9");
    QCOMPARE(configValue("Backups/BackupsCycle").toInt(), 5);

    // The main window takes the values when the page is left; the next visit shows them.
    w.leaveAndReturn();
    QVERIFY(w.child<QCheckBox>("checkBox_AutoBackup")->isChecked());
    QCOMPARE(w.child<QLineEdit>("lineEdit_BackupsCycle")->text(), QStringLiteral("5"));

    // Off, even when the folder has gone meanwhile: a vanished folder must not keep it on.
    QVERIFY(QDir(ws.path("bk")).removeRecursively());
    w.child<QCheckBox>("checkBox_AutoBackup")->click();
    QVERIFY(!w.child<QCheckBox>("checkBox_AutoBackup")->isChecked());
    QCOMPARE(configValue("Backups/AutoBackup").toBool(), false);
    QCOMPARE(Workspace::auditDetails(), QStringList({"自动数据备份开。", "自动数据备份关。"}));
}

void TestSystemSet::chooseBackupFolder()
{
    Workspace ws;
    QVERIFY(QDir(ws.path(".")).mkdir("bk"));
    MessageRecorder rec;
    Choosers choose;
    Window w;

    // Cancelled: nothing.
    w.click("pushButton_Select");
    QCOMPARE(choose.asked, QStringList({"选择目录|./"}));
    QCOMPARE(w.child<QLineEdit>("lineEdit_BackupPath")->text(), QString());
    QVERIFY(Workspace::audit().isEmpty());
    QVERIFY(!configValue("Backups/BackupPath").isValid() || configValue("Backups/BackupPath").toString().isEmpty());

    choose.answer = ws.path("bk");
    w.click("pushButton_Select");
    QCOMPARE(w.child<QLineEdit>("lineEdit_BackupPath")->text(), ws.path("bk"));
    QCOMPARE(w.page()->backupFolder(), ws.path("bk"));
    QCOMPARE(configValue("Backups/BackupPath").toString(), ws.path("bk"));
    QCOMPARE(Workspace::auditDetails(), QStringList({"修改备份保存路径。"}));
    QCOMPARE(auditTypes(), QStringList({Tool::auditTypeName(4)}));
    QVERIFY(rec.isEmpty());
    // The path is chosen, not typed: what is shown is what the main window uses.
    QVERIFY(w.child<QLineEdit>("lineEdit_BackupPath")->isReadOnly());

    // The chosen folder is the one the switch checks.
    w.child<QCheckBox>("checkBox_AutoBackup")->click();
    QVERIFY(w.child<QCheckBox>("checkBox_AutoBackup")->isChecked());
    QVERIFY(rec.isEmpty());
}

void TestSystemSet::manualBackupRules()
{
    Workspace ws;
    MessageRecorder rec;
    Window w;
    QVERIFY(Tool::addPCRDevice(device("D1")));

    w.click("pushButton_Backups");
    QCOMPARE(rec.texts(), QStringList({"请选择备份路径！"}));
    QCOMPARE(rec.last().title, QStringLiteral("警告"));

    w.page()->setBackups(false, 1, ws.path("missing"));
    rec.clear();
    w.click("pushButton_Backups");
    QCOMPARE(rec.texts(), QStringList({"备份失败：路径不存在！"}));
    QCOMPARE(rec.last().title, QStringLiteral("提示"));
    QVERIFY(Workspace::audit().isEmpty());

    // A folder given with backslashes: the same folder, and a target with forward slashes only.
    QVERIFY(QDir(ws.path(".")).mkpath("bk/sub"));
    w.page()->setBackups(false, 1, ws.path("bk") + QStringLiteral("\\sub"));
    // Two backups in the same minute: the second fails and leaves the first alone. Retried when
    // the minute turns between them.
    QStringList files;
    for (int attempt = 0; attempt < 3; ++attempt) {
        for (const QString &f : entries(ws.path("bk/sub")))
            QFile::remove(ws.path("bk/sub/" + f));
        rec.clear();
        const QString minute = QDateTime::currentDateTime().toString("yyyyMMddhhmm");
        w.click("pushButton_Backups");
        w.click("pushButton_Backups");
        if (QDateTime::currentDateTime().toString("yyyyMMddhhmm") == minute)
            break;
    }
    QCOMPARE(rec.texts(), QStringList({"备份成功！", "备份失败！"}));
    QCOMPARE(rec.boxes().at(0).title, QStringLiteral("提示"));
    QCOMPARE(rec.boxes().at(1).title, QStringLiteral("提示"));
    files = entries(ws.path("bk/sub"));
    QCOMPARE(files.size(), 1);
    QVERIFY(QRegularExpression("^\\d{4}_\\d\\d_\\d\\d_\\d\\d_\\d\\d_PCR\\.db3$").match(files.first()).hasMatch());
    const QString backup = ws.path("bk/sub/" + files.first());
    QVERIFY(Tool::isPcrDatabase(backup));
    {
        Connection copy(backup);
        QCOMPARE(copy.count("select count(*) from PCRDevice where Number = 'D1'"), 1);
    }
    QCOMPARE(Workspace::auditDetails(), QStringList({"手动数据备份。"}));
    QCOMPARE(auditTypes(), QStringList({Tool::auditTypeName(1)}));
    const QDateTime stored = QDateTime::fromString(configValue("Backups/BackupTime").toString(), "yyyy-MM-dd hh:mm:ss");
    QVERIFY(stored.isValid());
    QCOMPARE(stored.toString("yyyy_MM_dd_hh_mm") + "_PCR.db3", files.first());
    QCOMPARE(PCR::backupTarget(ws.path("bk") + "\\sub", stored), backup);

    // A folder the program may not write into.
    QVERIFY(QDir(ws.path(".")).mkdir("locked"));
    QVERIFY(QFile::setPermissions(ws.path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    {
        AsOrdinaryUser ordinary;
        QVERIFY(ordinary.active());
        w.page()->setBackups(false, 1, ws.path("locked"));
        rec.clear();
        w.click("pushButton_Backups");
        QCOMPARE(rec.texts(), QStringList({"备份失败！"}));
        QCOMPARE(entries(ws.path("locked")), QStringList());
    }
    QVERIFY(QFile::setPermissions(ws.path("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
}

void TestSystemSet::backupHoldsExactlyTheCommittedRows()
{
    Workspace ws;
    QVERIFY(QDir(ws.path(".")).mkdir("bk"));
    MessageRecorder rec;
    Window w;
    w.page()->setBackups(false, 1, ws.path("bk"));

    // Another connection has committed rows and is in the middle of writing more.
    Connection writer(ws.path("PCR.db3"));
    QVERIFY(writer.db().isOpen());
    QVERIFY(writer.db().transaction());
    for (int i = 0; i < 300; ++i)
        QVERIFY(writer.exec(QStringLiteral("insert into CalibrationData values ('run', 'm', 't%1', '1,2')").arg(i)));
    QVERIFY(writer.db().commit());
    QVERIFY(writer.db().transaction());
    for (int i = 300; i < 500; ++i)
        QVERIFY(writer.exec(QStringLiteral("insert into CalibrationData values ('run', 'm', 't%1', '1,2')").arg(i)));

    w.click("pushButton_Backups");
    // The backup's audit entry may not get past the other writer's lock; it is then reported.
    QVERIFY2(rec.texts().contains("备份成功！"), qPrintable(rec.texts().join('|')));
    for (const QString &text : rec.texts())
        QVERIFY(text == "备份成功！" || text.startsWith("审计日志写入失败！"));
    QVERIFY(writer.db().commit());

    const QStringList files = entries(ws.path("bk"));
    QCOMPARE(files.size(), 1);
    QVERIFY(Tool::isPcrDatabase(ws.path("bk/" + files.first())));
    Connection copy(ws.path("bk/" + files.first()), "tst-copy");
    QCOMPARE(copy.text("pragma integrity_check"), QStringLiteral("ok"));
    QCOMPARE(copy.count("select count(*) from CalibrationData"), 300);
    QCOMPARE(copy.count("select count(*) from CalibrationData where Time = 't299'"), 1);
}

// Rows are committed one by one from a worker thread on its own connection while the backup runs,
// paced as an acquisition stores its samples (far faster than any real interval). A writer that
// never pauses can starve the backup's read lock; that backup then reports "备份失败！".
void TestSystemSet::backupWhileAnotherThreadWrites()
{
    Workspace ws;
    QVERIFY(QDir(ws.path(".")).mkdir("bk"));
    MessageRecorder rec;
    Window w;
    w.page()->setBackups(false, 1, ws.path("bk"));
    const QString file = ws.path("PCR.db3");

    std::atomic<int> committed{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> failed{false};
    std::unique_ptr<QThread> worker(QThread::create([&] {
        Connection writer(file, "tst-worker");
        for (int i = 0; !stop; ++i) {
            QSqlQuery q(writer.db());
            q.prepare("insert into CalibrationData values ('run', 'm', ?, '1,2')");
            q.addBindValue(i);
            if (!q.exec()) {
                failed = true;
                return;
            }
            committed = i + 1;
            QThread::msleep(10);
        }
    }));
    worker->start();
    while (committed < 50 && !failed)
        QThread::msleep(5);
    const int before = committed;
    w.click("pushButton_Backups");
    const int after = committed;
    while (committed < after + 10 && !failed)   // still writing once the backup is done
        QThread::msleep(5);
    stop = true;
    worker->wait();
    QVERIFY(!failed);
    QCOMPARE(rec.texts(), QStringList({"备份成功！"}));

    const QStringList files = entries(ws.path("bk"));
    QCOMPARE(files.size(), 1);
    Connection copy(ws.path("bk/" + files.first()), "tst-copy");
    QVERIFY(Tool::isPcrDatabase(ws.path("bk/" + files.first())));
    const int held = copy.count("select count(*) from CalibrationData");
    // Every row committed before the backup started, and rows 0..held-1 without a gap.
    QVERIFY2(held >= before && held <= after, qPrintable(QStringLiteral("%1 <= %2 <= %3").arg(before).arg(held).arg(after)));
    QCOMPARE(copy.count("select count(distinct cast(Time as integer)) from CalibrationData"), held);
    QCOMPARE(copy.count("select max(cast(Time as integer)) from CalibrationData"), held - 1);
}

// The backup runs on the page's worker behind a modal progress window; its outcome is told when
// it is over, and a second press meanwhile starts nothing.
void TestSystemSet::backupRunsOnAWorker()
{
    Workspace ws;
    QVERIFY(QDir(ws.path(".")).mkdir("bk"));
    MessageRecorder rec;
    Window w;
    w.page()->setBackups(false, 1, ws.path("bk"));
    w.child<QPushButton>("pushButton_Backups")->click();
    QVERIFY(w.page()->isBusy());
    QVERIFY(w.page()->worker()->workThread() && w.page()->worker()->workThread() != QThread::currentThread());
    auto *progress = w.page()->findChild<QProgressDialog *>();
    QVERIFY(progress && progress->isVisible());
    QCOMPARE(progress->windowModality(), Qt::WindowModal);
    QVERIFY(rec.isEmpty());
    w.child<QPushButton>("pushButton_Backups")->click();
    settle(w.page());
    QCOMPARE(rec.texts(), QStringList({"备份成功！"}));
    QCOMPARE(entries(ws.path("bk")).size(), 1);
    QTRY_VERIFY(!w.page()->findChild<QProgressDialog *>());
}

void TestSystemSet::restoreGoodFile()
{
    Workspace ws;
    QVERIFY(QDir(ws.path(".")).mkdir("bk"));
    MessageRecorder rec;
    Choosers choose;
    Window w;
    QVERIFY(Tool::addPCRDevice(device("BEFORE")));
    w.page()->setBackups(false, 1, ws.path("bk"));
    w.click("pushButton_Backups");
    QCOMPARE(rec.texts(), QStringList({"备份成功！"}));
    const QString backup = ws.path("bk/" + entries(ws.path("bk")).first());
    QVERIFY(Tool::addPCRDevice(device("AFTER")));
    // A backup on read-only media still gives a database that takes new rows.
    QVERIFY(QFile::setPermissions(backup, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const QByteArray backupBytes = bytesOf(backup);

    // Cancelled: nothing.
    QSignalSpy closed(w.page(), &SystemSet::sp_SQListClose_signals);
    rec.clear();
    w.click("pushButton_Recovery");
    // It opens in the backup folder.
    QCOMPARE(choose.asked, QStringList({"选择文件|" + ws.path("bk") + "|数据库备份 (*.db3)"}));
    QVERIFY(rec.isEmpty());
    QCOMPARE(closed.count(), 0);

    const QStringList workspaceFiles = entries(ws.path("."));
    choose.answer = backup;
    // Asked first, naming the backup's time; No changes nothing.
    w.click("pushButton_Recovery");
    QCOMPARE(rec.count(), 1);
    QCOMPARE(rec.last().kind, MessageRecorder::Question);
    const QString when = QDateTime::fromString(QFileInfo(backup).fileName().left(16), "yyyy_MM_dd_hh_mm")
                             .toString("yyyy-MM-dd hh:mm:ss");
    QVERIFY2(rec.last().text.contains(when), qPrintable(rec.last().text));
    QCOMPARE(closed.count(), 0);
    QVERIFY(hasDevice("AFTER"));
    rec.clear();
    rec.setDefaultAnswer(QMessageBox::Yes);
    AsOrdinaryUser ordinary;
    QVERIFY(ordinary.active());
    w.click("pushButton_Recovery");
    QCOMPARE(shown(rec), QStringList({"恢复成功！"}));
    QCOMPARE(rec.last().title, QStringLiteral("提示"));
    QCOMPARE(closed.count(), 1);
    QVERIFY(Tool::isDatabaseOpen());
    QVERIFY(hasDevice("BEFORE"));
    QVERIFY(!hasDevice("AFTER"));
    // The entry lands in the restored database, which goes on taking rows; the backup is untouched.
    // The entries written since the backup (the backup's own) are carried over, then the restore's.
    const auto audit = Workspace::audit();
    QCOMPARE(audit.size(), 2);
    QCOMPARE(audit.first().Details, QStringLiteral("手动数据备份。"));
    QCOMPARE(audit.last().Details, QStringLiteral("手动恢复数据。文件：%1，备份时间：%2，保留此后的审计记录 1 条。")
                                       .arg(QDir::toNativeSeparators(backup), when));
    QCOMPARE(audit.last().Type, Tool::auditTypeName(3));
    QVERIFY(Tool::addPCRDevice(device("NEXT")));
    QCOMPARE(bytesOf(backup), backupBytes);
    QVERIFY(QFileInfo(ws.path("PCR.db3")).isWritable());
    // Nothing left behind beside the database.
    QCOMPARE(entries(ws.path(".")), workspaceFiles);
}

// Another workspace's backup, its newest entry later than any here: named as foreign, restored
// only when that is confirmed, and then on record; the trail holds to the heads recorded since.
void TestSystemSet::foreignBackupRestoredOnlyWhenConfirmed()
{
    Workspace ws;
    MessageRecorder rec;
    Choosers choose;
    Window w;
    Tool::SaveAuditLog(AuditEvent::UserLogin, QStringLiteral("here"));
    Tool::closeDatabase();
    QVERIFY(Tool::openDatabase(ws.path("other.db3")));
    Tool::SaveAuditLog(AuditEvent::UserLogin, QStringLiteral("elsewhere, later"));
    Tool::closeDatabase();
    QVERIFY(Tool::openDatabase(ws.path("PCR.db3")));
    choose.answer = ws.path("other.db3");
    rec.answerNext(QMessageBox::Yes);
    rec.answerNext(QMessageBox::No);
    w.click("pushButton_Recovery");
    QCOMPARE(rec.count(), 2);
    QVERIFY2(rec.last().text.contains(QStringLiteral("外来备份")) && rec.last().text.contains(ws.path("other.db3")),
             qPrintable(rec.last().text));
    QCOMPARE(Workspace::auditDetails(), QStringList{"here"});
    rec.clear();
    rec.setDefaultAnswer(QMessageBox::Yes);
    w.click("pushButton_Recovery");
    QCOMPARE(shown(rec), QStringList({"恢复成功！"}));
    const QStringList details = Workspace::auditDetails();
    QCOMPARE(details.mid(0, 2), (QStringList{"elsewhere, later", "here"}));
    QVERIFY2(details.last().startsWith(QStringLiteral("手动恢复数据（外来备份，已确认）。")), qPrintable(details.last()));
    QVERIFY(ws.read("PCR.db3.anchors").contains(" foreign "));
    QVERIFY(AuditChain::verifyFile(ws.path("PCR.db3")).intact);
}

void TestSystemSet::restoreRefusesWhatIsNoPcrDatabase()
{
    Workspace ws;
    MessageRecorder rec;
    Choosers choose;
    Window w;
    QVERIFY(Tool::addPCRDevice(device("LIVE")));
    QSignalSpy closed(w.page(), &SystemSet::sp_SQListClose_signals);

    ws.write("notes.db3", "这不是数据库\n");
    ws.write("empty.db3", "");
    {
        Connection other(ws.path("other.db3"), "tst-other");
        QVERIFY(other.exec("create table Things (a text)"));
    }
    {
        // Every table of the program but one (a snapshot: the live file alone may lack what its
        // -wal holds).
        QVERIFY(Tool::backupDatabase(ws.path("partial.db3")));
        Connection partial(ws.path("partial.db3"), "tst-partial");
        QVERIFY(partial.exec("drop table AuditLog"));
    }
    const QStringList before = entries(ws.path("."));
    const QByteArray live = bytesOf(ws.path("PCR.db3"));
    for (const char *name : {"notes.db3", "empty.db3", "other.db3", "partial.db3", "missing.db3"}) {
        rec.clear();
        choose.answer = ws.path(name);
        w.click("pushButton_Recovery");
        QCOMPARE(rec.texts(), QStringList({"恢复失败！"}));
        QCOMPARE(rec.last().title, QStringLiteral("提示"));
    }
    // The connection was never closed and the live file never touched.
    QCOMPARE(closed.count(), 0);
    QVERIFY(Tool::isDatabaseOpen());
    QCOMPARE(bytesOf(ws.path("PCR.db3")), live);
    QCOMPARE(entries(ws.path(".")), before);
    QVERIFY(hasDevice("LIVE"));
    QVERIFY(Workspace::audit().isEmpty());
}

void TestSystemSet::restoreOfTheLiveFileChangesNothing()
{
    Workspace ws;
    MessageRecorder rec;
    Choosers choose;
    Window w;
    QVERIFY(Tool::addPCRDevice(device("LIVE")));
    QSignalSpy closed(w.page(), &SystemSet::sp_SQListClose_signals);
    QVERIFY(QFile::link(ws.path("PCR.db3"), ws.path("link.db3")));
    const QByteArray live = bytesOf(ws.path("PCR.db3"));
    for (const QString &name : {ws.path("PCR.db3"), QStringLiteral("PCR.db3"), QStringLiteral("./PCR.db3"),
                                ws.path("link.db3")}) {
        rec.clear();
        choose.answer = name;
        w.click("pushButton_Recovery");
        QCOMPARE(rec.texts(), QStringList({"所选文件就是当前数据库，无需恢复！"}));
        QCOMPARE(rec.last().title, QStringLiteral("提示"));
    }
    QCOMPARE(closed.count(), 0);
    QVERIFY(Tool::isDatabaseOpen());
    QCOMPARE(bytesOf(ws.path("PCR.db3")), live);
    QVERIFY(hasDevice("LIVE"));
    QVERIFY(Workspace::audit().isEmpty());
}

void TestSystemSet::restoreThatDoesNotOpenPutsTheFileBack()
{
    Workspace ws;
    MessageRecorder rec;
    Choosers choose;
    Window w;
    QVERIFY(Tool::addPCRDevice(device("LIVE")));

    // Every table is there, but the index the program adds on opening cannot be created.
    {
        Connection broken(ws.path("broken.db3"), "tst-broken");
        QSqlQuery q(QSqlDatabase::database());
        QVERIFY(q.exec("select sql from sqlite_master where type = 'table'"));
        while (q.next())
            QVERIFY(broken.exec(q.value(0).toString()));
        QVERIFY(broken.exec("insert into PCRDevice (Number) values ('BROKEN')"));
        QVERIFY(broken.exec("create table CalibrationData_Name_Model (x text)"));
    }
    QVERIFY(Tool::isPcrDatabase(ws.path("broken.db3")));
    // Everything in the file itself, as closing the database for the swap leaves it.
    QVERIFY(QSqlQuery(QSqlDatabase::database()).exec("PRAGMA wal_checkpoint(TRUNCATE)"));
    const QStringList before = entries(ws.path("."));
    const QByteArray live = bytesOf(ws.path("PCR.db3"));

    choose.answer = ws.path("broken.db3");
    rec.setDefaultAnswer(QMessageBox::Yes);
    w.click("pushButton_Recovery");
    QCOMPARE(shown(rec), QStringList({"打开数据库失败！", "恢复失败！"}));
    QVERIFY(Tool::isDatabaseOpen());
    QVERIFY(hasDevice("LIVE"));
    QVERIFY(!hasDevice("BROKEN"));
    QCOMPARE(bytesOf(ws.path("PCR.db3")), live);
    QCOMPARE(entries(ws.path(".")), before);
    QVERIFY(Workspace::audit().isEmpty());

    // Nobody closes the connection (a page without its main window): the file is not swapped.
    {
        Connection good(ws.path("good.db3"), "tst-good");
        QSqlQuery q(QSqlDatabase::database());
        QVERIFY(q.exec("select sql from sqlite_master where type = 'table'"));
        while (q.next())
            QVERIFY(good.exec(q.value(0).toString()));
    }
    SystemSet alone;
    Choosers again;
    again.answer = ws.path("good.db3");
    rec.clear();
    alone.findChild<QPushButton *>("pushButton_Recovery")->click();
    settle(&alone);
    QCOMPARE(shown(rec), QStringList({"恢复失败！"}));
    QVERIFY(hasDevice("LIVE"));
    QStringList expected = before;
    expected << "good.db3";
    expected.sort();
    QCOMPARE(entries(ws.path(".")), expected);
}

void TestSystemSet::restoreWithoutRoomForTheCopyChangesNothing()
{
    Workspace ws;
    QVERIFY(QDir(ws.path(".")).mkdir("bk"));
    MessageRecorder rec;
    Choosers choose;
    Window w;
    QVERIFY(Tool::addPCRDevice(device("BACKED")));
    w.page()->setBackups(false, 1, ws.path("bk"));
    w.click("pushButton_Backups");
    QVERIFY(Tool::addPCRDevice(device("LIVE")));
    const QByteArray live = bytesOf(ws.path("PCR.db3"));
    const QStringList before = entries(ws.path("."));

    // The workspace folder takes no new file: the copy cannot be made beside the database.
    QVERIFY(QFile::setPermissions(ws.path("."), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    {
        AsOrdinaryUser ordinary;
        QVERIFY(ordinary.active());
        QSignalSpy closed(w.page(), &SystemSet::sp_SQListClose_signals);
        rec.clear();
        choose.answer = ws.path("bk/" + entries(ws.path("bk")).first());
        rec.setDefaultAnswer(QMessageBox::Yes);
        w.click("pushButton_Recovery");
        QCOMPARE(shown(rec), QStringList({"恢复失败！"}));
        QCOMPARE(closed.count(), 0);
        QVERIFY(Tool::isDatabaseOpen());
    }
    QVERIFY(QFile::setPermissions(ws.path("."), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QCOMPARE(bytesOf(ws.path("PCR.db3")), live);
    QCOMPARE(entries(ws.path(".")), before);
    QVERIFY(hasDevice("LIVE"));
}

// The database section writes group "Database" of config.ini (never a password) and leaves the
// open database alone until the next start; what cannot be a server address is refused unwritten.
void TestSystemSet::databaseSettings_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    const QString saved = QStringLiteral("数据库设置已保存，将在程序下次启动时生效。");
    QTest::newRow("server") << 1 << "db.lab" << "5433" << "pcrcal" << saved;
    QTest::newRow("the file again") << 0 << "" << "" << "" << saved;
    QTest::newRow("no host") << 1 << "" << "5432" << "pcrcal" << "请输入数据库服务器地址！";
    QTest::newRow("port 0") << 1 << "db.lab" << "0" << "pcrcal" << "数据库端口应为1到65535！";
    QTest::newRow("name with blanks") << 1 << "db.lab" << "5432" << "pcr cal" << "数据库名称只能由字母、数字和下划线组成！";
}

void TestSystemSet::databaseSettings()
{
    QFETCH(int, kind);
    QFETCH(QString, host);
    QFETCH(QString, port);
    QFETCH(QString, name);
    QFETCH(QString, message);
    Workspace ws;
    MessageRecorder rec;
    Window w;
    const QString opened = Tool::databaseFileName();
    QVERIFY(w.child<QGroupBox>("groupBox_Database")->isEnabled());
    w.child<QComboBox>("comboBox_DatabaseKind")->setCurrentIndex(kind);
    w.child<QLineEdit>("lineEdit_DatabaseHost")->setText(host);
    w.child<QLineEdit>("lineEdit_DatabasePort")->setText(port);
    w.child<QLineEdit>("lineEdit_DatabaseName")->setText(name);
    w.child<QLineEdit>("lineEdit_DatabaseUser")->setText("station");
    w.click("pushButton_Database");
    QCOMPARE(rec.texts(), QStringList{message});
    const bool written = message.startsWith(QStringLiteral("数据库设置已保存"));
    QCOMPARE(configValue("Database/Kind").isValid(), written);
    if (written) {
        const DatabaseSettings read = DatabaseSettings::read();
        QCOMPARE(read.isPostgreSQL(), kind == 1);
        if (kind == 1) {
            QCOMPARE(read.host, host);
            QCOMPARE(read.port, port.toInt());
            QCOMPARE(read.dbname, name);
            QCOMPARE(read.user, QStringLiteral("station"));
        }
        QVERIFY(!configValue("Database/Password").isValid());
    }
    QCOMPARE(Tool::databaseFileName(), opened);
    QVERIFY(Tool::isDatabaseOpen());
}

void TestSystemSet::databaseSectionIsForAdministrators()
{
    Workspace ws;
    QVERIFY(Tool::openDatabase());
    for (const QString &role : {QStringLiteral("主管"), QStringLiteral("操作员"), QStringLiteral("管理员")}) {
        Tool::CurrentUser = Tool::Struct_UesrManagement();
        Tool::CurrentUser.Rights = role;
        Tool::CurrentUser.setAllRights(true);
        SystemSet page;
        QCOMPARE(page.findChild<QGroupBox *>("groupBox_Database")->isEnabled(), role == QStringLiteral("管理员"));
    }
}

// On a server the program neither backs up nor restores: each is refused naming the server's
// tools, no dialog opens, nothing is written and automatic backup stays off.
void TestSystemSet::backupAndRestoreRefusedOnServer()
{
    if (!ServerDatabase::requested())
        QSKIP("needs the PostgreSQL server (ctest label postgresql)");
    PCR_SERVER_RUN_CHECK();
    Workspace ws;
    QVERIFY(ws.openDatabase());   // names the server in config.ini, as a station's does
    Tool::closeDatabase();
    MessageRecorder rec;
    Choosers choosers;
    choosers.answer = ws.path("backup.db3");
    Window w;
    QVERIFY(Tool::isServerDatabase());
    QVERIFY(QDir(ws.path(".")).mkpath("bk"));
    w.page()->setBackups(false, 1, ws.path("bk"));
    w.click("pushButton_Backups");
    w.click("pushButton_Recovery");
    w.child<QCheckBox>("checkBox_AutoBackup")->click();
    QCOMPARE(rec.texts(), QStringList({Tool::serverBackupRefusal(), Tool::serverBackupRefusal(), Tool::serverBackupRefusal()}));
    QVERIFY(Tool::serverBackupRefusal().contains("pg_dump"));
    QVERIFY(choosers.asked.isEmpty());
    QVERIFY(!w.child<QCheckBox>("checkBox_AutoBackup")->isChecked());
    QVERIFY(entries(ws.path("bk")).isEmpty());
    QVERIFY(!configValue("Backups/AutoBackup").toBool());
    QString error;
    QVERIFY(!Tool::backupDatabase(ws.path("bk/direct.db3"), &error));
    QCOMPARE(error, Tool::serverBackupRefusal());
}

QTEST_MAIN(TestSystemSet)
#include "tst_settings.moc"
