// The options beyond config.txt: one table read from the command line and
// from a `key = value` file, the command line winning, and the file
// rewritten with a person's lines kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/OptionTable.h"

namespace qs::test {
namespace {

constexpr OptionSpec kTable[] = {
    {"quiet", "-q", OptionType::Flag, "no", "", "no line per sample", OptionFace::Headless, true},
    {"port", "", OptionType::Integer, "8080", "PORT", "where to serve\nfrom", OptionFace::Both, true},
    {"name", "", OptionType::Text, "", "NAME", "what to call it", OptionFace::Both, true},
    {"help", "-h", OptionType::Flag, "no", "", "this text", OptionFace::Both, false},
    {"a-very-long-option", "", OptionType::Text, "", "VALUE", "wraps", OptionFace::Both, true},
};

// Either the values read, or the refusal with its one line of why.
void ExpectRead(const OptionRead& read, const OptionValues& values, const char* error) {
    if (error) {
        EXPECT_EQ(read.error.value_or("(accepted)"), error);
    } else {
        EXPECT_FALSE(read.error) << *read.error;
        EXPECT_EQ(read.values, values);
    }
}

struct LineCase {
    std::vector<std::string> args;
    OptionValues values;
    const char* error;  // nullptr when accepted
};

class CommandLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLine, SetsWhatItNamesAndRefusesTheRestWithWhy) {
    const LineCase& c = GetParam();
    ExpectRead(ReadCommandLine(kTable, c.args), c.values, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLine,
    ::testing::Values(LineCase{{}, {}, nullptr}, LineCase{{"--quiet"}, {{"quiet", "yes"}}, nullptr},
                      LineCase{{"-q"}, {{"quiet", "yes"}}, nullptr},
                      LineCase{{"--quiet=off"}, {{"quiet", "no"}}, nullptr},
                      LineCase{{"--port", "5025", "--name=bench 3"}, {{"port", "5025"}, {"name", "bench 3"}}, nullptr},
                      LineCase{{"--port=-1"}, {{"port", "-1"}}, nullptr},
                      LineCase{{"--name", ""}, {{"name", ""}}, nullptr},
                      LineCase{{"--port", "1", "--port", "2"}, {{"port", "2"}}, nullptr},
                      LineCase{{"--loud"}, {}, "unknown option --loud (see --help)"},
                      LineCase{{"quiet"}, {}, "unknown option quiet (see --help)"},
                      LineCase{{"--port"}, {}, "--port needs a value (see --help)"},
                      LineCase{{"--port", "80x"}, {}, "--port 80x: the value is not a whole number (see --help)"},
                      LineCase{{"--quiet=maybe"}, {}, "--quiet maybe: the value is not yes or no (see --help)"}));

struct FileCase {
    const char* bytes;
    OptionValues values;
    const char* error;
};

class OptionsFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(OptionsFile, ReadsKeyValueLinesAndRefusesWithTheLineNumber) {
    const FileCase& c = GetParam();
    ExpectRead(ReadOptionsFile(kTable, c.bytes, "quillstone.conf"), c.values, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionsFile,
    ::testing::Values(FileCase{"", {}, nullptr},
                      FileCase{"# a comment\n\n  quiet = yes  \r\nport=5025\n", {{"quiet", "yes"}, {"port", "5025"}},
                               nullptr},
                      FileCase{"name = a = b", {{"name", "a = b"}}, nullptr},
                      FileCase{"quiet = 1\nquiet = false\n", {{"quiet", "no"}}, nullptr},
                      FileCase{"port = 1\nloud = yes\n", {}, "quillstone.conf:2: unknown key \"loud\""},
                      FileCase{"\n# x\nport 5025\n", {}, "quillstone.conf:3: not a \"key = value\" line"},
                      FileCase{"port = eighty\n", {}, "quillstone.conf:1: port = eighty: the value is not a whole number"},
                      FileCase{"help = yes\n", {}, "quillstone.conf:1: \"help\" goes on the command line only"}));

TEST(OptionsMerge, CommandLineWinsOverFileWinsOverDefault) {
    const OptionValues merged = MergeOptions(kTable, {{"port", "1"}, {"name", "file"}}, {{"name", "line"}});
    EXPECT_EQ(merged, (OptionValues{{"quiet", "no"},
                                    {"port", "1"},
                                    {"name", "line"},
                                    {"help", "no"},
                                    {"a-very-long-option", ""}}));
}

struct UpdateCase {
    const char* before;
    OptionValues owned;
    const char* after;
};

class OptionsFileUpdate : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(OptionsFileUpdate, SetsOwnedKeysAndKeepsEveryOtherLine) {
    const UpdateCase& c = GetParam();
    const std::string after = UpdateOptionsFile(c.before, c.owned);
    EXPECT_EQ(after, c.after);
    // What it wrote reads back as it was set.
    const OptionRead read = ReadOptionsFile(kTable, after, "f");
    ASSERT_FALSE(read.error) << *read.error;
    for (const auto& [key, value] : c.owned) EXPECT_EQ(read.values.at(key), value);
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionsFileUpdate,
    ::testing::Values(UpdateCase{"", {{"port", "1"}}, "port = 1\n"},
                      UpdateCase{"# mine\nport=2   # not a comment here\nname = x\n", {{"port", "3"}},
                                 "# mine\nport = 3\nname = x\n"},
                      UpdateCase{"# kept\r\nname = x", {{"quiet", "yes"}}, "# kept\r\nname = x\r\nquiet = yes\r\n"},
                      UpdateCase{"name = x", {}, "name = x"},
                      UpdateCase{"  port = 9\n#port = 8\n", {{"port", "7"}, {"quiet", "no"}},
                                 "port = 7\n#port = 8\nquiet = no\n"}));

TEST(OptionsHelpText, HelpStandsFromColumnSixteenAndLongNamesGetALineOfTheirOwn) {
    EXPECT_EQ(OptionsHelp(kTable),
              "Options:\n"
              "  --quiet       no line per sample\n"
              "  --port PORT   where to serve\n"
              "                from\n"
              "  --name NAME   what to call it\n"
              "  --help        this text\n"
              "  --a-very-long-option VALUE\n"
              "                wraps\n");
}

}  // namespace
}  // namespace qs::test
