#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "publish/SampleSpool.h"
#include "window/SampleRecord.h"

namespace qs {

// What the publisher needs of a connection to a broker. Every message goes
// with QoS 1 (the broker acknowledges it).
class IBrokerLink {
public:
    virtual ~IBrokerLink() = default;
    // Queues a message: the id its acknowledgement will carry, or nullopt
    // when it could not even be queued (the connection is gone).
    virtual std::optional<int> publish(const std::string& topic, const std::string& payload, bool retain) = 0;
};

// The four topics of one logger: PREFIX/NAME/status, link, sample, stats.
struct PublisherTopics {
    std::string status, link, sample, stats;
    static PublisherTopics Under(const std::string& prefix, const std::string& name);
};

// Hands every sample to a broker, none lost: each goes to the spool first
// and leaves it only once the broker acknowledged it, in order, after any
// outage and after a restart of the logger (the spool keeps the records of
// an earlier run with their own run and seq). The retained status and link
// messages (status, link, stats) are published again on every connection, since a broker
// restarted without persistence has forgotten them.
//
// Runs on the event loop; the broker connection's events are handed to it
// there (connected, refused, lost, acknowledged).
class SamplePublisher {
public:
    SamplePublisher(IBrokerLink& broker, SampleSpool& spool, PublisherTopics topics, std::string run,
                    std::string host);

    // Told when statusText() changes; newState when it is more than a count
    // of waiting samples that changed (connected, unreachable, refused, a
    // full spool), for a console that must not print a line per sample.
    std::function<void(const std::string& text, bool newState)> onStatus;

    void sampleTaken(const SampleRecord& sample);
    void linkChanged(std::string json);  // retained, sent again on each connection
    void statsReady(std::string json);   // retained, sent again on each connection

    void connected();
    void refused(const std::string& reason);  // a login or TLS failure; the connection retries
    void lost();
    void acknowledged(int id);
    // The broker did not take a message (its ACL refuses the topic): a
    // sample stays in the spool, and the status line says why.
    void rejected(int id, const std::string& reason);

    // "MQTT: connected to HOST", "MQTT: broker unreachable, N samples
    // waiting", and what a full spool had to drop.
    std::string statusText() const;
    bool isConnected() const { return connected_; }

    // The payload of the retained status while the logger runs, and the one
    // it leaves (also the broker's last will).
    static constexpr const char* kOnline = "online";
    static constexpr const char* kOffline = "offline";

    // Publishes status offline, for a clean end of the program.
    void closing();

    static constexpr std::size_t kMaxInFlight = 100;
    static constexpr int kAcknowledgementsPerSave = 256;

private:
    void send();
    void tellStatus();

    IBrokerLink& broker_;
    SampleSpool& spool_;
    PublisherTopics topics_;
    std::string run_;
    std::string host_;
    std::string link_;  // the latest link message, for a new connection
    std::string stats_;  // and the latest stats message
    std::string refusal_;
    std::string rejection_;  // why the broker refuses the samples; empty once it takes one
    bool connected_ = false;
    std::map<int, std::uint64_t> inFlight_;  // broker's id -> spool id
    int acknowledgedSinceSave_ = 0;
    std::string lastStatus_;
    std::string lastState_;
};

}  // namespace qs
