#pragma once
// Where the database lives: the SQLite file of the workspace (the default, one station) or a
// PostgreSQL server that several stations share. Read once from group "Database" of
// "config.ini". No password is ever kept here: libpq takes it from PGPASSWORD, PGPASSFILE or
// ~/.pgpass, as every PostgreSQL client does.
//
// A location text names either: a file path, or "postgresql://user@host:port/dbname". Worker
// threads open their own connection on the location the default connection has.

#include <QCoreApplication>
#include <QString>

struct DatabaseSettings
{
    Q_DECLARE_TR_FUNCTIONS(DatabaseSettings)

public:
    enum class Kind { SQLite, PostgreSQL };

    Kind kind = Kind::SQLite;
    QString file = QStringLiteral("PCR.db3");   // SQLite: the database file
    QString host = QStringLiteral("localhost");   // PostgreSQL: server, port, database, user
    int port = 5432;
    QString dbname = QStringLiteral("pcrcal");
    QString user;

    bool isPostgreSQL() const { return kind == Kind::PostgreSQL; }

    // Group "Database": Kind ("SQLite" or "PostgreSQL"), Host, Port, Name, User. A missing group
    // or an unknown kind reads as the SQLite file "PCR.db3".
    static DatabaseSettings read(const QString &configFile = QStringLiteral("config.ini"));
    bool write(const QString &configFile = QStringLiteral("config.ini")) const;

    // The location text (see above) and back; false when the text is a URL that does not read.
    QString location() const;
    static bool fromLocation(const QString &location, DatabaseSettings *settings, QString *error = nullptr);
    static bool isServerLocation(const QString &location);

    // What is wrong with the server fields, empty when nothing is (the SQLite kind needs none).
    QString problem() const;
    // Host, port, database and user for people and logs; never a password.
    QString describe() const;

    bool operator==(const DatabaseSettings &o) const;
    bool operator!=(const DatabaseSettings &o) const { return !(*this == o); }
};
