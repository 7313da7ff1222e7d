// A send that raises: the marker in the transcript, Stop, Start with the
// transcript kept, and polling again afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LinkFixture.h"

namespace qs::test {
namespace {

constexpr const char* kMarker = "*** Software Exception Occurred - Resetting ***\n";
constexpr const char* kCommand = "MEAS:VOLT:DC? 5,0.00001\r";
constexpr const char* kReplyRecord = "{+1.23456789E+00\r\r\n}";

class SendFailureTest : public LinkTest {
protected:
    SendFailureTest() { w.SaveResultsBox.setChecked(true); }
};

// Greeting at 70 ms, first poll at 2000: the send raises. Stop closes the
// link (2000-2500), a 500 ms wait, Start reopens it at 3000 (greeting at
// 3070), a last 500 ms wait until 4000. Timer1, running since the first
// greeting, makes the next poll at 4070.
TEST_F(SendFailureTest, WritesTheMarkerReconnectsAndKeepsTheTranscript) {
    vp.time.at(1990, [this] { telnet.sendFails = true; });
    vp.time.at(2100, [this] { telnet.sendFails = false; });
    std::string statusDuringRecovery;
    vp.time.at(2800, [&] { statusDuringRecovery = w.LinkStatus.caption(); });
    w.StartButton.Click();

    advanceTo(4200);

    EXPECT_EQ(telnet.disconnectTimes(), std::vector<std::int64_t>{2000});
    EXPECT_EQ(telnet.connectTimes(), (std::vector<std::int64_t>{0, 3000}));
    EXPECT_EQ(ReadFile("Results.txt"),
              std::string(kGreetingRecord) + kMarker + kGreetingRecord + kCommand + kReplyRecord);
    EXPECT_EQ(statusDuringRecovery,
              "Reconnecting: sending a command failed (Socket Error # 10054 Connection reset by peer.)");
    EXPECT_EQ(sendTimes(), std::vector<std::int64_t>{4070});
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_EQ(w.State.Restarting, 0);
    EXPECT_EQ(w.State.PollBusy, 0);
    EXPECT_TRUE(vp.dialogs.boxes.empty());
    EXPECT_TRUE(vp.dialogs.errors.empty());
    EXPECT_EQ(w.LinkStatus.caption(), "Link up");
}

TEST_F(SendFailureTest, TheBytesSentBeforeTheFailureStayInTheTranscript) {
    vp.time.at(1990, [this] { telnet.failAfterChars = 4; });
    w.StartButton.Click();
    advanceTo(3100);
    EXPECT_EQ(ReadFile("Results.txt"), std::string(kGreetingRecord) + "MEAS" + kMarker + kGreetingRecord);
}

TEST_F(SendFailureTest, WithoutSaveResultsNothingIsWritten) {
    w.SaveResultsBox.setChecked(false);
    vp.time.at(1990, [this] { telnet.sendFails = true; });
    vp.time.at(2100, [this] { telnet.sendFails = false; });
    w.StartButton.Click();
    advanceTo(4200);
    EXPECT_FALSE(FileExists("Results.txt"));
    EXPECT_EQ(telnet.connectCalls(), 2);
}

TEST_F(SendFailureTest, PollsAreHeldOffWhileTheRecoveryRuns) {
    vp.time.at(1990, [this] { telnet.sendFails = true; });
    vp.time.at(2100, [this] { telnet.sendFails = false; });
    std::vector<int> pollBusy;
    for (std::int64_t t : {2050, 2600, 3200, 3900}) vp.time.at(t, [&] { pollBusy.push_back(w.State.PollBusy); });
    w.StartButton.Click();
    advanceTo(4000);
    // The greeting at 3070 frees the poll early; the countdown it restarts
    // keeps the ticks from polling until the recovery is over.
    EXPECT_EQ(pollBusy, (std::vector<int>{1, 1, 0, 0}));
    EXPECT_TRUE(sends.empty());
}

// TimeOutBox no longer converts when the recovery's Start reads it: the
// recovery ends there, yet no flag stays up, no box waits for anybody, and
// the watchdog tries again every time-out until the text is mended.
TEST_F(SendFailureTest, ARecoveryEndedByAnExceptionRestoresItsFlagsAndIsRetried) {
    w.StartButton.Click();
    w.TimeOutBox.setText("x");
    vp.time.at(1990, [this] { telnet.sendFails = true; });
    vp.time.at(2100, [this] { telnet.sendFails = false; });

    advanceTo(2000);  // the recovery runs to its end inside the poll

    EXPECT_EQ(now(), 3000);
    EXPECT_EQ(w.State.Restarting, 0);
    EXPECT_EQ(w.State.PollBusy, 0);
    EXPECT_EQ(w.State.Connected, 0);
    EXPECT_EQ(w.LinkStatus.caption(), "Reconnect failed: 'x' is not a valid integer value. Trying again in 5 s.");
    EXPECT_TRUE(vp.dialogs.errors.empty());
    EXPECT_TRUE(vp.dialogs.boxes.empty());

    // The watchdog acts at 8000 (Start at 10000 fails again) and at 15000.
    vp.time.at(16000, [this] { w.TimeOutBox.setText("5"); });
    advanceTo(20000);
    EXPECT_EQ(telnet.connectTimes(), (std::vector<std::int64_t>{0, 17000}));
    EXPECT_EQ(w.State.Connected, 1);
    EXPECT_EQ(w.State.Restarting, 0);
    EXPECT_EQ(w.State.WatchdogActive, 0);
    EXPECT_EQ(ReadFile("Results.txt"), std::string(kGreetingRecord) + kMarker + kGreetingRecord + kCommand +
                                           kReplyRecord);
}

}  // namespace
}  // namespace qs::test
