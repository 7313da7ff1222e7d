// Where the chart's lines break: the gap time from a series' own spacing,
// and that time as a width in keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/GapWidth.h"

namespace qs {
namespace {

constexpr double kDay0 = 45356.0;

// Keys in days of samples that follow each other by these steps (seconds), from a whole day.
std::vector<double> keysOf(const std::vector<double>& steps) {
    std::vector<double> keys{kDay0};
    double t = 0.0;
    for (double s : steps) keys.push_back(kDay0 + (t += s) / 86400.0);
    return keys;
}

std::vector<double> repeated(std::vector<double> pattern, int times) {
    std::vector<double> steps;
    for (int i = 0; i < times; ++i) steps.insert(steps.end(), pattern.begin(), pattern.end());
    return steps;
}

struct SpacingCase {
    const char* name;
    std::vector<double> steps;
    double typical;  // the median step, counted by hand
};

TEST(GapWidth, TypicalStepIsTheMedianStepOfTheSeriesWhateverItsLength) {
    std::vector<double> weekAt10 = repeated({10.0}, 60480);
    weekAt10[30000] = 3600.0;  // one stop of an hour in a week
    const SpacingCase cases[] = {
        {"no step", {}, 0.0},
        {"one step", {2.0}, 2.0},
        {"steady at 2 s", repeated({2.0}, 100), 2.0},
        {"alternate commands at 2 s", repeated({4.0}, 100), 4.0},
        {"slow replies", repeated({3.0, 3.0, 4.0}, 50), 3.0},
        {"a week at 10 s with an hour's stop", weekAt10, 10.0},
        {"two runs, the longer at 5 s", [] {
             std::vector<double> s = repeated({2.0}, 400);
             s.push_back(7200.0);
             const std::vector<double> r = repeated({5.0}, 600);
             s.insert(s.end(), r.begin(), r.end());
             return s;
         }(),
         5.0},
        {"a fast poll in whole seconds", repeated({0.0, 1.0, 0.0, 1.0, 1.0}, 40), 1.0},
    };
    for (const SpacingCase& c : cases) {
        const std::vector<double> keys = keysOf(c.steps);
        const int count = c.steps.empty() ? 0 : static_cast<int>(keys.size());
        EXPECT_NEAR(TypicalStepSeconds(count, [&](int i) { return keys.at(static_cast<std::size_t>(i)); }),
                    c.typical, 1e-5)
            << c.name;
    }
}

TEST(GapWidth, GapTimeIsFiveTypicalStepsAndNeverUnderThreeSeconds) {
    const struct {
        double typical, seconds;
    } cases[] = {{0.0, 3.0}, {0.5, 3.0}, {0.6, 3.0}, {1.0, 5.0}, {2.0, 10.0}, {4.0, 20.0}, {10.0, 50.0},
                 {600.0, 3000.0}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(GapSeconds(c.typical), c.seconds) << c.typical << " s";
}

struct WidthCase {
    double seconds;
    double days;
};

TEST(GapWidth, WidthIsTheGapTimeAndAMillisecondInDaysOrNoneAtAll) {
    const WidthCase cases[] = {
        {0.0, 0.0},                  // no gap time: lines never break
        {-6.0, 0.0},
        {86399.999, 1.0},            // a day, once the millisecond is added
        {43199.999, 0.5},
        {6.0, 6.001 / 86400.0},      // 6.9456018518...e-5
        {3600.0, 3600.001 / 86400.0},
    };
    for (const WidthCase& c : cases) EXPECT_NEAR(GapWidthDays(c.seconds), c.days, 1e-15) << c.seconds << " s";
}

TEST(GapWidth, TwoSamplesExactlyTheGapTimeApartAreNoGap) {
    // Keys of whole seconds in days, as the chart holds them; 2 s steps make a gap time of 10 s.
    const double first = kDay0 + 50000.0 / 86400.0;
    const double later = kDay0 + 50010.0 / 86400.0;
    EXPECT_LT(later - first, GapWidthDays(GapSeconds(2.0)));
    EXPECT_GT(kDay0 + 50011.0 / 86400.0 - first, GapWidthDays(GapSeconds(2.0)));
}

}  // namespace
}  // namespace qs
