#pragma once
// What a database file is, found out without changing it (read-only, on a private connection):
// the program writes its tables and initial account only into a file that is new or already its
// own, never into another program's database, an empty file or a damaged one.

#include <QString>

namespace DatabaseFile {

enum class Kind {
    Missing,       // no such file: a new database may be created
    Ours,          // an SQLite database holding at least one of the program's tables
    Foreign,       // an SQLite database (an empty file included) holding none of them
    NotDatabase,   // not readable as an SQLite database (damaged, or another kind of file)
    Unreadable,    // the file cannot be read at all (permissions): nothing can be said of it
};

Kind classify(const QString &fileName, QString *detail = nullptr);

} // namespace DatabaseFile
