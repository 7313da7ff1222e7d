// The statistics of a series, its tau0, the rows of the stability table and
// the regression of channel 1 on channel 2, by hand-worked cases.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "stability/PairRegression.h"
#include "stability/SampleSpacing.h"
#include "stability/SeriesStatistics.h"
#include "stability/StabilityAccumulator.h"
#include "stability/StabilitySums.h"

namespace qs::test {
namespace {

using Opt = std::optional<double>;
const Opt kNone = std::nullopt;

void expectFigure(const Opt& got, const Opt& expected, const std::string& what) {
    ASSERT_EQ(got.has_value(), expected.has_value()) << what;
    if (expected) {
        EXPECT_NEAR(*got, *expected, 1e-12 * std::max(1.0, std::fabs(*expected))) << what;
    }
}

struct FiguresCase {
    const char* name;
    std::vector<double> seconds, values;
    long long n;
    Opt mean, stddev, stddevPpm, minimum, maximum, p2p, p2pPpm, driftPerDay, driftPpmPerDay, driftStderr, tau0;
};

class SeriesFiguresRule : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(SeriesFiguresRule, GivesEachFigureOrNoneWhenItDoesNotExist) {
    const FiguresCase& c = GetParam();
    // One pass, and live.
    StabilityAccumulator live;
    for (std::size_t i = 0; i < c.values.size(); ++i) live.append(c.seconds[i], c.values[i]);
    for (const SeriesFigures& f : {SeriesFiguresOf(c.seconds, c.values), live.figures()}) {
        EXPECT_EQ(f.n, c.n) << c.name;
        expectFigure(f.mean, c.mean, std::string(c.name) + " mean");
        expectFigure(f.stddev, c.stddev, std::string(c.name) + " stddev");
        expectFigure(f.stddevPpm, c.stddevPpm, std::string(c.name) + " stddev ppm");
        expectFigure(f.minimum, c.minimum, std::string(c.name) + " min");
        expectFigure(f.maximum, c.maximum, std::string(c.name) + " max");
        expectFigure(f.peakToPeak, c.p2p, std::string(c.name) + " p2p");
        expectFigure(f.peakToPeakPpm, c.p2pPpm, std::string(c.name) + " p2p ppm");
        expectFigure(f.driftPerDay, c.driftPerDay, std::string(c.name) + " drift");
        expectFigure(f.driftPpmPerDay, c.driftPpmPerDay, std::string(c.name) + " drift ppm");
        expectFigure(f.driftStderrPerDay, c.driftStderr, std::string(c.name) + " drift stderr");
        expectFigure(f.tau0, c.tau0, std::string(c.name) + " tau0");
    }
}

// Worked by hand. Three readings 1, 2, 4 at 0, 10, 20 s: mean 7/3, sample
// variance ((4/3)^2 + (1/3)^2 + (5/3)^2) / 2 = 7/3; the line's slope 3/20
// per second (1.5 per 10 s), 12960 a day; residuals 1/6, -1/3, 1/6, their
// squares 1/6 over one degree of freedom, over sum (t - 10)^2 = 200: the
// slope's standard error sqrt(1/1200) per second.
INSTANTIATE_TEST_SUITE_P(
    Figures, SeriesFiguresRule,
    ::testing::Values(
        FiguresCase{"empty", {}, {}, 0, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone},
        FiguresCase{"one reading", {5.0}, {2.0}, 1, 2.0, kNone, kNone, 2.0, 2.0, 0.0, 0.0, kNone, kNone, kNone,
                    kNone},
        FiguresCase{"two readings", {0.0, 1.0}, {1.0, 3.0}, 2, 2.0, std::sqrt(2.0), std::sqrt(2.0) / 2.0 * 1e6, 1.0,
                    3.0, 2.0, 1e6, 2.0 * 86400.0, 2.0 * 86400.0 / 2.0 * 1e6, kNone, 1.0},
        FiguresCase{"mean of zero", {0.0, 1.0, 2.0}, {-1.0, 0.0, 1.0}, 3, 0.0, 1.0, kNone, -1.0, 1.0, 2.0, kNone,
                    86400.0, kNone, 0.0, 1.0},
        FiguresCase{"by hand", {0.0, 10.0, 20.0}, {1.0, 2.0, 4.0}, 3, 7.0 / 3.0, std::sqrt(7.0 / 3.0),
                    std::sqrt(7.0 / 3.0) / (7.0 / 3.0) * 1e6, 1.0, 4.0, 3.0, 3.0 / (7.0 / 3.0) * 1e6, 0.15 * 86400.0,
                    0.15 * 86400.0 / (7.0 / 3.0) * 1e6, std::sqrt(1.0 / 1200.0) * 86400.0, 10.0},
        FiguresCase{"a constant reading", {0.0, 1.0, 2.0, 3.0}, {4.5, 4.5, 4.5, 4.5}, 4, 4.5, 0.0, 0.0, 4.5, 4.5, 0.0,
                    0.0, 0.0, 0.0, 0.0, 1.0},
        FiguresCase{"all at one time", {7.0, 7.0, 7.0}, {1.0, 2.0, 3.0}, 3, 2.0, 1.0, 0.5e6, 1.0, 3.0, 2.0, 1e6, kNone,
                    kNone, kNone, kNone}),
    [](const auto& info) {
        std::string name;
        for (const char* p = info.param.name; *p; ++p)
            if (*p != ' ') name += *p;
        return name;
    });

struct SpacingCase {
    const char* name;
    std::vector<double> seconds;
    Opt tau0;
};

class Tau0Rule : public ::testing::TestWithParam<SpacingCase> {};

TEST_P(Tau0Rule, IsTheMedianSpacingOrTheMeanWhenMostSpacingsAreZero) {
    const SpacingCase& c = GetParam();
    const std::vector<double> values(c.seconds.size(), 1.0);
    StabilityAccumulator live;
    for (double t : c.seconds) live.append(t, 1.0);
    expectFigure(SeriesFiguresOf(c.seconds, values).tau0, c.tau0, c.name);
    expectFigure(live.figures().tau0, c.tau0, std::string(c.name) + " live");
}

// x days of the logger's time axis, in seconds as the product gives them.
double fromDays(double days) { return days * 86400.0; }

INSTANTIATE_TEST_SUITE_P(
    Spacings, Tau0Rule,
    ::testing::Values(SpacingCase{"a gap or two", {0, 1, 2, 3, 5, 6, 9}, 1.0},
                      SpacingCase{"alternate commands at one second", {0, 2, 4, 6, 8}, 2.0},
                      SpacingCase{"an even count takes the middle two", {0, 1, 3, 6, 10}, 2.5},
                      SpacingCase{"ten a second under whole-second stamps", {0, 0, 0, 0, 1, 1, 1, 1, 2}, 0.25},
                      SpacingCase{"one reading", {4}, kNone},
                      SpacingCase{"all at one time", {4, 4, 4}, kNone},
                      SpacingCase{"times from the day axis",
                                  {fromDays(45292.0 + 1.0 / 86400.0), fromDays(45292.0 + 2.0 / 86400.0),
                                   fromDays(45292.0 + 3.0 / 86400.0)},
                                  1.0}),
    [](const auto& info) {
        std::string name;
        for (const char* p = info.param.name; *p; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
        return name;
    });

TEST(SampleSpacing, TheLiveMedianFollowsTheSpacingsThatLeave) {
    StabilityAccumulator live;
    for (int i = 0; i < 10; ++i) live.append(i, 1.0);        // nine spacings of 1 s
    for (int i = 0; i < 12; ++i) live.append(10 + 2 * i, 1.0);  // then of 2 s
    EXPECT_EQ(live.figures().tau0, 2.0);
    for (int i = 0; i < 20; ++i) live.dropOldest();
    EXPECT_EQ(live.figures().tau0, 2.0);
    live.append(33.0, 1.0);  // 1 s after the last one
    EXPECT_EQ(live.figures().tau0, 1.5);
}

struct RowCase {
    const char* name;
    OctaveSums sums;
    Opt tau0;
    Opt tau, oadev, oadevError, mdev, hdev;
};

class StabilityRowRule : public ::testing::TestWithParam<RowCase> {};

TEST_P(StabilityRowRule, DividesEachSumByItsTermsAndGivesNoneWithoutTerms) {
    const RowCase& c = GetParam();
    const StabilityRow r = RowOf(c.sums, c.tau0);
    EXPECT_EQ(r.m, c.sums.m);
    expectFigure(r.tau, c.tau, std::string(c.name) + " tau");
    expectFigure(r.oadev, c.oadev, std::string(c.name) + " oadev");
    expectFigure(r.oadevError, c.oadevError, std::string(c.name) + " error");
    expectFigure(r.mdev, c.mdev, std::string(c.name) + " mdev");
    expectFigure(r.hdev, c.hdev, std::string(c.name) + " hdev");
}

// m = 2: OADEV^2 = 32 / (2 * 4 * 4) = 1, MDEV^2 = 128 / (2 * 16 * 4) = 1 (m^4),
// HDEV^2 = 96 / (6 * 4 * 4) = 1, the error bar 1 / sqrt(4); m = 4 with one
// term: OADEV^2 = 128 / (2 * 16) = 4, the error bar 2 / sqrt(1).
INSTANTIATE_TEST_SUITE_P(Rows, StabilityRowRule,
                         ::testing::Values(RowCase{"all terms", {2, 32.0, 128.0, 96.0, 4, 4, 4}, 1.5, 3.0, 1.0, 0.5,
                                                   1.0, 1.0},
                                           RowCase{"no tau0", {2, 32.0, 128.0, 96.0, 4, 4, 4}, kNone, kNone, 1.0, 0.5,
                                                   1.0, 1.0},
                                           RowCase{"no terms", {8, 0.0, 0.0, 0.0, 0, 0, 0}, 1.0, 8.0, kNone, kNone,
                                                   kNone, kNone},
                                           RowCase{"OADEV only", {4, 128.0, 0.0, 0.0, 1, 0, 0}, 1.0, 4.0, 2.0, 2.0,
                                                   kNone, kNone},
                                           RowCase{"a sum that rounded below zero", {1, -1e-300, 0.0, 0.0, 3, 2, 1},
                                                   1.0, 1.0, 0.0, 0.0, 0.0, 0.0},
                                           RowCase{"sums that overflowed", {1, NAN, NAN, INFINITY, 3, 2, 1}, 1.0,
                                                   1.0, kNone, kNone, kNone, kNone}),
                         [](const auto& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             return name;
                         });

TEST(StabilityTable, ShowsTheOctavesUpToAQuarterOfTheReadings) {
    EXPECT_EQ(OctaveFactors(0), std::vector<long long>{});
    EXPECT_EQ(OctaveFactors(3), std::vector<long long>{});
    EXPECT_EQ(OctaveFactors(4), (std::vector<long long>{1}));
    EXPECT_EQ(OctaveFactors(31), (std::vector<long long>{1, 2, 4}));
    EXPECT_EQ(OctaveFactors(32), (std::vector<long long>{1, 2, 4, 8}));
    StabilityAccumulator live({3});
    for (int i = 0; i < 32; ++i) live.append(i, i % 2);
    std::vector<long long> shown;
    for (const StabilityRow& r : live.octaveTable()) shown.push_back(r.m);
    EXPECT_EQ(shown, (std::vector<long long>{1, 2, 4, 8}));
}

TEST(StabilityTerms, CountAsTheOverlappingEstimatorsCountThem) {
    // N = 20, m = 3: N - 2m + 1 = 15 OADEV, N - 3m + 2 = 13 MDEV, N - 3m + 1 = 12 HDEV terms.
    std::vector<double> y;
    for (int i = 0; i < 20; ++i) y.push_back(i * i % 7);
    const OctaveSums s = StabilityBatch(y).sums(3);
    EXPECT_EQ(s.oadevTerms, 15);
    EXPECT_EQ(s.mdevTerms, 13);
    EXPECT_EQ(s.hdevTerms, 12);
}

// The sums by their definitions, term by term, in long double.
TEST(StabilityTerms, EqualTheDefinitionsWrittenOut) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> y(200);
    for (double& v : y) v = u(rng);
    const long long n = static_cast<long long>(y.size());
    for (long long m : {1LL, 2LL, 5LL, 16LL, 50LL, 66LL, 67LL, 100LL}) {
        const auto W = [&](long long j) {
            long double s = 0;
            for (long long k = j; k < j + m; ++k) s += y[static_cast<std::size_t>(k)];
            return s;
        };
        long double oa = 0, md = 0, hd = 0;
        long long no = 0, nm = 0, nh = 0;
        for (long long j = 0; j + 2 * m <= n; ++j, ++no) oa += (W(j + m) - W(j)) * (W(j + m) - W(j));
        for (long long j = 0; j + 3 * m <= n; ++j, ++nh) {
            const long double h = W(j + 2 * m) - 2 * W(j + m) + W(j);
            hd += h * h;
        }
        for (long long j = 0; j + 3 * m - 1 <= n; ++j, ++nm) {
            long double s = 0;
            for (long long i = j; i < j + m; ++i) s += W(i + m) - W(i);
            md += s * s;
        }
        std::vector<OctaveSums> both = {StabilityBatch(y).sums(m)};
        // The octaves' chain too, at the factors it makes.
        if ((m & (m - 1)) == 0) both.push_back(OctaveChainSums(y, m).back());
        for (const OctaveSums& s : both) {
            EXPECT_EQ(s.m, m);
            EXPECT_EQ(s.oadevTerms, no) << m;
            EXPECT_EQ(s.mdevTerms, nm) << m;
            EXPECT_EQ(s.hdevTerms, nh) << m;
            EXPECT_NEAR(s.oadevSum, static_cast<double>(oa), 1e-12 * static_cast<double>(oa) + 1e-300) << m;
            EXPECT_NEAR(s.mdevSum, static_cast<double>(md), 1e-12 * static_cast<double>(md) + 1e-300) << m;
            EXPECT_NEAR(s.hdevSum, static_cast<double>(hd), 1e-12 * static_cast<double>(hd) + 1e-300) << m;
        }
    }
}

// The octaves' chain against the prefix sums, over series that try it: a
// large offset with a tiny noise, a ramp (H terms zero but for rounding), a
// sign that alternates (every D term of m >= 2 cancels to 0), a random walk,
// and every length from none up, where octaves gain or lose their last terms.
// The same terms, the sums to within 1e-12 of the terms' size.
struct ChainCase {
    const char* name;
    long long shortest, longest;  // every length between
    double (*y)(long long i);
};

void PrintTo(const ChainCase& c, std::ostream* os) { *os << c.name; }

double tenVoltsWithNoise(long long i) { return 10.0 + 1e-6 * std::sin(static_cast<double>(i) * 2.399963); }
double ramp(long long i) { return 3.0 + 1e-3 * static_cast<double>(i); }
double alternating(long long i) { return i % 2 == 0 ? 1.0 : -1.0; }
double randomWalk(long long i) {
    static std::vector<double> walk = [] {
        std::mt19937_64 rng(11);
        std::normal_distribution<double> step;
        std::vector<double> w(5000);
        double at = 0.0;
        for (double& v : w) v = at += step(rng);
        return w;
    }();
    return walk[static_cast<std::size_t>(i)];
}
double smallIntegers(long long i) { return static_cast<double>(i * i % 7); }

class OctaveChain : public ::testing::TestWithParam<ChainCase> {};

TEST_P(OctaveChain, GivesThePrefixSumsTermsAndSums) {
    const ChainCase& c = GetParam();
    for (long long n = c.shortest; n <= c.longest; ++n) {
        std::vector<double> y;
        for (long long i = 0; i < n; ++i) y.push_back(c.y(i));
        const StabilityBatch batch(y);
        const std::vector<OctaveSums> chain = OctaveChainSums(y, std::max(n, 1LL));
        ASSERT_FALSE(chain.empty());
        EXPECT_GT(chain.back().m * 2, std::max(n, 1LL)) << n;
        for (const OctaveSums& s : chain) {
            const OctaveSums b = batch.sums(s.m);
            const std::string where = std::string(c.name) + " n=" + std::to_string(n) + " m=" + std::to_string(s.m);
            EXPECT_EQ(s.oadevTerms, b.oadevTerms) << where;
            EXPECT_EQ(s.mdevTerms, b.mdevTerms) << where;
            EXPECT_EQ(s.hdevTerms, b.hdevTerms) << where;
            // The size of a D term's square, and of an M term's (m D terms).
            const double dScale = b.oadevTerms > 0 ? b.oadevSum : 0.0;
            const double mScale = dScale * static_cast<double>(s.m * s.m);
            EXPECT_NEAR(s.oadevSum, b.oadevSum, 1e-12 * dScale) << where;
            EXPECT_NEAR(s.hdevSum, b.hdevSum, 1e-12 * dScale) << where;
            EXPECT_NEAR(s.mdevSum, b.mdevSum, 1e-12 * mScale) << where;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Series, OctaveChain,
                         ::testing::Values(ChainCase{"TenVoltsWithMicrovoltNoise", 5000, 5000, tenVoltsWithNoise},
                                           ChainCase{"Ramp", 1000, 1000, ramp},
                                           ChainCase{"Alternating", 1000, 1000, alternating},
                                           ChainCase{"RandomWalk", 5000, 5000, randomWalk},
                                           ChainCase{"EveryLengthUpTo40", 0, 40, smallIntegers}),
                         [](const auto& info) { return std::string(info.param.name); });

// Readings so large that their differences overflow give no figure, never 0.
TEST(OctaveChain, ReadingsWhoseDifferencesOverflowGiveNone) {
    std::vector<double> y;
    for (int i = 0; i < 64; ++i) y.push_back(i % 2 == 0 ? 1e308 : -1e308);
    for (const OctaveSums& s : OctaveChainSums(y, 16)) {
        const StabilityRow r = RowOf(s, 1.0);
        EXPECT_FALSE(r.oadev) << s.m;
        EXPECT_FALSE(r.hdev) << s.m;
        EXPECT_FALSE(r.mdev) << s.m;
    }
}

TEST(Tempco, TheRegressionOfChannelOneOnChannelTwoGivesPpmPerUnit) {
    // 10 V with 2 uV per kelvin around 25 C, a little noise: 0.2 ppm/K.
    std::mt19937_64 rng(3);
    std::normal_distribution<double> noise(0.0, 1e-8);
    std::vector<double> ch1, ch2;
    for (int k = 0; k < 2000; ++k) {
        const double temperature = 25.0 + 3.0 * std::sin(k * 0.01);
        ch2.push_back(temperature);
        ch1.push_back(10.0 + 2e-6 * (temperature - 25.0) + noise(rng));
    }
    ch1.push_back(10.0);  // a last reading of channel 1 without its channel 2: no pair
    const RegressionFigures r = RegressionOfPairs(ch1, ch2);
    EXPECT_EQ(r.pairs, 2000);
    ASSERT_TRUE(r.slope && r.slopeStderr && r.correlation && r.ppmPerUnit);
    EXPECT_NEAR(*r.slope, 2e-6, 5 * *r.slopeStderr);
    EXPECT_LT(*r.slopeStderr, 1e-9);
    EXPECT_GT(*r.correlation, 0.99);
    EXPECT_NEAR(*r.ppmPerUnit, 0.2, 0.01);

    PairRegression live;
    for (int k = 0; k < 2000; ++k) live.append(ch1[static_cast<std::size_t>(k)], ch2[static_cast<std::size_t>(k)]);
    for (int k = 0; k < 500; ++k) live.dropOldest();
    const RegressionFigures tail =
        RegressionOfPairs(std::span<const double>(ch1).subspan(500, 1500), std::span<const double>(ch2).subspan(500));
    EXPECT_EQ(live.figures().pairs, 1500);
    expectFigure(live.figures().slope, tail.slope, "live slope");
    expectFigure(live.figures().ppmPerUnit, tail.ppmPerUnit, "live ppm");
}

TEST(Tempco, WithoutPairsOrWithAConstantChannelTwoThereIsNoSlope) {
    const std::vector<double> none;
    EXPECT_FALSE(RegressionOfPairs(none, none).slope);
    const std::vector<double> ch1{1.0, 2.0, 3.0}, ch2{20.0, 20.0, 20.0};
    const RegressionFigures r = RegressionOfPairs(ch1, ch2);
    EXPECT_EQ(r.pairs, 3);
    EXPECT_FALSE(r.slope || r.slopeStderr || r.correlation || r.ppmPerUnit);
}

}  // namespace
}  // namespace qs::test
