// The series' roles and looks, and the axis label texts.
#include <gtest/gtest.h>

#include <string>

#include "WindowHarness.h"
#include "chart/AxisLabels.h"
#include "chart/SeriesStyle.h"
#include "core/SampleTime.h"

namespace qs {
namespace {

struct StyleCase {
    int series;
    int command;
    SeriesRole role;
    ValueAxis axis;
    Rgb colour;
    int pen;
    const char* shownBy;
    const char* boldBy;
};

class SeriesStyleRows : public ::testing::TestWithParam<StyleCase> {};

TEST_P(SeriesStyleRows, SeriesHasItsRoleAxisColourAndBoxes) {
    const StyleCase& c = GetParam();
    const SeriesStyle& s = SeriesStyleOf(c.series);
    EXPECT_EQ(s.series, c.series);
    EXPECT_EQ(s.name, "Series" + std::to_string(c.series));
    EXPECT_EQ(s.command, c.command);
    EXPECT_EQ(s.role, c.role);
    EXPECT_EQ(s.axis, c.axis);
    EXPECT_EQ(s.colour, c.colour);
    EXPECT_EQ(s.initialPenWidth, c.pen);
    EXPECT_EQ(s.shownBy, c.shownBy);
    EXPECT_EQ(s.boldBy, c.boldBy);
    test::WindowHarness h;
    EXPECT_EQ(h.series(c.series).PenWidth(), c.pen);
    EXPECT_TRUE(h.series(c.series).Visible());
}

using R = SeriesRole;
using A = ValueAxis;
INSTANTIATE_TEST_SUITE_P(
    Chart, SeriesStyleRows,
    ::testing::Values(StyleCase{1, 1, R::Raw, A::Left, {255, 0, 0}, 2, "DisplayDataBox", "BoldRaw"},
                      StyleCase{2, 1, R::Mean, A::Left, {0, 0, 255}, 1, "DisplayMeanBox", "BoldMean"},
                      StyleCase{3, 1, R::Filter, A::Left, {0, 0, 0}, 1, "FilterCheckbox", "BoldFilter"},
                      StyleCase{4, 2, R::Raw, A::Right, {0, 128, 0}, 1, "DisplayDataBox", "BoldRaw"},
                      StyleCase{5, 2, R::Filter, A::Right, {255, 0, 255}, 1, "FilterCheckbox", "BoldFilter"},
                      StyleCase{6, 2, R::Mean, A::Right, {255, 128, 0}, 1, "DisplayMeanBox", "BoldMean"}),
    [](const auto& info) { return "Series" + std::to_string(info.param.series); });

TEST(SeriesStylesTable, HoldsSixSeriesInOrderAndNoOther) {
    ASSERT_EQ(SeriesStyles().size(), 6u);
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(SeriesStyles()[static_cast<std::size_t>(n - 1)].series, n);
    EXPECT_THROW(SeriesStyleOf(0), std::out_of_range);
    EXPECT_THROW(SeriesStyleOf(7), std::out_of_range);
}

struct ValueCase {
    double value;
    const char* text;
};

class AxisValueLabels : public ::testing::TestWithParam<ValueCase> {};

TEST_P(AxisValueLabels, GroupThousandsAndKeepSevenDecimalsAtMost) {
    EXPECT_EQ(FormatAxisValue(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Chart, AxisValueLabels,
                         ::testing::Values(ValueCase{1200.5, "1,200.5"}, ValueCase{0.0, "0"}, ValueCase{12.0, "12"},
                                           ValueCase{-1234567.125, "-1,234,567.125"}, ValueCase{1e6, "1,000,000"},
                                           ValueCase{0.12345678, "0.1234568"}, ValueCase{1e-8, "0"},
                                           ValueCase{-1e-8, "0"}, ValueCase{999.99999999, "1,000"},
                                           ValueCase{-0.25, "-0.25"}, ValueCase{123456.0, "123,456"}));

struct DateCase {
    int y, mo, d, h, mi, s;
    const char* text;
};

class AxisDateLabels : public ::testing::TestWithParam<DateCase> {};

TEST_P(AxisDateLabels, ReadYearMonthDayDashTime) {
    const DateCase& c = GetParam();
    EXPECT_EQ(FormatAxisDateTime(EncodeDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s)), c.text);
}

INSTANTIATE_TEST_SUITE_P(Chart, AxisDateLabels,
                         ::testing::Values(DateCase{2024, 3, 5, 14, 7, 9, "2024-03-05-14:07:09"},
                                           DateCase{1899, 12, 30, 0, 0, 0, "1899-12-30-00:00:00"},
                                           DateCase{2000, 2, 29, 23, 59, 59, "2000-02-29-23:59:59"},
                                           DateCase{2100, 12, 31, 0, 0, 1, "2100-12-31-00:00:01"}));

TEST(AxisDateLabelsRounding, ASecondFractionRoundsToTheNearestSecond) {
    const double x = EncodeDateTime(2024, 3, 5, 23, 59, 59);
    EXPECT_EQ(FormatAxisDateTime(x + 0.4 / 86400.0), "2024-03-05-23:59:59");
    EXPECT_EQ(FormatAxisDateTime(x + 0.6 / 86400.0), "2024-03-06-00:00:00");
}

}  // namespace
}  // namespace qs
