// What repainting a full chart may cost: the repaints that samples cause are
// spaced out by their own cost, so that a chart of millions of points takes
// well under a tenth of the processor, while the person's own pan still shows
// on the next frame.
#include <QElapsedTimer>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "qt/chart/QtChart.h"

namespace qs::test {
namespace {

constexpr double kStart = 45356.5;  // 2024-03-05 12:00 UTC
constexpr double kSecond = 1.0 / 86400.0;
constexpr int kPoints = 50000;

struct ChartRepaintCostTest : ::testing::Test {
    QtChart chart;
    QCustomPlot* plot = chart.widget();
    int next = 0;

    void SetUp() override {
        plot->resize(1280, 720);
        plot->show();
        // A noisy signal on every series, so that each repaint has real lines to draw.
        for (int s = 1; s <= 6; ++s)
            for (int i = 0; i < kPoints; ++i) chart.Series(s).AddPoint(kStart + i * kSecond, (i % 1000 * 7919 % 1000) * 1e-3 + s);
        next = kPoints;
        chart.Redraw();
        chart.replotNow();
    }
    void addSample() {
        for (int s = 1; s <= 6; ++s) chart.Series(s).AddPoint(kStart + next * kSecond, s);
        ++next;
        chart.Redraw();
    }
};

TEST_F(ChartRepaintCostTest, RepaintsOfAFullChartTakeWellUnderATenthOfTheProcessor) {
    ASSERT_GT(chart.lastReplotCostMs(), 0.0);
    const int before = chart.replotCount();
    int seen = before;
    double spentMs = 0.0;
    QElapsedTimer clock;
    clock.start();
    // Two seconds, and where a repaint is slow enough to be spaced out
    // further (sanitizers, a busy machine) until two repaints came, for at
    // most ten.
    while (clock.elapsed() < 2000 || (chart.replotCount() - before < 2 && clock.elapsed() < 10000)) {
        addSample();
        QTest::qWait(10);  // a hundred samples a second
        if (chart.replotCount() != seen) {
            spentMs += chart.lastReplotCostMs();
            seen = chart.replotCount();
        }
    }
    EXPECT_GE(chart.replotCount() - before, 2);  // the chart keeps up, only less often
    EXPECT_LE(spentMs / static_cast<double>(clock.elapsed()), 0.1)
        << chart.replotCount() - before << " repaints, the last costing " << chart.lastReplotCostMs() << " ms";
}

TEST_F(ChartRepaintCostTest, ThePersonsPanShowsOnTheNextFrameHoweverCostlyTheRepaint) {
    addSample();  // its repaint waits for the pause the last repaint's cost set
    const int paced = chart.replotDelayMs();
    if (paced <= 40) GTEST_SKIP() << "a repaint costs too little here to be spaced out";
    const int before = chart.replotCount();
    QElapsedTimer clock;
    clock.start();
    const QPoint c = plot->axisRect()->rect().center();
    QTest::mousePress(plot, Qt::RightButton, {}, c);
    QMouseEvent move(QEvent::MouseMove, QPointF(c + QPoint(-100, 0)), plot->mapToGlobal(QPointF(c + QPoint(-100, 0))),
                     Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
    QTest::mouseRelease(plot, Qt::RightButton, {}, c + QPoint(-100, 0));
    ASSERT_TRUE(WaitFor([&] { return chart.replotCount() > before; }, 2000));
    EXPECT_LT(clock.elapsed(), paced);
}

}  // namespace
}  // namespace qs::test
