#include "store/databasefile.h"

#include "store/schema.h"

#include <QAtomicInteger>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace DatabaseFile {

Kind classify(const QString &fileName, QString *detail)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return Kind::Missing;
    if (!info.isFile())
        return Kind::NotDatabase;
    QFile probe(fileName);
    if (!probe.open(QIODevice::ReadOnly))
        return Kind::Unreadable;
    probe.close();
    static QAtomicInteger<quint64> serial;
    const QString name = QStringLiteral("pcr-classify-%1").arg(serial.fetchAndAddRelaxed(1));
    Kind kind = Kind::NotDatabase;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(fileName);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (q.exec(QStringLiteral("select name from sqlite_master where type = 'table'"))) {
                QSet<QString> present;
                while (q.next())
                    present.insert(q.value(0).toString());
                if (q.lastError().isValid()) {
                    if (detail)
                        *detail = q.lastError().text();
                } else {
                    kind = Kind::Foreign;
                    for (const Schema::Table &t : Schema::tables())
                        if (present.contains(t.name))
                            kind = Kind::Ours;
                }
            } else if (detail) {
                *detail = q.lastError().text();
            }
        } else if (detail) {
            *detail = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return kind;
}

} // namespace DatabaseFile
