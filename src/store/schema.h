#pragma once
// The tables of "PCR.db3": names, columns in their binding order, and creation.

#include "store/tool.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <vector>

namespace Schema {

struct Table
{
    QString name;
    QStringList columns;   // in column order
    QStringList types;     // declared type per column
    int added = 0;         // trailing columns a later version added: an older file may lack them
    // Registrations that must be unique (numbers, names), enforced by the server where several
    // stations write at once; an SQLite file keeps what it holds (older files may repeat one).
    QList<QStringList> unique;
};

// The tables in creation order.
const std::vector<Table> &tables();
const Table *table(const QString &name);

// Tables that came after the first databases were delivered: created when missing like the rest,
// but not asked of a file checked for being one of ours (an older backup lacks them).
const std::vector<Table> &addedTables();

// Whether every table of db that this program reads has exactly this program's columns, by name
// and in order (a table that came later may be missing; an older trail may lack its chain
// column). Rows are read by position: a table with a column more, less or moved would be read
// into the wrong fields.
bool hasProgramColumns(const QSqlDatabase &db, QString *why = nullptr);
// The same on a file, read-only on a private connection.
bool fileHasProgramColumns(const QString &fileName, QString *why = nullptr);

// On PostgreSQL: a trigger that refuses every update, delete and truncate of AuditLog, made when
// missing and when the role may (the table's owner); the role the stations use should further
// hold only SELECT and INSERT on it (README). False with the server's reason when it could not be
// made; nothing on SQLite.
bool protectAuditTrail(QSqlDatabase db, QString *error = nullptr);

// The account a new database starts with, its password and answer as delivered (plain; they are
// stored hashed).
Tool::Struct_UesrManagement initialUser();

// Creates every missing table (added ones included) and the CalibrationData index; a table UesrManagement created here
// receives the initial account. All in one transaction: on failure nothing is left half made.
// On PostgreSQL also the unique keys.
// Without the initial account for a database about to receive another one's rows.
bool ensure(QSqlDatabase db, QString *error, bool withInitialAccount = true);

} // namespace Schema
