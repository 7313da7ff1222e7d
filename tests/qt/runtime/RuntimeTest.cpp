// The Qt event loop as the logic sees it: one-shot callbacks, guarded
// dispatch, the two waits, and the end of every wait when the window closes.
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "platform/Exception.h"
#include "qt/runtime/QtRuntime.h"

namespace qs::test {
namespace {

struct RuntimeTest : ::testing::Test {
    std::vector<std::string> errors;
    QtRuntime runtime{[this](const std::string& m) { errors.push_back(m); }};
};

TEST_F(RuntimeTest, CallbacksRunOnceInOrderOfTheirDelay) {
    std::vector<int> order;
    runtime.schedule(60, [&] { order.push_back(3); });
    runtime.schedule(0, [&] { order.push_back(1); });
    runtime.schedule(20, [&] { order.push_back(2); });
    ASSERT_TRUE(WaitFor([&] { return order.size() == 3; }, 2000));
    QTest::qWait(100);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(runtime.pending(), 0u);
}

TEST_F(RuntimeTest, CancelledCallbackNeverRunsAndUnknownIdsAreIgnored) {
    int runs = 0;
    const TimerId id = runtime.schedule(10, [&] { ++runs; });
    runtime.cancel(id);
    runtime.cancel(id);
    runtime.cancel(987654);
    QTest::qWait(60);
    EXPECT_EQ(runs, 0);
}

TEST_F(RuntimeTest, CallbackMayCancelAndScheduleFromInside) {
    int runs = 0;
    TimerId later = runtime.schedule(40, [&] { runs += 100; });
    runtime.schedule(0, [&] {
        runtime.cancel(later);
        runtime.schedule(0, [&] { ++runs; });
    });
    QTest::qWait(100);
    EXPECT_EQ(runs, 1);
}

TEST_F(RuntimeTest, ExceptionEscapingACallbackGoesToTheErrorReportAndTheLoopGoesOn) {
    int after = 0;
    runtime.schedule(0, [] { throw EConvertError("'x' is not a valid integer value"); });
    runtime.schedule(0, [] { throw std::runtime_error("plain"); });
    runtime.schedule(0, [] { throw 42; });
    runtime.schedule(5, [&] { ++after; });
    ASSERT_TRUE(WaitFor([&] { return after == 1; }, 2000));
    EXPECT_EQ(errors, (std::vector<std::string>{"'x' is not a valid integer value", "plain", ""}));
}

TEST_F(RuntimeTest, SleepAndPumpWaitsItsTimeWhileEventsRunNestedInside) {
    int ticks = 0;
    runtime.schedule(20, [&] { ++ticks; });
    runtime.schedule(60, [&] { ++ticks; });
    QElapsedTimer clock;
    clock.start();
    runtime.sleepAndPump(150);
    EXPECT_GE(clock.elapsed(), 145);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(runtime.waitDepth(), 0);
}

TEST_F(RuntimeTest, SleepWaitsWithoutRunningEventsWhichRunAtTheNextDispatch) {
    int ticks = 0;
    runtime.schedule(10, [&] { ++ticks; });
    QElapsedTimer clock;
    clock.start();
    runtime.sleep(80);
    EXPECT_GE(clock.elapsed(), 75);
    EXPECT_EQ(ticks, 0);
    ASSERT_TRUE(WaitFor([&] { return ticks == 1; }, 1000));
}

TEST_F(RuntimeTest, ClockIsUtcInWholeSeconds) {
    // time() reads the kernel's coarse clock, which can trail the precise one
    // the runtime reads by a tick: at a second's turn it may still say the
    // second before.
    const std::time_t before = std::time(nullptr);
    const std::time_t now = runtime.nowUtc();
    EXPECT_GE(now, before);
    EXPECT_LE(now, std::time(nullptr) + 1);
}

TEST_F(RuntimeTest, ShutDownEndsNestedWaitsAtOnceAndNothingRunsAfterIt) {
    // A handler waiting in three nested levels, as Start inside a recovery does.
    int laterRuns = 0;
    runtime.schedule(5000, [&] { ++laterRuns; });
    std::vector<int> depths;
    QElapsedTimer clock;
    runtime.schedule(0, [&] {
        runtime.schedule(0, [&] {
            runtime.schedule(50, [&] { runtime.shutDown(); });
            depths.push_back(runtime.waitDepth());
            runtime.sleepAndPump(10000);
        });
        depths.push_back(runtime.waitDepth());
        runtime.sleepAndPump(10000);
        // Waits after the close return at once: the handler runs to its end.
        runtime.sleepAndPump(10000);
        runtime.sleep(10000);
    });
    clock.start();
    runtime.sleepAndPump(10000);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(depths, (std::vector<int>{1, 2}));
    EXPECT_TRUE(runtime.shuttingDown());
    EXPECT_EQ(runtime.pending(), 0u);
    runtime.schedule(0, [&] { ++laterRuns; });
    QTest::qWait(30);
    EXPECT_EQ(laterRuns, 0);
}

}  // namespace
}  // namespace qs::test
