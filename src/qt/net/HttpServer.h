#pragma once
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "serve/EventBacklog.h"
#include "serve/ServeAddress.h"
#include "serve/ServeRoutes.h"

struct MHD_Daemon;
struct MHD_Connection;

namespace qs {

// A read-only HTTP server on the event loop, through libmicrohttpd: the
// fixed route table, the token, the limits, and the /events streams. The
// library runs without a thread of its own (its epoll set watched by a
// socket notifier, its time-outs by a timer), so every request is answered
// on the event loop between two of the logger's events, and what answers it
// reads the logger's state without a lock. Every answer is made in one go
// from what the logger holds; nothing waits, so no client can hold up the
// loop for longer than it takes to copy an answer.
class HttpServer : public QObject {
public:
    struct Limits {
        int clients = 32;                          // connections served at once; 503 beyond
        std::size_t headerBytes = 16 * 1024;       // request line and headers; 431 beyond
        int requestMs = 10000;                     // from connecting (or the last answer) to a whole request
        int idleSeconds = 60;                      // no byte either way: the connection is closed
        std::size_t eventBacklogBytes = 256 * 1024;  // an /events client further behind is dropped
        int keepAliveMs = 15000;                   // a comment to /events clients, so that a gone one is found
    };
    struct Reply {
        int status = 200;
        std::string body;
    };
    // A parameter of the query; nullopt when the request has none of it.
    using Query = std::function<std::optional<std::string_view>(const char* key)>;
    // The answer of a route of the table. For /events, the body is the
    // first bytes of the stream.
    using Answer = std::function<Reply(ServeRoute route, const Query& query)>;

    // token: the one requests must bring; empty for none.
    HttpServer(ServeAddress address, std::string token, Answer answer, Limits limits, QObject* parent = nullptr);
    HttpServer(ServeAddress address, std::string token, Answer answer, QObject* parent = nullptr)
        : HttpServer(std::move(address), std::move(token), std::move(answer), Limits{}, parent) {}
    ~HttpServer() override;
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens; false with the reason (one line) when it cannot.
    bool start(std::string& error);

    // The event to every /events client; one too far behind is dropped.
    void broadcast(std::string_view name, const std::string& json);

    // "http://127.0.0.1:8080/"; the port is the one bound (port 0 asks for a free one).
    std::string url() const;
    int port() const { return port_; }
    std::size_t connections() const { return connections_.size(); }
    std::size_t eventClients() const { return streams_.size(); }
    std::size_t droppedEventClients() const { return dropped_; }

private:
    struct Connection;
    struct Stream;

    void run();
    void rearm();
    void sweep();
    void queueToStreams(const std::string& frame);
    void wake(Stream& stream);
    void cut(Connection& connection);
    // Answers the request with a stream whose first bytes are first.
    int openStream(MHD_Connection* connection, const std::string& first, std::string_view type);

    // The library's callbacks, with its own types (HttpServer.cpp).
    struct Callbacks;

    ServeAddress address_;
    std::string token_;
    Answer answer_;
    Limits limits_;
    MHD_Daemon* daemon_ = nullptr;
    int port_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer due_;        // the library's next time-out
    QTimer sweeper_;    // cuts requests that take too long
    QTimer keepAlive_;  // a comment to the streams
    bool running_ = false;
    bool closed_ = false;  // a connection closed during the run
    std::map<MHD_Connection*, std::unique_ptr<Connection>> connections_;
    std::map<Stream*, std::unique_ptr<Stream>> streams_;
    std::size_t dropped_ = 0;
};

}  // namespace qs
