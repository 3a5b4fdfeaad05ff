#include "store/ThreadConnection.h"

#include "store/DatabaseSettings.h"
#include "store/dialect.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSqlError>
#include <QSqlQuery>

namespace {

thread_local QString currentName;

QMutex registryMutex;
QHash<QString, int> &openFiles()
{
    static QHash<QString, int> files;
    return files;
}

// Files compare by absolute path; a server location as it is.
QString absolute(const QString &location)
{
    return DatabaseSettings::isServerLocation(location) ? location : QFileInfo(location).absoluteFilePath();
}

void note(const QString &file, int delta)
{
    QMutexLocker lock(&registryMutex);
    int &count = openFiles()[file];
    count += delta;
    if (count <= 0)
        openFiles().remove(file);
}

} // namespace

ThreadConnection::ThreadConnection(const QString &fileName) : m_file(absolute(fileName))
{
    static QAtomicInteger<quint64> serial;
    m_name = QStringLiteral("pcr-thread-%1").arg(serial.fetchAndAddRelaxed(1));
    DatabaseSettings settings;
    QString why;
    const bool readable = DatabaseSettings::fromLocation(m_file, &settings, &why);
    QSqlDatabase db = Dialect::addConnection(settings, m_name);
    // Never create an empty database where the application's file has gone.
    if (!readable) {
        m_error = why;
    } else if (!settings.isPostgreSQL() && !QFileInfo(m_file).isFile()) {
        m_error = QStringLiteral("no database file: %1").arg(m_file);
    } else if (!db.open()) {
        m_error = db.lastError().text();
    } else {
        // The journal mode itself is kept in the file by the connection that opened it first.
        Dialect::tuneConnection(db);
        note(m_file, +1);
    }
    m_outer = currentName;
    currentName = m_name;
}

ThreadConnection::~ThreadConnection()
{
    currentName = m_outer;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen()) {
            db.close();
            note(m_file, -1);
        }
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool ThreadConnection::isOpen() const
{
    return m_error.isEmpty() && database().isOpen();
}

QSqlDatabase ThreadConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

QSqlDatabase ThreadConnection::current()
{
    if (!currentName.isEmpty())
        return QSqlDatabase::database(currentName, false);
    return QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
}

int ThreadConnection::openCount(const QString &fileName)
{
    QMutexLocker lock(&registryMutex);
    return openFiles().value(absolute(fileName));
}

ThreadConnection::Claim::Claim(const QString &fileName) : m_file(absolute(fileName))
{
    note(m_file, +1);
}

ThreadConnection::Claim::~Claim()
{
    note(m_file, -1);
}
