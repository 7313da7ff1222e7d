#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "EventLoopWait.h"
#include "PassThroughCodec.h"
#include "qt/link/QtStreamLink.h"

namespace qs::test {
namespace {

// A stream link speaking no protocol, to a peer of our own on 127.0.0.1: what
// the link does with bytes is then the link's alone.
struct PassThroughLoopback : ::testing::Test {
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    QtStreamLink link{MakeLinkCodec(TestLinkCodecs(), kPassThroughLink),
                      [this](const std::string& message) { errors.push_back(message); }};
    std::vector<std::string> log;
    std::string data;
    std::vector<std::string> errors;

    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        link.setEvents({[this] { log.push_back("connected"); }, [this] { log.push_back("disconnected"); },
                        [this](const std::uint8_t* bytes, std::size_t size) {
                            log.push_back("data");
                            data.append(reinterpret_cast<const char*>(bytes), size);
                        }});
        link.setHost("127.0.0.1:" + std::to_string(server.serverPort()));
        link.Connect();
        ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections() && !log.empty(); }, 3000))
            << link.lastError();
        peer = server.nextPendingConnection();
        ASSERT_EQ(log, std::vector<std::string>{"connected"});
    }
    void peerSends(const std::string& bytes) { peer->write(bytes.data(), static_cast<qint64>(bytes.size())); }
    std::string peerReceived(std::size_t size) {
        std::string got;
        WaitUntil(
            [&] {
                got += peer->readAll().toStdString();
                return got.size() >= size;
            },
            3000);
        return got;
    }
};

// Every byte value, 255 and NUL among them, which a Telnet link would escape.
std::string everyByte() {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    return all;
}

TEST_F(PassThroughLoopback, BytesSentLeaveAsTheyAre) {
    const std::string sent = everyByte() + "MEAS?\r";
    for (char c : sent) link.SendCh(c);
    EXPECT_EQ(peerReceived(sent.size()), sent);
    EXPECT_TRUE(errors.empty());
}

TEST_F(PassThroughLoopback, ChunksAndABurstArriveOnceAndInOrder) {
    std::string expected;
    for (const std::string& chunk : std::vector<std::string>{"first\r\n", everyByte(), "third"}) {
        peerSends(chunk);
        expected += chunk;
        ASSERT_TRUE(WaitUntil([&] { return data.size() == expected.size(); }, 3000));
    }
    // A burst: written without a pause, read in whatever chunks the kernel makes.
    for (int i = 0; i < 2000; ++i) {
        const std::string line = std::to_string(i) + ",1.2345E+00\r\n";
        peerSends(line);
        expected += line;
    }
    ASSERT_TRUE(WaitUntil([&] { return data.size() >= expected.size(); }, 5000));
    Pump(50);
    EXPECT_EQ(data, expected);
    EXPECT_EQ(log.front(), "connected");
    EXPECT_GE(std::count(log.begin(), log.end(), "data"), 4);
    EXPECT_EQ(std::count(log.begin(), log.end(), "disconnected"), 0);
}

TEST_F(PassThroughLoopback, PeerCloseEndsTheLinkOnceAfterItsLastData) {
    peerSends("last words");
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitUntil([&] { return !log.empty() && log.back() == "disconnected"; }, 3000));
    Pump(100);
    EXPECT_EQ(data, "last words");
    EXPECT_EQ(log, (std::vector<std::string>{"connected", "data", "disconnected"}));
    EXPECT_FALSE(link.isUp());
}

// A handler that ends the link while more has arrived behind its event.
TEST_F(PassThroughLoopback, DisconnectHandsOverWhatArrivedAndEndsBeforeReturning) {
    std::vector<std::string> whenDisconnectReturned;
    link.setEvents({[] {}, [this] { log.push_back("disconnected"); },
                    [&](const std::uint8_t* bytes, std::size_t size) {
                        log.push_back("data");
                        data.append(reinterpret_cast<const char*>(bytes), size);
                        if (data != "one") return;
                        peerSends("two");
                        ASSERT_TRUE(WaitUntil([&] { return link.undelivered() > 0; }, 3000));
                        link.Disconnect(true);
                        whenDisconnectReturned = log;
                    }});
    link.SendCh('!');
    peerSends("one");
    ASSERT_TRUE(WaitUntil([&] { return !whenDisconnectReturned.empty(); }, 3000));
    EXPECT_EQ(whenDisconnectReturned, (std::vector<std::string>{"connected", "data", "data", "disconnected"}));
    EXPECT_EQ(data, "onetwo");
    // What was sent before the end still reaches the peer, and then the end.
    EXPECT_EQ(peerReceived(1), "!");
    EXPECT_TRUE(WaitUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }, 3000));
    Pump(100);
    EXPECT_EQ(log, whenDisconnectReturned);
}

}  // namespace
}  // namespace qs::test
