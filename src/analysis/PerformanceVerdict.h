#pragma once

#include "Performance.h"

#include <QString>
#include <QStringList>

// The limits the cycler maker states and the verdict of each performance figure against it.
namespace Analysis {

// Limits of one instrument model in ℃, seconds and ℃/s; NaN where none is stated.
struct PerformanceProfile
{
    double accuracy = qQNaN();      // ± ℃: the wells' mean deviation from the set point
    double uniformity = qQNaN();    // ℃: largest minus smallest well
    double heatingRate = qQNaN();   // minimum ℃/s
    double coolingRate = qQNaN();   // minimum ℃/s
    double overshoot = qQNaN();     // maximum ℃ beyond the set point
    double settlingTime = qQNaN();  // maximum s
    bool isEmpty() const;
};

// The limits as stored: accuracy, uniformity, heating rate, cooling rate, overshoot, settling
// time, decimal texts in ℃, ℃/s and s. An empty text is no limit. False when a text is neither
// empty nor a finite number ≥ 0 (*bad: its index), or when there are not six.
bool profileFromTexts(const QStringList &texts, PerformanceProfile *profile, int *bad = nullptr);

enum class Verdict { NotJudged, Pass, Fail };

// A limit as written holds at its exact value ("≤ 0.8" passes 0.8 however the subtraction
// rounded). A figure the data did not give (NaN) fails a stated limit; no limit, no verdict.
Verdict atMost(double value, double limit);
Verdict atLeast(double value, double limit);
Verdict withinPlusMinus(double value, double limit);

enum class FigureKind {
    Overshoot,       // block mean (undershoot on a cooling step)
    WellOvershoot,   // the worst well
    SettlingTime,
    MeanDeviation,   // at a fixed time after reaching
    Spread,          // at a fixed time after reaching
    HeatingRate,     // from interpolated crossings
    CoolingRate,
    MaxHeatingRate,  // over the sliding window
    MaxCoolingRate,
};

// How a figure's value and limit turn into the display unit.
enum class Quantity { Difference, Seconds, Rate };
Quantity quantityOf(FigureKind kind);

// One judged line: what, where, how much, against what.
struct PerformanceFigure
{
    FigureKind kind = FigureKind::Overshoot;
    int step = -1;                   // step of the uniformity cycle file; -1 for the rates
    double setTemperature = qQNaN(); // ℃
    bool heating = true;             // the step was approached from below
    double after = qQNaN();          // s, for the fixed-time figures
    int well = -1;                   // the worst well, from 0
    double value = qQNaN();          // ℃, s or ℃/s
    double limit = qQNaN();
    Verdict verdict = Verdict::NotJudged;
};

// Every figure in reading order: per step its overshoots, settling time and fixed-time figures,
// then the rates. Without a profile (or a limit) the figures carry no verdict.
QVector<PerformanceFigure> performanceFigures(const PerformanceResult &result, const PerformanceProfile &profile);

// Pass only when there are figures and every one of them passes; Fail when any fails;
// NotJudged otherwise (no profile, or some figure has no limit).
Verdict overallVerdict(const QVector<PerformanceFigure> &figures);

// --- what is printed ---------------------------------------------------------------------------

// "合格", "不合格", or empty for no verdict; translated.
QString verdictText(Verdict verdict);
// The stored word of a verdict, untranslated ("合格", "不合格", "").
QString verdictWord(Verdict verdict);
// "过冲", "最差孔下冲", "平均偏差（15 s）", "最大升温速率", ...; translated.
QString figureName(const PerformanceFigure &figure);
// A value in the display unit: temperatures and rates with `decimals`, seconds with one; "—"
// for a figure the data did not give ("未稳定" for a settling time that never came).
QString figureValueText(const PerformanceFigure &figure, const QString &unit, int decimals);
// "≤0.80", "±0.25", "≥3.00", "≤10.0"; empty without a limit.
QString figureLimitText(const PerformanceFigure &figure, const QString &unit, int decimals);
// The unit of a figure's value and limit: "℃", "s", "℃/s".
QString figureUnit(const PerformanceFigure &figure, const QString &unit);
// Value and limit of a figure in the display unit (unrounded).
double displayFigureValue(double value, FigureKind kind, const QString &unit);

} // namespace Analysis
