#pragma once
#include <cstdint>
#include <functional>

#include "platform/Runtime.h"

namespace qs {

// A periodic timer on the window's event loop, with the semantics the
// handlers rely on: setting Interval or Enabled to the value it already holds
// leaves the running period alone; a new value restarts the period. An
// interval of 0 never fires.
//
// A running timer keeps the phase it was started with: each period ends a
// whole number of intervals after the start, however late the previous tick
// was handled, and periods that passed while the event loop was busy are
// skipped (one late tick, never a burst).
class Timer {
public:
    Timer(IScheduler& scheduler, int intervalMs, bool enabled, std::function<void()> onTimer = {});
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // getters
    int interval() const { return interval_; }
    bool enabled() const { return enabled_; }

    // setters
    void setInterval(int ms);
    void setEnabled(bool enabled);

    // Runs at the end of every period while the timer is enabled.
    std::function<void()> OnTimer;

private:
    // A fresh period from now, or the next one in the running phase.
    void arm();
    void armNext();
    void disarm();
    void fire();

    // members
    IScheduler& scheduler_;
    int interval_;
    bool enabled_;
    TimerId pending_ = 0;
    bool armed_ = false;
    // When the pending period ends, on the scheduler's steady clock.
    std::int64_t dueMs_ = 0;
};

}  // namespace qs
