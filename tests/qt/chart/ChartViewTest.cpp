// What the chart shows: coalesced repaints, the fit to the data, the user's
// zoom and pan, paging; a time axis readable down to the narrowest chart;
// the names of the files it is saved to.
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "TimeAxisLabels.h"
#include "WindowTestSupport.h"
#include "qt/chart/DaysDateTimeTicker.h"
#include "qt/chart/QtChart.h"

namespace qs::test {
namespace {


struct ChartViewTest : ::testing::Test {
    QtChart chart;
    QCustomPlot* plot = chart.widget();

    void SetUp() override {
        plot->resize(800, 500);
        plot->show();
    }
    // n samples one second apart on Series1 (y = i) and Series4 (y = 100 + i).
    void addSamples(int n, int from = 0) {
        for (int i = from; i < from + n; ++i) {
            chart.Series(1).AddPoint(kStart + i * kSecond, i);
            chart.Series(4).AddPoint(kStart + i * kSecond, 100.0 + i);
            chart.Redraw();
        }
    }
    void settle() {
        ASSERT_TRUE(WaitFor([&] { return !chart.replotPending(); }, 2000));
    }
};

TEST_F(ChartViewTest, ManyChangesInABurstGiveOneRepaint) {
    settle();
    const int before = chart.replotCount();
    addSamples(2000);
    EXPECT_EQ(chart.replotCount(), before);  // nothing painted inside the burst
    settle();
    EXPECT_EQ(chart.replotCount(), before + 1);
}

TEST_F(ChartViewTest, RepaintsAreAtMostOnePerFrameWhileSamplesKeepComing) {
    settle();
    const int before = chart.replotCount();
    QElapsedTimer clock;
    clock.start();
    int i = 0;
    // At least 300 ms, and on a slow or busy machine (sanitizers) until
    // three repaints came, for at most two seconds.
    while (clock.elapsed() < 300 || (chart.replotCount() - before < 3 && clock.elapsed() < 2000)) {
        addSamples(1, i++);
        QCoreApplication::processEvents();
    }
    const qint64 elapsed = clock.elapsed();
    const int repaints = chart.replotCount() - before;
    EXPECT_GE(repaints, 3);
    EXPECT_LE(repaints, elapsed / 16 + 2);
    EXPECT_GT(i, repaints * 5);  // many samples per repaint
}

TEST_F(ChartViewTest, AxesFitTheVisibleSeries) {
    addSamples(11);
    chart.replotNow();
    EXPECT_DOUBLE_EQ(plot->xAxis->range().lower, kStart);
    EXPECT_DOUBLE_EQ(plot->xAxis->range().upper, kStart + 10 * kSecond);
    // left: 0..10 with 5 % room, right: 100..110 likewise
    EXPECT_DOUBLE_EQ(plot->yAxis->range().lower, -0.5);
    EXPECT_DOUBLE_EQ(plot->yAxis->range().upper, 10.5);
    EXPECT_DOUBLE_EQ(plot->yAxis2->range().lower, 99.5);
    EXPECT_DOUBLE_EQ(plot->yAxis2->range().upper, 110.5);
    // A hidden series no longer stretches its axis.
    chart.Series(2).AddPoint(kStart, 1000.0);
    chart.Series(2).SetVisible(false);
    chart.replotNow();
    EXPECT_DOUBLE_EQ(plot->yAxis->range().upper, 10.5);
}

TEST_F(ChartViewTest, ScrollingWindowFollowsTheNewestPoints) {
    addSamples(10);
    for (int i = 0; i < 5; ++i) chart.Series(1).DeleteFirst();
    for (int i = 0; i < 5; ++i) chart.Series(4).DeleteFirst();
    chart.replotNow();
    EXPECT_DOUBLE_EQ(plot->xAxis->range().lower, kStart + 5 * kSecond);
    // The extreme 0 left with the oldest points: the axis fits 5..9.
    EXPECT_DOUBLE_EQ(plot->yAxis->range().lower, 5.0 - 0.2);
}

TEST_F(ChartViewTest, DragToLowerRightZoomsInAndBackToUpperLeftShowsAllAgain) {
    addSamples(100);
    chart.replotNow();
    const QCPRange all = plot->xAxis->range();
    const QRect r = plot->axisRect()->rect();
    const QPoint a = r.topLeft() + QPoint(r.width() / 4, r.height() / 4);
    const QPoint b = r.topLeft() + QPoint(r.width() / 2, r.height() / 2);
    QTest::mousePress(plot, Qt::LeftButton, {}, a);
    QTest::mouseMove(plot, b);
    QTest::mouseRelease(plot, Qt::LeftButton, {}, b);
    EXPECT_FALSE(chart.autoView());
    EXPECT_LT(plot->xAxis->range().size(), all.size() * 0.3);
    // New samples do not undo the user's zoom.
    addSamples(10, 100);
    chart.replotNow();
    EXPECT_LT(plot->xAxis->range().size(), all.size() * 0.3);
    // Dragging back towards the upper left returns to every point.
    QTest::mousePress(plot, Qt::LeftButton, {}, b);
    QTest::mouseMove(plot, a);
    QTest::mouseRelease(plot, Qt::LeftButton, {}, a);
    EXPECT_TRUE(chart.autoView());
    chart.replotNow();
    EXPECT_DOUBLE_EQ(plot->xAxis->range().upper, kStart + 109 * kSecond);
}

TEST_F(ChartViewTest, DataStartingOverIsShownWholeAgain) {
    addSamples(100);
    chart.replotNow();
    const QRect r = plot->axisRect()->rect();
    QTest::mousePress(plot, Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(plot, Qt::LeftButton, {}, r.center() + QPoint(40, 40));
    ASSERT_FALSE(chart.autoView());
    for (int n = 1; n <= 6; ++n) chart.Series(n).Clear();
    EXPECT_TRUE(chart.autoView());
    addSamples(10, 500);
    chart.replotNow();
    EXPECT_DOUBLE_EQ(plot->xAxis->range().lower, kStart + 500 * kSecond);
}

TEST_F(ChartViewTest, RightDragPansTheView) {
    addSamples(100);
    chart.replotNow();
    const QCPRange before = plot->xAxis->range();
    const QPoint c = plot->axisRect()->rect().center();
    QTest::mousePress(plot, Qt::RightButton, {}, c);
    QMouseEvent move(QEvent::MouseMove, QPointF(c + QPoint(-100, 0)), plot->mapToGlobal(QPointF(c + QPoint(-100, 0))),
                     Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
    QTest::mouseRelease(plot, Qt::RightButton, {}, c + QPoint(-100, 0));
    EXPECT_FALSE(chart.autoView());
    // Dragged left: later times come into view, the span is unchanged.
    EXPECT_GT(plot->xAxis->range().lower, before.lower);
    EXPECT_NEAR(plot->xAxis->range().size(), before.size(), before.size() * 1e-9);
}

TEST_F(ChartViewTest, PagesShowTheirPointsOfTheLongestSeriesAndPagingOffShowsAll) {
    addSamples(1001);
    chart.Series(4).Clear();  // Series1 alone is the longest
    chart.SetPointsPerPage(500);
    EXPECT_EQ(chart.GetPointsPerPage(), 500);
    EXPECT_EQ(chart.PageCount(), 3);
    chart.SetPage(2);
    EXPECT_DOUBLE_EQ(plot->xAxis->range().lower, kStart + 500 * kSecond);
    EXPECT_DOUBLE_EQ(plot->xAxis->range().upper, kStart + 999 * kSecond);
    EXPECT_NEAR(plot->yAxis->range().lower, 500 - 499 * 0.05, 1e-9);
    chart.SetPage(3);  // the one last point, in the middle of the view
    EXPECT_NEAR(plot->xAxis->range().center(), kStart + 1000 * kSecond, 1e-9);
    chart.SetPointsPerPage(0);
    EXPECT_EQ(chart.PageCount(), 1);
    chart.replotNow();
    EXPECT_DOUBLE_EQ(plot->xAxis->range().lower, kStart);
    EXPECT_DOUBLE_EQ(plot->xAxis->range().upper, kStart + 1000 * kSecond);
}

TEST_F(ChartViewTest, PageCountMatchesWholePagesOfPoints) {
    struct Case {
        int points, perPage, pages;
    };
    // hand-counted: 1000/500 = 2, 1001/500 -> 3, nothing -> 1, no paging -> 1
    for (Case c : {Case{1000, 500, 2}, Case{1001, 500, 3}, Case{0, 500, 1}, Case{1000, 0, 1}, Case{100, 100, 1}}) {
        chart.Series(1).Clear();
        chart.Series(4).Clear();
        for (int i = 0; i < c.points; ++i) chart.Series(1).AddPoint(kStart + i * kSecond, i);
        chart.SetPointsPerPage(c.perPage);
        EXPECT_EQ(chart.PageCount(), c.pages) << c.points << " points at " << c.perPage;
    }
}

// ---- the time axis

TEST(TimeAxisSteps, GrowThroughRoundTimesAsTheSpanGrowsFromSecondsToWeeks) {
    struct Case {
        double span, step;
    };
    // On 1000 pixels, labels 150 pixels apart: the smallest round step of at
    // least span * 0.15 seconds (hand-computed).
    for (Case c : {Case{3, 1}, Case{10, 2}, Case{30, 5}, Case{60, 10}, Case{100, 15}, Case{180, 30}, Case{600, 120},
                   Case{1800, 300}, Case{3600, 600}, Case{7200, 1800}, Case{6 * 3600, 3600}, Case{86400, 21600},
                   Case{3 * 86400, 43200}, Case{7 * 86400, 2 * 86400}, Case{14 * 86400, 7 * 86400},
                   Case{60 * 86400, 14 * 86400}, Case{365 * 86400, 56 * 86400}})
        EXPECT_EQ(DaysDateTimeTicker::roundStepSeconds(c.span, 1000, 150), c.step) << c.span << " s";
}

// The chart alone, down to the narrowest it allows: at least one whole label.
class TimeAxisOfANarrowChart : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(TimeAxisOfANarrowChart, LabelsNeverOverlapOrClipAndTicksFallOnRoundTimes) {
    const auto [width, span] = GetParam();
    QtChart chart;
    chart.widget()->resize(width, 400);
    chart.widget()->show();
    AddSpan(chart, span);
    SCOPED_TRACE("chart " + std::to_string(chart.widget()->width()) + " px, " + std::to_string(span) + " s");
    ExpectReadableTimeLabels(*chart.widget(), 1);
}

INSTANTIATE_TEST_SUITE_P(WidthsAndSpans, TimeAxisOfANarrowChart,
                         ::testing::Combine(::testing::Values(320, 500), ::testing::Values(10, 600, 3 * 86400)),
                         WidthAndSpanName);

TEST(ChartFileTest, TheNameEndingDecidesTheFormatAndAMissingOneComesFromTheFilter) {
    using F = ChartFile::Format;
    const QString png = QStringLiteral("PNG image (*.png)"), twice = QStringLiteral("PNG image, twice the size (*.png)"),
                  pdf = QStringLiteral("PDF document (*.pdf)");
    struct Case {
        QString path, filter;
        ChartFile expected;
    };
    for (const Case& c : {Case{"/d/a.png", png, {"/d/a.png", F::Png}}, Case{"/d/a.png", twice, {"/d/a.png", F::PngDoubleSize}},
                          Case{"/d/a.PDF", png, {"/d/a.PDF", F::Pdf}}, Case{"/d/a", pdf, {"/d/a.pdf", F::Pdf}},
                          Case{"/d/a", twice, {"/d/a.png", F::PngDoubleSize}}, Case{"/d/a.txt", png, {"/d/a.txt.png", F::Png}}})
        EXPECT_EQ(ChartFileFor(c.path, c.filter), c.expected) << c.path.toStdString() << " with " << c.filter.toStdString();
    EXPECT_EQ(ChartFileStem(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC)), "Chart-20240305-140709");
}

}  // namespace
}  // namespace qs::test
