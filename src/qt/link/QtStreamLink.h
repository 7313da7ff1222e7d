#pragma once
#include <QAbstractSocket>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "link/LinkCodec.h"
#include "platform/Telnet.h"

class QTcpSocket;

namespace qs {

// A link to the adapter over a non-blocking QTcpSocket driven by the GUI
// thread's event loop, speaking the protocol of its codec: its events reach
// the window one at a time, between (or nested inside the pumps of) the
// window's other handlers, and the data chunks in the order they arrived.
// The link owns the socket's whole life; the codec only turns bytes in and
// out, so a new kind of link needs a codec and none of this.
//
// Event rules, per link (one successful connection):
//   - OnConnected once when the connection is up; OnDisconnected once when
//     it ends, whoever ends it: the peer, the network, or Disconnect (which
//     raises it itself before returning). Nothing follows OnDisconnected.
//   - An attempt that never came up (refused, host not found, time-out, or
//     Disconnect while still connecting) raises no event at all: for the
//     window it is one more attempt after which the link is still down.
//   - OnDataAvailable carries the data bytes after the codec's decoding;
//     bytes that were only the protocol's own (Telnet negotiation) raise no
//     event. What the codec answers goes back on the wire at once.
//
// Re-entry: the socket's own signals never call the window. They read and
// decode what arrived and queue it as events; the events are delivered from
// a queued call on this object, one at a time and in order. A handler may
// therefore run a nested loop or end the link (and so free the socket)
// without a socket callback being under it, and Qt never holds data back
// because a readyRead slot is still running. Chunks that arrive while an
// event is being delivered wait until it has returned, so no event runs
// inside another; the one exception is a handler's own Disconnect, which
// hands over the rest of its link's events before it returns.
class QtStreamLink : public QObject, public ITelnet {
    Q_OBJECT

public:
    // Shows the message of an exception that escaped one of the events.
    using ErrorReport = std::function<void(const std::string& message)>;

    // Long enough for a name lookup and a LAN connect; short enough that a
    // hanging attempt is dropped and retried within Start's 30 attempts.
    static constexpr int kConnectTimeoutMs = 5000;
    // How long a closing link may take to hand over its last bytes.
    static constexpr int kCloseGraceMs = 2000;

    // codec: what the link speaks; never null. A fresh link resets it.
    QtStreamLink(std::unique_ptr<LinkCodec> codec, ErrorReport errorReport, QObject* parent = nullptr);
    ~QtStreamLink() override;

    // ---- ITelnet
    void setEvents(TelnetEvents events) override { handlers_ = std::move(events); }
    void setHost(const std::string& host) override { host_ = host; }
    // Returns at once; raises an Exception only for a host text that cannot
    // be an address. An attempt or a link already under way is left alone.
    void Connect() override;
    // Ends the link: what it has received and not yet delivered is
    // delivered first, then OnDisconnected, both before this returns. While
    // connecting, the attempt is abandoned without any event.
    void Disconnect(bool notifyPeer) override;
    // Queues the byte for the event loop to write; raises an Exception when
    // the link is not up.
    void SendCh(char c) override;

    // ---- state, for diagnostics and tests
    bool isUp() const { return state_ == LinkState::Up; }
    bool isConnecting() const { return state_ == LinkState::Connecting; }
    // Events received and not yet delivered.
    std::size_t undelivered() const { return queue_.size(); }
    // Why the last attempt failed or the last link ended; empty if it never did.
    const std::string& lastError() const { return lastError_; }
    void setConnectTimeoutMs(int ms) { connectTimeoutMs_ = ms; }

private:
    enum class LinkState { Idle, Connecting, Up };

    void onSocketConnected();
    void onSocketReadyRead();
    void onSocketError(QAbstractSocket::SocketError error);
    void onConnectTimeout();
    // The socket closed or failed: a failed attempt, or the end of the link.
    void socketGone(const std::string& why);
    // Takes the socket away without any further event from it.
    void dropSocket(bool graceful);
    static void tuneKeepAlive(QTcpSocket& socket);

    enum class EventKind { Connected, Data, Disconnected };
    struct Event {
        EventKind kind;
        std::string data;
    };
    void enqueue(EventKind kind, std::string data = {});
    // Delivers the queued events in order; does nothing while an event is
    // being delivered (that delivery goes on with the queue when it returns).
    void deliverQueued();
    void deliver(const Event& event);

    ErrorReport errorReport_;
    TelnetEvents handlers_;
    std::deque<Event> queue_;
    bool delivering_ = false;
    bool deliveryPosted_ = false;
    std::string host_;
    LinkState state_ = LinkState::Idle;
    QTcpSocket* socket_ = nullptr;
    QTimer connectTimer_;
    int connectTimeoutMs_ = kConnectTimeoutMs;
    std::unique_ptr<LinkCodec> codec_;
    std::string lastError_;
};

}  // namespace qs
