#include "chart/GapWidth.h"

#include <algorithm>
#include <vector>

#include "platform/DayCount.h"

namespace qs {
namespace {
// Keys are whole seconds in days, so two keys exactly the gap time apart
// differ by a rounding either way: a millisecond more keeps such a step
// from counting as a gap.
constexpr double kGapMarginSeconds = 1e-3;
// A sample may come this many typical steps late (a slow reply, a
// reconnect the watchdog ends quickly) and still belong to the same line...
constexpr double kTypicalStepsPerGap = 5.0;
// ...and a pause shorter than this is never a gap, however fast the polling.
constexpr double kShortestGapSeconds = 3.0;
// The median of this many steps tells the spacing of a week-long file as
// well as of all its steps, at a cost a repaint does not notice.
constexpr int kStepsSampled = 1000;
}  // namespace

double GapSeconds(double typicalStepSeconds) {
    return std::max(kTypicalStepsPerGap * typicalStepSeconds, kShortestGapSeconds);
}

double TypicalStepSeconds(int count, const std::function<double(int)>& keyDays) {
    const int steps = count - 1;
    if (steps < 1) return 0.0;
    const int taken = std::min(steps, kStepsSampled);
    std::vector<double> sampled;
    sampled.reserve(static_cast<std::size_t>(taken));
    for (int k = 0; k < taken; ++k) {
        // Step i runs from key i - 1 to key i, for i from 1 to steps.
        const int i = 1 + static_cast<int>(static_cast<long long>(k) * (steps - 1) / std::max(taken - 1, 1));
        sampled.push_back((keyDays(i) - keyDays(i - 1)) * static_cast<double>(kSecondsPerDay));
    }
    const auto middle = sampled.begin() + static_cast<std::ptrdiff_t>(sampled.size() / 2);
    std::nth_element(sampled.begin(), middle, sampled.end());
    return *middle;
}

double GapWidthDays(double gapSeconds) {
    return gapSeconds > 0.0 ? (gapSeconds + kGapMarginSeconds) / kSecondsPerDay : 0.0;
}

}  // namespace qs
