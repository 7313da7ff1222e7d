// The HTTP server on the event loop against what a hostile client sends:
// an escaped NUL in the path or the token, a flood of connections that
// fills the library's connection limit. (How long many large answers at
// once hold the loop is a figure of `make bench`, bench_serve.)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "qt/net/HttpServer.h"

namespace qs {
namespace {

// Sends the request and reads until the server closes, the loop running.
std::string exchange(const HttpServer& server, const QByteArray& request) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(server.port()));
    socket.write(request);
    std::string got;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000 && socket.state() != QAbstractSocket::UnconnectedState) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        got += socket.readAll().toStdString();
    }
    return got + socket.readAll().toStdString();
}

// The library unescapes a path into a C string: an escaped NUL would cut it
// short, and what comes before would be taken for the path or the token.
TEST(HttpServerEscapes, AnEscapedNulInThePathOrTheTokenMatchesNothing) {
    HttpServer server(ServeAddress{"127.0.0.1", 0}, "s3cret", [](ServeRoute, const HttpServer::Query&) {
        return HttpServer::Reply{200, "answered"};
    });
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    struct Case {
        const char* target;
        int status;
    };
    const Case cases[] = {
        {"/api/status?token=s3cret", 200},
        {"/api/status?token=s3c%72et", 200},
        {"/api/%73tatus?token=s3cret", 200},
        {"/api/status%00?token=s3cret", 404},
        {"/api/status%00/../../etc/passwd?token=s3cret", 404},
        {"/metrics%00.txt?token=s3cret", 404},
        {"/api/status?token=s3cret%00", 401},
        {"/api/status?token=s3cret%00more", 401},
    };
    for (const Case& c : cases) {
        const std::string reply =
            exchange(server, QByteArray("GET ") + c.target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        EXPECT_TRUE(reply.starts_with("HTTP/1.1 " + std::to_string(c.status))) << c.target << "\n" << reply;
    }
}

// With its connections at the library's limit the server stops accepting;
// once the flood is gone it must accept again by itself, though no event of
// the connections that are gone is left to wake it.
TEST(HttpServerFlood, ServesAgainOnceAFloodThatFilledTheConnectionLimitIsGone) {
    HttpServer::Limits limits;
    limits.clients = 2;  // the library takes twice as many, the rest wait in the kernel's queue
    HttpServer server(ServeAddress{"127.0.0.1", 0}, "", [](ServeRoute, const HttpServer::Query&) {
        return HttpServer::Reply{200, "answered"};
    }, limits);
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    for (int round = 0; round < 2; ++round) {
        std::vector<std::unique_ptr<QTcpSocket>> flood;
        for (int i = 0; i < 12; ++i) {
            flood.push_back(std::make_unique<QTcpSocket>());
            flood.back()->connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(server.port()));
        }
        QElapsedTimer clock;
        clock.start();
        while (server.connections() < 4 && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_EQ(server.connections(), 4u);
        flood.clear();
        const std::string reply =
            exchange(server, QByteArray("GET /api/status HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
        EXPECT_TRUE(reply.starts_with("HTTP/1.1 200")) << "round " << round << ": " << reply;
    }
}

}  // namespace
}  // namespace qs
