#pragma once
#include <functional>

#include "platform/Runtime.h"

namespace qs {

// A periodic timer on the window's event loop, with the semantics the
// handlers rely on: setting Interval or Enabled to the value it already holds
// leaves the running period alone; a new value restarts the period. An
// interval of 0 never fires.
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
    void arm();
    void disarm();
    void fire();

    // members
    IScheduler& scheduler_;
    int interval_;
    bool enabled_;
    TimerId pending_ = 0;
    bool armed_ = false;
};

}  // namespace qs
