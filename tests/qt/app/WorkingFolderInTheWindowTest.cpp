// Started from the desktop entry (--own-folder) the window works in
// ~/Quillstone and says so in the status bar; started from a shell it
// works where it was started and says nothing of it.
#include <QStatusBar>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "ConfigLines.h"
#include "TempWorkDir.h"
#include "WindowTestSupport.h"
#include "qt/app/LoggerApp.h"
#include "qt/app/LoggerMain.h"

namespace qs::test {
namespace {

namespace fs = std::filesystem;

// HOME pointed at a folder of the test for its lifetime.
class HomeAt {
public:
    explicit HomeAt(const fs::path& home) {
        if (const char* old = std::getenv("HOME")) previous_ = old;
        ::setenv("HOME", home.c_str(), 1);
    }
    ~HomeAt() {
        if (previous_) ::setenv("HOME", previous_->c_str(), 1);
        else ::unsetenv("HOME");
    }
    HomeAt(const HomeAt&) = delete;
    HomeAt& operator=(const HomeAt&) = delete;

private:
    std::optional<std::string> previous_;
};

struct FolderCase {
    const char* name;
    bool ownFolder;  // --own-folder on the command line
};

class WorkingFolderInTheWindow : public ::testing::TestWithParam<FolderCase> {
protected:
    TempWorkDir dir;
};

TEST_P(WorkingFolderInTheWindow, TheDesktopEntrysStartWorksInItsOwnFolderAndAShellStartWhereItWas) {
    const FolderCase& c = GetParam();
    const fs::path started = dir.path() / "started-here";
    fs::create_directories(started);
    fs::current_path(started);
    fs::create_directories(dir.path() / "home");
    HomeAt home(dir.path() / "home");
    const fs::path own = dir.path() / "home" / "Quillstone";

    const WorkingFolder folder =
        EnterWorkingFolder(c.ownFolder ? std::vector<std::string>{"--own-folder"} : std::vector<std::string>{});
    EXPECT_FALSE(folder.error.has_value()) << folder.error.value_or("");
    const fs::path expected = c.ownFolder ? fs::canonical(own) : started;
    EXPECT_EQ(fs::current_path(), expected);
    // Only the desktop entry's start makes the folder.
    EXPECT_EQ(fs::exists(own), c.ownFolder);

    {
        auto app = std::make_unique<LoggerApp>();
        app->create();
        if (!folder.notice.empty()) app->window.showWorkingFolder(folder.notice);
        app->window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window));
        QStatusBar* bar = app->window.statusBar();
        if (c.ownFolder) {
            EXPECT_EQ(bar->currentMessage().toStdString(), "Working in " + expected.string());
            // A notice stands for its time, then the folder is said again.
            bar->showMessage(QStringLiteral("Chart printed"), 50);
            EXPECT_EQ(bar->currentMessage(), "Chart printed");
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return bar->currentMessage().toStdString() == "Working in " + expected.string(); }, 3000))
                << bar->currentMessage().toStdString();
        } else {
            EXPECT_EQ(bar->currentMessage(), QString());
        }
        app->window.close();
    }
    // The settings the close writes land in the folder worked in, none elsewhere.
    EXPECT_EQ(ReadLines((expected / "config.txt").string()).size(), 23u);
    EXPECT_TRUE(fs::exists(expected / "quillstone.conf"));
    const fs::path other = c.ownFolder ? started : own;
    EXPECT_FALSE(fs::exists(other / "config.txt"));
    EXPECT_FALSE(fs::exists(dir.path() / "home" / "config.txt"));
}

INSTANTIATE_TEST_SUITE_P(App, WorkingFolderInTheWindow,
                         ::testing::Values(FolderCase{"DesktopEntry", true}, FolderCase{"Shell", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WorkingFolder, AHomeThatCannotHoldTheFolderIsSaidAndTheStartStaysWhereItWas) {
    TempWorkDir dir;
    WriteFile("home", "a file, not a folder");
    HomeAt home(dir.path() / "home");
    const WorkingFolder folder = EnterWorkingFolder({"--own-folder"});
    ASSERT_TRUE(folder.error.has_value());
    EXPECT_NE(folder.error->find("--own-folder: cannot make the folder"), std::string::npos) << *folder.error;
    EXPECT_EQ(folder.notice, "");
    EXPECT_EQ(fs::current_path(), dir.path());
}

}  // namespace
}  // namespace qs::test
