#pragma once
// The FLUKE 1586A thermometer's SCPI subset: identity, reset, rate, temperature unit, the
// channel, function and scaling commands of one or more channels, READ? and the error queue.
// Its probe sits in the bath.

#include "BathModel.h"
#include "Instrument.h"
#include "SimClock.h"

#include <QMap>
#include <QStringList>
#include <optional>

namespace pcrsim {

class ScpiSim : public LineInstrument
{
public:
    ScpiSim(const BathModel *bath, const SimClock *clock, quint64 seed);

    QString name() const override { return QStringLiteral("scpi"); }

    struct Channel
    {
        bool on = false;
        QString function;  // "TC", "THER", "RTD", "VOLT", "VOLT:AC", "CURR", "CURR:AC", "RES", "FREQ"; empty: temperature
        QString type;      // thermocouple type, thermistor type or PRT conversion
        bool resistance = false;
        bool scale = false;
        double gain = 1, offset = 0;
    };

protected:
    QStringList command(const QString &line) override;

private:
    void reset();
    QString reading(const Channel &c) const;
    void error(int code, const char *text);
    // Applies a command addressed to a channel; nothing for a header it does not know, false for
    // parameters it refuses.
    std::optional<bool> channelCommand(const QString &header, const QStringList &args, Channel &c);

    const BathModel *bath;
    const SimClock *clock;
    QString identity;
    QString unit = QStringLiteral("C");
    QString rate = QStringLiteral("SLOW");
    QMap<int, Channel> channels;  // ordered by channel number: READ? reports them in that order
    QStringList errors;
};

} // namespace pcrsim
