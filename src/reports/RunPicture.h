#pragma once

#include "analysis/AnalysisTypes.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

// A picture of a run for the documents: every probe's curve over time with the plateau
// windows shaded and labelled. Drawn on an image without a window; long runs are drawn as the
// smallest and largest value per pixel column, so the time to draw does not grow with the
// number of samples beyond reading them once.
namespace RunPicture {

struct Window
{
    QDateTime from, to;
    QString label;   // "95℃" over the window
};

struct Options
{
    int width = 2000;    // pixels
    int height = 760;
    QString unit;        // "℃" or "℉": the samples (stored in ℃) are drawn in it
    QStringList probeLabels;   // the legend's names in probe order; numbers 1, 2, ... where missing
};

// Null without samples, or when the process has no QGuiApplication (fonts need one; the
// platform "offscreen" is enough).
QImage render(const QVector<RunSample> &samples, const QVector<Window> &windows, const Options &options);

// The picture as PNG bytes, empty when it could not be drawn.
QByteArray png(const QVector<RunSample> &samples, const QVector<Window> &windows, const Options &options);

// "Nice" axis steps: about `count` ticks between low and high, at 1, 2 or 5 × 10^k.
double tickStep(double low, double high, int count);

} // namespace RunPicture
