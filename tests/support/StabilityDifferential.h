#pragma once
// The differential check of the window's live stability sums: whatever the
// window does to its series (samples in every command mode, scroll drops,
// new mean and scroll windows, loads, Empty), the figures of its live sums
// agree with a fresh one-pass computation on the readings they should
// cover, and those readings are the very ones an independent model of the
// rule names: a channel's own readings still in the scroll window, the
// newest MeanPoints of them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <ctime>
#include <optional>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "StoreWindow.h"
#include "core/SampleTime.h"
#include "datafile/LoadedChannels.h"
#include "platform/BoundedSeries.h"
#include "platform/DayCount.h"
#include "platform/MemoryChart.h"
#include "stability/StabilityAccumulator.h"

namespace qs::test {

// Agreement of live sums that gained and lost terms with a fresh pass: not
// to the bit (their roundings differ), to 1e-12 relative.
inline constexpr double kWindowLiveAgreement = 1e-12;

inline ::testing::AssertionResult FigureAgrees(const std::optional<double>& live, const std::optional<double>& fresh,
                                               double rel, const std::string& what) {
    if (live.has_value() != fresh.has_value())
        return ::testing::AssertionFailure() << what << ": " << (live ? "a figure" : "none") << " live, "
                                             << (fresh ? "a figure" : "none") << " fresh";
    if (!live) return ::testing::AssertionSuccess();
    const double scale = std::max(std::fabs(*live), std::fabs(*fresh));
    if (std::fabs(*live - *fresh) <= rel * scale) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << ": " << *live << " live, " << *fresh << " fresh";
}

// One scenario: the store, the settings it starts with, and what may change.
struct StabilityScenario {
    const char* name;
    unsigned seed;
    int steps;
    int meanPoints, scrollPoints;  // at the start
    bool settingsChange;           // new mean and scroll windows on the way
    bool loads;                    // loads of the data file on the way
};

inline void PrintTo(const StabilityScenario& s, std::ostream* os) { *os << s.name; }

struct OwnReading {
    double seconds, value;
};

// The readings the model says channel c's statistics cover.
inline std::vector<OwnReading> CoveredBy(const std::vector<OwnReading>& own, int meanPoints) {
    const std::size_t n = own.size();
    const std::size_t from = meanPoints > 0 && n > static_cast<std::size_t>(meanPoints) ? n - meanPoints : 0;
    return {own.begin() + static_cast<std::ptrdiff_t>(from), own.end()};
}

inline void ExpectLiveSumsAreAFreshPass(const StabilityAccumulator& live, const std::vector<OwnReading>& expected,
                                        const std::string& at) {
    ASSERT_EQ(live.count(), static_cast<long long>(expected.size())) << at << ": readings covered";
    std::vector<double> t, y;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(live.time(static_cast<long long>(i)), expected[i].seconds) << at << ": reading " << i;
        ASSERT_EQ(live.value(static_cast<long long>(i)), expected[i].value) << at << ": reading " << i;
        t.push_back(expected[i].seconds);
        y.push_back(expected[i].value);
    }
    StabilityAccumulator fresh;
    fresh.assign(t, y);
    const SeriesFigures a = live.figures(), b = fresh.figures();
    const double rel = kWindowLiveAgreement;
    EXPECT_EQ(a.n, b.n) << at;
    EXPECT_TRUE(FigureAgrees(a.mean, b.mean, rel, at + " mean"));
    EXPECT_TRUE(FigureAgrees(a.stddev, b.stddev, rel, at + " stddev"));
    EXPECT_TRUE(FigureAgrees(a.stddevPpm, b.stddevPpm, rel, at + " stddev ppm"));
    EXPECT_TRUE(FigureAgrees(a.minimum, b.minimum, 0.0, at + " min"));
    EXPECT_TRUE(FigureAgrees(a.maximum, b.maximum, 0.0, at + " max"));
    EXPECT_TRUE(FigureAgrees(a.driftPerDay, b.driftPerDay, rel, at + " drift"));
    EXPECT_TRUE(FigureAgrees(a.tau0, b.tau0, 0.0, at + " tau0"));
    const std::vector<StabilityRow> rows = live.octaveTable(), freshRows = fresh.octaveTable();
    ASSERT_EQ(rows.size(), freshRows.size()) << at;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string where = at + " m=" + std::to_string(rows[i].m);
        EXPECT_EQ(rows[i].oadevTerms, freshRows[i].oadevTerms) << where;
        EXPECT_EQ(rows[i].mdevTerms, freshRows[i].mdevTerms) << where;
        EXPECT_EQ(rows[i].hdevTerms, freshRows[i].hdevTerms) << where;
        EXPECT_TRUE(FigureAgrees(rows[i].oadev, freshRows[i].oadev, rel, where + " OADEV"));
        EXPECT_TRUE(FigureAgrees(rows[i].mdev, freshRows[i].mdev, rel, where + " MDEV"));
        EXPECT_TRUE(FigureAgrees(rows[i].hdev, freshRows[i].hdev, rel, where + " HDEV"));
    }
}

template <class ChartT>
void CheckWindowStability(const StabilityScenario& scenario) {
    StoreWindow<ChartT> b;
    TGPIBTelnet& w = b.w;
    w.MinStringBox.setText("1");
    w.MeanBox.setText(std::to_string(scenario.meanPoints));
    w.MeanBoxChange();
    w.ScrollBox.setText(std::to_string(scenario.scrollPoints));
    w.ScrollBoxExit();
    if constexpr (std::is_same_v<ChartT, MemoryChartOf<BoundedSeries>>) {
        // As the headless logger holds them, for settings that stay.
        const int held = PointsTheMeanNeeds(w.State.MeanPoints, w.State.ScrollPoints);
        for (int n = 1; n <= 6; ++n) b.chart.store(n).setHeld(held);
    }
    std::mt19937_64 rng(scenario.seed);
    std::uniform_int_distribution<int> op(0, 199), small(1, 40);
    std::normal_distribution<double> noise(0.0, 1e-6);
    std::time_t now = 1704067200;
    std::vector<OwnReading> own[2];
    int samples = 0, scrolled = 0, loads = 0, empties = 0, checks = 0;
    const auto scrollModel = [&] {
        if (w.State.ScrollPoints <= 0) return;
        for (int c : {1, 2}) {
            const ISeries& raw = b.chart.Series(c == 1 ? 1 : 4);
            std::vector<OwnReading>& list = own[c - 1];
            if (raw.Count() == 0) {
                list.clear();
                continue;
            }
            const double oldest = static_cast<double>(kUnixEpochDay * kSecondsPerDay) +
                                  std::round((raw.XValue(0) - static_cast<double>(kUnixEpochDay)) * 86400.0);
            std::size_t first = 0;
            while (first < list.size() && list[first].seconds < oldest) ++first;
            list.erase(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(first));
        }
    };
    for (int step = 0; step < scenario.steps; ++step) {
        const int o = op(rng);
        if (o < 168) {
            const double value = 10.0 + noise(rng) + 1e-9 * step;
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", value);
            if (op(rng) < 185) ++now;
            const bool alternate = !w.RadioButton1.checked() && !w.RadioButton2.checked();
            const int channel = w.RadioButton1.checked() ? 1 : w.RadioButton2.checked() ? 2 : w.State.ReplyPhase == 1 ? 1 : 2;
            w.EvaluateSample(text, SampleTimeFromUtc(now));
            if (alternate) w.State.ReplyPhase = w.State.ReplyPhase == 0 ? 1 : 0;
            own[channel - 1].push_back(
                {static_cast<double>(now) + static_cast<double>(kUnixEpochDay * kSecondsPerDay), std::strtod(text, nullptr)});
            scrollModel();
            ++samples;
        } else if (o < 176) {
            w.RadioButton1.setChecked(o < 170);
            w.RadioButton2.setChecked(o == 170 || o == 171);
            w.RadioButton3.setChecked(o >= 172);
            w.State.ReplyPhase = 1;
        } else if (o < 183) {
            if (!scenario.settingsChange) continue;
            w.MeanBox.setText(o < 179 ? "0" : std::to_string(small(rng)));
            w.MeanBoxChange();
        } else if (o < 188) {
            if (!scenario.settingsChange) continue;
            w.ScrollBox.setText(o < 185 ? "0" : std::to_string(small(rng) * 5));
            w.ScrollBoxExit();
            scrollModel();
            ++scrolled;
        } else if (o < 195) {
            if (!scenario.loads) continue;
            w.LoadButtonClick();
            // Right after an Empty there is no file: Load changes nothing.
            if (!std::filesystem::exists(w.TextFileBox.text())) continue;
            const bool alternate = !w.RadioButton1.checked() && !w.RadioButton2.checked();
            std::string error;
            const std::optional<LoadedChannels> file = ReadLoadedChannels(w.TextFileBox.text(), alternate, error);
            ASSERT_TRUE(file) << error;
            // Every line is command 1's, or command 2's in "Send Command 2",
            // or the two by turns in Alternate Commands.
            own[0].clear();
            own[1].clear();
            const bool second = w.RadioButton2.checked();
            for (std::size_t i = 0; i < file->channel1.seconds.size(); ++i)
                own[second ? 1 : 0].push_back({file->channel1.seconds[i], file->channel1.values[i]});
            for (std::size_t i = 0; i < file->channel2.seconds.size(); ++i)
                own[1].push_back({file->channel2.seconds[i], file->channel2.values[i]});
            scrollModel();
            // Samples taken next follow Load's turns.
            w.State.ReplyPhase = w.State.nextLineChannel == 1 ? 1 : 0;
            ++loads;
        } else {
            b.dialogs.answers.push_back(MsgResult::Yes);
            w.DeleteButtonClick();
            own[0].clear();
            own[1].clear();
            ++empties;
        }
        const std::string at = std::string(scenario.name) + " step " + std::to_string(step);
        for (int c : {1, 2}) {
            ExpectLiveSumsAreAFreshPass(w.Stability.covered(c), CoveredBy(own[c - 1], w.State.MeanPoints),
                                        at + " channel " + std::to_string(c));
            if (::testing::Test::HasFatalFailure() || ::testing::Test::HasFailure()) return;
        }
        ++checks;
    }
    // The scenario did what it is for.
    EXPECT_GT(samples, scenario.steps / 2);
    EXPECT_GT(checks, scenario.steps / 2);
    if (scenario.loads) {
        EXPECT_GT(loads, 0);
    }
    if (scenario.settingsChange) {
        EXPECT_GT(scrolled, 0);
    }
    EXPECT_GT(empties, 0);
}

// The scenarios of every store: the window's and the tests' full stores
// with every setting changing on the way, and the headless logger's
// bounded store with the settings it keeps for the whole run.
inline const StabilityScenario kFullStoreScenarios[] = {
    {"AllPointsThenAnything", 11, 1500, 0, 0, true, true},
    {"MeanWindowThenAnything", 12, 1500, 12, 0, true, true},
    {"ScrollingThenAnything", 13, 1500, 0, 35, true, true},
};

inline const StabilityScenario kBoundedStoreScenarios[] = {
    {"AllPoints", 21, 1200, 0, 0, false, true},
    {"MeanWindow", 22, 1200, 25, 0, false, true},
    {"ScrollWindow", 23, 1200, 0, 40, false, false},
    {"MeanAndScrollWindows", 24, 1200, 10, 60, false, false},
};

}  // namespace qs::test
