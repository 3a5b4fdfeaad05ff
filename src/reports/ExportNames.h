#pragma once
// What a save dialog offers for an export: a file name made from the project and the kind of
// document, and a filter that names the file type. Widget-free.

#include <QString>

namespace ExportNames {

// "<project> 校准证书.docx", "<project> 校准记录.pdf", "<project> 原始记录.xlsx" (mode as
// ExportJob::Mode, format "Word", "Excel" or "PDF"). Characters no file name may hold become "_";
// a project without a usable name gives the document's name alone.
QString suggestedFileName(const QString &project, int mode, const QString &format);

// "Word 文档 (*.docx)", "Excel 工作簿 (*.xlsx)", "PDF 文件 (*.pdf)"; empty for an unknown format.
QString fileFilter(const QString &format);

// A name that every file system takes: "/\:*?"<>|" and control characters become "_", blanks and
// dots at either end go.
QString safeFileName(const QString &name);

} // namespace ExportNames
