// The round steps between the ticks of the time axis.
#include <gtest/gtest.h>

#include "chart/TimeAxisSteps.h"

namespace qs {
namespace {

constexpr double kDay = 86400.0;

TEST(TimeAxisSteps, NextStepIsTheNextRoundTimeThenTwiceTheStep) {
    const struct {
        double step, next;
    } cases[] = {
        {0.5, 1},         {1, 2},           {2, 5},           {5, 10},          {15, 30},
        {30, 60},         {60, 120},        {120, 300},       {1800, 3600},     {3600, 7200},
        {7200, 10800},    {10800, 21600},   {43200, kDay},    {kDay, 2 * kDay}, {2 * kDay, 7 * kDay},
        {7 * kDay, 14 * kDay}, {14 * kDay, 28 * kDay}, {28 * kDay, 56 * kDay}, {56 * kDay, 112 * kDay},
        {40, 60},  // between two round steps: the next one up
    };
    for (const auto& c : cases) EXPECT_EQ(NextRoundStep(c.step), c.next) << c.step << " s";
}

struct StepCase {
    double span, pixels, spacing;
    double step;
};

// The step needed is spacing / (pixels / span) seconds, rounded up to the
// next round step.
TEST(TimeAxisSteps, StepIsTheSmallestRoundTimeWhoseTicksStandApart) {
    const StepCase cases[] = {
        {3, 1000, 150, 1},                  // 0.45 s needed
        {60, 600, 100, 10},                 // 10 s needed: exactly a round step
        {60, 600, 101, 15},                 // 10.1 s needed
        {3600, 1000, 150, 600},             // 540 s
        {86400, 1000, 150, 21600},          // 12960 s
        {10 * kDay, 1000, 150, 2 * kDay},   // 1.5 days
        {365 * kDay, 1000, 150, 56 * kDay}, // 54.75 days: past the table, 28 days doubled
        {20, 10, 100, 30},                  // 200 s needed, but 30 s already covers the span
        {0, 1000, 150, 1},                  // nothing shown
        {-5, 1000, 150, 1},
        {60, 0, 150, 1},                    // an axis of no width
    };
    for (const StepCase& c : cases)
        EXPECT_EQ(RoundStepSeconds(c.span, c.pixels, c.spacing), c.step)
            << c.span << " s on " << c.pixels << " px, " << c.spacing << " px apart";
}

}  // namespace
}  // namespace qs
