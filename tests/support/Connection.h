#pragma once
// Runs statements on a private connection to a database file (another writer, or a look into a
// copy); `immutable` reads the file alone, without what its -wal holds.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QUrl>
#include <QVariant>

class Connection
{
public:
    explicit Connection(const QString &fileName, const QString &name = QStringLiteral("tst-other"),
                        bool immutable = false)
        : m_name(name)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        if (immutable) {
            db.setDatabaseName(QString::fromLatin1(QUrl::fromLocalFile(fileName).toEncoded()) + QStringLiteral("?immutable=1"));
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        } else {
            db.setDatabaseName(fileName);
        }
        db.open();
    }
    ~Connection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    bool exec(const QString &sql) const
    {
        QSqlQuery q(db());
        return q.exec(sql);
    }
    int count(const QString &sql) const { return text(sql).toInt(); }
    QString text(const QString &sql) const
    {
        QSqlQuery q(db());
        return q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("-1");
    }

private:
    QString m_name;
};
