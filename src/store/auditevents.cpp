#include "store/auditevents.h"

#include <QCoreApplication>

#include <vector>

namespace AuditEvents {

const std::vector<Entry> &entries()
{
    using E = AuditEvent;
    static const std::vector<Entry> all = {
        {E::ManualBackup, QT_TRANSLATE_NOOP("Tool", "系统设置-手动备份"), "Settings - manual backup"},
        {E::AutoBackup, QT_TRANSLATE_NOOP("Tool", "系统设置-自动备份"), "Settings - automatic backup"},
        {E::ManualRestore, QT_TRANSLATE_NOOP("Tool", "系统设置-手动恢复"), "Settings - manual restore"},
        {E::BackupPath, QT_TRANSLATE_NOOP("Tool", "系统设置-修改路径"), "Settings - backup path"},
        {E::CompanyName, QT_TRANSLATE_NOOP("Tool", "系统设置-公司名称"), "Settings - company name"},
        {E::Language, QT_TRANSLATE_NOOP("Tool", "系统设置-语言切换"), "Settings - language"},
        {E::TemperatureUnit, QT_TRANSLATE_NOOP("Tool", "系统设置-温度单位"), "Settings - temperature unit"},
        {E::TemperatureAccuracy, QT_TRANSLATE_NOOP("Tool", "系统设置-温度精度"), "Settings - temperature decimals"},
        {E::ExportFormat, QT_TRANSLATE_NOOP("Tool", "系统设置-导出格式"), "Settings - export format"},
        {E::PCRDeviceAdd, QT_TRANSLATE_NOOP("Tool", "PCR设备管理-添加"), "PCR instruments - add"},
        {E::PCRDeviceModify, QT_TRANSLATE_NOOP("Tool", "PCR设备管理-修改"), "PCR instruments - modify"},
        {E::PCRDeviceDelete, QT_TRANSLATE_NOOP("Tool", "PCR设备管理-删除"), "PCR instruments - delete"},
        {E::PCRDeviceView, QT_TRANSLATE_NOOP("Tool", "PCR设备管理-查看"), "PCR instruments - view"},
        {E::PCRProfileModify, QT_TRANSLATE_NOOP("Tool", "PCR设备管理-性能指标"), "PCR instruments - performance profile"},
        {E::PCRProfileDelete, QT_TRANSLATE_NOOP("Tool", "PCR设备管理-删除性能指标"),
         "PCR instruments - performance profile deleted"},
        {E::ElectrometerAdd, QT_TRANSLATE_NOOP("Tool", "测温仪管理-添加"), "Measuring instruments - add"},
        {E::ElectrometerModify, QT_TRANSLATE_NOOP("Tool", "测温仪管理-修改"), "Measuring instruments - modify"},
        {E::ElectrometerDelete, QT_TRANSLATE_NOOP("Tool", "测温仪管理-删除"), "Measuring instruments - delete"},
        {E::ElectrometerView, QT_TRANSLATE_NOOP("Tool", "测温仪管理-查看"), "Measuring instruments - view"},
        {E::ElectrometerScan, QT_TRANSLATE_NOOP("Tool", "测温仪管理-通信设置"),
         "Measuring instruments - communication settings"},
        {E::StandardizerAdd, QT_TRANSLATE_NOOP("Tool", "探头文件管理-添加"), "Probe files - add"},
        {E::StandardizerDelete, QT_TRANSLATE_NOOP("Tool", "探头文件管理-删除"), "Probe files - delete"},
        {E::StandardizerView, QT_TRANSLATE_NOOP("Tool", "探头文件管理-查看"), "Probe files - view"},
        {E::StandardizerCalibrate, QT_TRANSLATE_NOOP("Tool", "探头文件管理-校准"), "Probe files - calibration"},
        {E::CyclicFileAdd, QT_TRANSLATE_NOOP("Tool", "循环文件管理-添加"), "Cycle files - add"},
        {E::CyclicFileDelete, QT_TRANSLATE_NOOP("Tool", "循环文件管理-删除"), "Cycle files - delete"},
        {E::CyclicFileView, QT_TRANSLATE_NOOP("Tool", "循环文件管理-查看"), "Cycle files - view"},
        {E::CyclicFileModify, QT_TRANSLATE_NOOP("Tool", "循环文件管理-修改"), "Cycle files - modify"},
        {E::LayoutAdd, QT_TRANSLATE_NOOP("Tool", "布点图管理-添加"), "Layouts - add"},
        {E::LayoutDelete, QT_TRANSLATE_NOOP("Tool", "布点图管理-删除"), "Layouts - delete"},
        {E::LayoutView, QT_TRANSLATE_NOOP("Tool", "布点图管理-查看"), "Layouts - view"},
        {E::Calibration, QT_TRANSLATE_NOOP("Tool", "设备校准-校准"), "Calibration - run"},
        {E::CalibrationDataDelete, QT_TRANSLATE_NOOP("Tool", "设备校准-数据删除"), "Calibration - data deleted"},
        {E::ExportReport, QT_TRANSLATE_NOOP("Tool", "数据导出-校准报告"), "Data export - calibration certificate"},
        {E::ExportRecord, QT_TRANSLATE_NOOP("Tool", "数据导出-校准记录"), "Data export - calibration record"},
        {E::ExportRawData, QT_TRANSLATE_NOOP("Tool", "数据导出-原始记录"), "Data export - raw record"},
        {E::UserAdd, QT_TRANSLATE_NOOP("Tool", "用户管理-添加"), "Users - add"},
        {E::UserModify, QT_TRANSLATE_NOOP("Tool", "用户管理-修改"), "Users - modify"},
        {E::UserDelete, QT_TRANSLATE_NOOP("Tool", "用户管理-删除"), "Users - delete"},
        {E::UserLogin, QT_TRANSLATE_NOOP("Tool", "用户管理-登录"), "Users - login"},
        {E::PasswordReset, QT_TRANSLATE_NOOP("Tool", "用户管理-重设密码"), "Users - password reset"},
        {E::SecretsHashed, QT_TRANSLATE_NOOP("Tool", "用户管理-密码加密"), "Users - passwords hashed"},
        {E::AuditLogDownload, QT_TRANSLATE_NOOP("Tool", "审计日志-下载"), "Audit log - download"},
        {E::AuditLogVerify, QT_TRANSLATE_NOOP("Tool", "审计日志-校验"), "Audit log - verify"},
        {E::AuditChainCreated, QT_TRANSLATE_NOOP("Tool", "审计日志-建链"), "Audit log - chain created"},
    };
    return all;
}

namespace {

const Entry *byCode(int code)
{
    for (const Entry &e : entries())
        if (int(e.event) == code)
            return &e;
    return nullptr;
}

QString translated(const Entry &e)
{
    return QCoreApplication::translate("Tool", e.word);
}

} // namespace

QString storedWord(int code)
{
    const Entry *e = byCode(code);
    return e ? QString::fromUtf8(e->word) : QString();
}

QString displayWord(int code)
{
    const Entry *e = byCode(code);
    return e ? translated(*e) : QString();
}

QString displayText(const QString &stored)
{
    for (const Entry &e : entries())
        if (stored == QString::fromUtf8(e.word) || stored == QLatin1String(e.english))
            return translated(e);
    return stored;
}

QStringList storedWordsMatching(const QString &fragment)
{
    QStringList words;
    if (fragment.isEmpty())
        return words;
    for (const Entry &e : entries()) {
        const QString chinese = QString::fromUtf8(e.word);
        const QString english = QLatin1String(e.english);
        if (chinese.contains(fragment, Qt::CaseInsensitive) || english.contains(fragment, Qt::CaseInsensitive)
            || translated(e).contains(fragment, Qt::CaseInsensitive))
            words << chinese << english;
    }
    return words;
}

} // namespace AuditEvents
