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

    // A reply spoilt on the line, `random` choosing where: by default the last byte (a byte
    // frame's CRC) is broken.
    virtual QByteArray corrupted(QByteArray reply, quint32 random) const
    {
        Q_UNUSED(random)
        if (!reply.isEmpty())
            reply[reply.size() - 1] = char(reply.at(reply.size() - 1) ^ 0x5A);
        return reply;
    }
    // Text lines: stray bytes before a reply are printable and never end a line.
    virtual bool textLines() const { return false; }
};

// An instrument that takes one command per line (LF-terminated, a CR before it ignored) and
// answers with lines ending in CR LF.
class LineInstrument : public Instrument
{
public:
    QList<QByteArray> consume(QByteArray &input) override;
    // A character of the line garbled, so that what it says can no longer be read.
    QByteArray corrupted(QByteArray reply, quint32 random) const override;
    bool textLines() const override { return true; }

protected:
    // The reply lines to one command (without CR LF); none for a command that has no answer.
    virtual QStringList command(const QString &line) = 0;
};

} // namespace pcrsim
