#include "store/Paths.h"

#include "store/tool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#ifndef PCR_RELATIVE_DATADIR
#define PCR_RELATIVE_DATADIR "../share/pcrcal"
#endif

namespace Paths {

bool isWorkspace(const QString &dir)
{
    const QDir d(dir);
    if (QFileInfo(d.filePath(Tool::DatabaseFileName)).isFile())
        return true;
    // "config.ini" is a common name (a home folder may hold another program's); ours has [SystemSet].
    const QString config = d.filePath(Tool::ConfigFileName);
    return QFileInfo(config).isFile() && Tool::configFile(config)->childGroups().contains(QStringLiteral("SystemSet"));
}

QString userWorkspace()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString chooseWorkspace(const QString &option, const QString &currentDir, const QString &dataDirectory)
{
    const QDir current(currentDir);
    if (!option.isEmpty())
        return QDir::cleanPath(current.absoluteFilePath(option));
    if (isWorkspace(currentDir))
        return QDir::cleanPath(current.absolutePath());
    const QString data = dataDirectory.isEmpty() ? userWorkspace() : dataDirectory;
    return QDir::cleanPath(current.absoluteFilePath(data));
}

bool enterWorkspace(const QString &dir, QString *reason)
{
    const QFileInfo info(dir);
    if (info.exists() && !info.isDir()) {
        *reason = QCoreApplication::translate("Paths", "不是文件夹");
        return false;
    }
    if (!info.exists() && !QDir().mkpath(dir)) {
        *reason = QCoreApplication::translate("Paths", "无法创建文件夹");
        return false;
    }
    if (!QDir::setCurrent(dir)) {
        *reason = QCoreApplication::translate("Paths", "无法进入文件夹");
        return false;
    }
    return true;
}

QString resourceDirectory(const QString &programDir)
{
    const QString base = programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir;
    if (base.isEmpty())
        return QString();
    const QString dir = QDir::cleanPath(base + QStringLiteral("/" PCR_RELATIVE_DATADIR));
    return QFileInfo(dir).isDir() ? dir : QString();
}

QString installedResource(const QString &relativePath, const QString &programDir)
{
    const QString dir = resourceDirectory(programDir);
    if (dir.isEmpty())
        return QString();
    const QString path = dir + QLatin1Char('/') + relativePath;
    return QFileInfo::exists(path) ? path : QString();
}

} // namespace Paths
