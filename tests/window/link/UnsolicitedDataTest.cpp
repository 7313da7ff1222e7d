// Data nobody asked for (a status notice, an instrument in talk-only mode)
// may delay a poll by at most one interval; it never stops the polling.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "LinkFixture.h"

namespace qs::test {
namespace {

struct ChatterCase {
    const char* name;
    const char* interval;
    int chatterEveryMs;
    std::int64_t intervalMs;
};

class ChatterTest : public LinkTest, public ::testing::WithParamInterface<ChatterCase> {};

TEST_P(ChatterTest, UnaskedLinesDelayAPollByAtMostOneInterval) {
    const ChatterCase& c = GetParam();
    w.IntervalBox.setText(c.interval);
    w.IntervalBoxExit();
    w.StartButton.Click();
    // A short notice (below the minimum reply length), so that it is shown
    // and logged but never a sample, every chatterEveryMs from the start.
    for (std::int64_t t = c.chatterEveryMs; t <= 10000; t += c.chatterEveryMs)
        vp.time.at(t, [this] { telnet.deliver("SRQ\r\n"); });

    advanceTo(10000);

    // The first poll follows the greeting; after it, each poll comes at most
    // one interval (plus the reply's 30 ms and a tick) later than it would
    // without the chatter, so gaps stay within two intervals and a bit.
    const std::vector<std::int64_t> times = sendTimes();
    ASSERT_GE(times.size(), static_cast<std::size_t>(10000 / (2 * c.intervalMs + 200)));
    for (std::size_t i = 1; i < times.size(); ++i) {
        EXPECT_LE(times[i] - times[i - 1], 2 * c.intervalMs + 130) << "between poll " << i - 1 << " and " << i;
    }
    EXPECT_EQ(telnet.connectCalls(), 1);
}

INSTANTIATE_TEST_SUITE_P(Notices, ChatterTest,
                         ::testing::Values(ChatterCase{"EveryThreeTenthsAtOneSecond", "1", 300, 1000},
                                           ChatterCase{"EveryTenthAtTwoSeconds", "2", 100, 2000},
                                           ChatterCase{"EverySecondAtThreeSeconds", "3", 1000, 3000}),
                         [](const ::testing::TestParamInfo<ChatterCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(LinkTest, WithoutChatterTheRelativeScheduleStillCountsFromTheLastReply) {
    w.IntervalBox.setText("1");
    w.IntervalBoxExit();
    w.StartButton.Click();
    advanceTo(5000);
    const std::vector<std::int64_t> times = sendTimes();
    ASSERT_GE(times.size(), 3u);
    // Reply 30 ms after each poll, then ten ticks.
    for (std::size_t i = 2; i < times.size(); ++i) EXPECT_EQ(times[i] - times[i - 1], 1000);
}

}  // namespace
}  // namespace qs::test
