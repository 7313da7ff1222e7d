// The refresh throttle on the virtual clock: requests at given times, the
// times the action ran.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/virtual/VirtualTime.h"
#include "window/RefreshThrottle.h"

namespace qs {
namespace {

struct ThrottleCase {
    const char* name;
    int periodMs, firstDelayMs;
    std::vector<std::int64_t> requestsAtMs;
    std::int64_t untilMs;
    std::vector<std::int64_t> runsAtMs;
};

const ThrottleCase kCases[] = {
    {"OneRequestRunsAtTheNextDispatch", 1000, 0, {0}, 5000, {0}},
    {"ManyRequestsInAPeriodRunOnceMoreAtItsEnd", 1000, 0, {0, 10, 20, 500, 999}, 5000, {0, 1000}},
    {"ARequestEveryFiftyMillisecondsRunsOnceASecond",
     1000,
     0,
     {0, 50, 100, 150, 200, 250, 300, 350, 400, 450, 500, 550, 600, 650, 700, 750, 800, 850, 900, 950, 1000, 1050,
      1100, 1150, 1200, 1250, 1300, 1350, 1400, 1450, 1500, 1550, 1600, 1650, 1700, 1750, 1800, 1850, 1900, 1950,
      2000, 2050},
     5000,
     {0, 1000, 2000, 3000}},
    {"AQuietSpellEndsThePeriod", 1000, 0, {0, 3500, 3600}, 6000, {0, 3500, 4500}},
    {"AMinuteWaitsAMinuteFirst", 60000, 60000, {1000, 2000, 70000, 130000}, 300000, {61000, 121000, 181000}},
    {"NoRequestNoRun", 1000, 0, {}, 5000, {}},
};

class RefreshThrottles : public ::testing::TestWithParam<ThrottleCase> {};

TEST_P(RefreshThrottles, RunAtMostOncePerPeriodAndNeverLoseARequest) {
    const ThrottleCase& c = GetParam();
    VirtualTime time;
    std::vector<std::int64_t> runs;
    RefreshThrottle throttle(time, c.periodMs, c.firstDelayMs, [&] { runs.push_back(time.nowMs()); });
    for (std::int64_t at : c.requestsAtMs) time.at(at, [&] { throttle.request(); });
    time.advance(c.untilMs);
    EXPECT_EQ(runs, c.runsAtMs);
    EXPECT_EQ(throttle.runs(), static_cast<long long>(c.runsAtMs.size()));
    EXPECT_FALSE(throttle.due());
}

INSTANTIATE_TEST_SUITE_P(Cases, RefreshThrottles, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RefreshThrottle, NeverRunsInsideTheRequest) {
    VirtualTime time;
    int runs = 0;
    RefreshThrottle throttle(time, 1000, 0, [&] { ++runs; });
    throttle.request();
    EXPECT_EQ(runs, 0);
    time.advance(0);
    EXPECT_EQ(runs, 1);
}

TEST(RefreshThrottle, FlushRunsAWaitingRequestAtOnceAndNothingElse) {
    VirtualTime time;
    int runs = 0;
    RefreshThrottle throttle(time, 60000, 60000, [&] { ++runs; });
    throttle.flush();
    EXPECT_EQ(runs, 0);
    throttle.request();
    throttle.flush();
    EXPECT_EQ(runs, 1);
    // The flushed request does not run again when its minute is up.
    time.advance(120000);
    EXPECT_EQ(runs, 1);
}

TEST(RefreshThrottle, LeavesNothingScheduledWhenItGoes) {
    VirtualTime time;
    int runs = 0;
    {
        RefreshThrottle throttle(time, 1000, 0, [&] { ++runs; });
        throttle.request();
    }
    time.advance(5000);
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(time.pending(), 0u);
}

}  // namespace
}  // namespace qs
