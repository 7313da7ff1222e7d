// A new link waits for the adapter's greeting longer than for a reply: 30 s,
// or the time-out if that is longer, and says so once a time-out has passed.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "LinkFixture.h"
#include "platform/Conversions.h"

namespace qs::test {
namespace {

struct GreetingCase {
    const char* name;
    const char* timeout;
    int greetingDelayMs;        // after the connection; -1: never
    std::int64_t firstDropMs;   // when the watchdog drops the link; -1: never
    const char* waitingStatus;  // LinkStatus one time-out and a bit after connecting
};

class GreetingWaitTest : public LinkTest, public ::testing::WithParamInterface<GreetingCase> {};

TEST_P(GreetingWaitTest, TheGreetingGetsItsOwnLongerWait) {
    const GreetingCase& c = GetParam();
    w.TimeOutBox.setText(c.timeout);
    w.TimeOutBoxExit();
    if (c.greetingDelayMs < 0) telnet.greeting = "";
    else telnet.greetingDelayMs = c.greetingDelayMs;
    w.StartButton.Click();

    // Connected at 20 ms; the tick at 100 is the first of the link.
    advanceTo(StrToInt(c.timeout) * 1000 + 300);
    EXPECT_EQ(w.LinkStatus.caption(), c.waitingStatus);

    advanceTo(45000);
    if (c.firstDropMs < 0) {
        EXPECT_EQ(telnet.disconnectCalls(), 0);
        EXPECT_EQ(w.LinkStatus.caption(), "Link up");
        EXPECT_GT(w.State.SampleCount, 5);
    } else {
        ASSERT_GE(telnet.disconnectTimes().size(), 1u);
        EXPECT_EQ(telnet.disconnectTimes()[0], c.firstDropMs);
        EXPECT_EQ(w.State.SampleCount, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, GreetingWaitTest,
    ::testing::Values(
        GreetingCase{"PromptGreetingIsNoNews", "5", 50, -1, "Link up"},
        GreetingCase{"EightSecondsLateIsAccepted", "5", 8000, -1,
                     "Link up: waiting for the adapter's greeting (up to 30 s)"},
        GreetingCase{"NeverGreetingIsDroppedAfterThirtySeconds", "5", -1, 30000,
                     "Link up: waiting for the adapter's greeting (up to 30 s)"},
        GreetingCase{"ALongerTimeOutIsTheGreetingWait", "40", -1, 40100, "Link up"}),
    [](const ::testing::TestParamInfo<GreetingCase>& info) { return std::string(info.param.name); });

TEST_F(LinkTest, AMissingGreetingIsTheReasonGivenForTheReconnect) {
    telnet.greeting = "";
    w.StartButton.Click();
    std::string reason;
    vp.time.at(30050, [&] { reason = w.LinkStatus.caption(); });
    advanceTo(30200);
    EXPECT_EQ(reason, "Reconnecting: no greeting from the adapter for 30 s");
}

TEST_F(LinkTest, AfterTheGreetingTheUsualTimeOutApplies) {
    answer = std::nullopt;
    w.StartButton.Click();
    // Greeted at 70, first poll at 2000 unanswered: the watchdog fires one
    // time-out after the first overdue tick, as before.
    advanceTo(8000);
    EXPECT_EQ(telnet.disconnectTimes(), std::vector<std::int64_t>{7100});
}

}  // namespace
}  // namespace qs::test
