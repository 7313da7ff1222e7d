// Leaving IntervalBox or TimeOutBox: the periods, the countdown and the
// time-out bounds, with the interval in single precision.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "LinkFixture.h"

namespace qs::test {
namespace {

struct ExitCase {
    const char* name;
    const char* interval;
    const char* timeout;
    // expected afterwards
    int timer1Ms;
    int countdownMs;
    double intervalSeconds;
    const char* intervalText;
    const char* timeoutText;
    int watchdogMs;
};

class IntervalBoxExitTest : public LinkTest, public ::testing::WithParamInterface<ExitCase> {};

// Before each case: Timer1 2000 ms, IntervalSeconds 2.0, CountdownMs 777 and
// the watchdog at 5000 ms, so that a value left alone is seen as such.
TEST_P(IntervalBoxExitTest, SetsPeriodsCountdownAndTimeOut) {
    const ExitCase& c = GetParam();
    w.State.CountdownMs = 777;
    w.IntervalBox.setText(c.interval);
    w.TimeOutBox.setText(c.timeout);

    w.IntervalBoxExit();

    EXPECT_EQ(w.Timer1.interval(), c.timer1Ms);
    EXPECT_EQ(w.State.CountdownMs, c.countdownMs);
    EXPECT_EQ(w.State.IntervalSeconds, c.intervalSeconds);
    EXPECT_EQ(w.IntervalBox.text(), c.intervalText);
    EXPECT_EQ(w.TimeOutBox.text(), c.timeoutText);
    EXPECT_EQ(w.WatchdogTimer.interval(), c.watchdogMs);
}

INSTANTIATE_TEST_SUITE_P(
    Intervals, IntervalBoxExitTest,
    ::testing::Values(
        // 2.1f = 2.0999999046325684: Timer1 trunc(2099.99990...) = 2099, the
        // countdown trunc(2.1 * 1000) = 2100; minimum time-out trunc(2.6) = 2.
        ExitCase{"TwoPointOne", "2.1", "5", 2099, 2100, 2.0999999046325684, "2.1", "5", 5000},
        // Minimum time-out trunc(2.5 + 0.5) = 3 replaces the 1.
        ExitCase{"TimeOutRaisedToIntervalRoundedUp", "2.5", "1", 2500, 2500, 2.5, "2.5", "3", 3000},
        // Zero: Timer1 and IntervalSeconds stay; the time-out keeps 1 s at least.
        ExitCase{"ZeroLeavesTimerOne", "0", "0", 2000, 0, 2.0, "0", "1", 1000},
        ExitCase{"ZeroKeepsALongerTimeOut", "0", "5", 2000, 0, 2.0, "0", "5", 5000},
        ExitCase{"NegativeLeavesTimerOne", "-3", "5", 2000, -3000, 2.0, "-3", "5", 5000},
        // An emptied TimeOutBox becomes ten minimum time-outs: 4 * 10.
        ExitCase{"EmptyTimeOutBecomesTenTimesTheMinimum", "4", "", 4000, 4000, 4.0, "4", "40", 40000},
        // An empty IntervalBox: nothing changes, not even the time-out.
        ExitCase{"EmptyIntervalChangesNothing", "", "", 2000, 777, 2.0, "", "", 5000}),
    [](const ::testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

TEST_F(LinkTest, TimeOutBoxExitWithAnEmptyIntervalWritesOneIntoIt) {
    w.IntervalBox.setText("");
    w.TimeOutBox.setText("");
    w.TimeOutBoxExit();
    EXPECT_EQ(w.IntervalBox.text(), "1");
    EXPECT_EQ(w.TimeOutBox.text(), "10");
    EXPECT_EQ(w.WatchdogTimer.interval(), 10000);
}

TEST_F(LinkTest, TimeOutBoxExitWritesTheWholeNumberBack) {
    w.TimeOutBox.setText(" 007");
    w.TimeOutBoxExit();
    EXPECT_EQ(w.TimeOutBox.text(), "7");
    EXPECT_EQ(w.WatchdogTimer.interval(), 7000);
}

TEST_F(LinkTest, ExitHandlersStopAtATextThatDoesNotConvert) {
    w.State.CountdownMs = 777;
    w.IntervalBox.setText("2,5");
    EXPECT_THROW(w.IntervalBoxExit(), EConvertError);
    EXPECT_EQ(w.Timer1.interval(), 2000);
    EXPECT_EQ(w.State.CountdownMs, 777);
    EXPECT_EQ(w.IntervalBox.text(), "2,5");

    w.IntervalBox.setText("2");
    w.TimeOutBox.setText("2.5");
    EXPECT_THROW(w.TimeOutBoxExit(), EConvertError);
    EXPECT_EQ(w.TimeOutBox.text(), "2.5");
    EXPECT_EQ(w.WatchdogTimer.interval(), 5000);
}

TEST_F(LinkTest, AnAbsurdIntervalSaturatesInsteadOfOverflowing) {
    w.IntervalBox.setText("1e300");
    w.TimeOutBox.setText("");
    w.IntervalBoxExit();
    EXPECT_EQ(w.Timer1.interval(), std::numeric_limits<int>::max());
    EXPECT_EQ(w.State.CountdownMs, std::numeric_limits<int>::max());
    EXPECT_EQ(w.TimeOutBox.text(), std::to_string(std::numeric_limits<int>::max()));
}

}  // namespace
}  // namespace qs::test
