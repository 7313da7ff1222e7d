#include "qt/net/HttpServer.h"

#include <microhttpd.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

namespace qs {

namespace {

using Clock = std::chrono::steady_clock;

// What the kernel holds of a connection's answer at most (it doubles it).
constexpr int kSendBufferBytes = 64 * 1024;

// The body of a refusal, and the header that says what to do instead.
struct Refusal {
    int status;
    const char* body;
    const char* header;
    const char* value;
};
constexpr Refusal kRefusals[] = {
    {MHD_HTTP_NOT_FOUND, "404 Not Found\n", nullptr, nullptr},
    {MHD_HTTP_METHOD_NOT_ALLOWED, "405 Method Not Allowed: this server is read-only\n", MHD_HTTP_HEADER_ALLOW,
     "GET, HEAD"},
    {MHD_HTTP_UNAUTHORIZED, "401 Unauthorized: a token is needed\n", MHD_HTTP_HEADER_WWW_AUTHENTICATE, "Bearer"},
    {MHD_HTTP_SERVICE_UNAVAILABLE, "503 Service Unavailable: too many clients\n", MHD_HTTP_HEADER_RETRY_AFTER, "5"},
    {MHD_HTTP_BAD_REQUEST, "400 Bad Request\n", nullptr, nullptr},
};

const Refusal& refusalOf(int status) {
    for (const Refusal& r : kRefusals)
        if (r.status == status) return r;
    return kRefusals[std::size(kRefusals) - 1];
}

// Queues a whole answer. The library is handed the body itself, to free
// once sent: an answer of every held sample is megabytes, and a copy of
// each for the clients served at once would hold the loop and the memory
// twice over.
MHD_Result queue(MHD_Connection* connection, int status, std::string body, std::string_view type,
                 const char* header = nullptr, const char* value = nullptr, bool close = false) {
    auto* owned = new std::string(std::move(body));
    MHD_Response* response = MHD_create_response_from_buffer_with_free_callback_cls(
        owned->size(), owned->data(), [](void* cls) { delete static_cast<std::string*>(cls); }, owned);
    if (response == nullptr) {
        delete owned;
        return MHD_NO;
    }
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, std::string(type).c_str());
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    if (header != nullptr) MHD_add_response_header(response, header, value);
    if (close) MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
    const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(status), response);
    MHD_destroy_response(response);
    return queued;
}

MHD_Result refuse(MHD_Connection* connection, int status) {
    const Refusal& r = refusalOf(status);
    return queue(connection, r.status, r.body, "text/plain; charset=utf-8", r.header, r.value,
                 status == MHD_HTTP_SERVICE_UNAVAILABLE);
}

std::optional<std::string_view> argument(MHD_Connection* connection, const char* key) {
    const char* value = MHD_lookup_connection_value(connection, MHD_GET_ARGUMENT_KIND, key);
    if (value == nullptr) return std::nullopt;
    return std::string_view(value);
}

std::string hostForUrl(const std::string& host) {
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

}  // namespace

struct HttpServer::Connection {
    MHD_Connection* mhd;
    int fd;
    Clock::time_point since;  // connected, or its last answer sent
    bool waiting = true;      // for a whole request
    bool cutOff = false;
};

struct HttpServer::Stream {
    HttpServer* server;
    MHD_Connection* mhd;
    EventBacklog backlog;
    bool suspended = false;
};

struct HttpServer::Callbacks {
    static MHD_Result request(void* self, MHD_Connection* connection, const char* url, const char* method,
                              const char*, const char*, std::size_t* uploadSize, void** requestContext) {
        auto* server = static_cast<HttpServer*>(self);
        // A request is answered at its first call; what body it brought is
        // not read.
        if (*requestContext != nullptr) {
            *uploadSize = 0;
            return MHD_YES;
        }
        *requestContext = server;
        const auto known = server->connections_.find(connection);
        if (known != server->connections_.end()) known->second->waiting = false;
        if (server->connections_.size() > static_cast<std::size_t>(server->limits_.clients))
            return refuse(connection, MHD_HTTP_SERVICE_UNAVAILABLE);

        const char* authorization = MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                                MHD_HTTP_HEADER_AUTHORIZATION);
        const ServeRequest request{method, url, authorization != nullptr ? authorization : "",
                                   argument(connection, "token").value_or("")};
        const ServeDecision decision = DecideRequest(request, server->token_);
        if (decision.route == nullptr) return refuse(connection, decision.status);

        const Query query = [connection](const char* key) { return argument(connection, key); };
        Reply reply = server->answer_(decision.route->route, query);
        if (reply.status != MHD_HTTP_OK) return refuse(connection, reply.status);
        const bool head = std::string_view(method) == MHD_HTTP_METHOD_HEAD;
        if (decision.route->route == ServeRoute::Events && !head)
            return static_cast<MHD_Result>(server->openStream(connection, reply.body, decision.route->contentType));
        return queue(connection, MHD_HTTP_OK, std::move(reply.body), decision.route->contentType);
    }

    static void connected(void* self, MHD_Connection* connection, void**, MHD_ConnectionNotificationCode code) {
        auto* server = static_cast<HttpServer*>(self);
        if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
            server->connections_.erase(connection);
            server->closed_ = true;
            return;
        }
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
        // A run of the library writes to each connection what its socket
        // takes. On loopback the kernel lets a socket take megabytes at
        // once, so that a few clients fetching large answers would hold
        // the loop for the copying of all of them; a bounded send buffer
        // keeps each run's share small, and the rest goes in later runs.
        if (info != nullptr) {
            const int bytes = kSendBufferBytes;
            ::setsockopt(info->connect_fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
        }
        server->connections_[connection] =
            std::make_unique<Connection>(Connection{connection, info != nullptr ? info->connect_fd : -1, Clock::now()});
    }

    // A request is done with: on a connection kept alive, the next one has
    // its whole time again.
    static void completed(void* self, MHD_Connection* connection, void**, MHD_RequestTerminationCode) {
        auto* server = static_cast<HttpServer*>(self);
        const auto known = server->connections_.find(connection);
        if (known == server->connections_.end()) return;
        known->second->since = Clock::now();
        known->second->waiting = true;
    }

    // What a stream's client is sent next; with nothing queued the
    // connection rests until the next event wakes it.
    static ssize_t read(void* cls, std::uint64_t, char* out, std::size_t max) {
        auto* stream = static_cast<Stream*>(cls);
        if (stream->backlog.dropped()) return MHD_CONTENT_READER_END_WITH_ERROR;
        if (stream->backlog.empty()) {
            MHD_suspend_connection(stream->mhd);
            stream->suspended = true;
            return 0;
        }
        return static_cast<ssize_t>(stream->backlog.take(out, max));
    }

    // The path and the query's values are unescaped in place, as the
    // library does, except when an escaped NUL is among them: the library
    // would hand over a text cut at the NUL, so that
    // "/api/status%00/../../etc/passwd" would be taken for /api/status.
    // Left escaped, it matches no route (404) and no token (401).
    static std::size_t unescape(void*, MHD_Connection*, char* text) {
        std::string plain(text);
        const std::size_t length = MHD_http_unescape(plain.data());
        if (std::memchr(plain.data(), '\0', length) != nullptr) return std::strlen(text);
        std::memcpy(text, plain.data(), length + 1);
        return length;
    }

    static void freed(void* cls) {
        auto* stream = static_cast<Stream*>(cls);
        stream->server->streams_.erase(stream);
    }
};

HttpServer::HttpServer(ServeAddress address, std::string token, Answer answer, Limits limits, QObject* parent)
    : QObject(parent),
      address_(std::move(address)),
      token_(std::move(token)),
      answer_(std::move(answer)),
      limits_(limits) {
    due_.setSingleShot(true);
    connect(&due_, &QTimer::timeout, this, [this] { run(); });
    connect(&sweeper_, &QTimer::timeout, this, [this] { sweep(); });
    connect(&keepAlive_, &QTimer::timeout, this, [this] { queueToStreams(": keep-alive\n\n"); });
}

HttpServer::~HttpServer() {
    if (daemon_ == nullptr) return;
    notifier_.reset();
    // The library must not be stopped with a connection suspended.
    for (auto& [key, stream] : streams_)
        if (std::exchange(stream->suspended, false)) MHD_resume_connection(stream->mhd);
    MHD_stop_daemon(daemon_);
}

bool HttpServer::start(std::string& error) {
    const std::string where = "--serve " + hostForUrl(address_.host) + ":" + std::to_string(address_.port) + ": ";
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (const int rc = ::getaddrinfo(address_.host.c_str(), std::to_string(address_.port).c_str(), &hints, &found);
        rc != 0) {
        error = where + "the address does not resolve: " + ::gai_strerror(rc);
        return false;
    }
    // The socket is bound here rather than by the library, so that a port
    // in use is told as such. Its queue is the kernel's largest: a burst of
    // clients beyond the connection limit waits there to be answered, where
    // a short queue drops their connections and they try again only after
    // one, three, seven seconds.
    const int fd = ::socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const bool v6 = found->ai_family == AF_INET6;
    const int yes = 1;
    bool listening = fd >= 0 && ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) == 0 &&
                     ::bind(fd, found->ai_addr, found->ai_addrlen) == 0 && ::listen(fd, SOMAXCONN) == 0;
    const int why = errno;
    ::freeaddrinfo(found);
    if (!listening) {
        if (fd >= 0) ::close(fd);
        error = where + "cannot listen there: " + std::strerror(why);
        return false;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) == 0)
        port_ = ntohs(v6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                         : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);

    // The header limit is the connection's memory less what its answer's
    // headers and a stream's block take from it.
    constexpr std::size_t kAnswerRoom = 8 * 1024;
    daemon_ = MHD_start_daemon(
        MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME | (v6 ? MHD_USE_IPv6 : 0), 0, nullptr, nullptr,
        &Callbacks::request, this, MHD_OPTION_LISTEN_SOCKET, fd, MHD_OPTION_CONNECTION_LIMIT,
        static_cast<unsigned>(2 * limits_.clients), MHD_OPTION_CONNECTION_TIMEOUT,
        static_cast<unsigned>(limits_.idleSeconds), MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        limits_.headerBytes + kAnswerRoom, MHD_OPTION_NOTIFY_CONNECTION, &Callbacks::connected, this,
        MHD_OPTION_NOTIFY_COMPLETED, &Callbacks::completed, this, MHD_OPTION_UNESCAPE_CALLBACK, &Callbacks::unescape,
        this, MHD_OPTION_END);
    if (daemon_ == nullptr) {
        ::close(fd);
        error = where + "the HTTP server cannot start";
        return false;
    }
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_EPOLL_FD);
    notifier_ = std::make_unique<QSocketNotifier>(info->epoll_fd, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { run(); });
    sweeper_.start(std::max(10, std::min(1000, limits_.requestMs / 4)));
    keepAlive_.start(limits_.keepAliveMs);
    rearm();
    return true;
}

std::string HttpServer::url() const {
    return "http://" + hostForUrl(address_.host) + ":" + std::to_string(port_) + "/";
}

// Everything the library has to do now: accept, read, answer, write, time
// out. Never nested: nothing it calls back opens a loop.
void HttpServer::run() {
    if (daemon_ == nullptr || running_) return;
    running_ = true;
    closed_ = false;
    MHD_run(daemon_);
    running_ = false;
    rearm();
    // At its connection limit the library stops watching the listening
    // socket, and watches it again only at the start of a run once it is
    // below: a run that closed connections is followed by another at once,
    // or with the clients that wait in the kernel's queue no event would
    // ever come to start one, and the server would stay deaf after a flood.
    if (closed_) due_.start(0);
}

void HttpServer::rearm() {
    MHD_UNSIGNED_LONG_LONG ms = 0;
    if (MHD_get_timeout(daemon_, &ms) == MHD_YES) due_.start(static_cast<int>(std::min<MHD_UNSIGNED_LONG_LONG>(ms, INT_MAX)));
    else due_.stop();
}

// A client that has not sent a whole request in time is cut off: its
// socket is shut, and the library closes the connection on its next run.
void HttpServer::sweep() {
    const auto now = Clock::now();
    const auto limit = std::chrono::milliseconds(limits_.requestMs);
    bool any = false;
    for (auto& [key, c] : connections_)
        if (c->waiting && !c->cutOff && now - c->since > limit) {
            cut(*c);
            any = true;
        }
    if (any) due_.start(0);
}

void HttpServer::cut(Connection& connection) {
    connection.cutOff = true;
    if (connection.fd >= 0) ::shutdown(connection.fd, SHUT_RDWR);
}

void HttpServer::broadcast(std::string_view name, const std::string& json) { queueToStreams(EventFrame(name, json)); }

void HttpServer::queueToStreams(const std::string& frame) {
    for (auto& [key, stream] : streams_) {
        const bool wasDropped = stream->backlog.dropped();
        if (!stream->backlog.push(frame) && !wasDropped) {
            ++dropped_;
            // Whether it waits for an event or for its client to read, the
            // connection ends at the library's next run.
            if (const auto c = connections_.find(stream->mhd); c != connections_.end()) cut(*c->second);
        }
        wake(*stream);
    }
}

void HttpServer::wake(Stream& stream) {
    if (!std::exchange(stream.suspended, false)) return;
    MHD_resume_connection(stream.mhd);
    due_.start(0);
}

int HttpServer::openStream(MHD_Connection* connection, const std::string& first, std::string_view type) {
    auto stream = std::make_unique<Stream>(Stream{this, connection, EventBacklog(limits_.eventBacklogBytes)});
    stream->backlog.push(first);
    Stream* raw = stream.get();
    MHD_Response* response = MHD_create_response_from_callback(MHD_SIZE_UNKNOWN, 4096, &Callbacks::read, raw,
                                                                &Callbacks::freed);
    if (response == nullptr) return MHD_NO;
    streams_[raw] = std::move(stream);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, std::string(type).c_str());
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    const MHD_Result queued = MHD_queue_response(connection, MHD_HTTP_OK, response);
    MHD_destroy_response(response);
    return queued;
}

}  // namespace qs
