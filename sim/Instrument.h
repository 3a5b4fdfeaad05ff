#pragma once
// A simulated instrument: a protocol engine fed with the bytes one client sent. Transports
// (TCP, pseudo-terminal) and fault injection are the same for every instrument.

#include <QByteArray>
#include <QList>
#include <QString>

namespace pcrsim {

class Instrument
{
public:
    virtual ~Instrument() = default;
    // Name in the start-up lines ("collector").
    virtual QString name() const = 0;
    // Takes the complete requests from the front of `input` (leaving an incomplete one there)
    // and returns the replies to send, in order.
    virtual QList<QByteArray> consume(QByteArray &input) = 0;
};

} // namespace pcrsim
