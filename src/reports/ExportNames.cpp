#include "reports/ExportNames.h"

#include "reports/ExportJob.h"

#include <QCoreApplication>

namespace ExportNames {

namespace {

QString documentName(int mode)
{
    switch (mode) {
    case ExportJob::CertificateMode:
        return QCoreApplication::translate("ExportNames", "校准证书");
    case ExportJob::OriginalRecordMode:
        return QCoreApplication::translate("ExportNames", "校准记录");
    case ExportJob::RawDataMode:
        return QCoreApplication::translate("ExportNames", "原始记录");
    default:
        return QCoreApplication::translate("ExportNames", "导出");
    }
}

} // namespace

QString safeFileName(const QString &name)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString out;
    out.reserve(name.size());
    for (const QChar c : name)
        out += (forbidden.contains(c) || c.category() == QChar::Other_Control) ? QLatin1Char('_') : c;
    while (!out.isEmpty() && (out.front().isSpace() || out.front() == QLatin1Char('.')))
        out.remove(0, 1);
    while (!out.isEmpty() && (out.back().isSpace() || out.back() == QLatin1Char('.')))
        out.chop(1);
    return out;
}

QString suggestedFileName(const QString &project, int mode, const QString &format)
{
    const QString suffix = ExportJob::fileSuffix(format);
    const QString stem = safeFileName(project);
    const QString base = stem.isEmpty() ? documentName(mode) : stem + QLatin1Char(' ') + documentName(mode);
    return suffix.isEmpty() ? base : base + QLatin1Char('.') + suffix;
}

QString fileFilter(const QString &format)
{
    if (format == QStringLiteral("Word"))
        return QCoreApplication::translate("ExportNames", "Word 文档 (*.docx)");
    if (format == QStringLiteral("Excel"))
        return QCoreApplication::translate("ExportNames", "Excel 工作簿 (*.xlsx)");
    if (format == QStringLiteral("PDF"))
        return QCoreApplication::translate("ExportNames", "PDF 文件 (*.pdf)");
    return QString();
}

} // namespace ExportNames
