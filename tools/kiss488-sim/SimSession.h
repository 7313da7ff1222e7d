#pragma once
#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "InstrumentModel.h"
#include "RandomFaults.h"
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

    // Takes ownership of the connected, non-blocking socket fd. faultyLink:
    // the link faults apply to this link; repliesSent counts the replies of
    // all links, this one adds to it. randomFaults: the faults of --chaos,
    // nullptr when it is off.
    SimSession(int fd, const SimConfig& config, InstrumentModel& model, bool faultyLink, int& repliesSent,
               RandomFaults* randomFaults = nullptr);
    ~SimSession();
    SimSession(const SimSession&) = delete;
    SimSession& operator=(const SimSession&) = delete;

    int fd() const { return fd_; }
    bool wantsWrite() const { return sent_ < out_.size(); }
    // The link is over: the client left, or a fault closed it.
    bool finished() const { return finished_ || (closing_ && !wantsWrite()); }
    std::optional<Clock::time_point> nextDue() const;

    // The system's monotonic clock in milliseconds, as --log-sent prints it:
    // other processes on the machine read the same clock.
    static long long monotonicMs();

    void onReadable();
    void onWritable();
    void runDue(Clock::time_point now);

private:
    struct Pending {
        Clock::time_point due;
        std::string wire;
        bool close = false;
        std::string sentNote;  // printed by --log-sent once this piece is out
    };

    static void onEvent(telnet_t* telnet, telnet_event_t* event, void* self);
    void handle(const telnet_event_t& event);
    void onData(const char* bytes, std::size_t size);
    // The lines of a raw socket and of a controller: each ends at LF or CR.
    void onLineBytes(const char* bytes, std::size_t size);
    void onControllerLine(const std::string& line, bool controllerCommand);
    void onCommand(const std::string& command);
    // What ends a line the simulator sends: CR LF from the adapter, LF from
    // the instrument's socket and the controller.
    std::string lineEnd() const;
    void sendBurst();
    // Queues data for the client no earlier than at, after what is queued,
    // cut into pieces of pieceBytes (0: one piece); kind names it for
    // --log-sent. Returns when the last piece goes.
    Clock::time_point queueData(const std::string& data, Clock::time_point at, const char* kind,
                                std::size_t pieceBytes);
    // Whether the faults of single replies apply to the next reply.
    bool nextReplyFaulty() const;
    void queueClose(Clock::time_point at);
    std::string encode(std::string_view data);
    void record(const char* bytes, std::size_t size) const;

    int fd_;
    const SimConfig& config_;
    InstrumentModel& model_;
    RandomFaults* randomFaults_;
    // Commands still to go unanswered after a Silent fault.
    int silentLeft_ = 0;
    const bool faultyLink_;
    int& repliesSent_;
    telnet_t* telnet_ = nullptr;
    // Where libtelnet's output goes: the socket's queue, or an encoding buffer.
    std::string* sink_ = nullptr;
    std::string out_;
    std::size_t sent_ = 0;
    std::deque<Pending> pending_;
    Clock::time_point nextFree_;
    std::string line_;
    bool afterCr_ = false;
    // The controller: an ESC was the last byte, so the next is data; the
    // line's first two bytes came escaped (it is no "++" command then).
    bool afterEsc_ = false;
    bool escapedStart_ = false;
    // The controller: how many of its set-up lines came in order, and what
    // it was told.
    std::size_t setUpLines_ = 0;
    bool autoRead_ = false;
    int address_ = -1;
    int replies_ = 0;
    bool closing_ = false;
    bool finished_ = false;
};

}  // namespace qs::sim
