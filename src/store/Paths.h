#pragma once

#include <QString>

// Where the program finds its workspace and its installed files.
//
// Workspace (the folder of "PCR.db3", "config.ini" and the daily logs, entered as the working
// directory): the folder given with --workspace; else the current directory when it already is a
// workspace (it holds "PCR.db3", or a "config.ini" with the program's [SystemSet]); else the
// user's data folder (~/.local/share/pcrcal), created on first start.
//
// Installed files (report templates, the user manual) live in ../share/pcrcal beside the
// program's bin folder; a program run from its build tree has none and keeps its own fallbacks.
namespace Paths {

// True when dir holds the database or the settings of a workspace.
bool isWorkspace(const QString &dir);

// The user's data folder of this application (~/.local/share/<application name>).
QString userWorkspace();

// The workspace folder by the rule above, as an absolute path; does not create it.
// dataDirectory empty: userWorkspace().
QString chooseWorkspace(const QString &option, const QString &currentDir,
                        const QString &dataDirectory = QString());

// Creates dir when missing and makes it the working directory; false with a reason otherwise.
bool enterWorkspace(const QString &dir, QString *reason);

// The installed data folder (".../share/pcrcal") of a program in programDir (empty: the running
// program's folder); empty when there is none, e.g. in a build tree.
QString resourceDirectory(const QString &programDir = QString());

// A file or folder below the installed data folder; empty when it is not there.
QString installedResource(const QString &relativePath, const QString &programDir = QString());

} // namespace Paths
