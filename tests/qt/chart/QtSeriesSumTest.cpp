// The chart's own series add up their y values from the oldest point up, one
// by one, like every other store, also after the oldest points were dropped,
// keep their points in the memory store's order, and the sum they keep of
// all their points is that sum to the last bit.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <utility>

#include "SumDifferential.h"
#include "core/Statistics.h"
#include "platform/MemorySeries.h"
#include "qt/chart/QtChart.h"

namespace qs::test {
namespace {

TEST(QtSeriesSum, AddsFromTheOldestPointUp) {
    QtChart chart;
    ISeries& s = chart.Series(1);
    // 1e16 - 1e16 cancels before 1 is added; the other way round 1 would vanish.
    for (double y : {1e16, -1e16, 1.0}) s.AddPoint(0.0, y);
    EXPECT_EQ(s.sumY(0, 3), 1.0);
    EXPECT_EQ(RunningMean(s, 0), 1.0 / 3.0);
    EXPECT_EQ(s.sumY(1, 3), -1e16);
    EXPECT_THROW(s.sumY(0, 4), std::out_of_range);
}

TEST(QtSeriesSum, MatchesTheSumOfItsPointsOneByOneAfterScrolling) {
    QtChart chart;
    ISeries& s = chart.Series(4);
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> v(-1e3, 1e3);
    for (int i = 0; i < 5000; ++i) s.AddPoint(i, v(rng));
    for (int drop = 0; drop < 100; ++drop) s.DeleteFirst();
    for (auto [first, last] : {std::pair{0, 4900}, std::pair{4890, 4900}, std::pair{17, 18}}) {
        double expected = 0.0;
        for (int i = first; i < last; ++i) expected += s.YValue(i);
        EXPECT_EQ(s.sumY(first, last), expected) << first << " to " << last;
    }
}

TEST(QtSeriesSum, TheSumOfAllPointsIsTheirPlainSumBitForBitWhateverHappened) {
    for (unsigned seed : {1u, 2u, 3u}) {
        QtChart chart;
        CheckStoreSums(chart.Series(1), seed, 3000);
    }
}

TEST(QtSeriesSum, EveryMeanIsThePlainSumOfItsPointsBitForBitThroughScrollingModesAndLoads) {
    for (unsigned seed : {7u, 8u, 9u}) CheckWindowMeans<QtChart>(seed, 1500);
}

// The chart's store and the memory store of the tests hold the same points
// in the same order after any mix of additions (times out of order, many
// equal ones) and deletions of the first point.
TEST(QtSeriesOrder, IsTheMemoryStoresOrder) {
    QtChart chart;
    ISeries& chartStore = chart.Series(2);
    MemorySeries memory;
    std::mt19937_64 rng(23);
    for (int step = 0; step < 3000; ++step) {
        if (rng() % 5 == 0) {
            chartStore.DeleteFirst();
            memory.DeleteFirst();
        } else {
            const double x = static_cast<double>(rng() % 8);
            chartStore.AddPoint(x, step);
            memory.AddPoint(x, step);
        }
        ASSERT_EQ(chartStore.Count(), memory.Count()) << "step " << step;
        for (int i = 0; i < memory.Count(); ++i) {
            ASSERT_EQ(chartStore.XValue(i), memory.XValue(i)) << "step " << step << " point " << i;
            ASSERT_EQ(chartStore.YValue(i), memory.YValue(i)) << "step " << step << " point " << i;
        }
    }
}

}  // namespace
}  // namespace qs::test
