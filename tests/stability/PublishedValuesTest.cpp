// The stability rules against the values NIST publishes for its test
// suite: OADEV, MDEV and the overlapping HDEV, and the standard deviation,
// by the one-pass sums, by the live sums and by the live sums after the
// readings before the set have scrolled away.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "../support/NistTestSets.h"
#include "stability/SeriesStatistics.h"
#include "stability/StabilityAccumulator.h"
#include "stability/StabilitySums.h"

namespace qs::test {
namespace {

enum class Path { OnePass, Live, LiveAfterScrolling };

std::string pathName(Path p) {
    switch (p) {
    case Path::OnePass: return "OnePass";
    case Path::Live: return "Live";
    case Path::LiveAfterScrolling: return "LiveAfterScrolling";
    }
    return "";
}

// The readings one second apart, as the logger time-stamps them.
std::vector<double> secondsOf(std::size_t n, double from = 1.7e9) {
    std::vector<double> t(n);
    for (std::size_t i = 0; i < n; ++i) t[i] = from + static_cast<double>(i);
    return t;
}

StabilityRow rowBy(Path path, const std::vector<double>& y, long long m) {
    const std::vector<double> t = secondsOf(y.size());
    switch (path) {
    case Path::OnePass: {
        const StabilityBatch batch(y);
        return RowOf(batch.sums(m), 1.0);
    }
    case Path::Live: {
        StabilityAccumulator live({m});
        for (std::size_t i = 0; i < y.size(); ++i) live.append(t[i], y[i]);
        return live.rowAt(m);
    }
    case Path::LiveAfterScrolling: {
        // Readings of another size come first and leave as a scroll window
        // of the set's length moves over them.
        StabilityAccumulator live({m});
        const std::size_t before = 777;
        for (std::size_t i = 0; i < before; ++i) live.append(t[0] - static_cast<double>(before - i), 5e3 + i % 7);
        for (std::size_t i = 0; i < y.size(); ++i) {
            live.append(t[i], y[i]);
            if (live.count() > static_cast<long long>(y.size())) live.dropOldest();
        }
        while (live.count() > static_cast<long long>(y.size())) live.dropOldest();
        return live.rowAt(m);
    }
    }
    return {};
}

std::optional<double> deviation(const StabilityRow& row, const std::string& quantity) {
    if (quantity == "OADEV") return row.oadev;
    if (quantity == "MDEV") return row.mdev;
    return row.hdev;
}

class PublishedDeviation : public ::testing::TestWithParam<std::tuple<NistValue, Path>> {};

TEST_P(PublishedDeviation, IsReproducedToAMillionth) {
    const auto& [v, path] = GetParam();
    const StabilityRow row = rowBy(path, NistSet(v.set), v.m);
    const std::optional<double> got = deviation(row, v.quantity);
    ASSERT_TRUE(got.has_value()) << v.set << " " << v.quantity << " m=" << v.m;
    EXPECT_NEAR(*got / v.expected, 1.0, kNistRelativeTolerance)
        << v.set << " " << v.quantity << " m=" << v.m << ": " << *got << " against " << v.expected;
    ASSERT_TRUE(row.tau.has_value());
    EXPECT_EQ(*row.tau, static_cast<double>(v.m));
}

INSTANTIATE_TEST_SUITE_P(Nist, PublishedDeviation,
                         ::testing::Combine(::testing::ValuesIn(NistPublishedDeviations()),
                                            ::testing::Values(Path::OnePass, Path::Live, Path::LiveAfterScrolling)),
                         [](const auto& info) {
                             const NistValue& v = std::get<0>(info.param);
                             std::string name = std::string(v.set[0] == '9' ? "Nine" : "Thousand") + v.quantity +
                                                "M" + std::to_string(v.m) + pathName(std::get<1>(info.param));
                             return name;
                         });

class PublishedStandardDeviation : public ::testing::TestWithParam<NistSpread> {};

TEST_P(PublishedStandardDeviation, OfTheReadingsAveragedOverMIsReproducedToAMillionth) {
    const NistSpread& s = GetParam();
    const std::vector<double> y = NistSet(s.set);
    std::vector<double> averaged;
    for (std::size_t i = 0; i + static_cast<std::size_t>(s.m) <= y.size(); i += static_cast<std::size_t>(s.m)) {
        double sum = 0.0;
        for (long long k = 0; k < s.m; ++k) sum += y[i + static_cast<std::size_t>(k)];
        averaged.push_back(sum / static_cast<double>(s.m));
    }
    const SeriesFigures f = SeriesFiguresOf(secondsOf(averaged.size()), averaged);
    ASSERT_TRUE(f.stddev.has_value());
    EXPECT_NEAR(*f.stddev / s.expected, 1.0, kNistRelativeTolerance) << s.set << " m=" << s.m;
    // And the live sums give the spread of the readings themselves.
    if (s.m == 1) {
        StabilityAccumulator live;
        const std::vector<double> t = secondsOf(y.size());
        for (std::size_t i = 0; i < y.size(); ++i) live.append(t[i], y[i]);
        ASSERT_TRUE(live.figures().stddev.has_value());
        EXPECT_NEAR(*live.figures().stddev / s.expected, 1.0, kNistRelativeTolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(Nist, PublishedStandardDeviation, ::testing::ValuesIn(NistPublishedStandardDeviations()));

TEST(PublishedSets, TheThousandPointGeneratorGivesThePublishedFirstNumbers) {
    const std::vector<std::uint64_t> n = NistThousandPointSeeds();
    ASSERT_EQ(n.size(), 1000u);
    EXPECT_EQ(n[1], 395529916u);
    EXPECT_EQ(n[2], 1209410747u);
    EXPECT_EQ(n[3], 633705974u);
}

TEST(PublishedSets, AveragingFactorsBeyondTheNinePointSetGiveNone) {
    const StabilityBatch batch(NistNinePointSet());
    for (long long m : {10LL, 100LL}) {
        const StabilityRow row = RowOf(batch.sums(m), 1.0);
        EXPECT_FALSE(row.oadev || row.oadevError || row.mdev || row.hdev) << m;
        EXPECT_EQ(row.oadevTerms + row.mdevTerms + row.hdevTerms, 0) << m;
    }
}

}  // namespace
}  // namespace qs::test
