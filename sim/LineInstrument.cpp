#include "Instrument.h"

#include "Trace.h"

#include <QStringList>

namespace pcrsim {

QList<QByteArray> LineInstrument::consume(QByteArray &input)
{
    QList<QByteArray> replies;
    int end;
    while ((end = input.indexOf('\n')) >= 0) {
        QByteArray raw = input.left(end);
        input.remove(0, end + 1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.isEmpty())
            continue;
        trace(name() + QStringLiteral(" request ") + line);
        const QStringList answer = command(line);
        for (const QString &l : answer)
            replies << l.toLatin1() + "\r\n";
    }
    return replies;
}

QByteArray LineInstrument::corrupted(QByteArray reply, quint32 random) const
{
    const int text = reply.endsWith("\r\n") ? reply.size() - 2 : reply.size();
    if (text > 0)
        reply[int(random % quint32(text))] = '#';
    return reply;
}

} // namespace pcrsim
