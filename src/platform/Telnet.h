#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace qs {

// What the window hears from its Telnet component. The back end raises the
// events on the window's event loop, one at a time, data chunks in arrival
// order; an Exception escaping an event goes to the default error report.
struct TelnetEvents {
    std::function<void()> onConnected;
    std::function<void()> onDisconnected;
    std::function<void(const std::uint8_t* data, std::size_t size)> onDataAvailable;
};

// The Telnet client component: terminal type "dumb", default port 23.
class ITelnet {
public:
    virtual ~ITelnet() = default;
    virtual void setEvents(TelnetEvents events) = 0;
    // Address for the next Connect: "host", "host:port" or "[IPv6]:port".
    virtual void setHost(const std::string& host) = 0;
    // Starts opening the link unless one is already open or being opened.
    // OnConnected follows once it is up. A failure may raise an Exception.
    virtual void Connect() = 0;
    // Closes the link; OnDisconnected follows. May raise an Exception.
    virtual void Disconnect(bool notifyPeer) = 0;
    // Sends one character on the open link; raises an Exception when the link has failed.
    virtual void SendCh(char c) = 0;
};

}  // namespace qs
