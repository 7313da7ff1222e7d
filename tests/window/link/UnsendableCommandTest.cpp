// A command the link cannot send one byte per character: the status line
// says once what is wrong, naming the character; nothing is awaited, so the
// logger never shows "Waiting" for good nor reconnects for want of data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LinkFixture.h"

namespace qs::test {
namespace {

struct UnsendableCase {
    const char* name;
    const char* command;
    const char* status;
};

class UnsendableCommandTest : public LinkTest, public ::testing::WithParamInterface<UnsendableCase> {};

TEST_P(UnsendableCommandTest, SaysOnceWhatIsWrongAndNeverWaitsForAReply) {
    const UnsendableCase& c = GetParam();
    w.CommandBox.setText(c.command);
    std::vector<std::string> statuses;
    w.statusSubscribers.add([&](const StatusEvent& e) { statuses.push_back(e.text); });
    w.StartButton.Click();

    advanceTo(30000);

    EXPECT_TRUE(telnet.sent().empty());
    EXPECT_EQ(w.LinkStatus.caption(), c.status);
    int told = 0;
    for (const std::string& s : statuses) told += s == c.status ? 1 : 0;
    EXPECT_EQ(told, 1);
    EXPECT_NE(w.CountDown.caption(), "Waiting");
    EXPECT_EQ(telnet.disconnectCalls(), 0);
    EXPECT_EQ(telnet.connectCalls(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, UnsendableCommandTest,
    ::testing::Values(
        UnsendableCase{"EuroSign", "PRICE \xE2\x82\xAC",
                       "Command 1 not sent: it holds the character \"\xE2\x82\xAC\" (U+20AC), which has no single "
                       "byte to go out as"},
        UnsendableCase{"Ideograph", "MEAS\xE6\xB8\xAC",
                       "Command 1 not sent: it holds the character \"\xE6\xB8\xAC\" (U+6E2C), which has no single "
                       "byte to go out as"},
        UnsendableCase{"NotUtf8", "MEAS\xFF?", "Command 1 not sent: it holds the byte 0xFF, which is not UTF-8 text"},
        UnsendableCase{"Empty", "", "Command 1 not sent: it is empty"}),
    [](const ::testing::TestParamInfo<UnsendableCase>& info) { return std::string(info.param.name); });

TEST_F(LinkTest, AMendedCommandGoesOutAtTheNextPollAndTheComplaintEnds) {
    w.CommandBox.setText("PRICE \xE2\x82\xAC");
    w.StartButton.Click();
    advanceTo(5000);
    ASSERT_TRUE(sends.empty());

    w.CommandBox.setText("PRICE?");
    advanceTo(7100);

    ASSERT_FALSE(sends.empty());
    EXPECT_EQ(sends.front().command, "PRICE?");
    EXPECT_EQ(w.LinkStatus.caption(), "Link up");
    EXPECT_GE(w.State.SampleCount, 1);
}

TEST_F(LinkTest, InAlternateModeTheUnsendableSecondCommandIsNamed) {
    w.RadioButton1.setChecked(false);
    w.RadioButton3.setChecked(true);
    w.CommandBox2.setText("\xE2\x82\xAC");
    w.StartButton.Click();
    advanceTo(6000);
    EXPECT_EQ(sentCommands().front(), "MEAS:VOLT:DC? 5,0.00001");
    EXPECT_EQ(w.LinkStatus.caption(),
              "Command 2 not sent: it holds the character \"\xE2\x82\xAC\" (U+20AC), which has no single byte to go "
              "out as");
}

}  // namespace
}  // namespace qs::test
