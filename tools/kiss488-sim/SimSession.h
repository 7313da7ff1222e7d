#pragma once
#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "InstrumentModel.h"
#include "SimConfig.h"

struct telnet_t;
union telnet_event_t;

namespace qs::sim {

// One client's link: the Telnet server side on libtelnet, the command lines,
// the replies with their faults, and the socket's output. Single-threaded:
// the server calls it when poll() says so or when something falls due.
class SimSession {
public:
    using Clock = std::chrono::steady_clock;

    // Takes ownership of the connected, non-blocking socket fd.
    SimSession(int fd, const SimConfig& config, InstrumentModel& model);
    ~SimSession();
    SimSession(const SimSession&) = delete;
    SimSession& operator=(const SimSession&) = delete;

    int fd() const { return fd_; }
    bool wantsWrite() const { return sent_ < out_.size(); }
    // The link is over: the client left, or a fault closed it.
    bool finished() const { return finished_ || (closing_ && !wantsWrite()); }
    std::optional<Clock::time_point> nextDue() const;

    void onReadable();
    void onWritable();
    void runDue(Clock::time_point now);

private:
    struct Pending {
        Clock::time_point due;
        std::string wire;
        bool close = false;
    };

    static void onEvent(telnet_t* telnet, telnet_event_t* event, void* self);
    void handle(const telnet_event_t& event);
    void onData(const char* bytes, std::size_t size);
    void onCommand(const std::string& command);
    void sendBurst();
    // Queues data for the client no earlier than at, after what is queued,
    // cut into pieces when --chunk asks for it. Returns when the last piece goes.
    Clock::time_point queueData(const std::string& data, Clock::time_point at);
    void queueClose(Clock::time_point at);
    std::string encode(std::string_view data);
    void record(const char* bytes, std::size_t size) const;

    int fd_;
    const SimConfig& config_;
    InstrumentModel& model_;
    telnet_t* telnet_ = nullptr;
    // Where libtelnet's output goes: the socket's queue, or an encoding buffer.
    std::string* sink_ = nullptr;
    std::string out_;
    std::size_t sent_ = 0;
    std::deque<Pending> pending_;
    Clock::time_point nextFree_;
    std::string line_;
    bool afterCr_ = false;
    int replies_ = 0;
    bool closing_ = false;
    bool finished_ = false;
};

}  // namespace qs::sim
