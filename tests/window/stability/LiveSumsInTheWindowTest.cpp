// The live stability sums of the window against a fresh one-pass
// computation on the readings they should cover, in the tests' full store
// and the headless logger's bounded one (the chart's store: tests/qt/chart).
#include <gtest/gtest.h>

#include <string>

#include "StabilityDifferential.h"
#include "platform/BoundedSeries.h"
#include "platform/MemoryChart.h"

namespace qs {
namespace {

class LiveSumsInTheMemoryStore : public ::testing::TestWithParam<test::StabilityScenario> {};

TEST_P(LiveSumsInTheMemoryStore, AreAFreshPassOverTheReadingsTheyCoverAfterAnySequence) {
    test::CheckWindowStability<MemoryChart>(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Scenarios, LiveSumsInTheMemoryStore, ::testing::ValuesIn(test::kFullStoreScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

class LiveSumsInTheBoundedStore : public ::testing::TestWithParam<test::StabilityScenario> {};

TEST_P(LiveSumsInTheBoundedStore, AreAFreshPassOverTheReadingsTheyCoverAfterAnySequence) {
    test::CheckWindowStability<MemoryChartOf<BoundedSeries>>(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Scenarios, LiveSumsInTheBoundedStore, ::testing::ValuesIn(test::kBoundedStoreScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs
