#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "EventLoopWait.h"
#include "SimulatorProcess.h"
#include "TelnetProbe.h"
#include "TempWorkDir.h"

namespace qs::test {
namespace {

const std::string kCommand = "MEAS:VOLT:DC? 5,0.00001";
// The instrument's reading format, %+.8E.
const std::regex kReading(R"([+-]\d\.\d{8}E[+-]\d{2})");

bool endsWithLine(const std::string& text) { return text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0; }

// Connects the probe and waits for the whole greeting.
void connectAndAwaitGreeting(TelnetProbe& probe, Simulator& sim) {
    probe.telnet.setHost(sim.host());
    probe.telnet.Connect();
    ASSERT_TRUE(WaitUntil([&] { return endsWithLine(probe.data()); }, 3000)) << probe.data();
    ASSERT_NE(probe.data().find("KISS"), std::string::npos);
}

TEST(QtTelnetData, GreetingThenOneReplyPerCommand) {
    Simulator sim;
    TelnetProbe probe;
    connectAndAwaitGreeting(probe, sim);
    EXPECT_EQ(probe.log.front(), "connected");

    const std::size_t mark = probe.data().size();
    probe.send(kCommand + "\r");
    ASSERT_TRUE(WaitUntil([&] { return endsWithLine(probe.dataFrom(mark)); }, 3000));
    const std::string reply = probe.dataFrom(mark);
    EXPECT_TRUE(std::regex_match(reply.substr(0, reply.size() - 2), kReading)) << reply;
    EXPECT_TRUE(probe.errors.empty());
}

TEST(QtTelnetData, TheAdapterLearnsTerminalTypeDumb) {
    Simulator sim;
    TelnetProbe probe;
    connectAndAwaitGreeting(probe, sim);
    EXPECT_TRUE(WaitUntil([&] { return sim.count("terminal type: dumb") == 1; }, 3000)) << sim.output();
}

TEST(QtTelnetData, CommandGoesOnTheWireWithABareCarriageReturn) {
    TempWorkDir dir;
    Simulator sim({"--record", QString::fromStdString((dir.path() / "wire.bin").string())});
    TelnetProbe probe;
    connectAndAwaitGreeting(probe, sim);
    const std::size_t mark = probe.data().size();
    probe.send(kCommand + "\r");
    ASSERT_TRUE(WaitUntil([&] { return endsWithLine(probe.dataFrom(mark)); }, 3000));
    EXPECT_EQ(ReadFile((dir.path() / "wire.bin").string()), kCommand + "\r");
}

TEST(QtTelnetData, Byte255ReachesTheAdapterAsOneByte) {
    TempWorkDir dir;
    Simulator sim({"--record", QString::fromStdString((dir.path() / "wire.bin").string())});
    TelnetProbe probe;
    connectAndAwaitGreeting(probe, sim);
    const std::string sent = std::string("A\xFF\xFE" "B\r", 5);
    probe.send(sent);
    EXPECT_TRUE(WaitUntil([&] { return ReadFile((dir.path() / "wire.bin").string()) == sent; }, 3000))
        << ReadFile((dir.path() / "wire.bin").string());
}

TEST(QtTelnetData, SplitRepliesArriveWholeOverSeveralEvents) {
    Simulator sim({"--chunk", "4", "--chunk-gap", "15"});
    TelnetProbe probe;
    connectAndAwaitGreeting(probe, sim);
    EXPECT_GT(probe.chunks.size(), 3u);

    const std::size_t mark = probe.data().size();
    const std::size_t chunksBefore = probe.chunks.size();
    probe.send(kCommand + "\r");
    ASSERT_TRUE(WaitUntil([&] { return endsWithLine(probe.dataFrom(mark)); }, 3000));
    const std::string reply = probe.dataFrom(mark);
    EXPECT_TRUE(std::regex_match(reply.substr(0, reply.size() - 2), kReading)) << reply;
    // "+9.99989005E-01\r\n" is 17 bytes: five pieces of at most four.
    EXPECT_GE(probe.chunks.size() - chunksBefore, 5u);
}

TEST(QtTelnetData, StrandedReplyKeepsWaitingForItsLineEnd) {
    Simulator sim({"--strand-every", "1"});
    TelnetProbe probe;
    connectAndAwaitGreeting(probe, sim);
    const std::size_t mark = probe.data().size();
    probe.send(kCommand + "\r");
    ASSERT_TRUE(WaitUntil([&] { return probe.dataFrom(mark).size() >= 15; }, 3000));
    Pump(300);
    EXPECT_TRUE(std::regex_match(probe.dataFrom(mark), kReading)) << probe.dataFrom(mark);
}

TEST(QtTelnetData, UnitPrefixComesInFrontOfTheReading) {
    Simulator sim({"--prefix", "V"});
    TelnetProbe probe;
    connectAndAwaitGreeting(probe, sim);
    const std::size_t mark = probe.data().size();
    probe.send(kCommand + "\r");
    ASSERT_TRUE(WaitUntil([&] { return endsWithLine(probe.dataFrom(mark)); }, 3000));
    const std::string reply = probe.dataFrom(mark);
    ASSERT_EQ(reply.front(), 'V');
    EXPECT_TRUE(std::regex_match(reply.substr(1, reply.size() - 3), kReading)) << reply;
}

TEST(QtTelnetData, BinaryBytesIncludingNulAnd255ArriveAsData) {
    Simulator sim({"--binary", "64"});
    TelnetProbe probe;
    connectAndAwaitGreeting(probe, sim);
    const std::size_t mark = probe.data().size();
    probe.send(kCommand + "\r");
    ASSERT_TRUE(WaitUntil([&] { return probe.dataFrom(mark).size() >= 64 + 17 - 4; }, 3000));
    ASSERT_TRUE(WaitUntil([&] { return endsWithLine(probe.dataFrom(mark)); }, 3000));
    const std::string reply = probe.dataFrom(mark);
    EXPECT_EQ(reply.front(), '\0');
    EXPECT_NE(reply.find('\xFF'), std::string::npos);
}

TEST(QtTelnetData, NegotiationBurstLeavesOnlyTheGreetingAsData) {
    Simulator sim({"--negotiation-burst", "5000"});
    TelnetProbe probe;
    connectAndAwaitGreeting(probe, sim);
    EXPECT_EQ(probe.data().find('\xFF'), std::string::npos);
    EXPECT_EQ(probe.data().substr(0, 4), "KISS");
    const std::size_t mark = probe.data().size();
    probe.send(kCommand + "\r");
    EXPECT_TRUE(WaitUntil([&] { return endsWithLine(probe.dataFrom(mark)); }, 3000));
}

TEST(QtTelnetData, AMegabyteWithoutLineEndArrivesInFull) {
    Simulator sim({"--flood", "1048576"});
    TelnetProbe probe;
    connectAndAwaitGreeting(probe, sim);
    const std::size_t mark = probe.data().size();
    probe.send(kCommand + "\r");
    ASSERT_TRUE(WaitUntil([&] { return probe.dataFrom(mark).size() >= 1048576; }, 5000));
    EXPECT_EQ(probe.dataFrom(mark).size(), 1048576u);
    EXPECT_EQ(probe.dataFrom(mark).find_first_of("\r\n"), std::string::npos);
}

}  // namespace
}  // namespace qs::test
