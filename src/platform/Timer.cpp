#include "platform/Timer.h"

#include <utility>

namespace qs {

Timer::Timer(IScheduler& scheduler, int intervalMs, bool enabled, std::function<void()> onTimer)
    : OnTimer(std::move(onTimer)), scheduler_(scheduler), interval_(intervalMs), enabled_(enabled) {
    if (enabled_) arm();
}

Timer::~Timer() { disarm(); }

void Timer::setInterval(int ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (enabled_) {
        disarm();
        arm();
    }
}

void Timer::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled_) arm();
    else disarm();
}

void Timer::arm() {
    if (interval_ <= 0) return;
    dueMs_ = scheduler_.steadyMs() + interval_;
    armed_ = true;
    pending_ = scheduler_.schedule(interval_, [this] { fire(); });
}

void Timer::armNext() {
    if (interval_ <= 0) return;
    // The next period ends one interval after the one that just ended, not
    // one interval after now; if that moment has passed too (a long
    // handler, a busy machine), the missed periods are skipped.
    const std::int64_t now = scheduler_.steadyMs();
    dueMs_ += interval_;
    if (dueMs_ <= now) dueMs_ += ((now - dueMs_) / interval_ + 1) * interval_;
    armed_ = true;
    pending_ = scheduler_.schedule(static_cast<int>(dueMs_ - now), [this] { fire(); });
}

void Timer::disarm() {
    if (armed_) scheduler_.cancel(pending_);
    armed_ = false;
}

void Timer::fire() {
    armed_ = false;
    // The next period is scheduled before the handler runs, so a handler that
    // disables the timer or changes its interval has the last word, and a
    // handler that waits (pumping nested ticks) does not stop the timer.
    armNext();
    if (OnTimer) OnTimer();
}

}  // namespace qs
