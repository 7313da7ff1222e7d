#include "publish/SamplePublisher.h"

#include <utility>

#include "window/SampleJson.h"

namespace qs {

PublisherTopics PublisherTopics::Under(const std::string& prefix, const std::string& name) {
    const std::string base = prefix + "/" + name + "/";
    return {base + "status", base + "link", base + "sample", base + "stats"};
}

SamplePublisher::SamplePublisher(IBrokerLink& broker, SampleSpool& spool, PublisherTopics topics, std::string run,
                                 std::string host)
    : broker_(broker), spool_(spool), topics_(std::move(topics)), run_(std::move(run)), host_(std::move(host)) {
    lastStatus_ = statusText();
    lastState_ = "unreachable";
}

void SamplePublisher::sampleTaken(const SampleRecord& sample) {
    const std::uint64_t dropped = spool_.dropped();
    spool_.append(SampleJson(sample, run_));
    send();
    // Connected, the line says nothing of the count: no need to write it.
    if (!connected_ || !rejection_.empty() || spool_.dropped() != dropped) tellStatus();
}

void SamplePublisher::linkChanged(std::string json) {
    link_ = std::move(json);
    if (connected_) broker_.publish(topics_.link, link_, true);
}

void SamplePublisher::statsReady(std::string json) {
    stats_ = std::move(json);
    if (connected_) broker_.publish(topics_.stats, stats_, true);
}

void SamplePublisher::connected() {
    connected_ = true;
    refusal_.clear();
    broker_.publish(topics_.status, kOnline, true);
    if (!link_.empty()) broker_.publish(topics_.link, link_, true);
    if (!stats_.empty()) broker_.publish(topics_.stats, stats_, true);
    // What was in flight when the last connection went may never have
    // arrived: it goes again, from the oldest not acknowledged.
    inFlight_.clear();
    spool_.rewind();
    send();
    tellStatus();
}

void SamplePublisher::refused(const std::string& reason) {
    connected_ = false;
    refusal_ = reason;
    tellStatus();
}

void SamplePublisher::lost() {
    connected_ = false;
    inFlight_.clear();
    spool_.flush();
    tellStatus();
}

void SamplePublisher::acknowledged(int id) {
    const auto it = inFlight_.find(id);
    if (it == inFlight_.end()) return;  // a status, link or stats message, or from before a reconnection
    spool_.acknowledge(it->second);
    inFlight_.erase(it);
    rejection_.clear();
    // The position is saved once the broker has caught up, and every so
    // often during a replay: a logger that is killed sends again only what
    // came after it.
    if (inFlight_.empty() || ++acknowledgedSinceSave_ >= kAcknowledgementsPerSave) {
        spool_.flush();
        acknowledgedSinceSave_ = 0;
    }
    send();
    tellStatus();
}

void SamplePublisher::rejected(int id, const std::string& reason) {
    const auto it = inFlight_.find(id);
    if (it == inFlight_.end()) return;
    inFlight_.erase(it);  // unacknowledged: it waits in the spool for the next connection
    rejection_ = reason;
    send();
    tellStatus();
}

void SamplePublisher::closing() {
    if (connected_) broker_.publish(topics_.status, kOffline, true);
    spool_.flush();
}

// At most kMaxInFlight unacknowledged at a time, so that a replay of a long
// outage neither holds the whole spool in memory nor floods the broker.
void SamplePublisher::send() {
    while (connected_ && inFlight_.size() < kMaxInFlight) {
        std::optional<SpoolEntry> entry = spool_.next();
        if (!entry) return;
        const std::optional<int> id = broker_.publish(topics_.sample, entry->text, false);
        if (!id) {
            // The connection went in the meantime: this one goes again.
            lost();
            return;
        }
        inFlight_[*id] = entry->id;
    }
}

std::string SamplePublisher::statusText() const {
    std::string text;
    if (connected_ && !rejection_.empty()) {
        text = "MQTT: connected to " + host_ + ", which refuses the samples (" + rejection_ + "), " +
               std::to_string(spool_.waiting()) + " samples waiting";
    } else if (connected_) {
        text = "MQTT: connected to " + host_;
    } else if (!refusal_.empty()) {
        text = "MQTT: " + refusal_ + ", " + std::to_string(spool_.waiting()) + " samples waiting";
    } else {
        text = "MQTT: broker unreachable, " + std::to_string(spool_.waiting()) + " samples waiting";
    }
    if (spool_.dropped() > 0) text += " (spool full: " + std::to_string(spool_.dropped()) + " samples dropped)";
    return text;
}

void SamplePublisher::tellStatus() {
    std::string text = statusText();
    if (text == lastStatus_) return;
    lastStatus_ = std::move(text);
    std::string state = connected_ ? (rejection_.empty() ? "connected" : "rejected") :
                        refusal_.empty() ? "unreachable" : refusal_;
    if (spool_.dropped() > 0) state += ", dropping";
    const bool newState = state != lastState_;
    lastState_ = std::move(state);
    if (onStatus) onStatus(lastStatus_, newState);
}

}  // namespace qs
