#pragma once
// Damages one leaf page of a table in an SQLite file, as a failing disk or a torn copy would, so
// that reading the table fails part of the way through. The file must be closed and checkpointed.

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// The page damaged (1-based), or 0 when the table has fewer than three leaf pages or dbstat is
// not available.
inline int damageLeafPage(const QString &file, const QString &table)
{
    const QString name = QStringLiteral("test-damage");
    int page = 0;
    int pageSize = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            q.finish();
            if (q.exec(QStringLiteral("PRAGMA page_size")) && q.next())
                pageSize = q.value(0).toInt();
            q.finish();
            q.prepare(QStringLiteral("select pageno from dbstat where name = ? and pagetype = 'leaf' order by pageno"));
            q.addBindValue(table);
            QList<int> leaves;
            if (q.exec())
                while (q.next())
                    leaves << q.value(0).toInt();
            if (leaves.size() >= 3)
                page = leaves.at(leaves.size() / 2);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (page <= 0 || pageSize <= 0)
        return 0;
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite) || !f.seek(qint64(page - 1) * pageSize))
        return 0;
    // An invalid page type and a cell count beyond the page: SQLite reports the page corrupt.
    f.write(QByteArray(pageSize, '\xff'));
    f.close();
    return page;
}
