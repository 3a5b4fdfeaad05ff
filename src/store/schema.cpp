#include "store/schema.h"

#include "store/dialect.h"
#include "store/passwords.h"
#include "store/probepoints.h"
#include "store/profiles.h"
#include "store/runrecords.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace Schema {
namespace {

template<class T>
Table textTable(const QString &name)
{
    Table t{name, {}, {}, 0, {}};
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
    static const std::vector<Table> all = [] {
        auto keyed = [](Table t, const QList<QStringList> &unique) {
            t.unique = unique;
            return t;
        };
        const QString number = QStringLiteral("Number"), name = QStringLiteral("Name");
        return std::vector<Table>{
            keyed(userTable(), {{name}}),
            // Serial numbers may repeat (every instrument of one gets its calibration date).
            keyed(textTable<Tool::Struct_PCRDevice>(QStringLiteral("PCRDevice")), {{number}}),
            keyed(textTable<Tool::Struct_Electrometer>(QStringLiteral("Electrometer")), {{number}}),
            keyed(textTable<Tool::Struct_Standardizer>(QStringLiteral("Standardizer")), {{number}}),
            keyed(textTable<Tool::Struct_CyclicFile>(QStringLiteral("CyclicFile")), {{number}, {name}}),
            keyed(textTable<Tool::Struct_Layout>(QStringLiteral("Layout")), {{name}}),
            keyed(textTable<Tool::Struct_Calibration>(QStringLiteral("Calibration")), {{QStringLiteral("CalibrationName")}}),
            textTable<Tool::Struct_CalibrationData>(QStringLiteral("CalibrationData")),
            auditTable(),
            keyed(Table{QStringLiteral("DataSheet"), {name, QStringLiteral("Data")},
                        {QStringLiteral("TEXT"), QStringLiteral("TEXT")}, 0, {}},
                  {{name, QStringLiteral("Data")}}),
        };
    }();
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
        Table profile{QString::fromLatin1(Profiles::TableName), {}, {}, 0, {}};
        for (const auto &field : PerformanceProfileRecord::fields()) {
            profile.columns << QString::fromLatin1(field.first);
            // One profile per model.
            profile.types << (profile.types.isEmpty() ? QStringLiteral("TEXT PRIMARY KEY") : QStringLiteral("TEXT"));
        }
        Table verdict{QString::fromLatin1(Profiles::VerdictTableName), Profiles::verdictColumns(), {}, 0, {}};
        for (int i = 0; i < verdict.columns.size(); ++i)
            verdict.types << (i == 0 ? QStringLiteral("TEXT PRIMARY KEY") : QStringLiteral("TEXT"));
        Table runState{QString::fromLatin1(RunRecords::TableName), RunRecords::columns(), {}};
        for (int i = 0; i < runState.columns.size(); ++i)
            runState.types << (i == 0 ? QStringLiteral("TEXT PRIMARY KEY") : QStringLiteral("TEXT"));
        Table probeRun{QString::fromLatin1(ProbePoints::RunTableName), ProbePoints::runColumns(), {}, 0, {}};
        for (int i = 0; i < probeRun.columns.size(); ++i)
            probeRun.types << (i == 0 ? QStringLiteral("TEXT PRIMARY KEY") : QStringLiteral("TEXT"));
        Table probePoint{QString::fromLatin1(ProbePoints::PointTableName), ProbePoints::pointColumns(), {}, 0,
                         {{QStringLiteral("RunId"), QStringLiteral("Point")}}};
        for (const QString &column : probePoint.columns)
            probePoint.types << (column == QLatin1String("Point") ? QStringLiteral("INTEGER") : QStringLiteral("TEXT"));
        return std::vector<Table>{profile, verdict, runState, probeRun, probePoint};
    }();
    return added;
}

bool hasProgramColumns(const QSqlDatabase &db, QString *why)
{
    bool read = false;
    QSet<QString> present;
    for (const QString &name : Dialect::tableNames(db, &read, why))
        present.insert(name.toLower());
    if (!read)
        return false;
    std::vector<Table> all = tables();
    const size_t required = all.size();
    all.insert(all.end(), addedTables().begin(), addedTables().end());
    for (size_t i = 0; i < all.size(); ++i) {
        const Table &t = all[i];
        if (!present.contains(t.name.toLower())) {
            if (i < required) {
                if (why)
                    *why = QStringLiteral("table %1 missing").arg(t.name);
                return false;
            }
            continue;
        }
        const QStringList columns = Dialect::columnNames(db, t.name, &read, why);
        if (!read)
            return false;
        const auto same = [&columns](const QStringList &expected) {
            if (columns.size() != expected.size())
                return false;
            for (int k = 0; k < columns.size(); ++k)
                if (columns.at(k).compare(expected.at(k), Qt::CaseInsensitive) != 0)
                    return false;
            return true;
        };
        if (!same(t.columns) && !same(t.columns.mid(0, t.columns.size() - t.added))) {
            if (why)
                *why = QStringLiteral("table %1 has the columns %2").arg(t.name, columns.join(QStringLiteral(", ")));
            return false;
        }
    }
    return true;
}

bool fileHasProgramColumns(const QString &fileName, QString *why)
{
    static QAtomicInteger<quint64> serial;
    const QString name = QStringLiteral("pcr-columns-%1").arg(serial.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(fileName);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open())
            ok = hasProgramColumns(db, why);
        else if (why)
            *why = db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool protectAuditTrail(QSqlDatabase db, QString *error)
{
    if (!Dialect::isPostgreSQL(db))
        return true;
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("select count(*) from pg_trigger where tgname = 'pcr_audit_append_only' "
                              "and tgrelid = 'auditlog'::regclass"))
        && q.next() && q.value(0).toInt() > 0)
        return true;
    if (!db.transaction() || !Dialect::lockSchema(db, error)) {
        db.rollback();
        return false;
    }
    const QString statements[] = {
        QStringLiteral("create or replace function pcr_audit_append_only() returns trigger language plpgsql as "
                       "$$ begin raise exception 'AuditLog is append-only: % refused', tg_op; end $$"),
        QStringLiteral("drop trigger if exists pcr_audit_append_only on AuditLog"),
        QStringLiteral("create trigger pcr_audit_append_only before update or delete on AuditLog "
                       "for each row execute function pcr_audit_append_only()"),
        QStringLiteral("drop trigger if exists pcr_audit_no_truncate on AuditLog"),
        QStringLiteral("create trigger pcr_audit_no_truncate before truncate on AuditLog "
                       "for each statement execute function pcr_audit_append_only()"),
    };
    for (const QString &sql : statements) {
        if (!run(q, sql, error)) {
            db.rollback();
            return false;
        }
    }
    if (db.commit())
        return true;
    if (error)
        *error = db.lastError().text();
    db.rollback();
    return false;
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

bool ensure(QSqlDatabase db, QString *error, bool withInitialAccount)
{
    const bool server = Dialect::isPostgreSQL(db);
    // Two stations starting on an empty server database: one makes the tables, the other waits
    // for it and then finds them.
    if (server && (!db.transaction() || !Dialect::lockSchema(db, error))) {
        if (error && error->isEmpty())
            *error = db.lastError().text();
        db.rollback();
        return false;
    }
    // Reading the catalogue is also the test that the file is a database at all.
    bool read = false;
    QSet<QString> present;
    for (const QString &name : Dialect::tableNames(db, &read, error))
        present.insert(name.toLower());
    if (!read) {
        if (server)
            db.rollback();
        return false;
    }

    std::vector<Table> all = tables();
    all.insert(all.end(), addedTables().begin(), addedTables().end());
    QStringList missing;
    for (const Table &t : all)
        if (!present.contains(t.name.toLower()))
            missing << t.name;
    const QString index = QStringLiteral("CalibrationData_Name_Model");
    const bool needIndex = !Dialect::hasIndex(db, index);
    if (missing.isEmpty() && !needIndex)
        return !server || db.commit();

    if (!server && !db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    bool ok = true;
    for (const Table &t : all) {
        if (!ok || !missing.contains(t.name))
            continue;
        ok = run(q, Dialect::createTable(db, t.name, t.columns, t.types), error);
        for (int k = 0; ok && server && k < t.unique.size(); ++k)
            ok = run(q, Dialect::createUniqueIndex(t.name, t.unique.at(k)), error);
    }
    // On the server the index also hands one item's rows back in stored order without a sort.
    if (ok)
        ok = run(q, QStringLiteral("create index if not exists %1 on CalibrationData (Name, Model%2)")
                        .arg(index, server ? QStringLiteral(", ") + Dialect::rowid() : QString()),
                 error);
    if (ok && withInitialAccount && missing.contains(QStringLiteral("UesrManagement"))) {
        Tool::Struct_UesrManagement u = initialUser();
        u.Password = Passwords::hash(u.Name, u.Password);
        u.Answer = Passwords::hash(u.Name, u.Answer);
        const Table &t = tables().front();
        q.prepare(Dialect::insertUnlessPresent(db, t.name, t.columns));
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
