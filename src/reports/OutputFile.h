#pragma once
// Where exports may write and how a file gets there. A document replaces nothing of the
// workspace (database, its companions, config.ini, logs) and nothing that is not a regular file;
// it is written beside its target, flushed, synced and checked, and only then renamed into place,
// so a full disk or a failing device leaves the old file (or none) and never an empty one.

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

class OutputFile
{
    Q_DECLARE_TR_FUNCTIONS(OutputFile)

public:
    enum class Check {
        Writable,        // may be written
        WorkspaceFile,   // the database, its -wal/-shm/-journal, config.ini or a daily log
        NotRegular,      // a directory, a device, a pipe, ...
        Exists,          // a regular file is there and overwriting was not allowed
    };

    // What stands against writing path. workspaceDirs: the folders whose own files are protected
    // (the workspace, the folder of the open database); symbolic links are followed.
    static Check check(const QString &path, const QStringList &workspaceDirs, bool overwrite);
    // The user's text for a refusal (empty for Writable).
    static QString refusalText(Check check, const QString &path);
    // The folders of the running program's workspace: the current folder and that of the
    // database in use.
    static QStringList workspaceDirs();
    // Whether two paths name the same file (also when neither exists yet).
    static bool samePath(const QString &a, const QString &b);

    // Writes bytes to path through a temporary file in the same folder. False with *error and
    // nothing left behind (an existing file keeps its contents) on any failure.
    static bool write(const QString &path, const QByteArray &bytes, QString *error);
    // Puts a complete temporary file written by someone else into place: synced, its size
    // checked (not empty), renamed over path. The temporary file is removed on failure.
    // expectedSize >= 0: the size it must have.
    static bool commit(const QString &temporary, const QString &path, QString *error, qint64 expectedSize = -1);
    // A temporary name beside path for a writer that opens files itself.
    static QString temporaryBeside(const QString &path);
};
