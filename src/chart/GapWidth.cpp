#include "chart/GapWidth.h"

#include <algorithm>

#include "platform/DayCount.h"

namespace qs {
namespace {
// Keys are whole seconds in days, so two keys exactly the gap time apart
// differ by a rounding either way: a millisecond more keeps such a step
// from counting as a gap.
constexpr double kGapMarginSeconds = 1e-3;
}  // namespace

// A sample or two late, or late by less than the watchdog waits before it
// calls the link lost, still belongs to the same line.
double GapSeconds(double intervalSeconds, int watchdogMs) {
    return std::max(3.0 * intervalSeconds, watchdogMs / 1000.0);
}

double GapWidthDays(double gapSeconds) {
    return gapSeconds > 0.0 ? (gapSeconds + kGapMarginSeconds) / kSecondsPerDay : 0.0;
}

}  // namespace qs
