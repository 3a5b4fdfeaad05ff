#pragma once
// Copies a station's whole database into another one, typically its SQLite file into the
// PostgreSQL server the stations are about to share. The source is only read. The target must
// hold no rows of ours; it gets the schema (without an initial account: the source's accounts
// come along) and every row in stored order, in one transaction, committed only when the row
// count of every table matches the source's.

#include "store/DatabaseSettings.h"

#include <QPair>
#include <QString>
#include <QVector>

#include <functional>

namespace DatabaseCopy {

// Also the exit statuses of pcrcal-dbcopy.
enum class Status {
    Done = 0,
    SourceUnreadable = 2,   // no such file, not a database of this program, server unreachable
    TargetUnreachable = 3,  // cannot connect to or write the target
    TargetNotEmpty = 4,     // the target already holds rows of ours: nothing copied
    CopyFailed = 5,         // a row was refused or the counts differ: nothing committed
};

struct Report
{
    QVector<QPair<QString, qint64>> rows;   // table, rows copied (and counted in the target)
    QString error;
};

// progress(table, rows of it copied so far).
Status copy(const DatabaseSettings &from, const DatabaseSettings &to, Report *report,
            const std::function<void(const QString &, qint64)> &progress = {});

} // namespace DatabaseCopy
