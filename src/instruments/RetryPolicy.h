#pragma once
// How often a driver asks again and how long it waits for one reply, for every driver in one
// table: a single lost, garbled or noisy reply costs one more request, never the operation.

struct RetryPolicy
{
    int attempts;      // requests sent before the operation fails
    int replyWaitMs;   // the wait for the reply to one request
};

namespace Retry {

// The collector answers within milliseconds.
inline constexpr RetryPolicy Collector{4, 500};
// Its coefficient writes, each confirmed by the echo of the whole frame.
inline constexpr RetryPolicy CollectorWrite{3, 500};
// One triggered reading of the SCPI thermometer at the fast rate the driver sets.
inline constexpr RetryPolicy ScpiReading{4, 5000};
// The bath answers in bursts, after a pause of its own before the reply is looked at.
inline constexpr RetryPolicy Bath{3, 6000};

} // namespace Retry
