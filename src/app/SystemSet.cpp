#include "app/SystemSet.h"

#include "app/messages.h"
#include "store/auditcarry.h"
#include "app/pcr.h"
#include "app/widgets.h"
#include "store/tool.h"
#include "ui_SystemSet.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpressionValidator>
#include <QSettings>

namespace {

const QStringList Languages = {QStringLiteral("中文"), QStringLiteral("English")};
const QStringList Decimals = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4")};
const QStringList Units = {QStringLiteral("℃"), QStringLiteral("℉")};
const QStringList Formats = {QStringLiteral("Word"), QStringLiteral("Excel"), QStringLiteral("PDF")};

// base itself when free, else base with the first free counter appended.
QString freeName(const QString &base)
{
    QString name = base;
    for (int n = 1; QFileInfo::exists(name); ++n)
        name = base + QStringLiteral("-%1").arg(n);
    return name;
}

// The files SQLite keeps beside a database while it is in use or needs recovery.
QStringList sidecarsOf(const QString &database)
{
    QStringList present;
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        if (QFileInfo::exists(database + QLatin1String(suffix)))
            present << database + QLatin1String(suffix);
    return present;
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

SystemSet::SystemSet(QWidget *parent) : QWidget(parent), ui(new Ui::SystemSet)
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
}

SystemSet::~SystemSet()
{
    delete ui;
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
    // Only switching on needs the folder: a vanished folder must not keep automatic backup on.
    if (checked && !QFileInfo(m_backupPath).isDir()) {
        ui->checkBox_AutoBackup->setChecked(false);
        Messages::information(this, tr("提示"), tr("备份路径不存在！"));
        return;
    }

    const auto ini = Tool::configFile();
    ini->setValue(QStringLiteral("Backups/AutoBackup"), checked);
    ini->setValue(QStringLiteral("Backups/BackupsCycle"), cycle);
    ini->sync();
    if (ini->status() != QSettings::NoError) {
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
    const auto ini = Tool::configFile();
    ini->setValue(QStringLiteral("Backups/BackupPath"), folder);
    ini->sync();
    if (ini->status() != QSettings::NoError) {
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
    const QString target = PCR::backupTarget(folder, now);
    qDebug().noquote() << "路径为：" + target;
    QString error;
    if (!Tool::backupDatabase(target, &error)) {
        qDebug().noquote() << "备份失败！" << target << error;
        Messages::information(this, tr("提示"), tr("备份失败！"));
        return;
    }
    const auto ini = Tool::configFile();
    ini->setValue(QStringLiteral("Backups/BackupTime"), now.toString(Tool::TimeFormat));
    ini->sync();
    Messages::information(this, tr("提示"), tr("备份成功！"));
    Tool::SaveAuditLog(AuditEvent::ManualBackup, tr("手动数据备份。"));
}

void SystemSet::pt_Recovery_clicked()
{
    const QString source = chooseFile(this, tr("选择文件"), QStringLiteral("/"), tr("Config Files (*.db3)"));
    if (source.isEmpty())
        return;
    // Everything written since the backup is replaced: asked first (for a usable file), naming
    // the backup's time.
    const QString when = AuditCarry::backupTime(source).toString(Tool::TimeFormat);
    Restore result = checkSource(source);
    if (result == Restore::Done) {
        if (Messages::question(this, tr("提示"),
                               tr("将用 %1 的备份恢复数据库，此后的数据将被替换（审计记录会保留）。是否继续？").arg(when))
            != QMessageBox::Yes)
            return;
        result = restoreFrom(source);
    }
    switch (result) {
    case Restore::Done:
        Messages::information(this, tr("提示"), tr("恢复成功！"));
        // Written after the reopen, after the carried entries: the entry belongs to the database now in use.
        Tool::SaveAuditLog(AuditEvent::ManualRestore,
                           tr("手动恢复数据。") + tr("文件：%1，备份时间：%2，保留此后的审计记录 %3 条。")
                                                    .arg(QDir::toNativeSeparators(source), when).arg(m_carried));
        break;
    case Restore::SameFile:
        Messages::information(this, tr("提示"), tr("所选文件就是当前数据库，无需恢复！"));
        break;
    case Restore::NotADatabase:
    case Restore::Failed:
        Messages::information(this, tr("提示"), tr("恢复失败！"));
        break;
    }
}

bool SystemSet::reopen()
{
    emit sp_SQListOpen_signals();
    return Tool::isDatabaseOpen();
}

// The live file is replaced only by a complete, checked copy, and kept aside until the copy has
// opened; every failure puts it back and reopens it.
SystemSet::Restore SystemSet::checkSource(const QString &source)
{
    const QFileInfo liveInfo(Tool::DatabaseFileName);
    if (liveInfo.exists() && QFileInfo(source).canonicalFilePath() == liveInfo.canonicalFilePath())
        return Restore::SameFile;
    QString why;
    if (!Tool::isPcrDatabase(source, &why)) {
        qDebug().noquote() << "恢复失败！" << source << why;
        return Restore::NotADatabase;
    }
    return Restore::Done;
}

SystemSet::Restore SystemSet::restoreFrom(const QString &source)
{
    const QFileInfo liveInfo(Tool::DatabaseFileName);
    const QString live = liveInfo.absoluteFilePath();
    const Restore checked = checkSource(source);
    if (checked != Restore::Done)
        return checked;
    QString why;

    // Copied beside the live file first, so that the swap itself is two renames.
    const QString staging = freeName(live + QStringLiteral(".restore"));
    if (!QFile::copy(source, staging) || !Tool::isPcrDatabase(staging, &why)) {
        qDebug().noquote() << "恢复失败！" << "copy" << source << staging << why;
        QFile::remove(staging);
        return Restore::Failed;
    }
    // The copy takes the source's permissions; a read-only backup must still give a writable database.
    const QFile::Permissions livePermissions =
        liveInfo.exists() ? QFile::permissions(live) : QFile::Permissions(QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(staging, livePermissions | QFile::ReadOwner | QFile::WriteOwner);
    // The audit entries written since the backup go into the copy before it takes the live
    // file's place: a restore never erases audit history.
    m_carried = 0;
    if (!AuditCarry::carry(live, staging, Tool::CurrentUser.Name, &m_carried, &why)) {
        qDebug().noquote() << "恢复失败！" << "audit" << staging << why;
        QFile::remove(staging);
        return Restore::Failed;
    }

    emit sp_SQListClose_signals();
    // Still open, or left needing recovery: its file must not be swapped.
    if (Tool::isDatabaseOpen() || !sidecarsOf(live).isEmpty()) {
        qDebug().noquote() << "恢复失败！" << "database still in use" << sidecarsOf(live);
        QFile::remove(staging);
        reopen();
        return Restore::Failed;
    }

    const bool hadLive = QFileInfo::exists(live);
    const QString kept = freeName(live + QStringLiteral(".before-restore"));
    if (hadLive && !QFile::rename(live, kept)) {
        qDebug().noquote() << "恢复失败！" << "cannot move" << live << kept;
        QFile::remove(staging);
        reopen();
        return Restore::Failed;
    }
    auto putBack = [&] {
        if (hadLive && !QFile::rename(kept, live)) {
            // Never reopen over a missing file: that would start an empty database.
            qDebug().noquote() << "恢复失败！原数据库保存在：" << kept;
            return;
        }
        reopen();
    };
    if (!QFile::rename(staging, live)) {
        qDebug().noquote() << "恢复失败！" << "cannot move" << staging << live;
        QFile::remove(staging);
        putBack();
        return Restore::Failed;
    }
    if (!reopen()) {
        qDebug().noquote() << "恢复失败！" << "restored file does not open";
        Tool::closeDatabase();
        QFile::remove(live);
        for (const QString &file : sidecarsOf(live))
            QFile::remove(file);
        putBack();
        return Restore::Failed;
    }
    if (hadLive)
        QFile::remove(kept);
    return Restore::Done;
}
