#pragma once
// Diagnostic lines on standard error when PCRSIM_TRACE is set (tests count requests and faults
// with them); silent otherwise.

#include <QString>

namespace pcrsim {
void trace(const QString &line);
}
