#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "TempWorkDir.h"
#include "core/TextFile.h"
#include "datafile/DataLine.h"

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
        ReaderCase{"", -1, {0, 0, 0, 0, 0, 0, -1.0, -1.0, -1.0, -1.0}}));

}  // namespace
}  // namespace qs
