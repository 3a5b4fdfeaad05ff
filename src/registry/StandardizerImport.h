#pragma once
// Reading a probe set's coefficients out of the collector, channel by channel. Runs on the add
// dialog's worker thread; widget-free. The caller changes its table only with a Done result, so
// a collector that stops answering halfway leaves it as it was.

#include "instruments/LinkSettings.h"
#include "acquisition/StopWait.h"
#include "registry/StandardizerRules.h"

#include <QCoreApplication>

class Collection1611A;

namespace StandardizerImport {

struct Result
{
    enum Outcome {
        Done,           // every channel read, every value a coefficient
        NotConnected,   // the collector could not be opened
        ReadFailed,     // channel `channel` did not answer
        BadValue,       // a value read is no coefficient (see fault)
        Stopped,        // given up on request
    };
    Outcome outcome = NotConnected;
    StandardizerRules::Columns columns;   // complete with Done only
    int channel = -1;                     // index of the failed channel
    StandardizerRules::Fault fault;
};

// Opens the collector, reads channels 0 .. channels - 1 and closes it again.
Result fromCollector(Collection1611A &collector, const LinkSettings &link, int channels, const StopWait &stop);

class Texts
{
    Q_DECLARE_TR_FUNCTIONS(StandardizerAdd)

public:
    // The message of a result ("获取成功！" for Done); channelNames name the table's rows.
    static QString message(const Result &result, const QStringList &channelNames);
    // "提示" for Done, "警告" otherwise.
    static QString title(const Result &result);
};

} // namespace StandardizerImport
