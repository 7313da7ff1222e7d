// A whole data file's readings, read as Load reads it.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "TempWorkDir.h"
#include "datafile/LoadedChannels.h"

namespace qs {
namespace {

// 2024-01-01 00:00:00 on the logger's time axis (day 45292), in seconds.
constexpr double kNewYear = 45292.0 * 86400.0;

const std::string kLines =
    "2024-01-01 00:00:01, +1.50000000E+00, 1.50000000E+00, 1.50000000E+00\r\n"
    "2024-01-01 00:00:02, +2.50000000E+00, 2.00000000E+00, 1.60000000E+00\r\n"
    "2024-02-30 00:00:03, +9.00000000E+00, 2.00000000E+00, 1.60000000E+00\r\n"  // no such day
    "2024-01-01 00:00:04, INF, 2.00000000E+00, 1.60000000E+00\r\n"               // reads as infinite
    "2024-01-01 00:00:05, 1E999, 2.00000000E+00, 1.60000000E+00\r\n"             // so does an overflow
    "a line that is no line at all\r\n"                                          // repeats the last fields
    "\r\n"
    "2024-01-01 00:00:06, +1.2000002024-01-01 00:00:07, +3.0, 3.0, 3.0\r\n"     // torn, the next one glued on
    "2024-01-01 23:59:59, -5.00000000E-01, 1.16666667E+00, 1.39000000E+00\r\n";

struct ChannelsCase {
    const char* name;
    bool alternate;
    long long lines, skipped;
    std::vector<double> seconds1, values1, seconds2, values2;
};

class LoadedChannelsRule : public ::testing::TestWithParam<ChannelsCase> {};

TEST_P(LoadedChannelsRule, SkipsAndCountsWhatLoadSkipsAndSplitsChannelsAsLoadDoes) {
    const ChannelsCase& c = GetParam();
    test::TempWorkDir dir;
    test::WriteFile("Data.txt", kLines);
    std::string error;
    const std::optional<LoadedChannels> read = ReadLoadedChannels("Data.txt", c.alternate, error);
    ASSERT_TRUE(read.has_value()) << error;
    EXPECT_EQ(read->lines, c.lines);
    EXPECT_EQ(read->skipped, c.skipped);
    EXPECT_EQ(read->channel1.seconds, c.seconds1);
    EXPECT_EQ(read->channel1.values, c.values1);
    EXPECT_EQ(read->channel2.seconds, c.seconds2);
    EXPECT_EQ(read->channel2.values, c.values2);
}

// Skipped: the day that does not exist, the two infinite readings, the
// unreadable and the empty line, which repeat the fields of the 1E999 line
// before them, and the torn line. A skipped line does not take a turn in
// alternate mode.
INSTANTIATE_TEST_SUITE_P(
    Files, LoadedChannelsRule,
    ::testing::Values(ChannelsCase{"command1", false, 9, 6,
                                   {kNewYear + 1, kNewYear + 2, kNewYear + 86399},
                                   {1.5, 2.5, -0.5},
                                   {},
                                   {}},
                      ChannelsCase{"alternate", true, 9, 6,
                                   {kNewYear + 1, kNewYear + 86399},
                                   {1.5, -0.5},
                                   {kNewYear + 2},
                                   {2.5}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadedChannels, AFileThatCannotBeReadGivesOneLineSayingWhy) {
    test::TempWorkDir dir;
    std::filesystem::create_directory("folder");
    for (const char* name : {"missing.txt", "folder"}) {
        std::string error;
        EXPECT_FALSE(ReadLoadedChannels(name, false, error).has_value()) << name;
        EXPECT_EQ(error.rfind(std::string("cannot read ") + name + ": ", 0), 0u) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST(LoadedChannels, AnEmptyFileHasNoReadings) {
    test::TempWorkDir dir;
    test::WriteFile("Data.txt", "");
    std::string error;
    const std::optional<LoadedChannels> read = ReadLoadedChannels("Data.txt", true, error);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->lines, 0);
    EXPECT_TRUE(read->channel1.values.empty() && read->channel2.values.empty());
}

}  // namespace
}  // namespace qs
