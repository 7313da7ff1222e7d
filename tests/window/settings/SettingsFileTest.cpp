// The settings file as bytes: reading, writing, and replacing it safely.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <optional>
#include <set>
#include <string>

#include "OrdinaryUser.h"
#include "TempWorkDir.h"
#include "link/LinkTarget.h"
#include "window/Settings.h"
#include "window/UnattendedSettings.h"

namespace qs {
namespace {

using test::AsOrdinaryUser;

std::string text(const Settings& s, std::size_t line) { return std::get<std::string>(*s.values[line - 1]); }
bool flag(const Settings& s, std::size_t line) { return std::get<bool>(*s.values[line - 1]); }

// 23 lines, all texts "t<line>" and all flags checked.
std::string fileOf(const char* lineEnd) {
    std::string bytes;
    for (std::size_t i = 0; i < kSettingCount; ++i)
        bytes +=
            (SettingSlots()[i].kind == SettingKind::Flag ? std::string("1") : "t" + std::to_string(i + 1)) + lineEnd;
    return bytes;
}

TEST(SettingSlots, HoldTheTwentyThreeControlsInFileOrder) {
    const char* const names[] = {"HostBox",
                                 "IntervalBox",
                                 "CommandBox",
                                 "CommandBox2",
                                 "DisplayDataBox",
                                 "DisplayMeanBox",
                                 "MeanBox",
                                 "ScrollBox",
                                 "DeleteFirstCheckBox",
                                 "AutoReconnect",
                                 "FilterCheckbox",
                                 "FilterPoints",
                                 "BoldRaw",
                                 "BoldMean",
                                 "BoldFilter",
                                 "SamplesPerPrintedPage",
                                 "TextFileBox",
                                 "HintBox",
                                 "MinStringBox",
                                 "SaveResultsBox",
                                 "TimeOutBox",
                                 "StrandedCheckBox",
                                 "AbsoluteCheckBox"};
    const std::set<std::size_t> flags{5, 6, 9, 10, 11, 13, 14, 15, 18, 20, 22, 23};
    for (std::size_t line = 1; line <= kSettingCount; ++line) {
        EXPECT_EQ(SettingSlots()[line - 1].control, names[line - 1]) << line;
        EXPECT_EQ(SettingSlots()[line - 1].kind, flags.contains(line) ? SettingKind::Flag : SettingKind::Text) << line;
    }
}

TEST(ParseSettings, ReadsCarriageReturnLineFeedAndLoneLineFeedAlike) {
    for (const char* end : {"\r\n", "\n"}) {
        const Settings s = ParseSettings(fileOf(end));
        EXPECT_EQ(text(s, 1), "t1") << end;
        EXPECT_EQ(text(s, 21), "t21");
        EXPECT_TRUE(flag(s, 23));
        EXPECT_EQ(FormatSettings(s), fileOf("\r\n"));
    }
}

struct FlagCase {
    const char* line;
    bool checked;
};

class FlagLine : public ::testing::TestWithParam<FlagCase> {};

// A flag is the C library's atol of its line, checked when not zero.
TEST_P(FlagLine, ChecksItsBoxWhenItsNumberIsNotZero) {
    std::string bytes = "host\r\n2\r\nc1\r\nc2\r\n" + std::string(GetParam().line) + "\r\n";
    EXPECT_EQ(flag(ParseSettings(bytes), 5), GetParam().checked);
}

INSTANTIATE_TEST_SUITE_P(Settings, FlagLine,
                         ::testing::Values(FlagCase{"1", true}, FlagCase{"2", true}, FlagCase{"-1", true},
                                           FlagCase{"12abc", true}, FlagCase{" 3", true}, FlagCase{"0", false},
                                           FlagCase{"", false}, FlagCase{"abc", false}, FlagCase{"+0", false},
                                           FlagCase{"00", false}, FlagCase{"0x1", false}));

TEST(ParseSettings, FewerLinesLeaveTheRestAbsent) {
    const Settings s = ParseSettings("10.0.0.7\r\n3\r\n");
    EXPECT_EQ(text(s, 1), "10.0.0.7");
    EXPECT_EQ(text(s, 2), "3");
    for (std::size_t i = 2; i < kSettingCount; ++i) EXPECT_FALSE(s.values[i].has_value()) << i + 1;
    for (const auto& value : ParseSettings("").values) EXPECT_FALSE(value.has_value());
}

TEST(ParseSettings, ALastLineWithoutItsLineEndIsRead) {
    const Settings s = ParseSettings("10.0.0.7\r\n3");
    EXPECT_EQ(text(s, 2), "3");
    EXPECT_FALSE(s.values[2].has_value());
}

TEST(ParseSettings, ExtraLinesAreIgnored) {
    const Settings s = ParseSettings(fileOf("\r\n") + "extra\r\n0\r\n");
    EXPECT_EQ(FormatSettings(s), fileOf("\r\n"));
}

TEST(ParseSettings, EmptyLinesAreEmptyTexts) {
    const Settings s = ParseSettings("\r\n\r\n\r\n");
    EXPECT_EQ(text(s, 1), "");
    EXPECT_EQ(text(s, 3), "");
}

// Texts longer than 253 characters are read whole and stay in their line,
// instead of spilling their rest into the next position.
TEST(ParseSettings, ALongTextIsReadWholeAndDoesNotSpill) {
    const std::string longCommand(300, 'Q');
    const Settings s = ParseSettings("h\r\n2\r\n" + longCommand + "\r\nsecond\r\n1\r\n");
    EXPECT_EQ(text(s, 3), longCommand);
    EXPECT_EQ(text(s, 4), "second");
    EXPECT_TRUE(flag(s, 5));
}

TEST(FormatSettings, EveryLineEndsWithCarriageReturnLineFeed) {
    Settings s;
    s.values[0] = std::string("host");
    s.values[4] = true;
    const std::string bytes = FormatSettings(s);
    EXPECT_EQ(bytes.substr(0, 15), "host\r\n\r\n\r\n\r\n1\r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 23);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 23);
}

TEST(FormatSettings, ALineBreakInsideATextCannotShiftTheLinesAfterIt) {
    Settings s = ParseSettings(fileOf("\r\n"));
    s.values[2] = std::string("MEAS?\r\nRESET");
    const Settings back = ParseSettings(FormatSettings(s));
    EXPECT_EQ(text(back, 3), "MEAS?  RESET");
    EXPECT_EQ(text(back, 4), "t4");
    EXPECT_TRUE(flag(back, 23));
}

TEST(SettingsFile, WriteThenReadGivesBackEveryValue) {
    test::TempWorkDir dir;
    Settings s = ParseSettings(fileOf("\r\n"));
    s.values[8] = false;
    s.values[16] = std::string("run 7.csv");
    ASSERT_TRUE(ReplaceFileContents("config.txt", FormatSettings(s)));
    const std::optional<Settings> back = ReadSettingsFile("config.txt");
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->values, s.values);
    EXPECT_FALSE(ReadSettingsFile("missing.txt").has_value());
}

class SafeReplace : public ::testing::Test {
protected:
    test::TempWorkDir dir;
    const std::string old = fileOf("\r\n");

    void SetUp() override { test::WriteFile("config.txt", old); }
    void expectOldFileWholeAndNoTemporary() {
        EXPECT_EQ(test::ReadFile("config.txt"), old);
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "config.txt" || entry.is_directory()) << "left behind: " << name;
        }
    }
};

TEST_F(SafeReplace, ReplacesTheWholeFileAndLeavesNoTemporary) {
    EXPECT_TRUE(ReplaceFileContents("config.txt", "new\r\n"));
    EXPECT_EQ(test::ReadFile("config.txt"), "new\r\n");
    EXPECT_FALSE(test::FileExists(TemporaryFileFor("config.txt")));
}

TEST_F(SafeReplace, KeepsThePermissionsOfTheOldFile) {
    std::filesystem::permissions("config.txt",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_TRUE(ReplaceFileContents("config.txt", "new\r\n"));
    EXPECT_EQ(std::filesystem::status("config.txt").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// Where no temporary can be made, the file is written where it stands, as
// a plain save would.
TEST_F(SafeReplace, ATemporaryThatCannotBeCreatedGivesWayToWritingInPlace) {
    std::filesystem::create_directory(TemporaryFileFor("config.txt"));
    EXPECT_TRUE(ReplaceFileContents("config.txt", "new\r\n"));
    EXPECT_EQ(test::ReadFile("config.txt"), "new\r\n");
}

// A folder the user may not write, holding a "config.txt" the user may: the
// file is rewritten in place; one the user may not write either stays whole.
// Permissions bind only an ordinary user, so as root the saves run in a
// child process that has become the user "nobody".
TEST_F(SafeReplace, InAFolderTheUserMayNotWriteAWritableFileIsRewrittenInPlace) {
    namespace fs = std::filesystem;
    fs::permissions("config.txt", fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                                      ~fs::perms::others_exec);
    const fs::perms folder = fs::status(dir.path()).permissions();
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const std::optional<bool> written = AsOrdinaryUser([] { return ReplaceFileContents("config.txt", "new\r\n"); });
    fs::permissions("config.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::optional<bool> refused = AsOrdinaryUser([] { return !ReplaceFileContents("config.txt", "newer\r\n"); });
    fs::permissions(dir.path(), folder);
    if (!written || !refused) GTEST_SKIP() << "no ordinary user to run the saves as";
    EXPECT_TRUE(*written);
    EXPECT_TRUE(*refused);
    EXPECT_EQ(test::ReadFile("config.txt"), "new\r\n");
    EXPECT_FALSE(test::FileExists(TemporaryFileFor("config.txt")));
}

// A config.txt made read-only to pin its settings stays as it is, owner
// and all, in a folder anyone may write: by an ordinary user, whom the
// file's permission binds, and by root, who may write any file but leaves
// one that has no write bit at all.
TEST_F(SafeReplace, AReadOnlyFileIsLeftAsItIsInAWritableFolder) {
    namespace fs = std::filesystem;
    const fs::perms folder = fs::status(dir.path()).permissions();
    fs::permissions(dir.path(), fs::perms::all);
    fs::permissions("config.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    struct stat before {};
    ASSERT_EQ(::stat("config.txt", &before), 0);

    const std::optional<bool> asUser = AsOrdinaryUser([] { return !ReplaceFileContents("config.txt", "new\r\n"); });
    const bool asThisProcess = !ReplaceFileContents("config.txt", "newer\r\n");
    fs::permissions(dir.path(), folder);

    EXPECT_TRUE(asThisProcess);
    if (asUser) {
        EXPECT_TRUE(*asUser);
    }
    struct stat after {};
    ASSERT_EQ(::stat("config.txt", &after), 0);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_ino, before.st_ino) << "replaced by another file";
    expectOldFileWholeAndNoTemporary();
    if (!asUser) GTEST_SKIP() << "no ordinary user to run the save as";
}

// Through a symbolic link the file it leads to takes the settings, in its
// own folder, and the link stays; a link to a missing file creates it.
TEST_F(SafeReplace, ASymbolicLinkIsWrittenThroughAndStaysALink) {
    namespace fs = std::filesystem;
    fs::create_directory("real");
    fs::rename("config.txt", "real/config.txt");
    fs::create_symlink("real/config.txt", "config.txt");
    ASSERT_TRUE(ReplaceFileContents("config.txt", "new\r\n"));
    EXPECT_TRUE(fs::is_symlink("config.txt"));
    EXPECT_EQ(test::ReadFile("real/config.txt"), "new\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator("real"), fs::directory_iterator()), 1);

    fs::create_symlink("../elsewhere.txt", "real/link.txt");
    fs::create_symlink("real/link.txt", "chain.txt");
    ASSERT_TRUE(ReplaceFileContents("chain.txt", "chained\r\n"));
    EXPECT_TRUE(fs::is_symlink("chain.txt"));
    EXPECT_EQ(test::ReadFile("elsewhere.txt"), "chained\r\n");
}

// The file-size limit makes the write fail half-way, as a full disk would.
TEST_F(SafeReplace, AWriteThatFailsHalfWayLeavesTheOldFileWhole) {
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool replaced = ReplaceFileContents("config.txt", std::string(4096, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(replaced);
    expectOldFileWholeAndNoTemporary();
}

TEST_F(SafeReplace, AStaleTemporaryOfThisProcessIsReplaced) {
    test::WriteFile(TemporaryFileFor("config.txt"), "stale");
    EXPECT_TRUE(ReplaceFileContents("config.txt", "new\r\n"));
    EXPECT_EQ(test::ReadFile("config.txt"), "new\r\n");
    EXPECT_FALSE(test::FileExists(TemporaryFileFor("config.txt")));
}

TEST(TemporaryFileFor, LiesInTheSameFolder) {
    EXPECT_EQ(std::filesystem::path(TemporaryFileFor("config.txt")).parent_path(), "");
    EXPECT_EQ(std::filesystem::path(TemporaryFileFor("/a/b/config.txt")).parent_path(), "/a/b");
}

// ---- a logger that runs unattended cannot ask: settings it would fail to
//      convert on every poll are refused before it starts, naming the line.

struct UnattendedCase {
    const char* name;
    std::size_t line;  // 0: the design file as it is
    const char* text;  // nullptr: the file ends before that line
    const char* why;   // nullptr: usable
};

// Start's own words for a host box it refuses, behind the line.
const std::string kRawWithoutPort =
    "line 1 (HostBox): A raw socket needs its port (tcp://host:port, often 5025): \"tcp://10.0.0.5\" has none.\n\n" +
    HostBoxForms();
const std::string kUnknownScheme =
    "line 1 (HostBox): Unknown kind of link \"gpib://\" in \"gpib://10.0.0.5\".\n\n" + HostBoxForms();

class UnattendedSettings : public ::testing::TestWithParam<UnattendedCase> {};

TEST_P(UnattendedSettings, AreRefusedWithTheirLineOnlyWhenTheLoggerCouldNotUseThem) {
    const UnattendedCase c = GetParam();
    static const char* const kDesign[kSettingCount] = {
        "192.168.1.88", "2", "MEAS:VOLT:DC? 5,0.00001", "MEAS:VOLT:DC? 5,0.00001", "1", "1", "10", "0", "0", "1",
        "1", "10", "1", "0", "0", "500", "Data.txt", "1", "5", "0", "5", "1", "0"};
    std::string bytes;
    for (std::size_t line = 1; line <= kSettingCount; ++line) {
        if (line == c.line && !c.text) break;
        bytes += std::string(line == c.line ? c.text : kDesign[line - 1]) + "\r\n";
    }
    const std::optional<std::string> why = WhyNotUnattended(ParseSettings(bytes));
    if (c.why) {
        EXPECT_EQ(why.value_or("usable"), c.why);
    } else {
        EXPECT_FALSE(why) << *why;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, UnattendedSettings,
    ::testing::Values(
        UnattendedCase{"DesignFile", 0, "", nullptr},
        UnattendedCase{"NoAddress", 1, "", "line 1 (HostBox): no adapter address"},
        UnattendedCase{"RawSocket", 1, "tcp://10.0.0.5:5025", nullptr},
        UnattendedCase{"Controller", 1, "prologix://10.0.0.7/22", nullptr},
        UnattendedCase{"RawSocketWithoutPort", 1, "tcp://10.0.0.5", kRawWithoutPort.c_str()},
        UnattendedCase{"UnknownScheme", 1, "gpib://10.0.0.5", kUnknownScheme.c_str()},
        UnattendedCase{"BlankAddress", 1, " \t", "line 1 (HostBox): no adapter address"},
        UnattendedCase{"NoFileAtAll", 1, nullptr, "line 1 (HostBox): no adapter address"},
        UnattendedCase{"IntervalNotANumber", 2, "abc", "line 2 (IntervalBox): 'abc' is not a valid floating point value"},
        UnattendedCase{"IntervalZero", 2, "0", "line 2 (IntervalBox): the interval must be more than 0 seconds"},
        UnattendedCase{"IntervalFraction", 2, "0.25", nullptr},
        UnattendedCase{"EmptyMinimumLength", 19, "", "line 19 (MinStringBox): '' is not a valid integer value"},
        UnattendedCase{"TimeOutNotAnInteger", 21, "2.5", "line 21 (TimeOutBox): '2.5' is not a valid integer value"},
        UnattendedCase{"FileEndsAfterTheAddress", 2, nullptr, nullptr},
        // What the window logs with, headless takes too.
        UnattendedCase{"EmptyMeanBox", 7, "", nullptr},
        UnattendedCase{"EmptyScrollBox", 8, "", nullptr},
        UnattendedCase{"ScrollBoxNotANumber", 8, "all", nullptr},
        UnattendedCase{"EmptyFilterPoints", 12, "", nullptr},
        UnattendedCase{"MeanBoxNotANumber", 7, "ten", "line 7 (MeanBox): 'ten' is not a valid integer value"},
        UnattendedCase{"FilterPointsNotANumber", 12, "x", "line 12 (FilterPoints): 'x' is not a valid integer value"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs
