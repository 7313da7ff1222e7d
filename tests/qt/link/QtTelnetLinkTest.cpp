#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>

#include <algorithm>
#include <functional>

#include <string>
#include <vector>

#include "EventLoopWait.h"
#include "SimulatorProcess.h"
#include "TelnetProbe.h"
#include "platform/Exception.h"

namespace qs::test {
namespace {

bool endsWithLine(const std::string& text) { return text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0; }

// A port of 127.0.0.1 where nobody listens: connecting to it is refused.
int closedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const int port = server.serverPort();
    server.close();
    return port;
}

// A listener whose accept queue is full and never served: the kernel drops
// further connection requests, so a connect to it hangs.
class FullListener {
public:
    FullListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(fd_, 0);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        for (int i = 0; i < 3; ++i) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), length);
            fillers_.push_back(filler);
        }
        Pump(50);
    }
    ~FullListener() {
        for (int filler : fillers_) ::close(filler);
        ::close(fd_);
    }
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
    std::vector<int> fillers_;
};

TEST(QtTelnetLink, PeerDropEndsTheLinkOnceAfterItsLastData) {
    Simulator sim({"--close-after", "1"});
    TelnetProbe probe;
    probe.telnet.setHost(sim.host());
    probe.telnet.Connect();
    ASSERT_TRUE(WaitUntil([&] { return endsWithLine(probe.data()); }, 3000));
    probe.send("MEAS?\r");
    ASSERT_TRUE(WaitUntil([&] { return probe.events("disconnected") == 1; }, 3000));
    Pump(100);
    EXPECT_EQ(probe.events("connected"), 1);
    EXPECT_EQ(probe.events("disconnected"), 1);
    EXPECT_EQ(probe.log.back(), "disconnected");
    EXPECT_EQ(probe.log[probe.log.size() - 2], "data");
    EXPECT_TRUE(endsWithLine(probe.data()));
    EXPECT_FALSE(probe.telnet.isUp());
    EXPECT_THROW(probe.telnet.SendCh('x'), Exception);
}

TEST(QtTelnetLink, ReconnectAfterADropGetsANewLinkAndGreeting) {
    Simulator sim({"--close-after", "1"});
    TelnetProbe probe;
    probe.telnet.setHost(sim.host());
    probe.telnet.Connect();
    ASSERT_TRUE(WaitUntil([&] { return endsWithLine(probe.data()); }, 3000));
    probe.send("MEAS?\r");
    ASSERT_TRUE(WaitUntil([&] { return probe.events("disconnected") == 1; }, 3000));

    const std::size_t mark = probe.data().size();
    probe.telnet.Connect();
    ASSERT_TRUE(WaitUntil([&] { return endsWithLine(probe.dataFrom(mark)); }, 3000));
    EXPECT_NE(probe.dataFrom(mark).find("KISS"), std::string::npos);
    EXPECT_EQ(probe.events("connected"), 2);
    EXPECT_EQ(probe.events("disconnected"), 1);
    EXPECT_EQ(sim.count("client connected"), 2);
}

TEST(QtTelnetLink, DisconnectRaisesItsEventBeforeReturningAndNothingFollows) {
    Simulator sim({"--delay", "200"});
    TelnetProbe probe;
    probe.telnet.setHost(sim.host());
    probe.telnet.Connect();
    ASSERT_TRUE(WaitUntil([&] { return endsWithLine(probe.data()); }, 3000));
    probe.send("MEAS?\r");
    Pump(20);
    const auto before = probe.log.size();
    probe.telnet.Disconnect(true);
    ASSERT_EQ(probe.log.size(), before + 1);
    EXPECT_EQ(probe.log.back(), "disconnected");
    Pump(500);
    EXPECT_EQ(probe.log.size(), before + 1);
    // The command left before the link closed, and the adapter saw the end.
    EXPECT_EQ(sim.count("command: MEAS?"), 1);
    EXPECT_TRUE(WaitUntil([&] { return sim.count("client disconnected") == 1; }, 3000));
}

TEST(QtTelnetLink, DisconnectWithoutALinkDoesNothing) {
    TelnetProbe probe;
    probe.telnet.Disconnect(true);
    EXPECT_TRUE(probe.log.empty());
}

TEST(QtTelnetLink, SecondDisconnectRaisesNoSecondEvent) {
    Simulator sim;
    TelnetProbe probe;
    probe.telnet.setHost(sim.host());
    probe.telnet.Connect();
    ASSERT_TRUE(WaitUntil([&] { return probe.telnet.isUp(); }, 3000));
    probe.telnet.Disconnect(false);
    probe.telnet.Disconnect(true);
    Pump(100);
    EXPECT_EQ(probe.events("disconnected"), 1);
}

TEST(QtTelnetLink, AcceptedAndClosedAtOnceIsOneShortLink) {
    Simulator sim({"--refuse"});
    TelnetProbe probe;
    probe.telnet.setHost(sim.host());
    probe.telnet.Connect();
    ASSERT_TRUE(WaitUntil([&] { return probe.events("disconnected") == 1; }, 3000));
    Pump(100);
    EXPECT_EQ(probe.log, (std::vector<std::string>{"connected", "disconnected"}));
}

TEST(QtTelnetLink, RefusedConnectionIsAFailedAttemptWithoutEvents) {
    TelnetProbe probe;
    probe.telnet.setHost("127.0.0.1:" + std::to_string(closedPort()));
    probe.telnet.Connect();
    ASSERT_TRUE(WaitUntil([&] { return !probe.telnet.isConnecting(); }, 3000));
    Pump(100);
    EXPECT_TRUE(probe.log.empty());
    EXPECT_FALSE(probe.telnet.isUp());
    EXPECT_FALSE(probe.telnet.lastError().empty());
    // The next Connect is a new attempt.
    probe.telnet.Connect();
    EXPECT_TRUE(probe.telnet.isConnecting() || !probe.telnet.lastError().empty());
    ASSERT_TRUE(WaitUntil([&] { return !probe.telnet.isConnecting(); }, 3000));
    EXPECT_TRUE(probe.log.empty());
}

TEST(QtTelnetLink, HangingConnectReturnsAtOnceAndIsGivenUpAfterTheTimeOut) {
    FullListener listener;
    TelnetProbe probe;
    probe.telnet.setConnectTimeoutMs(1000);
    probe.telnet.setHost("127.0.0.1:" + std::to_string(listener.port()));
    QElapsedTimer clock;
    clock.start();
    probe.telnet.Connect();
    EXPECT_LT(clock.elapsed(), 500);
    Pump(200);
    ASSERT_TRUE(probe.telnet.isConnecting()) << probe.telnet.lastError();
    ASSERT_TRUE(WaitUntil([&] { return !probe.telnet.isConnecting(); }, 3000));
    EXPECT_GE(clock.elapsed(), 1000);
    EXPECT_NE(probe.telnet.lastError().find("No connection within 1000 ms"), std::string::npos);
    EXPECT_TRUE(probe.log.empty());
}

TEST(QtTelnetLink, ConnectWhileConnectingOrUpStartsNothingNew) {
    Simulator sim;
    TelnetProbe probe;
    probe.telnet.setHost(sim.host());
    probe.telnet.Connect();
    probe.telnet.Connect();
    ASSERT_TRUE(WaitUntil([&] { return probe.telnet.isUp(); }, 3000));
    probe.telnet.Connect();
    Pump(200);
    EXPECT_EQ(probe.events("connected"), 1);
    EXPECT_EQ(sim.count("client connected"), 1);
}

TEST(QtTelnetLink, DisconnectWhileConnectingAbandonsTheAttemptSilently) {
    FullListener listener;
    TelnetProbe probe;
    probe.telnet.setHost("127.0.0.1:" + std::to_string(listener.port()));
    probe.telnet.Connect();
    probe.telnet.Disconnect(true);
    EXPECT_FALSE(probe.telnet.isConnecting());
    Pump(100);
    EXPECT_TRUE(probe.log.empty());
}

TEST(QtTelnetLink, SendChWithoutALinkRaises) {
    TelnetProbe probe;
    EXPECT_THROW(probe.telnet.SendCh('M'), Exception);
}

TEST(QtTelnetLink, SendChWhileStillConnectingRaises) {
    FullListener listener;
    TelnetProbe probe;
    probe.telnet.setHost("127.0.0.1:" + std::to_string(listener.port()));
    probe.telnet.Connect();
    EXPECT_THROW(probe.telnet.SendCh('M'), Exception);
}

TEST(QtTelnetLink, MalformedHostRaisesFromConnect) {
    TelnetProbe probe;
    probe.telnet.setHost("127.0.0.1:99999");
    EXPECT_THROW(probe.telnet.Connect(), Exception);
    EXPECT_FALSE(probe.telnet.isConnecting());
}

TEST(QtTelnetLink, HostNameIsLookedUp) {
    Simulator sim;
    TelnetProbe probe;
    probe.telnet.setHost("localhost:" + std::to_string(sim.port()));
    QElapsedTimer clock;
    clock.start();
    probe.telnet.Connect();
    EXPECT_LT(clock.elapsed(), 500);
    EXPECT_TRUE(WaitUntil([&] { return endsWithLine(probe.data()); }, 3000)) << probe.telnet.lastError();
}

TEST(QtTelnetLink, ExceptionInAnEventGoesToTheErrorReport) {
    Simulator sim;
    TelnetProbe probe;
    int connected = 0;
    probe.telnet.setEvents({[&] {
                                ++connected;
                                throw Exception("Handler failed");
                            },
                            [] {}, [&](const std::uint8_t*, std::size_t) { throw Exception("Data handler failed"); }});
    probe.telnet.setHost(sim.host());
    probe.telnet.Connect();
    ASSERT_TRUE(WaitUntil([&] { return probe.errors.size() >= 2; }, 3000));
    EXPECT_EQ(connected, 1);
    EXPECT_EQ(probe.errors[0], "Handler failed");
    EXPECT_EQ(probe.errors[1], "Data handler failed");
    EXPECT_TRUE(probe.telnet.isUp());
}

TEST(QtTelnetLink, HandlerMayDisconnectFromInsideTheDataEvent) {
    Simulator sim;
    TelnetProbe probe;
    std::vector<std::string> log;
    probe.telnet.setEvents({[&] { log.push_back("connected"); }, [&] { log.push_back("disconnected"); },
                            [&](const std::uint8_t*, std::size_t) {
                                log.push_back("data");
                                probe.telnet.Disconnect(true);
                            }});
    probe.telnet.setHost(sim.host());
    probe.telnet.Connect();
    ASSERT_TRUE(WaitUntil([&] { return log.size() >= 3; }, 3000));
    Pump(200);
    EXPECT_EQ(log, (std::vector<std::string>{"connected", "data", "disconnected"}));
}

// A handler that runs a nested loop (as a modal box does) inside a data
// event, with the greeting arriving a byte at a time meanwhile.
struct NestedLoopInAnEvent : ::testing::Test {
    Simulator sim{{"--chunk", "1", "--chunk-gap", "5"}};
    TelnetProbe probe;
    std::vector<std::string> log;
    std::string data;
    int depth = 0, deepest = 0;

    void listen(const std::function<void()>& insideFirstChunk) {
        probe.telnet.setEvents({[&] { log.push_back("connected"); }, [&] { log.push_back("disconnected"); },
                                [&, insideFirstChunk](const std::uint8_t* bytes, std::size_t size) {
                                    log.push_back("data");
                                    data.append(reinterpret_cast<const char*>(bytes), size);
                                    deepest = std::max(deepest, ++depth);
                                    if (log.size() == 2) insideFirstChunk();
                                    --depth;
                                }});
        probe.telnet.setHost(sim.host());
        probe.telnet.Connect();
    }
};

TEST_F(NestedLoopInAnEvent, ChunksArrivingMeanwhileFollowItOnceInOrderAndNotInsideIt) {
    listen([] { Pump(300); });
    ASSERT_TRUE(WaitUntil([&] { return endsWithLine(data); }, 5000)) << data;
    Pump(50);
    EXPECT_EQ(data, "KISS-488 GPIB-LAN adapter (simulated) ready\r\n");
    EXPECT_GT(log.size(), 3u);
    EXPECT_EQ(deepest, 1);
}

TEST_F(NestedLoopInAnEvent, TheLinkMayEndAndItsSocketGoWhileTheEventIsStillRunning) {
    listen([&] {
        QTimer::singleShot(20, [&] { probe.telnet.Disconnect(true); });
        Pump(300);
    });
    ASSERT_TRUE(WaitUntil([&] { return !log.empty() && log.back() == "disconnected"; }, 5000));
    Pump(200);
    EXPECT_EQ(log.back(), "disconnected");
    EXPECT_EQ(std::count(log.begin(), log.end(), "disconnected"), 1);
    EXPECT_FALSE(probe.telnet.isUp());
}

}  // namespace
}  // namespace qs::test
