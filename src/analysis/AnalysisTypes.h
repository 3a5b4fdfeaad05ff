#pragma once

#include <QDateTime>
#include <QVector>

// A stored sample of one run: its time stamp and one value per probe, in probe order.
// Values stay in ℃ as stored; the analysis converts its results for display afterwards.
struct RunSample
{
    QDateTime time;
    QVector<double> values;
};
Q_DECLARE_TYPEINFO(RunSample, Q_MOVABLE_TYPE);

// One step of a cycle file: set temperature in ℃ as written in the file, hold time in minutes.
struct CycleStep
{
    double temperature = 0.0;
    double holdTime = 0.0;
};
Q_DECLARE_TYPEINFO(CycleStep, Q_PRIMITIVE_TYPE);

// One result row per set temperature, n + 3 values: set temperature, mean of probe 1 .. n,
// range (largest minus smallest single value), overall mean.
using UniformityRow = QVector<double>;

// The samples of one plateau, in time order.
using Segment = QVector<RunSample>;
