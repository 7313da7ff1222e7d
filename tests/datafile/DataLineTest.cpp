#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TempWorkDir.h"
#include "core/TextFile.h"
#include "datafile/DataLine.h"
#include "datafile/LoadedLine.h"

namespace qs {
namespace {

const SampleTime kTime{2024, 3, 5, 14, 7, 9};

struct WriterCase {
    const char* reply;
    double mean, filter;
    const char* line;
};

class DataLineWriter : public ::testing::TestWithParam<WriterCase> {};

TEST_P(DataLineWriter, WritesTheFieldsByteForByteWithCrLf) {
    const WriterCase& c = GetParam();
    EXPECT_EQ(FormatDataLine(kTime, c.reply, c.mean, c.filter), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DataLineWriter,
    ::testing::Values(
        WriterCase{"+1.00000000E+00", 1.0, 0.75, "2024-03-05 14:07:09, +1.00000000E+00, 1.00000000E+00, 7.50000000E-01\r\n"},
        WriterCase{"+1.23400000E-03", 0.0, 0.0, "2024-03-05 14:07:09, +1.23400000E-03, 0.00000000E+00, 0.00000000E+00\r\n"},
        WriterCase{"1.5 V", -12.5, 0.5, "2024-03-05 14:07:09, 1.5 V, -1.25000000E+01, 5.00000000E-01\r\n"},
        WriterCase{"VDC+1,2", 1e100, -1e-100, "2024-03-05 14:07:09, VDC+1,2, 1.00000000E+100, -1.00000000E-100\r\n"},
        WriterCase{"x", 0.123456785, 9.9999999951, "2024-03-05 14:07:09, x, 1.23456785E-01, 1.00000000E+01\r\n"}));

TEST(DataLineWriter, NumbersMatchTheCLibrarysE8FormatExactly) {
    std::mt19937_64 rng(12345);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    for (int i = 0; i < 20000; ++i) {
        double v = std::ldexp(mantissa(rng), exponent(rng));
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.8E", v);
        ASSERT_EQ(FormatE8(v), expected) << v;
    }
}

TEST(DataLineWriter, PadsTheTimeStampFieldsWithZeros) {
    EXPECT_EQ(FormatDataLine({987, 1, 2, 3, 4, 5}, "1", 1, 1).substr(0, 21), "0987-01-02 03:04:05, ");
}

TEST(DataLineWriter, TimeStampIsWhatPrintfWritesForAnyFields) {
    std::mt19937_64 rng(31);
    std::uniform_int_distribution<int> wide(-20000, 20000), narrow(-5, 130);
    for (int i = 0; i < 20000; ++i) {
        const SampleTime t = i % 2 ? SampleTime{wide(rng), narrow(rng), narrow(rng), narrow(rng), narrow(rng), narrow(rng)}
                                   : SampleTime{static_cast<int>(rng() % 10000), static_cast<int>(rng() % 100),
                                                static_cast<int>(rng() % 100), static_cast<int>(rng() % 100),
                                                static_cast<int>(rng() % 100), static_cast<int>(rng() % 100)};
        char expected[80];
        std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
        ASSERT_EQ(FormatStamp(t), expected);
        ASSERT_EQ(FormatDateBox(t), std::string(expected) + " UTC");
    }
}

TEST(DataLineWriter, AppendsToTheFileAndReportsAFileItCannotWrite) {
    test::TempWorkDir dir;
    EXPECT_TRUE(AppendToFile("Data.txt", FormatDataLine(kTime, "1", 1, 1)));
    EXPECT_TRUE(AppendToFile("Data.txt", FormatDataLine(kTime, "2", 2, 2)));
    EXPECT_EQ(test::ReadFile("Data.txt"),
              "2024-03-05 14:07:09, 1, 1.00000000E+00, 1.00000000E+00\r\n"
              "2024-03-05 14:07:09, 2, 2.00000000E+00, 2.00000000E+00\r\n");
    EXPECT_FALSE(AppendToFile("", "x"));
    EXPECT_FALSE(AppendToFile("missing-folder/Data.txt", "x"));
    EXPECT_FALSE(AppendToFile(".", "x"));
    if (test::FileExists("/dev/full")) {
        EXPECT_FALSE(AppendToFile("/dev/full", std::string(1 << 16, 'x')));
    }
}

// ---- reader

struct ReaderCase {
    const char* line;
    int assigned;
    DataLineFields expected;
};

class DataLineReader : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(DataLineReader, FollowsTheCScanningRules) {
    const ReaderCase& c = GetParam();
    DataLineFields f;
    f.raw = f.mean = f.filter = f.fourth = -1.0;  // what an earlier line left
    EXPECT_EQ(ScanDataLine(c.line, f), c.assigned);
    const DataLineFields& e = c.expected;
    EXPECT_EQ(f.year, e.year);
    EXPECT_EQ(f.month, e.month);
    EXPECT_EQ(f.day, e.day);
    EXPECT_EQ(f.hour, e.hour);
    EXPECT_EQ(f.minute, e.minute);
    EXPECT_EQ(f.second, e.second);
    EXPECT_DOUBLE_EQ(f.raw, e.raw);
    EXPECT_DOUBLE_EQ(f.mean, e.mean);
    EXPECT_DOUBLE_EQ(f.filter, e.filter);
    EXPECT_DOUBLE_EQ(f.fourth, e.fourth);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DataLineReader,
    ::testing::Values(
        // what the writer writes reads back: raw, mean, filter; the fourth number finds no comma
        ReaderCase{"2024-03-05 14:07:09, +1.00000000E+00, 1.00000000E+00, 7.50000000E-01\r\n", 9,
                   {2024, 3, 5, 14, 7, 9, 1.0, 1.0, 0.75, -1.0}},
        ReaderCase{"2024-03-05 14:07:09, 2.5, -1.25000000E+01, 5.00000000E-01\n", 9,
                   {2024, 3, 5, 14, 7, 9, 2.5, -12.5, 0.5, -1.0}},
        // a unit or a space after the reply's number stops the matching after the raw value
        ReaderCase{"2024-03-05 14:07:09, 1.5 V, 1.50000000E+00, 1.50000000E+00\r\n", 7,
                   {2024, 3, 5, 14, 7, 9, 1.5, -1.0, -1.0, -1.0}},
        // a reply starting with a letter supplies none of the numbers
        ReaderCase{"2024-03-05 14:07:09, VDC 1.5, 1.5E+00, 1.5E+00\r\n", 6, {2024, 3, 5, 14, 7, 9, -1.0, -1.0, -1.0, -1.0}},
        // a comma and a second number in the reply shift the reading
        ReaderCase{"2024-03-05 14:07:09, 1.5,2.5, 3.0E+00, 4.0E+00\r\n", 10, {2024, 3, 5, 14, 7, 9, 1.5, 2.5, 3.0, 4.0}},
        // white space between date and time may be any run, including none
        ReaderCase{"2024-03-0514:07:09,1,2,3", 9, {2024, 3, 5, 14, 7, 9, 1.0, 2.0, 3.0, -1.0}},
        ReaderCase{"2024-03-05 \t 14:07:09,   1,\t2,3", 9, {2024, 3, 5, 14, 7, 9, 1.0, 2.0, 3.0, -1.0}},
        // field widths: a five-digit year is read as four digits and the fifth breaks the "-"
        ReaderCase{"20245-03-05 14:07:09, 1, 2, 3", 1, {2024, 0, 0, 0, 0, 0, -1.0, -1.0, -1.0, -1.0}},
        ReaderCase{"2024-3-5 1:2:3, 1, 2, 3", 9, {2024, 3, 5, 1, 2, 3, 1.0, 2.0, 3.0, -1.0}},
        // matching stops at the first field that does not match
        ReaderCase{"2024/03/05 14:07:09, 1, 2, 3", 1, {2024, 0, 0, 0, 0, 0, -1.0, -1.0, -1.0, -1.0}},
        ReaderCase{"hello", 0, {0, 0, 0, 0, 0, 0, -1.0, -1.0, -1.0, -1.0}},
        // no hexadecimal: the value rule reads "0x1A" as 0, and the "x" stops the matching
        ReaderCase{"2024-03-05 14:07:09, 0x1A, 2.0, 3.0", 7, {2024, 3, 5, 14, 7, 9, 0.0, -1.0, -1.0, -1.0}},
        ReaderCase{"2024-03-05 14:07:09, 1, -0X1p3, 3.0", 8, {2024, 3, 5, 14, 7, 9, 1.0, -0.0, -1.0, -1.0}},
        ReaderCase{"", -1, {0, 0, 0, 0, 0, 0, -1.0, -1.0, -1.0, -1.0}}));

}  // namespace
}  // namespace qs

namespace qs {
namespace {

// ---- the scanner against the C library's own sscanf, on written, mutated and
//      random lines: same count, same fields, bit for bit. The C library
//      reads hexadecimal numbers, the value rule does not: sscanf is given
//      the line with every "x" made a "z", which stops a number where the
//      value rule does ("0z1A" is 0) and is no more a part of the pattern
//      than the "x" is.

bool sameDouble(double a, double b) { return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0; }

std::string withoutHexadecimal(std::string line) {
    for (char& c : line)
        if (c == 'x' || c == 'X') c = 'z';
    return line;
}

void expectSameAsSscanf(const std::string& line) {
    DataLineFields mine, theirs;
    mine.raw = mine.mean = mine.filter = mine.fourth = theirs.raw = theirs.mean = theirs.filter = theirs.fourth = -7.0;
    mine.year = mine.month = mine.day = mine.hour = mine.minute = mine.second = -7;
    theirs.year = theirs.month = theirs.day = theirs.hour = theirs.minute = theirs.second = -7;
    int n = ScanDataLine(line.c_str(), mine);
    int m = std::sscanf(withoutHexadecimal(line).c_str(), "%04d-%02d-%02d %02d:%02d:%02d, %lf, %lf, %lf, %lf",
                        &theirs.year, &theirs.month, &theirs.day, &theirs.hour, &theirs.minute, &theirs.second,
                        &theirs.raw, &theirs.mean, &theirs.filter, &theirs.fourth);
    ASSERT_EQ(n, m) << "line: [" << line << "]";
    ASSERT_EQ(mine.year, theirs.year) << line;
    ASSERT_EQ(mine.month, theirs.month) << line;
    ASSERT_EQ(mine.day, theirs.day) << line;
    ASSERT_EQ(mine.hour, theirs.hour) << line;
    ASSERT_EQ(mine.minute, theirs.minute) << line;
    ASSERT_EQ(mine.second, theirs.second) << line;
    ASSERT_TRUE(sameDouble(mine.raw, theirs.raw)) << line << " " << mine.raw << " vs " << theirs.raw;
    ASSERT_TRUE(sameDouble(mine.mean, theirs.mean)) << line;
    ASSERT_TRUE(sameDouble(mine.filter, theirs.filter)) << line;
    ASSERT_TRUE(sameDouble(mine.fourth, theirs.fourth)) << line;
}

// ---- which loaded lines go where

struct LoadableCase {
    DataLineFields fields;
    bool loaded;
};

constexpr double kInfinity = std::numeric_limits<double>::infinity();

class LoadableLine : public ::testing::TestWithParam<LoadableCase> {};

TEST_P(LoadableLine, HasADateAndTimeThatExistAndNumbersThatCanBePlotted) {
    EXPECT_EQ(IsLoadableLine(GetParam().fields), GetParam().loaded);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LoadableLine,
    ::testing::Values(LoadableCase{{2024, 3, 5, 14, 7, 9, 1.0, 1.0, 1.0, 0.0}, true},
                      LoadableCase{{1900, 1, 1, 0, 0, 0, -1e298, 0.0, 0.0, 0.0}, true},
                      LoadableCase{{1899, 12, 31, 23, 59, 59, 1.0, 1.0, 1.0, 0.0}, false},
                      LoadableCase{{2101, 1, 1, 0, 0, 0, 1.0, 1.0, 1.0, 0.0}, false},
                      LoadableCase{{2023, 2, 29, 12, 0, 0, 1.0, 1.0, 1.0, 0.0}, false},
                      LoadableCase{{2024, 2, 29, 24, 0, 0, 1.0, 1.0, 1.0, 0.0}, false},
                      LoadableCase{{2024, 3, 5, 14, 60, 0, 1.0, 1.0, 1.0, 0.0}, false},
                      LoadableCase{{2024, 3, 5, 14, 7, 9, 2e298, 1.0, 1.0, 0.0}, false},
                      LoadableCase{{2024, 3, 5, 14, 7, 9, 1.0, kInfinity, 1.0, 0.0}, false},
                      LoadableCase{{2024, 3, 5, 14, 7, 9, 1.0, 1.0, std::nan(""), 0.0}, false},
                      // the fourth number is never plotted
                      LoadableCase{{2024, 3, 5, 14, 7, 9, 1.0, 1.0, 1.0, kInfinity}, true}));

TEST(LoadedLineChannel, IsTheSelectedCommandsOrByTurnsCommand1First) {
    for (int phase : {0, 1}) {
        EXPECT_EQ(LoadedLineChannel(CommandMode::Command1, phase), 1);
        EXPECT_EQ(LoadedLineChannel(CommandMode::Command2, phase), 2);
    }
    EXPECT_EQ(LoadedLineChannel(CommandMode::Alternate, 0), 1);
    EXPECT_EQ(LoadedLineChannel(CommandMode::Alternate, 1), 2);
}

TEST(LoadedLineRoute, RepeatsTheOtherChannelsWholeLineOnceItHasOne) {
    const LoadedLine first{1.0, 1.5, 1.25}, second{2.0, 2.5, 2.25};
    HeldValues<LoadedLine> held{};
    ChannelRoute<LoadedLine> route = RouteLoadedLine(CommandMode::Alternate, 1, first, held);
    EXPECT_FALSE(route.otherHeld);
    route = RouteLoadedLine(CommandMode::Alternate, 2, second, route.held);
    ASSERT_TRUE(route.otherHeld);
    EXPECT_EQ(route.otherHeld->raw, 1.0);
    EXPECT_EQ(route.otherHeld->mean, 1.5);
    EXPECT_EQ(route.otherHeld->filter, 1.25);
    EXPECT_EQ(route.held.channel2.filter, 2.25);
    EXPECT_FALSE(RouteLoadedLine(CommandMode::Command1, 1, second, route.held).otherHeld);
}

TEST(DataLineScannerMatchesSscanf, OnLinesTheWriterWrites) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> v(-1e6, 1e6), mantissa(-10.0, 10.0);
    // Exponents from well below to well above those a multiplication or a
    // division by an exact power of ten covers.
    std::uniform_int_distribution<int> exponent(-120, 120);
    auto value = [&](int i) { return i % 2 ? v(rng) : std::ldexp(mantissa(rng), exponent(rng)); };
    for (int i = 0; i < 20000; ++i) {
        SampleTime t{1900 + static_cast<int>(rng() % 300), 1 + static_cast<int>(rng() % 12),
                     1 + static_cast<int>(rng() % 31), static_cast<int>(rng() % 24), static_cast<int>(rng() % 60),
                     static_cast<int>(rng() % 60)};
        char reply[40];
        std::snprintf(reply, sizeof reply, "%+.8E", value(i));
        expectSameAsSscanf(FormatDataLine(t, reply, value(i), value(i)));
        if (HasFatalFailure()) return;
    }
}

TEST(DataLineScannerMatchesSscanf, OnEdgeTokens) {
    const char* tokens[] = {"1e", "1e+", ".", "-", "+.e1", "inf", "in", "nan(12)", "0x1p3", "0x", "0x1p", "1.5e5x",
                            " -.5", "1..2", "infinity", "INFx", "nanx", "1e-", "00012", "-0", "0x1.8", "infi",
                            "infinit", "-nan", "0x.8", "0x.", "1.e5", ".5e", "0x1.p1", "0X1P-2", "0x1g", "nAn",
                            "-inf", "1E+5", "0xp1", "00x1", "0.x", "1e999", "-1e999", "1e-999", "4.9e-324",
                            "2.4703282292062327e-324", "179769313486231580793728971405303415079934132710037826936173"
                            "778980444968292764750946649017977587207096330286416692887910946555547851940402630657"
                            "48811931", "0.1000000000000000055511151231257827", "", " ", "\t", "+-1", "--1"};
    for (const char* token : tokens) {
        expectSameAsSscanf(std::string("2024-03-05 14:07:09, ") + token + ", 2, 3, 4");
        expectSameAsSscanf(std::string("2024-03-05 14:07:09, 1, 2, ") + token);
    }
    for (const char* date : {"", " ", "2024", "2024-", "-2024-1-1 1:1:1,1", "+202-03-05 14:07:09,1", "2024-03-05",
                             "2024-03-05 ", "2024-03-05 14", "2024-03-05 14:", "2024-03-05 14:07:09",
                             "2024-03-05 14:07:09,", "2024-03-05 14:07:09, ", "12345-1", "2024-123-1", " \n",
                             "2024-03-05\n14:07:09\n,\n1\n,\n2\n,\n3"})
        expectSameAsSscanf(date);
}

TEST(DataLineScannerMatchesSscanf, OnMutatedAndRandomLines) {
    std::mt19937_64 rng(2024);
    const std::string alphabet = "0123456789+-.eEpPxXnNiIaAfFtTyY(), \t:-\r\n";
    const std::string base = "2024-03-05 14:07:09, +1.23456789E+00, 1.23456789E+00, -9.87654321E-01";
    for (int i = 0; i < 100000; ++i) {
        std::string line = base;
        int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            std::size_t at = rng() % (line.size() + 1);
            char c = alphabet[rng() % alphabet.size()];
            switch (rng() % 3) {
                case 0: line.insert(at, 1, c); break;
                case 1: if (at < line.size()) line[at] = c; break;
                default: if (at < line.size()) line.erase(at, 1); break;
            }
        }
        expectSameAsSscanf(line);
        if (HasFatalFailure()) return;
    }
    for (int i = 0; i < 20000; ++i) {
        std::string line(rng() % 40, ' ');
        for (char& c : line) c = alphabet[rng() % alphabet.size()];
        expectSameAsSscanf(line);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace qs

namespace qs {
namespace {

// ---- the loader's line reader against fgets with the same buffer

std::vector<std::string> linesByFgets(const std::string& file, int limit) {
    std::vector<std::string> lines;
    std::FILE* f = std::fopen(file.c_str(), "r");
    std::vector<char> buffer(static_cast<std::size_t>(limit));
    while (std::fgets(buffer.data(), limit, f)) lines.emplace_back(buffer.data());
    std::fclose(f);
    return lines;
}

std::vector<std::string> linesByReader(const std::string& file, int limit) {
    std::vector<std::string> lines;
    std::FILE* f = std::fopen(file.c_str(), "r");
    LineReader reader(f, limit);
    while (const char* line = reader.next()) lines.emplace_back(line);
    std::fclose(f);
    return lines;
}

TEST(LineReader, HandsOutTheLinesFgetsReadsWithTheSameBuffer) {
    test::TempWorkDir dir;
    const std::string longLine(45000, 'x');
    std::string withNul = "2024-03-05 14:07:09, 1";
    withNul += '\0';
    withNul += "junk, 2\n";
    std::mt19937_64 rng(9);
    std::string many;
    for (int i = 0; i < 60000; ++i) many += std::string(rng() % 120, 'a' + static_cast<char>(i % 26)) + "\r\n";
    const std::pair<const char*, std::string> files[] = {
        {"empty", ""},
        {"no line end at the end", "a\nbb\nccc"},
        {"blank lines", "\n\n\r\n\n"},
        {"a line longer than the buffer, and one exactly as long", longLine + "\n" + std::string(19999, 'y') + "\nz\n"},
        {"a NUL byte ends what the scanner sees", withNul + "next\n"},
        {"lines across many blocks", many},
    };
    for (const auto& [name, bytes] : files) {
        test::WriteFile("lines.txt", bytes);
        for (int limit : {20000, 7, 2})
            EXPECT_EQ(linesByReader("lines.txt", limit), linesByFgets("lines.txt", limit)) << name << ", limit " << limit;
    }
}

}  // namespace
}  // namespace qs
