// The thermistor fit over arbitrary points (raw doubles, NaN and infinities included) and the
// probe-set fit over arbitrary texts.
#include "analysis/Thermistor.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QVector<double> temperatures, resistances;
    for (size_t at = 0; at + 16 <= size && temperatures.size() < 32; at += 16) {
        double t, r;
        std::memcpy(&t, data + at, 8);
        std::memcpy(&r, data + at + 8, 8);
        temperatures << t;
        resistances << r;
    }
    Analysis::ThermistorCoefficients c;
    if (Analysis::fitThermistor(temperatures, resistances, c)) {
        for (double r : resistances)
            (void)Analysis::thermistorTemperature(c, r);
        (void)Analysis::coefficientText(c.b3);
    }
    // The same bytes as the texts a probe calibration collects: lines of comma-separated values,
    // the first line the reference temperatures.
    const QStringList lines = QString::fromLatin1(reinterpret_cast<const char *>(data), int(size)).split(QLatin1Char('\n'));
    if (lines.size() >= 2) {
        const QStringList references = lines.first().split(QLatin1Char(','));
        QVector<QStringList> readings;
        for (int i = 1; i < lines.size() && readings.size() < 16; ++i)
            readings << lines.at(i).split(QLatin1Char(','));
        const int channels = readings.isEmpty() ? 0 : readings.first().size();
        (void)Analysis::fitProbeSet(references, readings, channels);
        (void)Analysis::verifyProbeSet(references, readings, channels);
    }
    return 0;
}
