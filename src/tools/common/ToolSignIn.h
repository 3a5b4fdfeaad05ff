#pragma once
// How a headless tool signs its operator in: the account named by --operator, with its password
// from --password-file (a file only its owner may read), else from the environment variable
// PCRCAL_PASSWORD, else asked on the terminal without echo. The login's rule applies (expiry,
// lock, wrong passwords counted toward the lock); the operator is never taken from the
// environment.

#include "store/rights.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

class QCommandLineParser;

class ToolSignIn
{
    Q_DECLARE_TR_FUNCTIONS(ToolSignIn)

public:
    // The options every tool adds to its command line.
    static QString operatorOption() { return QStringLiteral("operator"); }
    static QString passwordFileOption() { return QStringLiteral("password-file"); }
    static const char *passwordVariable() { return "PCRCAL_PASSWORD"; }

    // Signs in the operator the parsed command line names, for work that needs the right given
    // (if any); a relative --password-file is taken from startDir, where the tool was started.
    // True: Tool::CurrentUser is the account. False: *message says why.
    static bool signIn(const QCommandLineParser &parser, const QString &startDir, std::optional<Right> required,
                       QString *message);

    // The help lines of --operator and --password-file, and a paragraph on where the password
    // comes from.
    static QString operatorHelp();
    static QString passwordFileHelp();
    static QString passwordHelp();

    // The password from a file: a regular file of this user, readable by nobody else (mode 0600
    // or stricter); its first line. False with the reason otherwise.
    static bool readPasswordFile(const QString &fileName, QString *password, QString *message);
};
