#include "store/Backup.h"

#include "store/ThreadConnection.h"
#include "store/auditanchors.h"
#include "store/schema.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>
#include <QThread>
#include <QUrl>

#include <sqlite3.h>

#include <unistd.h>

#include <algorithm>

namespace Backup {

namespace {

bool failed(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

// base itself when free, else base with the first free counter appended.
QString freeName(const QString &base)
{
    QString name = base;
    for (int n = 1; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = base + QStringLiteral("-%1").arg(n);
    return name;
}

void removeWithCompanions(const QString &file)
{
    QFile::remove(file);
    for (const QString &c : companionsOf(file))
        QFile::remove(c);
}

// A connection closed when it goes.
struct Handle
{
    sqlite3 *db = nullptr;
    ~Handle() { sqlite3_close_v2(db); }
    QString error() const { return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"); }
    bool exec(const char *sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
};

// Opens the source read-only and begins the read transaction the snapshot is taken in. A file
// on read-only media that says it is in WAL mode cannot be opened that way without its -shm; with
// no -wal beside it there is nothing to miss, and it is read as an immutable file.
bool openSource(const QString &database, Handle &source, QString *error)
{
    const QByteArray path = QFile::encodeName(QFileInfo(database).absoluteFilePath());
    auto begin = [&source] {
        sqlite3_busy_timeout(source.db, 5000);
        return source.exec("BEGIN") && source.exec("SELECT count(*) FROM sqlite_master");
    };
    if (sqlite3_open_v2(path.constData(), &source.db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK && begin())
        return true;
    const QString why = source.error();
    sqlite3_close_v2(source.db);
    source.db = nullptr;
    if (!QFileInfo::exists(database + QStringLiteral("-wal"))) {
        const QByteArray uri =
            QUrl::fromLocalFile(QFileInfo(database).absoluteFilePath()).toEncoded() + "?immutable=1";
        if (sqlite3_open_v2(uri.constData(), &source.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) == SQLITE_OK
            && begin())
            return true;
    }
    return failed(error, why);
}

// The anchor file's lines into the copy's anchor table (replacing what an earlier restore left).
bool carryAnchors(sqlite3 *db, const QString &database, QString *error)
{
    QFile file(AuditAnchors::pathForLocation(database));
    if (!file.exists())
        return true;
    // A backup without the heads is still a backup: only verifying it from elsewhere is weaker.
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug().noquote() << "备份未带审计锚点：" << file.fileName() << file.errorString();
        return true;
    }
    const QByteArray table = AuditAnchors::tableName().toLatin1();
    const QByteArray make = "CREATE TABLE IF NOT EXISTS " + table + " (Line TEXT); DELETE FROM " + table + ";";
    const QByteArray insert = "INSERT INTO " + table + " (Line) VALUES (?)";
    // Heads recorded after the snapshot began belong to later entries the copy does not hold.
    qint64 entries = -1;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM AuditLog", -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        entries = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    stmt = nullptr;
    bool ok = entries >= 0 && sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK
        && sqlite3_exec(db, make.constData(), nullptr, nullptr, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, insert.constData(), -1, &stmt, nullptr) == SQLITE_OK;
    while (ok && !file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty() || line.split(' ').value(0).toLongLong() > entries)
            continue;
        sqlite3_bind_text(stmt, 1, line.constData(), line.size(), SQLITE_TRANSIENT);
        ok = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok)
        return failed(error, QString::fromUtf8(sqlite3_errmsg(db)));
    return true;
}

// Moves `from` to `to` unless `to` exists (a backup never replaces a file).
bool moveIntoPlace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return true;
    }
    // File systems without hard links (FAT on a USB stick): a rename, which Qt refuses over an
    // existing file.
    return QFile::rename(from, to);
}

} // namespace

Settings Settings::read(const QString &configFile)
{
    const auto ini = Tool::configFile(configFile);
    Settings s;
    s.autoBackup = ini->value(QStringLiteral("/Backups/AutoBackup")).toBool();
    s.cycleDays = ini->value(QStringLiteral("/Backups/BackupsCycle")).toInt();
    s.folder = ini->value(QStringLiteral("/Backups/BackupPath")).toString();
    s.lastBackup = QDateTime::fromString(ini->value(QStringLiteral("Backups/BackupTime")).toString(), Tool::TimeFormat);
    return s;
}

bool writeAutoBackup(bool on, int cycleDays, const QString &configFile)
{
    const auto ini = Tool::configFile(configFile);
    ini->setValue(QStringLiteral("Backups/AutoBackup"), on);
    ini->setValue(QStringLiteral("Backups/BackupsCycle"), cycleDays);
    ini->sync();
    return ini->status() == QSettings::NoError;
}

bool writeFolder(const QString &folder, const QString &configFile)
{
    const auto ini = Tool::configFile(configFile);
    ini->setValue(QStringLiteral("Backups/BackupPath"), folder);
    ini->sync();
    return ini->status() == QSettings::NoError;
}

bool writeLastBackup(const QDateTime &when, const QString &configFile)
{
    const auto ini = Tool::configFile(configFile);
    ini->setValue(QStringLiteral("Backups/BackupTime"), when.toString(Tool::TimeFormat));
    ini->sync();
    return ini->status() == QSettings::NoError;
}

bool isDue(const QDateTime &lastBackup, int cycleDays, const QDateTime &now)
{
    // An invalid time gives an invalid due time, whose distance counts as 0: due.
    const QDateTime due = lastBackup.addDays(cycleDays);
    return !(due.secsTo(now) < 0);
}

QString targetPath(const QString &folder, const QDateTime &now)
{
    const QString target = folder + QStringLiteral("/") + now.toString(QStringLiteral("yyyy_MM_dd_hh_mm"))
        + QStringLiteral("_PCR.db3");
    return QDir::toNativeSeparators(target).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QStringList companionsOf(const QString &database)
{
    QStringList present;
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        if (QFileInfo::exists(database + QLatin1String(suffix)))
            present << database + QLatin1String(suffix);
    return present;
}

Result snapshot(const QString &database, const QString &target, const Control &control, QString *error)
{
    const QFileInfo source(database);
    const QFileInfo out(target);
    if (!source.isFile()) {
        failed(error, QStringLiteral("no database file: %1").arg(database));
        return Result::Failed;
    }
    if (out.exists() || out.isSymLink() || out.absoluteFilePath() == source.absoluteFilePath()) {
        failed(error, QStringLiteral("target exists: %1").arg(target));
        return Result::Failed;
    }
    if (!out.absoluteDir().exists()) {
        failed(error, QStringLiteral("no folder: %1").arg(out.absolutePath()));
        return Result::Failed;
    }
    // Written under a name of its own beside the target, moved there only when complete: a
    // failed or cancelled backup leaves nothing that could pass for one.
    QTemporaryFile reserve(out.absoluteFilePath() + QStringLiteral(".XXXXXX.part"));
    reserve.setAutoRemove(false);
    if (!reserve.open()) {
        failed(error, reserve.errorString());
        return Result::Failed;
    }
    const QString part = reserve.fileName();
    reserve.close();

    const ThreadConnection::Claim claim(database);
    Result result = Result::Failed;
    {
        Handle from;
        Handle to;
        if (!openSource(database, from, error)) {
            removeWithCompanions(part);
            return Result::Failed;
        }
        const QByteArray partPath = QFile::encodeName(part);
        if (sqlite3_open_v2(partPath.constData(), &to.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            failed(error, to.error());
            removeWithCompanions(part);
            return Result::Failed;
        }
        // Nothing to roll back into in a file nobody sees yet.
        to.exec("PRAGMA journal_mode=OFF");
        sqlite3_backup *backup = sqlite3_backup_init(to.db, "main", from.db, "main");
        if (!backup) {
            failed(error, to.error());
            removeWithCompanions(part);
            return Result::Failed;
        }
        int rc = SQLITE_OK;
        while (true) {
            rc = sqlite3_backup_step(backup, std::max(1, control.stepPages));
            const int total = sqlite3_backup_pagecount(backup);
            if (control.progress)
                control.progress(total - sqlite3_backup_remaining(backup), total);
            if (rc == SQLITE_DONE)
                break;
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
                QThread::msleep(10);
            } else if (rc != SQLITE_OK) {
                break;
            }
            if (control.cancel && control.cancel->load()) {
                result = Result::Cancelled;
                break;
            }
        }
        const int finish = sqlite3_backup_finish(backup);
        if (rc == SQLITE_DONE && finish == SQLITE_OK) {
            // The pages came with the source's WAL mark; the copy is a plain file that opens
            // anywhere, read-only media included.
            if (to.exec("PRAGMA journal_mode=DELETE") && carryAnchors(to.db, database, error))
                result = Result::Done;
            else
                failed(error, to.error());
        } else if (result != Result::Cancelled) {
            failed(error, finish != SQLITE_OK ? to.error() : QString::fromUtf8(sqlite3_errstr(rc)));
        }
        from.exec("COMMIT");
    }
    if (result == Result::Done && !moveIntoPlace(part, target)) {
        failed(error, QStringLiteral("target exists: %1").arg(target));
        result = Result::Failed;
    }
    if (result != Result::Done)
        removeWithCompanions(part);
    return result;
}

RestoreResult stage(const QString &source, const QString &live, QString *staging, const Control &control,
                    QString *error)
{
    const QFileInfo liveInfo(live);
    if (liveInfo.exists() && QFileInfo(source).canonicalFilePath() == liveInfo.canonicalFilePath())
        return RestoreResult::SameFile;
    QString why;
    if (!Tool::isPcrDatabase(source, &why)) {
        failed(error, why);
        return RestoreResult::NotADatabase;
    }

    // Made beside the live file, so that the swap itself is two renames.
    const QString copy = freeName(liveInfo.absoluteFilePath() + QStringLiteral(".restore"));
    const Result made = snapshot(source, copy, control, &why);
    if (made == Result::Cancelled)
        return RestoreResult::Cancelled;
    if (made != Result::Done || !Tool::isPcrDatabase(copy, &why)) {
        QFile::remove(copy);
        failed(error, why);
        return RestoreResult::Failed;
    }
    // Checked on the copy: a plain file here, whatever media the backup is on.
    if (!Schema::fileHasProgramColumns(copy, &why)) {
        QFile::remove(copy);
        failed(error, why);
        return RestoreResult::Incompatible;
    }
    // The restored database must take new rows, whatever the backup's own permissions were.
    const QFile::Permissions permissions =
        liveInfo.exists() ? QFile::permissions(live) : QFile::Permissions(QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(copy, permissions | QFile::ReadOwner | QFile::WriteOwner);
    if (staging)
        *staging = copy;
    return RestoreResult::Done;
}

RestoreResult swapIn(const QString &staging, const QString &live, const std::function<void()> &close,
                     const std::function<bool()> &reopen, QString *error, QString *setAside)
{
    const QString livePath = QFileInfo(live).absoluteFilePath();
    close();
    // Still open here, or held by another connection or process: its file must not be swapped.
    if (Tool::isDatabaseOpen() || ThreadConnection::openCount(livePath) > 0 || !companionsOf(livePath).isEmpty()) {
        failed(error, QStringLiteral("database still in use: %1").arg(companionsOf(livePath).join(QLatin1Char(' '))));
        QFile::remove(staging);
        reopen();
        return RestoreResult::Failed;
    }
    const bool hadLive = QFileInfo::exists(livePath);
    const QString kept = freeName(livePath + QStringLiteral(".before-restore"));
    if (hadLive && !QFile::rename(livePath, kept)) {
        failed(error, QStringLiteral("cannot move %1 to %2").arg(livePath, kept));
        QFile::remove(staging);
        reopen();
        return RestoreResult::Failed;
    }
    auto putBack = [&] {
        if (hadLive && !QFile::rename(kept, livePath)) {
            // Never reopen over a missing file: that would start an empty database.
            qDebug().noquote() << "恢复失败！原数据库保存在：" << kept;
            return;
        }
        reopen();
    };
    if (!QFile::rename(staging, livePath)) {
        failed(error, QStringLiteral("cannot move %1 to %2").arg(staging, livePath));
        QFile::remove(staging);
        putBack();
        return RestoreResult::Failed;
    }
    if (!reopen()) {
        failed(error, QStringLiteral("restored file does not open"));
        close();
        removeWithCompanions(livePath);
        putBack();
        return RestoreResult::Failed;
    }
    if (setAside)
        *setAside = hadLive ? kept : QString();
    else if (hadLive)
        QFile::remove(kept);
    return RestoreResult::Done;
}

} // namespace Backup
