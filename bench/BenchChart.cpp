// The chart with a million points on each of the six series: the cost of a
// full repaint, and the window's CPU load while samples arrive ten times a
// second and every one is plotted.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchLine.h"
#include "BenchSupport.h"
#include "QtBenchApp.h"
#include "TempWorkDir.h"
#include "qt/LoggerApp.h"
#include "qt/QtChart.h"

namespace qs::bench {
namespace {

constexpr long long kPoints = 1000000;
constexpr int kRepaints = 7;
constexpr double kRepaintTargetMs = 50.0;
constexpr int kSampleIntervalMs = 100;
constexpr int kLoadSeconds = 10;
constexpr double kLoadTargetPercent = 10.0;

// Lets every posted event run, the repaint a replot asked for included.
void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// A full repaint: the axes fitted to the data, every layer drawn into the
// plot's buffers, and the buffers painted into the widget's window.
void repaint(BenchLine& out) {
    QtChart chart;
    chart.widget()->resize(1280, 720);
    chart.widget()->show();
    fillSeries(chart, kPoints);
    settle();
    chart.replotNow();
    settle();
    std::vector<double> cpu, wall;
    for (int i = 0; i < kRepaints; ++i) {
        const double startCpu = processCpuSeconds(), startWall = wallSeconds();
        chart.Redraw();
        chart.replotNow();
        settle();
        cpu.push_back((processCpuSeconds() - startCpu) * 1e3);
        wall.push_back((wallSeconds() - startWall) * 1e3);
    }
    char note[160];
    std::snprintf(note, sizeof note, "repaint of 6 x %lld points at 1280x720: wall %.1f ms (median of %d)", kPoints,
                  median(wall), kRepaints);
    BenchLine::note(note);
    out.report("chart.repaint_6x1e6.cpu", median(cpu), "ms", Bound::AtMost, kRepaintTargetMs, 1);
}

// The whole program's objects, the window shown, a million points on each
// series, and a sample every 100 ms through EvaluateSample, whose Redraw the
// chart coalesces into its repaints. The share of one core is the process's
// CPU time over the wall time of the run.
void liveLoad(BenchLine& out) {
    test::TempWorkDir dir;
    auto app = std::make_unique<LoggerApp>();
    app->create();
    app->window.show();
    fillSeries(app->chart, kPoints);
    app->logger.Chart1.Redraw();
    settle();
    app->chart.replotNow();
    settle();

    long long second = 0;
    QTimer sampler;
    sampler.setInterval(kSampleIntervalMs);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        app->logger.EvaluateSample("+1.23456789E+00", benchTime(second++));
    });
    QEventLoop loop;
    QTimer::singleShot(kLoadSeconds * 1000, &loop, &QEventLoop::quit);
    const int repaintsBefore = app->chart.replotCount();
    const double startCpu = processCpuSeconds(), startWall = wallSeconds();
    sampler.start();
    loop.exec();
    sampler.stop();
    const double cpu = processCpuSeconds() - startCpu, wall = wallSeconds() - startWall;

    char note[200];
    std::snprintf(note, sizeof note, "live: %lld samples and %d repaints in %.1f s of wall time, %.3f s of CPU time",
                  second, app->chart.replotCount() - repaintsBefore, wall, cpu);
    BenchLine::note(note);
    out.report("chart.live_10_per_s_6x1e6.cpu_share", 100.0 * cpu / wall, "%", Bound::AtMost, kLoadTargetPercent,
               1);
}

}  // namespace
}  // namespace qs::bench

int main(int argc, char** argv) {
    using namespace qs::bench;
    QtBenchApp app(argc, argv);
    // An argument runs one part alone ("repaint" or "live"), e.g. under a profiler.
    const std::string only = argc > 1 ? argv[1] : "";
    BenchLine out;
    if (only.empty() || only == "repaint") repaint(out);
    if (only.empty() || only == "live") liveLoad(out);
    return out.exitStatus();
}
