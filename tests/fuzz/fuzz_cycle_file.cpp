// A cycle-file record as stored: step count, set temperatures and hold times, each a line.
#include "analysis/CycleFile.h"

#include <QStringList>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size)).split(QLatin1Char('\n'));
    const Analysis::CycleFileColumns columns{lines.value(0), lines.value(1), lines.value(2)};
    QVector<CycleStep> steps;
    (void)Analysis::loadCycleFile(&columns, Analysis::CycleFileRole::Uniformity, steps);
    (void)Analysis::loadCycleFile(&columns, Analysis::CycleFileRole::Rate, steps);
    (void)Analysis::checkRateSteps(steps);
    return 0;
}
