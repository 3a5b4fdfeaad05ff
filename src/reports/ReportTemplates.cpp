#include "reports/ReportTemplates.h"

#include "store/Paths.h"

#include <QCoreApplication>

namespace {

QString &directoryOverride()
{
    static QString dir;
    return dir;
}

} // namespace

namespace ReportTemplates {

QString fileName(Kind kind)
{
    switch (kind) {
    case CertificateWord:
        return QCoreApplication::translate("ReportTemplates", "校准证书.dotx");
    case OriginalRecordWord:
        return QCoreApplication::translate("ReportTemplates", "原始记录.dotx");
    case CertificateExcel:
        return QCoreApplication::translate("ReportTemplates", "校准证书.xltx");
    case OriginalRecordExcel:
        return QCoreApplication::translate("ReportTemplates", "原始记录.xltx");
    }
    return {};
}

QString directory()
{
    if (!directoryOverride().isEmpty())
        return directoryOverride();
    const QString fromEnv = qEnvironmentVariable("PCR_TEMPLATE_DIR");
    if (!fromEnv.isEmpty())
        return fromEnv;
    const QString installed = Paths::installedResource(QStringLiteral("templates"));
    if (!installed.isEmpty())
        return installed;
    return QCoreApplication::applicationDirPath();
}

void setDirectory(const QString &dir)
{
    directoryOverride() = dir;
}

QString path(Kind kind)
{
    return directory() + QLatin1Char('/') + fileName(kind);
}

} // namespace ReportTemplates
