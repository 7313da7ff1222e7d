// The chart with a million points on each of the six series: the cost of a
// full repaint, and the window's CPU load while samples arrive ten times a
// second and every one is plotted. With ten million on each (a week and a
// half at ten samples a second): the cost of a full repaint, and of each
// frame of a pan across a zoomed view.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchLine.h"
#include "BenchSupport.h"
#include "QtBenchApp.h"
#include "TempWorkDir.h"
#include "qt/app/LoggerApp.h"
#include "qt/chart/QtChart.h"

namespace qs::bench {
namespace {

constexpr long long kPoints = 1000000;
constexpr long long kWeekPoints = 10000000;
constexpr int kRepaints = 7;
constexpr double kRepaintTargetMs = 50.0;
// A pan: the mouse moves this many times by this many pixels, a frame each.
constexpr int kPanFrames = 40;
constexpr int kPanStepPixels = 20;
constexpr double kPanFrameTargetMs = 50.0;
constexpr int kSampleIntervalMs = 100;
constexpr int kLoadSeconds = 10;
constexpr double kLoadTargetPercent = 10.0;

// Lets every posted event run, the repaint a replot asked for included.
void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// The chart at 1280x720, shown, with `points` on each series, repainted once.
struct ShownChart {
    QtChart chart;
    explicit ShownChart(long long points) {
        chart.widget()->resize(1280, 720);
        chart.widget()->show();
        fillSeries(chart, points);
        settle();
        chart.replotNow();
        settle();
    }
};

// The CPU and wall milliseconds of each run of step: what it does, a repaint
// it asked for, and the buffers painted into the widget's window.
struct FrameCost {
    std::vector<double> cpu, wall;
};
template <class Step>
FrameCost frames(QtChart& chart, int count, Step step) {
    FrameCost cost;
    for (int i = 0; i < count; ++i) {
        const double startCpu = processCpuSeconds(), startWall = wallSeconds();
        step(i);
        chart.replotNow();
        settle();
        cost.cpu.push_back((processCpuSeconds() - startCpu) * 1e3);
        cost.wall.push_back((wallSeconds() - startWall) * 1e3);
    }
    return cost;
}

// A full repaint: the axes fitted to the data, every layer drawn into the
// plot's buffers, and the buffers painted into the widget's window.
void repaint(BenchLine& out, long long points, const std::string& name) {
    ShownChart shown(points);
    QtChart& chart = shown.chart;
    const FrameCost cost = frames(chart, kRepaints, [&](int) { chart.Redraw(); });
    char note[160];
    std::snprintf(note, sizeof note, "repaint of 6 x %lld points at 1280x720: wall %.1f ms (median of %d)", points,
                  median(cost.wall), kRepaints);
    BenchLine::note(note);
    out.report(name, median(cost.cpu), "ms", Bound::AtMost, kRepaintTargetMs, 1);
}

void sendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// A person zooms into a tenth of ten million points a series with a left
// drag, then pans across with the right button held: each move of the mouse
// is a frame, repainted at once.
void pan(BenchLine& out) {
    ShownChart shown(kWeekPoints);
    QtChart& chart = shown.chart;
    QCustomPlot* plot = chart.widget();
    const QRect area = plot->axisRect()->rect();
    const int x0 = area.left() + area.width() * 45 / 100, x1 = area.left() + area.width() * 55 / 100;
    sendMouse(plot, QEvent::MouseButtonPress, QPoint(x0, area.top() + 1), Qt::LeftButton, Qt::LeftButton);
    sendMouse(plot, QEvent::MouseMove, QPoint(x1, area.bottom() - 1), Qt::NoButton, Qt::LeftButton);
    sendMouse(plot, QEvent::MouseButtonRelease, QPoint(x1, area.bottom() - 1), Qt::LeftButton, Qt::NoButton);
    chart.replotNow();
    settle();
    const QPoint start(area.right() - 10, area.center().y());
    sendMouse(plot, QEvent::MouseButtonPress, start, Qt::RightButton, Qt::RightButton);
    const QCPRange before = plot->xAxis->range();
    const FrameCost cost = frames(chart, kPanFrames, [&](int i) {
        sendMouse(plot, QEvent::MouseMove, start - QPoint((i + 1) * kPanStepPixels, 0), Qt::NoButton, Qt::RightButton);
    });
    sendMouse(plot, QEvent::MouseButtonRelease, start - QPoint(kPanFrames * kPanStepPixels, 0), Qt::RightButton,
              Qt::NoButton);
    const double moved = (plot->xAxis->range().lower - before.lower) / before.size();
    if (chart.autoView() || before.size() > 0.2 * kWeekPoints / 86400.0 || std::abs(moved) < 0.2)
        std::fprintf(stderr, "the pan did not happen: view of %.1f days moved by %.2f of itself\n", before.size(),
                     moved);
    char note[200];
    std::snprintf(note, sizeof note,
                  "pan across a tenth of 6 x %lld points at 1280x720: %d frames of %d pixels, wall %.1f ms a frame",
                  kWeekPoints, kPanFrames, kPanStepPixels, median(cost.wall));
    BenchLine::note(note);
    out.report("chart.pan_6x1e7.cpu", median(cost.cpu), "ms", Bound::AtMost, kPanFrameTargetMs, 1);
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
    // An argument runs one part alone ("repaint", "live", "repaint_week" or
    // "pan"), e.g. under a profiler.
    const std::string only = argc > 1 ? argv[1] : "";
    BenchLine out;
    if (only.empty() || only == "repaint") repaint(out, kPoints, "chart.repaint_6x1e6.cpu");
    if (only.empty() || only == "live") liveLoad(out);
    if (only.empty() || only == "repaint_week") repaint(out, kWeekPoints, "chart.repaint_6x1e7.cpu");
    if (only.empty() || only == "pan") pan(out);
    return out.exitStatus();
}
