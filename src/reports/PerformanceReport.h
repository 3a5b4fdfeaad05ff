#pragma once
// The cycler performance of an export: its settings from config.ini, the profile of the
// instrument's model, and the figures turned into what the documents print and what
// `pcrcal-export --json` writes.
//
// config.ini, group [Performance] (a missing or unusable key reads as its default):
//   Band=0.5              ℃ either side of the set point that counts as settled
//   FixedTimes=15,30      seconds after the set point is first reached
//   RateWindow=1          seconds of the sliding window of the maximum rates
//   CertificateAnnex=true the certificate carries the performance annex

#include "analysis/PerformanceVerdict.h"
#include "reports/ReportWriter.h"

#include <QJsonObject>
#include <QString>

class QSettings;

namespace PerformanceReport {

struct Options
{
    Analysis::PerformanceSettings settings;
    bool annex = true;
};

Options readOptions(const QSettings &ini);
// From the working directory's config.ini.
Options currentOptions();

// The stored profile of a model as limits; *found is false when it has none or it cannot be read
// (an unreadable stored limit is logged and treated as no profile, so nothing is judged on it).
bool loadProfile(const QString &model, Analysis::PerformanceProfile *profile, bool *found);

// Everything one export needs to print and write the figures.
struct Input
{
    Analysis::PerformanceResult result;
    Analysis::PerformanceProfile profile;
    bool hasProfile = false;
    QString model;
    Options options;
    QStringList probes;   // layout points "row:column" in probe order
    QString unit;
    int decimals = 2;
};

QVector<Analysis::PerformanceFigure> figures(const Input &input);

// The section as printed.
PerformanceContent content(const Input &input);

// The same for automation: settings, profile, every figure (value unrounded in the display unit
// and as printed, limit, verdict), the wells at the fixed times and the overall verdict.
QJsonObject json(const Input &input);

// The stored word of an overall verdict: "合格", "不合格", or "不作判定" (no profile, or a
// figure without a limit).
QString verdictWord(Analysis::Verdict verdict);
// A stored verdict word in the interface language.
QString verdictDisplay(const QString &word);

} // namespace PerformanceReport
