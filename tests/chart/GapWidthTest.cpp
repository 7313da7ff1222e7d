// Where the chart's lines break: the gap time from the logger's settings,
// and that time as a width in keys.
#include <gtest/gtest.h>

#include "chart/GapWidth.h"

namespace qs {
namespace {

struct GapCase {
    double intervalSeconds;
    int watchdogMs;
    double seconds;
};

TEST(GapWidth, GapTimeIsThreeIntervalsOrTheWatchdogTimeOutWhicheverIsLonger) {
    const GapCase cases[] = {
        {2.0, 0, 6.0},       // watchdog off: three intervals
        {2.0, 5000, 6.0},    // the default settings
        {2.0, 10000, 10.0},  // a longer time-out wins
        {5.0, 15000, 15.0},  // both the same
        {0.5, 1000, 1.5},
        {1.0, 2500, 3.0},
        {1.0, 3500, 3.5},  // a time-out in part seconds
        {0.0, 0, 0.0},
    };
    for (const GapCase& c : cases)
        EXPECT_DOUBLE_EQ(GapSeconds(c.intervalSeconds, c.watchdogMs), c.seconds)
            << c.intervalSeconds << " s, " << c.watchdogMs << " ms";
}

struct WidthCase {
    double seconds;
    double days;
};

TEST(GapWidth, WidthIsTheGapTimeAndAMillisecondInDaysOrNoneAtAll) {
    const WidthCase cases[] = {
        {0.0, 0.0},                  // no gap time: lines never break
        {-6.0, 0.0},
        {86399.999, 1.0},            // a day, once the millisecond is added
        {43199.999, 0.5},
        {6.0, 6.001 / 86400.0},      // 6.9456018518...e-5
        {3600.0, 3600.001 / 86400.0},
    };
    for (const WidthCase& c : cases) EXPECT_NEAR(GapWidthDays(c.seconds), c.days, 1e-15) << c.seconds << " s";
}

TEST(GapWidth, TwoSamplesExactlyTheGapTimeApartAreNoGap) {
    // Keys of whole seconds in days, as the chart holds them.
    const double first = 45356.0 + 50000.0 / 86400.0;
    const double later = 45356.0 + 50006.0 / 86400.0;
    EXPECT_LT(later - first, GapWidthDays(GapSeconds(2.0, 5000)));
    EXPECT_GT(45356.0 + 50007.0 / 86400.0 - first, GapWidthDays(GapSeconds(2.0, 5000)));
}

}  // namespace
}  // namespace qs
