#pragma once
// Certificate numbers of a workspace and the measuring instrument a project names.
//
// A project keeps the number its first certificate or original record was issued under; later
// exports print the same one. A first export takes the number stored with the project (the
// instrument's certificate number of the set-up) when no other project holds it, else the next
// number of the configured pattern. Numbers are unique in the workspace and never reused, not
// even after the project is deleted.

#include "store/tool.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace Certificates {

// Table CertificateNumber, made when missing (a copy of the database makes it too).
bool ensureTable(QSqlDatabase db, QString *error);

// The pattern of a fresh installation: "PCR2024-0001", "PCR2024-0002", ...
QString defaultPattern();

// A pattern with its fields filled: {yyyy}, {yy}, {MM}, {dd} from the date, {n}, {nn}, {nnn}, ...
// the running number padded with zeros to the count of n. A pattern without a running number
// gets "-{nnnn}" appended; an empty one is the default pattern.
QString formatNumber(const QString &pattern, const QDate &date, int running);

// The next number of the pattern for the date: one above the highest running number among
// `taken` that has the same fixed parts (a pattern with {yyyy} starts again at 1 each year),
// skipping any that is taken already.
QString nextNumber(const QString &pattern, const QDate &date, const QStringList &taken);

struct Allocation
{
    bool ok = false;
    QString number;
    bool kept = false;   // the project had its number from an earlier export
    QString error;       // why no number could be had (ok false)
};

// The project's number: the one kept for it, else a new one stored for it (see above). On the
// calling thread's connection; the table is made on first use in new and existing databases.
Allocation allocate(const Tool::Struct_Calibration &project, const QString &pattern, const QDate &issueDate);

// The number kept for a project, empty when none was issued yet.
QString keptNumber(const Tool::Struct_Calibration &project);

// The measuring instrument a project was run with, looked up by the device name the project
// stores (the first registered under it). False when none is registered under that name.
bool measuringInstrument(const QString &deviceName, Tool::Struct_Electrometer *instrument);

} // namespace Certificates
