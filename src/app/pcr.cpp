#include "app/pcr.h"

#include "app/help.h"
#include "store/logging.h"
#include "app/login.h"
#include "app/messages.h"
#include "app/pages.h"
#include "app/runningpage.h"
#include "store/Backup.h"
#include "store/databasefile.h"
#include "store/runrecords.h"
#include "store/WorkerThread.h"
#include "store/tool.h"
#include "ui_pcr.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QThread>
#include <QLabel>
#include <QLibraryInfo>
#include <QSettings>
#include <QSplashScreen>
#include <QTimer>

namespace {

// Toolbar action and icon stem of each page.
struct PageIcon
{
    QAction *Ui::PCRClass::*action;
    const char *stem;
};

const PageIcon pageIcons[Pages::Count] = {
    {&Ui::PCRClass::Action_RCRDevice, "RCRDevice"},
    {&Ui::PCRClass::Action_Electrometer, "Electrometer"},
    {&Ui::PCRClass::Action_Layout, "Layout"},
    {&Ui::PCRClass::Action_Calibration, "Calibrate"},
    {&Ui::PCRClass::Action_DataExport, "DataExport"},
    {&Ui::PCRClass::Action_Admin, "Admin"},
    {&Ui::PCRClass::Action_AuditLog, "AuditLog"},
    {&Ui::PCRClass::Action_SystemSet, "SystemSet"},
    {&Ui::PCRClass::Action_StandardizerCalibration, "Standardizer"},
};

QIcon icon(const char *stem, bool grey = false)
{
    return QIcon(QStringLiteral(":/PCR/Image/%1%2.png")
                     .arg(QLatin1String(stem), grey ? QStringLiteral("_grey") : QString()));
}


bool loginWithDialog()
{
    Login dialog;
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

PCR::PCR(QWidget *parent) : PCR(Options(), parent)
{
}

PCR::PCR(const Options &options, QWidget *parent)
    : QMainWindow(parent), ui(new Ui::PCRClass), m_options(options)
{
    if (!m_options.login)
        m_options.login = loginWithDialog;
    if (!m_options.pages)
        m_options.pages = Pages::createPage;

    ui->setupUi(this);
    connect(ui->Action_SystemSet, &QAction::triggered, this, &PCR::pt_SystemSet_triggered);
    connect(ui->Action_RCRDevice, &QAction::triggered, this, &PCR::pt_PCRDevice_triggererd);
    connect(ui->Action_Electrometer, &QAction::triggered, this, &PCR::pt_Electrometer_triggererd);
    connect(ui->Action_Standardizer, &QAction::triggered, this, &PCR::pt_Standardizer_triggererd);
    connect(ui->Action_StandardizerCalibration, &QAction::triggered, this,
            &PCR::pt_StandardizerCalibration_triggererd);
    connect(ui->Action_CyclicFile, &QAction::triggered, this, &PCR::pt_CyclicFile_triggererd);
    connect(ui->Action_Layout, &QAction::triggered, this, &PCR::pt_Layout_triggered);
    connect(ui->Action_Calibration, &QAction::triggered, this, &PCR::pt_Calibration_triggererd);
    connect(ui->Action_DataExport, &QAction::triggered, this, &PCR::pt_DataExport_triggererd);
    connect(ui->Action_Admin, &QAction::triggered, this, &PCR::pt_Admin_triggererd);
    connect(ui->Action_AuditLog, &QAction::triggered, this, &PCR::pt_AuditLog_triggererd);
    connect(ui->Action_Help, &QAction::triggered, this, &PCR::pt_Help_triggeed);
    // Before "关于": hand the station to a colleague without restarting.
    m_logout = new QAction(this);
    m_logout->setObjectName(QStringLiteral("Action_Logout"));
    m_logout->setIcon(icon("Logout"));
    ui->toolBar->insertAction(ui->Action_Help, m_logout);
    connect(m_logout, &QAction::triggered, this, &PCR::pt_Logout_triggered);

    ui->Action_RCRDevice->setIcon(icon("RCRDevice"));
    ui->Action_Electrometer->setIcon(icon("Electrometer"));
    ui->Action_Standardizer->setIcon(icon("StandardizerManagers"));
    ui->Action_Calibration->setIcon(icon("Calibrate"));
    ui->Action_DataExport->setIcon(icon("DataExport"));
    ui->Action_Help->setIcon(icon("Help"));
    ui->Action_SystemSet->setIcon(icon("SystemSet"));
    ui->Action_Layout->setIcon(icon("Layout"));
    ui->Action_Admin->setIcon(icon("Admin"));
    ui->Action_CyclicFile->setIcon(icon("CyclicFile"));
    ui->Action_AuditLog->setIcon(icon("AuditLog"));
    ui->Action_StandardizerCalibration->setIcon(icon("Standardizer"));
    setWindowIcon(QIcon(QStringLiteral(":/PCR/Image/PCR.ico")));

    QSplashScreen *splash = nullptr;
    if (m_options.splashMs > 0) {
        splash = new QSplashScreen(QPixmap(QStringLiteral(":/PCR/Image/Open.png")));
        splash->show();
        QCoreApplication::processEvents();   // let it paint once before the wait
        Tool::delayMs(m_options.splashMs);
    }
    startUp(splash);
    delete splash;
}

PCR::~PCR()
{
    // Pages go first: a page stops and joins its worker while the window's state still exists.
    for (QWidget *&p : pages) {
        delete p;
        p = nullptr;
    }
    Tool::setAuditFailureHandler(nullptr);
    QCoreApplication::removeTranslator(&translator);
    delete ui;
}

void PCR::startUp(QSplashScreen *splash)
{
    iconBase = 80;
    currentPage = -1;
    pages.fill(nullptr);

    // Read once: a database changed on the settings page is used from the next start.
    m_database = DatabaseSettings::read();
    // A database file that is not the program's own (another program's database, an empty or a
    // damaged file) is never written to: a new database may be started in another folder.
    while (!m_database.isPostgreSQL()) {
        DatabaseFile::Condition condition = DatabaseFile::Condition::None;
        const DatabaseFile::Kind kind = DatabaseFile::classify(m_database.location(), nullptr, &condition);
        // A read-only folder, a full disk or an I/O error is said as such; the database is
        // probably healthy, so no new one is offered in its place.
        if (kind == DatabaseFile::Kind::Inaccessible) {
            m_databaseCondition = DatabaseFile::conditionText(
                condition, QDir::current().absoluteFilePath(m_database.location()));
            break;
        }
        if (kind != DatabaseFile::Kind::Foreign && kind != DatabaseFile::Kind::NotDatabase)
            break;
        if (splash)
            splash->hide();
        const QString where = QDir::toNativeSeparators(QDir::current().absoluteFilePath(m_database.location()));
        const QString text = (kind == DatabaseFile::Kind::Foreign ? tr("%1 不是本程序的数据库（其中没有本程序的数据表），程序未作任何改动。")
                                                                  : tr("%1 不是可读的数据库（文件损坏或不是数据库），程序未作任何改动。"))
                                 .arg(where)
            + QLatin1Char('\n') + tr("是否在其他文件夹中新建数据库？");
        if (Messages::question(this, tr("警告"), text, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            break;
        const QString folder = m_options.chooseFolder ? m_options.chooseFolder()
                                                      : QFileDialog::getExistingDirectory(this, tr("新数据库的文件夹"));
        if (folder.isEmpty() || !QDir::setCurrent(folder))
            break;
        qDebug().noquote() << "工作目录改为：" + QDir::currentPath();
        m_database = DatabaseSettings::read();
    }
    if (!Tool::openDatabase(m_database)) {
        m_databaseFailed = true;
        // Nobody has logged in and there is nothing to work on: no page or registry dialog opens,
        // only the about box with its manual stays at hand.
        for (QAction *action : ui->toolBar->actions())
            action->setEnabled(action == ui->Action_Help);
        if (splash)
            splash->hide();
        Messages::information(this, tr("警告"), databaseFailure());
        return;
    }
    db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
    // No run is in progress at start-up: a run still marked running was cut off.
    RunRecords::markInterrupted();
    // An audit entry that cannot be stored (a read-only or full database) is told, not lost.
    Tool::setAuditFailureHandler([this](const QString &text) {
        const auto show = [this, text] {
            Messages::warning(this, tr("警告"), tr("审计日志写入失败！未记录的操作：%1").arg(text));
        };
        if (QThread::currentThread() == thread())
            show();
        else
            QMetaObject::invokeMethod(this, show, Qt::QueuedConnection);
    });

    Tool::createDefaultConfig();
    readBackupSettings();
    Tool::readSystemSettings();
    loadTranslator(Tool::Language);
    applyTexts();
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(245, 245, 245));
    setPalette(palette);
    if (splash)
        splash->hide();

    if (!m_options.login()) {
        m_loginRefused = true;
        return;
    }

    removeOldLogs();
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(16);
    ui->toolBar->setFont(font);
    ui->toolBar->setIconSize(QSize(iconBase - 30, iconBase - 30));
    ui->toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ui->toolBar->setMovable(false);

    buildStatusBar();
    clockTimer = new QTimer(this);
    connect(clockTimer, &QTimer::timeout, this, &PCR::TimeUpdate_slots);
    clockTimer->start(1000);
    TimeUpdate_slots();

    showPage(Pages::PCRDevicePage);

    backupTimer = new QTimer(this);
    connect(backupTimer, &QTimer::timeout, this, &PCR::BackupTimer_slots);
    backupTimer->start(300000);
}

void PCR::buildStatusBar()
{
    titleLabel = new QLabel(this);
    titleLabel->setMinimumSize(100, 20);
    clockLabel = new QLabel(this);
    clockLabel->setMinimumSize(200, 20);
    userLabel = new QLabel(this);
    userLabel->setMinimumSize(200, 20);
    userLabel->setTextFormat(Qt::PlainText);   // an account name is shown as typed
    copyrightLabel = new QLabel(this);
    copyrightLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    copyrightLabel->setTextFormat(Qt::RichText);
    copyrightLabel->setOpenExternalLinks(true);
    ui->statusBar->addWidget(titleLabel);
    ui->statusBar->addWidget(clockLabel);
    ui->statusBar->addWidget(userLabel);
    ui->statusBar->addPermanentWidget(copyrightLabel);
    applyTexts();
}

void PCR::applyTexts()
{
    ui->retranslateUi(this);
    m_logout->setText(tr("注销"));
    m_logout->setToolTip(tr("注销 / 切换用户"));
    if (titleLabel)
        titleLabel->setText(Pages::title(currentPage));
    if (userLabel)
        userLabel->setText(tr("当前用户为：") + Tool::CurrentUser.Name);
    if (copyrightLabel)
        copyrightLabel->setText(tr("版权所有 © %1 PCR仪校准系统开发组").arg(QStringLiteral(PCR_BUILD_YEAR)) + QStringLiteral("  ") +
                                tr("版本：%1").arg(version()));
}

void PCR::loadTranslator(const QString &language)
{
    QCoreApplication::removeTranslator(&translator);
    const QString file = language == QStringLiteral("中文") ? QStringLiteral(":/i18n/pcr_zh.qm")
                                                            : QStringLiteral(":/i18n/pcr_en.qm");
    if (!translator.load(file))
        qDebug() << "翻译文件加载失败：" << file;
    QCoreApplication::installTranslator(&translator);

    QCoreApplication::removeTranslator(&qtTranslator);
    if (language == QStringLiteral("中文")
        && qtTranslator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);
}

QString PCR::version()
{
    return QStringLiteral(PCR_VERSION);
}

QWidget *PCR::page(int index) const
{
    return index >= 0 && index < Pages::Count ? pages[size_t(index)] : nullptr;
}

QAction *PCR::pageAction(int index) const
{
    return index >= 0 && index < Pages::Count ? ui->*(pageIcons[index].action) : nullptr;
}

void PCR::setPageIcon(int index, bool grey)
{
    if (QAction *action = pageAction(index))
        action->setIcon(icon(pageIcons[index].stem, grey));
}

void PCR::showPage(int index)
{
    if (index == currentPage || index < 0 || index >= Pages::Count || m_databaseFailed)
        return;
    if (auto *running = dynamic_cast<RunningPage *>(page(currentPage))) {
        if (running->isRunning()) {
            Messages::information(this, tr("警告"), tr("设备正在运行中，请停止运行！"));
            return;
        }
    }
    if (titleLabel)
        titleLabel->setText(Pages::title(index));

    closePage();

    QWidget *fresh = m_options.pages(index, this);
    if (index == Pages::SystemSetPage) {
        if (auto *hooks = dynamic_cast<SystemSetHooks *>(fresh)) {
            hooks->setBackups(autoBackup, backupCycleDays, backupPath);
            hooks->connectShell(this, {[this] { SQListOpen_slots(); }, [this] { SQListClose_slots(); },
                                       [this](const QString &language) { sp_Language_slots(language); }});
        }
    }
    ui->verticalLayout_Widget->addWidget(fresh);
    pages[size_t(index)] = fresh;
    setPageIcon(index, true);
    currentPage = index;
}

void PCR::closePage()
{
    QWidget *old = page(currentPage);
    if (!old)
        return;
    ui->verticalLayout_Widget->removeWidget(old);
    pages[size_t(currentPage)] = nullptr;
    delete old;
    setPageIcon(currentPage, false);
    if (currentPage == Pages::SystemSetPage)
        readBackupSettings();   // changed backup settings take effect
}

void PCR::readBackupSettings()
{
    const Backup::Settings s = Backup::Settings::read();
    autoBackup = s.autoBackup;
    backupCycleDays = s.cycleDays;
    backupPath = s.folder;
    lastBackupTime = s.lastBackup;
}

bool PCR::backupDue(const QDateTime &lastBackup, int cycleDays, const QDateTime &now)
{
    return Backup::isDue(lastBackup, cycleDays, now);
}

QString PCR::backupTarget(const QString &folder, const QDateTime &now)
{
    return Backup::targetPath(folder, now);
}

void PCR::TimeUpdate_slots()
{
    if (clockLabel)
        clockLabel->setText(QDateTime::currentDateTime().toString(Tool::TimeFormat));
}

QString PCR::databaseFailure() const
{
    if (!m_databaseCondition.isEmpty())
        return tr("打开数据库失败！") + QLatin1Char('\n') + m_databaseCondition + QLatin1Char('\n')
            + tr("程序未作任何改动。");
    if (!m_database.isPostgreSQL())
        return tr("打开数据库失败！");
    return tr("打开数据库失败！") + QLatin1Char('\n') + tr("数据库服务器：%1").arg(m_database.describe());
}

void PCR::SQListOpen_slots()
{
    if (!Tool::openDatabase(m_database)) {
        Messages::information(this, tr("警告"), databaseFailure());
        return;
    }
    db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
}

void PCR::SQListClose_slots()
{
    Tool::closeDatabase();
}

void PCR::BackupTimer_slots()
{
    // A backup still under way from the last tick is not started twice. A server's database is
    // backed up by the server's own tools.
    if (!autoBackup || isBackingUp() || Tool::isServerDatabase())
        return;
    const QDateTime now = QDateTime::currentDateTime();
    if (!backupDue(lastBackupTime, backupCycleDays, now))
        return;
    const QString target = backupTarget(backupPath, now);
    // An empty or missing folder would put the copy somewhere nobody looks: refuse it.
    if (backupPath.isEmpty() || !QFileInfo(backupPath).isDir()) {
        qDebug().noquote() << "备份失败！" << target << "no folder";
        return;
    }
    // The snapshot reads on a connection of its own, on a worker: a run goes on storing its
    // samples and the window goes on answering while it is taken.
    if (!backupWorker)
        backupWorker = new WorkerThread(this);
    auto outcome = std::make_shared<std::pair<Backup::Result, QString>>(Backup::Result::Failed, QString());
    const QString database = Tool::databaseFileName();
    backupWorker->start(
        [outcome, database, target](WorkerThread &worker) {
            outcome->first = Backup::snapshot(database, target, {worker.cancelFlag(), {}}, &outcome->second);
        },
        [this, outcome, target, now] {
            if (outcome->first != Backup::Result::Done) {
                qDebug().noquote() << "备份失败！" << target << outcome->second;
                return;
            }
            qDebug().noquote() << "路径为：" + target;
            lastBackupTime = now;
            Backup::writeLastBackup(now);
        });
}

bool PCR::isBackingUp() const
{
    return backupWorker && backupWorker->isRunning();
}

void PCR::sp_Language_slots(const QString &language)
{
    loadTranslator(language);
    applyTexts();
    if (auto *hooks = dynamic_cast<SystemSetHooks *>(page(Pages::SystemSetPage)))
        hooks->retranslate();
}

void PCR::closeEvent(QCloseEvent *event)
{
    if (Messages::question(this, tr("退出程序"), tr("确认退出程序?"),
                           QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    Tool::SaveAuditLog(AuditEvent::UserLogin, tr("退出软件。"));
    event->accept();
}

void PCR::runDialog(QDialog *dialog)
{
    // Modal, without parent, with its own event loop; over any page, also during a run.
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->exec();
    delete dialog;
}

void PCR::pt_SystemSet_triggered() { showPage(Pages::SystemSetPage); }
void PCR::pt_PCRDevice_triggererd() { showPage(Pages::PCRDevicePage); }
void PCR::pt_Electrometer_triggererd() { showPage(Pages::ElectrometerPage); }
void PCR::pt_Layout_triggered() { showPage(Pages::LayoutPage); }
void PCR::pt_Calibration_triggererd() { showPage(Pages::CalibrationPage); }
void PCR::pt_DataExport_triggererd() { showPage(Pages::DataExportPage); }
void PCR::pt_Admin_triggererd() { showPage(Pages::AdminPage); }
void PCR::pt_AuditLog_triggererd() { showPage(Pages::AuditLogPage); }

void PCR::pt_StandardizerCalibration_triggererd()
{
    if (currentPage == Pages::CalibrationPage) {
        Messages::information(this, tr("警告"), tr("校准界面不允许打开设置！"));
        return;
    }
    showPage(Pages::ThermistorPage);
}

void PCR::pt_Logout_triggered()
{
    logOut();
}

bool PCR::logOut()
{
    if (m_databaseFailed || m_loginRefused)
        return false;
    if (auto *running = dynamic_cast<RunningPage *>(page(currentPage))) {
        if (running->isRunning()) {
            Messages::information(this, tr("警告"), tr("设备正在运行中，请停止运行！"));
            return false;
        }
    }
    if (Messages::question(this, tr("提示"), tr("是否注销当前用户？"), QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return false;
    Tool::SaveAuditLog(AuditEvent::UserLogin, tr("用户注销。"));

    // The page goes with the user whose rights it was built with.
    closePage();
    currentPage = -1;
    Tool::CurrentUser = Tool::Struct_UesrManagement();
    if (userLabel)
        userLabel->clear();

    const bool shown = isVisible();
    hide();
    if (!m_options.login()) {
        // Nobody is logged in: the program ends as a refused login at start-up does.
        m_loginRefused = true;
        QCoreApplication::exit(0);
        return true;
    }
    applyTexts();
    if (shown)
        show();
    showPage(Pages::PCRDevicePage);
    return true;
}

void PCR::pt_Standardizer_triggererd()
{
    runDialog(Pages::createDialog(Pages::Dialog::Standardizer));
}

void PCR::pt_CyclicFile_triggererd()
{
    runDialog(Pages::createDialog(Pages::Dialog::CyclicFile));
}

void PCR::pt_Help_triggeed()
{
    runDialog(new Help);
}
