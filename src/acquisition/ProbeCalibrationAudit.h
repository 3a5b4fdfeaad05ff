#pragma once
// Who may store a probe set's coefficients, and the audit entry every probe calibration and
// verification ends with, whether run from the page, its manual dialog or pcrcal-probecal.

#include "acquisition/ProbeCalibration.h"
#include "analysis/Thermistor.h"

#include <QString>
#include <QStringList>

namespace ProbeCalibration {

// Whether the account in use holds "探头添加": a calibration replaces the set's coefficients.
bool mayStoreCoefficients();
// "没有“探头添加”权限，不能校准探头！"
QString noRightText();

// One entry for the end of a run on probeSet: "探头校准：NAME，RESULT" or "探头验证：NAME，RESULT";
// a result of several lines is cut to its first.
bool auditEnd(Mode mode, const QString &probeSet, const QString &result);

// A verification's result in one line: how many channels passed, and which failed.
QString verdictSummary(const Analysis::ProbeSetVerdict &verdict, const QStringList &channelNames);

} // namespace ProbeCalibration
