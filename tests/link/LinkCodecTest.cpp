#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PassThroughCodec.h"
#include "link/LinkCodecTable.h"
#include "platform/Exception.h"

namespace qs::test {
namespace {

std::string bytes(std::initializer_list<char> list) { return std::string(list); }

constexpr char IAC = '\xFF';
constexpr char DO = '\xFD';
constexpr char WILL = '\xFB';
constexpr char TTYPE = '\x18';

TEST(LinkCodecTable, TheProgramSpeaksTelnetOnly) {
    ASSERT_EQ(ProgramLinkCodecs().size(), 1u);
    EXPECT_EQ(ProgramLinkCodecs()[0].name, "telnet");
    EXPECT_NE(MakeLinkCodec(ProgramLinkCodecs(), "telnet"), nullptr);
    EXPECT_THROW(MakeLinkCodec(ProgramLinkCodecs(), kPassThroughLink), Exception);
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
