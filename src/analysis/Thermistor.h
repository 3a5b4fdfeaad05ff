#pragma once

#include <QStringList>
#include <QVector>

// Thermistor coefficients 1/T = B0 + B1 ln R + B2 ln² R + B3 ln³ R (T in kelvin), their fit
// from calibration points and the verdicts of a verification.
namespace Analysis {

struct ThermistorCoefficients
{
    double b0 = 0.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double b3 = 0.0;
};

// Least squares of 1/(T + 273.15) on ln R: the 4 × 4 normal equations solved by Gaussian
// elimination without pivoting (a zero pivot gives a zero factor), then back substitution.
// False when the points do not determine four finite coefficients (fewer than four distinct
// resistances, a degenerate design, a resistance that is not positive, a value that is not a
// number).
bool fitThermistor(const QVector<double> &temperaturesC, const QVector<double> &resistances,
                   ThermistorCoefficients &coefficients);

// The condition number of the fit's normal equations over ln R taken about its mean: how well
// the points determine four coefficients. Points whose resistances hardly differ (one temperature
// measured four times, say) give a huge number; +inf when they coincide or one is unusable.
double thermistorDesignCondition(const QVector<double> &resistances);
// Above this the design is degenerate and fitThermistor refuses it. Well spread points over any
// bath's range stay below 1e9; four readings of one temperature lie beyond 1e20.
constexpr double MaximumDesignCondition = 1e12;

// Temperature in ℃ of resistance `ohm`.
double thermistorTemperature(const ThermistorCoefficients &coefficients, double ohm);

// A coefficient as stored text: the shortest decimal that reads back as the same double.
// Eight fixed decimals would leave B3 (near 1e-7) one significant digit and move the
// calibrated temperature by about 0.3 K.
QString coefficientText(double value);

struct ProbeSetFit
{
    bool ok = false;
    QString message;  // on failure: "数据错误，校准失败!", or which probe's points are degenerate
    // One text per channel, in channel order, for B0_R0, B1, B2, B3.
    QStringList b0, b1, b2, b3;
};

// The probe calibration's fit: `referenceTemperatures` one text per point (℃), `resistances`
// one list per point with exactly `channelCount` texts. Every point must have a reference and a
// full list of readable values, and every probe a fit; otherwise nothing is returned.
ProbeSetFit fitProbeSet(const QStringList &referenceTemperatures,
                        const QVector<QStringList> &resistances, int channelCount);

struct ProbeSetVerdict
{
    bool ok = false;        // false: the data do not fit the channel count; only `message` is set
    QStringList verdicts;   // "合格" or "不合格" per channel
    QStringList details;    // the failing probe temperatures, each with three decimals and "℃ "
    QString message;        // "校准结果为：" and one line per channel; or "数据错误，验证失败!"
};

// Automatic verification: a channel fails at a point when |reference − probe| > 0.1 ℃, both
// taken as printed with four decimals; exactly 0.1 passes.
ProbeSetVerdict verifyProbeSet(const QStringList &referenceTemperatures,
                               const QVector<QStringList> &probeTemperatures, int channelCount);

// Manual verification: a channel fails when |reference − reading| >= 0.1 ℃ (as printed with four
// decimals); exactly 0.1 fails.
bool manualVerificationPasses(double reference, double reading);

// The manual verification's log line for one channel (index from 1):
// "通道" + index + "合格  误差为：" or "不合格  误差为：", the error with three decimals, "℃ ".
QString manualVerificationLine(int channel, double reference, double reading);

} // namespace Analysis
