#pragma once
#include <mosquitto.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QProcess>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "LoopbackPort.h"

namespace qs::test {

// Debian's mosquitto on a free loopback port, with a password file and an
// ACL in a folder of its own: user "logger" (password "secret") may write
// lab/#, user "reader" (password "look") may read it. Stopped with the
// object; stop() and start() again keep the port, as a broker restarted
// without persistence, or with it (persistent: the sessions and their
// queued messages survive, as on a lab's broker).
class MosquittoBroker {
public:
    enum class Kind { Plain, Persistent, Tls };

    explicit MosquittoBroker(std::filesystem::path folder, bool persistent = false)
        : MosquittoBroker(std::move(folder), persistent ? Kind::Persistent : Kind::Plain) {}

    // Tls: a CA of its own (caFile()) signs the broker's certificate for 127.0.0.1.
    MosquittoBroker(std::filesystem::path folder, Kind kind) : folder_(std::move(folder)), port_(FreeLoopbackPort()) {
        const bool persistent = kind == Kind::Persistent;
        std::filesystem::create_directories(folder_);
        std::string tls;
        if (kind == Kind::Tls) {
            const std::string f = folder_.string();
            const auto openssl = [](const QString& line) {
                QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), line + QStringLiteral(" 2>/dev/null")});
            };
            const QString d = QString::fromStdString(f);
            openssl(QStringLiteral("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=lab-ca -keyout %1/ca.key "
                                   "-out %1/ca.pem").arg(d));
            openssl(QStringLiteral("openssl req -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -keyout %1/broker.key -out "
                                   "%1/broker.csr").arg(d));
            openssl(QStringLiteral("printf 'subjectAltName=IP:127.0.0.1' > %1/san && openssl x509 -req -in %1/broker.csr "
                                   "-CA %1/ca.pem -CAkey %1/ca.key -CAcreateserial -days 2 -extfile %1/san -out "
                                   "%1/broker.pem").arg(d));
            tls = "cafile " + f + "/ca.pem\ncertfile " + f + "/broker.pem\nkeyfile " + f + "/broker.key\n";
        }
        const std::string passwords = (folder_ / "passwords").string();
        std::ofstream(passwords) << "";
        for (const auto& [user, password] : {std::pair{"logger", "secret"}, std::pair{"reader", "look"}})
            QProcess::execute(QStringLiteral("mosquitto_passwd"),
                              {QStringLiteral("-b"), QString::fromStdString(passwords), user, password});
        std::ofstream(folder_ / "acl") << "user logger\ntopic write lab/#\ntopic read lab/#\n"
                                       << "user reader\ntopic read lab/#\n";
        std::ofstream(folder_ / "mosquitto.conf")
            << "listener " << port_ << " 127.0.0.1\n"
            << tls
            << "allow_anonymous false\n"
            << "password_file " << passwords << "\n"
            << "acl_file " << (folder_ / "acl").string() << "\n"
            << (persistent ? "persistence true\npersistence_location " + folder_.string() +
                                 "/\nmax_queued_messages 0\nmax_inflight_messages 0\n"
                           : std::string("persistence false\n"))
            << "user root\n"
            << "log_dest file " << (folder_ / "mosquitto.log").string() << "\n";
        start();
    }
    ~MosquittoBroker() { stop(); }
    MosquittoBroker(const MosquittoBroker&) = delete;
    MosquittoBroker& operator=(const MosquittoBroker&) = delete;

    // Whether a broker could be started at all here (the package may be missing).
    bool started() const { return started_; }
    // Kind::Tls: the certificate of the CA that signed the broker's.
    std::string caFile() const { return (folder_ / "ca.pem").string(); }
    int port() const { return port_; }

    void start() {
        process_.setProgram(QStringLiteral("mosquitto"));
        process_.setArguments({QStringLiteral("-c"), QString::fromStdString((folder_ / "mosquitto.conf").string())});
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
        started_ = process_.waitForStarted(5000);
        // Listening once a connect succeeds.
        for (int i = 0; started_ && i < 100 && !accepts(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    void stop() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(1000);
    }

private:
    bool accepts() const {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<std::uint16_t>(port_));
        const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::close(fd);
        return ok;
    }

    std::filesystem::path folder_;
    int port_;
    QProcess process_;
    bool started_ = false;
};

// A subscriber to a topic filter on its own libmosquitto thread; what it
// received is read with messages().
class MqttSubscriber {
public:
    struct Message {
        std::string topic, payload;
        bool retain;
        std::int64_t receivedMs;  // the steady clock's, as the simulator's --log-sent
    };

    // id: a session the broker keeps while the subscriber is away (and
    // through a restart of a persistent broker); none: a clean one.
    MqttSubscriber(int port, const std::string& filter, const char* user = "reader", const char* password = "look",
                   const char* id = nullptr)
        : filter_(filter) {
        mosquitto_lib_init();
        mosq_ = mosquitto_new(id, id == nullptr, this);
        mosquitto_username_pw_set(mosq_, user, password);
        mosquitto_connect_callback_set(mosq_, [](mosquitto* m, void* self, int rc) {
            if (rc == 0) mosquitto_subscribe(m, nullptr, static_cast<MqttSubscriber*>(self)->filter_.c_str(), 1);
        });
        // The broker sends what is published to the filter only from its
        // acknowledgement of the subscription on: a test publishes after it.
        mosquitto_subscribe_callback_set(mosq_, [](mosquitto*, void* self, int, int, const int*) {
            static_cast<MqttSubscriber*>(self)->subscribed_ = true;
        });
        mosquitto_message_callback_set(mosq_, [](mosquitto*, void* self, const mosquitto_message* m) {
            auto* s = static_cast<MqttSubscriber*>(self);
            const std::lock_guard lock(s->mutex_);
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            s->messages_.push_back(
                {m->topic, std::string(static_cast<const char*>(m->payload), static_cast<std::size_t>(m->payloadlen)),
                 m->retain, std::chrono::duration_cast<std::chrono::milliseconds>(now).count()});
        });
        mosquitto_reconnect_delay_set(mosq_, 1, 1, false);
        mosquitto_connect(mosq_, "127.0.0.1", port, 30);
        mosquitto_loop_start(mosq_);
    }
    ~MqttSubscriber() {
        mosquitto_disconnect(mosq_);
        mosquitto_loop_stop(mosq_, false);
        mosquitto_destroy(mosq_);
    }
    MqttSubscriber(const MqttSubscriber&) = delete;
    MqttSubscriber& operator=(const MqttSubscriber&) = delete;

    std::vector<Message> messages() const {
        const std::lock_guard lock(mutex_);
        return messages_;
    }
    // Whether the broker has acknowledged the subscription (at least once).
    bool subscribed() const { return subscribed_; }

private:
    std::string filter_;
    std::atomic<bool> subscribed_{false};
    mosquitto* mosq_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
};

}  // namespace qs::test
