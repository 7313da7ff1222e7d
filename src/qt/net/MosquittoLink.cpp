#include "qt/net/MosquittoLink.h"

#include <mosquitto.h>

#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <utility>

namespace qs {
namespace {

// libmosquitto is set up once for the program and never taken down: other
// links may come and go.
void initLibrary() {
    static const int once = mosquitto_lib_init();
    (void)once;
}

std::string connectError(int rc) {
    if (rc == MOSQ_ERR_ERRNO) return "broker unreachable";
    if (rc == MOSQ_ERR_EAI) return "the broker's name does not resolve";
    if (rc == MOSQ_ERR_TLS) return "TLS failed (is the broker's certificate signed by the CA file?)";
    return mosquitto_strerror(rc);
}

}  // namespace

MosquittoLink::MosquittoLink(MqttAddress address, Login login, std::string clientId, std::string willTopic,
                             Events events, QObject* parent)
    : QObject(parent),
      address_(std::move(address)),
      login_(std::move(login)),
      clientId_(std::move(clientId)),
      willTopic_(std::move(willTopic)),
      events_(std::move(events)) {
    initLibrary();
}

MosquittoLink::~MosquittoLink() {
    finish(0);
    if (mosq_ != nullptr) mosquitto_destroy(mosq_);
}

bool MosquittoLink::start(std::string& error) {
    mosq_ = mosquitto_new(clientId_.c_str(), true, this);
    if (mosq_ == nullptr) {
        error = "MQTT: the client cannot be made";
        return false;
    }
    mosquitto_threaded_set(mosq_, true);
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    mosquitto_connect_callback_set(mosq_, &MosquittoLink::onConnect);
    mosquitto_disconnect_callback_set(mosq_, &MosquittoLink::onDisconnect);
    mosquitto_publish_v5_callback_set(mosq_, &MosquittoLink::onPublish);
    const char* offline = SamplePublisher::kOffline;
    int rc = mosquitto_will_set(mosq_, willTopic_.c_str(), static_cast<int>(std::char_traits<char>::length(offline)),
                                offline, 1, true);
    if (rc == MOSQ_ERR_SUCCESS && !address_.user.empty())
        rc = mosquitto_username_pw_set(mosq_, address_.user.c_str(),
                                       login_.password.empty() ? nullptr : login_.password.c_str());
    if (rc == MOSQ_ERR_SUCCESS && address_.tls)
        rc = mosquitto_tls_set(mosq_, login_.caFile.empty() ? nullptr : login_.caFile.c_str(),
                               login_.caFile.empty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
    if (rc != MOSQ_ERR_SUCCESS) {
        error = std::string("MQTT: ") + mosquitto_strerror(rc);
        return false;
    }
    running_ = true;
    thread_ = std::thread([this] { run(); });
    return true;
}

// The thread: connect, run the network loop while the connection lasts,
// wait, connect again; until finish(). Only the name lookup blocks here.
void MosquittoLink::run() {
    int retryMs = kFirstRetryMs;
    bool first = true;
    while (running_) {
        // Asynchronous: the TCP connect completes in the loop, so that
        // finish() is never kept waiting by a broker that does not answer.
        int rc = first ? mosquitto_connect_async(mosq_, address_.host.c_str(), address_.port, kKeepAliveSeconds)
                       : mosquitto_reconnect_async(mosq_);
        first = false;
        if (rc != MOSQ_ERR_SUCCESS) {
            const std::string reason = connectError(rc);
            post([this, reason] {
                if (events_.refused) events_.refused(reason);
            });
        } else {
            bool wasUp = false;
            while (running_ && (rc = mosquitto_loop(mosq_, 1000, 1)) == MOSQ_ERR_SUCCESS) {
                if (up_) {
                    retryMs = kFirstRetryMs;
                    wasUp = true;
                }
            }
            // A handshake that failed is no unreachable broker: say so.
            if (running_ && !wasUp && rc == MOSQ_ERR_TLS)
                post([this] {
                    if (events_.refused) events_.refused(connectError(MOSQ_ERR_TLS));
                });
        }
        if (!running_) break;
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, std::chrono::milliseconds(retryMs), [this] { return !running_; });
        retryMs = std::min(retryMs * 2, kLastRetryMs);
    }
}

void MosquittoLink::finish(int timeoutMs) {
    if (!thread_.joinable()) return;
    if (up_ && timeoutMs > 0) {
        // Give the last messages a moment to reach the broker.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (mosquitto_want_write(mosq_) && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    {
        std::lock_guard lock(mutex_);
        running_ = false;
    }
    wake_.notify_all();
    mosquitto_disconnect(mosq_);
    thread_.join();
}

std::optional<int> MosquittoLink::publish(const std::string& topic, const std::string& payload, bool retain) {
    if (mosq_ == nullptr || !up_) return std::nullopt;
    int mid = 0;
    const int rc = mosquitto_publish(mosq_, &mid, topic.c_str(), static_cast<int>(payload.size()), payload.data(), 1,
                                     retain);
    if (rc != MOSQ_ERR_SUCCESS) return std::nullopt;
    return mid;
}

// A queued call bound to this object: dropped, not run, if the link is gone
// by the time the event loop comes to it.
void MosquittoLink::post(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void MosquittoLink::onConnect(mosquitto*, void* self, int rc) {
    auto* link = static_cast<MosquittoLink*>(self);
    if (rc == 0) {
        link->up_ = true;
        link->post([link] {
            if (link->events_.connected) link->events_.connected();
        });
        return;
    }
    // MQTT 5 refusals are reason codes of 128 and more.
    const std::string reason = std::string("broker refused the connection: ") +
                               (rc >= 128 ? mosquitto_reason_string(rc) : mosquitto_connack_string(rc));
    link->post([link, reason] {
        if (link->events_.refused) link->events_.refused(reason);
    });
}

void MosquittoLink::onDisconnect(mosquitto*, void* self, int) {
    auto* link = static_cast<MosquittoLink*>(self);
    if (!link->up_.exchange(false)) return;
    link->post([link] {
        if (link->events_.lost) link->events_.lost();
    });
}

void MosquittoLink::onPublish(mosquitto*, void* self, int mid, int reason, const mosquitto_property*) {
    auto* link = static_cast<MosquittoLink*>(self);
    if (reason >= 128) {
        const std::string text = mosquitto_reason_string(reason);
        link->post([link, mid, text] {
            if (link->events_.rejected) link->events_.rejected(mid, text);
        });
        return;
    }
    link->post([link, mid] {
        if (link->events_.acknowledged) link->events_.acknowledged(mid);
    });
}

}  // namespace qs
