#pragma once

#include "analysis/AnalysisTypes.h"
#include "analysis/Thermistor.h"

// Builders of small runs and thermistor points for the analysis tests and benchmarks.
namespace TestData {

QDateTime runStart();

// One sample per entry of `rows` (values per probe), `interval` seconds apart from runStart().
QVector<RunSample> makeRun(const QVector<QVector<double>> &rows, double interval = 1.0);

// `count` samples of `probes` probes all at `value`.
QVector<RunSample> flatRun(int count, int probes, double value, double interval = 1.0);

QVector<CycleStep> steps(std::initializer_list<double> temperatures, double holdMinutes = 1.0);

// The 10 kΩ NTC of the fit tests: 1/T = 1.125e-3 + 2.347e-4 ln R + 1.2e-6 ln² R + 8.5e-8 ln³ R.
Analysis::ThermistorCoefficients typicalNtc();

// Resistance at which `c` gives `celsius` (Newton on ln R).
double resistanceAt(const Analysis::ThermistorCoefficients &c, double celsius);

} // namespace TestData

#include "BlockModel.h"

namespace TestData {

// The stored rows of a run of the simulator's block model, sampled every `interval` seconds
// from model time `from` to `to`: time texts from runStart(), values in ℃ with four decimals.
struct StoredRow
{
    QString time;
    QString values;
};
QVector<StoredRow> modelRows(const pcrsim::BlockModel &model, double from, double to, double interval);

// The block model's defaults with a program ("T:MIN,...", which must parse) and a seed.
pcrsim::BlockModelConfig modelConfig(const QString &program, quint64 seed);

// Those rows read back as the export reads a run, from model time 0 to `to`.
QVector<RunSample> modelRun(const pcrsim::BlockModel &model, double to, double interval);

// The model's program as the steps of a cycle file.
QVector<CycleStep> modelSteps(const pcrsim::BlockModel &model);

} // namespace TestData
