// A repeating timer on the real Qt event loop keeps the phase it was started
// with: a handler that takes part of every period, or one that stalls the
// loop for several periods, never moves the later ticks.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Timer.h"
#include "qt/runtime/QtRuntime.h"

namespace qs::test {
namespace {

// Keeps the event loop busy for ms, as a long repaint would.
void busyFor(std::int64_t ms) {
    QElapsedTimer busy;
    busy.start();
    while (busy.elapsed() < ms) {
    }
}

struct PhaseCase {
    const char* name;
    std::int64_t handlerMs;  // every tick's own work
    int stallTick;           // this tick (1-based) takes stallMs instead; 0: none
    std::int64_t stallMs;
};

class TimerPhaseTest : public ::testing::TestWithParam<PhaseCase> {};

TEST_P(TimerPhaseTest, TicksStayOnTheGridOfTheirStart) {
    const PhaseCase& c = GetParam();
    QtRuntime runtime{[](const std::string&) {}};
    QElapsedTimer clock;
    std::vector<std::int64_t> ticks;
    QEventLoop loop;
    Timer timer(runtime, 100, false, [&] {
        ticks.push_back(clock.elapsed());
        busyFor(static_cast<int>(ticks.size()) == c.stallTick ? c.stallMs : c.handlerMs);
        if (clock.elapsed() >= 5050) loop.quit();
    });
    // Bounded whatever happens: the run ends after 8 s at the latest.
    QTimer::singleShot(8000, &loop, &QEventLoop::quit);
    clock.start();
    timer.setEnabled(true);
    loop.exec();
    timer.setEnabled(false);

    ASSERT_GE(ticks.size(), 40u);
    // The tick of the 50th period: within one period of 5 s.
    std::int64_t fiftieth = -1;
    for (std::int64_t t : ticks)
        if (t >= 4950 && fiftieth < 0) fiftieth = t;
    EXPECT_GE(fiftieth, 5000 - 100);
    EXPECT_LT(fiftieth, 5000 + 100);
    // Every tick after the stall stays within 40 ms of the grid, and
    // the stall's missed periods come as one tick, never a burst.
    const std::size_t after = c.stallTick > 0 ? static_cast<std::size_t>(c.stallTick) + 1 : 0;
    for (std::size_t i = after; i < ticks.size(); ++i) {
        // Off the grid by this much (a timer may also fire a millisecond early).
        const std::int64_t offGrid = (ticks[i] + 50) % 100 - 50;
        EXPECT_LT(offGrid < 0 ? -offGrid : offGrid, 40) << "tick " << i + 1 << " at " << ticks[i] << " ms";
    }
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        EXPECT_GE(ticks[i] - ticks[i - 1], 40) << "ticks " << i << " and " << i + 1;
    }
    if (c.stallTick == 0) {
        EXPECT_GE(ticks.size(), 49u);
    }
}

INSTANTIATE_TEST_SUITE_P(Handlers, TimerPhaseTest,
                         ::testing::Values(PhaseCase{"ThirtyMillisecondsEveryTick", 30, 0, 0},
                                           PhaseCase{"AQuarterSecondStall", 30, 10, 250},
                                           PhaseCase{"AStallOfSevenPeriods", 10, 20, 730}),
                         [](const ::testing::TestParamInfo<PhaseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs::test
