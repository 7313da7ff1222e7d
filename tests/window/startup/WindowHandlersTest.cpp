// The window's own handlers: the hint switch and the data folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "WindowHarness.h"

namespace qs {
namespace {

using test::WindowHarness;

TEST(HintBoxClick, TheHintBoxSwitchesEveryHintOffAndOnAgain) {
    WindowHarness h;
    h.w.HintBox.click();
    EXPECT_FALSE(h.w.Form.showHint());
    h.w.HintBox.click();
    EXPECT_TRUE(h.w.Form.showHint());
}

TEST(HintBoxClick, AppliesTheBoxRatherThanToggling) {
    WindowHarness h;
    h.w.HintBoxClick();
    h.w.HintBoxClick();
    EXPECT_TRUE(h.w.Form.showHint());
}

struct FolderCase {
    const char* name;
    const char* fileName;
    const char* folderBelowWorkingDirectory;  // nullptr: an absolute folder, given next
    const char* absoluteFolder;
};

class OpenFolderButtonClick : public ::testing::TestWithParam<FolderCase> {};

// The button opens the folder that holds the data file, where the hint says.
TEST_P(OpenFolderButtonClick, OpensTheFolderThatHoldsTheDataFile) {
    const FolderCase& c = GetParam();
    WindowHarness h;
    const std::filesystem::path cwd = std::filesystem::current_path();
    h.w.TextFileBox.setText(c.fileName);
    h.w.OpenFolderButton.Click();
    ASSERT_EQ(h.vp.desktop.opened.size(), 1u);
    std::filesystem::path expected = c.folderBelowWorkingDirectory
                                         ? (cwd / c.folderBelowWorkingDirectory).lexically_normal()
                                         : std::filesystem::path(c.absoluteFolder);
    // "/tmp/x/" and "/tmp/x" name the same folder.
    if (!expected.has_filename() && expected.has_relative_path()) expected = expected.parent_path();
    EXPECT_EQ(std::filesystem::path(h.vp.desktop.opened[0]), expected);
    EXPECT_TRUE(h.vp.dialogs.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Window, OpenFolderButtonClick,
                         ::testing::Values(FolderCase{"PlainName", "Data.txt", ".", nullptr},
                                           FolderCase{"SubFolder", "runs/march/Data.txt", "runs/march", nullptr},
                                           FolderCase{"ParentFolder", "../Data.txt", "..", nullptr},
                                           FolderCase{"AbsoluteName", "/var/log/bench/Data.txt", nullptr,
                                                      "/var/log/bench"},
                                           FolderCase{"EmptyName", "", ".", nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

// A click that shows nothing says why in the status line, not in a box.
TEST(OpenFolderButtonClickWithoutFileManager, TheStatusLineSaysNothingCouldShowTheFolder) {
    for (const bool fileManager : {true, false}) {
        WindowHarness h;
        h.vp.desktop.hasFileManager = fileManager;
        h.w.TextFileBox.setText("/var/log/bench/Data.txt");
        h.w.OpenFolderButton.Click();
        EXPECT_EQ(h.w.DataFileStatus.caption(),
                  fileManager ? "" : "Cannot show the folder \"/var/log/bench\": no file manager answered.");
        EXPECT_TRUE(h.vp.dialogs.boxes.empty());
    }
}

TEST(OpenFolderButtonClickWorkingDirectory, FollowsTheWorkingDirectory) {
    WindowHarness h;
    std::filesystem::create_directory("elsewhere");
    h.w.OpenFolderButtonClick();
    const std::filesystem::path first = h.vp.desktop.opened.at(0);
    std::filesystem::current_path("elsewhere");
    h.w.OpenFolderButtonClick();
    EXPECT_EQ(std::filesystem::path(h.vp.desktop.opened.at(1)), first / "elsewhere");
    std::filesystem::current_path(first);
}

}  // namespace
}  // namespace qs
