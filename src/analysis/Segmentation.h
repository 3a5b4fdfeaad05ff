#pragma once

#include "AnalysisTypes.h"

#include <QString>

// Plateau detection and the cutting of a uniformity run into one segment per step.
namespace Analysis {

enum class AutoSegmentOutcome {
    NotRun,  // 5 samples or fewer: no marker, no message
    Found,   // one start and one end per step
    Failed,  // "自动识别错误，请手动分段！" under "提示", no marker
};

struct AutoSegmentResult
{
    AutoSegmentOutcome outcome = AutoSegmentOutcome::NotRun;
    // Marker times as found, start k and end k for step k. On failure they hold what was found
    // before the search gave up; the caller places nothing then.
    QVector<QDateTime> starts;
    QVector<QDateTime> ends;
};

// Proposes a start and an end marker per step. The sample cursor is shared by all steps; a
// plateau is accepted at sample i when the first probe is within 1.5 of the set temperature
// (strictly) and the last five means of the first `probeCount` values move by less than
// `tolerance` from one to the next; the start is sample i - 5, the end lies the hold offset
// trunc(hold × 60 / interval − 30 / interval) samples after it. Samples and set temperatures
// are in ℃, and so is the tolerance. `interval` is the sampling interval in seconds.
AutoSegmentResult AutoSegment(double tolerance, const QVector<CycleStep> &steps,
                              const QVector<RunSample> &samples, int probeCount, double interval);

QString autoSegmentFailedText();

// Label of a marker: the set temperature in the display unit with no decimals, then "开始" or
// "结束".
QString markerLabel(const CycleStep &step, bool end, const QString &unit);

enum class CutError {
    None,
    MarkersIncomplete,     // "标注线不全不能生成报告！"
    MarkerUnreadable,      // "获取数据错误！"
    MarkersNotIncreasing,  // "标注线时间必须为递增的！"
    NoMarkers,             // "没有检测到标注线！"
    MarkerBeforeStart,     // "标注线时间小于开始时间！"
    MarkerAfterEnd,        // "标注线时间大于结束时间！"
    NoData,                // "未找到数据！"
    DataMismatch,          // "截取的数据不匹配循环文件！"
};

// The message the caller shows under "提示"; empty for None.
QString cutErrorText(CutError error);

struct CutResult
{
    CutError error = CutError::None;
    QVector<Segment> segments;  // one per step when error is None, else empty
};

// Cuts the run at the confirmed markers, given in the chart's order (an invalid date-time stands
// for a marker whose time could not be read). Segment d holds the samples with
// marker 2d < time <= marker 2d + 1. The first failing check decides the error.
CutResult cutSegments(const QVector<QDateTime> &markers, const QVector<CycleStep> &steps,
                      const QVector<RunSample> &samples);

} // namespace Analysis
