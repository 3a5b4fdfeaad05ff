#pragma once
// The project record of a calibration run exists from the moment the run starts, marked as
// running, and is marked complete when the run ends and is saved. A program killed in between
// (power cut, SIGKILL, a shutdown) leaves the record with its mark: the next start finds it,
// lists it as interrupted, and it can be exported over the samples it has or deleted like any
// other. The Calibration row itself keeps the columns of a finished project; the mark is a row
// of a table of its own.
//
// A running mark belongs to the process that made it through a lease held for the run's life:
// on a file, an exclusive lock on a small file beside the database; on a server, an advisory
// lock of the run's session. Both go with the process, however it ends. Only a mark whose lease
// nobody holds is a cut-off run; another process's or another station's live run is left alone.

#include "store/tool.h"

#include <QHash>
#include <QString>

namespace RunRecords {

extern const char *const TableName;   // "CalibrationRunState"
QStringList columns();                // CalibrationName (key), State, Time

// The stored state words (never translated).
QString runningWord();       // "进行中"
QString interruptedWord();   // "已中断"

// Takes the run's lease, then stores the project record and its running mark in one
// transaction; false (nothing stored, no lease) when either cannot be had, for instance when the
// name is taken.
bool begin(const Tool::Struct_Calibration &project);
// The run ended and its project is kept: the mark goes, then the lease.
bool complete(const QString &name);
// The run's project is not kept: the record and its mark go (the samples are the caller's), then
// the lease.
bool remove(const QString &name);
// Runs marked running whose lease nobody holds were cut off: marked interrupted. The number of
// runs so marked, -1 on failure.
int markInterrupted();
// Whether the project's run is going on now (marked running, its lease held here or elsewhere).
bool isLive(const QString &name);
// Why a live run's project is not exported or deleted.
QString liveRefusal(const QString &name);
// The state words of the projects that are not complete, by name.
bool states(QHash<QString, QString> &byName);
// The text the pages show for a state word (empty for a complete project).
QString displayState(const QString &word);

} // namespace RunRecords
