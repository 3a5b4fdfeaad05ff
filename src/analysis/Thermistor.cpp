#include "Thermistor.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace Analysis {

namespace {

// The eigenvalues of a symmetric 4 × 4 matrix (cyclic Jacobi rotations).
void symmetricEigenvalues(double a[4][4], double out[4])
{
    for (int sweep = 0; sweep < 60; ++sweep) {
        double off = 0;
        for (int p = 0; p < 4; ++p)
            for (int q = p + 1; q < 4; ++q)
                off += a[p][q] * a[p][q];
        if (off == 0)
            break;
        for (int p = 0; p < 4; ++p) {
            for (int q = p + 1; q < 4; ++q) {
                if (a[p][q] == 0)
                    continue;
                const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (int k = 0; k < 4; ++k) {
                    const double kp = a[k][p], kq = a[k][q];
                    a[k][p] = c * kp - s * kq;
                    a[k][q] = s * kp + c * kq;
                }
                for (int k = 0; k < 4; ++k) {
                    const double pk = a[p][k], qk = a[q][k];
                    a[p][k] = c * pk - s * qk;
                    a[q][k] = s * pk + c * qk;
                }
            }
        }
    }
    for (int i = 0; i < 4; ++i)
        out[i] = a[i][i];
}

} // namespace

double thermistorDesignCondition(const QVector<double> &resistances)
{
    if (resistances.size() < 4)
        return qInf();
    QVector<double> x;
    double mean = 0;
    for (double ohm : resistances) {
        if (!(ohm > 0.0) || !qIsFinite(ohm))
            return qInf();
        x.append(std::log(ohm));
        mean += x.last();
    }
    mean /= x.size();
    // About the mean, so that where ln R lies does not count, only how far the points spread.
    double a[4][4] = {};
    for (double v : qAsConst(x)) {
        const double d = v - mean;
        const double powers[7] = {1, d, d * d, d * d * d, d * d * d * d, d * d * d * d * d, d * d * d * d * d * d};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                a[r][c] += powers[r + c];
    }
    double eigen[4];
    symmetricEigenvalues(a, eigen);
    double lo = qInf(), hi = 0;
    for (double e : eigen) {
        lo = std::min(lo, std::fabs(e));
        hi = std::max(hi, std::fabs(e));
    }
    return lo > 0 ? hi / lo : qInf();
}

bool fitThermistor(const QVector<double> &temperaturesC, const QVector<double> &resistances,
                   ThermistorCoefficients &coefficients)
{
    const int points = temperaturesC.size();
    if (points != resistances.size() || points < 4)
        return false;

    // Augmented normal equations: a[r][c] = Σ x^(r+c), a[r][4] = Σ x^r y.
    double a[4][5] = {};
    for (int k = 0; k < points; ++k) {
        const double ohm = resistances.at(k);
        const double t = temperaturesC.at(k);
        if (!(ohm > 0.0) || !qIsFinite(ohm) || !qIsFinite(t))
            return false;
        const double x = std::log(ohm);
        const double y = 1.0 / (t + 273.15);
        double powers[7];
        powers[0] = 1.0;
        for (int p = 1; p < 7; ++p)
            powers[p] = powers[p - 1] * x;
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c)
                a[r][c] += powers[r + c];
            a[r][4] += powers[r] * y;
        }
    }

    for (int k = 0; k < 4; ++k) {
        for (int r = k + 1; r < 4; ++r) {
            const double factor = a[k][k] == 0.0 ? 0.0 : a[r][k] / a[k][k];
            for (int c = k; c < 5; ++c)
                a[r][c] -= factor * a[k][c];
        }
    }
    double b[4];
    // With fewer than four distinct resistances the system is singular, yet rounding can leave
    // a tiny pivot that back substitution turns into finite nonsense.
    QVector<double> distinct;
    for (double ohm : resistances) {
        if (!distinct.contains(ohm))
            distinct.append(ohm);
    }
    if (distinct.size() < 4)
        return false;
    // Distinct is not enough: noise alone makes four readings of one temperature distinct, and
    // their fit passes through them while missing every other temperature by kelvins.
    if (!(thermistorDesignCondition(resistances) <= MaximumDesignCondition))
        return false;
    for (int k = 3; k >= 0; --k) {
        double sum = a[k][4];
        for (int c = k + 1; c < 4; ++c)
            sum -= a[k][c] * b[c];
        b[k] = sum / a[k][k];
    }
    for (double v : b) {
        if (!qIsFinite(v))
            return false;
    }
    coefficients = {b[0], b[1], b[2], b[3]};
    return true;
}

double thermistorTemperature(const ThermistorCoefficients &c, double ohm)
{
    const double x = std::log(ohm);
    return 1.0 / (c.b0 + c.b1 * x + c.b2 * x * x + c.b3 * x * x * x) - 273.15;
}

QString coefficientText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

namespace {

bool toNumber(const QString &text, double &v)
{
    bool ok = false;
    v = text.toDouble(&ok);
    return ok && qIsFinite(v);
}

// A temperature as it is printed with four decimals, in tenths of a millikelvin: verdicts at the
// 0.1 K limit compare these, so binary rounding never decides one.
qint64 printedTenthsOfMilliKelvin(double celsius)
{
    return qRound64(QString::number(celsius, 'f', 4).toDouble() * 10000);
}

// |reference − probe| as printed, against the 0.1 K limit: -1 below, 0 at, 1 above.
int compareWithVerdictLimit(double reference, double probe)
{
    const qint64 d = qAbs(printedTenthsOfMilliKelvin(reference) - printedTenthsOfMilliKelvin(probe));
    return d < 1000 ? -1 : d == 1000 ? 0 : 1;
}

QString fitFailedText()
{
    return QCoreApplication::translate("Analysis", "数据错误，校准失败!");
}

} // namespace

ProbeSetFit fitProbeSet(const QStringList &referenceTemperatures,
                        const QVector<QStringList> &resistances, int channelCount)
{
    ProbeSetFit fit;
    fit.message = fitFailedText();
    const int points = referenceTemperatures.size();
    if (channelCount < 1 || resistances.size() != points)
        return fit;

    QVector<double> temperatures(points);
    for (int k = 0; k < points; ++k) {
        if (resistances.at(k).size() != channelCount || !toNumber(referenceTemperatures.at(k), temperatures[k]))
            return fit;
    }

    ProbeSetFit out;
    for (int j = 0; j < channelCount; ++j) {
        QVector<double> ohms(points);
        for (int k = 0; k < points; ++k) {
            if (!toNumber(resistances.at(k).at(j), ohms[k]))
                return fit;
        }
        if (!(thermistorDesignCondition(ohms) <= MaximumDesignCondition)) {
            QVector<double> distinct;
            bool usable = true;
            for (double ohm : qAsConst(ohms)) {
                usable = usable && ohm > 0;
                if (!distinct.contains(ohm))
                    distinct.append(ohm);
            }
            // Unusable values keep the general message; points too close get their own.
            if (usable && distinct.size() >= 4)
                fit.message = QCoreApplication::translate("Analysis", "通道%1的各校准点电阻过于接近，无法确定四个系数（温度点相距太近），校准失败！")
                                  .arg(j + 1);
            return fit;
        }
        ThermistorCoefficients c;
        if (!fitThermistor(temperatures, ohms, c))
            return fit;
        out.b0.append(coefficientText(c.b0));
        out.b1.append(coefficientText(c.b1));
        out.b2.append(coefficientText(c.b2));
        out.b3.append(coefficientText(c.b3));
    }
    out.ok = true;
    return out;
}

ProbeSetVerdict verifyProbeSet(const QStringList &referenceTemperatures,
                               const QVector<QStringList> &probeTemperatures, int channelCount)
{
    ProbeSetVerdict verdict;
    const int points = referenceTemperatures.size();
    bool usable = channelCount >= 1 && probeTemperatures.size() == points;
    QVector<double> references(points);
    QVector<QVector<double>> readings(points, QVector<double>(qMax(channelCount, 0)));
    for (int k = 0; usable && k < points; ++k) {
        usable = probeTemperatures.at(k).size() == channelCount
            && toNumber(referenceTemperatures.at(k), references[k]);
        for (int c = 0; usable && c < channelCount; ++c)
            usable = toNumber(probeTemperatures.at(k).at(c), readings[k][c]);
    }
    if (!usable) {
        verdict.message = QCoreApplication::translate("Analysis", "数据错误，验证失败!");
        return verdict;
    }

    const QString pass = QCoreApplication::translate("Analysis", "合格");
    const QString failed = QCoreApplication::translate("Analysis", "不合格");
    verdict.ok = true;
    verdict.message = QCoreApplication::translate("Analysis", "校准结果为：");
    for (int c = 0; c < channelCount; ++c) {
        QString result = pass;
        QString details;
        for (int k = 0; k < points; ++k) {
            if (compareWithVerdictLimit(references.at(k), readings.at(k).at(c)) > 0) {
                result = failed;
                details += QString::number(readings.at(k).at(c), 'f', 3) + QStringLiteral("℃ ");
            }
        }
        verdict.verdicts.append(result);
        verdict.details.append(details);
        verdict.message += QLatin1Char('\n') + QCoreApplication::translate("Analysis", "通道")
            + QString::number(c + 1) + QLatin1Char(':') + result + QLatin1Char(' ') + details;
    }
    return verdict;
}

bool manualVerificationPasses(double reference, double reading)
{
    return compareWithVerdictLimit(reference, reading) < 0;
}

QString manualVerificationLine(int channel, double reference, double reading)
{
    const double error = std::fabs(reference - reading);
    const QString verdict = manualVerificationPasses(reference, reading)
        ? QCoreApplication::translate("Analysis", "合格  误差为：")
        : QCoreApplication::translate("Analysis", "不合格  误差为：");
    return QCoreApplication::translate("Analysis", "通道") + QString::number(channel) + verdict
        + QString::number(error, 'f', 3) + QStringLiteral("℃ ");
}

} // namespace Analysis
