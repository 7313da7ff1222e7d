// Memory: the bytes each stored point costs with a million points on each of
// the six series, and with ten million (a week and a half at ten samples a
// second), the drawing summary included; and whether a long run with a
// scrolling window grows.
#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>
#include <memory>
#include <string>

#include "BenchLine.h"
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "QtBenchApp.h"
#include "TempWorkDir.h"
#include "platform/MemoryChart.h"
#include "qt/app/LoggerApp.h"
#include "qt/chart/QtChart.h"

namespace qs::bench {
namespace {

constexpr long long kPoints = 1000000;
constexpr double kTargetBytesPerPoint = 40.0;
constexpr long long kWeekPoints = 10000000;
constexpr double kWeekTargetBytesPerPoint = 24.0;
constexpr long long kScrollSamples = 100000;
constexpr long long kWarmUpSamples = 10000;
constexpr int kScrollWindow = 1000;
// What the allocator may shift between two measurements without anything
// having been kept: a few pages.
constexpr double kGrowthToleranceKiB = 256.0;

struct PerPoint {
    double rss, heap;
};

// Resident and heap bytes per point of a chart store filled with perSeries
// points on each series.
template <class ChartT>
PerPoint bytesPerPoint(long long perSeries) {
    const double rss0 = residentBytes(), heap0 = heapBytes();
    auto chart = std::make_unique<ChartT>();
    fillSeries(*chart, perSeries);
    const double points = 6.0 * static_cast<double>(perSeries);
    return {(residentBytes() - rss0) / points, (heapBytes() - heap0) / points};
}

void perPointFigures(BenchLine& out) {
    const PerPoint chart = bytesPerPoint<qs::QtChart>(kPoints);
    out.report("memory.per_point.qtchart.rss", chart.rss, "bytes", Bound::AtMost, kTargetBytesPerPoint, 1);
    out.report("memory.per_point.qtchart.heap", chart.heap, "bytes", Bound::AtMost, kTargetBytesPerPoint, 1);
    // The memory store of the tests, for comparison.
    const PerPoint memory = bytesPerPoint<qs::MemoryChart>(kPoints);
    BenchLine::compare("memory.per_point.memorychart.rss", memory.rss, "bytes", 1);
    BenchLine::compare("memory.per_point.memorychart.heap", memory.heap, "bytes", 1);
    const PerPoint week = bytesPerPoint<qs::QtChart>(kWeekPoints);
    const std::string points = ".points_" + std::to_string(kWeekPoints);
    out.report("memory.per_point.qtchart.rss" + points, week.rss, "bytes", Bound::AtMost, kWeekTargetBytesPerPoint,
               1);
    // The heap counts the capacity each container has grown to, most of which
    // is never touched and so never resident.
    char note[200];
    std::snprintf(note, sizeof note, "memory.per_point.qtchart.heap%s: %.1f bytes, the containers' capacity included",
                  points.c_str(), week.heap);
    BenchLine::note(note);
}

// A hundred thousand samples in "Alternate Commands" with a scrolling window
// of a thousand points, through the whole program's objects with the window
// shown, its repaints running between samples as the event loop allows.
void noGrowth(BenchLine& out) {
    test::TempWorkDir dir;
    auto app = std::make_unique<LoggerApp>();
    app->create();
    app->window.show();
    TGPIBTelnet& w = app->logger;
    w.RadioButton3.setChecked(true);
    w.ScrollBox.setText(std::to_string(kScrollWindow));
    w.ScrollBoxExit();
    w.MeanBox.setText("10");
    w.MeanBoxChange();

    double rssWarm = 0.0, heapWarm = 0.0;
    for (long long i = 0; i < kScrollSamples; ++i) {
        w.EvaluateSample(i % 2 ? "+2.5E+00" : "+1.23456789E+00", benchTime(i));
        w.State.ReplyPhase = w.State.ReplyPhase == 0 ? 1 : 0;
        if (i % 100 == 99) {
            app->chart.replotNow();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        if (i + 1 == kWarmUpSamples) {
            rssWarm = residentBytes();
            heapWarm = heapBytes();
        }
    }
    const double rssGrowth = (residentBytes() - rssWarm) / 1024.0, heapGrowth = (heapBytes() - heapWarm) / 1024.0;
    char note[200];
    std::snprintf(note, sizeof note, "scrolling run: %lld samples, Series1 holds %d points, Series2 %d", kScrollSamples,
                  w.Series1.Count(), w.Series2.Count());
    BenchLine::note(note);
    out.report("memory.scroll_1000_1e5_samples.rss_growth", rssGrowth, "KiB", Bound::AtMost, kGrowthToleranceKiB, 0);
    out.report("memory.scroll_1000_1e5_samples.heap_growth", heapGrowth, "KiB", Bound::AtMost, kGrowthToleranceKiB,
               0);
}

}  // namespace
}  // namespace qs::bench

int main(int argc, char** argv) {
    using namespace qs::bench;
    QtBenchApp app(argc, argv);
    BenchLine out;
    perPointFigures(out);
    noGrowth(out);
    return out.exitStatus();
}
