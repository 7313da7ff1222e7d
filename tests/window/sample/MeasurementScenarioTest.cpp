#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WindowHarness.h"

namespace qs {
namespace {

// Minutes of a logging run in virtual time, driven only through the window's
// public handlers and the link's events: start-up, Start, the greeting, a
// poll every 30 s whose reply comes in two chunks.
TEST(MeasurementScenario, GreetingThenRepliesInChunksBecomeTimedSamples) {
    test::WindowHarness h;
    auto& vp = h.vp;
    h.w.FormCreate();
    h.w.IntervalBox.setText("30");
    h.w.IntervalBox.exit();
    h.w.TimeOutBox.setText("60");
    h.w.TimeOutBox.exit();

    int replies = 0;
    vp.telnet.reply = [&](const std::string& command) -> std::optional<std::string> {
        EXPECT_EQ(command, "MEAS:VOLT:DC? 5,0.00001");
        ++replies;
        vp.telnet.deliver("+" + std::to_string(replies) + ".000", 100);
        vp.telnet.deliver("00E+00\r\n", 300);
        return std::nullopt;
    };
    vp.telnet.greeting = "KISS-488 ready\r\n";
    h.w.StartButton.Click();
    EXPECT_EQ(h.w.State.DataEvents, 1);
    EXPECT_EQ(h.w.MeasuredBox.text(), "KISS-488 ready");

    // A poll 30 s after the last data, each reply taking 300 ms: ten polls.
    h.advance(5 * 60 * 1000 + 10000);

    EXPECT_EQ(h.w.State.SampleCount, 10);
    ASSERT_EQ(h.series(1).Count(), 10);
    // Each point's x is the whole second of the event that completed its reply.
    for (int i = 1; i < 10; ++i) {
        const double seconds = (h.series(1).XValue(i) - h.series(1).XValue(i - 1)) * 86400;
        EXPECT_TRUE(std::abs(seconds - 30) < 1e-6 || std::abs(seconds - 31) < 1e-6) << seconds;
    }
    EXPECT_DOUBLE_EQ(h.series(1).YValue(9), 10.0);
    EXPECT_EQ(h.w.CountBox.caption(), "10");
    EXPECT_EQ(h.w.MinBox.caption(), "1");
    EXPECT_EQ(h.w.MaxBox.caption(), "10");
    EXPECT_EQ(h.w.DiffBox.caption(), "9");
    EXPECT_EQ(h.w.ShowMean.caption(), "5.5");

    std::istringstream file(test::ReadFile("Data.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0].substr(19), ", +1.00000E+00, 1.00000000E+00, 9.99999910E-01\r");
    EXPECT_EQ(lines[9].substr(19, 32), ", +10.00000E+00, 5.50000000E+00,");
    EXPECT_EQ(lines[9].back(), '\r');

    h.w.ResetButton.Click();
    EXPECT_EQ(h.w.CountDown.caption(), "Offline");
    EXPECT_FALSE(vp.telnet.linkUp());
}

}  // namespace
}  // namespace qs
