// While the logger reconnects by itself, the window shows logging on: Start
// disabled, Stop enabled and ending the recovery. A person's Start never
// ends the recovery; after a Start that gave up, it goes on for as long as
// AutoReconnect is ticked and nobody pressed Stop.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "LinkFixture.h"

namespace qs::test {
namespace {

using ConnectMode = VirtualTelnet::ConnectMode;

// What the controls say at one moment: logging on or off.
struct Look {
    std::int64_t atMs;
    bool on;
};

// Looks every quarter of a second from one time to another.
std::vector<Look> Every(std::int64_t fromMs, std::int64_t toMs, bool on) {
    std::vector<Look> looks;
    for (std::int64_t t = fromMs; t <= toMs; t += 250) looks.push_back({t, on});
    return looks;
}

// What happens at 3000 on a link up since 0.
enum class Trouble {
    LinkLost,
    LinkLostAdapterRefuses,
    AdapterSilent,
    LinkLostWithoutAutoReconnect,
    LinkLostAdapterRefusesAutoReconnectUntickedAt25000,
};

struct RecoveryCase {
    const char* name;
    Trouble trouble;
    std::vector<Look> looks;
};

class RecoveryControls : public LinkTest, public ::testing::WithParamInterface<RecoveryCase> {
protected:
    void makeTrouble(Trouble trouble) {
        switch (trouble) {
            case Trouble::AdapterSilent:
                telnet.reply = [](const std::string&) { return std::optional<std::string>(); };
                return;
            case Trouble::LinkLostWithoutAutoReconnect:
                w.AutoReconnect.setChecked(false);
                break;
            case Trouble::LinkLostAdapterRefusesAutoReconnectUntickedAt25000:
                vp.time.at(25000, [this] { w.AutoReconnect.setChecked(false); });
                telnet.connectMode = ConnectMode::Refuse;
                break;
            case Trouble::LinkLostAdapterRefuses:
                telnet.connectMode = ConnectMode::Refuse;
                break;
            case Trouble::LinkLost:
                break;
        }
        telnet.dropLink();
        advance(0);
    }
    bool loggingOn() const {
        return !w.StartButton.enabled() && w.ResetButton.enabled() && !w.IntervalBox.enabled() &&
               !w.TextFileBox.enabled();
    }
    bool loggingOff() const {
        return w.StartButton.enabled() && !w.ResetButton.enabled() && w.IntervalBox.enabled() &&
               w.TextFileBox.enabled();
    }
};

TEST_P(RecoveryControls, ShowLoggingOnWhileTheLoggerReconnectsByItself) {
    std::vector<std::string> seen;
    for (const Look& look : GetParam().looks) {
        vp.time.at(look.atMs, [this, look, &seen] {
            const bool asExpected = look.on ? loggingOn() : loggingOff();
            if (!asExpected) seen.push_back("at " + std::to_string(look.atMs) + ": " + w.LinkStatus.caption());
        });
    }
    w.StartButton.Click();
    advanceTo(3000);
    makeTrouble(GetParam().trouble);
    advanceTo(90000);
    EXPECT_EQ(seen, std::vector<std::string>{});
    EXPECT_TRUE(vp.dialogs.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Recovery, RecoveryControls,
    ::testing::Values(
        // Lost at 3000, reopened at 8000: between, and after.
        RecoveryCase{"ALostLinkReopened", Trouble::LinkLost,
                     {{2000, true}, {3001, true}, {7999, true}, {8010, true}, {9000, true}}},
        // Reconnects from 8000 to 23000, again from 28000: on throughout.
        RecoveryCase{"ALostLinkTheAdapterRefuses", Trouble::LinkLostAdapterRefuses, Every(3001, 89000, true)},
        // The watchdog's Stop closes the link, its waits, and a Start that
        // reopens it.
        RecoveryCase{"ASilentAdapter", Trouble::AdapterSilent, Every(3001, 30000, true)},
        // Auto-Reconnect unticked: a lost link ends the logging.
        RecoveryCase{"ALostLinkWithoutAutoReconnect", Trouble::LinkLostWithoutAutoReconnect,
                     {{2000, true}, {3001, false}, {9000, false}}},
        // Unticked between the tries: the next watchdog period ends it.
        RecoveryCase{"AutoReconnectUntickedBetweenTries", Trouble::LinkLostAdapterRefusesAutoReconnectUntickedAt25000,
                     {{24000, true}, {27000, true}, {28010, false}, {60000, false}}}),
    [](const auto& info) { return std::string(info.param.name); });

class LostLinkStop : public LinkTest {
protected:
    void startAndLoseTheLinkAt3000() {
        w.StartButton.Click();
        advanceTo(3000);
        telnet.connectMode = ConnectMode::Refuse;
        telnet.dropLink();
        advance(0);
    }
    bool loggingOff() const { return w.StartButton.enabled() && !w.ResetButton.enabled(); }
};

// A person's Stop ends the recovery wherever it stands: between the tries,
// inside the attempts of its Start, or inside its Stop's waits.
struct StopCase {
    const char* name;
    std::int64_t stopAtMs;
};

class StopDuringTheRecovery : public LostLinkStop, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopDuringTheRecovery, EndsItAndNothingReconnectsAfterwards) {
    startAndLoseTheLinkAt3000();
    const std::int64_t stopAt = GetParam().stopAtMs;
    vp.time.at(stopAt, [this] { w.ResetButton.Click(); });
    advanceTo(stopAt);
    // Stop may be pressed inside a wait, which unwinds afterwards.
    const int connectsByThen = telnet.connectCalls();
    EXPECT_TRUE(loggingOff());
    EXPECT_EQ(w.LinkStatus.caption(), "Link down: stopped");
    EXPECT_EQ(w.State.recovering, 0);

    telnet.connectMode = ConnectMode::Accept;
    advanceTo(120000);
    EXPECT_EQ(telnet.connectCalls(), connectsByThen);
    EXPECT_LE(telnet.connectTimes().back(), stopAt);
    EXPECT_EQ(w.State.Connected, 0);
    EXPECT_TRUE(loggingOff());
    EXPECT_EQ(w.LinkStatus.caption(), "Link down: stopped");
    EXPECT_EQ(w.State.WatchdogActive, 0);
    EXPECT_EQ(w.State.Restarting, 0);
    EXPECT_TRUE(vp.dialogs.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Recovery, StopDuringTheRecovery,
                         ::testing::Values(StopCase{"BeforeTheFirstTry", 5000},
                                           StopCase{"InsideTheFirstTrysAttempts", 12250},
                                           StopCase{"BetweenTwoTries", 25000},
                                           StopCase{"InsideTheSecondTrysWaits", 28700},
                                           StopCase{"InsideTheSecondTrysAttempts", 31000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LostLinkStop, StopAbandonsAnAttemptOfTheRecoveryStillUnderWay) {
    startAndLoseTheLinkAt3000();
    // The reconnect's first attempt at 8000 would be up at 8400.
    telnet.connectMode = ConnectMode::Accept;
    telnet.connectDelayMs = 400;
    vp.time.at(8200, [this] { w.ResetButton.Click(); });
    advanceTo(60000);
    EXPECT_EQ(telnet.connectTimes(), (std::vector<std::int64_t>{0, 8000}));
    EXPECT_EQ(w.State.Connected, 0);
    EXPECT_TRUE(loggingOff());
    EXPECT_EQ(w.LinkStatus.caption(), "Link down: stopped");
}

TEST_F(LostLinkStop, APersonsStartThatGivesUpLeavesTheRecoveryGoingOn) {
    startAndLoseTheLinkAt3000();
    // The framework's click runs Start even while the button is disabled.
    vp.time.at(4000, [this] { w.StartButton.Click(); });
    advanceTo(4000);
    EXPECT_EQ(now(), 4000 + 30 * 500);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{kConnectFailure});
    EXPECT_EQ(w.State.recovering, 1);
    EXPECT_FALSE(w.StartButton.enabled());
    EXPECT_TRUE(w.ResetButton.enabled());
    EXPECT_EQ(w.LinkStatus.caption(), RecoveryFailedStatus(kConnectFailure, true, 5000));

    // The adapter is back 45 s after the Start gave up: the recovery's next
    // try after that brings the link up.
    vp.time.at(19000 + 45000, [this] { telnet.connectMode = ConnectMode::Accept; });
    advanceTo(19000 + 45000 + 25000);
    EXPECT_EQ(w.State.Connected, 1);
    EXPECT_EQ(w.LinkStatus.caption(), "Link up");
    EXPECT_EQ(boxTexts(), std::vector<std::string>{kConnectFailure});
    EXPECT_FALSE(w.StartButton.enabled());
    EXPECT_TRUE(w.ResetButton.enabled());
}

TEST_F(LostLinkStop, APersonsStartInsideTheRecoverysWaitsThatConnectsEndsItUp) {
    startAndLoseTheLinkAt3000();
    vp.time.at(8250, [this] {
        telnet.connectMode = ConnectMode::Accept;
        w.StartButton.Click();
    });
    advanceTo(20000);
    // The person's Start is up at 8270; the recovery's Start closes nothing.
    EXPECT_EQ(w.State.Connected, 1);
    EXPECT_EQ(telnet.disconnectCalls(), 0);
    EXPECT_EQ(w.State.recovering, 0);
    EXPECT_EQ(w.LinkStatus.caption(), "Link up");
    EXPECT_TRUE(vp.dialogs.boxes.empty());
}

TEST_F(LostLinkStop, AutoReconnectUntickedBetweenTriesSaysNothingWillReopenTheLink) {
    startAndLoseTheLinkAt3000();
    vp.time.at(25000, [this] { w.AutoReconnect.setChecked(false); });
    advanceTo(60000);
    EXPECT_EQ(w.LinkStatus.caption(), "Link down: Auto-Reconnect unticked, not reconnecting");
    EXPECT_EQ(w.State.reconnectPending, 0);
    EXPECT_EQ(w.State.recovering, 0);
    EXPECT_TRUE(loggingOff());
    EXPECT_EQ(telnet.connectCalls(), 31);
}

}  // namespace
}  // namespace qs::test
