#pragma once
#include <cstdint>
#include <ctime>
#include <functional>

namespace qs {

using TimerId = std::uint64_t;

// One-shot callbacks on the window's event loop. The back end runs each
// callback at message-loop level: an Exception escaping it goes to the
// platform's default error report, as with every other event.
class IScheduler {
public:
    virtual ~IScheduler() = default;
    // Runs callback once, delayMs milliseconds from now (0: at the next dispatch).
    virtual TimerId schedule(int delayMs, std::function<void()> callback) = 0;
    // Forgets a pending callback; unknown or finished ids are ignored.
    virtual void cancel(TimerId id) = 0;
    // Milliseconds on the scheduler's own steady clock (never stepped by a
    // change of the wall clock), which the delays are measured on.
    virtual std::int64_t steadyMs() = 0;
};

// The wall clock, as the logic sees it: UTC, whole seconds.
class IClock {
public:
    virtual ~IClock() = default;
    virtual std::time_t nowUtc() = 0;
};

// The waits of Start, Stop and the recoveries.
class IEventLoop {
public:
    virtual ~IEventLoop() = default;
    // Waits ms milliseconds while the window's events (timer ticks, link
    // events, clicks) run nested inside the caller.
    virtual void sleepAndPump(int ms) = 0;
    // Waits ms milliseconds without running any event; what fell due runs
    // at the next dispatch.
    virtual void sleep(int ms) = 0;
};

}  // namespace qs
