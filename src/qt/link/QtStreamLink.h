#pragma once
#include <QAbstractSocket>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "link/LinkCodec.h"
#include "link/LinkCodecTable.h"
#include "platform/Telnet.h"

class QTcpSocket;

namespace qs {

// A link over a QTcpSocket on the GUI thread, speaking its codec's protocol:
// its events reach the window one at a time and in order.
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

    // codec: what every link speaks, whatever the host text names; never
    // null. A fresh link resets it.
    QtStreamLink(std::unique_ptr<LinkCodec> codec, ErrorReport errorReport, QObject* parent = nullptr);
    // kinds: each Connect makes a fresh codec of the kind its host text
    // names; the table outlives the link.
    QtStreamLink(std::span<const LinkCodecKind> kinds, ErrorReport errorReport, QObject* parent = nullptr);
    ~QtStreamLink() override;

    // ---- ITelnet
    void setEvents(TelnetEvents events) override { handlers_ = std::move(events); }
    void setHost(const std::string& host) override { host_ = host; }
    void setReplyTimeoutMs(int ms) override { replyTimeoutMs_ = ms; }
    // Returns at once; raises an Exception only for a host text that cannot
    // be an address. An attempt or a link already under way is left alone.
    // Once connected, the codec's opening goes out before any other byte.
    void Connect() override;
    // Ends the link: what it has received and not yet delivered is
    // delivered first, then OnDisconnected, both before this returns. While
    // connecting, the attempt is abandoned without any event.
    void Disconnect(bool notifyPeer) override;
    // Queues the byte for the event loop to write; raises an Exception when
    // the link is not up.
    void SendCh(char c) override;
    void SendLineEnd() override;

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

    void write(const std::string& wire);
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

    // members
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
    // Empty: codec_ serves every link.
    std::span<const LinkCodecKind> kinds_;
    int replyTimeoutMs_ = 0;
    std::string lastError_;
};

}  // namespace qs
