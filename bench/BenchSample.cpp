// The cost of one sample with many points held: EvaluateSample with its
// series operations and its data-file line, on the QCustomPlot series store
// and on the memory store, with 10^3, 10^5, 10^6 and 10^7 points on every
// series (10^7: a week and a half at ten samples a second), the stability
// sums holding command 1's points as well.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchLine.h"
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "QtBenchApp.h"
#include "platform/DayCount.h"
#include "platform/MemoryChart.h"
#include "qt/chart/QtChart.h"

namespace qs::bench {
namespace {

constexpr long long kSizes[] = {1000, 100000, 1000000, 10000000};
// A running mean over the latest 10 points costs the same however many are held.
constexpr double kWindowedTargetUs = 50.0;
// A mean over every point held was allowed to cost in proportion up to a
// million points: 2 ms at a million, plus what a sample costs anyway.
double wholeMeanTargetUs(long long points) { return 2000.0 * static_cast<double>(points) / 1e6 + kWindowedTargetUs; }
// At ten million points held, either mean: a sample costs 10 us.
constexpr long long kWeekPoints = 10000000;
constexpr double kWeekTargetUs = 10.0;

double targetUs(long long points, bool windowed) {
    if (points >= kWeekPoints) return kWeekTargetUs;
    return windowed ? kWindowedTargetUs : wholeMeanTargetUs(points);
}

// CPU microseconds per sample, the median of a few batches. CPU time, not
// wall time: the machine is shared, and a sample runs on one thread.
template <class ChartT>
double perSampleUs(long long points, int meanPoints) {
    auto b = std::make_unique<BenchWindow<ChartT>>();
    b->selectMode(1);
    b->setMeanPoints(meanPoints);
    fillSeries(b->chart, points);
    // The stability sums hold command 1's points too, as after a load.
    {
        std::vector<double> seconds, values;
        seconds.reserve(static_cast<std::size_t>(points));
        values.reserve(static_cast<std::size_t>(points));
        for (int i = 0; i < b->w.Series1.Count(); ++i) {
            seconds.push_back(SecondsOfDayCount(b->w.Series1.XValue(i)));
            values.push_back(b->w.Series1.YValue(i));
        }
        b->w.Stability.assign(1, seconds, values);
    }
    // With a mean over every point the batches stay small, so that the
    // samples themselves add at most 1% to the points held.
    const int perBatch = meanPoints > 0 ? 2000 : static_cast<int>(std::max(2LL, points / 500));
    std::vector<double> batches;
    long long second = 0;
    for (int batch = 0; batch < 5; ++batch) {
        const double start = processCpuSeconds();
        for (int i = 0; i < perBatch; ++i) b->w.EvaluateSample("+1.23456789E+00", benchTime(second++));
        batches.push_back((processCpuSeconds() - start) * 1e6 / perBatch);
    }
    if (b->w.State.SampleCount != second || b->w.Series2.Count() != points + second)
        std::fprintf(stderr, "samples went astray: %d counted\n", b->w.State.SampleCount);
    return median(batches);
}

// The targets are the program's, with the QCustomPlot store; the memory
// store's figures are shown beside them for comparison.
template <class ChartT>
void measure(BenchLine& out, const char* store) {
    const bool program = std::string(store) == "qtchart";
    auto figure = [&](const std::string& name, double value, const char* unit, double target, int decimals) {
        if (program)
            out.report(name, value, unit, Bound::AtMost, target, decimals);
        else
            BenchLine::compare(name, value, unit, decimals);
    };
    double atThousand = 0.0, atMillion = 0.0;
    for (long long points : kSizes) {
        const double us = perSampleUs<ChartT>(points, 10);
        if (points == 1000) atThousand = us;
        if (points == 1000000) atMillion = us;
        figure(std::string("sample.mean10.") + store + ".points_" + std::to_string(points), us, "us",
               targetUs(points, true), 1);
    }
    // Independent of the points held: a million points cost no more than a
    // thousand, give or take what a shared machine adds.
    figure(std::string("sample.mean10.") + store + ".growth_1e3_to_1e6", atMillion / atThousand, "x", 2.0, 2);
    for (long long points : kSizes) {
        const double us = perSampleUs<ChartT>(points, 0);
        figure(std::string("sample.mean_all.") + store + ".points_" + std::to_string(points), us, "us",
               targetUs(points, false), 1);
    }
}

}  // namespace
}  // namespace qs::bench

// An argument "POINTS MEAN" measures the chart's store alone at that size and
// mean window, e.g. under a profiler.
int main(int argc, char** argv) {
    using namespace qs::bench;
    QtBenchApp app(argc, argv);
    BenchLine::note("per sample: EvaluateSample in \"Send Command 1\" mode with its data-file line, CPU time");
    if (argc == 3) {
        std::printf("%.2f us\n", perSampleUs<qs::QtChart>(std::atoll(argv[1]), std::atoi(argv[2])));
        return 0;
    }
    BenchLine out;
    measure<qs::QtChart>(out, "qtchart");
    measure<qs::MemoryChart>(out, "memorychart");
    return out.exitStatus();
}
