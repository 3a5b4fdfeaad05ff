#include "store/certificates.h"

#include "store/ThreadConnection.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace Certificates {
namespace {

const QRegularExpression &fieldPattern()
{
    static const QRegularExpression field(QStringLiteral("\\{(yyyy|yy|MM|dd|n+)\\}"));
    return field;
}

QString withRunning(const QString &pattern)
{
    const QString p = pattern.trimmed().isEmpty() ? defaultPattern() : pattern.trimmed();
    static const QRegularExpression running(QStringLiteral("\\{n+\\}"));
    return running.match(p).hasMatch() ? p : p + QStringLiteral("-{nnnn}");
}

// The pattern with its date fields filled, split at its (first) running number.
struct Parts
{
    QString before, after;
    int width = 1;
};

Parts split(const QString &pattern, const QDate &date)
{
    Parts parts;
    QString *target = &parts.before;
    bool runningSeen = false;
    int at = 0;
    QRegularExpressionMatchIterator it = fieldPattern().globalMatch(pattern);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        *target += pattern.mid(at, m.capturedStart() - at);
        at = m.capturedEnd();
        const QString field = m.captured(1);
        if (field.startsWith(QLatin1Char('n'))) {
            if (!runningSeen) {
                runningSeen = true;
                parts.width = field.size();
                target = &parts.after;
            }
            continue;   // a second running field prints nothing
        }
        *target += date.toString(field);
    }
    *target += pattern.mid(at);
    return parts;
}

const char *const CreateTable = "create table if not exists CertificateNumber ("
                                "Number TEXT primary key, CalibrationName TEXT not null, "
                                "CalibrationTime TEXT not null, IssueDate TEXT, "
                                "unique (CalibrationName, CalibrationTime))";

QString storedNumber(QSqlDatabase db, const Tool::Struct_Calibration &project, bool *ok)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select Number from CertificateNumber where CalibrationName = ? and CalibrationTime = ?"));
    q.addBindValue(project.CalibrationName);
    q.addBindValue(project.CalibrationTime);
    *ok = q.exec();
    return *ok && q.next() ? q.value(0).toString() : QString();
}

} // namespace

bool ensureTable(QSqlDatabase db, QString *error)
{
    QSqlQuery q(db);
    if (q.exec(QString::fromLatin1(CreateTable)))
        return true;
    *error = q.lastError().text();
    return false;
}

QString defaultPattern()
{
    return QStringLiteral("PCR{yyyy}-{nnnn}");
}

QString formatNumber(const QString &pattern, const QDate &date, int running)
{
    const Parts parts = split(withRunning(pattern), date);
    return parts.before + QStringLiteral("%1").arg(running, parts.width, 10, QLatin1Char('0')) + parts.after;
}

QString nextNumber(const QString &pattern, const QDate &date, const QStringList &taken)
{
    const Parts parts = split(withRunning(pattern), date);
    const QRegularExpression mine(QStringLiteral("^%1(\\d+)%2$")
                                      .arg(QRegularExpression::escape(parts.before),
                                           QRegularExpression::escape(parts.after)));
    int highest = 0;
    for (const QString &number : taken) {
        const QRegularExpressionMatch m = mine.match(number);
        if (m.hasMatch())
            highest = std::max(highest, m.captured(1).toInt());
    }
    int running = highest + 1;
    QString number = formatNumber(pattern, date, running);
    while (taken.contains(number))
        number = formatNumber(pattern, date, ++running);
    return number;
}

Allocation allocate(const Tool::Struct_Calibration &project, const QString &pattern, const QDate &issueDate)
{
    Allocation a;
    QSqlDatabase db = ThreadConnection::current();
    if (!db.isOpen()) {
        a.error = QCoreApplication::translate("Certificates", "数据库未打开");
        return a;
    }
    if (!ensureTable(db, &a.error))
        return a;
    // Another station may take a number between our look and our insert: the primary key then
    // refuses ours, and the next try sees it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        bool ok = false;
        a.number = storedNumber(db, project, &ok);
        if (!ok) {
            a.error = QCoreApplication::translate("Certificates", "读取证书编号失败");
            return a;
        }
        if (!a.number.isEmpty()) {
            a.kept = a.ok = true;
            return a;
        }
        QStringList taken;
        QSqlQuery all(db);
        if (!all.exec(QStringLiteral("select Number from CertificateNumber"))) {
            a.error = all.lastError().text();
            return a;
        }
        while (all.next())
            taken << all.value(0).toString();
        all.finish();
        const QString own = project.CertificateNumber.trimmed();
        a.number = !own.isEmpty() && !taken.contains(own) ? own : nextNumber(pattern, issueDate, taken);

        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("insert into CertificateNumber (Number, CalibrationName, CalibrationTime, IssueDate) "
                                      "values (?, ?, ?, ?)"));
        insert.addBindValue(a.number);
        insert.addBindValue(project.CalibrationName);
        insert.addBindValue(project.CalibrationTime);
        insert.addBindValue(issueDate.toString(Qt::ISODate));
        if (insert.exec()) {
            a.ok = true;
            return a;
        }
        a.error = insert.lastError().text();
    }
    a.number.clear();
    return a;
}

QString keptNumber(const Tool::Struct_Calibration &project)
{
    QSqlDatabase db = ThreadConnection::current();
    QString error;
    if (!db.isOpen() || !ensureTable(db, &error))
        return QString();
    bool ok = false;
    return storedNumber(db, project, &ok);
}

bool measuringInstrument(const QString &deviceName, Tool::Struct_Electrometer *instrument)
{
    if (deviceName.trimmed().isEmpty())
        return false;
    QSqlDatabase db = ThreadConnection::current();
    QSqlQuery q(db);
    QStringList columns;
    for (const auto &field : Tool::Struct_Electrometer::fields())
        columns << QString::fromLatin1(field.first);
    q.prepare(QStringLiteral("select %1 from Electrometer where DeviceName = ?").arg(columns.join(QStringLiteral(", "))));
    q.addBindValue(deviceName);
    if (!q.exec() || !q.next())
        return false;
    QStringList values;
    for (int i = 0; i < columns.size(); ++i)
        values << q.value(i).toString();
    *instrument = Tool::Struct_Electrometer::fromValues(values);
    return true;
}

} // namespace Certificates
