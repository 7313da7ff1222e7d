#pragma once
#include <string>

#include "publish/MqttAddress.h"
#include "publish/SamplePublisher.h"
#include "publish/SampleSpool.h"
#include "qt/net/MosquittoLink.h"

namespace qs {

// The samples published to a lab's broker: the spool in the working
// folder, the connection, and the publisher between them.
class BrokerPublishing {
public:
    struct Settings {
        MqttAddress address;
        std::string password;
        std::string caFile;
        std::string name;         // the logger's topic level
        std::string spoolFolder;  // "mqtt-spool" in the working folder
        std::string run;          // this start of the program
    };

    explicit BrokerPublishing(Settings settings);
    ~BrokerPublishing();
    BrokerPublishing(const BrokerPublishing&) = delete;
    BrokerPublishing& operator=(const BrokerPublishing&) = delete;

    // Opens the spool and starts connecting. False with the reason.
    bool start(std::string& error);

    // Publishes the "offline" status and disconnects, waiting a moment for
    // the broker to have it; for a clean end of the program.
    void finish();

    SamplePublisher& publisher() { return publisher_; }
    const std::string& run() const { return settings_.run; }

private:
    Settings settings_;
    SampleSpool spool_;
    MosquittoLink link_;
    SamplePublisher publisher_;
    bool finished_ = false;
};

}  // namespace qs
