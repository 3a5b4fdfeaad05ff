#include "store/DatabaseSettings.h"

#include "store/tool.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSettings>
#include <QUrl>

namespace {

const QString Scheme = QStringLiteral("postgresql");


} // namespace

DatabaseSettings DatabaseSettings::read(const QString &configFile)
{
    DatabaseSettings s;
    const auto ini = Tool::configFile(configFile);
    if (ini->value(QStringLiteral("Database/Kind")).toString().compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive)
        != 0)
        return s;
    s.kind = Kind::PostgreSQL;
    s.host = ini->value(QStringLiteral("Database/Host"), s.host).toString().trimmed();
    bool ok = false;
    const int port = ini->value(QStringLiteral("Database/Port")).toString().trimmed().toInt(&ok);
    if (ok)
        s.port = port;
    s.dbname = ini->value(QStringLiteral("Database/Name"), s.dbname).toString().trimmed();
    s.user = ini->value(QStringLiteral("Database/User")).toString().trimmed();
    return s;
}

bool DatabaseSettings::write(const QString &configFile) const
{
    const auto ini = Tool::configFile(configFile);
    ini->setValue(QStringLiteral("Database/Kind"), isPostgreSQL() ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite"));
    ini->setValue(QStringLiteral("Database/Host"), host);
    ini->setValue(QStringLiteral("Database/Port"), port);
    ini->setValue(QStringLiteral("Database/Name"), dbname);
    ini->setValue(QStringLiteral("Database/User"), user);
    // A password typed into the file by hand would be read by nobody; it must not lie there.
    ini->remove(QStringLiteral("Database/Password"));
    ini->sync();
    return ini->status() == QSettings::NoError;
}

QString DatabaseSettings::location() const
{
    if (!isPostgreSQL())
        return file;
    QUrl url;
    url.setScheme(Scheme);
    url.setUserName(user);
    url.setHost(host);
    url.setPort(port);
    url.setPath(QLatin1Char('/') + dbname);
    return url.toString();
}

bool DatabaseSettings::isServerLocation(const QString &location)
{
    return location.startsWith(Scheme + QStringLiteral("://"));
}

bool DatabaseSettings::fromLocation(const QString &location, DatabaseSettings *settings, QString *error)
{
    DatabaseSettings s;
    if (!isServerLocation(location)) {
        s.file = location;
        *settings = s;
        return true;
    }
    const QUrl url(location, QUrl::StrictMode);
    if (!url.isValid() || !url.password().isEmpty()) {
        if (error)
            *error = url.password().isEmpty() ? url.errorString() : tr("地址中不能包含密码。");
        return false;
    }
    s.kind = Kind::PostgreSQL;
    if (!url.host().isEmpty())
        s.host = url.host();
    s.port = url.port(5432);
    const QString path = url.path();
    if (path.size() > 1)
        s.dbname = path.mid(1);
    s.user = url.userName();
    const QString why = s.problem();
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    *settings = s;
    return true;
}

QString DatabaseSettings::problem() const
{
    if (!isPostgreSQL())
        return QString();
    if (host.isEmpty())
        return tr("请输入数据库服务器地址！");
    if (port <= 0 || port > 65535)
        return tr("数据库端口应为1到65535！");
    // The name goes into no statement, but a plain one is what an administrator means.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$-]{0,62}$"));
    if (!plain.match(dbname).hasMatch())
        return tr("数据库名称只能由字母、数字和下划线组成！");
    if (!user.isEmpty() && !plain.match(user).hasMatch())
        return tr("数据库用户名只能由字母、数字和下划线组成！");
    return QString();
}

QString DatabaseSettings::describe() const
{
    if (!isPostgreSQL())
        return file;
    return QStringLiteral("PostgreSQL %1@%2:%3/%4").arg(user.isEmpty() ? QStringLiteral("-") : user, host).arg(port).arg(dbname);
}

bool DatabaseSettings::operator==(const DatabaseSettings &o) const
{
    if (kind != o.kind)
        return false;
    if (!isPostgreSQL())
        return file == o.file;
    return host == o.host && port == o.port && dbname == o.dbname && user == o.user;
}
