// Emptying the data file and switching to another name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "WindowHarness.h"
#include "core/SampleTime.h"

namespace qs {
namespace {

using test::WindowHarness;

const char* const kQuestion =
    "This permanently deletes the text data file. If any data currently exists, it will be deleted. It will also "
    "erase anything currently displayed. Are you sure you want to do this?";

class EmptyAndSwitch : public ::testing::Test {
protected:
    WindowHarness h;

    // Three samples through the live path: points, statistics, captions, file lines.
    void logThreeSamples() {
        h.w.EvaluateSample("1.5", SampleTime{2024, 1, 1, 0, 0, 1});
        h.w.EvaluateSample("2.5", SampleTime{2024, 1, 1, 0, 0, 2});
        h.w.EvaluateSample("0.5", SampleTime{2024, 1, 1, 0, 0, 3});
        h.w.State.HeldValue1 = 3.0;
        h.w.State.HeldValue2 = 4.0;
        h.w.State.ReplyPhase = 1;
        h.w.State.ScrollPoints = 9;
        h.w.State.MeanPoints = 5;
    }
    void expectReset() {
        for (int n = 1; n <= 6; ++n) EXPECT_EQ(h.series(n).Count(), 0) << n;
        const LoggerState& s = h.w.State;
        EXPECT_EQ(s.SampleCount, 0);
        EXPECT_EQ(s.Minimum, 999999999999999.0);
        EXPECT_EQ(s.Maximum, -999999999999999.0);
        EXPECT_EQ(s.FilterState1, 0.0);
        EXPECT_EQ(s.FilterState2, 0.0);
        EXPECT_EQ(s.LastValue1, 0.0);
        EXPECT_EQ(s.LastValue2, 0.0);
        // Left alone by the reset.
        EXPECT_EQ(s.Difference, 2.0);
        EXPECT_EQ(s.HeldValue1, 3.0);
        EXPECT_EQ(s.HeldValue2, 4.0);
        EXPECT_EQ(s.ReplyPhase, 1);
        EXPECT_EQ(s.ScrollPoints, 9);
        EXPECT_EQ(s.MeanPoints, 5);
        EXPECT_EQ(h.w.CountBox.caption(), "3");
        EXPECT_EQ(h.w.MaxBox.caption(), "2.5");
        EXPECT_EQ(h.w.LastBox.caption(), "0.5");
    }
    int lines(const std::string& name) {
        const std::string bytes = test::ReadFile(name);
        return static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n'));
    }
};

TEST_F(EmptyAndSwitch, AnsweringNoKeepsFileChartAndStatistics) {
    logThreeSamples();
    h.vp.dialogs.answers.push_back(MsgResult::No);
    h.w.DeleteButton.Click();
    ASSERT_EQ(h.vp.dialogs.boxes.size(), 1u);
    const auto& box = h.vp.dialogs.boxes[0];
    EXPECT_EQ(box.text, kQuestion);
    EXPECT_EQ(box.caption, "Are you sure?");
    EXPECT_EQ(box.buttons, MsgButtons::YesNo);
    EXPECT_EQ(box.icon, MsgIcon::Warning);
    EXPECT_EQ(lines("Data.txt"), 3);
    EXPECT_EQ(h.series(1).Count(), 3);
    EXPECT_EQ(h.w.State.SampleCount, 3);
    EXPECT_EQ(h.w.State.Minimum, 0.5);
}

TEST_F(EmptyAndSwitch, AnsweringYesWhileLoggingStartsOverWithTheNextSample) {
    logThreeSamples();
    h.vp.dialogs.answers.push_back(MsgResult::Yes);
    h.w.DeleteButton.Click();
    EXPECT_FALSE(test::FileExists("Data.txt"));
    expectReset();
    h.w.EvaluateSample("7.5", SampleTime{2024, 1, 1, 0, 0, 4});
    EXPECT_EQ(h.w.CountBox.caption(), "1");
    EXPECT_EQ(h.w.State.Minimum, 7.5);
    EXPECT_EQ(h.w.State.Maximum, 7.5);
    EXPECT_EQ(lines("Data.txt"), 1);
    EXPECT_EQ(test::ReadFile("Data.txt").substr(0, 25), "2024-01-01 00:00:04, 7.5,");
}

// A file the user marked read-only is not deleted, whoever runs the logger,
// even in a folder where it could be; the chart starts over all the same.
TEST_F(EmptyAndSwitch, AReadOnlyDataFileKeepsItsLinesAndTheStatusBarSaysSo) {
    logThreeSamples();
    namespace fs = std::filesystem;
    fs::permissions("Data.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    h.vp.dialogs.answers.push_back(MsgResult::Yes);
    h.w.DeleteButton.Click();
    EXPECT_EQ(lines("Data.txt"), 3);
    expectReset();
    EXPECT_EQ(h.w.DataFileStatus.caption(), "Data file \"Data.txt\" kept with its lines: it is read-only");
}

TEST_F(EmptyAndSwitch, AnsweringYesWithoutAFileStillResets) {
    logThreeSamples();
    std::remove("Data.txt");
    h.w.DeleteButton.Click();
    EXPECT_EQ(h.vp.dialogs.boxes.size(), 1u);
    EXPECT_TRUE(h.vp.dialogs.errors.empty());
    expectReset();
    EXPECT_EQ(h.w.DataFileStatus.caption(), "");
}

TEST_F(EmptyAndSwitch, TabbingThroughTheFileNameResetsButKeepsTheFile) {
    logThreeSamples();
    h.w.TextFileBox.exit();
    expectReset();
    EXPECT_TRUE(h.vp.dialogs.boxes.empty());
    EXPECT_EQ(lines("Data.txt"), 3);
    h.w.LoadButtonClick();
    EXPECT_EQ(h.series(1).Count(), 3);
    EXPECT_EQ(h.w.CountBox.caption(), "3");
}

TEST_F(EmptyAndSwitch, LeavingAnEmptyNameAsksForOneAndTakesTheFocusBack) {
    logThreeSamples();
    int focusRequests = 0;
    h.w.TextFileBox.onFocusRequest = [&] { ++focusRequests; };
    h.w.TextFileBox.setText("");
    h.w.TextFileBox.exit();
    h.w.TextFileBox.exit();
    ASSERT_EQ(h.vp.dialogs.boxes.size(), 2u);
    for (const auto& box : h.vp.dialogs.boxes) {
        EXPECT_EQ(box.text, "A text file name must be named. Choose a name.");
        EXPECT_EQ(box.caption, "Need a file name");
        EXPECT_EQ(box.buttons, MsgButtons::Ok);
        EXPECT_EQ(box.icon, MsgIcon::None);
    }
    EXPECT_EQ(focusRequests, 2);
    EXPECT_EQ(h.series(1).Count(), 3);
    EXPECT_EQ(h.w.State.SampleCount, 3);
}

TEST_F(EmptyAndSwitch, EmptyingNeverRemovesAFolderOfThatName) {
    logThreeSamples();
    std::filesystem::create_directory("runs");
    h.w.TextFileBox.setText("runs");
    h.w.DeleteButtonClick();
    EXPECT_TRUE(std::filesystem::is_directory("runs"));
    EXPECT_EQ(h.series(1).Count(), 0);
    EXPECT_EQ(h.w.DataFileStatus.caption(), "");
}

TEST_F(EmptyAndSwitch, EmptyingFollowsTheNameInTheBox) {
    logThreeSamples();
    test::WriteFile("Other.txt", "keep\n");
    h.w.TextFileBox.setText("Other.txt");
    h.w.DeleteButtonClick();
    EXPECT_FALSE(test::FileExists("Other.txt"));
    EXPECT_EQ(lines("Data.txt"), 3);
}

}  // namespace
}  // namespace qs
