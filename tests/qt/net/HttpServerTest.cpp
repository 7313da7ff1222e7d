// The HTTP server on the event loop, on loopback with a free port: each
// route's answer, the refusals (404, 405, 401, 400, 431, 503), paths that
// try to climb out, HEAD, a client too slow to send its request, the
// events stream and a client that falls behind it, and the metrics as
// Prometheus' own checker reads them.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "JsonValue.h"
#include "qt/net/HttpServer.h"
#include "serve/MetricsText.h"

namespace qs {
namespace {

constexpr int kWaitMs = 5000;

ServeFigures someFigures() {
    ServeFigures f;
    f.channels = {{1, "MEAS:VOLT:DC? 5,0.00001", 1.0000123456789, 1.00001, 0.99999}, {2, "READ\"?", -2.5, -2.4, -2.3}};
    f.samples = 42;
    f.rejected = {{"cut", 2}};
    f.linkUp = true;
    f.lastSampleSeconds = 1000.0;
    f.startSeconds = 900.0;
    return f;
}

struct Server : ::testing::Test {
    std::vector<std::string> asked;  // the routes' answers given, with their query
    std::unique_ptr<HttpServer> server;
    HttpServer::Limits limits;
    std::string token;

    void start() {
        server = std::make_unique<HttpServer>(ServeAddress{"127.0.0.1", 0}, token,
                                              [this](ServeRoute route, const HttpServer::Query& query) {
                                                  return answer(route, query);
                                              },
                                              limits);
        std::string error;
        ASSERT_TRUE(server->start(error)) << error;
        ASSERT_GT(server->port(), 0);
    }
    HttpServer::Reply answer(ServeRoute route, const HttpServer::Query& query) {
        switch (route) {
            case ServeRoute::Status: return {200, R"({"caption":"x","count":3})"};
            case ServeRoute::Samples: {
                const auto q = ParseSamplesQuery(query("since"), query("limit"));
                if (!q) return {400, {}};
                asked.push_back("samples " + std::to_string(q->since) + " " + std::to_string(q->limit));
                return {200, R"([{"seq":4},{"seq":5}])"};
            }
            case ServeRoute::Metrics: return {200, MetricsText(someFigures(), 1001.5)};
            case ServeRoute::Events: return {200, "retry: 2000\n\n"};
            case ServeRoute::Page:
            case ServeRoute::History: break;
        }
        return {404, {}};
    }

    // Sends the bytes and reads until the server closes or the wait ends,
    // the event loop running all the while (the server lives on it).
    std::string exchange(const std::string& request, int waitMs = kWaitMs) {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(server->port()));
        socket.write(request.data(), static_cast<qint64>(request.size()));
        std::string got;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < waitMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            const QByteArray bytes = socket.readAll();
            got.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            if (socket.state() == QAbstractSocket::UnconnectedState) break;
        }
        return got;
    }
    std::string get(const std::string& target, const std::string& method = "GET", const std::string& more = {}) {
        return exchange(method + " " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + more + "\r\n");
    }
};

int statusOf(const std::string& reply) {
    if (!reply.starts_with("HTTP/1.1 ")) return 0;
    return std::stoi(reply.substr(9, 3));
}

std::string bodyOf(const std::string& reply) {
    const std::size_t end = reply.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : reply.substr(end + 4);
}

TEST_F(Server, EachRouteAnswersWithItsBodyAndContentType) {
    start();
    const std::string status = get("/api/status");
    EXPECT_EQ(statusOf(status), 200) << status;
    EXPECT_NE(status.find("Content-Type: application/json"), std::string::npos);
    const auto json = test::JsonReader::parse(bodyOf(status));
    ASSERT_TRUE(json);
    EXPECT_EQ((*json)["count"].number, 3);

    const std::string samples = get("/api/samples?since=3&limit=2");
    EXPECT_EQ(statusOf(samples), 200);
    const auto array = test::JsonReader::parse(bodyOf(samples));
    ASSERT_TRUE(array);
    EXPECT_EQ(array->items.size(), 2u);
    EXPECT_EQ(asked, std::vector<std::string>{"samples 3 2"});

    const std::string metrics = get("/metrics");
    EXPECT_EQ(statusOf(metrics), 200);
    EXPECT_NE(metrics.find("Content-Type: text/plain; version=0.0.4"), std::string::npos);
    EXPECT_NE(bodyOf(metrics).find("quillstone_samples_total 42\n"), std::string::npos);
}

TEST_F(Server, RefusesWhatItDoesNotServe) {
    start();
    struct Case {
        std::string method, target;
        int status;
    };
    const Case cases[] = {
        {"GET", "/nothing", 404},
        {"GET", "/api/status/", 404},
        {"GET", "/../../etc/passwd", 404},
        {"GET", "/%2e%2e/%2e%2e/etc/passwd", 404},
        {"GET", "/%2E%2E%2F%2E%2E%2Fetc%2Fpasswd", 404},
        {"GET", "/..%2f..%2fetc%2fpasswd", 404},
        {"GET", "/api/../../etc/passwd", 404},
        {"POST", "/api/status", 405},
        {"PUT", "/metrics", 405},
        {"DELETE", "/api/samples", 405},
        {"GET", "/api/samples?since=x", 400},
        {"GET", "/api/samples?limit=-1", 400},
    };
    for (const Case& c : cases) {
        const std::string reply = get(c.target, c.method);
        EXPECT_EQ(statusOf(reply), c.status) << c.method << " " << c.target << "\n" << reply;
        EXPECT_EQ(reply.find("root:"), std::string::npos);
    }
    EXPECT_NE(get("/api/status", "POST").find("Allow: GET, HEAD"), std::string::npos);
}

// A header line that is no header gets a 400; a request line that is no
// request line is closed at once by the library, with nothing answered.
// Either way it costs nothing else: the next request is served.
TEST_F(Server, MalformedRequestsGetABadRequestOrAreClosed) {
    start();
    struct Case {
        std::string request;
        int status;  // 0: closed without an answer
    };
    const Case cases[] = {
        {"GET /api/status HTTP/1.1\r\nNo colon\r\n\r\n", 400},
        {"GET /api/status HTTP/1.1\r\nX-A: 1\r\nbroken line\r\n\r\n", 400},
        {"GARBAGE\r\n\r\n", 0},
        {"GET\r\n\r\n", 0},
    };
    for (const Case& c : cases) {
        QElapsedTimer clock;
        clock.start();
        const std::string reply = exchange(c.request);
        EXPECT_LT(clock.elapsed(), 2000) << c.request;
        EXPECT_EQ(statusOf(reply), c.status) << c.request << "\n" << reply;
        EXPECT_EQ(statusOf(get("/api/status")), 200);
    }
}

TEST_F(Server, HeadAnswersTheHeadersWithoutTheBody) {
    start();
    const std::string reply = get("/api/status", "HEAD");
    EXPECT_EQ(statusOf(reply), 200);
    EXPECT_EQ(bodyOf(reply), "");
}

TEST_F(Server, ATokenIsNeededByHeaderOrQueryWhenOneIsSet) {
    token = "s3cret";
    start();
    EXPECT_EQ(statusOf(get("/api/status")), 401);
    EXPECT_EQ(statusOf(get("/api/status?token=wrong")), 401);
    EXPECT_EQ(statusOf(get("/api/status", "GET", "Authorization: Bearer wrong\r\n")), 401);
    EXPECT_EQ(statusOf(get("/api/status?token=s3cret")), 200);
    EXPECT_EQ(statusOf(get("/api/status", "GET", "Authorization: Bearer s3cret\r\n")), 200);
}

TEST_F(Server, HeadersOverTheLimitGetTooLarge) {
    start();
    const std::string reply = get("/api/status", "GET", "X-Big: " + std::string(64 * 1024, 'a') + "\r\n");
    EXPECT_EQ(statusOf(reply), 431) << reply.substr(0, 200);
}

TEST_F(Server, ClientsBeyondTheLimitGetServiceUnavailable) {
    limits.clients = 3;
    start();
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < 4; ++i) {
        held.push_back(std::make_unique<QTcpSocket>());
        held.back()->connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(server->port()));
    }
    QElapsedTimer clock;
    clock.start();
    while (server->connections() < 4 && clock.elapsed() < kWaitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(server->connections(), 4u);
    EXPECT_EQ(statusOf(get("/api/status")), 503);
    held.clear();
    clock.restart();
    while (server->connections() > 0 && clock.elapsed() < kWaitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(statusOf(get("/api/status")), 200);
}

TEST_F(Server, AClientThatDoesNotFinishItsRequestInTimeIsCutOff) {
    limits.requestMs = 300;
    start();
    QElapsedTimer clock;
    clock.start();
    const std::string reply = exchange("GET /api/status HTTP/1.1\r\nHost: x\r\n", kWaitMs);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(statusOf(reply), 0) << reply;
    EXPECT_EQ(server->connections(), 0u);
}

TEST_F(Server, EventsReachEveryStreamAndAClientThatFallsBehindIsDropped) {
    limits.eventBacklogBytes = 64 * 1024;
    start();
    QTcpSocket reader;
    reader.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(server->port()));
    const QByteArray request("GET /events HTTP/1.1\r\nHost: x\r\n\r\n");
    reader.write(request);
    QElapsedTimer clock;
    clock.start();
    while (server->eventClients() < 1 && clock.elapsed() < kWaitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(server->eventClients(), 1u);
    server->broadcast("sample", R"({"seq":1})");
    std::string got;
    clock.restart();
    while (got.find("data: {\"seq\":1}\n\n") == std::string::npos && clock.elapsed() < kWaitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        got += reader.readAll().toStdString();
    }
    EXPECT_NE(got.find("text/event-stream"), std::string::npos) << got;
    EXPECT_NE(got.find("retry: 2000\n\n"), std::string::npos);
    EXPECT_NE(got.find("event: sample\ndata: {\"seq\":1}\n\n"), std::string::npos) << got;

    // The reader stops reading: the kernel's buffers fill, then its backlog.
    reader.setReadBufferSize(1);
    const std::string big(16 * 1024, 'x');
    for (int i = 0; i < 2000 && server->droppedEventClients() == 0; ++i) {
        server->broadcast("sample", big);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    EXPECT_EQ(server->droppedEventClients(), 1u);
    clock.restart();
    while (server->eventClients() > 0 && clock.elapsed() < kWaitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(server->eventClients(), 0u);
}

TEST_F(Server, MetricsPassPrometheusOwnCheck) {
    const QString promtool = QStandardPaths::findExecutable(QStringLiteral("promtool"));
    if (promtool.isEmpty()) GTEST_SKIP() << "promtool (Debian package prometheus) is not installed";
    start();
    const std::string body = bodyOf(get("/metrics"));
    ASSERT_FALSE(body.empty());
    QProcess check;
    check.start(promtool, {QStringLiteral("check"), QStringLiteral("metrics")});
    ASSERT_TRUE(check.waitForStarted(kWaitMs));
    check.write(body.data(), static_cast<qint64>(body.size()));
    check.closeWriteChannel();
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString()
                                   << check.readAllStandardError().toStdString();
}

TEST_F(Server, APortInUseIsOneClearMessage) {
    start();
    HttpServer second(ServeAddress{"127.0.0.1", server->port()}, "", [](ServeRoute, const HttpServer::Query&) {
        return HttpServer::Reply{};
    });
    std::string error;
    EXPECT_FALSE(second.start(error));
    EXPECT_EQ(error, "--serve 127.0.0.1:" + std::to_string(server->port()) + ": cannot listen there: Address already in use");
}

}  // namespace
}  // namespace qs
