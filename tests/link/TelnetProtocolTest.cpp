#include <gtest/gtest.h>

#include <string>

#include "link/TelnetProtocol.h"

namespace qs {
namespace {

// Telnet command bytes (RFC 854), spelled out here rather than taken from
// libtelnet so that the tests check the wire against the standard.
constexpr char IAC = '\xFF';
constexpr char DONT = '\xFE';
constexpr char DO = '\xFD';
constexpr char WONT = '\xFC';
constexpr char WILL = '\xFB';
constexpr char SB = '\xFA';
constexpr char SE = '\xF0';
constexpr char ECHO_ = '\x01';
constexpr char SGA = '\x03';
constexpr char TTYPE = '\x18';
constexpr char NAWS = '\x1F';
constexpr char LINEMODE = '\x22';
constexpr char COMPRESS2 = '\x56';
constexpr char IS = '\x00';
constexpr char SEND = '\x01';

std::string bytes(std::initializer_list<char> list) { return std::string(list); }

const std::string kTtypeSend = bytes({IAC, SB, TTYPE, SEND, IAC, SE});
const std::string kTtypeIsDumb = bytes({IAC, SB, TTYPE, IS}) + "dumb" + bytes({IAC, SE});

TEST(TelnetProtocolTerminalType, AgreesToTtypeAndReportsDumb) {
    TelnetProtocol protocol;
    auto first = protocol.receive(bytes({IAC, DO, TTYPE}));
    EXPECT_EQ(first.toPeer, bytes({IAC, WILL, TTYPE}));
    EXPECT_EQ(first.data, "");
    auto second = protocol.receive(kTtypeSend);
    EXPECT_EQ(second.toPeer, kTtypeIsDumb);
    EXPECT_EQ(second.data, "");
}

TEST(TelnetProtocolTerminalType, RepeatedDoTtypeIsAnsweredOnlyOnce) {
    TelnetProtocol protocol;
    auto out = protocol.receive(bytes({IAC, DO, TTYPE, IAC, DO, TTYPE, IAC, DO, TTYPE}));
    EXPECT_EQ(out.toPeer, bytes({IAC, WILL, TTYPE}));
}

TEST(TelnetProtocolTerminalType, ResetStartsANewLinkFromScratch) {
    TelnetProtocol protocol;
    protocol.receive(bytes({IAC, DO, TTYPE}));
    protocol.reset();
    EXPECT_EQ(protocol.receive(bytes({IAC, DO, TTYPE})).toPeer, bytes({IAC, WILL, TTYPE}));
}

TEST(TelnetProtocolTerminalType, NeverSpeaksFirst) {
    TelnetProtocol protocol;
    auto out = protocol.receive("KISS-488 ready\r\n");
    EXPECT_EQ(out.toPeer, "");
    EXPECT_EQ(out.data, "KISS-488 ready\r\n");
}

struct RefusalCase {
    const char* name;
    std::string request;
    std::string answer;
};

class TelnetProtocolRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(TelnetProtocolRefusal, AnswersOrStaysSilentAsTheQMethodSays) {
    TelnetProtocol protocol;
    auto out = protocol.receive(GetParam().request);
    EXPECT_EQ(out.toPeer, GetParam().answer);
    EXPECT_EQ(out.data, "");
}

INSTANTIATE_TEST_SUITE_P(
    Options, TelnetProtocolRefusal,
    ::testing::Values(RefusalCase{"DoEcho", bytes({IAC, DO, ECHO_}), bytes({IAC, WONT, ECHO_})},
                      RefusalCase{"DoNaws", bytes({IAC, DO, NAWS}), bytes({IAC, WONT, NAWS})},
                      RefusalCase{"DoLinemode", bytes({IAC, DO, LINEMODE}), bytes({IAC, WONT, LINEMODE})},
                      RefusalCase{"WillEcho", bytes({IAC, WILL, ECHO_}), bytes({IAC, DONT, ECHO_})},
                      RefusalCase{"WillSga", bytes({IAC, WILL, SGA}), bytes({IAC, DONT, SGA})},
                      // We report our terminal type; we never ask for the adapter's.
                      RefusalCase{"WillTtype", bytes({IAC, WILL, TTYPE}), bytes({IAC, DONT, TTYPE})},
                      RefusalCase{"DoOption200", bytes({IAC, DO, '\xC8'}), bytes({IAC, WONT, '\xC8'})},
                      // Confirmations of a state we are already in need no answer.
                      RefusalCase{"WontEcho", bytes({IAC, WONT, ECHO_}), ""},
                      RefusalCase{"DontEcho", bytes({IAC, DONT, ECHO_}), ""},
                      RefusalCase{"DontTtypeWhileOff", bytes({IAC, DONT, TTYPE}), ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TelnetProtocolRefusal, SwitchingTtypeOffIsAcknowledged) {
    TelnetProtocol protocol;
    protocol.receive(bytes({IAC, DO, TTYPE}));
    EXPECT_EQ(protocol.receive(bytes({IAC, DONT, TTYPE})).toPeer, bytes({IAC, WONT, TTYPE}));
}

TEST(TelnetProtocolData, NegotiationsAmidDataLeaveOnlyTheData) {
    TelnetProtocol protocol;
    auto out = protocol.receive("+1.2" + bytes({IAC, DO, ECHO_}) + "34" + bytes({IAC, WILL, SGA}) + "5E+00" +
                                bytes({IAC, '\xF1'}) + "\r\n");  // IAC NOP
    EXPECT_EQ(out.data, "+1.2345E+00\r\n");
    EXPECT_EQ(out.toPeer, bytes({IAC, WONT, ECHO_, IAC, DONT, SGA}));
}

TEST(TelnetProtocolData, EscapedIacArrivesAsOneByte255) {
    TelnetProtocol protocol;
    auto out = protocol.receive(bytes({'A', IAC, IAC, 'B', IAC, IAC, IAC, IAC}));
    EXPECT_EQ(out.data, bytes({'A', IAC, 'B', IAC, IAC}));
    EXPECT_EQ(out.toPeer, "");
}

TEST(TelnetProtocolData, Byte255IsDoubledOnTheWire) {
    TelnetProtocol protocol;
    EXPECT_EQ(protocol.encode(bytes({'x', IAC, 'y'})), bytes({'x', IAC, IAC, 'y'}));
    EXPECT_EQ(protocol.encode(bytes({IAC})), bytes({IAC, IAC}));
}

TEST(TelnetProtocolData, EveryOtherByteGoesOnTheWireUnchanged) {
    TelnetProtocol protocol;
    std::string all;
    for (int b = 0; b < 255; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(protocol.encode(all), all);
}

TEST(TelnetProtocolData, CarriageReturnGoesOutAsABareByte13) {
    TelnetProtocol protocol;
    EXPECT_EQ(protocol.encode("\r"), std::string(1, '\x0D'));
    EXPECT_EQ(protocol.encode("MEAS:VOLT:DC? 5,0.00001\r"), "MEAS:VOLT:DC? 5,0.00001\r");
}

TEST(TelnetProtocolData, NulPaddingBehindCrIsDropped) {
    TelnetProtocol protocol;
    EXPECT_EQ(protocol.receive(bytes({'1', '\r', '\0', '2', '\r', '\n'})).data, "1\r2\r\n");
}

TEST(TelnetProtocolData, NulPaddingInTheNextChunkIsDroppedToo) {
    TelnetProtocol protocol;
    EXPECT_EQ(protocol.receive("1.5\r").data, "1.5\r");
    EXPECT_EQ(protocol.receive(bytes({'\0', '2'})).data, "2");
}

TEST(TelnetProtocolData, NulElsewhereIsData) {
    TelnetProtocol protocol;
    EXPECT_EQ(protocol.receive(bytes({'\0', 'a', '\0', '\n', '\0'})).data, bytes({'\0', 'a', '\0', '\n', '\0'}));
}

TEST(TelnetProtocolData, UnnegotiatedCompressionMarkerDoesNotSwallowTheData) {
    TelnetProtocol protocol;
    auto out = protocol.receive("1.5" + bytes({IAC, SB, COMPRESS2, IAC, SE}) + "+2.25E+00\r\n");
    EXPECT_EQ(out.data, "1.5+2.25E+00\r\n");
    EXPECT_EQ(protocol.receive("3\r\n").data, "3\r\n");
}

// One stream with data, negotiations, a subnegotiation, escaped 255 and CR
// NUL, cut at every position: the parser must make the same of both pieces.
TEST(TelnetProtocolChunks, EverySplitPositionGivesTheSameResult) {
    const std::string stream = bytes({IAC, DO, TTYPE}) + "KI" + kTtypeSend + "SS\r\n" + bytes({IAC, WILL, ECHO_}) +
                               bytes({'7', IAC, IAC, '8', '\r', '\0', '9'}) + bytes({IAC, DO, NAWS}) + "\r\n";
    const std::string expectedData = bytes({'K', 'I', 'S', 'S', '\r', '\n', '7', IAC, '8', '\r', '9', '\r', '\n'});
    const std::string expectedToPeer =
        bytes({IAC, WILL, TTYPE}) + kTtypeIsDumb + bytes({IAC, DONT, ECHO_}) + bytes({IAC, WONT, NAWS});
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        TelnetProtocol protocol;
        auto a = protocol.receive(stream.substr(0, cut));
        auto b = protocol.receive(stream.substr(cut));
        EXPECT_EQ(a.data + b.data, expectedData) << "cut at " << cut;
        EXPECT_EQ(a.toPeer + b.toPeer, expectedToPeer) << "cut at " << cut;
    }
}

TEST(TelnetProtocolChunks, OneByteAtATimeGivesTheSameResult) {
    const std::string stream = bytes({IAC, DO, TTYPE}) + kTtypeSend + bytes({'a', IAC, IAC, 'b', IAC, DO, ECHO_});
    TelnetProtocol protocol;
    std::string data;
    std::string toPeer;
    for (char c : stream) {
        auto out = protocol.receive(std::string(1, c));
        data += out.data;
        toPeer += out.toPeer;
    }
    EXPECT_EQ(data, bytes({'a', IAC, 'b'}));
    EXPECT_EQ(toPeer, bytes({IAC, WILL, TTYPE}) + kTtypeIsDumb + bytes({IAC, WONT, ECHO_}));
}

std::string repeated(const std::string& unit, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += unit;
    return all;
}

TEST(TelnetProtocolStorm, RepeatedRefusedRequestsGetABoundedNumberOfAnswers) {
    TelnetProtocol protocol;
    auto out = protocol.receive(repeated(bytes({IAC, DO, ECHO_}), 10000) + "1.5\r\n");
    EXPECT_EQ(out.toPeer, repeated(bytes({IAC, WONT, ECHO_}), TelnetProtocol::kAnswersPerOption));
    EXPECT_EQ(out.data, "1.5\r\n");
    EXPECT_EQ(protocol.suppressedAnswers(), 10000u - TelnetProtocol::kAnswersPerOption);
}

TEST(TelnetProtocolStorm, StormSpreadOverManyChunksStaysBounded) {
    TelnetProtocol protocol;
    std::size_t answered = 0;
    for (int i = 0; i < 10000; ++i) answered += protocol.receive(bytes({IAC, WILL, SGA})).toPeer.size();
    EXPECT_EQ(answered, 3u * TelnetProtocol::kAnswersPerOption);
}

TEST(TelnetProtocolStorm, TogglingTtypeCannotPingPongForever) {
    TelnetProtocol protocol;
    auto out = protocol.receive(repeated(bytes({IAC, DO, TTYPE, IAC, DONT, TTYPE}), 10000));
    EXPECT_EQ(out.toPeer.size(), 3u * TelnetProtocol::kAnswersPerOption);
}

TEST(TelnetProtocolStorm, RepeatedTerminalTypeRequestsGetABoundedNumberOfAnswers) {
    TelnetProtocol protocol;
    protocol.receive(bytes({IAC, DO, TTYPE}));
    auto out = protocol.receive(repeated(kTtypeSend, 10000));
    EXPECT_EQ(out.toPeer, repeated(kTtypeIsDumb, TelnetProtocol::kAnswersPerOption));
}

TEST(TelnetProtocolStorm, EveryOptionAtOnceStaysBounded) {
    TelnetProtocol protocol;
    std::string storm;
    for (int round = 0; round < 40; ++round)
        for (int option = 0; option < 256; ++option)
            for (char verb : {WILL, DO}) storm += bytes({IAC, verb, static_cast<char>(option)});
    auto out = protocol.receive(storm);
    // At most one budget per option and direction, whatever the storm's size.
    EXPECT_LE(out.toPeer.size(), 2u * 256u * 3u * TelnetProtocol::kAnswersPerOption);
    EXPECT_EQ(out.data, "");
}

TEST(TelnetProtocolStorm, ResetRestoresTheBudget) {
    TelnetProtocol protocol;
    protocol.receive(repeated(bytes({IAC, DO, ECHO_}), 100));
    protocol.reset();
    EXPECT_EQ(protocol.receive(bytes({IAC, DO, ECHO_})).toPeer, bytes({IAC, WONT, ECHO_}));
}

}  // namespace
}  // namespace qs
