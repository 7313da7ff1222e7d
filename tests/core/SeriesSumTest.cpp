// Adding up a series' y values: every store adds them from the oldest point
// up, one by one, so that a running mean is the same number whichever store
// holds the points, also when the store answers from a sum it keeps.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "SumDifferential.h"
#include "core/Statistics.h"
#include "platform/BoundedSeries.h"
#include "platform/MemorySeries.h"

namespace qs {
namespace {

// A store that keeps the interface's own sum: each point read through YValue.
class PlainSeries : public ISeries {
public:
    void AddPoint(double x, double y) override { inner_.AddPoint(x, y); }
    void Clear() override { inner_.Clear(); }
    int Count() const override { return inner_.Count(); }
    void DeleteFirst() override { inner_.DeleteFirst(); }
    double XValue(int index) const override { return inner_.XValue(index); }
    double YValue(int index) const override { return inner_.YValue(index); }
    double MaxY() const override { return inner_.MaxY(); }
    double MinY() const override { return inner_.MinY(); }
    void SetVisible(bool) override {}
    bool Visible() const override { return true; }
    void SetPenWidth(int) override {}
    int PenWidth() const override { return 1; }

private:
    MemorySeries inner_;
};

// A bounded store that holds every point it is given here.
class RoomyBoundedSeries : public BoundedSeries {
public:
    RoomyBoundedSeries() { setHeld(1 << 20); }
};

template <class Series>
class SeriesSum : public ::testing::Test {};
using Stores = ::testing::Types<MemorySeries, PlainSeries, RoomyBoundedSeries>;
TYPED_TEST_SUITE(SeriesSum, Stores);

TYPED_TEST(SeriesSum, AddsFromTheOldestPointUp) {
    TypeParam s;
    // In this order 1e16 - 1e16 cancels before 1 is added; from the newest
    // point down, 1 would vanish into -1e16 and the sum would be 0.
    for (double y : {1e16, -1e16, 1.0}) s.AddPoint(0.0, y);
    EXPECT_EQ(s.sumY(0, 3), 1.0);
    EXPECT_EQ(RunningMean(s, 0), 1.0 / 3.0);
    EXPECT_EQ(s.sumY(1, 3), -1e16);  // -1e16 + 1 rounds back to -1e16
    EXPECT_EQ(s.sumY(2, 2), 0.0);
}

TYPED_TEST(SeriesSum, MatchesTheSumOfItsPointsOneByOne) {
    TypeParam s;
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> v(-1e3, 1e3);
    for (int i = 0; i < 5000; ++i) s.AddPoint(i, v(rng));
    for (int drop = 0; drop < 100; ++drop) s.DeleteFirst();  // the oldest point is no longer index 0 in storage
    for (auto [first, last] : {std::pair{0, 4900}, std::pair{4890, 4900}, std::pair{17, 18}, std::pair{100, 2500}}) {
        double expected = 0.0;
        for (int i = first; i < last; ++i) expected += s.YValue(i);
        EXPECT_EQ(s.sumY(first, last), expected) << first << " to " << last;
    }
}

TYPED_TEST(SeriesSum, TheSumOfAllPointsIsTheirPlainSumBitForBitWhateverHappened) {
    for (unsigned seed : {1u, 2u, 3u}) {
        TypeParam s;
        test::CheckStoreSums(s, seed, 3000);
    }
}

// ---- the order of the points: the chart's store keeps them in ascending x,
//      whatever the order they come in, and places a point of an x it holds
//      already after the equal ones at the newest end and before them
//      elsewhere (QCustomPlot appends what is not below its last key and
//      inserts the rest at the lower bound). The memory store does the same.

struct OrderCase {
    const char* name;
    std::vector<std::pair<double, double>> added;  // x and y; an x of -1 deletes the first point
    std::vector<std::pair<double, double>> held;
};

class SeriesOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(SeriesOrder, IsAscendingXWithTiesPlacedAsOnTheChart) {
    auto check = [](ISeries& s) {
        for (auto [x, y] : GetParam().added) {
            if (x < 0) s.DeleteFirst();
            else s.AddPoint(x, y);
        }
        std::vector<std::pair<double, double>> held;
        for (int i = 0; i < s.Count(); ++i) held.emplace_back(s.XValue(i), s.YValue(i));
        EXPECT_EQ(held, GetParam().held);
    };
    MemorySeries memory;
    check(memory);
    RoomyBoundedSeries bounded;
    check(bounded);
}

INSTANTIATE_TEST_SUITE_P(
    Store, SeriesOrder,
    ::testing::Values(OrderCase{"InOrder", {{1, 10}, {2, 20}, {3, 30}}, {{1, 10}, {2, 20}, {3, 30}}},
                      OrderCase{"BelowTheOldestGoesFirst", {{2, 20}, {3, 30}, {1, 10}}, {{1, 10}, {2, 20}, {3, 30}}},
                      OrderCase{"BetweenGoesInPlace", {{1, 10}, {3, 30}, {2, 20}}, {{1, 10}, {2, 20}, {3, 30}}},
                      OrderCase{"EqualToTheNewestGoesAfterIt", {{1, 10}, {2, 20}, {2, 21}},
                                {{1, 10}, {2, 20}, {2, 21}}},
                      OrderCase{"AllEqualKeepTheirOrder", {{1, 10}, {1, 11}, {1, 12}}, {{1, 10}, {1, 11}, {1, 12}}},
                      OrderCase{"EqualToTheOldestGoesBeforeIt", {{1, 10}, {2, 20}, {1, 11}},
                                {{1, 11}, {1, 10}, {2, 20}}},
                      OrderCase{"EqualInTheMiddleGoesBeforeTheEqualOnes",
                                {{1, 10}, {2, 20}, {2, 21}, {3, 30}, {2, 22}},
                                {{1, 10}, {2, 22}, {2, 20}, {2, 21}, {3, 30}}},
                      OrderCase{"DeleteFirstTakesTheSmallestX", {{3, 30}, {1, 10}, {2, 20}, {-1, 0}},
                                {{2, 20}, {3, 30}}},
                      OrderCase{"DeleteFirstTakesTheFirstOfEqualOnes",
                                {{2, 20}, {3, 30}, {2, 21}, {-1, 0}},
                                {{2, 20}, {3, 30}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- a clock set back: the bounded store puts a point that comes out of
//      time order where the full store puts it, so that the sums of every
//      point and of the newest ones stay the full store's to the last bit.
//      Times are in days, as on the time axis; one second is kSecond.

constexpr double kSecond = 1.0 / 86400.0;

struct ClockCase {
    const char* name;
    int held;
    std::vector<double> seconds;  // the time of each point, in seconds from the start
};

class BoundedStoreClock : public ::testing::TestWithParam<ClockCase> {};

TEST_P(BoundedStoreClock, SumsEveryPointAsTheFullStoreDoesAfterTheClockStepsBack) {
    const ClockCase& c = GetParam();
    MemorySeries full;
    BoundedSeries bounded;
    bounded.setHeld(c.held);
    std::mt19937_64 rng(c.seconds.size());
    for (std::size_t i = 0; i < c.seconds.size(); ++i) {
        const double x = 46000.0 + c.seconds[i] * kSecond, y = test::RoughValue(rng);
        full.AddPoint(x, y);
        bounded.AddPoint(x, y);
        const int n = full.Count();
        ASSERT_EQ(bounded.Count(), n);
        ASSERT_EQ(test::Bits(bounded.sumY(0, n)), test::Bits(full.sumY(0, n))) << "point " << i;
        for (int last : {1, 2, c.held}) {
            if (last > n) continue;
            ASSERT_EQ(test::Bits(bounded.sumY(n - last, n)), test::Bits(full.sumY(n - last, n)))
                << "the newest " << last << ", point " << i;
            ASSERT_EQ(bounded.XValue(n - last), full.XValue(n - last)) << "point " << i;
        }
    }
}

// A run of points a second or a minute apart, as a logger takes them, with
// the clock set back once or twice.
std::vector<double> Run(std::initializer_list<std::pair<int, double>> stretches) {
    std::vector<double> times;
    double t = 0.0;
    for (auto [points, step] : stretches) {
        for (int i = 0; i < points; ++i) times.push_back(t += step);
    }
    return times;
}

INSTANTIATE_TEST_SUITE_P(
    TimeSequence, BoundedStoreClock,
    ::testing::Values(ClockCase{"InOrder", 1, Run({{300, 60.0}})},
                      ClockCase{"BackTenMinutesEveryMinute", 1, Run({{200, 60.0}, {1, -600.0}, {100, 60.0}})},
                      ClockCase{"BackTenMinutesMeanOf5", 5, Run({{200, 60.0}, {1, -600.0}, {100, 60.0}})},
                      ClockCase{"BackFiftyMinutes", 1, Run({{200, 60.0}, {1, -3000.0}, {100, 60.0}})},
                      ClockCase{"BackAnHourTwice", 3, Run({{100, 60.0}, {1, -3540.0}, {80, 60.0}, {1, -3540.0}, {80, 60.0}})},
                      ClockCase{"BackOneSecondEveryHalfSecond", 1, Run({{10000, 0.5}, {1, -1.0}, {3000, 0.5}})},
                      ClockCase{"BackToTheSecondOfTheOldestHeld", 4,
                                Run({{1, 1.0}, {1, 0.0}, {1, 1.0}, {1, 0.0}, {1, 1.0}, {1, 0.0}, {1, 7200.0},
                                     {2, 1.0}, {1, -7202.0}, {1, 0.0}, {5, 7203.0}})},
                      ClockCase{"ManySharingASecond", 4, Run({{500, 0.0}, {1, 4000.0}, {500, 0.0}, {1, -1.0}, {10, 0.0}})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BoundedStoreClock, HoldsNoMoreThanTheLastHourOrWhatItMustHold) {
    BoundedSeries s;
    s.setHeld(10);
    for (int i = 0; i < 1000; ++i) s.AddPoint(46000.0 + i * 70 * kSecond, i);
    EXPECT_EQ(s.pointsHeld(), 52);  // the newest and the 51 of the hour before it
    s.setHeld(100);
    for (int i = 1000; i < 1100; ++i) s.AddPoint(46000.0 + i * 70 * kSecond, i);
    EXPECT_EQ(s.pointsHeld(), 100);
}

TEST(SeriesSumRange, AStoreRefusesPointsItDoesNotHold) {
    MemorySeries s;
    s.AddPoint(0.0, 1.0);
    EXPECT_THROW(s.sumY(0, 2), std::out_of_range);
    EXPECT_THROW(s.sumY(-1, 1), std::out_of_range);
    BoundedSeries b;
    b.setHeld(2);
    for (int i = 0; i < 5; ++i) b.AddPoint(i, i);
    EXPECT_EQ(b.Count(), 5);
    EXPECT_EQ(b.sumY(3, 5), 7.0);
    EXPECT_EQ(b.sumY(0, 5), 10.0);  // the kept sum outlives the points
    EXPECT_THROW(b.YValue(2), std::out_of_range);
    EXPECT_THROW(b.DeleteFirst(), std::out_of_range);
}

}  // namespace
}  // namespace qs
