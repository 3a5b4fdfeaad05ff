#include "AnalysisTestData.h"

#include <cmath>

namespace TestData {

QDateTime runStart()
{
    return QDateTime(QDate(2024, 5, 6), QTime(9, 0, 0, 0));
}

QVector<RunSample> makeRun(const QVector<QVector<double>> &rows, double interval)
{
    QVector<RunSample> run;
    run.reserve(rows.size());
    const QDateTime start = runStart();
    for (int i = 0; i < rows.size(); ++i)
        run.append(RunSample{start.addMSecs(qRound64(i * interval * 1000.0)), rows.at(i)});
    return run;
}

QVector<RunSample> flatRun(int count, int probes, double value, double interval)
{
    return makeRun(QVector<QVector<double>>(count, QVector<double>(probes, value)), interval);
}

QVector<CycleStep> steps(std::initializer_list<double> temperatures, double holdMinutes)
{
    QVector<CycleStep> out;
    for (double t : temperatures)
        out.append(CycleStep{t, holdMinutes});
    return out;
}

Analysis::ThermistorCoefficients typicalNtc()
{
    return {1.125e-3, 2.347e-4, 1.2e-6, 8.5e-8};
}

double resistanceAt(const Analysis::ThermistorCoefficients &c, double celsius)
{
    const double y = 1.0 / (celsius + 273.15);
    double x = 9.0;
    for (int i = 0; i < 60; ++i) {
        const double f = c.b0 + c.b1 * x + c.b2 * x * x + c.b3 * x * x * x - y;
        const double df = c.b1 + 2 * c.b2 * x + 3 * c.b3 * x * x;
        const double step = f / df;
        x -= step;
        if (std::fabs(step) < 1e-15)
            break;
    }
    return std::exp(x);
}

} // namespace TestData

#include "BlockModel.h"

#include "analysis/RunData.h"

#include <QStringList>

namespace TestData {

QVector<StoredRow> modelRows(const pcrsim::BlockModel &model, double from, double to, double interval)
{
    QVector<StoredRow> rows;
    const QDateTime start = runStart();
    for (qint64 i = 0;; ++i) {
        const double t = from + i * interval;
        if (t > to)
            break;
        QStringList values;
        for (double v : model.measuredTemperatures(t))
            values.append(QString::number(v, 'f', 4));
        rows.append({start.addMSecs(qRound64(t * 1000.0)).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")),
                     values.join(QLatin1Char(','))});
    }
    return rows;
}

pcrsim::BlockModelConfig modelConfig(const QString &program, quint64 seed)
{
    pcrsim::BlockModelConfig config;
    QString error;
    const bool parsed = pcrsim::parseProgram(program, &config.program, &error);
    Q_ASSERT_X(parsed, "modelConfig", qPrintable(error));
    Q_UNUSED(parsed)
    config.seed = seed;
    return config;
}

QVector<RunSample> modelRun(const pcrsim::BlockModel &model, double to, double interval)
{
    const QVector<StoredRow> rows = modelRows(model, 0, to, interval);
    return Analysis::readRunWindow(
        rows, [](const StoredRow &r) { return r.time; }, [](const StoredRow &r) { return r.values; },
        model.channels(), runStart(), runStart().addSecs(qint64(to) + 1));
}

QVector<CycleStep> modelSteps(const pcrsim::BlockModel &model)
{
    QVector<CycleStep> out;
    for (const pcrsim::ProgramStep &s : model.config().program)
        out.append(CycleStep{s.temperature, s.holdMinutes});
    return out;
}

} // namespace TestData
