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
    // Address for the next Connect: the host box's text, which also names
    // the kind of link ("host", "host:port", "tcp://host:port", ...).
    virtual void setHost(const std::string& host) = 0;
    // How long the logger waits for a reply, for a kind of link that tells
    // its peer (a controller's own read time-out stays below it).
    virtual void setReplyTimeoutMs(int) {}
    // Starts opening the link unless one is already open or being opened.
    // OnConnected follows once it is up. A failure may raise an Exception.
    virtual void Connect() = 0;
    // Closes the link; OnDisconnected follows. May raise an Exception.
    virtual void Disconnect(bool notifyPeer) = 0;
    // Sends one character on the open link; raises an Exception when the link has failed.
    virtual void SendCh(char c) = 0;
    // Ends the command sent so far as the kind of link ends one: a CR for
    // the adapter. Raises like SendCh.
    virtual void SendLineEnd() { SendCh('\r'); }
};

}  // namespace qs
