#pragma once
// What opening a database makes sure of before anyone uses it: the audit trail is hash-chained
// and no password or recovery answer is kept in plain text. Each conversion of an older file
// happens once and is itself audited.

#include <QSqlDatabase>
#include <QString>

namespace Safeguards {

// The operator named on entries written while nobody is logged in (the program converting an
// older file at start-up), stored untranslated like every stored word.
QString systemOperator();

struct Report
{
    // Existing audit entries chained now; -1: the trail was chained already; -2: its hash column
    // is gone from a trail that was chained, which is left for verification to report.
    qint64 chained = -1;
    int converted = 0;     // accounts whose plain-text password or answer was hashed now
};

// Chains an unchained trail, then hashes every plain-text secret; audits what it did under
// operatorName (systemOperator() when empty).
bool apply(QSqlDatabase db, const QString &operatorName, Report *report = nullptr, QString *error = nullptr);

// Hashes the plain-text passwords and recovery answers of db; the number of accounts changed, or
// -1 when the table could not be read or written (then nothing is changed).
int hashPlainSecrets(QSqlDatabase db, QString *error = nullptr);

} // namespace Safeguards
