#include "users/userrights.h"

#include "store/accounts.h"
#include "store/auditdiff.h"

#include <QCoreApplication>

namespace UserRights {

namespace {

const struct
{
    const char *objectName;
    const char *title;
} groups[RightGroupCount] = {
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

QString groupObjectName(RightGroup group)
{
    return QString::fromLatin1(groups[int(group)].objectName);
}

QString groupTitle(RightGroup group)
{
    return QCoreApplication::translate("Jurisdiction", groups[int(group)].title);
}

QStringList rolesOffered(const QString &loggedInRole)
{
    if (loggedInRole == Accounts::administrator())
        return {Accounts::administrator(), Accounts::supervisor(), Accounts::operatorRole()};
    if (loggedInRole == Accounts::supervisor())
        return {Accounts::supervisor(), Accounts::operatorRole()};
    return {};
}

bool managesOthers(const QString &loggedInRole)
{
    return loggedInRole == Accounts::administrator() || loggedInRole == Accounts::supervisor();
}

Tool::Struct_UesrManagement withRightsOf(Tool::Struct_UesrManagement target,
                                         const Tool::Struct_UesrManagement &source)
{
    for (const auto &r : Tool::Struct_UesrManagement::rights())
        target.*(r.flag) = source.*(r.flag);
    return target;
}

QString changes(const Tool::Struct_UesrManagement &before, const Tool::Struct_UesrManagement &after)
{
    using U = Tool::Struct_UesrManagement;
    static const struct
    {
        const char *label;
        QString U::*member;
        bool secret;
    } fields[] = {
        {QT_TRANSLATE_NOOP("UserRights", "用户密码"), &U::Password, true},
        {QT_TRANSLATE_NOOP("UserRights", "用户权限"), &U::Rights, false},
        {QT_TRANSLATE_NOOP("UserRights", "用户状态"), &U::State, false},
        {QT_TRANSLATE_NOOP("UserRights", "有效期"), &U::ExpirationDate, false},
        {QT_TRANSLATE_NOOP("UserRights", "问题"), &U::Problem, false},
        {QT_TRANSLATE_NOOP("UserRights", "答案"), &U::Answer, true},
        {QT_TRANSLATE_NOOP("UserRights", "备注"), &U::Remarks, false},
    };
    QVector<AuditDiff::Change> all;
    for (const auto &f : fields)
        all.push_back(AuditDiff::Change{QCoreApplication::translate("UserRights", f.label), before.*(f.member),
                                        after.*(f.member), f.secret});
    for (const auto &r : U::rights()) {
        const auto text = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
        all.push_back(AuditDiff::Change{Rights::displayName(r.right), text(before.*(r.flag)), text(after.*(r.flag))});
    }
    return AuditDiff::describe(all);
}

} // namespace UserRights
