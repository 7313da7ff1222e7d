// A link the adapter or the network closed is reopened one time-out after it
// went down, with no settling waits in between: there is nothing to let go.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "LinkFixture.h"

namespace qs::test {
namespace {

struct ReopenCase {
    const char* name;
    const char* timeout;
    std::int64_t timeoutMs;
};

class ReopenTimingTest : public LinkTest, public ::testing::WithParamInterface<ReopenCase> {};

TEST_P(ReopenTimingTest, ALinkClosedByThePeerIsReopenedOneTimeOutLater) {
    const ReopenCase& c = GetParam();
    w.TimeOutBox.setText(c.timeout);
    w.TimeOutBoxExit();
    w.StartButton.Click();
    advanceTo(3000);
    telnet.dropLink();

    advanceTo(3000 + c.timeoutMs + 1000);

    EXPECT_EQ(telnet.connectTimes(), (std::vector<std::int64_t>{0, 3000 + c.timeoutMs}));
    EXPECT_EQ(w.State.Connected, 1);
    EXPECT_EQ(w.State.reconnectPending, 0);
}

INSTANTIATE_TEST_SUITE_P(TimeOuts, ReopenTimingTest,
                         ::testing::Values(ReopenCase{"ThreeSeconds", "3", 3000},
                                           ReopenCase{"FiveSeconds", "5", 5000},
                                           ReopenCase{"TwelveSeconds", "12", 12000}),
                         [](const ::testing::TestParamInfo<ReopenCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(LinkTest, AReconnectAfterSilenceStillWaitsForTheOldLinkToGo) {
    answer = std::nullopt;
    w.StartButton.Click();
    // The watchdog's Stop at 7100, its Start 500 + 2000 ms later.
    advanceTo(12000);
    EXPECT_EQ(telnet.connectTimes(), (std::vector<std::int64_t>{0, 9600}));
}

}  // namespace
}  // namespace qs::test
