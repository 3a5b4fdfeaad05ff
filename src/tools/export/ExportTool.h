#pragma once

#include <QCoreApplication>
#include <QStringList>

class QTextStream;

// The command line of pcrcal-export: lists the calibrations of a workspace, or exports one of
// them (certificate, original record or raw workbook) through the same export job the
// application uses, with its audit entry, and optionally writes the computed results as JSON.
class ExportTool
{
    Q_DECLARE_TR_FUNCTIONS(ExportTool)

public:
    enum ExitStatus {
        Success = 0,
        Usage = 2,          // bad or missing options
        NotFound = 3,       // no such workspace, project or operator
        Refused = 4,        // the analysis refused (its message on standard error)
        WriteFailed = 5,    // the document, workbook or JSON could not be written
        AuditBroken = 6,    // --verify-audit: the audit trail was altered (or is not chained)
    };

    // arguments: the whole command line, program name first.
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

    static QString helpText();
};
