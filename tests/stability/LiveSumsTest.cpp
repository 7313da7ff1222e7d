// The live sums against a fresh one-pass computation, and the invariants a
// stability computation must keep whatever the readings' offset.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "stability/DataAnalysis.h"
#include "stability/StabilityAccumulator.h"

namespace qs::test {
namespace {

// Whether two figures agree to within rel of the larger, both being none
// alike.
::testing::AssertionResult agree(const std::optional<double>& a, const std::optional<double>& b, double rel,
                                 const std::string& what) {
    if (a.has_value() != b.has_value())
        return ::testing::AssertionFailure() << what << ": " << (a ? "a figure" : "none") << " against "
                                             << (b ? "a figure" : "none");
    if (!a) return ::testing::AssertionSuccess();
    const double scale = std::max(std::fabs(*a), std::fabs(*b));
    if (std::fabs(*a - *b) <= rel * scale) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << ": " << *a << " against " << *b << " (relative "
                                         << std::fabs(*a - *b) / scale << ")";
}

void expectSameFigures(const SeriesFigures& a, const SeriesFigures& b, double rel, const std::string& at) {
    EXPECT_EQ(a.n, b.n) << at;
    EXPECT_TRUE(agree(a.mean, b.mean, rel, at + " mean"));
    EXPECT_TRUE(agree(a.stddev, b.stddev, rel, at + " stddev"));
    EXPECT_TRUE(agree(a.stddevPpm, b.stddevPpm, rel, at + " stddev ppm"));
    EXPECT_TRUE(agree(a.minimum, b.minimum, 0.0, at + " min"));
    EXPECT_TRUE(agree(a.maximum, b.maximum, 0.0, at + " max"));
    EXPECT_TRUE(agree(a.peakToPeak, b.peakToPeak, 0.0, at + " p2p"));
    EXPECT_TRUE(agree(a.driftPerDay, b.driftPerDay, rel, at + " drift"));
    EXPECT_TRUE(agree(a.driftStderrPerDay, b.driftStderrPerDay, rel, at + " drift stderr"));
    EXPECT_TRUE(agree(a.tau0, b.tau0, 0.0, at + " tau0"));
}

void expectSameRow(const StabilityRow& a, const StabilityRow& b, double rel, const std::string& at) {
    const std::string where = at + " m=" + std::to_string(a.m);
    EXPECT_EQ(a.m, b.m) << where;
    EXPECT_EQ(a.oadevTerms, b.oadevTerms) << where;
    EXPECT_EQ(a.mdevTerms, b.mdevTerms) << where;
    EXPECT_EQ(a.hdevTerms, b.hdevTerms) << where;
    EXPECT_TRUE(agree(a.tau, b.tau, 0.0, where + " tau"));
    EXPECT_TRUE(agree(a.oadev, b.oadev, rel, where + " OADEV"));
    EXPECT_TRUE(agree(a.oadevError, b.oadevError, rel, where + " OADEV error"));
    EXPECT_TRUE(agree(a.mdev, b.mdev, rel, where + " MDEV"));
    EXPECT_TRUE(agree(a.hdev, b.hdev, rel, where + " HDEV"));
}

std::vector<double> timesOf(const StabilityAccumulator& a) {
    std::vector<double> t;
    for (long long i = 0; i < a.count(); ++i) t.push_back(a.time(i));
    return t;
}
std::vector<double> valuesOf(const StabilityAccumulator& a) {
    std::vector<double> y;
    for (long long i = 0; i < a.count(); ++i) y.push_back(a.value(i));
    return y;
}

// The live sums after any mix of appends, scroll drops, rebuilds, loads
// and empties agree with a fresh one-pass computation on the points they
// hold to within 1e-12 relative (not to the bit: sums that gained and lost
// terms were rounded differently).
constexpr double kLiveAgreement = 1e-12;

struct Mix {
    const char* name;
    double offset, noise, drift;  // per second
    int appendWeight, dropWeight;
};

class LiveSums : public ::testing::TestWithParam<Mix> {};

TEST_P(LiveSums, AgreeWithAFreshOnePassAfterAnySequenceOfAppendsDropsLoadsAndEmpties) {
    const Mix& mix = GetParam();
    std::mt19937_64 rng(20261207);
    std::normal_distribution<double> noise(0.0, mix.noise);
    std::uniform_int_distribution<int> action(0, 999);
    StabilityAccumulator live({3, 10, 48});
    double t = 1.7e9;
    const auto reading = [&] {
        t += (action(rng) % 5 == 0) ? 2.0 : 1.0;
        return mix.offset + mix.drift * (t - 1.7e9) + noise(rng);
    };
    int checks = 0;
    for (int step = 0; step < 6000; ++step) {
        const int a = action(rng);
        const int appendUpTo = mix.appendWeight * 10, dropUpTo = appendUpTo + mix.dropWeight * 10;
        if (a < appendUpTo) {
            live.append(t, reading());
        } else if (a < dropUpTo) {
            live.dropOldest();
        } else if (a < dropUpTo + 5) {
            live.rebuild();
        } else if (a < dropUpTo + 8) {
            // A load: another set of points in one pass.
            std::vector<double> ts, ys;
            for (int i = 0; i < 300; ++i) {
                const double y = reading();
                ts.push_back(t);
                ys.push_back(y);
            }
            live.assign(ts, ys);
        } else if (a < dropUpTo + 9) {
            live.clear();
        } else {
            live.append(t, reading());
        }
        if (step % 7 != 0) continue;
        StabilityAccumulator fresh({3, 10, 48});
        fresh.assign(timesOf(live), valuesOf(live));
        const std::string at = std::string(mix.name) + " step " + std::to_string(step) + " (" +
                               std::to_string(live.count()) + " points)";
        expectSameFigures(live.figures(), fresh.figures(), kLiveAgreement, at);
        const std::vector<StabilityRow> rows = live.octaveTable(), freshRows = fresh.octaveTable();
        ASSERT_EQ(rows.size(), freshRows.size()) << at;
        for (std::size_t i = 0; i < rows.size(); ++i) expectSameRow(rows[i], freshRows[i], kLiveAgreement, at);
        for (long long m : {3LL, 10LL, 48LL, 5LL}) expectSameRow(live.rowAt(m), fresh.rowAt(m), kLiveAgreement, at);
        if (::testing::Test::HasFailure()) return;
        ++checks;
    }
    EXPECT_GT(checks, 500);
}

INSTANTIATE_TEST_SUITE_P(Readings, LiveSums,
                         ::testing::Values(Mix{"growing", 10.0, 1e-6, 0.0, 60, 30},
                                           Mix{"steady", 1.25, 1e-3, 0.0, 45, 45},
                                           Mix{"drifting", -3.0, 1e-6, 2e-9, 50, 40},
                                           Mix{"shrinking", 1e-3, 1e-9, 0.0, 40, 55}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LiveSums, UnitWhiteNoiseGivesAnAllanDeviationOfOneAtTau0) {
    std::mt19937_64 rng(1065);
    std::normal_distribution<double> noise(0.0, 1.0);
    StabilityAccumulator live;
    for (int i = 0; i < 100000; ++i) live.append(i, noise(rng));
    const StabilityRow row = live.rowAt(1);
    ASSERT_TRUE(row.oadev && row.mdev && row.hdev && row.tau);
    EXPECT_NEAR(*row.oadev, 1.0, 0.05);
    EXPECT_EQ(*row.mdev, *row.oadev);  // one reading to a window: the same terms
    EXPECT_NEAR(*row.hdev, 1.0, 0.05);
    EXPECT_EQ(*row.tau, 1.0);
    // White frequency noise averages down as 1/sqrt(tau).
    const StabilityRow at64 = live.rowAt(64);
    ASSERT_TRUE(at64.oadev);
    EXPECT_NEAR(*at64.oadev * 8.0, 1.0, 0.05);
    ASSERT_TRUE(live.figures().stddev);
    EXPECT_NEAR(*live.figures().stddev, 1.0, 0.01);
}

TEST(LiveSums, APureRampGivesItsSlopeExactlyAndAHadamardDeviationOfZero) {
    // A quarter per second from 10: every reading and sum is exact.
    StabilityAccumulator live;
    for (int i = 0; i < 5000; ++i) {
        live.append(1.7e9 + i, 10.0 + 0.25 * i);
        if (live.count() > 4000) live.dropOldest();
    }
    const SeriesFigures f = live.figures();
    ASSERT_TRUE(f.driftPerDay && f.driftStderrPerDay);
    EXPECT_EQ(*f.driftPerDay, 0.25 * 86400.0);
    EXPECT_LE(*f.driftStderrPerDay, 1e-9 * *f.driftPerDay);
    for (const StabilityRow& r : live.octaveTable()) {
        ASSERT_TRUE(r.hdev && r.oadev) << r.m;
        EXPECT_LE(*r.hdev, 1e-12 * 0.25 * static_cast<double>(r.m)) << r.m;
        // OADEV of a ramp: its step over tau, over sqrt 2.
        EXPECT_NEAR(*r.oadev, 0.25 * static_cast<double>(r.m) / std::sqrt(2.0), 1e-12 * static_cast<double>(r.m))
            << r.m;
    }
}

// 10 V with a noise of 1 uV gives what the same noise gives at 0 V, to
// 1e-9 relative: the sums never see the 10 V.
TEST(LiveSums, AnOffsetOfTenVoltsOverMicrovoltNoiseChangesNoFigure) {
    std::mt19937_64 rng(42);
    std::normal_distribution<double> noise(0.0, 1e-6);
    std::vector<double> t, at10, at0;
    for (int i = 0; i < 20000; ++i) {
        t.push_back(1.7e9 + i);
        at10.push_back(10.0 + noise(rng) + 1e-12 * i);
        at0.push_back(at10.back() - 10.0);  // exactly the noise the 10 V readings carry
    }
    StabilityAccumulator live10, live0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        live10.append(t[i], at10[i]);
        live0.append(t[i], at0[i]);
        if (live10.count() > 15000) {
            live10.dropOldest();
            live0.dropOldest();
        }
    }
    const double rel = 1e-9;
    const SeriesFigures f10 = live10.figures(), f0 = live0.figures();
    EXPECT_TRUE(agree(f10.stddev, f0.stddev, rel, "stddev"));
    EXPECT_TRUE(agree(f10.driftPerDay, f0.driftPerDay, rel, "drift"));
    EXPECT_TRUE(agree(f10.driftStderrPerDay, f0.driftStderrPerDay, rel, "drift stderr"));
    ASSERT_TRUE(f10.mean && f0.mean);
    EXPECT_NEAR(*f10.mean, 10.0 + *f0.mean, 4e-15);
    const std::vector<StabilityRow> rows10 = live10.octaveTable(), rows0 = live0.octaveTable();
    ASSERT_EQ(rows10.size(), rows0.size());
    for (std::size_t i = 0; i < rows10.size(); ++i) expectSameRow(rows10[i], rows0[i], rel, "live");
    // And the one-pass analysis of a whole file.
    const std::vector<long long> none;
    const ChannelAnalysis a10 = AnalyzeChannel(1, t, at10, none), a0 = AnalyzeChannel(1, t, at0, none);
    EXPECT_TRUE(agree(a10.figures.stddev, a0.figures.stddev, rel, "one-pass stddev"));
    EXPECT_TRUE(agree(a10.figures.driftPerDay, a0.figures.driftPerDay, rel, "one-pass drift"));
    ASSERT_EQ(a10.rows.size(), a0.rows.size());
    for (std::size_t i = 0; i < a10.rows.size(); ++i) expectSameRow(a10.rows[i], a0.rows[i], rel, "one-pass");
}

TEST(LiveSums, ReadingsWhoseSquaresOverflowGiveNoneUntilTheyHaveLeft) {
    StabilityAccumulator live;
    for (int i = 0; i < 100; ++i) live.append(i, i == 10 ? 1e200 : 1.0 + 1e-3 * (i % 3));
    for (const StabilityRow& r : live.octaveTable()) {
        for (const auto& v : {r.oadev, r.oadevError, r.mdev, r.hdev})
            EXPECT_TRUE(!v || std::isfinite(*v)) << r.m;
    }
    const SeriesFigures f = live.figures();
    for (const auto& v : {f.mean, f.stddev, f.stddevPpm, f.peakToPeak, f.peakToPeakPpm, f.driftPerDay,
                          f.driftPpmPerDay, f.driftStderrPerDay})
        EXPECT_TRUE(!v || std::isfinite(*v));
    EXPECT_FALSE(f.stddev.has_value());
    // Once the huge reading has scrolled away, the figures come back.
    for (int i = 0; i < 20; ++i) live.dropOldest();
    ASSERT_TRUE(live.figures().stddev.has_value());
    ASSERT_TRUE(live.rowAt(1).oadev.has_value());
    StabilityAccumulator fresh;
    fresh.assign(timesOf(live), valuesOf(live));
    expectSameFigures(live.figures(), fresh.figures(), kLiveAgreement, "after the overflow");
}

// A load hands over its readings with the stability sums deferred: the
// figures come at once from the moments, the table at its first look, and
// readings that arrive and leave meanwhile count as for assign.
struct DeferredCase {
    const char* name;
    int loaded, appendedBefore, droppedBefore, appendedAfter, droppedAfter;
};

class DeferredRows : public ::testing::TestWithParam<DeferredCase> {};

TEST_P(DeferredRows, AreTheSumsOfAssignOnceLookedAt) {
    const DeferredCase& c = GetParam();
    std::mt19937_64 rng(7);
    std::normal_distribution<double> noise(0.0, 1e-6);
    std::vector<double> t, y;
    for (int i = 0; i < c.loaded; ++i) {
        t.push_back(1.7e9 + i);
        y.push_back(10.0 + noise(rng));
    }
    StabilityAccumulator deferred, now;
    deferred.assignDeferringRows(t, y);
    now.assign(t, y);
    EXPECT_EQ(deferred.rowsDeferred(), c.loaded > 0);
    const auto step = [&](int appends, int drops) {
        for (int i = 0; i < appends; ++i) {
            const double ti = 1.7e9 + c.loaded + i + 1000.0 * drops, yi = 10.0 + noise(rng);
            deferred.append(ti, yi);
            now.append(ti, yi);
        }
        for (int i = 0; i < drops; ++i) {
            deferred.dropOldest();
            now.dropOldest();
        }
    };
    step(c.appendedBefore, c.droppedBefore);
    expectSameFigures(deferred.figures(), now.figures(), kLiveAgreement, c.name);
    EXPECT_EQ(deferred.rowsDeferred(), c.loaded > 0 && deferred.count() > 0);
    const std::vector<StabilityRow> rows = deferred.octaveTable(), nowRows = now.octaveTable();
    EXPECT_FALSE(deferred.rowsDeferred());
    ASSERT_EQ(rows.size(), nowRows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) expectSameRow(rows[i], nowRows[i], kLiveAgreement, c.name);
    step(c.appendedAfter, c.droppedAfter);
    StabilityAccumulator fresh;
    fresh.assign(timesOf(deferred), valuesOf(deferred));
    expectSameFigures(deferred.figures(), fresh.figures(), kLiveAgreement, c.name);
    const std::vector<StabilityRow> after = deferred.octaveTable(), freshRows = fresh.octaveTable();
    ASSERT_EQ(after.size(), freshRows.size());
    for (std::size_t i = 0; i < after.size(); ++i) expectSameRow(after[i], freshRows[i], kLiveAgreement, c.name);
}

INSTANTIATE_TEST_SUITE_P(Loads, DeferredRows,
                         ::testing::Values(DeferredCase{"LoadAlone", 5000, 0, 0, 0, 0},
                                           DeferredCase{"ReadingsArriveBeforeTheLook", 5000, 300, 0, 100, 50},
                                           DeferredCase{"ReadingsScrollAwayBeforeTheLook", 5000, 300, 2000, 10, 10},
                                           DeferredCase{"MoreThanABatchBeforeTheLook", 3000, 9000, 5000, 0, 0},
                                           DeferredCase{"EverythingLeaves", 100, 0, 100, 50, 0},
                                           DeferredCase{"NothingLoaded", 0, 40, 5, 10, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs::test
