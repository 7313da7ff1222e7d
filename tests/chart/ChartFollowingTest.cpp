// Whether the chart follows new samples, and the wheel's zoom around the pointer.
#include <gtest/gtest.h>

#include <string>

#include "chart/ChartFollowing.h"

namespace qs::test {
namespace {

TEST(ChartFollowing, SaysWhetherItFollowsAndHowToMakeItFollowAgain) {
    EXPECT_EQ(FollowingText(true), "Following new samples");
    EXPECT_EQ(FollowingText(false), "Zoomed: Show All Points to follow");
}

struct WheelCase {
    const char* name;
    AxisSpan span;
    double at, notches;
    AxisSpan expected;  // worked out by hand: at - (at - lower) f, at + (upper - at) f, f = 0.8^notches
};

class WheelZoom : public ::testing::TestWithParam<WheelCase> {};

TEST_P(WheelZoom, ThePointUnderThePointerStaysAndEachNotchShowsFourFifths) {
    const WheelCase& c = GetParam();
    const AxisSpan z = WheelZoomed(c.span, c.at, c.notches, 1e-9, 1e9);
    EXPECT_NEAR(z.lower, c.expected.lower, 1e-9);
    EXPECT_NEAR(z.upper, c.expected.upper, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Spans, WheelZoom,
    ::testing::Values(WheelCase{"in_around_the_middle", {0, 100}, 50, 1, {10, 90}},
                      WheelCase{"in_at_the_left_end", {0, 100}, 0, 1, {0, 80}},
                      WheelCase{"in_off_centre", {0, 100}, 25, 1, {5, 85}},
                      WheelCase{"two_notches", {0, 100}, 50, 2, {18, 82}},
                      WheelCase{"out_one_notch", {10, 90}, 50, -1, {0, 100}},
                      WheelCase{"half_a_notch_of_a_touchpad", {0, 100}, 50, 0.5,
                                {50 - 50 * 0.894427190999916, 50 + 50 * 0.894427190999916}},
                      WheelCase{"no_turn", {3, 4}, 3.5, 0, {3, 4}}),
    [](const ::testing::TestParamInfo<WheelCase>& info) { return std::string(info.param.name); });

TEST(WheelZoomLimits, ASpanStaysWithinItsLimits) {
    EXPECT_EQ(WheelZoomed({0, 1}, 0.5, 10, 0.5, 10), (AxisSpan{0, 1}));
    EXPECT_EQ(WheelZoomed({0, 9}, 4.5, -1, 0.5, 10), (AxisSpan{0, 9}));
}

}  // namespace
}  // namespace qs::test
