#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WindowHarness.h"

namespace qs {
namespace {

// Minutes of a link's life in virtual time, driven only through the link's
// events and the window's public handlers.
TEST(MeasurementScenario, GreetingThenRepliesInChunksBecomeTimedSamples) {
    test::WindowHarness h;
    auto& vp = h.vp;
    // The adapter answers only what the test delivers.
    vp.telnet.reply = [](const std::string&) -> std::optional<std::string> { return std::nullopt; };
    vp.telnet.greeting = "KISS-488 ready\r\n";
    vp.telnet.Connect();
    h.advance(100);
    EXPECT_EQ(h.w.State.DataEvents, 1);
    EXPECT_EQ(h.w.MeasuredBox.text(), "KISS-488 ready");

    // One reply every 30 s for five minutes, each split in two chunks 200 ms apart.
    for (int i = 0; i < 10; ++i) {
        std::ostringstream value;
        value << "+" << (1 + i) << ".000";
        vp.telnet.deliver(value.str(), 30000 * (i + 1) - 100);
        vp.telnet.deliver("00E+00\r\n", 30000 * (i + 1) + 100);
    }
    h.advance(5 * 60 * 1000 + 200);

    EXPECT_EQ(h.w.State.SampleCount, 10);
    ASSERT_EQ(h.series(1).Count(), 10);
    // Each point's x is the whole second of the event that completed its reply.
    for (int i = 1; i < 10; ++i) EXPECT_NEAR(h.series(1).XValue(i) - h.series(1).XValue(i - 1), 30.0 / 86400, 1e-9);
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
    EXPECT_EQ(lines[0].substr(0, 37), "2024-03-05 14:07:39, +1.00000E+00, 1.");
    EXPECT_EQ(lines[9].substr(0, 39), "2024-03-05 14:12:09, +10.00000E+00, 5.5");
    EXPECT_EQ(lines[9].back(), '\r');
}

}  // namespace
}  // namespace qs
