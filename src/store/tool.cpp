#include "store/tool.h"

#include "store/Backup.h"
#include "store/ThreadConnection.h"
#include "store/auditchain.h"
#include "store/databasefile.h"
#include "store/dialect.h"
#include "store/passwords.h"
#include "store/safeguards.h"
#include "store/schema.h"
#include "store/settingschecks.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QUrl>

#include <algorithm>

Tool::Struct_UesrManagement Tool::CurrentUser;
QString Tool::CorporateName;
QString Tool::Language;
QString Tool::TemperatureUnit;
int Tool::TemperatureAccuracy = 0;
QString Tool::Format;
const QString Tool::DatabaseFileName = QStringLiteral("PCR.db3");
const QString Tool::ConfigFileName = QStringLiteral("config.ini");
const QString Tool::TimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

// ---------------------------------------------------------------------------------------------
// Record layouts

#define PCR_FIELD(T, f) {#f, &T::f}

const Tool::FieldList<Tool::Struct_UesrManagement> &Tool::Struct_UesrManagement::fields()
{
    using T = Struct_UesrManagement;
    static const FieldList<T> f = {PCR_FIELD(T, Name), PCR_FIELD(T, Password), PCR_FIELD(T, Rights),
                                   PCR_FIELD(T, State), PCR_FIELD(T, RegistrationDate),
                                   PCR_FIELD(T, ExpirationDate), PCR_FIELD(T, ErrorsNumber),
                                   PCR_FIELD(T, Problem), PCR_FIELD(T, Answer), PCR_FIELD(T, Remarks)};
    return f;
}

void Tool::Struct_UesrManagement::setAllRights(bool on)
{
    for (const RightColumn &r : rights())
        this->*(r.flag) = on;
}

bool Tool::Struct_UesrManagement::hasExpired(const QDateTime &now) const
{
    const QDateTime expiry = QDateTime::fromString(ExpirationDate, TimeFormat);
    return !expiry.isValid() || now.secsTo(expiry) <= 0;
}

const Tool::FieldList<Tool::Struct_PCRDevice> &Tool::Struct_PCRDevice::fields()
{
    using T = Struct_PCRDevice;
    static const FieldList<T> f = {PCR_FIELD(T, Number), PCR_FIELD(T, DeviceName),
                                   PCR_FIELD(T, DeviceModel), PCR_FIELD(T, SerialNumber),
                                   PCR_FIELD(T, Manufacturer), PCR_FIELD(T, CalibrationMode),
                                   PCR_FIELD(T, CalibrationDate), PCR_FIELD(T, CalibrationCycle),
                                   PCR_FIELD(T, CertificateNumber), PCR_FIELD(T, Remarks)};
    return f;
}

const Tool::FieldList<Tool::Struct_Electrometer> &Tool::Struct_Electrometer::fields()
{
    using T = Struct_Electrometer;
    static const FieldList<T> f = {PCR_FIELD(T, Number), PCR_FIELD(T, DeviceName),
                                   PCR_FIELD(T, DeviceModel), PCR_FIELD(T, Manufacturer),
                                   PCR_FIELD(T, SerialNumber), PCR_FIELD(T, CalibrationState),
                                   PCR_FIELD(T, CertificateNumber), PCR_FIELD(T, CalibrationCycle),
                                   PCR_FIELD(T, Uncertain), PCR_FIELD(T, SignalMode),
                                   PCR_FIELD(T, IP_COM), PCR_FIELD(T, Port_BaudRate)};
    return f;
}

const Tool::FieldList<Tool::Struct_Standardizer> &Tool::Struct_Standardizer::fields()
{
    using T = Struct_Standardizer;
    static const FieldList<T> f = {PCR_FIELD(T, Number), PCR_FIELD(T, Name),
                                   PCR_FIELD(T, NumberChannels), PCR_FIELD(T, TimeDate),
                                   PCR_FIELD(T, ChannelNames), PCR_FIELD(T, ChannelNumbers),
                                   PCR_FIELD(T, ProbeTypes), PCR_FIELD(T, Conversions),
                                   PCR_FIELD(T, ChannelParameter1), PCR_FIELD(T, ChannelParameter2),
                                   PCR_FIELD(T, ChannelParameter3), PCR_FIELD(T, B0_R0),
                                   PCR_FIELD(T, B1), PCR_FIELD(T, B2), PCR_FIELD(T, B3)};
    return f;
}

const Tool::FieldList<Tool::Struct_CyclicFile> &Tool::Struct_CyclicFile::fields()
{
    using T = Struct_CyclicFile;
    static const FieldList<T> f = {PCR_FIELD(T, Number), PCR_FIELD(T, Name),
                                   PCR_FIELD(T, StepCount), PCR_FIELD(T, CreateTime),
                                   PCR_FIELD(T, Steps), PCR_FIELD(T, SetTemperatures),
                                   PCR_FIELD(T, HoldTimes)};
    return f;
}

const Tool::FieldList<Tool::Struct_Layout> &Tool::Struct_Layout::fields()
{
    using T = Struct_Layout;
    static const FieldList<T> f = {PCR_FIELD(T, Name), PCR_FIELD(T, PointCount),
                                   PCR_FIELD(T, Points), PCR_FIELD(T, Image)};
    return f;
}

const Tool::FieldList<Tool::Struct_Calibration> &Tool::Struct_Calibration::fields()
{
    using T = Struct_Calibration;
    static const FieldList<T> f = {
        PCR_FIELD(T, CalibrationName), PCR_FIELD(T, Company), PCR_FIELD(T, ProjectRemarks),
        PCR_FIELD(T, CalibrationTime), PCR_FIELD(T, Interval), PCR_FIELD(T, AmbientTemperature),
        PCR_FIELD(T, AmbientHumidity), PCR_FIELD(T, AmbientPressure), PCR_FIELD(T, Calibrator),
        PCR_FIELD(T, Checker), PCR_FIELD(T, DeviceName), PCR_FIELD(T, DeviceModel),
        PCR_FIELD(T, SerialNumber), PCR_FIELD(T, Manufacturer), PCR_FIELD(T, CertificateNumber),
        PCR_FIELD(T, ElectrometerName), PCR_FIELD(T, StandardizerName),
        PCR_FIELD(T, NumberChannels), PCR_FIELD(T, ChannelNumbers),
        PCR_FIELD(T, ChannelParameter1), PCR_FIELD(T, UniformityFile), PCR_FIELD(T, RateFile),
        PCR_FIELD(T, CalibrationLinear), PCR_FIELD(T, LayoutName), PCR_FIELD(T, LayoutPoints)};
    return f;
}

const Tool::FieldList<Tool::Struct_CalibrationData> &Tool::Struct_CalibrationData::fields()
{
    using T = Struct_CalibrationData;
    static const FieldList<T> f = {PCR_FIELD(T, Name), PCR_FIELD(T, Model), PCR_FIELD(T, Time),
                                   PCR_FIELD(T, Temperatures)};
    return f;
}

const Tool::FieldList<Tool::Struct_AuditLog> &Tool::Struct_AuditLog::fields()
{
    using T = Struct_AuditLog;
    static const FieldList<T> f = {PCR_FIELD(T, Time), PCR_FIELD(T, Operator), PCR_FIELD(T, Type),
                                   PCR_FIELD(T, Details)};
    return f;
}

#undef PCR_FIELD

namespace {

template<class T>
QStringList textsOf(const T &record)
{
    QStringList texts;
    for (const auto &f : T::fields())
        texts << record.*(f.second);
    return texts;
}

template<class T>
T recordFrom(const QStringList &texts)
{
    T record;
    int i = 0;
    for (const auto &f : T::fields()) {
        if (i < texts.size())
            record.*(f.second) = texts.at(i);
        ++i;
    }
    return record;
}

} // namespace

#define PCR_RECORD_TEXTS(T)                                                                        \
    QStringList Tool::T::values() const { return textsOf(*this); }                                 \
    Tool::T Tool::T::fromValues(const QStringList &texts) { return recordFrom<T>(texts); }

PCR_RECORD_TEXTS(Struct_UesrManagement)
PCR_RECORD_TEXTS(Struct_PCRDevice)
PCR_RECORD_TEXTS(Struct_Electrometer)
PCR_RECORD_TEXTS(Struct_Standardizer)
PCR_RECORD_TEXTS(Struct_CyclicFile)
PCR_RECORD_TEXTS(Struct_Layout)
PCR_RECORD_TEXTS(Struct_Calibration)
PCR_RECORD_TEXTS(Struct_CalibrationData)
PCR_RECORD_TEXTS(Struct_AuditLog)

#undef PCR_RECORD_TEXTS

// ---------------------------------------------------------------------------------------------
// Statement helpers

namespace {

template<class T> struct TableOf;
template<> struct TableOf<Tool::Struct_UesrManagement> { static constexpr const char *name = "UesrManagement"; };
template<> struct TableOf<Tool::Struct_PCRDevice> { static constexpr const char *name = "PCRDevice"; };
template<> struct TableOf<Tool::Struct_Electrometer> { static constexpr const char *name = "Electrometer"; };
template<> struct TableOf<Tool::Struct_Standardizer> { static constexpr const char *name = "Standardizer"; };
template<> struct TableOf<Tool::Struct_CyclicFile> { static constexpr const char *name = "CyclicFile"; };
template<> struct TableOf<Tool::Struct_Layout> { static constexpr const char *name = "Layout"; };
template<> struct TableOf<Tool::Struct_Calibration> { static constexpr const char *name = "Calibration"; };
template<> struct TableOf<Tool::Struct_CalibrationData> { static constexpr const char *name = "CalibrationData"; };
template<> struct TableOf<Tool::Struct_AuditLog> { static constexpr const char *name = "AuditLog"; };

// Whether the calling thread's last failed write hit a unique key.
thread_local bool lastDuplicate = false;

bool execute(QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    lastDuplicate = false;
    const QString refused = Dialect::refusedText(query.driver(), values);
    if (!refused.isEmpty()) {
        qDebug() << "SQL:" << refused << sql;
        return false;
    }
    if (!query.prepare(sql)) {
        qDebug() << "SQL:" << query.lastError().text() << sql;
        return false;
    }
    for (const QVariant &v : values) {
        // A null QString would bind as NULL; texts are stored as texts, the empty one included.
        if (v.type() == QVariant::String && v.toString().isNull())
            query.addBindValue(QStringLiteral(""));
        else
            query.addBindValue(v);
    }
    if (!query.exec()) {
        lastDuplicate = Dialect::isUniqueViolation(query.lastError());
        qDebug() << "SQL:" << query.lastError().text() << sql;
        return false;
    }
    return true;
}

// The connection of the calling thread (a worker's own, else the default one), without opening
// it again behind the back of whoever closed it.
QSqlDatabase connection()
{
    return ThreadConnection::current();
}

QSqlDatabase defaultConnection()
{
    return QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
}

QString placeholders(int n)
{
    QString s;
    s.reserve(2 * n);
    for (int i = 0; i < n; ++i)
        s += i ? QStringLiteral(",?") : QStringLiteral("?");
    return s;
}

// The statement with its values written in, for the log: what was stored, readable.
QString describe(const QString &sql, const QVariantList &values, const QList<int> &masked = {})
{
    QString out;
    int v = 0;
    for (const QChar c : sql) {
        if (c != QLatin1Char('?') || v >= values.size()) {
            out += c;
            continue;
        }
        QString text = masked.contains(v) ? QStringLiteral("***") : values.at(v).toString();
        if (text.size() > 120)
            text = text.left(60) + QStringLiteral("...(%1)").arg(text.size());
        out += values.at(v).type() == QVariant::Int ? text : QLatin1Char('\'') + text + QLatin1Char('\'');
        ++v;
    }
    return out;
}

// Where each field of T is in the result: by column name when the result names every column of
// T (a table with a column added or moved is still read into the right fields), else by
// position (a caller's statement that names fewer columns, an older file's own names).
template<class T>
QStringList fieldNames();

template<class T>
QVector<int> fieldColumns(const QSqlRecord &record)
{
    QVector<int> byName;
    for (const QString &name : fieldNames<T>()) {
        const int at = record.indexOf(name);
        if (at < 0)
            return Dialect::visibleColumns(record);
        byName << at;
    }
    return byName;
}

// `columns` are the positions of T's fields in order (fieldColumns).
template<class T>
T readRow(const QSqlQuery &q, const QVector<int> &columns)
{
    T record;
    int i = 0;
    for (const auto &f : T::fields()) {
        if (i >= columns.size())
            break;
        record.*(f.second) = q.value(columns.at(i++)).toString();
    }
    return record;
}

template<>
Tool::Struct_UesrManagement readRow<Tool::Struct_UesrManagement>(const QSqlQuery &q, const QVector<int> &columns)
{
    using T = Tool::Struct_UesrManagement;
    T record;
    int i = 0;
    for (const auto &f : T::fields()) {
        if (i >= columns.size())
            return record;
        record.*(f.second) = q.value(columns.at(i++)).toString();
    }
    for (const auto &r : T::rights()) {
        if (i >= columns.size())
            break;
        const QVariant v = q.value(columns.at(i++));
        // Stored as integers; a text holding a number counts by its value.
        bool isNumber = false;
        const qlonglong n = v.toString().trimmed().toLongLong(&isNumber);
        record.*(r.flag) = isNumber ? n != 0 : v.toBool();
    }
    return record;
}

QVariantList boundValues(const Tool::Struct_UesrManagement &u)
{
    QVariantList values;
    for (const QString &t : u.values())
        values << t;
    for (const auto &r : Tool::Struct_UesrManagement::rights())
        values << (u.*(r.flag) ? 1 : 0);
    return values;
}

template<class T>
QVariantList boundValues(const T &record)
{
    QVariantList values;
    for (const QString &t : record.values())
        values << t;
    return values;
}

template<class T>
QStringList columnNames()
{
    QStringList names;
    for (const auto &f : T::fields())
        names << QString::fromLatin1(f.first);
    return names;
}

template<>
QStringList columnNames<Tool::Struct_UesrManagement>()
{
    QStringList names;
    for (const auto &f : Tool::Struct_UesrManagement::fields())
        names << QString::fromLatin1(f.first);
    for (const auto &r : Tool::Struct_UesrManagement::rights())
        names << QString::fromLatin1(r.column);
    return names;
}

template<class T>
QStringList fieldNames()
{
    return columnNames<T>();
}

template<class T>
bool queryRows(QList<T> &list, const Tool::Statement &statement, const char *failure)
{
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!execute(q, statement.sql, statement.values)) {
        qDebug().noquote() << QString::fromUtf8(failure);
        return false;
    }
    QList<T> rows;
    const QVector<int> columns = fieldColumns<T>(q.record());
    while (q.next())
        rows.append(readRow<T>(q, columns));
    // The rows end early on a damaged page: a shortened list is no answer.
    if (q.lastError().isValid()) {
        qDebug().noquote() << QString::fromUtf8(failure) << q.lastError().text();
        return false;
    }
    list.swap(rows);
    return true;
}

// Rows come back in table (insertion) order. SQLite scans a table in rowid order anyway; a
// server promises no order without one, and moves a row it updates.
template<class T>
QString tableOrder()
{
    return QStringLiteral(" order by rowid");
}

// SQLite reads one project's samples off the (Name, Model) index, grouped by item, as always.
template<>
QString tableOrder<Tool::Struct_CalibrationData>()
{
    return Dialect::isPostgreSQL(connection()) ? QStringLiteral(" order by rowid") : QString();
}

template<class T>
Tool::Statement byKey(const char *keyColumn, const QString &key)
{
    Tool::Statement s{QStringLiteral("select * from ") + QLatin1String(TableOf<T>::name), {}};
    if (!key.isEmpty()) {
        s.sql += QStringLiteral(" where %1 = ?").arg(QLatin1String(keyColumn));
        s.values << key;
    }
    s.sql += tableOrder<T>();
    return s;
}

void logChange(const char *prefix, const QString &sql, const QVariantList &values, const QList<int> &masked = {})
{
    qDebug().noquote() << QString::fromUtf8(prefix) + describe(sql, values, masked);
}

bool runLogged(const char *prefix, const QString &sql, const QVariantList &values,
               const QList<int> &masked = {})
{
    QSqlQuery q(connection());
    if (!execute(q, sql, values))
        return false;
    if (prefix)
        logChange(prefix, sql, values, masked);
    return true;
}

template<class T>
QString insertSql()
{
    return Dialect::insertInto(connection(), QLatin1String(TableOf<T>::name), columnNames<T>());
}

template<class T>
QString updateSql(const QStringList &columns, const char *keyColumn)
{
    QStringList sets;
    for (const QString &c : columns)
        sets << c + QStringLiteral(" = ?");
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
        .arg(QLatin1String(TableOf<T>::name), sets.join(QStringLiteral(", ")), QLatin1String(keyColumn));
}

template<class T>
QString deleteSql(const char *keyColumn)
{
    return QStringLiteral("delete from %1 where %2 = ?").arg(QLatin1String(TableOf<T>::name), QLatin1String(keyColumn));
}

// Every column but the first (the key), then the key for the WHERE.
template<class T>
bool modifyAllButKey(const T &record, const char *prefix)
{
    QStringList columns;
    QVariantList values;
    const auto &fields = T::fields();
    for (size_t i = 1; i < fields.size(); ++i) {
        columns << QString::fromLatin1(fields[i].first);
        values << record.*(fields[i].second);
    }
    values << record.*(fields[0].second);
    return runLogged(prefix, updateSql<T>(columns, fields[0].first), values);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Database

namespace {

// Where the default connection was last opened.
DatabaseSettings &openedSettings()
{
    static DatabaseSettings settings;
    return settings;
}

} // namespace

bool Tool::openDatabase(const QString &fileName)
{
    DatabaseSettings settings;
    settings.file = fileName;
    return openDatabase(settings);
}

bool Tool::openDatabase(const DatabaseSettings &settings)
{
    const QString fileName = settings.location();
    openedSettings() = settings;
    QSqlDatabase db = Dialect::addConnection(settings, QLatin1String(QSqlDatabase::defaultConnection));
    const bool server = settings.isPostgreSQL();
    // Another program's database, an empty or a damaged file is left exactly as it is.
    if (!server) {
        DatabaseFile::Condition condition = DatabaseFile::Condition::None;
        const DatabaseFile::Kind kind = DatabaseFile::classify(fileName, nullptr, &condition);
        if (kind == DatabaseFile::Kind::Foreign || kind == DatabaseFile::Kind::NotDatabase) {
            qDebug().noquote() << "打开数据库失败！" << fileName << "不是本程序的数据库";
            db.close();
            return false;
        }
        if (kind == DatabaseFile::Kind::Inaccessible) {
            qDebug().noquote() << "打开数据库失败！" << DatabaseFile::conditionText(condition, fileName);
            db.close();
            return false;
        }
    }
    if ((!server && QFileInfo(fileName).isDir()) || !db.open()) {
        qDebug().noquote() << "打开数据库失败！" << settings.describe() << db.lastError().text();
        return false;
    }
    if (!server) {
        // Write-ahead logging: readers (exports, backups) never wait for the writer of a run nor it
        // for them, and a commit needs no sync of its own. A crash of the program loses nothing
        // committed; a power cut at most the last commits, never consistency. A file that cannot
        // take it (read-only) stays in its journal mode.
        QSqlQuery pragma(db);
        if (!pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !pragma.next()
            || pragma.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
            qDebug().noquote() << "WAL:" << fileName << pragma.lastError().text() << pragma.value(0).toString();
        pragma.finish();
    }
    Dialect::tuneConnection(db);
    QString error;
    if (!Schema::ensure(db, &error) || !Safeguards::apply(db, CurrentUser.Name, nullptr, &error)) {
        qDebug().noquote() << "打开数据库失败！" << settings.describe() << error;
        db.close();
        return false;
    }
    // The server refuses to change the trail whoever asks; a role that may not make the trigger
    // leaves it to the one that owns the table (README).
    if (server && !Schema::protectAuditTrail(db, &error))
        qDebug().noquote() << "审计日志保护触发器未建立：" << error;
    return true;
}

bool Tool::openDatabaseReadOnly(const QString &fileName)
{
    DatabaseSettings settings;
    settings.file = fileName;
    openedSettings() = settings;
    QSqlDatabase db = Dialect::addConnection(settings, QLatin1String(QSqlDatabase::defaultConnection));
    DatabaseFile::setReadOnly(db, fileName);
    if (!QFileInfo(fileName).isFile() || !db.open()) {
        qDebug().noquote() << "打开数据库失败！" << fileName << db.lastError().text();
        return false;
    }
    return true;
}

void Tool::closeDatabase()
{
    QSqlDatabase db = defaultConnection();
    if (db.isValid())
        db.close();
}

bool Tool::isDatabaseOpen()
{
    return defaultConnection().isOpen();
}

bool Tool::isServerDatabase()
{
    return Dialect::isPostgreSQL(defaultConnection());
}

QString Tool::databaseFileName()
{
    const QSqlDatabase db = defaultConnection();
    if (!db.isValid())
        return QString();
    if (Dialect::isPostgreSQL(db))
        return openedSettings().location();
    // Opened as an unchanging file, the connection holds a URI rather than the file's name.
    if (db.databaseName().startsWith(QLatin1String("file:")))
        return QFileInfo(openedSettings().location()).absoluteFilePath();
    return QFileInfo(db.databaseName()).absoluteFilePath();
}

bool Tool::backupDatabase(const QString &target, QString *error)
{
    if (isServerDatabase()) {
        if (error)
            *error = serverBackupRefusal();
        return false;
    }
    return Backup::snapshot(databaseFileName(), target, {}, error) == Backup::Result::Done;
}

QString Tool::serverBackupRefusal()
{
    return tr("数据库在PostgreSQL服务器上，本程序不备份也不恢复它：请由数据库管理员用服务器自己的工具（pg_dump 备份、pg_restore 恢复，或连续归档与时间点恢复）完成。");
}

bool Tool::lastWriteWasDuplicate()
{
    return lastDuplicate;
}

bool Tool::isPcrDatabase(const QString &fileName, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!QFileInfo(fileName).isFile())
        return fail(QStringLiteral("no such file: %1").arg(fileName));
    static QAtomicInteger<quint64> serial;
    const QString name = QStringLiteral("pcr-check-%1").arg(serial.fetchAndAddRelaxed(1));
    bool ok = true;
    QString why;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(fileName);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        // Reading the catalogue is the test that the file opens at all. A WAL file on read-only
        // media cannot be read without its -shm; with no -wal beside it nothing is missed by
        // reading it as an immutable file.
        auto readable = [&db, &why] {
            if (!db.open()) {
                why = db.lastError().text();
                return false;
            }
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("select count(*) from sqlite_master")) && q.next())
                return true;
            why = q.lastError().text();
            return false;
        };
        if (!readable()) {
            const QString first = why;
            db.close();
            ok = false;
            if (!DatabaseFile::hasPendingLog(fileName)) {
                db.setDatabaseName(QString::fromLatin1(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()).toEncoded())
                                   + QStringLiteral("?immutable=1"));
                db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
                ok = readable();
            }
            if (!ok)
                why = first;
        }
        for (const Schema::Table &t : Schema::tables()) {
            if (!ok)
                break;
            QSqlQuery q(db);
            q.prepare(QStringLiteral("select count(*) from pragma_table_info(?)"));
            q.addBindValue(t.name);
            if (!q.exec() || !q.next()) {
                ok = false;
                why = q.lastError().text();
            } else if (q.value(0).toInt() < t.columns.size() - t.added) {
                ok = false;
                why = QStringLiteral("table %1 missing or incomplete").arg(t.name);
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok ? true : fail(why);
}

// ---------------------------------------------------------------------------------------------
// UesrManagement

namespace {

// Nothing is stored in plain text: a password or answer not yet hashed is hashed here; a stored
// hash handed back unchanged stays as it is.
Tool::Struct_UesrManagement withSecretsHashed(Tool::Struct_UesrManagement user)
{
    if (!Passwords::isHashed(user.Password))
        user.Password = Passwords::hash(user.Password);
    if (!Passwords::isHashed(user.Answer))
        user.Answer = Passwords::hash(user.Answer);
    return user;
}

} // namespace

bool Tool::addUesrManagement(const Struct_UesrManagement &user)
{
    // Even hashed, the password and the answer stay out of the log.
    return runLogged("添加用户信息：", insertSql<Struct_UesrManagement>(), boundValues(withSecretsHashed(user)),
                     {1, 8});
}

bool Tool::updatePassword(const QString &name, const QString &password)
{
    return runLogged("修改用户信息：", QStringLiteral("UPDATE UesrManagement SET Password = ? WHERE Name = ?"),
                     {Passwords::hash(password), name}, {0});
}

bool Tool::modifyUesrManagement(const Struct_UesrManagement &record)
{
    const Struct_UesrManagement user = withSecretsHashed(record);
    // RegistrationDate is never changed.
    QStringList columns = {QStringLiteral("Password"), QStringLiteral("Rights"), QStringLiteral("State"),
                           QStringLiteral("ExpirationDate"), QStringLiteral("ErrorsNumber"),
                           QStringLiteral("Problem"), QStringLiteral("Answer"), QStringLiteral("Remarks")};
    QVariantList values = {user.Password, user.Rights, user.State, user.ExpirationDate,
                           user.ErrorsNumber, user.Problem, user.Answer, user.Remarks};
    for (const auto &r : Struct_UesrManagement::rights()) {
        columns << QString::fromLatin1(r.column);
        values << (user.*(r.flag) ? 1 : 0);
    }
    values << user.Name;
    return runLogged("修改用户信息：", updateSql<Struct_UesrManagement>(columns, "Name"), values, {0, 6});
}

bool Tool::getUesrManagement(QList<Struct_UesrManagement> &list, const QString &name)
{
    return queryRows(list, byKey<Struct_UesrManagement>("Name", name), "查询UesrManagement失败！");
}

bool Tool::queryUesrManagement(QList<Struct_UesrManagement> &list, const Statement &statement)
{
    return queryRows(list, statement, "查询UesrManagement失败！");
}

bool Tool::deleteUesrManagement(const QString &name)
{
    return runLogged("删除用户信息：", deleteSql<Struct_UesrManagement>("Name"), {name});
}

// ---------------------------------------------------------------------------------------------
// PCRDevice

bool Tool::addPCRDevice(const Struct_PCRDevice &device)
{
    // The date the form showed: an instrument may come with a calibration from elsewhere.
    return runLogged("添加PCR设备信息：", insertSql<Struct_PCRDevice>(), boundValues(device));
}

bool Tool::ModifyPCRDevice(const Struct_PCRDevice &device)
{
    return modifyAllButKey(device, "修改PCR设备信息：");
}

bool Tool::getPCRDevice(QList<Struct_PCRDevice> &list, const QString &number)
{
    return queryRows(list, byKey<Struct_PCRDevice>("Number", number), "查询PCRDevice失败！");
}

bool Tool::deletePCRDevice(const QString &number)
{
    return runLogged("删除PCR设备信息：", deleteSql<Struct_PCRDevice>("Number"), {number});
}

// ---------------------------------------------------------------------------------------------
// Electrometer

bool Tool::addElectrometer(const Struct_Electrometer &device)
{
    return runLogged("添加测温仪设备信息：", insertSql<Struct_Electrometer>(), boundValues(device));
}

bool Tool::ModifyElectrometer(const Struct_Electrometer &device)
{
    return modifyAllButKey(device, "修改测温仪设备信息：");
}

bool Tool::getElectrometer(QList<Struct_Electrometer> &list, const QString &number)
{
    return queryRows(list, byKey<Struct_Electrometer>("Number", number), "查询Electrometer失败！");
}

bool Tool::deleteElectrometer(const QString &number)
{
    return runLogged("删除测温仪设备信息：", deleteSql<Struct_Electrometer>("Number"), {number});
}

// ---------------------------------------------------------------------------------------------
// Standardizer

bool Tool::addStandardizer(const Struct_Standardizer &probes)
{
    return runLogged("添加标准器信息：", insertSql<Struct_Standardizer>(), boundValues(probes));
}

bool Tool::ModifyStandardizer(const QString &number, const QString &b0r0, const QString &b1,
                              const QString &b2, const QString &b3)
{
    const QStringList columns = {QStringLiteral("B0_R0"), QStringLiteral("B1"), QStringLiteral("B2"),
                                 QStringLiteral("B3")};
    return runLogged("修改标准器信息：", updateSql<Struct_Standardizer>(columns, "Number"),
                     {b0r0, b1, b2, b3, number});
}

bool Tool::getStandardizer(QList<Struct_Standardizer> &list, const QString &number)
{
    return queryRows(list, byKey<Struct_Standardizer>("Number", number), "查询Standardizer失败！");
}

bool Tool::getStandardizerName(QList<Struct_Standardizer> &list, const QString &name)
{
    return queryRows(list, byKey<Struct_Standardizer>("Name", name), "查询Standardizer失败！");
}

bool Tool::deleteStandardizer(const QString &number)
{
    return runLogged("删除标准器信息：", deleteSql<Struct_Standardizer>("Number"), {number});
}

// ---------------------------------------------------------------------------------------------
// CyclicFile

bool Tool::addCyclicFile(const Struct_CyclicFile &file)
{
    return runLogged("添加步骤文件信息：", insertSql<Struct_CyclicFile>(), boundValues(file));
}

bool Tool::getCyclicFile(QList<Struct_CyclicFile> &list, const QString &number)
{
    return queryRows(list, byKey<Struct_CyclicFile>("Number", number), "查询CyclicFile失败！");
}

bool Tool::queryCyclicFile(QList<Struct_CyclicFile> &list, const Statement &statement)
{
    return queryRows(list, statement, "查询CyclicFile失败！");
}

bool Tool::ModifyCyclicFile(const Struct_CyclicFile &file)
{
    return modifyAllButKey(file, "修改步骤文件信息：");
}

bool Tool::deleteCyclicFile(const QString &number)
{
    return runLogged("删除步骤文件信息：", deleteSql<Struct_CyclicFile>("Number"), {number});
}

// ---------------------------------------------------------------------------------------------
// Layout

bool Tool::addLayout(const Struct_Layout &layout)
{
    return runLogged("添加布点图信息：", insertSql<Struct_Layout>(), boundValues(layout));
}

bool Tool::getLayout(QList<Struct_Layout> &list, const QString &name)
{
    return queryRows(list, byKey<Struct_Layout>("Name", name), "查询Layout失败！");
}

bool Tool::deleteLayout(const QString &name)
{
    return runLogged("删除布点图信息：", deleteSql<Struct_Layout>("Name"), {name});
}

// ---------------------------------------------------------------------------------------------
// Calibration

bool Tool::addCalibration(const Struct_Calibration &project)
{
    return runLogged("添加校准信息：", insertSql<Struct_Calibration>(), boundValues(project));
}

bool Tool::getCalibration(QList<Struct_Calibration> &list, const QString &name)
{
    return queryRows(list, byKey<Struct_Calibration>("CalibrationName", name), "查询Calibration失败！");
}

bool Tool::queryCalibration(QList<Struct_Calibration> &list, const Statement &statement)
{
    return queryRows(list, statement, "查询Calibration失败！");
}

bool Tool::deleteCalibration(const QString &name)
{
    return runLogged("删除校准信息：", deleteSql<Struct_Calibration>("CalibrationName"), {name});
}

// ---------------------------------------------------------------------------------------------
// CalibrationData

bool Tool::addCalibrationData(const Struct_CalibrationData &sample)
{
    // One row per sample on the run's hot path: no log line.
    return runLogged(nullptr, insertSql<Struct_CalibrationData>(), boundValues(sample));
}

bool Tool::getCalibrationData(QList<Struct_CalibrationData> &list, const QString &name)
{
    return queryRows(list, byKey<Struct_CalibrationData>("Name", name), "查询CalibrationData失败！");
}

bool Tool::queryCalibrationData(QList<Struct_CalibrationData> &list, const Statement &statement)
{
    return queryRows(list, statement, "查询CalibrationData失败！");
}

bool Tool::forEachCalibrationData(const Statement &statement,
                                  const std::function<bool(const Struct_CalibrationData &)> &visit)
{
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!execute(q, statement.sql, statement.values)) {
        qDebug().noquote() << QStringLiteral("查询CalibrationData失败！");
        return false;
    }
    const QVector<int> columns = fieldColumns<Struct_CalibrationData>(q.record());
    while (q.next()) {
        if (!visit(readRow<Struct_CalibrationData>(q, columns)))
            return true;
    }
    if (q.lastError().isValid()) {
        qDebug().noquote() << QStringLiteral("查询CalibrationData失败！") << q.lastError().text();
        return false;
    }
    return true;
}

bool Tool::deleteCalibrationData(const QString &name)
{
    return runLogged("删除校准数据：", deleteSql<Struct_CalibrationData>("Name"), {name});
}

// ---------------------------------------------------------------------------------------------
// Single-column updates

bool Tool::updateLoginErrors(const QString &name, const QString &errors, const QString &state)
{
    QSqlQuery q(connection());
    if (state.isEmpty())
        return execute(q, QStringLiteral("UPDATE UesrManagement SET ErrorsNumber = ? WHERE Name = ?"), {errors, name});
    return execute(q, QStringLiteral("UPDATE UesrManagement SET ErrorsNumber = ?, State = ? WHERE Name = ?"),
                {errors, state, name});
}

bool Tool::updateCalibrationLinear(const QString &name, const QString &value)
{
    QSqlQuery q(connection());
    return execute(q, QStringLiteral("UPDATE Calibration SET CalibrationLinear = ? WHERE CalibrationName = ?"),
                {value, name});
}

bool Tool::updatePCRDeviceCalibrationDate(const QString &serialNumber, const QString &date)
{
    QSqlQuery q(connection());
    return execute(q, QStringLiteral("UPDATE PCRDevice SET CalibrationDate = ? WHERE SerialNumber = ?"),
                {date, serialNumber});
}

// ---------------------------------------------------------------------------------------------
// DataSheet

bool Tool::addDataSheet(const QString &key, const QString &value)
{
    QSqlQuery q(connection());
    if (!execute(q, QStringLiteral("select * from DataSheet where Name = ? and Data = ?"), {key, value}))
        return false;
    if (q.next())
        return true;
    q.finish();
    // Two stations remembering the same value at once: the server keeps one.
    return execute(q, Dialect::insertUnlessPresent(connection(), QStringLiteral("DataSheet"),
                                                   {QStringLiteral("Name"), QStringLiteral("Data")}),
                   {key, value});
}

bool Tool::getDataSheet(const QString &key, QStringList &values)
{
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!execute(q, QStringLiteral("select * from DataSheet where Name = ? order by rowid"), {key}))
        return false;
    while (q.next())
        values << q.value(1).toString();
    return !q.lastError().isValid();
}

// ---------------------------------------------------------------------------------------------
// Audit trail

namespace {
std::function<void(const QString &)> &auditFailureHandler()
{
    static std::function<void(const QString &)> handler;
    return handler;
}
} // namespace

void Tool::setAuditFailureHandler(std::function<void(const QString &)> handler)
{
    auditFailureHandler() = std::move(handler);
}

bool Tool::SaveAuditLog(int type, const QString &text)
{
    const Struct_AuditLog row{QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")),
                              CurrentUser.Name, AuditEvents::storedWord(type), text};
    QString error;
    if (AuditChain::append(connection(), row, &error))
        return true;
    qDebug().noquote() << "审计日志写入失败！" << text << error;
    if (auditFailureHandler())
        auditFailureHandler()(text);
    return false;
}

bool Tool::getAuditLog(QList<Struct_AuditLog> &list, const QString &start, const QString &end,
                       const QString &op, const QString &type)
{
    Statement s{QStringLiteral("select * from AuditLog"), {}};
    if (!start.isEmpty()) {
        s.sql += QStringLiteral(" where (Time Between ? and ?) and Operator = ? and (Type like '%' || ? || '%'");
        s.values = {start, end, op, type};
        // The fragment may be typed in either language, and older entries may hold English words.
        const QStringList words = AuditEvents::storedWordsMatching(type);
        if (!words.isEmpty()) {
            s.sql += QStringLiteral(" or Type in (%1)").arg(placeholders(words.size()));
            for (const QString &w : words)
                s.values << w;
        }
        s.sql += QLatin1Char(')');
    }
    s.sql += QStringLiteral(" order by rowid");
    return queryRows(list, s, "查询AuditLog失败！");
}

QString Tool::auditTypeName(int type)
{
    return AuditEvents::displayWord(type);
}

// ---------------------------------------------------------------------------------------------
// Rights and settings

bool Tool::hasRight(Right right)
{
    return CurrentUser.has(right);
}

std::unique_ptr<QSettings> Tool::configFile(const QString &fileName)
{
    auto settings = std::make_unique<QSettings>(fileName, QSettings::IniFormat);
    settings->setIniCodec("UTF-8");
    return settings;
}

bool Tool::createDefaultConfig(const QString &fileName)
{
    if (QFileInfo::exists(fileName))
        return true;
    const auto ini = configFile(fileName);
    ini->setValue(QStringLiteral("SystemSet/CorporateName"), QString());
    ini->setValue(QStringLiteral("SystemSet/Language"), QStringLiteral("中文"));
    ini->setValue(QStringLiteral("SystemSet/TemperatureUnit"), QStringLiteral("℃"));
    ini->setValue(QStringLiteral("SystemSet/TemperatureAccuracy"), 2);
    ini->setValue(QStringLiteral("SystemSet/Format"), QStringLiteral("Word"));
    ini->setValue(QStringLiteral("Backups/AutoBackup"), false);
    ini->setValue(QStringLiteral("Backups/BackupsCycle"), 1);
    ini->setValue(QStringLiteral("Backups/BackupPath"), QString());
    ini->setValue(QStringLiteral("Backups/BackupTime"), QString());
    ini->sync();
    return ini->status() == QSettings::NoError;
}

void Tool::readSystemSettings()
{
    const auto ini = configFile();
    const SettingsChecks::SystemSettings v = SettingsChecks::validated(
        ini->value(QStringLiteral("/SystemSet/CorporateName")).toString(),
        ini->value(QStringLiteral("/SystemSet/Language")).toString(),
        ini->value(QStringLiteral("/SystemSet/TemperatureUnit")).toString(),
        ini->value(QStringLiteral("/SystemSet/TemperatureAccuracy")).toString(),
        ini->value(QStringLiteral("/SystemSet/Format")).toString());
    CorporateName = v.corporateName;
    Language = v.language;
    TemperatureUnit = v.unit;
    TemperatureAccuracy = v.accuracy;
    Format = v.format;
}

bool Tool::writeSystemSettings()
{
    const auto ini = configFile();
    ini->setValue(QStringLiteral("SystemSet/CorporateName"), CorporateName);
    ini->setValue(QStringLiteral("SystemSet/Language"), Language);
    ini->setValue(QStringLiteral("SystemSet/TemperatureUnit"), TemperatureUnit);
    ini->setValue(QStringLiteral("SystemSet/TemperatureAccuracy"), TemperatureAccuracy);
    ini->setValue(QStringLiteral("SystemSet/Format"), Format);
    ini->sync();
    return ini->status() == QSettings::NoError;
}

// ---------------------------------------------------------------------------------------------
// Enumeration words and units

namespace {

const char *const enumerationWords[] = {
    QT_TRANSLATE_NOOP("Tool", "空"),   QT_TRANSLATE_NOOP("Tool", "管理员"),
    QT_TRANSLATE_NOOP("Tool", "主管"), QT_TRANSLATE_NOOP("Tool", "操作员"),
    QT_TRANSLATE_NOOP("Tool", "正常"), QT_TRANSLATE_NOOP("Tool", "锁定"),
    QT_TRANSLATE_NOOP("Tool", "过期"), QT_TRANSLATE_NOOP("Tool", "标准"),
    QT_TRANSLATE_NOOP("Tool", "内校"), QT_TRANSLATE_NOOP("Tool", "未校"),
    QT_TRANSLATE_NOOP("Tool", "已校"), QT_TRANSLATE_NOOP("Tool", "串口"),
    QT_TRANSLATE_NOOP("Tool", "网络"), QT_TRANSLATE_NOOP("Tool", "蓝牙"),
};

bool convert(QString &value, int decimals, double (*f)(double))
{
    bool ok = false;
    const double v = value.trimmed().toDouble(&ok);
    // A text that is no number stays as it is rather than becoming the image of 0.
    if (!ok)
        return false;
    value = QString::number(f(v), 'f', decimals);
    return true;
}

} // namespace

QString Tool::toDisplayText(const QString &stored)
{
    for (const char *word : enumerationWords)
        if (stored == QString::fromUtf8(word))
            return tr(word);
    return stored;
}

QStringList Tool::toDisplayTextList(const QStringList &stored)
{
    QStringList out;
    out.reserve(stored.size());
    for (const QString &s : stored)
        out << toDisplayText(s);
    return out;
}

QString Tool::toStoredText(const QString &display)
{
    for (const char *word : enumerationWords)
        if (display == tr(word))
            return QString::fromUtf8(word);
    return display;
}

void Tool::toFahrenheit(QString &value, int decimals, bool difference)
{
    // Only a ℉ display converts: with an unset unit the pages label ℃ and toCelsius stores
    // what is typed unchanged, so showing ℉ figures would turn 95 ℃ into "203.0 ℃".
    if (value.isEmpty() || TemperatureUnit != QStringLiteral("℉"))
        return;
    convert(value, decimals, difference ? +[](double v) { return v * 9 / 5; }
                                        : +[](double v) { return v * 9 / 5 + 32; });
}

void Tool::toCelsius(QString &value, int decimals, bool difference)
{
    if (value.isEmpty() || TemperatureUnit != QStringLiteral("℉"))
        return;
    convert(value, decimals, difference ? +[](double v) { return v * 5 / 9; }
                                        : +[](double v) { return (v - 32) * 5 / 9; });
}

// ---------------------------------------------------------------------------------------------
// Machine

void Tool::delayMs(int ms)
{
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = ms; left > 0; left = ms - clock.elapsed())
        QThread::msleep(static_cast<unsigned long>(left));
}
