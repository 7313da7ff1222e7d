// The poll schedule: countdown captions, when a command goes out, which one,
// and what it puts on the wire and in the transcript.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LinkFixture.h"

namespace qs::test {
namespace {

class PollTest : public LinkTest {
protected:
    // Start with an adapter that greets only when told, so that the
    // countdown starts at a chosen moment (ticks fall on whole 100 ms).
    void startAndGreetAt(std::int64_t greetingMs) {
        telnet.greeting = "";
        w.StartButton.Click();
        advanceTo(greetingMs);
        h.receive(kGreeting);
    }
    // The CountDown caption after each of the next n ticks.
    std::vector<std::string> captionsOfTicks(int n) {
        std::vector<std::string> captions;
        for (int i = 0; i < n; ++i) {
            advanceTo((now() / 100 + 1) * 100);
            captions.push_back(w.CountDown.caption());
        }
        return captions;
    }
};

TEST_F(PollTest, RelativeScheduleOfTwoSecondsCountsDownAndPollsOnTheTwentiethTick) {
    startAndGreetAt(550);

    const std::vector<std::string> captions = captionsOfTicks(20);

    const std::vector<std::string> expected{"1.9", "1.8", "1.7", "1.6", "1.5", "1.4", "1.3",
                                            "1.2", "1.1", "1.0", "0.9", "0.8", "0.7", "0.6",
                                            "0.5", "0.4", "0.3", "0.2", "0.1", "Waiting"};
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(sendTimes(), std::vector<std::int64_t>{2500});
    EXPECT_EQ(w.State.PollBusy, 1);
    EXPECT_EQ(w.State.AwaitingReply, 1);

    // The reply (30 ms later) restarts the countdown: the next poll comes
    // twenty ticks after it.
    advanceTo(4600);
    EXPECT_EQ(sendTimes(), (std::vector<std::int64_t>{2500, 4500}));
    EXPECT_EQ(w.State.SampleCount, 2);
}

TEST_F(PollTest, RelativeScheduleOfTwoAndAQuarterSecondsPollsOnTheFirstOverdueTick) {
    w.IntervalBox.setText("2.25");
    // Timer1, the other trigger, would fire on the same tick; a long period
    // leaves the poll to the countdown alone.
    w.Timer1.setInterval(10000);
    startAndGreetAt(550);

    const std::vector<std::string> captions = captionsOfTicks(22);
    // 2150, 2050, ..., 50 ms as single-precision seconds, one decimal.
    const std::vector<std::string> expected{"2.2", "2.0", "2.0", "1.9", "1.8", "1.6", "1.5", "1.5",
                                            "1.4", "1.2", "1.1", "1.0", "0.9", "0.9", "0.8", "0.6",
                                            "0.6", "0.4", "0.3", "0.2", "0.2", "0.1"};
    EXPECT_EQ(captions, expected);
    EXPECT_TRUE(sends.empty());
    EXPECT_EQ(w.State.CountdownMs, 50);
    EXPECT_EQ(w.State.OverdueTicks, 0);

    advanceTo(2800);
    EXPECT_EQ(sendTimes(), std::vector<std::int64_t>{2800});
    EXPECT_EQ(w.CountDown.caption(), "Waiting");
    EXPECT_EQ(w.State.CountdownMs, 0);
    EXPECT_EQ(w.State.OverdueTicks, 1);
    EXPECT_TRUE(w.WatchdogTimer.enabled());

    // The reply puts the countdown back above zero; the next tick disarms.
    advanceTo(2900);
    EXPECT_EQ(w.State.OverdueTicks, 0);
    EXPECT_FALSE(w.WatchdogTimer.enabled());
}

TEST_F(PollTest, NothingIsSentBeforeTheFirstGreetingAndOverdueTicksCountUp) {
    w.AutoReconnect.setChecked(false);
    telnet.greeting = "";
    w.StartButton.Click();
    advanceTo(20500);

    EXPECT_TRUE(sends.empty());
    EXPECT_TRUE(telnet.sent().empty());
    EXPECT_EQ(w.CountDown.caption(), "0.0");
    // Every tick from 100 ms on found the countdown run out.
    EXPECT_EQ(w.State.OverdueTicks, 205);
}

class AbsoluteScheduleTest : public PollTest, public ::testing::WithParamInterface<bool> {};

TEST_P(AbsoluteScheduleTest, ASlowReplySkipsOneStepOfTheAbsoluteSchedule) {
    const bool absolute = GetParam();
    w.AbsoluteCheckBox.setChecked(absolute);
    telnet.replyDelayMs = 2500;
    w.StartButton.Click();  // greeting at 70 ms: first poll at the 2000 ms tick

    advanceTo(7000);

    if (absolute) {
        // Timer3 runs from the first poll: its 4000 ms tick finds the reply
        // (due at 4500) still awaited and is skipped; the 6000 ms tick polls.
        EXPECT_EQ(sendTimes(), (std::vector<std::int64_t>{2000, 6000}));
        EXPECT_TRUE(w.Timer3.enabled());
        EXPECT_EQ(w.Timer3.interval(), 2000);
    } else {
        // Twenty ticks after the reply at 4500, counting the tick at 4500
        // itself, which runs just after the reply.
        EXPECT_EQ(sendTimes(), (std::vector<std::int64_t>{2000, 6400}));
        EXPECT_FALSE(w.Timer3.enabled());
    }
}

INSTANTIATE_TEST_SUITE_P(Schedules, AbsoluteScheduleTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Absolute" : "Relative");
                         });

TEST_F(PollTest, TimerThreeTickRequestsAPollOnlyWhileTheBoxIsTicked) {
    w.AbsoluteCheckBox.setChecked(true);
    w.Timer3Timer();
    EXPECT_EQ(w.State.AbsoluteTick, 1);
    w.AbsoluteCheckBox.setChecked(false);
    w.Timer3Timer();
    EXPECT_EQ(w.State.AbsoluteTick, 0);
}

// The data file's lines take turns even across a Stop: after a command-1
// line the next command is command 2's.
TEST_F(PollTest, AlternateCommandsTakeTurnsAndGoOnWithTheNextLinesCommandAfterStop) {
    w.RadioButton3.setChecked(true);
    w.CommandBox.setText("CMD1");
    w.CommandBox2.setText("CMD2");
    w.StartButton.Click();
    advanceTo(6100);
    ASSERT_EQ(sentCommands(), (std::vector<std::string>{"CMD1", "CMD2", "CMD1"}));
    EXPECT_EQ(w.State.ReplyPhase, 1);

    w.ResetButton.Click();
    EXPECT_EQ(w.State.ReplyPhase, 0);
    w.StartButton.Click();
    advance(2500);

    EXPECT_EQ(sentCommands(), (std::vector<std::string>{"CMD1", "CMD2", "CMD1", "CMD2"}));
}

TEST_F(PollTest, CommandTwoAloneIsSentEveryTimeWhenItsButtonIsTicked) {
    w.RadioButton2.setChecked(true);
    w.CommandBox.setText("CMD1");
    w.CommandBox2.setText("CMD2");
    w.StartButton.Click();
    advanceTo(6100);
    EXPECT_EQ(sentCommands(), (std::vector<std::string>{"CMD2", "CMD2", "CMD2"}));
}

TEST_F(PollTest, StopLeavesTimerOneRunningButNoPollIsMadeWhileOffline) {
    w.SaveResultsBox.setChecked(true);
    w.StartButton.Click();  // greeted at 70 ms: Timer1 enabled
    w.ResetButton.Click();
    EXPECT_TRUE(w.Timer1.enabled());

    advance(30000);

    EXPECT_TRUE(sends.empty());
    EXPECT_EQ(telnet.connectCalls(), 1);
    EXPECT_TRUE(vp.dialogs.errors.empty());
    EXPECT_EQ(ReadFile("Results.txt"), kGreetingRecord);
    EXPECT_EQ(w.CountDown.caption(), "Offline");
}

TEST_F(PollTest, APollAttemptWithoutAUsableIntervalDoesNothing) {
    w.StartButton.Click();
    for (const char* text : {"", "0", "-1", "abc"}) {
        w.IntervalBox.setText(text);
        w.State.PollBusy = 0;
        w.CountDown.setCaption("1.0");
        w.Timer1Timer();
        EXPECT_EQ(w.State.PollBusy, 0) << text;
        EXPECT_EQ(w.State.AwaitingReply, 0) << text;
        EXPECT_EQ(w.CountDown.caption(), "1.0") << text;
    }
    EXPECT_TRUE(telnet.sent().empty());
}

TEST_F(PollTest, CommandAndReplyAreStoredInTheTranscriptByteForByte) {
    w.SaveResultsBox.setChecked(true);
    w.CommandBox.setText("MEAS?");
    answer = "+1.00000E+00\r\n";
    w.StartButton.Click();
    advanceTo(2100);

    EXPECT_EQ(telnet.sent(), "MEAS?\r");
    EXPECT_EQ(ReadFile("Results.txt"), std::string(kGreetingRecord) + "MEAS?\r" + "{+1.00000E+00\r\r\n}");
}

TEST_F(PollTest, AOneCharacterCommandIsTwoBytesOnTheWireAndInTheTranscript) {
    w.SaveResultsBox.setChecked(true);
    w.CommandBox.setText("X");
    answer = std::nullopt;
    w.StartButton.Click();
    advanceTo(2000);

    EXPECT_EQ(telnet.sent(), "X\r");
    EXPECT_EQ(ReadFile("Results.txt"), std::string(kGreetingRecord) + "X\r");
}

TEST_F(PollTest, ALatinOneCharacterGoesOutAsItsSingleByte) {
    w.CommandBox.setText("RANGE 1\xC2\xB5");
    w.StartButton.Click();
    advanceTo(2000);
    EXPECT_EQ(telnet.sent(), "RANGE 1\xB5\r");
}

TEST_F(PollTest, ACommandThatCannotBeSentOneBytePerCharacterSendsNothingAndAwaitsNothing) {
    w.AutoReconnect.setChecked(false);
    w.SaveResultsBox.setChecked(true);
    w.CommandBox.setText("PRICE \xE2\x82\xAC");
    w.StartButton.Click();
    advanceTo(4500);

    EXPECT_TRUE(telnet.sent().empty());
    EXPECT_EQ(w.State.PollBusy, 0);
    EXPECT_EQ(w.State.AwaitingReply, 0);
    EXPECT_NE(w.CountDown.caption(), "Waiting");
    EXPECT_EQ(ReadFile("Results.txt"), kGreetingRecord);
}

TEST_F(PollTest, AnEmptyCommandSendsNothing) {
    w.AutoReconnect.setChecked(false);
    w.CommandBox.setText("");
    w.StartButton.Click();
    advanceTo(4500);
    EXPECT_TRUE(telnet.sent().empty());
    EXPECT_EQ(w.State.PollBusy, 0);
}

}  // namespace
}  // namespace qs::test
