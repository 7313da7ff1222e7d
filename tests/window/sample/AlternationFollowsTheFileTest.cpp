// In Alternate Commands the data file does not say which command a line
// answers, and Load takes its lines by turns. So the live logging keeps the
// file's strict alternation whatever happens between two lines: the turn
// moves on only when a line was written.
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WindowHarness.h"

namespace qs {
namespace {

using test::ReadFile;

constexpr const char* kCommand1 = "CMD1";
constexpr const char* kCommand2 = "CMD2";

struct Disturbance {
    const char* name;
    // What the adapter answers to the n-th command (1-based), or nullopt
    // for the usual reply: 1.0 to command 1, 2.0 to command 2.
    std::function<std::optional<std::string>(test::WindowHarness&, int n, const std::string& command)> answer;
    // Done to the window once, after this many milliseconds of logging.
    int atMs = -1;
    std::function<void(test::WindowHarness&)> act;
};

std::vector<std::string> dataFileLines() {
    std::istringstream file(ReadFile("Data.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

class AlternateCommandsFile : public ::testing::TestWithParam<Disturbance> {};

TEST_P(AlternateCommandsFile, ReloadsWithEverySampleOnItsOwnChannel) {
    const Disturbance& d = GetParam();
    test::WindowHarness h;
    TGPIBTelnet& w = h.w;
    w.FormCreate();
    w.RadioButton3.setChecked(true);
    w.CommandBox.setText(kCommand1);
    w.CommandBox2.setText(kCommand2);
    w.AutoReconnect.setChecked(true);
    h.vp.telnet.reply = [&h, &d, n = 0](const std::string& command) mutable -> std::optional<std::string> {
        ++n;
        if (d.answer) {
            if (std::optional<std::string> special = d.answer(h, n, command)) return special;
        }
        return std::string(command == kCommand2 ? "+2.00000E+00" : "+1.00000E+00") + "\r\n";
    };
    w.StartButton.Click();
    if (d.act) {
        h.advance(d.atMs);
        d.act(h);
    }
    h.advance(60000);
    w.ResetButton.Click();

    const std::vector<std::string> lines = dataFileLines();
    ASSERT_GE(lines.size(), 8u);
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_NE(lines[i].find(i % 2 == 0 ? ", +1.00000E+00, " : ", +2.00000E+00, "), std::string::npos)
            << "line " << i << ": " << lines[i];

    w.LoadButtonClick();
    ASSERT_GT(h.series(1).Count(), 0);
    for (int i = 0; i < h.series(1).Count(); ++i) EXPECT_EQ(h.series(1).YValue(i), 1.0) << i;
    for (int i = 0; i < h.series(4).Count(); ++i) EXPECT_EQ(h.series(4).YValue(i), 2.0) << i;
}

std::function<std::optional<std::string>(test::WindowHarness&, int, const std::string&)> onceToCommandTwo(
    const char* reply) {
    return [reply, done = false](test::WindowHarness&, int, const std::string& command) mutable
           -> std::optional<std::string> {
        if (done || command != kCommand2) return std::nullopt;
        done = true;
        return std::string(reply);
    };
}

INSTANTIATE_TEST_SUITE_P(
    Disturbances, AlternateCommandsFile,
    ::testing::Values(
        Disturbance{"Undisturbed", nullptr, -1, nullptr},
        Disturbance{"ATooShortReplyToCommandTwo", onceToCommandTwo("2.0\r\n"), -1, nullptr},
        Disturbance{"KissInReplyToCommandTwo", onceToCommandTwo("KISS\r\n"), -1, nullptr},
        Disturbance{"ANumberOutOfRangeForCommandTwo", onceToCommandTwo("1E999\r\n"), -1, nullptr},
        Disturbance{"ALinkLostBeforeCommandTwosReply",
                    [done = false](test::WindowHarness& h, int, const std::string& command) mutable
                    -> std::optional<std::string> {
                        if (done || command != kCommand2) return std::nullopt;
                        done = true;
                        h.vp.telnet.dropLink(5);
                        return std::string();
                    },
                    -1, nullptr},
        Disturbance{"AStopAfterACommandOneLine", nullptr, 2100,
                    [](test::WindowHarness& h) {
                        h.w.ResetButton.Click();
                        h.advance(1000);
                        h.w.StartButton.Click();
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs

namespace qs {
namespace {

// After Load, the next line continues the loaded file's turns; an emptied
// file starts with command 1.
TEST(AlternateCommandsTurn, FollowsTheLoadedLinesAndStartsAfreshWithAnEmptiedFile) {
    const struct {
        int lines;
        bool emptied;
        int next;
    } cases[] = {{3, false, 2}, {4, false, 1}, {3, true, 1}};
    for (const auto& c : cases) {
        test::WindowHarness h;
        h.w.RadioButton3.setChecked(true);
        std::string file;
        for (int i = 0; i < c.lines; ++i) file += "2026-12-08 00:35:5" + std::to_string(i) + ", +1.0E+00, 1.0E+00, 1.0E+00\r\n";
        test::WriteFile("Data.txt", file);
        h.w.LoadButtonClick();
        if (c.emptied) {
            h.vp.dialogs.answers.push_back(MsgResult::Yes);
            h.w.DeleteButtonClick();
        }
        EXPECT_EQ(h.w.State.nextLineChannel, c.next) << c.lines << (c.emptied ? " emptied" : "");
    }
}

}  // namespace
}  // namespace qs
