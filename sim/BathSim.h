#pragma once
// The temperature bath's text protocol: "sn", "r", "s" queries, "key=value" settings (set point,
// set-up, the reference probe's coefficients), replies "key: value".

#include "BathModel.h"
#include "Instrument.h"
#include "SimClock.h"

#include <QMap>

namespace pcrsim {

class BathSim : public LineInstrument
{
public:
    BathSim(BathModel *bath, const SimClock *clock, quint64 seed);

    QString name() const override { return QStringLiteral("bath"); }

    // The reference probe's coefficients as last saved ("Rtp", "A", "B", "C", "A4", "B4").
    double coefficient(const QString &key) const { return coefficients.value(key); }

protected:
    QStringList command(const QString &line) override;

private:
    QString temperatureText(double celsius, int decimals) const;

    BathModel *bath;
    const SimClock *clock;
    QString serial;
    QMap<QString, QString> setup;  // lf, u, sa, pc, co, hg
    QMap<QString, double> coefficients;
};

} // namespace pcrsim
