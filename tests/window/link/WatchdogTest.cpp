// The watchdog: a poll overdue for a whole time-out is answered by a replay
// of stranded data or by a reconnect.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "LinkFixture.h"

namespace qs::test {
namespace {

// With the defaults the poll goes out at 2000 ms, the first overdue tick at
// 2100 arms the watchdog, and it fires at 7100 unless data came meanwhile.
// A chunk at 2030 (the adapter's answer) restarts the countdown, so then the
// first overdue tick is at 4100 and the watchdog fires at 9100.
class WatchdogTest : public LinkTest {
protected:
    WatchdogTest() { w.SaveResultsBox.setChecked(true); }
};

struct StrandedCase {
    const char* name;
    std::optional<std::string> answer;  // what the adapter sends, never a line end
    bool strandedBox;
    bool replay;
};

class StrandedOrReconnectTest : public WatchdogTest, public ::testing::WithParamInterface<StrandedCase> {};

TEST_P(StrandedOrReconnectTest, ReplaysOnlyANumberLeftWithoutItsLineEnd) {
    const StrandedCase& c = GetParam();
    answer = c.answer;
    w.StrandedCheckBox.setChecked(c.strandedBox);
    w.StartButton.Click();
    const std::int64_t fire = c.answer ? 9100 : 7100;

    advanceTo(fire - 1);
    EXPECT_EQ(w.State.SampleCount, 0);
    EXPECT_EQ(telnet.disconnectCalls(), 0);

    // Replay: before the next poll (2 s after the sample). Reconnect: the
    // action runs to the end of Start's wait (Stop at the firing, Start 2500
    // ms later, the greeting 70 ms after that).
    advanceTo(fire + (c.replay ? 500 : 3000));
    EXPECT_EQ(w.State.WatchdogActive, 0);
    EXPECT_EQ(w.State.StrandedReplay, 0);
    EXPECT_EQ(w.State.Restarting, 0);
    const std::string command = "MEAS:VOLT:DC? 5,0.00001\r";
    if (c.replay) {
        EXPECT_EQ(telnet.connectCalls(), 1);
        EXPECT_EQ(w.State.SampleCount, 1);
        ASSERT_EQ(h.series(1).Count(), 1);
        EXPECT_EQ(h.series(1).YValue(0), 1.23456);
        EXPECT_EQ(w.State.ReceiveLength, 0);
        EXPECT_EQ(ReadFile("Results.txt"),
                  std::string(kGreetingRecord) + command + "[Timed-Out Retrieved-Data:{+1.23456E+00}]");
    } else {
        // Stop at the firing, 1000 + 500 + 500 ms of waits, then Start.
        EXPECT_EQ(telnet.disconnectCalls(), 1);
        EXPECT_EQ(telnet.connectCalls(), 2);
        EXPECT_EQ(w.State.Connected, 1);
        EXPECT_EQ(w.State.SampleCount, 0);
        // Start by the watchdog keeps the transcript; the stranded bytes
        // stay in front of the new greeting, which is still recognised and
        // frees the poll: Timer1, running since the first greeting, sends
        // the next command within Start's wait.
        const std::string stranded = c.answer.value_or("");
        EXPECT_EQ(ReadFile("Results.txt"), std::string(kGreetingRecord) + command + "{" + stranded +
                                               "KISS-488 GPIB-LAN adapter ready\r\r\n}" + command);
        EXPECT_EQ(w.State.DataEvents, 2);
        EXPECT_EQ(sends.size(), 2u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, StrandedOrReconnectTest,
    ::testing::Values(StrandedCase{"NumberIsReplayed", std::string("+1.23456E+00"), true, true},
                      StrandedCase{"UnitMeansReconnect", std::string("VDC +1.2"), true, false},
                      StrandedCase{"TrailingSpaceMeansReconnect", std::string("+1.2 "), true, false},
                      StrandedCase{"BoxUntickedMeansReconnect", std::string("+1.23456E+00"), false, false},
                      StrandedCase{"NothingStrandedMeansReconnect", std::nullopt, true, false}),
    [](const ::testing::TestParamInfo<StrandedCase>& info) { return std::string(info.param.name); });

TEST_F(WatchdogTest, ReconnectRunsStopTheWaitsAndStartInOrder) {
    answer = std::nullopt;
    w.StartButton.Click();
    // Seen from inside Start's first wait, while the watchdog's Start runs.
    int restartingDuringStart = -1, activeDuringStart = -1;
    vp.time.at(9610, [&] {
        restartingDuringStart = w.State.Restarting;
        activeDuringStart = w.State.WatchdogActive;
    });

    advanceTo(12000);

    // Stop at the firing (7100); Start after Stop's 500 ms wait and the
    // watchdog's own 1000 + 500 + 500 ms.
    EXPECT_EQ(telnet.disconnectTimes(), std::vector<std::int64_t>{7100});
    EXPECT_EQ(telnet.connectTimes(), (std::vector<std::int64_t>{0, 9600}));
    EXPECT_EQ(restartingDuringStart, 1);
    EXPECT_EQ(activeDuringStart, 1);
    EXPECT_EQ(w.State.Restarting, 0);
    EXPECT_EQ(w.State.WatchdogActive, 0);
    EXPECT_TRUE(vp.dialogs.boxes.empty());
    EXPECT_EQ(w.LinkStatus.caption(), "Link up");
}

TEST_F(WatchdogTest, AnAdapterThatNeverGreetsIsReconnectedEveryGreetingWaitPlusStopAndStart) {
    answer = std::nullopt;
    telnet.greeting = "";
    w.State.DataEvents = 1;  // greeted once before: polls are allowed
    w.StartButton.Click();

    advanceTo(70000);

    // Each link waits 30 s for its greeting from its first tick: the
    // watchdog, armed one time-out before that, fires at 30000 and Start
    // follows 2500 ms later. Each cycle is 30000 + 2500 ms.
    EXPECT_EQ(telnet.connectTimes(), (std::vector<std::int64_t>{0, 32500, 65000}));
    EXPECT_TRUE(vp.dialogs.boxes.empty());
}

TEST_F(WatchdogTest, WithAutoReconnectUntickedItFiresAndDoesNothing) {
    answer = std::nullopt;
    w.AutoReconnect.setChecked(false);
    w.State.IntervalSeconds = 2.5;
    w.StartButton.Click();

    advanceTo(30000);

    EXPECT_EQ(telnet.connectCalls(), 1);
    EXPECT_EQ(telnet.disconnectCalls(), 0);
    EXPECT_EQ(w.IntervalBox.text(), "2");
    EXPECT_TRUE(w.WatchdogTimer.enabled());
    EXPECT_GT(w.State.OverdueTicks, 0);

    // Ticking the box lets the next firing act (7100 + 5 * 5000 = 32100).
    w.AutoReconnect.setChecked(true);
    advanceTo(32100);
    EXPECT_EQ(telnet.disconnectCalls(), 1);
    EXPECT_EQ(w.IntervalBox.text(), "2.5");
}

TEST_F(WatchdogTest, WithAutoReconnectUntickedStrandedDataIsNotReplayed) {
    answer = "+1.23456E+00";
    w.AutoReconnect.setChecked(false);
    w.StartButton.Click();
    advanceTo(30000);
    EXPECT_EQ(w.State.SampleCount, 0);
    EXPECT_EQ(w.State.ReceiveLength, 12);
}

TEST_F(WatchdogTest, AnyActionWritesTheSinglePrecisionIntervalBack) {
    w.IntervalBox.setText("2.1");
    w.IntervalBoxExit();
    answer = std::nullopt;
    w.StartButton.Click();

    advance(12000);

    EXPECT_GE(telnet.disconnectCalls(), 1);
    EXPECT_EQ(w.IntervalBox.text(), "2.09999990463257");
}

// The write-back never overwrites what a person is typing into the box: a
// box with the focus keeps its text, for its exit to take in.
struct WriteBackCase {
    const char* name;
    bool focused;  // the person is still in the box when the watchdog acts
    const char* shown;
};

class IntervalWriteBackTest : public WatchdogTest, public ::testing::WithParamInterface<WriteBackCase> {};

TEST_P(IntervalWriteBackTest, LeavesTheTextOfABoxAPersonIsTypingInto) {
    w.IntervalBox.setText("2.1");
    w.IntervalBoxExit();
    answer = std::nullopt;
    w.StartButton.Click();
    vp.time.at(5000, [this] {
        w.IntervalBox.setFocused(true);
        w.IntervalBox.setText("0.7");
        if (!GetParam().focused) w.IntervalBox.setFocused(false);
    });

    advance(12000);

    EXPECT_GE(telnet.disconnectCalls(), 1);
    EXPECT_EQ(w.IntervalBox.text(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Watchdog, IntervalWriteBackTest,
                         ::testing::Values(WriteBackCase{"WhileThePersonIsInTheBox", true, "0.7"},
                                           WriteBackCase{"AfterThePersonLeftTheBox", false, "2.09999990463257"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WatchdogTest, AFiringWithNothingOverdueDoesNothing) {
    w.StartButton.Click();
    w.IntervalBox.setText("3");
    w.State.OverdueTicks = 0;
    w.WatchdogTimerTimer();
    EXPECT_EQ(w.IntervalBox.text(), "3");
    EXPECT_EQ(telnet.disconnectCalls(), 0);
}

TEST_F(WatchdogTest, AFiringDuringAnActionDoesNothing) {
    w.StartButton.Click();
    w.State.OverdueTicks = 1;
    w.State.WatchdogActive = 1;
    w.WatchdogTimerTimer();
    EXPECT_EQ(telnet.disconnectCalls(), 0);
    EXPECT_EQ(w.State.WatchdogActive, 1);
}

TEST_F(WatchdogTest, AReplayThatMeetsABadSettingStillLeavesTheFlagsDown) {
    answer = "+1.23456E+00";
    w.StartButton.Click();
    advanceTo(9000);
    w.MinStringBox.setText("five");

    advanceTo(9100);

    // The replay ran and its conversion error reached the error report.
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_EQ(vp.dialogs.errors.size(), 1u);
    EXPECT_EQ(w.State.StrandedReplay, 0);
    EXPECT_EQ(w.State.WatchdogActive, 0);
    // A later chunk without a line end is buffered, not taken as a reply.
    w.MinStringBox.setText("5");
    h.receive("+2.5");
    EXPECT_EQ(w.State.ReceiveLength, 4);
    EXPECT_EQ(w.State.SampleCount, 1);
}

}  // namespace
}  // namespace qs::test
