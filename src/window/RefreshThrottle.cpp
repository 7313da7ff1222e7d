#include "window/RefreshThrottle.h"

#include <utility>

namespace qs {

RefreshThrottle::RefreshThrottle(IScheduler& scheduler, int periodMs, int firstDelayMs, std::function<void()> action)
    : scheduler_(scheduler), periodMs_(periodMs), firstDelayMs_(firstDelayMs), action_(std::move(action)) {}

RefreshThrottle::~RefreshThrottle() {
    if (armed_) scheduler_.cancel(pending_);
}

void RefreshThrottle::request() {
    due_ = true;
    // A run or the end of the period is on its way and takes this along.
    if (armed_) return;
    arm(firstDelayMs_, &RefreshThrottle::run);
}

void RefreshThrottle::flush() {
    if (!due_) return;
    if (armed_) scheduler_.cancel(pending_);
    armed_ = false;
    run();
}

void RefreshThrottle::arm(int delayMs, void (RefreshThrottle::*then)()) {
    armed_ = true;
    pending_ = scheduler_.schedule(delayMs, [this, then] {
        armed_ = false;
        (this->*then)();
    });
}

void RefreshThrottle::run() {
    due_ = false;
    ++runs_;
    // The period starts before the action, so that an action that throws
    // (its error goes to the platform's report) still ends its period.
    arm(periodMs_, &RefreshThrottle::periodEnded);
    if (action_) action_();
}

void RefreshThrottle::periodEnded() {
    if (due_) run();
}

}  // namespace qs
