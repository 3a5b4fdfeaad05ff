#include "app/SystemSet.h"

#include "app/WorkProgress.h"
#include "app/messages.h"
#include "store/auditcarry.h"
#include "store/auditchain.h"
#include "app/widgets.h"
#include "store/Backup.h"
#include "store/DatabaseSettings.h"
#include "store/accounts.h"
#include "store/WorkerThread.h"
#include "store/tool.h"
#include "ui_SystemSet.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpressionValidator>
#include <QSqlDatabase>

#include <memory>

namespace {

const QStringList Languages = {QStringLiteral("中文"), QStringLiteral("English")};
const QStringList Decimals = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4")};
const QStringList Units = {QStringLiteral("℃"), QStringLiteral("℉")};
const QStringList Formats = {QStringLiteral("Word"), QStringLiteral("Excel"), QStringLiteral("PDF")};

// The live database: the default connection's file, or "PCR.db3" here when there is none.
QString liveDatabase()
{
    const QString file = Tool::databaseFileName();
    return file.isEmpty() ? QFileInfo(Tool::DatabaseFileName).absoluteFilePath() : file;
}

Backup::Control controlOf(WorkerThread &worker)
{
    return {worker.cancelFlag(), [&worker](qint64 done, qint64 total) { worker.setProgress(done, total); }};
}

} // namespace

std::function<QString(QWidget *, const QString &, const QString &)> SystemSet::chooseDirectory =
    [](QWidget *parent, const QString &title, const QString &dir) {
        return QFileDialog::getExistingDirectory(parent, title, dir, QFileDialog::ShowDirsOnly);
    };

std::function<QString(QWidget *, const QString &, const QString &, const QString &)> SystemSet::chooseFile =
    [](QWidget *parent, const QString &title, const QString &dir, const QString &filter) {
        return QFileDialog::getOpenFileName(parent, title, dir, filter);
    };

SystemSet::SystemSet(QWidget *parent) : QWidget(parent), ui(new Ui::SystemSet), m_worker(new WorkerThread(this))
{
    ui->setupUi(this);
    Widgets::paintBackground(this);

    ui->comboBox_Language->addItems(Languages);
    ui->comboBox_DataNumber->addItems(Decimals);
    ui->comboBox_TemperatureUnit->addItems(Units);
    ui->comboBox_Format->addItems(Formats);
    // Whole days only; "0" and an empty field are refused when the switch is toggled.
    ui->lineEdit_BackupsCycle->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,4}")), this));

    ui->lineEdit_CompanyName->setText(Tool::CorporateName);
    ui->comboBox_DataNumber->setCurrentText(QString::number(Tool::TemperatureAccuracy));
    ui->comboBox_TemperatureUnit->setCurrentText(Tool::TemperatureUnit);
    ui->comboBox_Language->setCurrentText(Tool::Language);
    ui->comboBox_Format->setCurrentText(Tool::Format);

    const bool backups = Tool::hasRight(Right::SQLBackups);
    for (QWidget *w : {static_cast<QWidget *>(ui->checkBox_AutoBackup), static_cast<QWidget *>(ui->lineEdit_BackupsCycle),
                       static_cast<QWidget *>(ui->lineEdit_BackupPath), static_cast<QWidget *>(ui->pushButton_Select),
                       static_cast<QWidget *>(ui->pushButton_Backups), static_cast<QWidget *>(ui->pushButton_Recovery)})
        w->setEnabled(backups);
    ui->lineEdit_CompanyName->setEnabled(Tool::hasRight(Right::CompanyName));
    ui->pushButton_Set->setEnabled(Tool::hasRight(Right::SystemSet));
    ui->comboBox_Format->setEnabled(Tool::hasRight(Right::Format));

    connect(ui->pushButton_Set, &QPushButton::clicked, this, &SystemSet::pt_Set_clicked);
    connect(ui->pushButton_Backups, &QPushButton::clicked, this, &SystemSet::pt_Backups_clicked);
    connect(ui->pushButton_Recovery, &QPushButton::clicked, this, &SystemSet::pt_Recovery_clicked);
    connect(ui->pushButton_Select, &QPushButton::clicked, this, &SystemSet::pt_Select_clicked);
    connect(ui->checkBox_AutoBackup, &QCheckBox::clicked, this, &SystemSet::pt_AutoBackup_clicked);

    // Where the database lives is an administrator's decision; it applies from the next start.
    ui->lineEdit_DatabasePort->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{1,5}")), this));
    fillDatabaseKinds();
    showDatabase(DatabaseSettings::read());
    ui->groupBox_Database->setEnabled(Tool::CurrentUser.Rights == Accounts::administrator());
    connect(ui->comboBox_DatabaseKind, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { enableServerFields(); });
    connect(ui->pushButton_Database, &QPushButton::clicked, this, &SystemSet::pt_Database_clicked);
}

void SystemSet::fillDatabaseKinds()
{
    const int current = ui->comboBox_DatabaseKind->currentIndex();
    ui->comboBox_DatabaseKind->clear();
    ui->comboBox_DatabaseKind->addItem(tr("本机SQLite文件（PCR.db3）"), QStringLiteral("SQLite"));
    ui->comboBox_DatabaseKind->addItem(tr("PostgreSQL服务器（多台工作站共用）"), QStringLiteral("PostgreSQL"));
    ui->comboBox_DatabaseKind->setCurrentIndex(qMax(0, current));
    const QString live = Tool::databaseFileName();
    ui->label_DatabaseCurrent->setText(
        tr("当前使用：%1").arg(live.isEmpty() ? tr("无") : QDir::toNativeSeparators(live)));
}

void SystemSet::showDatabase(const DatabaseSettings &settings)
{
    ui->comboBox_DatabaseKind->setCurrentIndex(settings.isPostgreSQL() ? 1 : 0);
    ui->lineEdit_DatabaseHost->setText(settings.host);
    ui->lineEdit_DatabasePort->setText(QString::number(settings.port));
    ui->lineEdit_DatabaseName->setText(settings.dbname);
    ui->lineEdit_DatabaseUser->setText(settings.user);
    enableServerFields();
}

void SystemSet::enableServerFields()
{
    const bool server = ui->comboBox_DatabaseKind->currentIndex() == 1;
    for (QWidget *w : {static_cast<QWidget *>(ui->lineEdit_DatabaseHost), static_cast<QWidget *>(ui->lineEdit_DatabasePort),
                       static_cast<QWidget *>(ui->lineEdit_DatabaseName), static_cast<QWidget *>(ui->lineEdit_DatabaseUser)})
        w->setEnabled(server);
}

DatabaseSettings SystemSet::databaseForm() const
{
    DatabaseSettings s = DatabaseSettings::read();
    s.kind = ui->comboBox_DatabaseKind->currentIndex() == 1 ? DatabaseSettings::Kind::PostgreSQL
                                                             : DatabaseSettings::Kind::SQLite;
    s.host = ui->lineEdit_DatabaseHost->text().trimmed();
    s.port = ui->lineEdit_DatabasePort->text().trimmed().toInt();
    s.dbname = ui->lineEdit_DatabaseName->text().trimmed();
    s.user = ui->lineEdit_DatabaseUser->text().trimmed();
    return s;
}

void SystemSet::pt_Database_clicked()
{
    const DatabaseSettings settings = databaseForm();
    const QString problem = settings.problem();
    if (!problem.isEmpty()) {
        Messages::warning(this, tr("警告"), problem);
        return;
    }
    if (!settings.write()) {
        Messages::information(this, tr("警告"), tr("无法写入配置文件！"));
        return;
    }
    qDebug().noquote() << "数据库设置：" << settings.describe();
    Messages::information(this, tr("提示"), tr("数据库设置已保存，将在程序下次启动时生效。"));
}

bool SystemSet::refusedOnServer()
{
    if (!Tool::isServerDatabase())
        return false;
    Messages::information(this, tr("提示"), Tool::serverBackupRefusal());
    return true;
}

SystemSet::~SystemSet()
{
    // A backup under way stops (its partial copy removed) and is joined first.
    delete m_worker;
    delete ui;
}

void SystemSet::connectShell(QObject *context, const Shell &shell)
{
    connect(this, &SystemSet::sp_SQListOpen_signals, context, shell.openDatabase);
    connect(this, &SystemSet::sp_SQListClose_signals, context, shell.closeDatabase);
    connect(this, &SystemSet::sp_Language_signals, context, shell.language);
}

bool SystemSet::isBusy() const
{
    return m_worker->isRunning();
}

void SystemSet::runLong(const QString &label, const std::function<void(WorkerThread &)> &work,
                        const std::function<void()> &then)
{
    m_worker->start(work, then);
    new WorkProgress(m_worker, tr("系统设置"), label, this);
}

void SystemSet::setBackups(bool autoBackup, int cycleDays, const QString &path)
{
    ui->checkBox_AutoBackup->setChecked(autoBackup);
    ui->lineEdit_BackupsCycle->setText(QString::number(cycleDays));
    ui->lineEdit_BackupPath->setText(path);
    m_backupPath = path;
}

void SystemSet::retranslate()
{
    ui->retranslateUi(this);
    fillDatabaseKinds();
}

void SystemSet::pt_Set_clicked()
{
    const QString company = ui->lineEdit_CompanyName->text();
    const int accuracy = ui->comboBox_DataNumber->currentText().toInt();
    const QString unit = ui->comboBox_TemperatureUnit->currentText();
    const QString language = ui->comboBox_Language->currentText();
    const QString format = ui->comboBox_Format->currentText();

    if (company != Tool::CorporateName)
        Tool::SaveAuditLog(AuditEvent::CompanyName, tr("修改公司名称。"));
    if (accuracy != Tool::TemperatureAccuracy)
        Tool::SaveAuditLog(AuditEvent::TemperatureAccuracy, tr("修改温度精度。"));
    if (unit != Tool::TemperatureUnit)
        Tool::SaveAuditLog(AuditEvent::TemperatureUnit, tr("修改温度单位。"));
    if (language != Tool::Language)
        Tool::SaveAuditLog(AuditEvent::Language, tr("修改语言设置。"));
    if (format != Tool::Format)
        Tool::SaveAuditLog(AuditEvent::ExportFormat, tr("修改导出格式。"));

    Tool::CorporateName = company;
    Tool::TemperatureAccuracy = accuracy;
    Tool::TemperatureUnit = unit;
    Tool::Language = language;
    Tool::Format = format;

    emit sp_Language_signals(language);

    // The values hold for this run either way; a file that cannot take them would lose them at
    // the next start, which the user must know.
    if (!Tool::writeSystemSettings()) {
        Messages::information(this, tr("警告"), tr("设置已生效，但无法写入配置文件！"));
        return;
    }
    Messages::information(this, tr("提示"), tr("设置成功！"));
}

void SystemSet::pt_AutoBackup_clicked()
{
    const bool checked = ui->checkBox_AutoBackup->isChecked();
    bool number = false;
    int cycle = ui->lineEdit_BackupsCycle->text().toInt(&number);
    if (!number)
        cycle = 0;
    if (cycle <= 0) {
        ui->checkBox_AutoBackup->setChecked(!checked);
        Messages::information(this, tr("警告"), tr("备份周期不能为0！"));
        return;
    }
    if (checked && refusedOnServer()) {
        ui->checkBox_AutoBackup->setChecked(false);
        return;
    }
    // Only switching on needs the folder: a vanished folder must not keep automatic backup on.
    if (checked && !QFileInfo(m_backupPath).isDir()) {
        ui->checkBox_AutoBackup->setChecked(false);
        Messages::information(this, tr("提示"), tr("备份路径不存在！"));
        return;
    }

    if (!Backup::writeAutoBackup(checked, cycle)) {
        ui->checkBox_AutoBackup->setChecked(!checked);
        Messages::information(this, tr("警告"), tr("无法写入配置文件！"));
        return;
    }
    Tool::SaveAuditLog(AuditEvent::AutoBackup, checked ? tr("自动数据备份开。") : tr("自动数据备份关。"));
}

void SystemSet::pt_Select_clicked()
{
    const QString folder = chooseDirectory(this, tr("选择目录"), QStringLiteral("./"));
    if (folder.isEmpty())
        return;
    if (!Backup::writeFolder(folder)) {
        // The main window rereads the file: showing a folder it will not use would mislead.
        Messages::information(this, tr("警告"), tr("无法写入配置文件！"));
        return;
    }
    ui->lineEdit_BackupPath->setText(folder);
    m_backupPath = folder;
    Tool::SaveAuditLog(AuditEvent::BackupPath, tr("修改备份保存路径。"));
}

void SystemSet::pt_Backups_clicked()
{
    if (isBusy() || refusedOnServer())
        return;
    QString folder = ui->lineEdit_BackupPath->text();
    if (folder.isEmpty()) {
        Messages::information(this, tr("警告"), tr("请选择备份路径！"));
        return;
    }
    // The target is written with forward slashes; the folder is checked in the same form.
    folder = QDir::fromNativeSeparators(folder).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!QFileInfo(folder).isDir()) {
        Messages::information(this, tr("提示"), tr("备份失败：路径不存在！"));
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString target = Backup::targetPath(folder, now);
    qDebug().noquote() << "路径为：" + target;
    const QString database = liveDatabase();
    auto outcome = std::make_shared<std::pair<Backup::Result, QString>>(Backup::Result::Failed, QString());
    runLong(
        tr("正在备份数据库..."),
        [outcome, database, target](WorkerThread &worker) {
            outcome->first = Backup::snapshot(database, target, controlOf(worker), &outcome->second);
        },
        [this, outcome, target, now] {
            if (outcome->first == Backup::Result::Cancelled) {
                qDebug().noquote() << "备份已取消：" << target;
                return;
            }
            if (outcome->first != Backup::Result::Done) {
                qDebug().noquote() << "备份失败！" << target << outcome->second;
                Messages::information(this, tr("提示"), tr("备份失败！"));
                return;
            }
            Backup::writeLastBackup(now);
            Messages::information(this, tr("提示"), tr("备份成功！"));
            Tool::SaveAuditLog(AuditEvent::ManualBackup, tr("手动数据备份。"));
        });
}

void SystemSet::pt_Recovery_clicked()
{
    if (isBusy() || refusedOnServer())
        return;
    // The backups are where one looks first; without a backup folder, the workspace.
    const QString start = QFileInfo(m_backupPath).isDir() ? m_backupPath : QFileInfo(liveDatabase()).absolutePath();
    const QString source = chooseFile(this, tr("选择文件"), start, tr("数据库备份 (*.db3)"));
    if (source.isEmpty())
        return;
    const QString live = liveDatabase();
    // Everything written since the backup is replaced: a usable file is asked for first, naming
    // the backup's time (what is refused is reported as before, unasked).
    const QString when = AuditCarry::backupTime(source).toString(Tool::TimeFormat);
    const bool sameFile = QFileInfo(source).canonicalFilePath() == QFileInfo(live).canonicalFilePath();
    if (!sameFile && Tool::isPcrDatabase(source)
        && Messages::question(this, tr("提示"),
                              tr("将用 %1 的备份恢复数据库，此后的数据将被替换（审计记录会保留）。是否继续？").arg(when))
            != QMessageBox::Yes)
        return;
    restoreFrom(source, when, false);
}

void SystemSet::restoreFrom(const QString &source, const QString &when, bool acceptForeign)
{
    struct Outcome
    {
        Backup::RestoreResult result = Backup::RestoreResult::Failed;
        QString staging;
        QString error;
        AuditCarry::Result carry;
        bool foreign = false;   // refused as foreign, to be asked about
    };
    auto outcome = std::make_shared<Outcome>();
    const QString live = liveDatabase();
    // The chosen file is checked and copied beside the live one on the worker; the live file is
    // touched only once that copy is complete.
    runLong(
        tr("正在恢复数据库..."),
        [outcome, source, live, acceptForeign](WorkerThread &worker) {
            outcome->result = Backup::stage(source, live, &outcome->staging, controlOf(worker), &outcome->error);
            // The audit entries after the backup's head go into the copy before it takes the live
            // file's place: a restore never erases audit history, and its chain is compared with
            // this workspace's, not its clock.
            if (outcome->result == Backup::RestoreResult::Done
                && !AuditCarry::carry(live, outcome->staging, acceptForeign, &outcome->carry, &outcome->error)) {
                QFile::remove(outcome->staging);
                outcome->foreign = outcome->carry.kinship == AuditCarry::Kinship::Foreign && !acceptForeign;
                outcome->result = Backup::RestoreResult::Failed;
            }
        },
        [this, outcome, source, when] {
            const QString file = QDir::toNativeSeparators(source);
            switch (outcome->result) {
            case Backup::RestoreResult::Done: {
                const bool foreign = outcome->carry.kinship == AuditCarry::Kinship::Foreign;
                const QString text = foreign
                    ? tr("手动恢复数据（外来备份，已确认）。")
                        + tr("文件：%1，备份时间：%2，备份中的审计记录 %3 条，与本工作目录共有 %4 条，保留本工作目录此后的审计记录 %5 条。")
                              .arg(file, when)
                              .arg(outcome->carry.backupEntries)
                              .arg(outcome->carry.common)
                              .arg(outcome->carry.carried)
                    : tr("手动恢复数据。")
                        + tr("文件：%1，备份时间：%2，保留此后的审计记录 %3 条。").arg(file, when).arg(outcome->carry.carried);
                restored(outcome->staging, text, foreign);
                break;
            }
            case Backup::RestoreResult::SameFile:
                Messages::information(this, tr("提示"), tr("所选文件就是当前数据库，无需恢复！"));
                break;
            case Backup::RestoreResult::Cancelled:
                qDebug().noquote() << "恢复已取消：" << source;
                break;
            case Backup::RestoreResult::Incompatible:
                qDebug().noquote() << "恢复失败！" << source << outcome->error;
                Messages::information(this, tr("提示"), tr("恢复失败：所选备份的数据表与本程序的不一致！"));
                break;
            case Backup::RestoreResult::NotADatabase:
            case Backup::RestoreResult::Failed:
                qDebug().noquote() << "恢复失败！" << source << outcome->error;
                if (outcome->foreign) {
                    if (Messages::question(this, tr("提示"),
                                           tr("备份“%1”的审计记录不属于本工作目录的审计链，是外来备份。仍要恢复吗？恢复将作为外来备份记入审计日志。")
                                               .arg(file))
                        == QMessageBox::Yes)
                        restoreFrom(source, when, true);
                    return;
                }
                Messages::information(this, tr("提示"), tr("恢复失败！"));
                break;
            }
        });
}

// The live file is replaced by the complete, checked copy and kept aside until the copy has
// opened; every failure puts it back and reopens it.
void SystemSet::restored(const QString &staging, const QString &auditText, bool foreign)
{
    QString error;
    QString former;
    const Backup::RestoreResult result = Backup::swapIn(
        staging, liveDatabase(), [this] { emit sp_SQListClose_signals(); },
        [this] {
            emit sp_SQListOpen_signals();
            return Tool::isDatabaseOpen();
        },
        &error, &former);
    if (result != Backup::RestoreResult::Done) {
        qDebug().noquote() << "恢复失败！" << error;
        Messages::information(this, tr("提示"), tr("恢复失败！"));
        return;
    }
    // The former database goes on the worker: removing a file of some hundred MB takes a while.
    if (!former.isEmpty())
        m_worker->start([former](WorkerThread &) { QFile::remove(former); });
    if (foreign) {
        // The heads recorded so far belong to the chain this one replaced.
        const QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
        const AuditChain::Head head = AuditChain::head(db);
        QString why;
        if (!AuditAnchors::append(AuditAnchors::pathFor(db),
                                  {head.count, head.hash, QString::fromLatin1(AuditAnchors::foreignKind()), {}}, &why))
            qDebug().noquote() << "审计锚点写入失败！" << why;
    }
    Messages::information(this, tr("提示"), tr("恢复成功！"));
    // Written after the reopen, after the carried entries: it belongs to the database now in use.
    Tool::SaveAuditLog(AuditEvent::ManualRestore, auditText);
}
