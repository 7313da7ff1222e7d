#pragma once
#include <functional>

#include "platform/Runtime.h"

namespace qs {

// Runs an action at most once per period on the event loop, however often
// it is asked for: a request in a quiet spell runs it after firstDelayMs
// (0: at the next dispatch, never inside the caller), one during the
// period after a run waits for the period's end, and any number of those
// run it once.
class RefreshThrottle {
public:
    RefreshThrottle(IScheduler& scheduler, int periodMs, int firstDelayMs, std::function<void()> action);
    ~RefreshThrottle();
    RefreshThrottle(const RefreshThrottle&) = delete;
    RefreshThrottle& operator=(const RefreshThrottle&) = delete;

    // ---- getters
    int periodMs() const { return periodMs_; }
    long long runs() const { return runs_; }
    // Whether a request waits to be run.
    bool due() const { return due_; }

    // ---- setters
    void request();
    // Runs the action now when a request waits (at the end of a run of the
    // program), and starts a new period.
    void flush();

private:
    void run();
    void periodEnded();
    void arm(int delayMs, void (RefreshThrottle::*then)());

    IScheduler& scheduler_;
    int periodMs_, firstDelayMs_;
    std::function<void()> action_;
    TimerId pending_ = 0;
    bool armed_ = false;    // a run or a period's end is scheduled
    bool due_ = false;
    long long runs_ = 0;
};

}  // namespace qs
