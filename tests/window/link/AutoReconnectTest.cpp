// A link lost without a Stop is reopened by the watchdog when AutoReconnect
// is ticked, and recoveries nobody started report their failures in the
// status line instead of a modal box, then try again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LinkFixture.h"

namespace qs::test {
namespace {

using ConnectMode = VirtualTelnet::ConnectMode;

constexpr const char* kCommand = "MEAS:VOLT:DC? 5,0.00001\r";
constexpr const char* kReplyRecord = "{+1.23456789E+00\r\r\n}";

// The first sample comes at 2030; the adapter drops the link at 3000, while
// the countdown runs (no poll is overdue, so the countdown alone would never
// arm the watchdog).
class LostLinkTest : public LinkTest {
protected:
    LostLinkTest() { w.SaveResultsBox.setChecked(true); }
    void startAndLoseTheLinkAt3000() {
        w.StartButton.Click();
        advanceTo(3000);
        telnet.dropLink();
        advance(0);
    }
};

TEST_F(LostLinkTest, IsReopenedOneTimeOutLaterKeepingTheTranscript) {
    std::string countDownMeanwhile, statusMeanwhile;
    // Inside the reconnect's Start, before its link is up; the reason was
    // shown just before that Start.
    vp.time.at(8010, [&] { countDownMeanwhile = w.CountDown.caption(); });
    std::vector<std::string> statuses;
    w.statusSubscribers.add([&](const StatusEvent& e) { statuses.push_back(e.text); });
    vp.time.at(7999, [&] { statuses.clear(); });
    startAndLoseTheLinkAt3000();
    EXPECT_EQ(w.CountDown.caption(), "Offline");
    EXPECT_EQ(w.LinkStatus.caption(), "Link down: closed by the adapter or the network; reconnecting in 5 s");

    advanceTo(7999);
    EXPECT_EQ(telnet.connectCalls(), 1);

    // The watchdog at 8000: Stop (nothing to close) and, with no link to
    // let go, Start at once; the greeting at 8070 frees the poll again.
    advanceTo(11000);
    EXPECT_EQ(telnet.connectTimes(), (std::vector<std::int64_t>{0, 8000}));
    EXPECT_EQ(telnet.disconnectCalls(), 0);
    EXPECT_EQ(countDownMeanwhile, "Offline");
    ASSERT_FALSE(statuses.empty());
    statusMeanwhile = statuses.front();
    EXPECT_EQ(statusMeanwhile, "Reconnecting: the link was lost");
    EXPECT_EQ(w.State.Connected, 1);
    EXPECT_EQ(w.State.reconnectPending, 0);
    EXPECT_EQ(w.State.SampleCount, 2);
    EXPECT_EQ(ReadFile("Results.txt"), std::string(kGreetingRecord) + kCommand + kReplyRecord + kGreetingRecord +
                                           kCommand + kReplyRecord);
    EXPECT_TRUE(vp.dialogs.boxes.empty());
}

TEST_F(LostLinkTest, IsTriedAgainEveryTimeOutWhileTheAdapterStaysUnreachable) {
    startAndLoseTheLinkAt3000();
    telnet.connectMode = ConnectMode::Refuse;

    // Start at 8000 tries until 23000, then the next try is one time-out
    // after that (28000), with its Stop's waits and its Start at 30000.
    advanceTo(26000);
    EXPECT_EQ(telnet.connectCalls(), 31);
    EXPECT_EQ(w.LinkStatus.caption(), RecoveryFailedStatus(kConnectFailure, true, 5000));
    EXPECT_EQ(w.CountDown.caption(), "Offline");
    EXPECT_EQ(w.State.WatchdogActive, 0);
    EXPECT_EQ(w.State.Restarting, 0);
    EXPECT_EQ(w.State.reconnectPending, 1);

    vp.time.at(29000, [this] { telnet.connectMode = ConnectMode::Accept; });
    advanceTo(30000);
    EXPECT_EQ(telnet.connectTimes().back(), 30000);
    EXPECT_EQ(telnet.connectCalls(), 32);
    EXPECT_EQ(w.State.Connected, 1);
    EXPECT_EQ(w.LinkStatus.caption(), "Link up");
    EXPECT_TRUE(vp.dialogs.boxes.empty());
}

TEST_F(LostLinkTest, BytesOfAReplyTheLostLinkCutOffBecomeNoSample) {
    answer = "+1.2345";
    startAndLoseTheLinkAt3000();
    advanceTo(9000);
    EXPECT_EQ(w.State.SampleCount, 0);
    EXPECT_EQ(telnet.connectTimes(), (std::vector<std::int64_t>{0, 8000}));
    // They stand in front of the next link's greeting, which is still one.
    EXPECT_EQ(w.State.DataEvents, 2);
    EXPECT_EQ(ReadFile("Results.txt"), std::string(kGreetingRecord) + kCommand +
                                           "{+1.2345KISS-488 GPIB-LAN adapter ready\r\r\n}");
}

TEST_F(LostLinkTest, WithAutoReconnectUntickedTheLoggerStaysOffline) {
    w.AutoReconnect.setChecked(false);
    startAndLoseTheLinkAt3000();
    advanceTo(60000);
    EXPECT_EQ(telnet.connectCalls(), 1);
    EXPECT_EQ(w.State.reconnectPending, 0);
    EXPECT_TRUE(w.StartButton.enabled());
    EXPECT_EQ(w.CountDown.caption(), "Offline");
    EXPECT_EQ(w.LinkStatus.caption(), "Link down: closed by the adapter or the network");
}

TEST_F(LostLinkTest, UntickingAutoReconnectMeanwhileCancelsTheReopening) {
    startAndLoseTheLinkAt3000();
    w.AutoReconnect.setChecked(false);
    advanceTo(60000);
    EXPECT_EQ(telnet.connectCalls(), 1);
}

TEST_F(LostLinkTest, AWindowThatClosesMeanwhileIsNotReconnected) {
    startAndLoseTheLinkAt3000();
    w.State.Closing = 1;
    advanceTo(60000);
    EXPECT_EQ(telnet.connectCalls(), 1);
}

TEST_F(LostLinkTest, AStopByThePersonNeverReopensTheLink) {
    w.StartButton.Click();
    advanceTo(3000);
    w.ResetButton.Click();
    advanceTo(60000);
    EXPECT_EQ(telnet.connectCalls(), 1);
    EXPECT_EQ(w.State.reconnectPending, 0);
    EXPECT_EQ(w.LinkStatus.caption(), "Link down: stopped");
}

TEST_F(LostLinkTest, APersonsStartDuringTheRecoveryStillGetsItsModalMessage) {
    startAndLoseTheLinkAt3000();
    telnet.connectMode = ConnectMode::Refuse;
    // Inside the watchdog's first wait (8000-9000) a person presses Start.
    vp.time.at(8500, [this] { w.StartButton.Click(); });

    advanceTo(40000);

    // The person's Start: one box. The watchdog's Starts: status line only.
    EXPECT_EQ(boxTexts(), std::vector<std::string>{kConnectFailure});
    EXPECT_EQ(w.LinkStatus.caption(), RecoveryFailedStatus(kConnectFailure, true, 5000));
}

TEST_F(LostLinkTest, APersonsStartTakesOverThePendingReconnectWithItsThirtyAttempts) {
    startAndLoseTheLinkAt3000();
    telnet.connectMode = ConnectMode::Refuse;
    // The reconnect is due at 8000, inside the person's Start.
    vp.time.at(4000, [this] { w.StartButton.Click(); });

    advanceTo(4000);
    EXPECT_EQ(now(), 4000 + 30 * 500);
    EXPECT_EQ(telnet.connectCalls(), 1 + 30);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{kConnectFailure});

    // The person was told; the recovery their Start put off goes on one
    // time-out later (24000), its Start after the waits at 26000.
    advanceTo(24000);
    ASSERT_GT(telnet.connectCalls(), 1 + 30);
    EXPECT_EQ(telnet.connectTimes()[1 + 30], 26000);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{kConnectFailure});
    EXPECT_EQ(w.LinkStatus.caption(), RecoveryFailedStatus(kConnectFailure, true, 5000));
}

// The adapter goes silent: the poll at 2000 is never answered, and the
// watchdog fires at 7100 on a link that is still up.
class UnattendedRecoveryTest : public LinkTest {
protected:
    UnattendedRecoveryTest() { answer = std::nullopt; }
};

TEST_F(UnattendedRecoveryTest, AFailedReconnectGoesToTheStatusLineAndIsTriedAgain) {
    w.StartButton.Click();
    vp.time.at(7000, [this] { telnet.connectMode = ConnectMode::Refuse; });

    // Stop at 7100; Start at 9600 tries until 24600.
    advanceTo(25000);
    EXPECT_TRUE(vp.dialogs.boxes.empty());
    EXPECT_EQ(w.LinkStatus.caption(),
              "Reconnect failed: Could not connect to KISS-488 via Telnet. Retried 30 times to no avail. Something "
              "is stuck. Trying again in 5 s.");
    EXPECT_EQ(telnet.connectCalls(), 31);
    EXPECT_EQ(w.State.WatchdogActive, 0);
    EXPECT_EQ(w.State.Restarting, 0);

    // One time-out later (29600) the watchdog tries again: Start at 31600.
    vp.time.at(30000, [this] { telnet.connectMode = ConnectMode::Accept; });
    advanceTo(31600);
    EXPECT_EQ(telnet.connectTimes().back(), 31600);
    EXPECT_EQ(w.State.Connected, 1);
    EXPECT_TRUE(vp.dialogs.boxes.empty());
}

TEST_F(UnattendedRecoveryTest, AStuckLinkGoesToTheStatusLineAndTheWatchdogActsAgain) {
    telnet.reportsDisconnect = false;
    w.StartButton.Click();

    // Stop from 7100 gives up at 22100; after the 2 s of waits, Start runs 30
    // Stops of 15.5 s each: the action ends at 489100.
    advanceTo(7100);
    EXPECT_EQ(now(), 489100);
    EXPECT_TRUE(vp.dialogs.boxes.empty());
    EXPECT_EQ(w.LinkStatus.caption(), RecoveryFailedStatus(kStartClearFailure, true, 5000));
    EXPECT_EQ(telnet.disconnectCalls(), 30 + 30 * 30);
    EXPECT_EQ(telnet.connectCalls(), 1);
    EXPECT_EQ(w.State.WatchdogActive, 0);
    EXPECT_EQ(w.State.Restarting, 0);

    // The poll is still overdue on a link that is still up: the watchdog
    // fires again within a time-out.
    advanceTo(494200);
    EXPECT_GT(telnet.disconnectCalls(), 930);
    EXPECT_TRUE(vp.dialogs.boxes.empty());
}

TEST_F(UnattendedRecoveryTest, AnExceptionInTheWatchdogsStartRestoresTheFlagsAndIsRetried) {
    w.StartButton.Click();
    vp.time.at(7000, [this] { w.TimeOutBox.setText("x"); });

    advanceTo(7100);  // Stop, the waits, and a Start that raises at 9600

    EXPECT_EQ(now(), 9600);
    EXPECT_EQ(w.State.WatchdogActive, 0);
    EXPECT_EQ(w.State.Restarting, 0);
    EXPECT_EQ(w.LinkStatus.caption(), "Reconnect failed: 'x' is not a valid integer value. Trying again in 5 s.");
    EXPECT_TRUE(vp.dialogs.errors.empty());
    EXPECT_TRUE(vp.dialogs.boxes.empty());

    // Retried at 14600 (Start at 16600 raises again) and at 21600 (Start at
    // 23600 connects, the text mended meanwhile).
    vp.time.at(17000, [this] { w.TimeOutBox.setText("5"); });
    advanceTo(24000);
    EXPECT_EQ(telnet.connectTimes(), (std::vector<std::int64_t>{0, 23600}));
    EXPECT_EQ(w.State.Connected, 1);

    // A person's Start afterwards starts a fresh transcript again, and its
    // failure is a person's: it is shown in a box.
    WriteFile("Results.txt", "old");
    w.SaveResultsBox.setChecked(true);
    w.ResetButton.Click();
    telnet.connectMode = ConnectMode::Refuse;
    w.StartButton.Click();
    EXPECT_FALSE(FileExists("Results.txt"));
    EXPECT_EQ(vp.dialogs.boxes.size(), 1u);
}

}  // namespace
}  // namespace qs::test
