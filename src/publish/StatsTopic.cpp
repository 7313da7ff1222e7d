#include "publish/StatsTopic.h"

#include <utility>

#include "core/JsonText.h"
#include "window/StabilityFeed.h"
#include "window/TGPIBTelnet.h"

namespace qs {

std::string StatsJson(const DataAnalysis& analysis, const std::string& run, const SampleTime& newest) {
    return JsonObject()
        .text("run", run)
        .text("time", FormatIsoUtc(newest))
        .text("file", analysis.file)
        .raw("channels", ChannelsJson(analysis.channels))
        .raw("tempco", RegressionJson(analysis.tempco))
        .done();
}

StatsTopic::StatsTopic(TGPIBTelnet& logger, const StabilityFeed& feed, IScheduler& scheduler,
                       SamplePublisher& publisher, std::string run, int periodMs)
    : feed_(feed),
      publisher_(publisher),
      run_(std::move(run)),
      // The first figures wait a period too: a handful of readings says
      // nothing of stability.
      throttle_(scheduler, periodMs, periodMs, [this] { publish(); }) {
    logger.sampleSubscribers.add([this](const SampleRecord& sample) {
        newest_ = sample.time;
        throttle_.request();
    });
}

StatsTopic::~StatsTopic() { throttle_.flush(); }

void StatsTopic::publish() { publisher_.statsReady(StatsJson(feed_.analysis(), run_, newest_)); }

}  // namespace qs
