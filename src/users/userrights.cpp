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
        {"SQLBackups", QT_TRANSLATE_NOOP("Admin", "数据库备份"), QT_TRANSLATE_NOOP("Jurisdiction", "数据库备份"), SystemSet, AdminOnly,
         &U::SQLBackups},
        {"CompanyName", QT_TRANSLATE_NOOP("Admin", "公司名称"), QT_TRANSLATE_NOOP("Jurisdiction", "公司名称"), SystemSet, AdminOnly,
         &U::CompanyName},
        {"SystemSet", QT_TRANSLATE_NOOP("Admin", "系统设置"), QT_TRANSLATE_NOOP("Jurisdiction", "系统设置"), SystemSet, AdminSup,
         &U::SystemSet},
        {"PCRDeviceAdd", QT_TRANSLATE_NOOP("Admin", "PCR设备添加"), QT_TRANSLATE_NOOP("Jurisdiction", "PCR设备添加"), PCRDevice, AdminSup,
         &U::PCRDeviceAdd},
        {"PCRDeviceModify", QT_TRANSLATE_NOOP("Admin", "PCR设备修改"), QT_TRANSLATE_NOOP("Jurisdiction", "PCR设备修改"), PCRDevice, AdminSup,
         &U::PCRDeviceModify},
        {"PCRDeviceDelete", QT_TRANSLATE_NOOP("Admin", "PCR设备删除"), QT_TRANSLATE_NOOP("Jurisdiction", "PCR设备删除"), PCRDevice, AdminOnly,
         &U::PCRDeviceDelete},
        {"ElectrometerAdd", QT_TRANSLATE_NOOP("Admin", "测温仪添加"), QT_TRANSLATE_NOOP("Jurisdiction", "测温仪添加"), Electrometer, AdminSup,
         &U::ElectrometerAdd},
        {"ElectrometerModify", QT_TRANSLATE_NOOP("Admin", "测温仪修改"), QT_TRANSLATE_NOOP("Jurisdiction", "测温仪修改"), Electrometer, AdminSup,
         &U::ElectrometerModify},
        {"ElectrometerDelete", QT_TRANSLATE_NOOP("Admin", "测温仪删除"), QT_TRANSLATE_NOOP("Jurisdiction", "测温仪删除"), Electrometer, AdminOnly,
         &U::ElectrometerDelete},
        {"ElectrometerScan", QT_TRANSLATE_NOOP("Admin", "通信设置"), QT_TRANSLATE_NOOP("Jurisdiction", "通信设置"), Electrometer, Everyone,
         &U::ElectrometerScan},
        {"StandardizerAdd", QT_TRANSLATE_NOOP("Admin", "探头添加"), QT_TRANSLATE_NOOP("Jurisdiction", "探头添加"), Standardizer, AdminSup,
         &U::StandardizerAdd},
        {"StandardizerDelete", QT_TRANSLATE_NOOP("Admin", "探头删除"), QT_TRANSLATE_NOOP("Jurisdiction", "探头删除"), Standardizer, AdminOnly,
         &U::StandardizerDelete},
        {"CyclicFileAdd", QT_TRANSLATE_NOOP("Admin", "循环文件添加"), QT_TRANSLATE_NOOP("Jurisdiction", "循环文件添加"), CyclicFile, AdminSup,
         &U::CyclicFileAdd},
        {"CyclicFileDelete", QT_TRANSLATE_NOOP("Admin", "循环文件删除"), QT_TRANSLATE_NOOP("Jurisdiction", "循环文件删除"), CyclicFile, AdminOnly,
         &U::CyclicFileDelete},
        {"LayoutAdd", QT_TRANSLATE_NOOP("Admin", "布点图添加"), QT_TRANSLATE_NOOP("Jurisdiction", "布点图添加"), Layout, AdminSup,
         &U::LayoutAdd},
        {"LayoutDelete", QT_TRANSLATE_NOOP("Admin", "布点图删除"), QT_TRANSLATE_NOOP("Jurisdiction", "布点图删除"), Layout, AdminOnly,
         &U::LayoutDelete},
        {"CalibrationStartUp", QT_TRANSLATE_NOOP("Admin", "开始校准"), QT_TRANSLATE_NOOP("Jurisdiction", "开始校准"), Calibration, Everyone,
         &U::CalibrationStartUp},
        {"DeleteData", QT_TRANSLATE_NOOP("Admin", "数据删除"), QT_TRANSLATE_NOOP("Jurisdiction", "数据删除"), Calibration, AdminOnly,
         &U::DeleteData},
        // The export boxes name the exports as the data export page shows them.
        {"CalibrationReport", QT_TRANSLATE_NOOP("Admin", "校准报告导出"), QT_TRANSLATE_NOOP("Jurisdiction", "校准报告导出"), DataExport, Everyone,
         &U::CalibrationReport},
        {"OriginalRecord", QT_TRANSLATE_NOOP("Admin", "原始记录导出"), QT_TRANSLATE_NOOP("Jurisdiction", "校准记录导出"), DataExport, Everyone,
         &U::OriginalRecord},
        {"Custom", QT_TRANSLATE_NOOP("Admin", "自定义导出"), QT_TRANSLATE_NOOP("Jurisdiction", "原始记录导出"), DataExport, Everyone,
         &U::Custom},
        {"AdminAdd", QT_TRANSLATE_NOOP("Admin", "用户添加"), QT_TRANSLATE_NOOP("Jurisdiction", "用户添加"), Admin, AdminSup,
         &U::AdminAdd},
        {"AdminDelete", QT_TRANSLATE_NOOP("Admin", "用户删除"), QT_TRANSLATE_NOOP("Jurisdiction", "用户删除"), Admin, AdminOnly,
         &U::AdminDelete},
        {"LogDownload", QT_TRANSLATE_NOOP("Admin", "日志导出"), QT_TRANSLATE_NOOP("Jurisdiction", "审计日志下载"), Admin, AdminSup,
         &U::LogDownload},
        {"Format", QT_TRANSLATE_NOOP("Admin", "导出格式"), QT_TRANSLATE_NOOP("Jurisdiction", "导出格式"), SystemSet, AdminSup,
         &U::Format},
    };
    return all;
}

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
