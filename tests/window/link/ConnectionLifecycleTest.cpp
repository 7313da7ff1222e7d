// Start, Stop and the link events: attempts, waits, messages and controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LinkFixture.h"

namespace qs::test {
namespace {

using ConnectMode = VirtualTelnet::ConnectMode;

// How an adapter fails to take a connection within Start's 30 attempts.
struct Unreachable {
    const char* name;
    ConnectMode mode;
    int connectDelayMs;  // Accept: the attempt gets through this late
};

class UnreachableAdapterTest : public LinkTest, public ::testing::WithParamInterface<Unreachable> {};

TEST_P(UnreachableAdapterTest, StartGivesUpAfterThirtyAttemptsHalfASecondApartAndNeverGoesOnlineLater) {
    telnet.connectMode = GetParam().mode;
    telnet.connectDelayMs = GetParam().connectDelayMs;
    const std::int64_t t0 = now();

    w.StartButton.Click();

    EXPECT_EQ(telnet.connectCalls(), 30);
    EXPECT_EQ(now() - t0, 30 * 500);
    ASSERT_EQ(vp.dialogs.boxes.size(), 1u);
    const VirtualDialogs::Box& box = vp.dialogs.boxes[0];
    EXPECT_EQ(box.text, "Could not connect to KISS-488 via Telnet. Retried 30 times to no avail. Something is stuck.");
    EXPECT_EQ(box.caption, "ERROR");
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(box.icon, MsgIcon::None);

    // The attempt left running when Start gave up is abandoned with it.
    advance(60000);
    EXPECT_TRUE(w.StartButton.enabled());
    EXPECT_FALSE(w.ResetButton.enabled());
    EXPECT_EQ(w.State.Connected, 0);
    EXPECT_FALSE(telnet.linkUp());
    EXPECT_EQ(w.LinkStatus.caption(), "Link down: could not connect");
    EXPECT_EQ(vp.dialogs.boxes.size(), 1u);
}

// Refuse: every Connect raises; Hang: Connect returns and nothing follows;
// Late: the first attempt gets through after Start has given up.
INSTANTIATE_TEST_SUITE_P(ConnectFailures, UnreachableAdapterTest,
                         ::testing::Values(Unreachable{"Refuse", ConnectMode::Refuse, 20},
                                           Unreachable{"Hang", ConnectMode::Hang, 20},
                                           Unreachable{"Late", ConnectMode::Accept, 16000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, StartConnectsAtTheFirstAttemptAndTheLinkEventSetsTheControls) {
    w.HostBox.setText("10.0.0.7");
    w.StartButton.Click();

    EXPECT_EQ(telnet.host(), "10.0.0.7");
    EXPECT_EQ(telnet.connectCalls(), 1);
    EXPECT_EQ(now(), 500);
    EXPECT_EQ(w.State.Connected, 1);
    EXPECT_FALSE(w.StartButton.enabled());
    EXPECT_FALSE(w.IntervalBox.enabled());
    EXPECT_TRUE(w.ResetButton.enabled());
    EXPECT_FALSE(w.TextFileBox.enabled());
    EXPECT_TRUE(vp.dialogs.boxes.empty());
    EXPECT_EQ(w.LinkStatus.caption(), "Link up");
}

TEST_F(LinkTest, StartSetsTheWatchdogPeriodFromTimeOutBoxAtLeastOneSecond) {
    telnet.connectMode = ConnectMode::Refuse;
    for (const auto& [text, ms] : std::vector<std::pair<std::string, int>>{{"7", 7000}, {"0", 1000}, {"-4", 1000}}) {
        w.TimeOutBox.setText(text);
        w.StartButton.Click();
        EXPECT_EQ(w.WatchdogTimer.interval(), ms) << text;
        EXPECT_EQ(w.TimeOutBox.text(), text);
        EXPECT_FALSE(w.WatchdogTimer.enabled());
    }
}

TEST_F(LinkTest, StartWithATimeOutTextThatIsNoWholeNumberMakesNoAttempt) {
    w.TimeOutBox.setText("2.5");
    EXPECT_THROW(w.StartButton.Click(), EConvertError);
    EXPECT_EQ(telnet.connectCalls(), 0);
    EXPECT_EQ(now(), 0);
}

TEST_F(LinkTest, StopClosesTheLinkAndTheDisconnectEventSetsTheControls) {
    w.StartButton.Click();
    w.State.ReplyPhase = 1;
    w.WatchdogTimer.setEnabled(true);
    const std::int64_t t0 = now();

    w.ResetButton.Click();

    EXPECT_EQ(telnet.disconnectCalls(), 1);
    EXPECT_EQ(now() - t0, 500);
    EXPECT_EQ(w.State.Connected, 0);
    EXPECT_EQ(w.State.ReplyPhase, 0);
    EXPECT_FALSE(w.WatchdogTimer.enabled());
    EXPECT_TRUE(w.StartButton.enabled());
    EXPECT_TRUE(w.IntervalBox.enabled());
    EXPECT_FALSE(w.ResetButton.enabled());
    EXPECT_TRUE(w.TextFileBox.enabled());
    EXPECT_EQ(w.CountDown.caption(), "Offline");
    EXPECT_EQ(w.LinkStatus.caption(), "Link down: stopped");
    EXPECT_TRUE(vp.dialogs.boxes.empty());
}

TEST_F(LinkTest, StopWhileTheLinkIsDownMakesNoAttemptAndNoMessage) {
    w.State.ReplyPhase = 1;
    w.WatchdogTimer.setEnabled(true);
    w.ResetButton.Click();
    EXPECT_EQ(telnet.disconnectCalls(), 0);
    EXPECT_EQ(now(), 0);
    EXPECT_EQ(w.State.ReplyPhase, 0);
    EXPECT_FALSE(w.WatchdogTimer.enabled());
    EXPECT_TRUE(vp.dialogs.boxes.empty());
}

TEST_F(LinkTest, StopOnALinkThatNeverReportsItsDisconnectionGivesUpWithItsMessage) {
    telnet.reportsDisconnect = false;
    w.StartButton.Click();
    const std::int64_t t0 = now();

    w.ResetButton.Click();

    EXPECT_EQ(telnet.disconnectCalls(), 30);
    EXPECT_EQ(now() - t0, 30 * 500);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{kStopFailure});
    EXPECT_EQ(std::string(kStopFailure),
              "Could not forcibly disconnect from the KISS-488 via Telnet. Retried 30 times to no avail. Something is "
              "stuck during reset.");
    EXPECT_EQ(w.State.Connected, 1);
    EXPECT_FALSE(w.StartButton.enabled());
    EXPECT_TRUE(w.ResetButton.enabled());
    EXPECT_EQ(w.State.ReplyPhase, 0);
}

TEST_F(LinkTest, StartOnAStuckLinkRunsThirtyStopsAndThenGivesUpWithoutConnecting) {
    telnet.reportsDisconnect = false;
    w.StartButton.Click();
    const std::int64_t t0 = now();

    w.StartButton.Click();

    EXPECT_EQ(telnet.connectCalls(), 1);
    EXPECT_EQ(telnet.disconnectCalls(), 30 * 30);
    // Each Stop: 30 attempts of 500 ms; then Start's own 500 ms wait.
    EXPECT_EQ(now() - t0, 30 * (30 * 500 + 500));
    std::vector<std::string> expected(30, kStopFailure);
    expected.push_back(
        "Could not forcibly disconnect from the KISS-488 via Telnet. Retried 30 times to no avail. Something is "
        "stuck.");
    EXPECT_EQ(boxTexts(), expected);
    EXPECT_EQ(w.State.Connected, 1);
}

TEST_F(LinkTest, ALinkThatComesDownDuringStopsLastAttemptNeedsNoMessage) {
    telnet.reportsDisconnect = false;
    w.StartButton.Click();
    const std::int64_t t0 = now();
    // The 30th attempt is made at t0 + 14500; the link goes during its wait.
    vp.time.at(t0 + 14600, [this] { telnet.dropLink(); });

    w.ResetButton.Click();

    EXPECT_EQ(telnet.disconnectCalls(), 30);
    EXPECT_TRUE(vp.dialogs.boxes.empty());
    EXPECT_EQ(w.State.Connected, 0);
    // The Stop asked for it: this is no lost link, nothing reconnects.
    EXPECT_EQ(w.LinkStatus.caption(), "Link down: stopped");
    advance(60000);
    EXPECT_EQ(telnet.connectCalls(), 1);
}

TEST_F(LinkTest, StartWithSaveResultsDeletesTheTranscriptBeforeTheFirstAttempt) {
    WriteFile("Results.txt", "old conversation");
    w.SaveResultsBox.setChecked(true);
    telnet.connectMode = ConnectMode::Refuse;
    w.StartButton.Click();
    EXPECT_FALSE(FileExists("Results.txt"));
}

TEST_F(LinkTest, StartWithoutSaveResultsLeavesTheTranscriptAlone) {
    WriteFile("Results.txt", "old conversation");
    w.StartButton.Click();
    advance(100);
    EXPECT_EQ(ReadFile("Results.txt"), "old conversation");
}

TEST_F(LinkTest, ARecoverysStartKeepsTheTranscript) {
    WriteFile("Results.txt", "old conversation");
    w.SaveResultsBox.setChecked(true);
    w.State.Restarting = 1;
    w.StartButton.Click();
    EXPECT_EQ(ReadFile("Results.txt"), std::string("old conversation") + kGreetingRecord);
}

TEST_F(LinkTest, ADisconnectFromTheLinkWhileOnlineSetsTheControlsAndKeepsPollBusy) {
    w.AutoReconnect.setChecked(false);
    w.StartButton.Click();
    w.State.PollBusy = 1;
    w.State.AwaitingReply = 1;

    telnet.dropLink();
    advance(0);

    EXPECT_EQ(w.State.Connected, 0);
    EXPECT_EQ(w.State.AwaitingReply, 0);
    EXPECT_EQ(w.State.PollBusy, 1);
    EXPECT_TRUE(w.StartButton.enabled());
    EXPECT_TRUE(w.IntervalBox.enabled());
    EXPECT_FALSE(w.ResetButton.enabled());
    EXPECT_TRUE(w.TextFileBox.enabled());
    EXPECT_EQ(w.CountDown.caption(), "Offline");
    EXPECT_EQ(w.LinkStatus.caption(), "Link down: closed by the adapter or the network");
}

TEST_F(LinkTest, ADisconnectWhileTheWindowClosesChangesNothing) {
    w.StartButton.Click();
    w.State.Closing = 1;

    telnet.dropLink();
    advance(0);

    EXPECT_EQ(w.State.Connected, 1);
    EXPECT_FALSE(w.StartButton.enabled());
    EXPECT_TRUE(w.ResetButton.enabled());
    EXPECT_NE(w.CountDown.caption(), "Offline");
    EXPECT_EQ(w.State.reconnectPending, 0);
    EXPECT_FALSE(w.WatchdogTimer.enabled());
}

TEST_F(LinkTest, TheConnectEventStartsTheAlternationAgain) {
    w.State.ReplyPhase = 1;
    w.TelnetConnected();
    EXPECT_EQ(w.State.ReplyPhase, 0);
    EXPECT_EQ(w.State.Connected, 1);
}

}  // namespace
}  // namespace qs::test
