// The window's live stability sums on the chart's own store: a fresh
// one-pass computation over the readings they cover after any sequence of
// samples, scroll drops, loads and Empty (the other stores:
// tests/window/stability).
#include <gtest/gtest.h>

#include <string>

#include "StabilityDifferential.h"
#include "qt/chart/QtChart.h"

namespace qs {
namespace {

class LiveSumsOnTheChartStore : public ::testing::TestWithParam<test::StabilityScenario> {};

TEST_P(LiveSumsOnTheChartStore, AreAFreshPassOverTheReadingsTheyCoverAfterAnySequence) {
    test::CheckWindowStability<QtChart>(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Scenarios, LiveSumsOnTheChartStore, ::testing::ValuesIn(test::kFullStoreScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs
