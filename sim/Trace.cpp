#include "Trace.h"

#include <cstdio>
#include <cstdlib>

namespace pcrsim {

void trace(const QString &line)
{
    static const bool enabled = std::getenv("PCRSIM_TRACE") != nullptr;
    if (!enabled)
        return;
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

} // namespace pcrsim
