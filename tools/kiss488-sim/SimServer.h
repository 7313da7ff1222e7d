#pragma once
#include <memory>
#include <optional>
#include <string>

#include "InstrumentModel.h"
#include "SimConfig.h"
#include "SimSession.h"

namespace qs::sim {

// The listening side: one client at a time, the next one accepted after the
// link ends. One thread, one poll() loop, stopped by SIGINT or SIGTERM.
class SimServer {
public:
    // Binds and listens; raises std::runtime_error when that fails. SIGINT
    // and SIGTERM must already be blocked in the calling thread.
    explicit SimServer(SimConfig config);
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // "ADDRESS:PORT" as bound, "[ADDRESS]:PORT" for IPv6.
    const std::string& endpoint() const { return endpoint_; }

    // Serves until a stop signal arrives.
    void run();

private:
    void acceptClient();
    int pollTimeoutMs() const;

    SimConfig config_;
    InstrumentModel model_;
    std::optional<RandomFaults> randomFaults_;
    int listenFd_ = -1;
    int signalFd_ = -1;
    std::string endpoint_;
    std::unique_ptr<SimSession> session_;
    // Clients taken so far, refused ones included, and replies sent over
    // all links: they decide when the faults end.
    int links_ = 0;
    int replies_ = 0;
};

}  // namespace qs::sim
