// A data event disarms the watchdog: it acts only after a whole time-out
// without data while a reply is awaited, whatever the interval.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "LinkFixture.h"

namespace qs::test {
namespace {

struct ShortIntervalCase {
    const char* name;
    const char* interval;
};

class ShortIntervalTest : public LinkTest, public ::testing::WithParamInterface<ShortIntervalCase> {};

// Below the countdown's tick every tick finds the countdown run out, so only
// the data events themselves can keep the watchdog from firing while the
// adapter answers every poll.
TEST_P(ShortIntervalTest, AnAdapterThatAnswersEveryPollKeepsItsOneConnection) {
    w.IntervalBox.setText(GetParam().interval);
    w.TimeOutBox.setText("2");
    w.IntervalBoxExit();
    w.StartButton.Click();

    advance(120000);

    EXPECT_EQ(telnet.connectCalls(), 1);
    EXPECT_EQ(telnet.disconnectCalls(), 0);
    EXPECT_GT(w.State.SampleCount, 1000);
}

INSTANTIATE_TEST_SUITE_P(Intervals, ShortIntervalTest,
                         ::testing::Values(ShortIntervalCase{"FiftyMilliseconds", "0.05"},
                                           ShortIntervalCase{"OneTick", "0.1"}),
                         [](const ::testing::TestParamInfo<ShortIntervalCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(LinkTest, AtAShortIntervalASilentAdapterIsStillReconnectedAfterOneTimeOut) {
    w.IntervalBox.setText("0.05");
    w.TimeOutBox.setText("2");
    w.IntervalBoxExit();
    w.StartButton.Click();
    // Start returns after its 500 ms wait, polls answered all along; from
    // then on nothing comes back: the watchdog fires one time-out after the
    // unanswered poll's tick.
    advance(200);
    answer = std::nullopt;

    advanceTo(5000);

    EXPECT_EQ(telnet.disconnectCalls(), 1);
    ASSERT_EQ(telnet.disconnectTimes().size(), 1u);
    std::int64_t lastPoll = -1;
    for (const Sent& s : sends)
        if (s.atMs < telnet.disconnectTimes()[0]) lastPoll = s.atMs;
    EXPECT_EQ(telnet.disconnectTimes()[0] - lastPoll, 2000);
}

}  // namespace
}  // namespace qs::test
