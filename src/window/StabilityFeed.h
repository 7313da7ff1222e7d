#pragma once
#include <functional>
#include <string>

#include "platform/Runtime.h"
#include "stability/DataAnalysis.h"
#include "window/RefreshThrottle.h"

namespace qs {

class TGPIBTelnet;

// Tells a face of the program the stability figures of the window's live
// sums (TGPIBTelnet::Stability) at most once per period: after samples (it
// listens to sampleSubscribers) and after a load, an Empty or a new mean's
// window. Each time it also shows the latest standard deviation in
// StdDevBox. Nothing is worked out per sample: a sample only asks for the
// next refresh.
class StabilityFeed {
public:
    using Listener = std::function<void(const DataAnalysis&)>;

    // firstDelayMs: how long a first change after a quiet spell waits (see
    // RefreshThrottle). The logger outlives this.
    StabilityFeed(TGPIBTelnet& logger, IScheduler& scheduler, int periodMs, int firstDelayMs);
    ~StabilityFeed();
    StabilityFeed(const StabilityFeed&) = delete;
    StabilityFeed& operator=(const StabilityFeed&) = delete;

    // ---- getters
    const RefreshThrottle& throttle() const { return throttle_; }
    // The figures now, worked out afresh (O(octaves)); withRows: the
    // stability table too.
    DataAnalysis analysis(bool withRows = true) const;

    // ---- setters
    // wanted: whether the listener wants the figures now (a window that is
    // not shown does not); without it, always. Only then is the stability
    // table worked out, which after a load of millions of readings costs
    // its one pass.
    void setListener(Listener listener, std::function<bool()> wanted = {}) {
        listener_ = std::move(listener);
        wanted_ = std::move(wanted);
    }
    // Asks for a refresh, as a change does.
    void request() { throttle_.request(); }
    // Refreshes now when one is due (at the end of the run).
    void flush() { throttle_.flush(); }

private:
    void refresh();

    TGPIBTelnet& logger_;
    Listener listener_;
    std::function<bool()> wanted_;
    RefreshThrottle throttle_;
};

// StdDevBox's caption: channel 1's standard deviation in ppm of its mean,
// channel 2's after a " / " when it has readings too, "none" for a figure
// that does not exist.
std::string StdDevCaption(const DataAnalysis& analysis);

}  // namespace qs
