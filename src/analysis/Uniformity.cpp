#include "Uniformity.h"

#include <QRegularExpression>

#include <QDebug>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace Analysis {

int UniformityAnalysisData(const QVector<RunSample> &samples, const QVector<Segment> &segments,
                           const QVector<CycleStep> &steps, int probeCount,
                           QVector<UniformityRow> &rows)
{
    if (samples.isEmpty())
        return UniformityNoSamples;
    if (samples.first().values.size() != probeCount || probeCount < 1)
        return UniformityFirstSampleCount;
    if (segments.size() > steps.size())
        return UniformitySegmentsMismatch;

    const int n = probeCount;
    QVector<UniformityRow> out;
    out.reserve(segments.size());
    for (int b = 0; b < segments.size(); ++b) {
        const Segment &segment = segments.at(b);
        const int c = segment.size();
        if (c == 0)
            return UniformitySegmentsMismatch;
        QVector<double> sums(n, 0.0);
        double smallest = 10000000.0;
        double largest = -10000000.0;
        double total = 0.0;
        for (const RunSample &sample : segment) {
            if (sample.values.size() != n)
                return UniformitySegmentSampleCount;
            const double *v = sample.values.constData();
            for (int j = 0; j < n; ++j) {
                if (v[j] < smallest)
                    smallest = v[j];
                if (v[j] > largest)
                    largest = v[j];
                total += v[j];
                sums[j] += v[j];
            }
        }
        UniformityRow row;
        row.reserve(n + 3);
        row.append(steps.at(b).temperature);
        for (int j = 0; j < n; ++j)
            row.append(sums.at(j) / c);
        row.append(largest - smallest);
        row.append(total / (static_cast<double>(c) * n));
        out.append(row);
    }

    // Whole rows compared lexicographically; equal rows keep their order.
    std::stable_sort(out.begin(), out.end(),
                     [](const UniformityRow &a, const UniformityRow &b) { return a < b; });
    // Of equal set temperatures only the first in sorted order stays.
    QVector<UniformityRow> kept;
    kept.reserve(out.size());
    for (int i = 0; i < out.size(); ++i) {
        if (i > 0 && out.at(i).first() == out.at(i - 1).first())
            continue;
        kept.append(out.at(i));
    }

    for (const UniformityRow &row : qAsConst(kept)) {
        QStringList parts;
        for (double v : row)
            parts.append(QString::number(v));
        qInfo().noquote() << QStringLiteral("数据输出：(") + parts.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    rows += kept;
    return UniformityOk;
}

UncertaintyBudget uncertaintyBudget(const UniformityRow &row, double instrumentStandardUncertainty)
{
    UncertaintyBudget b;
    b.u2 = instrumentStandardUncertainty;
    const int m = row.size();
    if (m < 4) {
        b.u1 = b.combined = b.expanded = qQNaN();
        return b;
    }
    const double mean = row.at(m - 1);
    double squares = 0.0;
    for (int j = 1; j <= m - 3; ++j)
        squares += (row.at(j) - mean) * (row.at(j) - mean);
    b.u1 = std::sqrt(squares / (m - 4));
    b.combined = std::sqrt(b.u1 * b.u1 + b.u2 * b.u2);
    b.expanded = b.k * b.combined;
    return b;
}

double instrumentStandardUncertainty(const QString &registered, bool *found)
{
    if (found)
        *found = false;
    // The first number in the text, with an optional sign; the unit and labels around it go.
    static const QRegularExpression number(QStringLiteral("[-+]?(?:\\d+(?:\\.\\d*)?|\\.\\d+)(?:[eE][-+]?\\d+)?"));
    // "k=2, U=0.1℃": the number after "U=" counts, not the coverage factor before it.
    static const QRegularExpression labelled(QStringLiteral("U\\s*[=＝:：]\\s*[±]?"));
    const QRegularExpressionMatch label = labelled.match(registered);
    const QRegularExpressionMatch match
        = number.match(registered, label.hasMatch() ? label.capturedEnd() : 0);
    if (!match.hasMatch())
        return 0.0;
    bool ok = false;
    const double value = match.captured().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0.0)
        return 0.0;
    if (found)
        *found = true;
    return value / 2.0;
}

double expandedUncertainty(const UniformityRow &row)
{
    return uncertaintyBudget(row, 0.0).expanded;
}

QVector<double> expandedUncertainty(const QVector<UniformityRow> &rows)
{
    QVector<double> out;
    out.reserve(rows.size());
    for (const UniformityRow &row : rows)
        out.append(expandedUncertainty(row));
    return out;
}

} // namespace Analysis
