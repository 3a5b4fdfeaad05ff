#pragma once

// Temperatures are written with a few decimals, and their differences in binary carry rounding
// noise far below that. Limits that the procedure states as inclusive or exclusive at an exact
// value ("a span of exactly 10 passes", "exactly 1.5 off passes the cut") are compared with
// this margin, so a value equal to the limit as written falls on the stated side.
namespace Analysis {

constexpr double LimitMargin = 1e-9;

// a > limit, with a at the limit as written counting as equal.
inline bool exceedsLimit(double a, double limit) { return a > limit + LimitMargin; }
// a < limit, with a at the limit as written counting as equal.
inline bool belowLimit(double a, double limit) { return a < limit - LimitMargin; }

} // namespace Analysis
