#pragma once
// The process-wide log: one file per day in the working directory, "log_yyyy-MM-dd.log".

#include <QDate>
#include <QDir>
#include <QString>
#include <QtGlobal>

// Installed with qInstallMessageHandler; safe to enter from any thread.
void logMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

QString logFileName(const QDate &day);

// The line the handler writes (without its newline).
QString logLine(QtMsgType type, const QMessageLogContext &context, const QString &message,
                const QDateTime &now);

// Removes the daily logs of dir dated more than 90 days before today. Names that do not parse as
// a date, and .log files without the "log_" prefix, stay.
void removeOldLogs(const QDir &dir = QDir(QStringLiteral(".")), const QDate &today = QDate::currentDate());
