#pragma once

#include <QCoreApplication>
#include <QStringList>

class QTextStream;

// The command line of pcrcal-probecal: calibrates or verifies a probe set in the bath without a
// display, through the same run the probe calibration page uses, with the devices and run lists of
// the workspace's config.ini. Resumes an unfinished run of the same plan from the database, stores the coefficients
// with their audit entry, and writes one JSON line per reading, per point and for the result.
class ProbeCalTool
{
    Q_DECLARE_TR_FUNCTIONS(ProbeCalTool)

public:
    enum ExitStatus {
        Finished = 0,       // every point taken; coefficients stored, or the probes judged
        DeviceFailed = 3,   // a device could not be opened, set up or read
        BadInput = 4,       // bad arguments, workspace, probe set or data; a fit refused
        Paused = 5,         // paused for a change of bath liquid; run again to resume
        Interrupted = 6,    // stopped by SIGINT or SIGTERM; run again to resume
        NotPermitted = 7,   // the operator could not sign in, or may not store coefficients
        StoreFailed = 8,    // a completed point could not be stored; the points before it are kept
    };

    // arguments: the whole command line, program name first.
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

    static QString helpText();
};
