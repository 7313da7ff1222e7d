// One logging session end to end: Start, the adapter's greeting, samples in
// the data file and on the chart, Stop.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "LinkFixture.h"

namespace qs::test {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line + "\n");
    return out;
}

TEST_F(LinkTest, StartGreetingSamplesAndStopMakeAWholeSession) {
    int replies = 0;
    telnet.reply = [&](const std::string& command) -> std::optional<std::string> {
        sends.push_back({now(), command});
        return "+" + std::to_string(++replies) + ".0E+00\r\n";
    };
    w.SaveResultsBox.setChecked(true);

    w.StartButton.Click();
    EXPECT_EQ(w.State.DataEvents, 1);
    EXPECT_EQ(w.MeasuredBox.text(), "KISS-488 GPIB-LAN adapter ready");

    // Polls at 2000, 4000, 6000 (each twenty ticks after the data before
    // it), answered 30 ms later: 14:07:11, 14:07:13, 14:07:15 UTC.
    advanceTo(6500);
    w.ResetButton.Click();
    advance(10000);

    EXPECT_EQ(sendTimes(), (std::vector<std::int64_t>{2000, 4000, 6000}));
    const std::vector<std::string> data = lines(ReadFile("Data.txt"));
    ASSERT_EQ(data.size(), 3u);
    // The filter column is checked by the sample evaluation's own tests.
    EXPECT_EQ(data[0].substr(0, 47), "2024-03-05 14:07:11, +1.0E+00, 1.00000000E+00, ");
    EXPECT_EQ(data[1].substr(0, 47), "2024-03-05 14:07:13, +2.0E+00, 1.50000000E+00, ");
    EXPECT_EQ(data[2].substr(0, 47), "2024-03-05 14:07:15, +3.0E+00, 2.00000000E+00, ");
    for (const std::string& line : data) EXPECT_EQ(line.substr(line.size() - 2), "\r\n");

    EXPECT_EQ(w.State.SampleCount, 3);
    EXPECT_EQ(w.CountBox.caption(), "3");
    EXPECT_EQ(w.MinBox.caption(), "1");
    EXPECT_EQ(w.MaxBox.caption(), "3");
    EXPECT_EQ(h.series(1).Count(), 3);
    EXPECT_EQ(h.series(1).YValue(2), 3.0);

    EXPECT_EQ(ReadFile("Results.txt"), std::string(kGreetingRecord) + "MEAS:VOLT:DC? 5,0.00001\r{+1.0E+00\r\r\n}" +
                                           "MEAS:VOLT:DC? 5,0.00001\r{+2.0E+00\r\r\n}" +
                                           "MEAS:VOLT:DC? 5,0.00001\r{+3.0E+00\r\r\n}");
    EXPECT_EQ(w.CountDown.caption(), "Offline");
    EXPECT_EQ(w.LinkStatus.caption(), "Link down: stopped");
    EXPECT_TRUE(w.StartButton.enabled());
    EXPECT_FALSE(w.ResetButton.enabled());
    EXPECT_EQ(telnet.connectCalls(), 1);
    EXPECT_TRUE(vp.dialogs.boxes.empty());
    EXPECT_TRUE(vp.dialogs.errors.empty());
}

}  // namespace
}  // namespace qs::test
