// Every change of the points asks the chart for a repaint, also when a
// series only reports the first point added since the chart last repainted.
#include <gtest/gtest.h>

#include "qt/chart/QtChart.h"

namespace qs::test {
namespace {

constexpr double kStart = 45356.5;  // 2024-03-05 12:00 UTC
constexpr double kSecond = 1.0 / 86400.0;

TEST(ChartRepaintRequest, APointAddedAfterEachRepaintAsksForTheNext) {
    QtChart chart;
    chart.widget()->resize(640, 400);
    for (int round = 0; round < 3; ++round) {
        EXPECT_FALSE(chart.replotPending()) << round;
        chart.Series(2).AddPoint(kStart + round * kSecond, round);
        chart.Series(5).AddPoint(kStart + round * kSecond, -round);
        chart.Series(2).AddPoint(kStart + (round + 0.5) * kSecond, round);
        EXPECT_TRUE(chart.replotPending()) << round;
        chart.replotNow();
        EXPECT_EQ(chart.replotCount(), round + 1);
    }
    EXPECT_FALSE(chart.replotPending());
}

TEST(ChartRepaintRequest, EmptyingAndDroppingPointsAskForARepaint) {
    QtChart chart;
    chart.Series(1).AddPoint(kStart, 1.0);
    chart.Series(1).AddPoint(kStart + kSecond, 2.0);
    chart.replotNow();
    chart.Series(1).DeleteFirst();
    EXPECT_TRUE(chart.replotPending());
    chart.replotNow();
    chart.Series(1).Clear();
    EXPECT_TRUE(chart.replotPending());
    chart.replotNow();
    EXPECT_EQ(chart.replotCount(), 3);
}

}  // namespace
}  // namespace qs::test
