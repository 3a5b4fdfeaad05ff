#include "store/rights.h"

#include "store/accounts.h"
#include "store/tool.h"

#include <QCoreApplication>

namespace {

using U = Tool::Struct_UesrManagement;
using G = RightGroup;
constexpr auto AdminOnly = RightChangeable::AdministratorsOnly;
constexpr auto AdminSup = RightChangeable::AdministratorsAndSupervisors;
constexpr auto Everyone = RightChangeable::EveryRole;

#define PCR_RIGHT(r) Right::r, #r, &U::r

// In column order, which is also the order of the enum. Right names (which are also the users
// list's headers unless one is given) translate in context "Admin", box labels in context
// "Jurisdiction".
constexpr std::array<U::RightColumn, RightCount> table = {{
    {PCR_RIGHT(SQLBackups), QT_TRANSLATE_NOOP("Admin", "数据库备份"), QT_TRANSLATE_NOOP("Jurisdiction", "数据库备份"),
     G::SystemSet, AdminOnly},
    {PCR_RIGHT(CompanyName), QT_TRANSLATE_NOOP("Admin", "公司名称"), QT_TRANSLATE_NOOP("Jurisdiction", "公司名称"),
     G::SystemSet, AdminOnly},
    {PCR_RIGHT(SystemSet), QT_TRANSLATE_NOOP("Admin", "系统设置"), QT_TRANSLATE_NOOP("Jurisdiction", "系统设置"),
     G::SystemSet, AdminSup},
    {PCR_RIGHT(PCRDeviceAdd), QT_TRANSLATE_NOOP("Admin", "PCR设备添加"), QT_TRANSLATE_NOOP("Jurisdiction", "PCR设备添加"),
     G::PCRDevice, AdminSup},
    {PCR_RIGHT(PCRDeviceModify), QT_TRANSLATE_NOOP("Admin", "PCR设备修改"), QT_TRANSLATE_NOOP("Jurisdiction", "PCR设备修改"),
     G::PCRDevice, AdminSup},
    {PCR_RIGHT(PCRDeviceDelete), QT_TRANSLATE_NOOP("Admin", "PCR设备删除"), QT_TRANSLATE_NOOP("Jurisdiction", "PCR设备删除"),
     G::PCRDevice, AdminOnly},
    {PCR_RIGHT(ElectrometerAdd), QT_TRANSLATE_NOOP("Admin", "测温仪添加"), QT_TRANSLATE_NOOP("Jurisdiction", "测温仪添加"),
     G::Electrometer, AdminSup},
    {PCR_RIGHT(ElectrometerModify), QT_TRANSLATE_NOOP("Admin", "测温仪修改"), QT_TRANSLATE_NOOP("Jurisdiction", "测温仪修改"),
     G::Electrometer, AdminSup},
    {PCR_RIGHT(ElectrometerDelete), QT_TRANSLATE_NOOP("Admin", "测温仪删除"), QT_TRANSLATE_NOOP("Jurisdiction", "测温仪删除"),
     G::Electrometer, AdminOnly},
    {PCR_RIGHT(ElectrometerScan), QT_TRANSLATE_NOOP("Admin", "通信设置"), QT_TRANSLATE_NOOP("Jurisdiction", "通信设置"),
     G::Electrometer, Everyone},
    {PCR_RIGHT(StandardizerAdd), QT_TRANSLATE_NOOP("Admin", "探头添加"), QT_TRANSLATE_NOOP("Jurisdiction", "探头添加"),
     G::Standardizer, AdminSup},
    {PCR_RIGHT(StandardizerDelete), QT_TRANSLATE_NOOP("Admin", "探头删除"), QT_TRANSLATE_NOOP("Jurisdiction", "探头删除"),
     G::Standardizer, AdminOnly},
    {PCR_RIGHT(CyclicFileAdd), QT_TRANSLATE_NOOP("Admin", "循环文件添加"), QT_TRANSLATE_NOOP("Jurisdiction", "循环文件添加"),
     G::CyclicFile, AdminSup},
    {PCR_RIGHT(CyclicFileDelete), QT_TRANSLATE_NOOP("Admin", "循环文件删除"), QT_TRANSLATE_NOOP("Jurisdiction", "循环文件删除"),
     G::CyclicFile, AdminOnly},
    {PCR_RIGHT(LayoutAdd), QT_TRANSLATE_NOOP("Admin", "布点图添加"), QT_TRANSLATE_NOOP("Jurisdiction", "布点图添加"),
     G::Layout, AdminSup},
    {PCR_RIGHT(LayoutDelete), QT_TRANSLATE_NOOP("Admin", "布点图删除"), QT_TRANSLATE_NOOP("Jurisdiction", "布点图删除"),
     G::Layout, AdminOnly},
    {PCR_RIGHT(CalibrationStartUp), QT_TRANSLATE_NOOP("Admin", "开始校准"), QT_TRANSLATE_NOOP("Jurisdiction", "开始校准"),
     G::Calibration, Everyone},
    {PCR_RIGHT(DeleteData), QT_TRANSLATE_NOOP("Admin", "数据删除"), QT_TRANSLATE_NOOP("Jurisdiction", "数据删除"),
     G::Calibration, AdminOnly},
    // The export boxes name the exports as the data export page shows them.
    {PCR_RIGHT(CalibrationReport), QT_TRANSLATE_NOOP("Admin", "校准报告导出"), QT_TRANSLATE_NOOP("Jurisdiction", "校准报告导出"),
     G::DataExport, Everyone},
    // Headed like its box, so that "原始记录导出" (Custom's box) never names this right too.
    {PCR_RIGHT(OriginalRecord), QT_TRANSLATE_NOOP("Admin", "原始记录导出"), QT_TRANSLATE_NOOP("Jurisdiction", "校准记录导出"),
     G::DataExport, Everyone, QT_TRANSLATE_NOOP("Admin", "校准记录导出")},
    {PCR_RIGHT(Custom), QT_TRANSLATE_NOOP("Admin", "自定义导出"), QT_TRANSLATE_NOOP("Jurisdiction", "原始记录导出"),
     G::DataExport, Everyone},
    {PCR_RIGHT(AdminAdd), QT_TRANSLATE_NOOP("Admin", "用户添加"), QT_TRANSLATE_NOOP("Jurisdiction", "用户添加"),
     G::Admin, AdminSup},
    {PCR_RIGHT(AdminDelete), QT_TRANSLATE_NOOP("Admin", "用户删除"), QT_TRANSLATE_NOOP("Jurisdiction", "用户删除"),
     G::Admin, AdminOnly},
    {PCR_RIGHT(LogDownload), QT_TRANSLATE_NOOP("Admin", "日志下载"), QT_TRANSLATE_NOOP("Jurisdiction", "审计日志下载"),
     G::Admin, AdminSup,
     QT_TRANSLATE_NOOP("Admin", "日志导出")},
    {PCR_RIGHT(Format), QT_TRANSLATE_NOOP("Admin", "导出格式"), QT_TRANSLATE_NOOP("Jurisdiction", "导出格式"),
     G::SystemSet, AdminSup},
}};

#undef PCR_RIGHT

constexpr bool inEnumOrder()
{
    for (int i = 0; i < RightCount; ++i)
        if (int(table[size_t(i)].right) != i)
            return false;
    return true;
}
static_assert(inEnumOrder(), "the rights table must follow the order of enum Right");
static_assert(int(Right::Format) + 1 == RightCount, "RightCount must count every right");

} // namespace

const std::array<Tool::Struct_UesrManagement::RightColumn, RightCount> &Tool::Struct_UesrManagement::rights()
{
    return table;
}

const Tool::Struct_UesrManagement::RightColumn &Tool::Struct_UesrManagement::rightColumn(::Right right)
{
    return table[size_t(right)];
}

namespace Rights {

QString name(Right right)
{
    return QString::fromUtf8(table[size_t(right)].name);
}

QString displayName(Right right)
{
    return QCoreApplication::translate("Admin", table[size_t(right)].name);
}

QString column(Right right)
{
    return QString::fromLatin1(table[size_t(right)].column);
}

QString header(Right right)
{
    const U::RightColumn &r = table[size_t(right)];
    return QCoreApplication::translate("Admin", r.header ? r.header : r.name);
}

QString label(Right right)
{
    return QCoreApplication::translate("Jurisdiction", table[size_t(right)].label);
}

bool isChangeable(RightChangeable rule, const QString &role)
{
    switch (rule) {
    case RightChangeable::AdministratorsOnly:
        return role == Accounts::administrator();
    case RightChangeable::AdministratorsAndSupervisors:
        return role != Accounts::operatorRole();
    case RightChangeable::EveryRole:
        return true;
    }
    return false;
}

} // namespace Rights
