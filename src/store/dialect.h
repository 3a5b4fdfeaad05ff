#pragma once
// What SQLite and PostgreSQL spell differently, in one place. Every statement of the store is
// written once; where the two back ends differ it asks here.
//
// PostgreSQL has no implicit rowid. Every table made there gets a column "rowid" (an identity,
// unique), so "order by rowid" and "where rowid = ?" mean insertion order on both. Rows read by
// position never see it: readers drop it (dropRowid), and inserts there name their columns.
// Unquoted names fold to lower case on PostgreSQL; the store never quotes table or column
// names, so both spell them the same, and catalogue lookups compare without case.

#include "store/DatabaseSettings.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

class QSqlDriver;
class QSqlError;
class QSqlRecord;

namespace Dialect {

bool isPostgreSQL(const QSqlDatabase &db);
QString driverName(DatabaseSettings::Kind kind);

// The connection named `name`, closed, set up for the settings' back end (added, or reused when
// it exists with the same driver; not opened). The PostgreSQL one learns of a lost server within
// seconds rather than after the system's TCP time-outs.
QSqlDatabase addConnection(const DatabaseSettings &settings, const QString &name);
// Per-connection settings after opening: SQLite's synchronous NORMAL; nothing on the server.
void tuneConnection(QSqlDatabase db);

QString rowid();

// "create table" with the declared types of the schema (TEXT, INTEGER, BLOB, "TEXT PRIMARY KEY")
// turned into the back end's, and PostgreSQL's rowid column.
QString createTable(const QSqlDatabase &db, const QString &table, const QStringList &columns,
                    const QStringList &types);
// A unique index named after the table and its columns.
QString createUniqueIndex(const QString &table, const QStringList &columns);

// The tables, the column names of one table (in order, without PostgreSQL's rowid) and whether
// an index exists; *ok false when the catalogue could not be read.
QStringList tableNames(const QSqlDatabase &db, bool *ok, QString *error = nullptr);
QStringList columnNames(const QSqlDatabase &db, const QString &table, bool *ok, QString *error = nullptr);
bool hasIndex(const QSqlDatabase &db, const QString &index);

// Positional on SQLite (an older file's column names are its own), by name on PostgreSQL.
QString insertInto(const QSqlDatabase &db, const QString &table, const QStringList &columns);
// An insert that quietly stores nothing when a unique key already holds the values (PostgreSQL;
// on SQLite the plain insert).
QString insertUnlessPresent(const QSqlDatabase &db, const QString &table, const QStringList &columns);

// Opens a write transaction that holds the writer's lock from its first statement
// ("BEGIN IMMEDIATE" on SQLite; PostgreSQL locks rows as it writes).
QString beginWrite(const QSqlDatabase &db);
// Serialises appends to the audit chain across stations: a transaction-scoped advisory lock on
// PostgreSQL, held until commit or rollback. SQLite's write transaction does that already.
bool lockAuditTail(QSqlDatabase db, QString *error);
// The same for making the tables of an empty server database.
bool lockSchema(QSqlDatabase db, QString *error);

// Why the back end cannot store these values as given, empty when it can: a PostgreSQL text
// cannot hold a NUL character (SQLite keeps it).
QString refusedText(const QSqlDriver *driver, const QVariantList &values);

// The indexes of the record's columns without PostgreSQL's rowid, in order.
QVector<int> visibleColumns(const QSqlRecord &record);

// A write refused because a unique key already holds the value (another station was first).
bool isUniqueViolation(const QSqlError &error);

} // namespace Dialect
