#include "store/queries.h"

#include "store/accounts.h"

namespace Queries {

Tool::Statement cyclicFileByName(const QString &name)
{
    return {QStringLiteral("select * from CyclicFile where Name = ? order by rowid"), {name}};
}

Tool::Statement calibrationsUsingCycleFile(const QString &name)
{
    return {QStringLiteral("select * from Calibration where UniformityFile = ? OR RateFile = ? order by rowid"), {name, name}};
}

Tool::Statement calibrationsUsingProbeSet(const QString &name)
{
    return {QStringLiteral("select * from Calibration where StandardizerName = ?"), {name}};
}

Tool::Statement calibrationDataOf(const QString &name, const QString &model)
{
    // Stored order; SQLite reads it off the (Name, Model) index, which ends in rowid.
    return {QStringLiteral("select * from CalibrationData where Name = ? AND Model = ? order by rowid"), {name, model}};
}

Tool::Statement calibrationDataOf(const QString &name)
{
    // The (Name, Model) index would hand the rows back grouped by item; rowid is stored order.
    return {QStringLiteral("select * from CalibrationData where Name = ? order by rowid"), {name}};
}

Tool::Statement anySampleOf(const QString &name)
{
    return {QStringLiteral("select * from CalibrationData where Name = ? limit 1"), {name}};
}

Tool::Statement calibrationsNamed(const QString &text)
{
    return {QStringLiteral("select * from Calibration WHERE CalibrationName like '%' || ? || '%' order by rowid"), {text}};
}

Tool::Statement usersVisibleTo(const QString &role, const QString &ownName, const QString &nameFragment)
{
    Tool::Statement s{QStringLiteral("select * from UesrManagement"), {}};
    QString where;
    if (role == Accounts::administrator()) {
        // all accounts
    } else if (role == Accounts::supervisor()) {
        where = QStringLiteral("( Rights = ? OR Name = ? )");
        s.values << Accounts::operatorRole() << ownName;
    } else {
        where = QStringLiteral("Name = ?");
        s.values << ownName;
    }
    if (!nameFragment.isEmpty()) {
        where += where.isEmpty() ? QString() : QStringLiteral(" AND ");
        where += QStringLiteral("Name like '%' || ? || '%'");
        s.values << nameFragment;
    }
    if (!where.isEmpty())
        s.sql += QStringLiteral(" WHERE ") + where;
    // Table order on both back ends (a server keeps none of its own).
    s.sql += QStringLiteral(" order by rowid");
    return s;
}

} // namespace Queries
