// Started from the desktop entry the logger works in ~/Quillstone: made on
// first use, entered, and said in the status bar.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempWorkDir.h"
#include "window/OwnFolder.h"

namespace qs {
namespace {

namespace fs = std::filesystem;
using test::TempWorkDir;

// What the home folder holds before the start, and what must follow.
struct FolderCase {
    const char* name;
    const char* before;  // "": nothing; "folder": Quillstone is there; "file": a file of that name
    bool entered;
    const char* errorStart;  // the error's start when not entered
};

class EnterOwnFolderCase : public ::testing::TestWithParam<FolderCase> {};

TEST_P(EnterOwnFolderCase, MakesTheFolderOnFirstUseAndWorksThereOrSaysWhyNotAndStays) {
    const FolderCase& c = GetParam();
    TempWorkDir dir;
    const fs::path home = dir.path() / "home";
    fs::create_directories(home);
    const fs::path own = home / kOwnFolderName;
    if (std::string(c.before) == "folder") {
        fs::create_directories(own);
        test::WriteFile((own / "config.txt").string(), "kept\n");
    } else if (std::string(c.before) == "file") {
        test::WriteFile(own.string(), "not a folder\n");
    }
    const fs::path started = fs::current_path();

    const OwnFolder folder = EnterOwnFolder(home.c_str());
    if (c.entered) {
        EXPECT_EQ(folder.error, "");
        EXPECT_EQ(fs::path(folder.path), fs::canonical(own));
        EXPECT_EQ(fs::current_path(), fs::canonical(own));
        EXPECT_TRUE(fs::is_directory(own));
        // A file written by its bare name, as the logger writes them all, lands there.
        test::WriteFile("Data.txt", "x\n");
        EXPECT_TRUE(fs::exists(own / "Data.txt"));
        // What the folder held before stays.
        if (std::string(c.before) == "folder") {
            EXPECT_EQ(test::ReadFile((own / "config.txt").string()), "kept\n");
        }
    } else {
        EXPECT_EQ(folder.path, "");
        EXPECT_EQ(folder.error.rfind(c.errorStart, 0), 0u) << folder.error;
        EXPECT_EQ(fs::current_path(), started);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Startup, EnterOwnFolderCase,
    ::testing::Values(FolderCase{"first_use", "", true, ""}, FolderCase{"again", "folder", true, ""},
                      FolderCase{"a_file_in_its_place", "file", false,
                                 "--own-folder: cannot make the folder "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EnterOwnFolder, WithoutAHomeFolderSaysSoAndStaysWhereItIs) {
    TempWorkDir dir;
    for (const char* home : {static_cast<const char*>(nullptr), ""}) {
        const OwnFolder folder = EnterOwnFolder(home);
        EXPECT_EQ(folder.error, "--own-folder: HOME is not set, so there is no home folder to work in");
        EXPECT_EQ(folder.path, "");
        EXPECT_EQ(fs::current_path(), dir.path());
    }
}

TEST(EnterOwnFolder, AHomeFolderThatCannotHoldItSaysWhyAndStays) {
    TempWorkDir dir;
    // A home "folder" that is a file: nothing can be made below it.
    test::WriteFile("home", "");
    const OwnFolder folder = EnterOwnFolder((dir.path() / "home").c_str());
    EXPECT_EQ(folder.error.rfind("--own-folder: cannot make the folder " + (dir.path() / "home/Quillstone").string() + ": ", 0),
              0u)
        << folder.error;
    EXPECT_EQ(fs::current_path(), dir.path());
}

TEST(WorkingFolderNotice, NamesTheFolder) {
    EXPECT_EQ(WorkingFolderNotice("/home/ann/Quillstone"), "Working in /home/ann/Quillstone");
}

}  // namespace
}  // namespace qs
