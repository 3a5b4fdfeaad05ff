// Stored rows of a run read back inside a window: "time|values" per line, whatever the bytes.
#include "analysis/RunData.h"

#include <QStringList>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int probes = data[0] % 20 - 1;   // -1 .. 18
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const QDateTime from(QDate(2024, 1, 1), QTime(0, 0));
    const QDateTime to(QDate(2030, 1, 1), QTime(0, 0));
    Analysis::RunWindowReader reader(probes, from, to);
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const int bar = line.indexOf(QLatin1Char('|'));
        const QString time = bar < 0 ? line : line.left(bar);
        const QString values = bar < 0 ? QString() : line.mid(bar + 1);
        QDateTime t;
        (void)Analysis::parseSampleTime(time, t);
        QVector<double> v;
        (void)Analysis::parseSampleValues(values, qMax(1, probes), v);
        if (!reader.addRow(time, values))
            break;
    }
    (void)reader.samples().size();
    return 0;
}
