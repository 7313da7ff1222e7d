#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Telnet.h"
#include "platform/virtual/VirtualTime.h"

namespace qs {

// A Telnet link and the adapter behind it, in virtual time. The knobs script
// how the link behaves; the events reach the window through the virtual
// event loop, like a real socket's would.
class VirtualTelnet : public ITelnet {
public:
    enum class ConnectMode { Accept, Refuse, Hang };

    explicit VirtualTelnet(VirtualTime& time) : time_(time) {}

    // ITelnet
    void setEvents(TelnetEvents events) override { events_ = std::move(events); }
    void setHost(const std::string& host) override { host_ = host; }
    void Connect() override;
    void Disconnect(bool notifyPeer) override;
    void SendCh(char c) override;

    // ---- how the link behaves
    ConnectMode connectMode = ConnectMode::Accept;
    int connectDelayMs = 20;
    // false: Disconnect closes nothing and no OnDisconnected ever comes.
    bool reportsDisconnect = true;
    int disconnectDelayMs = 20;
    // SendCh raises an Exception while this is set (a link that failed).
    bool sendFails = false;
    // 0 or more: after that many more characters, one SendCh raises (a link
    // that breaks in the middle of a command); -1: off.
    int failAfterChars = -1;

    // ---- the adapter behind it
    // Sent when the link comes up (empty: the adapter never greets).
    std::string greeting = "KISS-488 GPIB-LAN adapter ready\r\n";
    int greetingDelayMs = 50;
    // The reply to a command line (the bytes before its CR); nullopt: no reply.
    std::function<std::optional<std::string>(const std::string& command)> reply =
        [](const std::string&) -> std::optional<std::string> { return std::string("+1.23456789E+00\r\n"); };
    int replyDelayMs = 30;

    // ---- what a test does to the link
    // Delivers a chunk after delayMs, if the link is still the same one then.
    void deliver(const std::string& bytes, int delayMs = 0);
    // The peer or the network drops the link.
    void dropLink(int delayMs = 0);

    // ---- what a test inspects
    const std::string& host() const { return host_; }
    const std::string& sent() const { return sent_; }
    const std::vector<std::string>& commands() const { return commands_; }
    bool linkUp() const { return up_; }
    int connectCalls() const { return connectCalls_; }
    int disconnectCalls() const { return disconnectCalls_; }
    // Virtual times (ms) of every Connect and Disconnect call, in call order.
    const std::vector<std::int64_t>& connectTimes() const { return connectTimes_; }
    const std::vector<std::int64_t>& disconnectTimes() const { return disconnectTimes_; }

private:
    void linkDown();

    VirtualTime& time_;
    TelnetEvents events_;
    std::string host_;
    bool up_ = false;
    bool connecting_ = false;
    // Bumped whenever a link ends, so events scheduled for an old link are dropped.
    std::uint64_t generation_ = 0;
    std::string sent_;
    std::string line_;
    std::vector<std::string> commands_;
    int connectCalls_ = 0;
    int disconnectCalls_ = 0;
    std::vector<std::int64_t> connectTimes_;
    std::vector<std::int64_t> disconnectTimes_;
};

}  // namespace qs
