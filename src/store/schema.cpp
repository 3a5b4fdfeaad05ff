#include "store/schema.h"

#include "store/passwords.h"
#include "store/profiles.h"

#include <QDateTime>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace Schema {
namespace {

template<class T>
Table textTable(const QString &name)
{
    Table t{name, {}, {}};
    for (const auto &field : T::fields()) {
        t.columns << QString::fromLatin1(field.first);
        t.types << QStringLiteral("TEXT");
    }
    return t;
}

Table userTable()
{
    Table t = textTable<Tool::Struct_UesrManagement>(QStringLiteral("UesrManagement"));
    for (const auto &right : Tool::Struct_UesrManagement::rights()) {
        t.columns << QString::fromLatin1(right.column);
        t.types << QStringLiteral("INTEGER");
    }
    return t;
}

// The four texts of an entry, then the chain hash (store/auditchain.h).
Table auditTable()
{
    Table t = textTable<Tool::Struct_AuditLog>(QStringLiteral("AuditLog"));
    t.columns << QStringLiteral("Hash");
    t.types << QStringLiteral("TEXT");
    t.added = 1;
    return t;
}

bool run(QSqlQuery &q, const QString &sql, QString *error)
{
    if (q.exec(sql))
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

} // namespace

const std::vector<Table> &tables()
{
    static const std::vector<Table> all = {
        userTable(),
        textTable<Tool::Struct_PCRDevice>(QStringLiteral("PCRDevice")),
        textTable<Tool::Struct_Electrometer>(QStringLiteral("Electrometer")),
        textTable<Tool::Struct_Standardizer>(QStringLiteral("Standardizer")),
        textTable<Tool::Struct_CyclicFile>(QStringLiteral("CyclicFile")),
        textTable<Tool::Struct_Layout>(QStringLiteral("Layout")),
        textTable<Tool::Struct_Calibration>(QStringLiteral("Calibration")),
        textTable<Tool::Struct_CalibrationData>(QStringLiteral("CalibrationData")),
        auditTable(),
        Table{QStringLiteral("DataSheet"), {QStringLiteral("Name"), QStringLiteral("Data")},
              {QStringLiteral("TEXT"), QStringLiteral("TEXT")}},
    };
    return all;
}

const Table *table(const QString &name)
{
    for (const Table &t : tables())
        if (t.name == name)
            return &t;
    for (const Table &t : addedTables())
        if (t.name == name)
            return &t;
    return nullptr;
}

const std::vector<Table> &addedTables()
{
    static const std::vector<Table> added = [] {
        Table profile{QString::fromLatin1(Profiles::TableName), {}, {}};
        for (const auto &field : PerformanceProfileRecord::fields()) {
            profile.columns << QString::fromLatin1(field.first);
            // One profile per model.
            profile.types << (profile.types.isEmpty() ? QStringLiteral("TEXT PRIMARY KEY") : QStringLiteral("TEXT"));
        }
        Table verdict{QString::fromLatin1(Profiles::VerdictTableName), Profiles::verdictColumns(), {}};
        for (int i = 0; i < verdict.columns.size(); ++i)
            verdict.types << (i == 0 ? QStringLiteral("TEXT PRIMARY KEY") : QStringLiteral("TEXT"));
        return std::vector<Table>{profile, verdict};
    }();
    return added;
}

Tool::Struct_UesrManagement initialUser()
{
    Tool::Struct_UesrManagement u;
    u.Name = QStringLiteral("admin");
    u.Password = QStringLiteral("123456");
    u.Rights = QStringLiteral("管理员");
    u.State = QStringLiteral("正常");
    u.RegistrationDate = QDateTime::currentDateTime().toString(Tool::TimeFormat);
    u.ExpirationDate = QStringLiteral("2099-12-31 23:59:59");
    u.ErrorsNumber = QStringLiteral("0");
    u.Problem = QStringLiteral("初始用户");
    u.Answer = QStringLiteral("admin");
    u.setAllRights(true);
    return u;
}

bool ensure(QSqlDatabase db, QString *error)
{
    QSqlQuery q(db);
    // Reading the catalogue is also the test that the file is a database at all.
    if (!run(q, QStringLiteral("select name from sqlite_master where type = 'table'"), error))
        return false;
    QSet<QString> present;
    while (q.next())
        present.insert(q.value(0).toString());
    q.finish();

    std::vector<Table> all = tables();
    all.insert(all.end(), addedTables().begin(), addedTables().end());
    QStringList missing;
    for (const Table &t : all)
        if (!present.contains(t.name))
            missing << t.name;
    const bool needIndex = [&] {
        QSqlQuery i(db);
        i.prepare(QStringLiteral("select count(*) from sqlite_master where type = 'index' and name = ?"));
        i.addBindValue(QStringLiteral("CalibrationData_Name_Model"));
        return !(i.exec() && i.next() && i.value(0).toInt() > 0);
    }();
    if (missing.isEmpty() && !needIndex)
        return true;

    if (!db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    bool ok = true;
    for (const Table &t : all) {
        if (!ok || !missing.contains(t.name))
            continue;
        QStringList defs;
        for (int i = 0; i < t.columns.size(); ++i)
            defs << t.columns[i] + QLatin1Char(' ') + t.types[i];
        ok = run(q, QStringLiteral("create table %1 (%2)").arg(t.name, defs.join(QStringLiteral(", "))), error);
    }
    if (ok)
        ok = run(q, QStringLiteral("create index if not exists CalibrationData_Name_Model "
                                   "on CalibrationData (Name, Model)"), error);
    if (ok && missing.contains(QStringLiteral("UesrManagement"))) {
        Tool::Struct_UesrManagement u = initialUser();
        u.Password = Passwords::hash(u.Password);
        u.Answer = Passwords::hash(u.Answer);
        const Table &t = tables().front();
        QStringList marks;
        for (int i = 0; i < t.columns.size(); ++i)
            marks << QStringLiteral("?");
        q.prepare(QStringLiteral("insert into UesrManagement values (%1)").arg(marks.join(QLatin1Char(','))));
        for (const QString &v : u.values())
            q.addBindValue(v);
        for (const auto &right : Tool::Struct_UesrManagement::rights())
            q.addBindValue(u.*(right.flag) ? 1 : 0);
        ok = q.exec();
        if (!ok && error)
            *error = q.lastError().text();
    }
    if (ok && db.commit())
        return true;
    if (ok && error)
        *error = db.lastError().text();
    db.rollback();
    return false;
}

} // namespace Schema
