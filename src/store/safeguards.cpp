#include "store/safeguards.h"

#include "store/auditchain.h"
#include "store/dialect.h"
#include "store/passwords.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>

namespace Safeguards {
namespace {

void fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
}

bool audit(QSqlDatabase db, const QString &operatorName, AuditEvent event, const QString &text, QString *error)
{
    const Tool::Struct_AuditLog entry{QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")),
                                      operatorName.isEmpty() ? systemOperator() : operatorName,
                                      AuditEvents::storedWord(int(event)), text};
    return AuditChain::append(db, entry, error);
}

} // namespace

QString systemOperator()
{
    return QStringLiteral("系统");
}

int hashPlainSecrets(QSqlDatabase db, QString *error)
{
    // By name: a table with a column added or moved keeps its secrets where they are.
    bool read = false;
    QString why;
    const QStringList columns = Dialect::columnNames(db, QStringLiteral("UesrManagement"), &read, &why);
    if (!read) {
        fail(error, why);
        return -1;
    }
    // An older file with names of its own: the password 2nd, the answer 9th column.
    const bool named = columns.contains(QStringLiteral("Password"), Qt::CaseInsensitive)
        && columns.contains(QStringLiteral("Answer"), Qt::CaseInsensitive);
    if (!named && columns.size() < 9)
        return 0;   // not an account table this program can use; nothing to convert
    const QString password = named ? QStringLiteral("Password") : QLatin1Char('"') + columns.at(1) + QLatin1Char('"');
    const QString answer = named ? QStringLiteral("Answer") : QLatin1Char('"') + columns.at(8) + QLatin1Char('"');
    struct Row
    {
        qint64 rowid;
        QString password, answer;
    };
    QVector<Row> plain;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("select rowid, %1, %2 from UesrManagement").arg(password, answer))) {
            fail(error, q.lastError().text());
            return -1;
        }
        while (q.next()) {
            const Row r{q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString()};
            if (!Passwords::isHashed(r.password) || !Passwords::isHashed(r.answer))
                plain.push_back(r);
        }
    }
    if (plain.isEmpty())
        return 0;
    if (!db.transaction()) {
        fail(error, db.lastError().text());
        return -1;
    }
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE UesrManagement SET %1 = ?, %2 = ? WHERE rowid = ?").arg(password, answer));
    for (const Row &r : plain) {
        update.addBindValue(Passwords::isHashed(r.password) ? r.password : Passwords::hash(r.password));
        update.addBindValue(Passwords::isHashed(r.answer) ? r.answer : Passwords::hash(r.answer));
        update.addBindValue(r.rowid);
        if (!update.exec()) {
            fail(error, update.lastError().text());
            update.finish();
            db.rollback();
            return -1;
        }
    }
    update.finish();
    if (!db.commit()) {
        fail(error, db.lastError().text());
        db.rollback();
        return -1;
    }
    return plain.size();
}

bool apply(QSqlDatabase db, const QString &operatorName, Report *report, QString *error)
{
    Report r;
    if (!AuditChain::upgrade(db, &r.chained, error))
        return false;
    if (r.chained == -2)
        qDebug().noquote() << "审计日志的哈希列已被删除，不重建哈希链；校验将报告此改动。";
    if (r.chained >= 0
        && !audit(db, operatorName, AuditEvent::AuditChainCreated,
                  QCoreApplication::translate("Safeguards", "为已有的 %1 条审计记录建立哈希链。").arg(r.chained), error))
        return false;
    r.converted = hashPlainSecrets(db, error);
    if (r.converted < 0)
        return false;
    if (r.converted > 0
        && !audit(db, operatorName, AuditEvent::SecretsHashed,
                  QCoreApplication::translate("Safeguards", "%1 个账户的明文密码和找回答案已改为加盐哈希保存。")
                      .arg(r.converted),
                  error))
        return false;
    if (report)
        *report = r;
    return true;
}

} // namespace Safeguards
