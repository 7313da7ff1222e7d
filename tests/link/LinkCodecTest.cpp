#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "PassThroughCodec.h"
#include "link/ControllerCodec.h"
#include "link/LineCodec.h"
#include "link/LinkCodecTable.h"
#include "platform/Exception.h"

namespace qs::test {
namespace {

std::string bytes(std::initializer_list<char> list) { return std::string(list); }

constexpr char IAC = '\xFF';
constexpr char DO = '\xFD';
constexpr char WILL = '\xFB';
constexpr char TTYPE = '\x18';

// Each kind the host box names has its codec, readiness and command end.
TEST(LinkCodecTable, TheProgramSpeaksEveryKindTheHostBoxNames) {
    struct Row {
        const char* hostBox;
        std::string_view name;
        LinkReadiness readiness;
        char commandEnd;
        std::string opening;
    };
    const Row rows[] = {
        {"192.168.1.88", "telnet", LinkReadiness::Greeting, '\r', ""},
        {"tcp://10.0.0.5:5025", "raw", LinkReadiness::Connected, '\n', ""},
        {"prologix://10.0.0.7/22", "prologix", LinkReadiness::FirstLine, '\n',
         "++savecfg 0\n++mode 1\n++auto 1\n++eoi 1\n++eos 2\n++read_tmo_ms 1500\n++addr 22\n++ver\n"},
    };
    ASSERT_EQ(ProgramLinkCodecs().size(), std::size(rows));
    for (const Row& row : rows) {
        const LinkTarget target = ParseLinkTarget(row.hostBox);
        const LinkCodecKind& kind = FindLinkKind(ProgramLinkCodecs(), target.kind);
        EXPECT_EQ(kind.name, row.name) << row.hostBox;
        EXPECT_EQ(kind.readiness, row.readiness) << row.hostBox;
        EXPECT_EQ(kind.commandEnd, row.commandEnd) << row.hostBox;
        const std::unique_ptr<LinkCodec> codec = MakeLinkCodec(ProgramLinkCodecs(), target, 2000);
        EXPECT_EQ(codec->opening(), row.opening) << row.hostBox;
        // The command end the transcript keeps is the one the codec sends
        // (Telnet puts a NUL behind a bare CR).
        ASSERT_FALSE(codec->encodeEnd().empty());
        EXPECT_EQ(codec->encodeEnd().front(), kind.commandEnd) << row.hostBox;
        EXPECT_EQ(&FindLinkKind(ProgramLinkCodecs(), row.name), &kind);
    }
    EXPECT_THROW(MakeLinkCodec(ProgramLinkCodecs(), kPassThroughLink), Exception);
}

TEST(LinkCodecTable, TheStatusLineNamesEveryLinkButTheAdapters) {
    const std::pair<const char*, const char*> rows[] = {
        {"192.168.1.88", ""},
        {"telnet://bench:2323", ""},
        {"tcp://10.0.0.5:5025", "raw socket 10.0.0.5:5025"},
        {"tcp://[::1]:5025", "raw socket [::1]:5025"},
        {"prologix://10.0.0.7/22", "GPIB-Ethernet controller 10.0.0.7:1234, GPIB address 22"},
    };
    for (const auto& [hostBox, label] : rows)
        EXPECT_EQ(LinkLabel(ProgramLinkCodecs(), ParseLinkTarget(hostBox)), label) << hostBox;
}

TEST(LinkCodecTable, AnUnknownKindIsRefusedByName) {
    try {
        MakeLinkCodec(TestLinkCodecs(), "gpib-ethernet");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("\"gpib-ethernet\""), std::string::npos) << e.what();
    }
}

// One exchange with a fresh codec of a kind: what the application sends, and
// what the peer sends.
struct CodecCase {
    const char* name;
    std::string_view kind;
    std::string sent, wireOut;
    std::string received, data, answer;
};

class LinkCodecExchange : public ::testing::TestWithParam<CodecCase> {};

TEST_P(LinkCodecExchange, EncodesAndDecodesAsItsProtocolSays) {
    const CodecCase& c = GetParam();
    const std::unique_ptr<LinkCodec> codec = MakeLinkCodec(TestLinkCodecs(), c.kind);
    EXPECT_EQ(codec->encode(c.sent), c.wireOut);
    const LinkCodec::Received in = codec->receive(c.received);
    EXPECT_EQ(in.data, c.data);
    EXPECT_EQ(in.toPeer, c.answer);
}

const std::string kAllBytes = [] {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    return all;
}();

INSTANTIATE_TEST_SUITE_P(
    Kinds, LinkCodecExchange,
    ::testing::Values(
        CodecCase{"TelnetDoublesIacAndAgreesToTtype", "telnet", bytes({'A', IAC, '\r'}), bytes({'A', IAC, IAC, '\r'}),
                  bytes({IAC, DO, TTYPE}) + "ok", "ok", bytes({IAC, WILL, TTYPE})},
        CodecCase{"TelnetUndoublesIac", "telnet", "", "", bytes({'x', IAC, IAC, 'y'}), bytes({'x', IAC, 'y'}), ""},
        CodecCase{"PassThroughLeavesEveryByte", kPassThroughLink, kAllBytes, kAllBytes, kAllBytes, kAllBytes, ""},
        CodecCase{"PassThroughNeverAnswers", kPassThroughLink, "", "", bytes({IAC, DO, TTYPE}),
                  bytes({IAC, DO, TTYPE}), ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LinkCodecTable, EachLinkGetsACodecOfItsOwn) {
    const auto table = TestLinkCodecs();
    const std::unique_ptr<LinkCodec> first = MakeLinkCodec(table, "telnet");
    const std::unique_ptr<LinkCodec> second = MakeLinkCodec(table, "telnet");
    // The first has answered DO TTYPE and stays silent on a repeat; the
    // second has heard nothing yet.
    first->receive(bytes({IAC, DO, TTYPE}));
    EXPECT_EQ(first->receive(bytes({IAC, DO, TTYPE})).toPeer, "");
    EXPECT_EQ(second->receive(bytes({IAC, DO, TTYPE})).toPeer, bytes({IAC, WILL, TTYPE}));
    first->reset();
    EXPECT_EQ(first->receive(bytes({IAC, DO, TTYPE})).toPeer, bytes({IAC, WILL, TTYPE}));
}

}  // namespace
}  // namespace qs::test

namespace qs::test {
namespace {

// ---- the raw socket and the controller

struct EscapeCase {
    const char* name;
    std::string command, wire;
};

class ControllerEscaping : public ::testing::TestWithParam<EscapeCase> {};

// The controller's manual: CR, LF, ESC and "+" inside data go out behind an
// ESC; an unescaped CR or LF ends the command, and "++" at its start makes
// it a controller command.
TEST_P(ControllerEscaping, NoCommandCanReachTheController) {
    ControllerCodec codec(5, 5000);
    EXPECT_EQ(codec.encode(GetParam().command) + codec.encodeEnd(), GetParam().wire);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ControllerEscaping,
    ::testing::Values(EscapeCase{"PlainQuery", "MEAS:VOLT:DC? 5,0.00001", "MEAS:VOLT:DC? 5,0.00001\n"},
                      EscapeCase{"PlusSign", "VOLT +1.5", "VOLT \x1b+1.5\n"},
                      EscapeCase{"ControllerCommand", "++savecfg 1", "\x1b+\x1b+savecfg 1\n"},
                      EscapeCase{"LineEndsInside", "A\rB\nC", "A\x1b\rB\x1b\nC\n"},
                      EscapeCase{"EscInside", "\x1b+", "\x1b\x1b\x1b+\n"},
                      EscapeCase{"OtherBytesAsTheyAre", std::string("\x00\x01\xff~", 4),
                                 std::string("\x00\x01\xff~\n", 5)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ControllerCodec, OpeningSetsTheControllerUpOnEveryLink) {
    ControllerCodec codec(22, 5000);
    const std::string expected =
        "++savecfg 0\n++mode 1\n++auto 1\n++eoi 1\n++eos 2\n++read_tmo_ms 3000\n++addr 22\n++ver\n";
    EXPECT_EQ(codec.opening(), expected);
    codec.reset();
    EXPECT_EQ(codec.opening(), expected);
}

TEST(ControllerCodec, ReadTimeOutStaysHalfASecondInsideTheLoggersAndAtMost3000Ms) {
    // min(3000, time-out - 500 ms), by hand.
    const std::pair<int, int> cases[] = {{1000, 500}, {2000, 1500}, {3400, 2900}, {3500, 3000}, {5000, 3000},
                                         {600000, 3000}};
    for (const auto& [timeout, read] : cases) {
        EXPECT_EQ(ControllerCodec::ReadTimeoutMs(timeout), read) << timeout;
        EXPECT_NE(ControllerCodec(0, timeout).opening().find("++read_tmo_ms " + std::to_string(read) + "\n"),
                  std::string::npos);
    }
}

TEST(LineCodec, CommandsGoOutAsTheyAreWithLf) {
    LineCodec codec;
    EXPECT_EQ(codec.encode(kAllBytes) + codec.encodeEnd(), kAllBytes + "\n");
    EXPECT_EQ(codec.opening(), "");
}

struct ReplyCase {
    const char* name;
    std::string wire, data;
};

class LineReplies : public ::testing::TestWithParam<ReplyCase> {};

// Every split of the reply into two chunks, and one byte a chunk, gives the
// same data, for the raw socket and the controller alike.
TEST_P(LineReplies, ASplitAnywhereChangesNothing) {
    const ReplyCase& c = GetParam();
    std::vector<std::unique_ptr<LinkCodec>> codecs;
    codecs.push_back(std::make_unique<LineCodec>());
    codecs.push_back(std::make_unique<ControllerCodec>(5, 5000));
    for (const auto& codec : codecs) {
        for (std::size_t cut = 0; cut <= c.wire.size(); ++cut) {
            codec->reset();
            std::string data = codec->receive(c.wire.substr(0, cut)).data;
            data += codec->receive(c.wire.substr(cut)).data;
            EXPECT_EQ(data, c.data) << "cut at " << cut;
        }
        codec->reset();
        std::string data;
        for (char b : c.wire) {
            const LinkCodec::Received in = codec->receive(std::string_view(&b, 1));
            EXPECT_EQ(in.toPeer, "");
            data += in.data;
        }
        EXPECT_EQ(data, c.data);
    }
}

const std::string k9999 = [] {
    std::string reply;
    for (int i = 0; i < 9999; ++i) reply.push_back(static_cast<char>('0' + i % 10));
    return reply;
}();

INSTANTIATE_TEST_SUITE_P(
    Replies, LineReplies,
    ::testing::Values(ReplyCase{"CrLf", "+1.23456789E+00\r\n", "+1.23456789E+00\n"},
                      ReplyCase{"LfOnly", "+1.23456789E+00\n", "+1.23456789E+00\n"},
                      ReplyCase{"TwoLines", "1.5\r\n2.5\n", "1.5\n2.5\n"},
                      ReplyCase{"CrInsideStays", "A\rB\r\n", "A\rB\n"},
                      ReplyCase{"CrCrLf", "7\r\r\n", "7\r\n"},
                      ReplyCase{"EveryByteButCr", kAllBytes.substr(0, 13) + kAllBytes.substr(14),
                                kAllBytes.substr(0, 13) + kAllBytes.substr(14)},
                      ReplyCase{"Reply9999Bytes", k9999 + "\r\n", k9999 + "\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineCodec, ACrEndingALinkIsForgottenByTheNext) {
    LineCodec codec;
    EXPECT_EQ(codec.receive("1.5\r").data, "1.5");
    codec.reset();
    EXPECT_EQ(codec.receive("2.5\n").data, "2.5\n");
    // Without a reset, a held CR that no LF follows is handed on.
    EXPECT_EQ(codec.receive("3\r").data, "3");
    EXPECT_EQ(codec.receive("4\n").data, "\r4\n");
}

}  // namespace
}  // namespace qs::test
