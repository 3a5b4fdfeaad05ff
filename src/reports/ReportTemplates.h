#pragma once

#include <QString>

// Where the packed report templates are found at run time: the application directory (the
// folder of the running program), unless setDirectory() or $PCR_TEMPLATE_DIR names another.
// The file names pass through translation, so the English interface picks the English templates.
namespace ReportTemplates {

enum Kind { CertificateWord, OriginalRecordWord, CertificateExcel, OriginalRecordExcel };

QString fileName(Kind kind);   // "校准证书.dotx", ... (translated)
QString directory();
void setDirectory(const QString &directory);
QString path(Kind kind);       // directory() + "/" + fileName(kind)

} // namespace ReportTemplates
