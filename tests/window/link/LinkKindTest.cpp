// The host box names the kind of link, and the kind says when the link is
// ready to poll, how a command ends, and what the transcript keeps of the
// link's own opening. A text that names no link is refused at Start.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "LinkFixture.h"
#include "TempWorkDir.h"
#include "link/LinkTarget.h"

namespace qs::test {
namespace {

constexpr const char* kCommand = "MEAS:VOLT:DC? 5,0.00001";
constexpr const char* kControllerVersion = "GPIB-LAN controller version 1.0\n";
// What the controller's set-up is for the fixture's 5 s time-out.
constexpr const char* kControllerSetUp =
    "++savecfg 0\n++mode 1\n++auto 1\n++eoi 1\n++eos 2\n++read_tmo_ms 3000\n++addr 22\n++ver\n";

struct KindCase {
    const char* name;
    const char* hostBox;
    const char* greeting;        // what the peer sends first; "" for nothing
    int greetingDelayMs;
    std::int64_t firstPollMs;    // the virtual time of the first command
    const char* linkUp;          // LinkStatus once up
    std::string resultsStart;    // Results.txt up to the first reply
};

class LinkKindTest : public LinkTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(LinkKindTest, EachKindIsReadyWhenItsRuleSaysAndLogsWhatWentOut) {
    const KindCase& c = GetParam();
    w.HostBox.setText(c.hostBox);
    w.TimeOutBox.setText("5");
    w.SaveResultsBox.setChecked(true);
    telnet.greeting = c.greeting;
    telnet.greetingDelayMs = c.greetingDelayMs;
    w.StartButton.Click();
    EXPECT_EQ(w.LinkStatus.caption(), c.linkUp);
    advanceTo(9000);

    ASSERT_FALSE(sends.empty());
    EXPECT_EQ(sends.front().atMs, c.firstPollMs);
    EXPECT_EQ(sends.front().command, kCommand);
    EXPECT_GE(w.State.SampleCount, 3);
    // The greeting or the controller's version is never a sample.
    EXPECT_EQ(w.State.SampleCount, static_cast<int>(sends.size()) - (w.State.AwaitingReply ? 1 : 0));
    EXPECT_TRUE(boxTexts().empty());
    const std::string results = ReadFile("Results.txt");
    EXPECT_EQ(results.substr(0, c.resultsStart.size()), c.resultsStart);
}

// Connected at 20 ms; a link is ready at once, or when its first words
// came; the first poll goes out one interval (2 s) from then, on the next
// 100 ms tick that finds the countdown run out.
INSTANTIATE_TEST_SUITE_P(
    Kinds, LinkKindTest,
    ::testing::Values(
        KindCase{"TelnetWaitsForTheGreeting", "192.168.1.88", "KISS-488 GPIB-LAN adapter ready\r\n", 300, 2300,
                 "Link up",
                 std::string("{KISS-488 GPIB-LAN adapter ready\r\r\n}") + kCommand + "\r{+1.23456789E+00\r\r\n}"},
        KindCase{"RawSocketIsReadyWhenConnected", "tcp://10.0.0.5:5025", "", 0, 2000,
                 "Link up (raw socket 10.0.0.5:5025)", std::string(kCommand) + "\n{+1.23456789E+00\r\r\n}"},
        KindCase{"ControllerIsReadyWhenItAnsweredItsVersionQuery", "prologix://10.0.0.7/22", kControllerVersion,
                 300, 2300, "Link up (GPIB-Ethernet controller 10.0.0.7:1234, GPIB address 22)",
                 std::string(kControllerSetUp) + "{GPIB-LAN controller version 1.0\r\n}" + kCommand +
                     "\n{+1.23456789E+00\r\r\n}"}),
    [](const ::testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

TEST_F(LinkTest, AControllerThatNeverAnswersIsNeverPolledAndIsReopenedAfterTheGreetingWait) {
    w.HostBox.setText("prologix://10.0.0.7/22");
    telnet.greeting = "";
    w.StartButton.Click();
    advanceTo(29000);
    EXPECT_TRUE(sends.empty());
    EXPECT_EQ(telnet.disconnectCalls(), 0);
    advanceTo(31000);
    EXPECT_GE(telnet.disconnectCalls(), 1);
    EXPECT_TRUE(sends.empty());
}

TEST_F(LinkTest, AReopenedControllerIsNotPolledBeforeItAnsweredItsSetUpAgain) {
    w.HostBox.setText("prologix://10.0.0.7/22");
    w.AutoReconnect.setChecked(true);
    telnet.greeting = kControllerVersion;
    w.StartButton.Click();
    advanceTo(5000);
    ASSERT_FALSE(sends.empty());
    // The controller drops the link; the next one answers only after 3 s.
    telnet.greetingDelayMs = 3000;
    telnet.dropLink();
    advanceTo(20000);
    ASSERT_GE(telnet.connectTimes().size(), 2u);
    const std::int64_t reopened = telnet.connectTimes()[1];
    bool polledAfter = false;
    for (const Sent& s : sends) {
        EXPECT_FALSE(s.atMs > reopened && s.atMs < reopened + 3000) << "a poll at " << s.atMs;
        polledAfter = polledAfter || s.atMs > reopened + 3000;
    }
    EXPECT_TRUE(polledAfter);
}

// ---- a host box that names no link

struct RefusedCase {
    const char* name;
    const char* hostBox;
    const char* what;  // the start of the box's text
};

class RefusedHostBox : public LinkTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedHostBox, IsRefusedAtStartWithOneBoxAndNothingElseChanges) {
    const RefusedCase& c = GetParam();
    w.HostBox.setText(c.hostBox);
    w.TimeOutBox.setText("9");
    w.SaveResultsBox.setChecked(true);
    WriteFile("Results.txt", "the last run's transcript");
    const std::string statusBefore = w.LinkStatus.caption();
    const int intervalBefore = w.WatchdogTimer.interval();

    w.StartButton.Click();
    advance(2000);

    ASSERT_EQ(h.vp.dialogs.boxes.size(), 1u);
    const auto& box = h.vp.dialogs.boxes[0];
    EXPECT_EQ(box.text.rfind(c.what, 0), 0u) << box.text;
    EXPECT_NE(box.text.find(HostBoxForms()), std::string::npos) << box.text;
    EXPECT_EQ(box.caption, kErrorCaption);
    EXPECT_EQ(telnet.connectCalls(), 0);
    EXPECT_TRUE(w.StartButton.enabled());
    EXPECT_EQ(w.LinkStatus.caption(), statusBefore);
    EXPECT_EQ(w.WatchdogTimer.interval(), intervalBefore);
    EXPECT_EQ(ReadFile("Results.txt"), "the last run's transcript");
    EXPECT_EQ(w.HostBox.text(), c.hostBox);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, RefusedHostBox,
    ::testing::Values(RefusedCase{"UnknownScheme", "gpib://10.0.0.5", "Unknown kind of link \"gpib://\""},
                      RefusedCase{"RawSocketWithoutPort", "tcp://10.0.0.5", "A raw socket needs its port"},
                      RefusedCase{"GpibAddressAbove30", "prologix://10.0.0.7/31", "The GPIB address \"31\""},
                      RefusedCase{"PortAbove65535", "tcp://10.0.0.5:65536", "The port \"65536\""},
                      RefusedCase{"PortZero", "10.0.0.5:0", "The port \"0\""}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs::test
