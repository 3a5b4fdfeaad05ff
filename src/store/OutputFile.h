#pragma once
// Where the program and its tools may write and how a file gets there. An output replaces
// nothing of the workspace (database, its companions, config.ini, logs), no SQLite database and
// nothing that is not a regular file; it is written beside its target, flushed, synced and
// checked, and only then put into place, so a full disk or a failing device leaves the old file
// (or none) and never an empty one. Put into place without leave to replace, it is linked in
// exclusively: of two writers of one new file, one fails.

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
        Database,        // an SQLite database (any, not only the workspace's)
    };

    // What stands against writing path. workspaceDirs: the folders whose own files are protected
    // (the workspace, the folder of the open database); symbolic links are followed.
    // mayBeDatabase: the target is meant to be an SQLite database (a database copy).
    static Check check(const QString &path, const QStringList &workspaceDirs, bool overwrite,
                       bool mayBeDatabase = false);
    // The guard of every file a tool writes, before any work is done: empty when path may be
    // written, else the message (with the hint to --overwrite where it helps). The folders
    // protected are workspaceDirs() and those given.
    static QString toolRefusal(const QString &path, const QStringList &moreDirs, bool overwrite);
    // The user's text for a refusal (empty for Writable).
    static QString refusalText(Check check, const QString &path);
    // The folders of the running program's workspace: the current folder and that of the
    // database in use.
    static QStringList workspaceDirs();
    // Whether two paths name the same file (also when neither exists yet).
    static bool samePath(const QString &a, const QString &b);

    // Writes bytes to path through a temporary file in the same folder. False with *error and
    // nothing left behind (an existing file keeps its contents) on any failure.
    // replace false: path must not exist when the file is put into place.
    static bool write(const QString &path, const QByteArray &bytes, QString *error, bool replace = true);
    // Puts a complete temporary file written by someone else into place: synced, its size
    // checked (not empty), renamed over path. The temporary file is removed on failure.
    // expectedSize >= 0: the size it must have.
    static bool commit(const QString &temporary, const QString &path, QString *error, qint64 expectedSize = -1,
                       bool replace = true);
    // A file a writer streams into as it goes (lines a reader follows): made new and empty, with
    // replace renamed over an existing file at once (never truncated in place), else created
    // exclusively. The open descriptor, or -1 with *error.
    static int createStream(const QString &path, bool replace, QString *error);
    // A temporary name beside path that keeps its suffix, for a writer that chooses its format
    // by the name; put into place with commit().
    static QString stagingBeside(const QString &path);
    // A temporary name beside path for a writer that opens files itself.
    static QString temporaryBeside(const QString &path);
};
