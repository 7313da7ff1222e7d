// Printing: landscape pages of a set number of samples, and the chart's own
// paging back afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WindowHarness.h"
#include "platform/Exception.h"

namespace qs {
namespace {

using test::WindowHarness;

void addPoints(ISeries& series, int n) {
    for (int i = 0; i < n; ++i) series.AddPoint(45000.0 + i / 86400.0, i);
}

std::vector<int> printedPages(const MemoryChart& chart, int pointsPerPage) {
    std::vector<int> pages;
    for (const auto& p : chart.printed()) {
        EXPECT_EQ(p.pointsPerPage, pointsPerPage);
        pages.push_back(p.page);
    }
    return pages;
}

struct PrintCase {
    const char* name;
    int points;
    int chartPointsPerPage;  // the chart's paging before printing
    std::vector<int> pages;
};

class PrintButtonClick : public ::testing::TestWithParam<PrintCase> {};

TEST_P(PrintButtonClick, PrintsEveryPageAndRestoresThePaging) {
    const PrintCase& c = GetParam();
    WindowHarness h;
    addPoints(h.series(1), c.points);
    h.vp.chart.SetPointsPerPage(c.chartPointsPerPage);
    const int redraws = h.vp.chart.redraws();
    h.w.PrintButton.Click();
    EXPECT_EQ(printedPages(h.vp.chart, 500), c.pages);
    EXPECT_EQ(h.vp.chart.GetPointsPerPage(), c.chartPointsPerPage);
    EXPECT_GT(h.vp.chart.redraws(), redraws);
}

INSTANTIATE_TEST_SUITE_P(Chart, PrintButtonClick,
                         ::testing::Values(PrintCase{"ThousandPointsTwoPages", 1000, 0, {1, 2}},
                                           PrintCase{"ThousandAndOnePointsThreePages", 1001, 0, {1, 2, 3}},
                                           PrintCase{"OwnPagingComesBack", 1000, 250, {1, 2}},
                                           PrintCase{"EmptyChartOnePage", 0, 0, {1}}),
                         [](const auto& info) { return std::string(info.param.name); });

// The pages of P points that the longest series needs, with no overflow of
// an int even for page sizes near its limit: a page holding all points is one.
struct PageCountCase {
    int points, pointsPerPage, pages;
};

class PageCount : public ::testing::TestWithParam<PageCountCase> {};

TEST_P(PageCount, IsThePagesNeededForAllPoints) {
    EXPECT_EQ(PageCountFor(GetParam().points, GetParam().pointsPerPage), GetParam().pages)
        << GetParam().points << " points, " << GetParam().pointsPerPage << " a page";
}

INSTANTIATE_TEST_SUITE_P(Chart, PageCount,
                         ::testing::Values(PageCountCase{1000, 500, 2}, PageCountCase{1001, 500, 3},
                                           PageCountCase{0, 500, 1}, PageCountCase{1000, 0, 1},
                                           PageCountCase{1000, 2147483647, 1}, PageCountCase{1000, 2147483000, 1},
                                           PageCountCase{2147483647, 2147483647, 1},
                                           PageCountCase{2147483647, 2147483646, 2},
                                           PageCountCase{2147483647, 100, 21474837}));

TEST(SamplesPerPrintedPageExit, TheLargestPageSizePrintsOnePage) {
    WindowHarness h;
    addPoints(h.series(1), 1000);
    h.w.SamplesPerPrintedPage.setText("2147483647");
    h.w.SamplesPerPrintedPage.exit();
    h.w.PrintButtonClick();
    EXPECT_EQ(printedPages(h.vp.chart, 2147483647), (std::vector<int>{1}));
}

TEST(SamplesPerPrintedPageExit, TwentyTypedStaysTwentyWhileHundredIsUsed) {
    WindowHarness h;
    addPoints(h.series(1), 1000);
    h.w.SamplesPerPrintedPage.setText("20");
    h.w.SamplesPerPrintedPage.exit();
    EXPECT_EQ(h.w.SamplesPerPrintedPage.text(), "20");
    EXPECT_EQ(h.w.State.SamplesPerPage, 100);
    h.w.PrintButtonClick();
    EXPECT_EQ(printedPages(h.vp.chart, 100), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(SamplesPerPrintedPageExit, EmptyOrNoIntegerKeepsTheValue) {
    WindowHarness h;
    h.w.SamplesPerPrintedPage.setText("250");
    h.w.SamplesPerPrintedPage.exit();
    h.w.SamplesPerPrintedPage.setText("");
    h.w.SamplesPerPrintedPage.exit();
    EXPECT_EQ(h.w.State.SamplesPerPage, 250);
    h.w.SamplesPerPrintedPage.setText("2e3");
    EXPECT_THROW(h.w.SamplesPerPrintedPageExit(), EConvertError);
    EXPECT_EQ(h.w.State.SamplesPerPage, 250);
}

TEST(SamplesPerPrintedPageExit, ATypedTextTakesEffectOnlyOnLeavingTheBox) {
    WindowHarness h;
    addPoints(h.series(1), 1000);
    h.w.SamplesPerPrintedPage.setText("1000");
    h.w.PrintButtonClick();
    EXPECT_EQ(h.vp.chart.printed().size(), 2u);
}

// A printer that fails on the second page.
class JammingChart : public MemoryChart {
public:
    void PrintLandscape() override {
        if (page() == 2) throw Exception("Printer out of paper");
        MemoryChart::PrintLandscape();
    }
};

TEST(PrintButtonClickFailure, APrinterErrorStillRestoresThePaging) {
    test::TempWorkDir dir;
    VirtualPlatform vp;
    JammingChart chart;
    Platform platform{vp.time, vp.time, vp.time, vp.dialogs, vp.telnet, chart, vp.desktop};
    TGPIBTelnet w(platform);
    addPoints(chart.Series(1), 1500);
    chart.SetPointsPerPage(0);
    EXPECT_THROW(w.PrintButtonClick(), Exception);
    EXPECT_EQ(chart.printed().size(), 1u);
    EXPECT_EQ(chart.GetPointsPerPage(), 0);
}

}  // namespace
}  // namespace qs
