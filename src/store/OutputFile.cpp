#include "store/OutputFile.h"

#include "store/tool.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The absolute, symlink-free form of a path that may not exist yet.
QString resolved(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    return QDir::cleanPath((dir.isEmpty() ? info.absolutePath() : dir) + QLatin1Char('/') + info.fileName());
}

bool isWorkspaceName(const QString &name)
{
    const QString db = Tool::DatabaseFileName;
    static const QRegularExpression log(QStringLiteral("^log_.*\\.log$"));
    return name == db || name == db + QStringLiteral("-wal") || name == db + QStringLiteral("-shm")
        || name == db + QStringLiteral("-journal") || name == Tool::ConfigFileName || log.match(name).hasMatch();
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QString cannotWrite(const QString &path, const QString &why)
{
    return OutputFile::tr("无法写入文件：%1（%2）").arg(QDir::toNativeSeparators(path), why);
}

// Syncs the folder so the rename itself survives a power cut.
void syncFolder(const QString &path)
{
    const int dir = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// Whether path names the -wal, -shm or -journal file of a database beside it.
bool isCompanion(const QString &path)
{
    for (const char *suffix : {"-wal", "-shm", "-journal"}) {
        const QLatin1String s(suffix);
        if (path.endsWith(s) && QFileInfo(path.left(path.size() - s.size())).isFile())
            return true;
    }
    return false;
}

bool isSqliteFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3", 16);
}

// Puts temporary in place of path: renamed over it, or with replace false only where nothing is
// yet, in one step, so that of two writers of a new file one fails. 0, or the errno.
int place(const QByteArray &temporary, const QByteArray &path, bool replace)
{
    if (replace)
        return std::rename(temporary.constData(), path.constData()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, path.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without that rename: a hard link fails just as well where a file is.
    if (::link(temporary.constData(), path.constData()) != 0)
        return errno;
    ::unlink(temporary.constData());
    return 0;
}

} // namespace

OutputFile::Check OutputFile::check(const QString &path, const QStringList &workspaceDirs, bool overwrite,
                                    bool mayBeDatabase)
{
    const QString target = resolved(path);
    const QFileInfo info(target);
    if (isCompanion(target))
        return Check::WorkspaceFile;
    for (const QString &dir : workspaceDirs) {
        if (dir.isEmpty())
            continue;
        if (QFileInfo(target).absolutePath() == resolved(dir) && isWorkspaceName(info.fileName()))
            return Check::WorkspaceFile;
    }
    const QString database = Tool::databaseFileName();
    if (!database.isEmpty()) {
        for (const char *suffix : {"", "-wal", "-shm", "-journal"})
            if (target == resolved(database + QLatin1String(suffix)))
                return Check::WorkspaceFile;
    }
    struct stat st;
    if (::stat(QFile::encodeName(target).constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return Check::NotRegular;
        if (!mayBeDatabase && isSqliteFile(target))
            return Check::Database;
        if (!overwrite)
            return Check::Exists;
    }
    return Check::Writable;
}

QString OutputFile::toolRefusal(const QString &path, const QStringList &moreDirs, bool overwrite)
{
    const Check c = check(path, workspaceDirs() + moreDirs, overwrite);
    if (c == Check::Writable)
        return QString();
    QString text = refusalText(c, path);
    if (c == Check::Exists)
        text += QLatin1Char(' ') + tr("（用 --overwrite 覆盖）");
    return text;
}

QString OutputFile::refusalText(Check check, const QString &path)
{
    const QString p = QDir::toNativeSeparators(path);
    switch (check) {
    case Check::Writable:
        return QString();
    case Check::WorkspaceFile:
        return tr("不能覆盖工作目录中的程序文件：%1").arg(p);
    case Check::NotRegular:
        return tr("目标不是普通文件：%1").arg(p);
    case Check::Exists:
        return tr("文件已存在：%1").arg(p);
    case Check::Database:
        return tr("不能覆盖数据库文件：%1").arg(p);
    }
    return QString();
}

QStringList OutputFile::workspaceDirs()
{
    QStringList dirs{QDir::currentPath()};
    const QString database = Tool::databaseFileName();
    if (!database.isEmpty())
        dirs << QFileInfo(database).absolutePath();
    return dirs;
}

bool OutputFile::samePath(const QString &a, const QString &b)
{
    return resolved(a) == resolved(b);
}

QString OutputFile::stagingBeside(const QString &path)
{
    const QString temporary = temporaryBeside(path);
    const QString suffix = QFileInfo(path).suffix();
    return suffix.isEmpty() ? temporary : temporary + QLatin1Char('.') + suffix;
}

int OutputFile::createStream(const QString &path, bool replace, QString *error)
{
    const QString temporary = temporaryBeside(path);
    const QByteArray name = QFile::encodeName(temporary);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    int failure = fd < 0 ? errno : place(name, QFile::encodeName(path), replace);
    if (failure == 0)
        return fd;
    if (fd >= 0) {
        ::close(fd);
        ::unlink(name.constData());
    }
    if (error)
        *error = failure == EEXIST ? tr("文件已存在：%1").arg(QDir::toNativeSeparators(path))
                                   : cannotWrite(path, systemError(failure));
    return -1;
}

QString OutputFile::temporaryBeside(const QString &path)
{
    const QFileInfo info(path);
    static QAtomicInteger<int> serial;
    return info.absolutePath() + QLatin1Char('/') + QLatin1Char('.') + info.fileName()
        + QStringLiteral(".%1-%2.part").arg(::getpid()).arg(serial.fetchAndAddRelaxed(1));
}

bool OutputFile::write(const QString &path, const QByteArray &bytes, QString *error, bool replace)
{
    const QString temporary = temporaryBeside(path);
    const QByteArray name = QFile::encodeName(temporary);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error)
            *error = cannotWrite(path, systemError(errno));
        return false;
    }
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    int failure = 0;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failure = n < 0 ? errno : ENOSPC;
            break;
        }
        p += n;
        left -= n;
    }
    if (!failure && ::fsync(fd) != 0)
        failure = errno;
    if (::close(fd) != 0 && !failure)
        failure = errno;
    if (failure) {
        ::unlink(name.constData());
        if (error)
            *error = cannotWrite(path, systemError(failure));
        return false;
    }
    return commit(temporary, path, error, bytes.size(), replace);
}

bool OutputFile::commit(const QString &temporary, const QString &path, QString *error, qint64 expectedSize,
                        bool replace)
{
    const QByteArray name = QFile::encodeName(temporary);
    auto fail = [&](const QString &why) {
        ::unlink(name.constData());
        if (error)
            *error = cannotWrite(path, why);
        return false;
    };
    // The library that wrote it may not have synced: what is not on the disk is not written.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(systemError(errno));
    struct stat st;
    const bool synced = ::fsync(fd) == 0;
    const int syncError = errno;
    const bool stated = ::fstat(fd, &st) == 0;
    ::close(fd);
    if (!synced)
        return fail(systemError(syncError));
    if (!stated || st.st_size <= 0 || (expectedSize >= 0 && st.st_size != expectedSize))
        return fail(tr("写入的文件不完整"));
    // The target is checked once more right before it is replaced.
    struct stat old;
    if (::stat(QFile::encodeName(resolved(path)).constData(), &old) == 0 && !S_ISREG(old.st_mode))
        return fail(tr("目标不是普通文件"));
    const int placed = place(name, QFile::encodeName(path), replace);
    if (placed == EEXIST)
        return fail(tr("文件已存在（另一个导出刚刚写入了它）"));
    if (placed != 0)
        return fail(systemError(placed));
    syncFolder(path);
    return true;
}
