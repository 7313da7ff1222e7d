// Display options: which series show, which are bold, the scrolling window,
// and the mean and filter boxes with their write-backs.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "WindowHarness.h"
#include "platform/Exception.h"
#include "window/ControlInventory.h"

namespace qs {
namespace {

using test::WindowHarness;

void fill(WindowHarness& h, const std::array<int, 6>& counts) {
    for (int n = 1; n <= 6; ++n)
        for (int i = 0; i < counts[n - 1]; ++i) h.series(n).AddPoint(45000.0 + i, 10.0 * n + i);
}

std::array<int, 6> counts(WindowHarness& h) {
    std::array<int, 6> c{};
    for (int n = 1; n <= 6; ++n) c[n - 1] = h.series(n).Count();
    return c;
}

// ---- the scrolling window

struct TrimCase {
    const char* name;
    int scrollPoints;
    std::array<int, 6> before, after;
};

class TrimToScrollWindow : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimToScrollWindow, Series1AloneDecidesHowManyPassesRun) {
    const TrimCase& c = GetParam();
    WindowHarness h;
    fill(h, c.before);
    h.w.State.ScrollPoints = c.scrollPoints;
    h.w.TrimToScrollWindow();
    EXPECT_EQ(counts(h), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Chart, TrimToScrollWindow,
    ::testing::Values(TrimCase{"EightAndSevenToFiveAndFour", 5, {8, 8, 8, 7, 7, 7}, {5, 5, 5, 4, 4, 4}},
                      TrimCase{"OnlyCommand2IsNeverTrimmed", 5, {0, 0, 0, 100, 100, 100}, {0, 0, 0, 100, 100, 100}},
                      TrimCase{"ZeroKeepsEveryPoint", 0, {8, 8, 8, 7, 7, 7}, {8, 8, 8, 7, 7, 7}},
                      TrimCase{"EmptyCommand2SeriesStayEmpty", 3, {8, 8, 8, 0, 0, 0}, {3, 3, 3, 0, 0, 0}},
                      TrimCase{"ShortCommand2SeriesRunOut", 2, {6, 6, 6, 2, 2, 2}, {2, 2, 2, 0, 0, 0}},
                      TrimCase{"WithinTheWindowNothingGoes", 10, {8, 8, 8, 7, 7, 7}, {8, 8, 8, 7, 7, 7}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrimToScrollWindowOrder, TheOldestPointsGo) {
    WindowHarness h;
    fill(h, {8, 8, 8, 7, 7, 7});
    h.w.State.ScrollPoints = 5;
    h.w.TrimToScrollWindow();
    // Points 0..7 of Series1 had y = 10..17; the three oldest went.
    EXPECT_DOUBLE_EQ(h.series(1).YValue(0), 13.0);
    EXPECT_DOUBLE_EQ(h.series(4).YValue(0), 43.0);
}

struct ScrollExitCase {
    const char* name;
    const char* typed;
    const char* shown;  // the box's text afterwards
    int scrollPoints;
    std::array<int, 6> after;
};

class ScrollBoxExit : public ::testing::TestWithParam<ScrollExitCase> {};

TEST_P(ScrollBoxExit, WritesBackTrimsAndRestartsTheFilters) {
    const ScrollExitCase& c = GetParam();
    WindowHarness h;
    fill(h, {8, 8, 8, 7, 7, 7});
    h.w.State.FilterState1 = 3.5;
    h.w.State.FilterState2 = -1.25;
    h.w.ScrollBox.setText(c.typed);
    h.w.ScrollBox.exit();
    EXPECT_EQ(h.w.ScrollBox.text(), c.shown);
    EXPECT_EQ(h.w.State.ScrollPoints, c.scrollPoints);
    EXPECT_EQ(counts(h), c.after);
    EXPECT_EQ(h.w.State.FilterState1, 0.0);
    EXPECT_EQ(h.w.State.FilterState2, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Chart, ScrollBoxExit,
                         ::testing::Values(ScrollExitCase{"MinusSevenBecomesZero", "-7", "0", 0, {8, 8, 8, 7, 7, 7}},
                                           ScrollExitCase{"LeadingZerosGo", "007", "7", 7, {7, 7, 7, 6, 6, 6}},
                                           ScrollExitCase{"ZeroStays", "0", "0", 0, {8, 8, 8, 7, 7, 7}},
                                           ScrollExitCase{"FiveTrims", "5", "5", 5, {5, 5, 5, 4, 4, 4}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScrollBoxExitEdges, AnEmptyBoxChangesNothing) {
    WindowHarness h;
    fill(h, {8, 8, 8, 7, 7, 7});
    h.w.State.ScrollPoints = 6;
    h.w.State.FilterState1 = 3.5;
    h.w.ScrollBox.setText("");
    h.w.ScrollBox.exit();
    EXPECT_EQ(h.w.State.ScrollPoints, 6);
    EXPECT_EQ(h.w.State.FilterState1, 3.5);
    EXPECT_EQ(counts(h), (std::array<int, 6>{8, 8, 8, 7, 7, 7}));
}

TEST(ScrollBoxExitEdges, TextThatIsNoIntegerRaisesAndChangesNothing) {
    WindowHarness h;
    fill(h, {8, 8, 8, 7, 7, 7});
    h.w.State.ScrollPoints = 6;
    h.w.State.FilterState2 = 2.0;
    h.w.ScrollBox.setText("5x");
    EXPECT_THROW(h.w.ScrollBoxExit(), EConvertError);
    EXPECT_EQ(h.w.ScrollBox.text(), "5x");
    EXPECT_EQ(h.w.State.ScrollPoints, 6);
    EXPECT_EQ(h.w.State.FilterState2, 2.0);
    EXPECT_EQ(counts(h), (std::array<int, 6>{8, 8, 8, 7, 7, 7}));
}

TEST(ScrollBoxExitEdges, LeavingMinStringBoxAppliesTheScrollBox) {
    WindowHarness h;
    fill(h, {8, 8, 8, 7, 7, 7});
    h.w.ScrollBox.setText("-7");
    h.w.MinStringBox.setText("-3");
    h.w.MinStringBox.exit();
    EXPECT_EQ(h.w.ScrollBox.text(), "0");
    EXPECT_EQ(h.w.MinStringBox.text(), "-3");
}

// ---- mean and filter windows

struct BoxChangeCase {
    const char* name;
    const char* typed;
    const char* shown;
    int handlerRuns;  // a normalised text runs the change event once more
};

class MeanBoxChange : public ::testing::TestWithParam<BoxChangeCase> {};

TEST_P(MeanBoxChange, WritesBackTheWindowInPlainDecimal) {
    const BoxChangeCase& c = GetParam();
    WindowHarness h;
    int runs = 0;
    auto handler = h.w.MeanBox.OnChange;
    h.w.MeanBox.OnChange = [&] {
        ++runs;
        handler();
    };
    h.w.MeanBox.setText(c.typed);
    EXPECT_EQ(h.w.MeanBox.text(), c.shown);
    EXPECT_EQ(h.w.State.MeanPoints, std::stoi(c.shown));
    EXPECT_EQ(runs, c.handlerRuns);
}

INSTANTIATE_TEST_SUITE_P(Chart, MeanBoxChange,
                         ::testing::Values(BoxChangeCase{"ZeroMeansAllPoints", "0", "0", 1},
                                           BoxChangeCase{"MinusTwoBecomesZero", "-2", "0", 2},
                                           BoxChangeCase{"LeadingZerosGo", "007", "7", 2},
                                           BoxChangeCase{"TwentyStays", "20", "20", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MeanBoxChangeEdges, EmptyKeepsTheWindowAndALoneMinusRaises) {
    WindowHarness h;
    h.w.MeanBox.setText("4");
    h.w.MeanBox.setText("");
    EXPECT_EQ(h.w.State.MeanPoints, 4);
    EXPECT_THROW(h.w.MeanBox.setText("-"), EConvertError);
    EXPECT_EQ(h.w.State.MeanPoints, 4);
    EXPECT_EQ(h.w.MeanBox.text(), "-");
}

TEST(MeanBoxChangeEdges, PlottedMeansStay) {
    WindowHarness h;
    fill(h, {3, 3, 3, 0, 0, 0});
    h.w.MeanBox.setText("2");
    EXPECT_EQ(counts(h), (std::array<int, 6>{3, 3, 3, 0, 0, 0}));
}

class FilterPointsChange : public ::testing::TestWithParam<BoxChangeCase> {};

TEST_P(FilterPointsChange, HoldsTheTimeConstantToOneAndRestartsTheFilters) {
    const BoxChangeCase& c = GetParam();
    WindowHarness h;
    int runs = 0;
    auto handler = h.w.FilterPoints.OnChange;
    h.w.FilterPoints.OnChange = [&] {
        ++runs;
        handler();
    };
    h.w.State.FilterState1 = 7.0;
    h.w.State.FilterState2 = 8.0;
    h.w.FilterPoints.setText(c.typed);
    EXPECT_EQ(h.w.FilterPoints.text(), c.shown);
    EXPECT_EQ(runs, c.handlerRuns);
    EXPECT_EQ(h.w.State.FilterState1, 0.0);
    EXPECT_EQ(h.w.State.FilterState2, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Chart, FilterPointsChange,
                         ::testing::Values(BoxChangeCase{"ZeroBecomesOne", "0", "1", 2},
                                           BoxChangeCase{"MinusFourBecomesOne", "-4", "1", 2},
                                           BoxChangeCase{"LeadingZerosGo", "012", "12", 2},
                                           BoxChangeCase{"TwelveStays", "12", "12", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FilterPointsChangeEdges, EmptyOrNoIntegerLeavesTheFiltersRunning) {
    WindowHarness h;
    h.w.State.FilterState1 = 7.0;
    h.w.FilterPoints.setText("");
    EXPECT_EQ(h.w.State.FilterState1, 7.0);
    EXPECT_THROW(h.w.FilterPoints.setText("1.5"), EConvertError);
    EXPECT_EQ(h.w.State.FilterState1, 7.0);
}

// ---- visibility and bold

struct BoxSeriesCase {
    const char* box;
    int first, second;  // the two series the box drives
};

std::array<bool, 6> visibility(WindowHarness& h) {
    std::array<bool, 6> v{};
    for (int n = 1; n <= 6; ++n) v[n - 1] = h.series(n).Visible();
    return v;
}

class Visibility : public ::testing::TestWithParam<BoxSeriesCase> {};

TEST_P(Visibility, ABoxShowsItsTwoSeriesExactlyWhileChecked) {
    const BoxSeriesCase& c = GetParam();
    WindowHarness h;
    TCheckBox& box = *ControlInventory(h.w).find(c.box)->checkBox();
    fill(h, {2, 2, 2, 2, 2, 2});
    box.click();
    std::array<bool, 6> expected{true, true, true, true, true, true};
    expected[c.first - 1] = expected[c.second - 1] = false;
    EXPECT_EQ(visibility(h), expected);
    // A hidden series keeps its points and goes on receiving new ones.
    h.series(c.first).AddPoint(46000.0, 1.0);
    EXPECT_EQ(h.series(c.first).Count(), 3);
    box.click();
    EXPECT_EQ(visibility(h), (std::array<bool, 6>{true, true, true, true, true, true}));
}

INSTANTIATE_TEST_SUITE_P(Chart, Visibility,
                         ::testing::Values(BoxSeriesCase{"DisplayDataBox", 1, 4}, BoxSeriesCase{"DisplayMeanBox", 2, 6},
                                           BoxSeriesCase{"FilterCheckbox", 3, 5}),
                         [](const auto& info) { return std::string(info.param.box); });

TEST(VisibilityEdges, SaveResultsBoxReappliesTheRawDataBox) {
    WindowHarness h;
    h.w.DisplayDataBox.click();
    h.series(1).SetVisible(true);
    h.w.SaveResultsBox.click();
    EXPECT_FALSE(h.series(1).Visible());
    EXPECT_FALSE(h.series(4).Visible());
}

std::array<int, 6> penWidths(WindowHarness& h) {
    std::array<int, 6> w{};
    for (int n = 1; n <= 6; ++n) w[n - 1] = h.series(n).PenWidth();
    return w;
}

class Bold : public ::testing::TestWithParam<BoxSeriesCase> {};

TEST_P(Bold, ABoxWidensItsTwoSeriesToTwoWhileChecked) {
    const BoxSeriesCase& c = GetParam();
    WindowHarness h;
    TCheckBox& box = *ControlInventory(h.w).find(c.box)->checkBox();
    box.setChecked(true);
    std::array<int, 6> expected{2, 1, 1, 1, 1, 1};
    expected[c.first - 1] = expected[c.second - 1] = 2;
    if (c.first == 1) {  // BoldRaw starts checked: a click off and on again
        box.click();
        box.click();
    }
    EXPECT_EQ(penWidths(h), expected);
    box.setChecked(false);
    expected[c.first - 1] = expected[c.second - 1] = 1;
    EXPECT_EQ(penWidths(h), expected);
}

INSTANTIATE_TEST_SUITE_P(Chart, Bold,
                         ::testing::Values(BoxSeriesCase{"BoldRaw", 1, 4}, BoxSeriesCase{"BoldMean", 2, 6},
                                           BoxSeriesCase{"BoldFilter", 3, 5}),
                         [](const auto& info) { return std::string(info.param.box); });

TEST(BoldEdges, Command2RawLineStartsThinUntilTheFirstBoldRawClick) {
    WindowHarness h;
    EXPECT_EQ(penWidths(h), (std::array<int, 6>{2, 1, 1, 1, 1, 1}));
    h.w.BoldRaw.click();
    EXPECT_EQ(penWidths(h), (std::array<int, 6>{1, 1, 1, 1, 1, 1}));
    h.w.BoldRaw.click();
    EXPECT_EQ(penWidths(h), (std::array<int, 6>{2, 1, 1, 2, 1, 1}));
}

}  // namespace
}  // namespace qs
