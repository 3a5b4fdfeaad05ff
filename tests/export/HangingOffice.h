#pragma once
// A LibreOffice that never finishes a conversion: it notes its process id and sleeps, as a
// LibreOffice does that hangs on a dialog nobody sees. Installed for the life of the object.

#include "reports/OfficeConverter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <csignal>

class HangingOffice
{
public:
    explicit HangingOffice(const QString &folder)
        : m_script(QDir(folder).filePath(QStringLiteral("hanging-soffice"))),
          m_started(QDir(folder).filePath(QStringLiteral("hanging-soffice.pid")))
    {
        QFile script(m_script);
        if (script.open(QIODevice::WriteOnly)) {
            // exec: the sleeping process is the one the converter started and kills.
            script.write(QStringLiteral("#!/bin/sh\necho $$ > '%1'\nexec sleep 600\n").arg(m_started).toUtf8());
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        OfficeConverter::setProgram(m_script);
        OfficeConverter::setProfileDirectory(QDir(folder).filePath(QStringLiteral("office-profile")));
    }
    ~HangingOffice()
    {
        OfficeConverter::setProgram(QString());
        OfficeConverter::setProfileDirectory(QString());
        if (isRunning())
            ::kill(pid_t(pid()), SIGKILL);
    }

    // Whether the conversion has started (its process noted its id).
    bool started() const { return pid() > 0; }
    bool waitStarted(int ms) const
    {
        QDeadlineTimer deadline(ms);
        while (!started() && !deadline.hasExpired())
            QThread::msleep(10);
        return started();
    }
    qint64 pid() const
    {
        QFile f(m_started);
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toLongLong() : 0;
    }
    // The process still exists (not killed, or killed but not yet collected).
    bool isRunning() const { return pid() > 0 && (::kill(pid_t(pid()), 0) == 0 || errno != ESRCH); }

private:
    QString m_script;
    QString m_started;
};
