#pragma once
#include <string>

#include "core/SampleTime.h"
#include "platform/Runtime.h"
#include "publish/SamplePublisher.h"
#include "stability/DataAnalysis.h"
#include "window/RefreshThrottle.h"

namespace qs {

class StabilityFeed;
class TGPIBTelnet;

// The retained stats message: the figures of each channel as --analyze
// writes them in JSON (channels, tempco), with the run, the data file and
// the time of the newest sample they cover.
std::string StatsJson(const DataAnalysis& analysis, const std::string& run, const SampleTime& newest);

// Publishes the statistics of the logger's live sums on the stats topic at
// most once a period while samples arrive (nothing while none do: the
// retained message stays right), and once more when it ends, so that the
// broker keeps the figures of the whole run. The logger, the feed and the
// publisher outlive this.
class StatsTopic {
public:
    static constexpr int kPeriodMs = 60000;

    StatsTopic(TGPIBTelnet& logger, const StabilityFeed& feed, IScheduler& scheduler, SamplePublisher& publisher,
               std::string run, int periodMs = kPeriodMs);
    // Publishes what waits.
    ~StatsTopic();
    StatsTopic(const StatsTopic&) = delete;
    StatsTopic& operator=(const StatsTopic&) = delete;

private:
    void publish();

    const StabilityFeed& feed_;
    SamplePublisher& publisher_;
    std::string run_;
    SampleTime newest_;
    RefreshThrottle throttle_;
};

}  // namespace qs
