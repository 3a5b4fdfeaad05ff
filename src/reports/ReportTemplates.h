#pragma once

#include <QString>

// Where the packed report templates are found at run time: setDirectory() or $PCR_TEMPLATE_DIR
// when given; else the installed data folder's templates/ (../share/pcrcal beside the program's
// bin folder); else the application directory, where the build tree packs them.
// The file names pass through translation, so the English interface picks the English templates.
namespace ReportTemplates {

enum Kind { CertificateWord, OriginalRecordWord, CertificateExcel, OriginalRecordExcel };

QString fileName(Kind kind);   // "校准证书.dotx", ... (translated)
QString directory();
void setDirectory(const QString &directory);
QString path(Kind kind);       // directory() + "/" + fileName(kind)

} // namespace ReportTemplates
