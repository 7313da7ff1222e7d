#include "qt/link/QtStreamLink.h"

#include <QByteArray>
#include <QString>
#include <QTcpSocket>

#include <exception>
#include <string_view>
#include <utility>

#if defined(Q_OS_LINUX)
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

#include "link/LinkTarget.h"
#include "platform/Exception.h"

namespace qs {

namespace {

// A peer that vanished without a word (cable pulled, adapter powered off)
// is noticed after idle + interval * count seconds of silence, and unsent
// bytes are given up after the user time-out, instead of the system's
// defaults of hours and a quarter of an hour.
constexpr int kKeepIdleS = 10;
constexpr int kKeepIntervalS = 5;
constexpr int kKeepCount = 3;
constexpr unsigned kUserTimeoutMs = 20000;

}  // namespace

// The link is driven by the GUI thread's event loop: its events reach the
// window one at a time, between (or nested inside the pumps of) the
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
QtStreamLink::QtStreamLink(std::unique_ptr<LinkCodec> codec, ErrorReport errorReport, QObject* parent)
    : QObject(parent), errorReport_(std::move(errorReport)), codec_(std::move(codec)) {
    if (!codec_) throw Exception("A stream link needs a codec.");
    connectTimer_.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; an attempt gets its full time.
    connectTimer_.setTimerType(Qt::PreciseTimer);
    connect(&connectTimer_, &QTimer::timeout, this, &QtStreamLink::onConnectTimeout);
}

QtStreamLink::QtStreamLink(std::span<const LinkCodecKind> kinds, ErrorReport errorReport, QObject* parent)
    : QtStreamLink(MakeLinkCodec(kinds, LinkTarget{}, 0), std::move(errorReport), parent) {
    kinds_ = kinds;
}

QtStreamLink::~QtStreamLink() {
    connectTimer_.stop();
    dropSocket(false);
}

void QtStreamLink::Connect() {
    if (state_ != LinkState::Idle) return;
    const LinkTarget endpoint = ParseLinkTarget(host_);

    if (!kinds_.empty()) codec_ = MakeLinkCodec(kinds_, endpoint, replyTimeoutMs_);

    state_ = LinkState::Connecting;
    codec_->reset();
    socket_ = new QTcpSocket(this);
    connect(socket_, &QTcpSocket::connected, this, &QtStreamLink::onSocketConnected);
    connect(socket_, &QTcpSocket::readyRead, this, &QtStreamLink::onSocketReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, [this] { socketGone("Connection closed by the peer."); });
    connect(socket_, &QTcpSocket::errorOccurred, this, &QtStreamLink::onSocketError);
    connectTimer_.start(connectTimeoutMs_);
    // A host name is looked up in the background; the call returns at once.
    socket_->connectToHost(QString::fromStdString(endpoint.host), endpoint.port);
}

void QtStreamLink::Disconnect(bool notifyPeer) {
    connectTimer_.stop();
    if (state_ == LinkState::Idle) return;
    const bool wasUp = state_ == LinkState::Up;
    // What the socket holds unread is the link's too.
    if (wasUp) onSocketReadyRead();
    state_ = LinkState::Idle;
    // Notifying the peer lets the bytes still queued leave, then sends FIN;
    // otherwise the connection is reset at once.
    dropSocket(notifyPeer && wasUp);
    if (!wasUp) return;
    // What the link brought reaches the window before it hears that the
    // link is gone, and nothing of it follows that news.
    enqueue(EventKind::Disconnected);
    while (!queue_.empty()) {
        const Event event = std::move(queue_.front());
        queue_.pop_front();
        deliver(event);
    }
}

void QtStreamLink::SendCh(char c) { write(codec_->encode(std::string_view(&c, 1))); }

void QtStreamLink::SendLineEnd() { write(codec_->encodeEnd()); }

void QtStreamLink::write(const std::string& wire) {
    if (state_ != LinkState::Up || !socket_) throw Exception("Not connected.");
    if (socket_->write(wire.data(), static_cast<qint64>(wire.size())) != static_cast<qint64>(wire.size()))
        throw Exception("Socket error: " + socket_->errorString().toStdString());
}

void QtStreamLink::onSocketConnected() {
    if (state_ != LinkState::Connecting) return;
    connectTimer_.stop();
    state_ = LinkState::Up;
    lastError_.clear();
    tuneKeepAlive(*socket_);
    // The peer hears the opening before any command; a write error shows up
    // as the socket's error, which ends the link.
    const std::string opening = codec_->opening();
    if (!opening.empty()) socket_->write(opening.data(), static_cast<qint64>(opening.size()));
    enqueue(EventKind::Connected);
}

void QtStreamLink::onSocketReadyRead() {
    if (state_ != LinkState::Up || !socket_) return;
    const QByteArray bytes = socket_->readAll();
    if (bytes.isEmpty()) return;
    const LinkCodec::Received out = codec_->receive(std::string_view(bytes.constData(), bytes.size()));
    // A write error shows up as the socket's error, which ends the link.
    if (!out.toPeer.empty()) socket_->write(out.toPeer.data(), static_cast<qint64>(out.toPeer.size()));
    if (!out.data.empty()) enqueue(EventKind::Data, out.data);
}

void QtStreamLink::onSocketError(QAbstractSocket::SocketError error) {
    // Nothing is lost on a temporary error; the socket goes on.
    if (error == QAbstractSocket::TemporaryError) return;
    socketGone(socket_ ? socket_->errorString().toStdString() : std::string("Socket error."));
}

void QtStreamLink::onConnectTimeout() {
    if (state_ != LinkState::Connecting) return;
    lastError_ = "No connection within " + std::to_string(connectTimeoutMs_) + " ms.";
    state_ = LinkState::Idle;
    dropSocket(false);
}

void QtStreamLink::socketGone(const std::string& why) {
    if (state_ == LinkState::Connecting) {
        connectTimer_.stop();
        lastError_ = why;
        state_ = LinkState::Idle;
        dropSocket(false);
        return;
    }
    if (state_ != LinkState::Up) return;

    // Bytes that arrived just before the end still belong to this link and
    // reach the window before it hears that the link is gone.
    onSocketReadyRead();
    lastError_ = why;
    state_ = LinkState::Idle;
    dropSocket(false);
    enqueue(EventKind::Disconnected);
}

void QtStreamLink::dropSocket(bool graceful) {
    QTcpSocket* socket = std::exchange(socket_, nullptr);
    if (!socket) return;
    socket->disconnect(this);
    if (graceful && socket->state() == QAbstractSocket::ConnectedState) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        if (socket->state() != QAbstractSocket::UnconnectedState) {
            // A peer that does not take the last bytes is not waited for.
            QTimer::singleShot(kCloseGraceMs, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
            return;
        }
    } else {
        socket->abort();
    }
    socket->deleteLater();
}

void QtStreamLink::tuneKeepAlive(QTcpSocket& socket) {
    socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
#if defined(Q_OS_LINUX)
    const auto fd = static_cast<int>(socket.socketDescriptor());
    if (fd < 0) return;
    // Best effort: a kernel without these options keeps its own defaults.
    const int idle = kKeepIdleS;
    const int interval = kKeepIntervalS;
    const int count = kKeepCount;
    const unsigned userTimeout = kUserTimeoutMs;
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeout, sizeof userTimeout);
#endif
}

// Re-entry: the socket's own signals never call the window. They read and
// decode what arrived and queue it as events; the events are delivered from
// a queued call on this object, one at a time and in order. A handler may
// therefore run a nested loop or end the link (and so free the socket)
// without a socket callback being under it, and Qt never holds data back
// because a readyRead slot is still running. Chunks that arrive while an
// event is being delivered wait until it has returned, so no event runs
// inside another; the one exception is a handler's own Disconnect, which
// hands over the rest of its link's events before it returns.
void QtStreamLink::enqueue(EventKind kind, std::string data) {
    queue_.push_back({kind, std::move(data)});
    if (deliveryPosted_) return;
    deliveryPosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            deliveryPosted_ = false;
            deliverQueued();
        },
        Qt::QueuedConnection);
}

void QtStreamLink::deliverQueued() {
    while (!delivering_ && !queue_.empty()) {
        const Event event = std::move(queue_.front());
        queue_.pop_front();
        deliver(event);
    }
}

void QtStreamLink::deliver(const Event& event) {
    const bool outer = !std::exchange(delivering_, true);
    // An exception must not unwind through Qt's event dispatch; it goes to
    // the error report, like any exception escaping an event of the window.
    try {
        switch (event.kind) {
        case EventKind::Connected:
            if (handlers_.onConnected) handlers_.onConnected();
            break;
        case EventKind::Data:
            if (handlers_.onDataAvailable)
                handlers_.onDataAvailable(reinterpret_cast<const std::uint8_t*>(event.data.data()), event.data.size());
            break;
        case EventKind::Disconnected:
            if (handlers_.onDisconnected) handlers_.onDisconnected();
            break;
        }
    } catch (const std::exception& e) {
        if (errorReport_) errorReport_(e.what());
    } catch (...) {
        if (errorReport_) errorReport_("Unknown error in a Telnet event.");
    }
    if (outer) delivering_ = false;
}

}  // namespace qs
