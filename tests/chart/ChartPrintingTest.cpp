// The question before a long print job and the title line of a page.
#include <gtest/gtest.h>

#include <string>

#include "chart/ChartPrinting.h"

namespace qs::test {
namespace {

struct QuestionCase {
    int pages;
    const char* printer;
    const char* question;  // nullptr: none
};

class PrintQuestionFor : public ::testing::TestWithParam<QuestionCase> {};

TEST_P(PrintQuestionFor, OnlyAJobOfMoreThanTwentyPagesAsksNamingThePagesAndThePrinter) {
    const QuestionCase& c = GetParam();
    const auto q = PrintQuestion(c.pages, c.printer);
    if (!c.question) {
        EXPECT_FALSE(q.has_value()) << *q;
        return;
    }
    ASSERT_TRUE(q.has_value());
    EXPECT_EQ(*q, c.question);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, PrintQuestionFor,
    ::testing::Values(QuestionCase{1, "Lab_HP", nullptr}, QuestionCase{20, "Lab_HP", nullptr},
                      QuestionCase{21, "Lab_HP",
                                   "The chart fills 21 pages at this many samples per printed page. Send all 21 pages "
                                   "to the printer \"Lab_HP\"?"},
                      QuestionCase{117, "",
                                   "The chart fills 117 pages at this many samples per printed page. Send all 117 "
                                   "pages to a PDF file in the working folder (no printer is installed)?"}));

struct TitleCase {
    const char* name;
    const char* file;
    const char* command1;
    const char* command2;
    double first, last;
    const char* title;
};

class TitleLine : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TitleLine, NamesTheFileTheCommandsAndTheTimeInUtc) {
    const TitleCase& c = GetParam();
    EXPECT_EQ(ChartTitleLine(c.file, c.command1, c.command2, c.first, c.last), c.title);
}

// 46000 days after 1899-12-30 is 2025-12-09 (checked with `date -d "1899-12-30 +46000 days"`).
INSTANTIATE_TEST_SUITE_P(
    Titles, TitleLine,
    ::testing::Values(TitleCase{"both_axes", "Data.txt", "MEAS:VOLT:DC? 1", "MEAS:TEMP?", 46000.0, 46007.5,
                                "Data.txt; left: MEAS:VOLT:DC? 1, right: MEAS:TEMP?; 2025-12-09 00:00:00 to "
                                "2025-12-16 12:00:00 UTC"},
                      TitleCase{"left_only", "run3/Data.txt", "READ?", "", 46000.25, 46000.25 + 90.0 / 86400,
                                "run3/Data.txt; left: READ?; 2025-12-09 06:00:00 to 2025-12-09 06:01:30 UTC"},
                      TitleCase{"right_only", "Data.txt", "", "B?", 46000.0, 46001.0,
                                "Data.txt; right: B?; 2025-12-09 00:00:00 to 2025-12-10 00:00:00 UTC"}),
    [](const ::testing::TestParamInfo<TitleCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs::test
