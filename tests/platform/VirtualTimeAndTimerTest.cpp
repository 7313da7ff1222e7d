#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/Timer.h"
#include "platform/virtual/VirtualTime.h"

namespace qs {
namespace {

struct TimerFixture : ::testing::Test {
    VirtualTime time;
    std::vector<std::int64_t> ticks;
    Timer timer{time, 100, false, [this] { ticks.push_back(time.nowMs()); }};
};

TEST_F(TimerFixture, TicksEveryIntervalWhileEnabled) {
    timer.setEnabled(true);
    time.advance(350);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{100, 200, 300}));
    timer.setEnabled(false);
    time.advance(1000);
    EXPECT_EQ(ticks.size(), 3u);
}

TEST_F(TimerFixture, SettingTheSameValueLeavesThePeriodAlone) {
    timer.setEnabled(true);
    time.advance(70);
    timer.setEnabled(true);
    timer.setInterval(100);
    time.advance(40);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{100}));
}

TEST_F(TimerFixture, ANewIntervalRestartsThePeriod) {
    timer.setEnabled(true);
    time.advance(70);
    timer.setInterval(50);
    time.advance(130);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{120, 170}));
}

TEST_F(TimerFixture, ReEnablingRestartsThePeriod) {
    timer.setEnabled(true);
    time.advance(70);
    timer.setEnabled(false);
    timer.setEnabled(true);
    time.advance(100);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{170}));
}

TEST_F(TimerFixture, AnIntervalOfZeroNeverFires) {
    timer.setInterval(0);
    timer.setEnabled(true);
    time.advance(10000);
    EXPECT_TRUE(ticks.empty());
}

TEST_F(TimerFixture, APumpingWaitRunsEveryTickDueInsideItInOrder) {
    timer.setEnabled(true);
    std::vector<std::int64_t> inside;
    time.at(50, [&] {
        time.sleepAndPump(500);
        inside = ticks;
    });
    time.advance(50);
    EXPECT_EQ(inside, (std::vector<std::int64_t>{100, 200, 300, 400, 500}));
    EXPECT_EQ(time.nowMs(), 550);
}

TEST_F(TimerFixture, AWaitWithoutPumpRunsNothingAndTheMissedTickComesOnceLate) {
    timer.setEnabled(true);
    time.at(50, [&] {
        time.sleep(500);
        EXPECT_TRUE(ticks.empty());
    });
    time.advance(700);
    // One late tick at 550 for the five missed periods, then the ticks keep
    // the phase the timer was started with.
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{550, 600, 700}));
}

TEST(VirtualTime, ScriptedEventsAndTimersRunInTimeOrder) {
    VirtualTime time;
    std::string order;
    time.at(30, [&] { order += "b"; });
    time.at(10, [&] { order += "a"; });
    time.at(30, [&] { order += "c"; });
    time.advance(29);
    EXPECT_EQ(order, "a");
    time.advance(1);
    EXPECT_EQ(order, "abc");
}

TEST(VirtualTime, AnErrorEscapingAnEventGoesToTheReportAndTimeGoesOn) {
    VirtualTime time;
    std::vector<std::string> reported;
    time.setErrorReport([&](const std::string& m) { reported.push_back(m); });
    bool later = false;
    time.at(10, [] { throw EConvertError("'x' is not a valid integer value"); });
    time.at(20, [&] { later = true; });
    time.advance(100);
    EXPECT_EQ(reported, (std::vector<std::string>{"'x' is not a valid integer value"}));
    EXPECT_TRUE(later);
}

TEST(VirtualTime, TheClockIsUtcWholeSecondsFromItsEpoch) {
    VirtualTime time(1000);
    time.advance(2999);
    EXPECT_EQ(time.nowUtc(), 1002);
}

}  // namespace
}  // namespace qs
