#include "store/databasefile.h"

#include "store/schema.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace DatabaseFile {

namespace {

struct Catalogue
{
    int code = SQLITE_OK;
    QString message;
    QSet<QString> tables;
};

QString immutableUri(const QString &fileName)
{
    return QString::fromLatin1(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()).toEncoded())
        + QStringLiteral("?immutable=1");
}

// The table names of fileName, read-only; as an unchanging file when immutable. SQLite directly,
// for its exact result code.
Catalogue readCatalogue(const QString &fileName, bool immutable)
{
    Catalogue c;
    sqlite3 *db = nullptr;
    const QByteArray name = immutable ? immutableUri(fileName).toUtf8() : QFile::encodeName(fileName);
    c.code = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY | (immutable ? SQLITE_OPEN_URI : 0), nullptr);
    if (db)
        sqlite3_extended_result_codes(db, 1);
    if (c.code == SQLITE_OK) {
        sqlite3_stmt *statement = nullptr;
        c.code = sqlite3_prepare_v2(db, "select name from sqlite_master where type = 'table'", -1, &statement, nullptr);
        while (c.code == SQLITE_OK && (c.code = sqlite3_step(statement)) == SQLITE_ROW) {
            c.tables.insert(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))));
            c.code = SQLITE_OK;
        }
        if (c.code == SQLITE_DONE)
            c.code = SQLITE_OK;
        sqlite3_finalize(statement);
    }
    if (c.code != SQLITE_OK && db)
        c.message = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close_v2(db);
    return c;
}

bool holdsOurTables(const Catalogue &c)
{
    for (const Schema::Table &t : Schema::tables())
        if (c.tables.contains(t.name))
            return true;
    return false;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("DatabaseFile", text);
}

} // namespace

Condition conditionOf(int sqliteCode, Condition folder)
{
    switch (sqliteCode & 0xff) {
    case SQLITE_OK:
        return Condition::None;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_FORMAT:
        return Condition::Damaged;
    case SQLITE_FULL:
        return Condition::Full;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        // A read-only folder gives CANTOPEN (no shared-memory file can be made), a full one
        // CANTOPEN or an I/O error: what the folder shows names it.
        if (folder == Condition::ReadOnly || folder == Condition::Full)
            return folder;
        return (sqliteCode & 0xff) == SQLITE_CANTOPEN ? Condition::IoError : Condition::ReadOnly;
    case SQLITE_IOERR:
        return folder == Condition::Full || folder == Condition::ReadOnly ? folder : Condition::IoError;
    default:
        // Busy, locked, out of memory: nothing says the file is to blame.
        return Condition::IoError;
    }
}

Condition folderCondition(const QString &folder)
{
    const QByteArray dir = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    struct statvfs fs;
    if (::statvfs(dir.constData(), &fs) == 0 && (fs.f_flag & ST_RDONLY))
        return Condition::ReadOnly;
    static QAtomicInteger<quint32> serial;
    const QByteArray trial = dir + "/.pcr-write-test-" + QByteArray::number(qint64(::getpid())) + '-'
        + QByteArray::number(serial.fetchAndAddRelaxed(1));
    const int fd = ::open(trial.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            return Condition::ReadOnly;
        if (errno == ENOSPC || errno == EDQUOT)
            return Condition::Full;
        return Condition::None;
    }
    // A name fits; a page must, too.
    const int room = ::posix_fallocate(fd, 0, 4096);
    ::close(fd);
    ::unlink(trial.constData());
    return room == ENOSPC || room == EDQUOT ? Condition::Full : Condition::None;
}

QString conditionText(Condition condition, const QString &fileName)
{
    const QString file = QDir::toNativeSeparators(fileName);
    switch (condition) {
    case Condition::None:
        return QString();
    case Condition::ReadOnly:
        return tr("数据库 %1 所在的文件夹或文件是只读的（只读介质或没有写权限），不能写入；这不是文件损坏。").arg(file);
    case Condition::Full:
        return tr("数据库 %1 所在的磁盘已满，不能写入；请腾出空间后再试。这不是文件损坏。").arg(file);
    case Condition::IoError:
        return tr("读取数据库 %1 时发生输入/输出错误（设备故障或被其他程序锁定）；这不一定是文件损坏。").arg(file);
    case Condition::Damaged:
        return tr("%1 不是可读的数据库（文件损坏或不是数据库）。").arg(file);
    }
    return QString();
}

Kind classify(const QString &fileName, QString *detail, Condition *condition, bool *readOnlyCopy)
{
    if (condition)
        *condition = Condition::None;
    if (readOnlyCopy)
        *readOnlyCopy = false;
    const QFileInfo info(fileName);
    if (!info.exists())
        return Kind::Missing;
    if (!info.isFile())
        return Kind::NotDatabase;
    QFile probe(fileName);
    if (!probe.open(QIODevice::ReadOnly))
        return Kind::Unreadable;
    probe.close();
    const Catalogue c = readCatalogue(fileName, false);
    if (c.code == SQLITE_OK)
        return holdsOurTables(c) ? Kind::Ours : Kind::Foreign;
    if (detail)
        *detail = c.message;
    if (conditionOf(c.code, Condition::None) == Condition::Damaged)
        return Kind::NotDatabase;
    const Condition found = conditionOf(c.code, folderCondition(info.absolutePath()));
    if (condition)
        *condition = found;
    // With no write-ahead log beside it, the file holds everything committed and can be read as
    // it is.
    if (readOnlyCopy && !hasPendingLog(fileName)) {
        const Catalogue copy = readCatalogue(fileName, true);
        *readOnlyCopy = copy.code == SQLITE_OK && holdsOurTables(copy);
    }
    return Kind::Inaccessible;
}

bool hasPendingLog(const QString &fileName)
{
    const QFileInfo log(fileName + QStringLiteral("-wal"));
    return log.exists() && log.size() > 0;
}

void setReadOnly(QSqlDatabase &db, const QString &fileName)
{
    db.setDatabaseName(fileName);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!QFileInfo(fileName).isFile() || hasPendingLog(fileName))
        return;
    const Catalogue c = readCatalogue(fileName, false);
    if (c.code == SQLITE_OK || conditionOf(c.code, Condition::None) == Condition::Damaged)
        return;
    if (readCatalogue(fileName, true).code == SQLITE_OK) {
        db.setDatabaseName(immutableUri(fileName));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
    }
}

} // namespace DatabaseFile
