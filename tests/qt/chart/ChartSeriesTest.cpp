// The series store on QCustomPlot graphs and the chart's look.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <cmath>
#include <limits>

#include "WindowTestSupport.h"
#include "chart/SeriesStyle.h"
#include "qt/chart/DaysDateTimeTicker.h"
#include "qt/chart/QtChart.h"

namespace qs::test {
namespace {

// 2024-03-05 14:07:09 UTC in days since 1899-12-30: 45356 days and
// 14*3600+7*60+9 = 50829 seconds.
constexpr double kDay = 45356.0;
constexpr double kSecond = 1.0 / 86400.0;
constexpr double kSample = kDay + 50829.0 * kSecond;

struct ChartSeriesTest : ::testing::Test {
    QtChart chart;
    ISeries& s1 = chart.Series(1);
};

TEST_F(ChartSeriesTest, PointsComeBackByIndexOldestFirstAndTheGraphHoldsThem) {
    s1.AddPoint(kSample, 1.5);
    s1.AddPoint(kSample + kSecond, -2.25);
    s1.AddPoint(kSample + 2 * kSecond, 3.0);
    ASSERT_EQ(s1.Count(), 3);
    EXPECT_DOUBLE_EQ(s1.XValue(0), kSample);
    EXPECT_DOUBLE_EQ(s1.YValue(1), -2.25);
    EXPECT_DOUBLE_EQ(s1.YValue(2), 3.0);
    // One copy of the points: the graph's own container.
    EXPECT_EQ(chart.widget()->graph(0)->data()->size(), 3);
    EXPECT_THROW(s1.YValue(3), std::out_of_range);
    EXPECT_THROW(s1.YValue(-1), std::out_of_range);
}

TEST_F(ChartSeriesTest, KeysStayExactlyAsGiven) {
    // No conversion on the way in or out: the loader and the mean read back
    // what they stored.
    const double x = kSample + 0.123456789 * kSecond;
    s1.AddPoint(x, 1.0);
    EXPECT_EQ(s1.XValue(0), x);
}

TEST_F(ChartSeriesTest, DeleteFirstRemovesExactlyOnePointAlsoAmongEqualTimes) {
    // Several samples in one second share their x.
    s1.AddPoint(kSample, 1.0);
    s1.AddPoint(kSample, 2.0);
    s1.AddPoint(kSample, 3.0);
    s1.DeleteFirst();
    ASSERT_EQ(s1.Count(), 2);
    EXPECT_DOUBLE_EQ(s1.YValue(0), 2.0);
    s1.DeleteFirst();
    s1.DeleteFirst();
    EXPECT_EQ(s1.Count(), 0);
    s1.DeleteFirst();
    EXPECT_EQ(s1.Count(), 0);
}

// Load makes room for the lines of its file before it adds them: the points
// then go into that room without being moved, and the series behaves as
// one that grew.
TEST_F(ChartSeriesTest, RoomMadeAheadOfALoadTakesThePointsWithoutMovingThem) {
    constexpr int kPoints = 1 << 20;  // 16 MiB of points: room the kernel may give in large pages
    s1.Reserve(kPoints);
    EXPECT_GE(dynamic_cast<QtSeries&>(s1).data().room(), kPoints);
    const QCPGraphDataContainer& data = *chart.widget()->graph(0)->data();
    s1.AddPoint(kSample, 0.0);
    const QCPGraphData* first = &*data.constBegin();
    for (int i = 1; i < kPoints; ++i) s1.AddPoint(kSample + i * kSecond, i % 7);
    EXPECT_EQ(&*data.constBegin(), first);
    ASSERT_EQ(s1.Count(), kPoints);
    // Less room than there are points changes nothing.
    s1.Reserve(10);
    EXPECT_EQ(&*data.constBegin(), first);
    s1.DeleteFirst();
    s1.AddPoint(kSample - kSecond, -1.0);  // an older point still takes its place
    ASSERT_EQ(s1.Count(), kPoints);
    EXPECT_EQ(s1.YValue(0), -1.0);
    EXPECT_EQ(s1.YValue(1), 1.0);
    EXPECT_EQ(s1.YValue(kPoints - 1), (kPoints - 1) % 7);
    EXPECT_EQ(s1.MaxY(), 6.0);
    EXPECT_EQ(s1.MinY(), -1.0);
}

TEST_F(ChartSeriesTest, AnOlderPointTakesItsPlaceInTimeOrder) {
    s1.AddPoint(kSample + 2 * kSecond, 3.0);
    s1.AddPoint(kSample, 1.0);
    EXPECT_DOUBLE_EQ(s1.YValue(0), 1.0);
    s1.DeleteFirst();
    EXPECT_DOUBLE_EQ(s1.YValue(0), 3.0);
}

TEST_F(ChartSeriesTest, MaxAndMinAreZeroWhenEmptyAndFollowAddsDeletesAndClear) {
    EXPECT_EQ(s1.MaxY(), 0.0);
    EXPECT_EQ(s1.MinY(), 0.0);
    const double ys[] = {5.0, -1.0, 7.5, 2.0};
    for (int i = 0; i < 4; ++i) s1.AddPoint(kSample + i * kSecond, ys[i]);
    EXPECT_EQ(s1.MaxY(), 7.5);
    EXPECT_EQ(s1.MinY(), -1.0);
    s1.DeleteFirst();  // 5.0 was neither
    EXPECT_EQ(s1.MaxY(), 7.5);
    s1.DeleteFirst();  // -1.0 was the minimum: 7.5 and 2.0 remain
    EXPECT_EQ(s1.MinY(), 2.0);
    s1.DeleteFirst();  // 7.5 was the maximum
    EXPECT_EQ(s1.MaxY(), 2.0);
    s1.AddPoint(kSample + 9 * kSecond, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(s1.MaxY(), 2.0);
    s1.Clear();
    EXPECT_EQ(s1.Count(), 0);
    EXPECT_EQ(s1.MaxY(), 0.0);
    EXPECT_EQ(s1.MinY(), 0.0);
}

TEST_F(ChartSeriesTest, VisibilityAndPenWidthReachTheGraph) {
    ISeries& s6 = chart.Series(6);
    s6.SetVisible(false);
    s6.SetPenWidth(2);
    EXPECT_FALSE(s6.Visible());
    EXPECT_FALSE(chart.widget()->graph(5)->visible());
    EXPECT_EQ(s6.PenWidth(), 2);
    EXPECT_EQ(chart.widget()->graph(5)->pen().width(), 2);
    EXPECT_THROW(chart.Series(7), std::out_of_range);
}

TEST_F(ChartSeriesTest, SixGraphsWithTheirColoursAxesAndWidths) {
    QCustomPlot* plot = chart.widget();
    ASSERT_EQ(plot->graphCount(), 6);
    for (const SeriesStyle& style : SeriesStyles()) {
        SCOPED_TRACE(std::string(style.name));
        QCPGraph* g = plot->graph(style.series - 1);
        EXPECT_EQ(g->pen().color(), QColor(style.colour.r, style.colour.g, style.colour.b));
        EXPECT_EQ(g->valueAxis(), style.axis == ValueAxis::Left ? plot->yAxis : plot->yAxis2);
        EXPECT_EQ(g->keyAxis(), plot->xAxis);
        EXPECT_EQ(g->pen().width(), style.initialPenWidth);
        EXPECT_TRUE(g->visible());
        EXPECT_TRUE(g->adaptiveSampling());
    }
    // red, blue, black on the left; green, fuchsia, orange on the right
    EXPECT_EQ(plot->graph(0)->pen().color(), QColor(255, 0, 0));
    EXPECT_EQ(plot->graph(4)->pen().color(), QColor(255, 0, 255));
    EXPECT_EQ(plot->graph(5)->pen().color(), QColor(255, 128, 0));
}

TEST_F(ChartSeriesTest, AxesGridsAndBackgroundHaveTheChartsLook) {
    QCustomPlot* plot = chart.widget();
    EXPECT_EQ(plot->xAxis->label(), "Universal Time (UTC)");
    EXPECT_TRUE(plot->yAxis2->visible());
    EXPECT_FALSE(plot->xAxis2->visible());
    EXPECT_FALSE(plot->legend->visible());
    EXPECT_EQ(plot->yAxis->grid()->pen().style(), Qt::SolidLine);
    EXPECT_EQ(plot->yAxis2->grid()->pen().style(), Qt::DashDotDotLine);
    EXPECT_TRUE(plot->yAxis2->grid()->visible());
    for (QCPAxis* axis : {plot->xAxis, plot->yAxis, plot->yAxis2})
        EXPECT_EQ(axis->basePen().color(), QColor(64, 64, 64));
    EXPECT_EQ(plot->yAxis->grid()->pen().color(), QColor(192, 192, 192));
    const QGradient* g = plot->axisRect()->backgroundBrush().gradient();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->stops().back().second, QColor(Qt::white));
    const auto* linear = static_cast<const QLinearGradient*>(g);
    EXPECT_EQ(linear->start().x(), linear->finalStop().x());  // vertical
}

TEST_F(ChartSeriesTest, BottomAxisLabelsUtcDateTimesOfTheDaysKeys) {
    QCustomPlot* plot = chart.widget();
    plot->resize(1200, 600);
    plot->show();
    // Two minutes around 14:07:09: the ticks fall on whole seconds.
    plot->xAxis->setRange(kSample - 60 * kSecond, kSample + 60 * kSecond);
    plot->replot();
    QVector<double> ticks;
    QVector<QString> labels;
    plot->xAxis->ticker()->generate(plot->xAxis->range(), QLocale::c(), 'g', 6, ticks, nullptr, &labels);
    // A tick at the very edge may go without its label; the others carry one.
    labels.removeAll(QString());
    ASSERT_GE(labels.size(), 3);
    const QRegularExpression format(QStringLiteral("^2024-03-05-14:0[6-8]:\\d\\d$"));
    for (const QString& l : labels) EXPECT_TRUE(format.match(l).hasMatch()) << l.toStdString();
    // Ticks are keys again (days), on whole seconds.
    for (double t : ticks) {
        const double seconds = DaysDateTimeTicker::daysToUnixSeconds(t);
        EXPECT_NEAR(seconds, std::round(seconds), 1e-3);
    }
    // 1970-01-01 is day 25569; 2024-03-05 14:07:09 UTC is 1709647629 s.
    EXPECT_NEAR(DaysDateTimeTicker::daysToUnixSeconds(kSample), 1709647629.0, 1e-3);
    EXPECT_DOUBLE_EQ(DaysDateTimeTicker::unixSecondsToDays(0.0), 25569.0);
}

TEST_F(ChartSeriesTest, ValueAxesLabelWithThousandsSeparatorsAndAPoint) {
    QCustomPlot* plot = chart.widget();
    QVector<double> ticks;
    QVector<QString> labels;
    plot->yAxis->ticker()->generate(QCPRange(1199.75, 1201.25), QLocale(QLocale::German), 'g', 6, ticks, nullptr,
                                    &labels);
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_TRUE(labels.contains(QStringLiteral("1,200.5"))) << labels.join(' ').toStdString();
    EXPECT_TRUE(labels.contains(QStringLiteral("1,201")));
    plot->yAxis2->ticker()->generate(QCPRange(-0.0000002, 0.0000002), QLocale(QLocale::German), 'g', 6, ticks,
                                     nullptr, &labels);
    EXPECT_TRUE(labels.contains(QStringLiteral("-0.0000001"))) << labels.join(' ').toStdString();
}

}  // namespace
}  // namespace qs::test
