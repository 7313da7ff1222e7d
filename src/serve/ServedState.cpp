#include "serve/ServedState.h"

#include <cmath>

#include "core/JsonText.h"
#include "window/LinkJson.h"
#include "window/SampleJson.h"
#include "window/StabilityFeed.h"

namespace qs {

namespace {

// EncodeDateTime's day number of 1970-01-01.
constexpr double kUnixEpochDays = 25569.0;

}  // namespace

std::optional<std::string> RejectedReplyReason(std::string_view note) {
    static constexpr std::string_view kPrefix = "Reply not taken as a sample: ";
    struct Reason {
        std::string_view says, label;
    };
    static constexpr Reason kReasons[] = {
        {"it was cut at", "cut"},
        {"its number lies outside", "out_of_range"},
    };
    if (!note.starts_with(kPrefix)) return std::nullopt;
    const std::string_view why = note.substr(kPrefix.size());
    for (const Reason& r : kReasons)
        if (why.starts_with(r.says)) return std::string(r.label);
    return "other";
}

// The time of day is a fraction of a day: rounded, the whole seconds it was.
double UnixSeconds(const SampleTime& time) {
    return std::round((EncodeDateTime(time) - kUnixEpochDays) * 86400.0);
}

ServedState::ServedState(TGPIBTelnet& logger, Identity identity, std::size_t heldSamples,
                         std::size_t historySamples)
    : logger_(logger),
      identity_(std::move(identity)),
      ring_(heldSamples),
      history_(historySamples),
      linkText_(logger.LinkStatus.caption()),
      dataFileText_(logger.DataFileStatus.caption()) {
    figures_.startSeconds = identity_.startSeconds;
    figures_.linkUp = logger.State.Connected != 0;
    linkWasUp_ = figures_.linkUp;
}

void ServedState::follow() {
    logger_.sampleSubscribers.add([this](const SampleRecord& sample) { sampleTaken(sample); });
    logger_.statusSubscribers.add([this](const StatusEvent& event) { statusChanged(event); });
}

void ServedState::sampleTaken(const SampleRecord& s) {
    std::string json = SampleJson(s, identity_.run);
    ring_.add(s.seq, json);
    latest_ = json;
    ++figures_.samples;
    if (!s.written) ++figures_.writeFailures;
    figures_.lastSampleSeconds = UnixSeconds(s.time);
    ChannelFigures* channel = nullptr;
    for (ChannelFigures& c : figures_.channels)
        if (c.channel == s.channel && c.command == s.command) channel = &c;
    if (channel == nullptr) channel = &figures_.channels.emplace_back();
    *channel = {s.channel, s.command, s.value, s.mean, s.filter};
    history_.add(s.channel, {*figures_.lastSampleSeconds, s.value, s.mean, s.filter}, s.seq);
    readouts_ = JsonObject()
                    .count("seq", static_cast<long long>(s.seq))
                    .num("minimum", s.minimum)
                    .num("maximum", s.maximum)
                    .num("difference", s.difference)
                    .done();
    tell("sample", json);
    tell("readouts", readouts_);
}

void ServedState::statusChanged(const StatusEvent& event) {
    if (event.kind == StatusEventKind::LinkStatus) {
        linkText_ = event.text;
        const bool up = logger_.State.Connected != 0;
        // A link that comes up again after it was up is a reconnect; the
        // first time up is none.
        if (up && !figures_.linkUp && linkWasUp_) ++figures_.reconnects;
        linkWasUp_ = linkWasUp_ || up;
        figures_.linkUp = up;
        tell("link", LinkJson(logger_, event));
        return;
    }
    dataFileText_ = event.text;
    statusTime_ = FormatIsoUtc(event.time);
    if (event.kind == StatusEventKind::DataFileNotWritable) dataFileOk_ = false;
    if (event.kind == StatusEventKind::DataFileRecordingAgain) dataFileOk_ = true;
    if (event.kind == StatusEventKind::DataFileNote)
        if (const std::optional<std::string> reason = RejectedReplyReason(event.text)) ++figures_.rejected[*reason];
    tell("status", dataFileJson());
}

// The standard deviation as StdDevBox shows it, worked out when asked
// (O(octaves)), never per sample: the page asks with the status now and then.
std::string ServedState::readoutsWithStability() const {
    if (readouts_.empty()) return "null";
    const std::string stdDev = StdDevCaption(logger_.Stability.analysis(false));
    return readouts_.substr(0, readouts_.size() - 1) + ",\"std_dev_ppm\":" + JsonString(stdDev) + "}";
}

void ServedState::tell(std::string_view name, const std::string& json) const {
    if (listener_) listener_(name, json);
}

std::string ServedState::dataFileObject() const {
    return JsonObject()
        .text("name", logger_.TextFileBox.text())
        .flag("ok", dataFileOk_)
        .text("text", dataFileText_)
        .done();
}

std::string ServedState::dataFileJson() const {
    JsonObject object;
    if (!statusTime_.empty()) object.text("time", statusTime_);
    return object.raw("data_file", dataFileObject()).done();
}

std::string ServedState::statusJson() const {
    return JsonObject()
        .text("caption", logger_.Form.caption())
        .text("version", identity_.version)
        .text("run", identity_.run)
        .raw("link", JsonObject().flag("up", figures_.linkUp).text("text", linkText_).done())
        .raw("data_file", dataFileObject())
        .raw("settings", PollSettingsJson(logger_))
        .count("count", static_cast<long long>(figures_.samples))
        .raw("latest", latest_.empty() ? "null" : latest_)
        .raw("readouts", readoutsWithStability())
        .done();
}

}  // namespace qs
