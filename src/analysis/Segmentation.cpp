#include "Segmentation.h"

#include "Compare.h"
#include "Units.h"

#include <QCoreApplication>

#include <cmath>

namespace Analysis {

namespace {

double meanOfFirst(const QVector<double> &values, int probeCount)
{
    const int n = qMin(probeCount, values.size());
    if (n <= 0)
        return qQNaN();
    double sum = 0.0;
    for (int j = 0; j < n; ++j)
        sum += values.at(j);
    return sum / n;
}

double firstProbe(const RunSample &sample)
{
    return sample.values.isEmpty() ? qQNaN() : sample.values.first();
}

// The hold offset in whole samples, trunc(hold × 60 / interval − 30 / interval). A whole number
// as written can come out a hair below it in binary (4.1 min at 1 s gives 215.99999999999997),
// which truncation would turn into one sample less.
double holdOffset(double holdMinutes, double interval)
{
    const double raw = holdMinutes * 60.0 / interval - 30.0 / interval;
    const double margin = LimitMargin * qMax(1.0, std::fabs(raw));
    return std::trunc(raw < 0.0 ? raw - margin : raw + margin);
}

} // namespace

AutoSegmentResult AutoSegment(double tolerance, const QVector<CycleStep> &steps,
                              const QVector<RunSample> &samples, int probeCount, double interval)
{
    AutoSegmentResult result;
    const int count = samples.size();
    if (count <= 5)
        return result;

    // Without a usable interval no end can be placed; the result is rejected below.
    const bool intervalOk = qIsFinite(interval) && interval > 0.0;

    int cursor = 0;
    double window[6];
    for (const CycleStep &step : steps) {
        double offset = -1.0;
        if (intervalOk)
            offset = holdOffset(step.holdTime, interval);
        int filled = 0;
        for (int i = cursor; i < count; ++i) {
            window[filled++] = meanOfFirst(samples.at(i).values, probeCount);
            if (filled <= 5)
                continue;
            // Drop the oldest: the window holds the means of samples i - 4 .. i.
            for (int w = 0; w < 5; ++w)
                window[w] = window[w + 1];
            filled = 5;
            // Strict throughout: a first probe exactly 1.5 off does not hold.
            const bool near = belowLimit(std::fabs(firstProbe(samples.at(i)) - step.temperature), 1.5);
            bool steady = near;
            // Means that step by exactly the tolerance as written do not hold either.
            for (int w = 4; steady && w > 0; --w)
                steady = belowLimit(std::fabs(window[w] - window[w - 1]), tolerance);
            if (!steady)
                continue;
            cursor = i - 5;
            result.starts.append(samples.at(cursor).time);
            // A negative offset (hold under half a minute) would put the end before the start;
            // such a step gets no end, like one whose end lies beyond the run.
            if (offset >= 0.0 && cursor + offset < count)
                result.ends.append(samples.at(cursor + static_cast<int>(offset)).time);
            break;
        }
    }

    const bool complete = result.starts.size() == steps.size() && result.ends.size() == steps.size();
    result.outcome = complete ? AutoSegmentOutcome::Found : AutoSegmentOutcome::Failed;
    return result;
}

QString autoSegmentFailedText()
{
    return QCoreApplication::translate("Analysis", "自动识别错误，请手动分段！");
}

QString markerLabel(const CycleStep &step, bool end, const QString &unit)
{
    return QString::number(displayTemperature(step.temperature, unit), 'f', 0)
        + (end ? QCoreApplication::translate("Analysis", "结束")
               : QCoreApplication::translate("Analysis", "开始"));
}

QString cutErrorText(CutError error)
{
    switch (error) {
    case CutError::None:
        return QString();
    case CutError::MarkersIncomplete:
        return QCoreApplication::translate("Analysis", "标注线不全不能生成报告！");
    case CutError::MarkerUnreadable:
        return QCoreApplication::translate("Analysis", "获取数据错误！");
    case CutError::MarkersNotIncreasing:
        return QCoreApplication::translate("Analysis", "标注线时间必须为递增的！");
    case CutError::NoMarkers:
        return QCoreApplication::translate("Analysis", "没有检测到标注线！");
    case CutError::MarkerBeforeStart:
        return QCoreApplication::translate("Analysis", "标注线时间小于开始时间！");
    case CutError::MarkerAfterEnd:
        return QCoreApplication::translate("Analysis", "标注线时间大于结束时间！");
    case CutError::NoData:
        return QCoreApplication::translate("Analysis", "未找到数据！");
    case CutError::DataMismatch:
        return QCoreApplication::translate("Analysis", "截取的数据不匹配循环文件！");
    }
    return QString();
}

CutResult cutSegments(const QVector<QDateTime> &markers, const QVector<CycleStep> &steps,
                      const QVector<RunSample> &samples)
{
    CutResult result;
    auto fail = [&result](CutError error) {
        result.error = error;
        result.segments.clear();
        return result;
    };

    if (markers.size() != 2 * steps.size())
        return fail(CutError::MarkersIncomplete);
    for (int i = 0; i < markers.size(); ++i) {
        if (!markers.at(i).isValid())
            return fail(CutError::MarkerUnreadable);
        if (i > 0 && markers.at(i) < markers.at(i - 1))
            return fail(CutError::MarkersNotIncreasing);
    }
    if (markers.isEmpty())
        return fail(CutError::NoMarkers);
    if (!samples.isEmpty()) {
        if (markers.first() < samples.first().time)
            return fail(CutError::MarkerBeforeStart);
        if (markers.last() > samples.last().time)
            return fail(CutError::MarkerAfterEnd);
    }

    // One walk over the run: a sample past a segment's end stays current for the next one.
    int j = 0;
    for (int d = 0; d < steps.size(); ++d) {
        const QDateTime &start = markers.at(2 * d);
        const QDateTime &end = markers.at(2 * d + 1);
        Segment segment;
        for (; j < samples.size(); ++j) {
            const RunSample &sample = samples.at(j);
            if (sample.time > end)
                break;
            if (sample.time > start)
                segment.append(sample);
        }
        if (segment.isEmpty())
            return fail(CutError::NoData);
        result.segments.append(segment);
    }

    for (int d = 0; d < result.segments.size(); ++d) {
        const double delta = std::fabs(firstProbe(result.segments.at(d).first()) - steps.at(d).temperature);
        // Exactly 1.5 off passes; a sample without values never matches.
        if (!(delta == delta) || exceedsLimit(delta, 1.5))
            return fail(CutError::DataMismatch);
    }
    return result;
}

} // namespace Analysis
