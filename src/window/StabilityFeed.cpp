#include "window/StabilityFeed.h"

#include <charconv>
#include <optional>

#include "window/TGPIBTelnet.h"

namespace qs {

namespace {

// A ppm figure as a person reads it beside the other captions.
constexpr int kPpmDigits = 4;

std::string ppm(const std::optional<double>& v) {
    if (!v) return "none";
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, *v, std::chars_format::general, kPpmDigits);
    return std::string(buf, r.ptr);
}

}  // namespace

StabilityFeed::StabilityFeed(TGPIBTelnet& logger, IScheduler& scheduler, int periodMs, int firstDelayMs)
    : logger_(logger), throttle_(scheduler, periodMs, firstDelayMs, [this] { refresh(); }) {
    logger_.sampleSubscribers.add([this](const SampleRecord&) { throttle_.request(); });
    logger_.Stability.onRebuilt = [this] { throttle_.request(); };
}

StabilityFeed::~StabilityFeed() { logger_.Stability.onRebuilt = nullptr; }

DataAnalysis StabilityFeed::analysis(bool withRows) const {
    DataAnalysis a = logger_.Stability.analysis(withRows);
    a.file = logger_.TextFileBox.text();
    return a;
}

void StabilityFeed::refresh() {
    const bool told = listener_ && (!wanted_ || wanted_());
    const DataAnalysis a = analysis(told);
    logger_.StdDevBox.setCaption(StdDevCaption(a));
    if (told) listener_(a);
}

std::string StdDevCaption(const DataAnalysis& analysis) {
    std::string caption;
    for (const ChannelAnalysis& c : analysis.channels) {
        if (!caption.empty()) caption += " / ";
        caption += ppm(c.figures.stddevPpm);
    }
    return caption.empty() ? "none" : caption;
}

}  // namespace qs
