#include "store/auditanchors.h"

#include "store/DatabaseSettings.h"
#include "store/dialect.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace AuditAnchors {
namespace {

QString serverFile(const QString &host, int port, const QString &dbname)
{
    QString name = QStringLiteral("%1-%2-%3").arg(host).arg(port).arg(dbname);
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    return QDir::current().absoluteFilePath(QStringLiteral("PCR-server-%1.anchors").arg(name));
}

QString fileBeside(const QString &database)
{
    if (database.isEmpty() || database == QLatin1String(":memory:") || database.startsWith(QLatin1String("file::memory:")))
        return QString();
    return QFileInfo(database).absoluteFilePath() + QStringLiteral(".anchors");
}

bool lineFrom(const QString &line, Anchor *a)
{
    const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() < 2)
        return false;
    bool ok = false;
    a->count = parts.at(0).toLongLong(&ok);
    a->hash = parts.at(1) == QLatin1String("-") ? QString() : parts.at(1);
    a->kind = parts.value(2, QString::fromLatin1(appendKind()));
    return ok && a->count >= 0;
}

} // namespace

QString pathFor(const QSqlDatabase &db)
{
    if (Dialect::isPostgreSQL(db))
        return serverFile(db.hostName(), db.port(), db.databaseName());
    return fileBeside(db.databaseName());
}

QString pathForLocation(const QString &location)
{
    DatabaseSettings s;
    if (!DatabaseSettings::fromLocation(location, &s))
        return QString();
    return s.isPostgreSQL() ? serverFile(s.host, s.port, s.dbname) : fileBeside(s.file);
}

bool parse(const QString &text, Anchor *anchor)
{
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    bool ok = false;
    anchor->count = text.left(colon).toLongLong(&ok);
    anchor->hash = text.mid(colon + 1).trimmed().toLower();
    anchor->kind = QString::fromLatin1(appendKind());
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
    return ok && anchor->count > 0 && hex.match(anchor->hash).hasMatch();
}

QList<Anchor> read(const QString &path, bool *ok)
{
    if (ok)
        *ok = true;
    QList<Anchor> anchors;
    if (path.isEmpty() || !QFileInfo::exists(path))
        return anchors;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (ok)
            *ok = false;
        return anchors;
    }
    int line = 0;
    while (!f.atEnd()) {
        ++line;
        Anchor a;
        if (lineFrom(QString::fromUtf8(f.readLine()).trimmed(), &a)) {
            a.where = QStringLiteral("%1:%2").arg(QDir::toNativeSeparators(path)).arg(line);
            anchors << a;
        }
    }
    return anchors;
}

QList<Anchor> current(const QList<Anchor> &all)
{
    int from = 0;
    for (int i = 0; i < all.size(); ++i)
        if (all.at(i).kind == QLatin1String(foreignKind()))
            from = i;
    return all.mid(from);
}

bool append(const QString &path, const Anchor &anchor, QString *error)
{
    const QByteArray line = QStringLiteral("%1 %2 %3 %4\n")
                                .arg(anchor.count)
                                .arg(anchor.hash.isEmpty() ? QStringLiteral("-") : anchor.hash)
                                .arg(anchor.kind.isEmpty() ? QString::fromLatin1(appendKind()) : anchor.kind)
                                .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs))
                                .toUtf8();
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    // One write of one short line: appends of several processes never interleave within it.
    const bool ok = fd >= 0 && ::write(fd, line.constData(), size_t(line.size())) == line.size() && ::fsync(fd) == 0;
    if (!ok && error)
        *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (fd >= 0)
        ::close(fd);
    return ok;
}

Lock::Lock(const QString &path, bool shared)
{
    if (path.isEmpty())
        return;
    const QByteArray name = QFile::encodeName(path);
    if (!shared)
        m_fd = ::open(name.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0)
        m_fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd >= 0)
        while (::flock(m_fd, shared ? LOCK_SH : LOCK_EX) != 0 && errno == EINTR) {
        }
}

Lock::~Lock()
{
    if (m_fd >= 0)
        ::close(m_fd);   // releases the lock
}

QString tableName()
{
    return QStringLiteral("AuditAnchor");
}

QList<Anchor> carried(const QSqlDatabase &db)
{
    QList<Anchor> anchors;
    bool ok = false;
    const QStringList tables = Dialect::tableNames(db, &ok);
    if (!ok || !tables.contains(tableName(), Qt::CaseInsensitive))
        return anchors;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select Line from %1 order by rowid").arg(tableName())))
        return anchors;
    int n = 0;
    while (q.next()) {
        ++n;
        Anchor a;
        if (lineFrom(q.value(0).toString().trimmed(), &a)) {
            a.where = QStringLiteral("%1 #%2").arg(tableName()).arg(n);
            anchors << a;
        }
    }
    return current(anchors);
}

} // namespace AuditAnchors
