#pragma once
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "publish/MqttAddress.h"
#include "publish/SamplePublisher.h"

struct mosquitto;
struct mqtt5__property;

namespace qs {

// A connection to an MQTT broker through libmosquitto, the broker's own
// client library. The library's network loop, its connect (with the name
// lookup) and the waits between attempts run on a thread of their own, so
// that a broker that is down or slow never holds up the event loop; each of
// its events is handed to the event loop and told there, in order, through
// the callbacks below. publish() may be called from the event loop at any
// time (libmosquitto locks its queues).
//
// After a lost connection, a refused login or a TLS failure it tries again
// after 1 s, 2 s, 4 s, ... up to 30 s, so that a lab of loggers does not
// come back all at once, nor much later than its broker. The broker's last will is the
// retained "offline" on the status topic. It speaks MQTT 5, whose
// acknowledgement says whether the broker took a message: a broker that
// refuses a topic (its ACL) never drops a sample unnoticed.
class MosquittoLink : public QObject, public IBrokerLink {
public:
    struct Login {
        std::string password;  // with the address's user
        std::string caFile;    // mqtts: the certificates the broker's is checked against
    };
    struct Events {
        std::function<void()> connected;
        std::function<void(const std::string& reason)> refused;  // login, TLS, a name that does not resolve
        std::function<void()> lost;
        std::function<void(int id)> acknowledged;
        std::function<void(int id, const std::string& reason)> rejected;  // the broker did not take it (its ACL)
    };

    MosquittoLink(MqttAddress address, Login login, std::string clientId, std::string willTopic, Events events,
                  QObject* parent = nullptr);
    ~MosquittoLink() override;  // disconnects cleanly and ends the thread

    // Starts connecting. False with the reason when libmosquitto refuses
    // the settings (a CA file it cannot read, say).
    bool start(std::string& error);

    std::optional<int> publish(const std::string& topic, const std::string& payload, bool retain) override;

    // Sends what is queued (the last "offline") and disconnects, waiting up
    // to timeoutMs for the broker to have it.
    void finish(int timeoutMs);

    static constexpr int kFirstRetryMs = 1000;
    static constexpr int kLastRetryMs = 30000;
    static constexpr int kKeepAliveSeconds = 30;

private:
    void run();
    void post(std::function<void()> call);  // onto the event loop

    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onPublish(mosquitto*, void* self, int mid, int reason, const mqtt5__property*);

    MqttAddress address_;
    Login login_;
    std::string clientId_;
    std::string willTopic_;
    Events events_;
    mosquitto* mosq_ = nullptr;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<bool> running_{false};
    std::atomic<bool> up_{false};
};

}  // namespace qs
