#pragma once
// The differential check of the kept sums: whatever a store or the window
// does to a series, the sum of all its points, and every running mean drawn
// from it, is the very double that adding the points up one by one from the
// oldest gives. Bits are compared, not a tolerance.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>

#include "StoreWindow.h"
#include "core/SampleTime.h"

namespace qs::test {

// The y values of points first to last - 1, added up from the oldest, one
// by one through YValue: the straightforward sum of the running mean.
inline double PlainSum(const ISeries& s, int first, int last) {
    double sum = 0.0;
    for (int i = first; i < last; ++i) sum += s.YValue(i);
    return sum;
}

inline std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

// The sum of all points, as the store gives it, against the plain sum.
inline ::testing::AssertionResult SumsAgree(const ISeries& s) {
    const int n = s.Count();
    const double kept = s.sumY(0, n), plain = PlainSum(s, 0, n);
    if (Bits(kept) == Bits(plain)) return ::testing::AssertionSuccess();
    char text[160];
    std::snprintf(text, sizeof text, "sum of %d points: %.17g kept, %.17g added up", n, kept, plain);
    return ::testing::AssertionFailure() << text;
}

// Values of very different sizes and both signs, so that adding them in any
// other order, or taking the oldest away again, gives a different double.
inline double RoughValue(std::mt19937_64& rng) {
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-6, 12);
    return mantissa(rng) * std::pow(10.0, exponent(rng));
}

// A store alone: points appended, appended at an equal x, inserted before
// the newest or the oldest, dropped from the front, cleared.
inline void CheckStoreSums(ISeries& s, unsigned seed, int steps) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<int> op(0, 99);
    double x = 1000.0;
    for (int step = 0; step < steps; ++step) {
        const int o = op(rng);
        if (o < 70) {
            s.AddPoint(x += 1.0, RoughValue(rng));
        } else if (o < 78) {
            s.AddPoint(x, RoughValue(rng));
        } else if (o < 84) {
            std::uniform_real_distribution<double> earlier(0.0, x);
            s.AddPoint(earlier(rng), RoughValue(rng));
        } else if (o < 99) {
            s.DeleteFirst();
        } else {
            s.Clear();
        }
        ASSERT_TRUE(SumsAgree(s)) << "seed " << seed << ", step " << step;
    }
}

// Samples in all three command modes with changing mean and scroll windows,
// loads of the data file the samples wrote, and emptied displays. After each
// sample, the mean it plotted is the plain sum of its channel's
// raw points divided by their number; after every step, each series' kept
// sum is its plain sum.
template <class ChartT>
void CheckWindowMeans(unsigned seed, int steps) {
    StoreWindow<ChartT> b;
    TGPIBTelnet& w = b.w;
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<int> op(0, 199), small(1, 40);
    std::time_t now = 1704067200;
    int means = 0, scrolled = 0, loads = 0;
    for (int step = 0; step < steps; ++step) {
        const int o = op(rng);
        if (o < 170) {
            const double value = RoughValue(rng);
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", value);
            // Now and then two samples within one second share their x.
            if (op(rng) < 180) ++now;
            w.EvaluateSample(text, SampleTimeFromUtc(now));
            const bool alternate = !w.RadioButton1.checked() && !w.RadioButton2.checked();
            const int channel = w.RadioButton1.checked() ? 1 : w.RadioButton2.checked() ? 2 : w.State.ReplyPhase;
            if (alternate) w.State.ReplyPhase = w.State.ReplyPhase == 0 ? 1 : 0;
            const ISeries& raw = b.chart.Series(channel == 1 ? 1 : 4);
            const ISeries& mean = b.chart.Series(channel == 1 ? 2 : 6);
            const int n = raw.Count();
            if (n > 0) {
                const int first = w.State.MeanPoints > 0 && n >= w.State.MeanPoints ? n - w.State.MeanPoints : 0;
                const double expected = PlainSum(raw, first, n) / (n - first);
                ASSERT_EQ(Bits(mean.YValue(mean.Count() - 1)), Bits(expected))
                    << "seed " << seed << ", step " << step << ": mean of " << n - first << " points";
                if (first == 0 && n > 1) ++means;
            }
        } else if (o < 180) {
            w.RadioButton1.setChecked(o == 170 || o == 171);
            w.RadioButton2.setChecked(o == 172 || o == 173);
            w.RadioButton3.setChecked(o >= 174);
        } else if (o < 187) {
            w.MeanBox.setText(o < 184 ? "0" : std::to_string(small(rng)));
            w.MeanBoxChange();
        } else if (o < 192) {
            w.ScrollBox.setText(o < 189 ? "0" : std::to_string(small(rng) * 5));
            w.ScrollBoxExit();
            ++scrolled;
        } else if (o < 198) {
            w.LoadButtonClick();
            ++loads;
        } else {
            w.TextFileBoxExit();  // the display starts over
        }
        for (int s = 1; s <= 6; ++s)
            ASSERT_TRUE(SumsAgree(b.chart.Series(s))) << "seed " << seed << ", step " << step << ", Series" << s;
    }
    // The scenario did what it is for.
    EXPECT_GT(means, steps / 10);
    EXPECT_GT(scrolled, 0);
    EXPECT_GT(loads, 0);
}

}  // namespace qs::test
