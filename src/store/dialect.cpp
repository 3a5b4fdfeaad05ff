#include "store/dialect.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace Dialect {
namespace {

// Advisory lock keys of our own: the audit chain's tail and the schema.
constexpr qint64 AuditTailLock = 0x50435243414c41;   // "PCRCALA"
constexpr qint64 SchemaLock = 0x50435243414c53;      // "PCRCALS"

bool advisoryLock(QSqlDatabase db, qint64 key, QString *error)
{
    if (!isPostgreSQL(db))
        return true;
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("select pg_advisory_xact_lock(%1)").arg(key)))
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

QString placeholders(int n)
{
    QStringList marks;
    for (int i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

} // namespace

bool isPostgreSQL(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL");
}

QString driverName(DatabaseSettings::Kind kind)
{
    return kind == DatabaseSettings::Kind::PostgreSQL ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
}

QSqlDatabase addConnection(const DatabaseSettings &s, const QString &name)
{
    const QString driver = driverName(s.kind);
    if (QSqlDatabase::contains(name)) {
        bool same = false;
        {
            QSqlDatabase old = QSqlDatabase::database(name, false);
            old.close();
            same = old.driverName() == driver;
        }
        if (!same)
            QSqlDatabase::removeDatabase(name);
    }
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(driver, name);
    if (!s.isPostgreSQL()) {
        db.setDatabaseName(s.file);
        return db;
    }
    db.setHostName(s.host);
    db.setPort(s.port);
    db.setDatabaseName(s.dbname);
    db.setUserName(s.user);
    // The password comes from PGPASSWORD, PGPASSFILE or ~/.pgpass (libpq reads them itself).
    // Keepalives: a station whose server went away learns it within seconds.
    db.setConnectOptions(QStringLiteral("connect_timeout=5;application_name=pcrcal;keepalives=1;"
                                        "keepalives_idle=10;keepalives_interval=3;keepalives_count=3"));
    return db;
}

void tuneConnection(QSqlDatabase db)
{
    if (isPostgreSQL(db))
        return;
    // Commits need no sync of their own in WAL mode.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
}

QString rowid()
{
    return QStringLiteral("rowid");
}

QString createTable(const QSqlDatabase &db, const QString &table, const QStringList &columns, const QStringList &types)
{
    const bool pg = isPostgreSQL(db);
    QStringList defs;
    for (int i = 0; i < columns.size(); ++i) {
        QString type = types.value(i, QStringLiteral("TEXT"));
        if (pg)
            type.replace(QStringLiteral("BLOB"), QStringLiteral("BYTEA"));
        defs << columns.at(i) + QLatin1Char(' ') + type;
    }
    if (pg)
        defs << rowid() + QStringLiteral(" BIGINT GENERATED ALWAYS AS IDENTITY UNIQUE");
    return QStringLiteral("create table %1 (%2)").arg(table, defs.join(QStringLiteral(", ")));
}

QString createUniqueIndex(const QString &table, const QStringList &columns)
{
    QStringList parts{table};
    parts << columns;
    return QStringLiteral("create unique index if not exists %1_key on %2 (%3)")
        .arg(parts.join(QLatin1Char('_')), table, columns.join(QStringLiteral(", ")));
}

QStringList tableNames(const QSqlDatabase &db, bool *ok, QString *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    *ok = q.exec(isPostgreSQL(db) ? QStringLiteral("select table_name from information_schema.tables "
                                                   "where table_schema = current_schema()")
                                  : QStringLiteral("select name from sqlite_master where type = 'table'"));
    QStringList names;
    if (!*ok) {
        if (error)
            *error = q.lastError().text();
        return names;
    }
    while (q.next())
        names << q.value(0).toString();
    return names;
}

QStringList columnNames(const QSqlDatabase &db, const QString &table, bool *ok, QString *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (isPostgreSQL(db)) {
        q.prepare(QStringLiteral("select column_name from information_schema.columns where table_schema = "
                                 "current_schema() and table_name = ? order by ordinal_position"));
        q.addBindValue(table.toLower());
    } else {
        q.prepare(QStringLiteral("select name from pragma_table_info(?) order by cid"));
        q.addBindValue(table);
    }
    QStringList names;
    *ok = q.exec();
    if (!*ok) {
        if (error)
            *error = q.lastError().text();
        return names;
    }
    while (q.next()) {
        const QString name = q.value(0).toString();
        if (!(isPostgreSQL(db) && name == rowid()))
            names << name;
    }
    return names;
}

bool hasIndex(const QSqlDatabase &db, const QString &index)
{
    QSqlQuery q(db);
    if (isPostgreSQL(db)) {
        q.prepare(QStringLiteral("select count(*) from pg_indexes where schemaname = current_schema() and indexname = ?"));
        q.addBindValue(index.toLower());
    } else {
        q.prepare(QStringLiteral("select count(*) from sqlite_master where type = 'index' and name = ?"));
        q.addBindValue(index);
    }
    return q.exec() && q.next() && q.value(0).toInt() > 0;
}

QString insertInto(const QSqlDatabase &db, const QString &table, const QStringList &columns)
{
    if (!isPostgreSQL(db))
        return QStringLiteral("insert into %1 values ( %2 )").arg(table, placeholders(columns.size()));
    return QStringLiteral("insert into %1 (%2) values ( %3 )")
        .arg(table, columns.join(QStringLiteral(", ")), placeholders(columns.size()));
}

QString insertUnlessPresent(const QSqlDatabase &db, const QString &table, const QStringList &columns)
{
    QString sql = insertInto(db, table, columns);
    if (isPostgreSQL(db))
        sql += QStringLiteral(" on conflict do nothing");
    return sql;
}

QString beginWrite(const QSqlDatabase &db)
{
    return isPostgreSQL(db) ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE");
}

bool lockAuditTail(QSqlDatabase db, QString *error)
{
    return advisoryLock(db, AuditTailLock, error);
}

bool lockSchema(QSqlDatabase db, QString *error)
{
    return advisoryLock(db, SchemaLock, error);
}

QString refusedText(const QSqlDriver *driver, const QVariantList &values)
{
    if (!driver || driver->dbmsType() != QSqlDriver::PostgreSQL)
        return QString();
    for (const QVariant &v : values)
        if (v.type() == QVariant::String && v.toString().contains(QChar(0)))
            return QStringLiteral("a text holding a NUL character cannot be stored in PostgreSQL");
    return QString();
}

QVector<int> visibleColumns(const QSqlRecord &record)
{
    QVector<int> columns;
    columns.reserve(record.count());
    for (int i = 0; i < record.count(); ++i)
        if (record.fieldName(i).compare(rowid(), Qt::CaseInsensitive) != 0)
            columns << i;
    return columns;
}

bool isUniqueViolation(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    // PostgreSQL: SQLSTATE 23505. SQLite: SQLITE_CONSTRAINT_UNIQUE (2067), SQLITE_CONSTRAINT_PRIMARYKEY (1555),
    // or the plain SQLITE_CONSTRAINT (19) with its message.
    return code == QLatin1String("23505") || code == QLatin1String("2067") || code == QLatin1String("1555")
        || (code == QLatin1String("19") && error.databaseText().contains(QLatin1String("UNIQUE")));
}

} // namespace Dialect
