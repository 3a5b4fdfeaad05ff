#include "acquisition/ProbeCalibrationAudit.h"

#include "store/tool.h"

#include <QCoreApplication>

namespace ProbeCalibration {
namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("ProbeCalibrationAudit", source);
}

} // namespace

bool mayStoreCoefficients()
{
    return Tool::hasRight(Right::StandardizerAdd);
}

QString noRightText()
{
    return text(QT_TRANSLATE_NOOP("ProbeCalibrationAudit", "没有“探头添加”权限，不能校准探头！"));
}

bool auditEnd(Mode mode, const QString &probeSet, const QString &result)
{
    const QString line = result.section(QLatin1Char('\n'), 0, 0).trimmed();
    const QString what = mode == Mode::Calibration
        ? text(QT_TRANSLATE_NOOP("ProbeCalibrationAudit", "探头校准：%1，%2"))
        : text(QT_TRANSLATE_NOOP("ProbeCalibrationAudit", "探头验证：%1，%2"));
    return Tool::SaveAuditLog(AuditEvent::StandardizerCalibrate, what.arg(probeSet, line));
}

QString verdictSummary(const Analysis::ProbeSetVerdict &verdict, const QStringList &channelNames)
{
    if (!verdict.ok)
        return verdict.message;
    QStringList failed;
    for (int c = 0; c < verdict.details.size(); ++c)
        if (!verdict.details.at(c).isEmpty())
            failed << channelNames.value(c, QString::number(c + 1));
    const int passed = verdict.details.size() - failed.size();
    if (failed.isEmpty())
        return text(QT_TRANSLATE_NOOP("ProbeCalibrationAudit", "%1 个通道全部合格")).arg(passed);
    return text(QT_TRANSLATE_NOOP("ProbeCalibrationAudit", "%1 个通道合格，%2 个不合格：%3"))
        .arg(passed)
        .arg(failed.size())
        .arg(failed.join(QStringLiteral("、")));
}

} // namespace ProbeCalibration
