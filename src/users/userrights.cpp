#include "users/userrights.h"

#include <QCoreApplication>

namespace UserRights {

const QString Administrator = QStringLiteral("管理员");
const QString Supervisor = QStringLiteral("主管");
const QString Operator = QStringLiteral("操作员");
const QString StateNormal = QStringLiteral("正常");
const QString StateLocked = QStringLiteral("锁定");

namespace {

using U = Tool::Struct_UesrManagement;
constexpr auto AdminOnly = Changeable::AdministratorsOnly;
constexpr auto AdminSup = Changeable::AdministratorsAndSupervisors;
constexpr auto Everyone = Changeable::EveryRole;

#define PCR_RIGHT(col, header, label, group, rule)                                                 \
    Entry { #col, QT_TRANSLATE_NOOP("Admin", header), QT_TRANSLATE_NOOP("Jurisdiction", label),    \
            group, rule, &U::col }

const struct
{
    const char *objectName;
    const char *title;
} groups[GroupCount] = {
    {"groupBox_SystemSet", QT_TRANSLATE_NOOP("Jurisdiction", "系统设置")},
    {"groupBox_PCRDevice", QT_TRANSLATE_NOOP("Jurisdiction", "PCR设备管理")},
    {"groupBox_Electrometer", QT_TRANSLATE_NOOP("Jurisdiction", "测温仪管理")},
    {"groupBox_Standardizer", QT_TRANSLATE_NOOP("Jurisdiction", "探头管理")},
    {"groupBox_CyclicFile", QT_TRANSLATE_NOOP("Jurisdiction", "循环文件管理")},
    {"groupBox_Layout", QT_TRANSLATE_NOOP("Jurisdiction", "布点图管理")},
    {"groupBox_Calibration", QT_TRANSLATE_NOOP("Jurisdiction", "校准管理")},
    {"groupBox_DataExport", QT_TRANSLATE_NOOP("Jurisdiction", "数据导出管理")},
    {"groupBox_Admin", QT_TRANSLATE_NOOP("Jurisdiction", "用户管理与审计日志")},
};

} // namespace

const std::vector<Entry> &entries()
{
    static const std::vector<Entry> all = {
        PCR_RIGHT(SQLBackups, "数据库备份", "数据库备份", SystemSet, AdminOnly),
        PCR_RIGHT(CompanyName, "公司名称", "公司名称", SystemSet, AdminOnly),
        PCR_RIGHT(SystemSet, "系统设置", "系统设置", SystemSet, AdminSup),
        PCR_RIGHT(PCRDeviceAdd, "PCR设备添加", "PCR设备添加", PCRDevice, AdminSup),
        PCR_RIGHT(PCRDeviceModify, "PCR设备修改", "PCR设备修改", PCRDevice, AdminSup),
        PCR_RIGHT(PCRDeviceDelete, "PCR设备删除", "PCR设备删除", PCRDevice, AdminOnly),
        PCR_RIGHT(ElectrometerAdd, "测温仪添加", "测温仪添加", Electrometer, AdminSup),
        PCR_RIGHT(ElectrometerModify, "测温仪修改", "测温仪修改", Electrometer, AdminSup),
        PCR_RIGHT(ElectrometerDelete, "测温仪删除", "测温仪删除", Electrometer, AdminOnly),
        PCR_RIGHT(ElectrometerScan, "通信设置", "通信设置", Electrometer, Everyone),
        PCR_RIGHT(StandardizerAdd, "探头添加", "探头添加", Standardizer, AdminSup),
        PCR_RIGHT(StandardizerDelete, "探头删除", "探头删除", Standardizer, AdminOnly),
        PCR_RIGHT(CyclicFileAdd, "循环文件添加", "循环文件添加", CyclicFile, AdminSup),
        PCR_RIGHT(CyclicFileDelete, "循环文件删除", "循环文件删除", CyclicFile, AdminOnly),
        PCR_RIGHT(LayoutAdd, "布点图添加", "布点图添加", Layout, AdminSup),
        PCR_RIGHT(LayoutDelete, "布点图删除", "布点图删除", Layout, AdminOnly),
        PCR_RIGHT(CalibrationStartUp, "开始校准", "开始校准", Calibration, Everyone),
        PCR_RIGHT(DeleteData, "数据删除", "数据删除", Calibration, AdminOnly),
        // The export boxes name the exports as the data export page shows them.
        PCR_RIGHT(CalibrationReport, "校准报告导出", "校准报告导出", DataExport, Everyone),
        PCR_RIGHT(OriginalRecord, "原始记录导出", "校准记录导出", DataExport, Everyone),
        PCR_RIGHT(Custom, "自定义导出", "原始记录导出", DataExport, Everyone),
        PCR_RIGHT(AdminAdd, "用户添加", "用户添加", Admin, AdminSup),
        PCR_RIGHT(AdminDelete, "用户删除", "用户删除", Admin, AdminOnly),
        PCR_RIGHT(LogDownload, "日志导出", "审计日志下载", Admin, AdminSup),
        PCR_RIGHT(Format, "导出格式", "导出格式", SystemSet, AdminSup),
    };
    return all;
}

#undef PCR_RIGHT

QString groupObjectName(Group group)
{
    return QString::fromLatin1(groups[group].objectName);
}

QString groupTitle(Group group)
{
    return QCoreApplication::translate("Jurisdiction", groups[group].title);
}

bool isChangeable(Changeable rule, const QString &role)
{
    switch (rule) {
    case Changeable::AdministratorsOnly:
        return role == Administrator;
    case Changeable::AdministratorsAndSupervisors:
        return role != Operator;
    case Changeable::EveryRole:
        return true;
    }
    return false;
}

QStringList rolesOffered(const QString &loggedInRole)
{
    if (loggedInRole == Administrator)
        return {Administrator, Supervisor, Operator};
    if (loggedInRole == Supervisor)
        return {Supervisor, Operator};
    return {};
}

Tool::Struct_UesrManagement withRightsOf(Tool::Struct_UesrManagement target,
                                         const Tool::Struct_UesrManagement &source)
{
    for (const Entry &e : entries())
        target.*(e.flag) = source.*(e.flag);
    return target;
}

} // namespace UserRights
