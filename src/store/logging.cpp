#include "store/logging.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

QString logFileName(const QDate &day)
{
    return QStringLiteral("log_") + day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".log");
}

QString logLine(QtMsgType type, const QMessageLogContext &context, const QString &message,
                const QDateTime &now)
{
    QString level;
    switch (type) {
    case QtDebugMsg: level = QStringLiteral("Debug:"); break;
    case QtWarningMsg: level = QStringLiteral("Warning:"); break;
    case QtCriticalMsg: level = QStringLiteral("Critical:"); break;
    case QtFatalMsg: level = QStringLiteral("Fatal:"); break;
    default: break;
    }
    const QString file = context.file ? QFileInfo(QString::fromUtf8(context.file)).fileName() : QString();
    const QString where = QStringLiteral("File:(%1) Line:(%2)").arg(file).arg(context.line);
    const QString time = QStringLiteral("(%1)").arg(now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ddd")));
    // One multi-argument arg(): a "%1" inside the message stays as it is.
    return QStringLiteral("%1 %2   %3 %4").arg(level, time, where, message);
}

void logMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    const QDateTime now = QDateTime::currentDateTime();
    QFile file(logFileName(now.date()));
    // No handle stays open between messages; a file that cannot be opened loses the line quietly.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(logLine(type, context, message, now).toUtf8());
    file.write("\n");
    file.flush();
    file.close();
}

void removeOldLogs(const QDir &dir, const QDate &today)
{
    const QFileInfoList files = dir.entryInfoList({QStringLiteral("*.log")},
                                                  QDir::Files | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &info : files) {
        const QString base = info.completeBaseName();
        if (!base.startsWith(QLatin1String("log_")))
            continue;
        const QDate day = QDate::fromString(base.mid(4), QStringLiteral("yyyy-MM-dd"));
        const qint64 age = day.isValid() ? day.daysTo(today) : 0;
        if (age > 90)
            QFile::remove(dir.filePath(info.fileName()));
    }
}
