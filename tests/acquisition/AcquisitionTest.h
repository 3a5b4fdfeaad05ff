#pragma once
// Shared by the acquisition tests: a second connection that holds the database's write lock, and
// SQLite's own check of a database file.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// Holds the write lock of file while it lives, as another program writing to it would.
class WriteLock
{
public:
    explicit WriteLock(const QString &file)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name());
        db.setDatabaseName(file);
        locked = db.open() && QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    ~WriteLock()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(name(), false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(name());
    }
    WriteLock(const WriteLock &) = delete;
    WriteLock &operator=(const WriteLock &) = delete;

    bool locked = false;

private:
    static QString name() { return QStringLiteral("test-write-lock"); }
};

// "ok" when PRAGMA integrity_check finds file sound; otherwise its first finding.
inline QString integrityOf(const QString &file)
{
    const QString name = QStringLiteral("test-integrity-check");
    QString result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next())
                result = q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}
