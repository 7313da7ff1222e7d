// Which received bytes can become a sample: only the first line of a reply
// the logger asked for, after the adapter's greeting on this link. A banner,
// a notice, the rest of a line cut in two and the echo of the command are
// shown and logged, and never reach the data file.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WindowHarness.h"
#include "core/ReplyLines.h"

namespace qs {
namespace {

using test::FileExists;
using test::ReadFile;

struct WhatIsASample : ::testing::Test {
    test::WindowHarness h;
    TGPIBTelnet& w = h.w;

    WhatIsASample() {
        w.FilterPoints.setText("10");
        w.TextFileBox.setText("Data.txt");
        w.MinStringBox.setText("1");
        w.SaveResultsBox.setChecked(true);
    }
};

// ---- the rest of a line cut in two

struct CutLineCase {
    const char* name;
    std::vector<std::string> chunks;  // each answers a poll
    std::vector<double> samples;
};

class RestOfACutLine : public WhatIsASample, public ::testing::WithParamInterface<CutLineCase> {};

TEST_P(RestOfACutLine, IsNeverTheStartOfAReply) {
    for (const std::string& chunk : GetParam().chunks) h.answer(chunk);
    ASSERT_EQ(h.series(1).Count(), static_cast<int>(GetParam().samples.size()));
    for (std::size_t i = 0; i < GetParam().samples.size(); ++i)
        EXPECT_DOUBLE_EQ(h.series(1).YValue(static_cast<int>(i)), GetParam().samples[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Bursts, RestOfACutLine,
    ::testing::Values(
        CutLineCase{"TailInTheNextChunk", {"1.5\r\n2.5\r\n3.45", "67E+00\r\n4.5\r\n"}, {1.5, 4.5}},
        CutLineCase{"TailOverTwoChunks", {"1.5\r\n2.5\r\n3.45", "67", "E+00\r\n4.5\r\n"}, {1.5, 4.5}},
        CutLineCase{"TailAndItsLineEndsAlone", {"1.5\r\n3.45", "67\r\n", "4.5\r\n"}, {1.5, 4.5}},
        CutLineCase{"LineEndsOfTheLastLineAreNoCut", {"1.5\r\n2.5\r\n", "4.5\r\n"}, {1.5, 4.5}},
        CutLineCase{"APromptBehindAReplyIsNoCut", {"1.5\r\n> ", "4.5\r\n"}, {1.5, 4.5}},
        CutLineCase{"TheAdaptersPromptIsNoCut", {"1.5\r\nKISS-488> ", "4.5\r\n"}, {1.5, 4.5}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WhatIsASample, ANewLinkEndsALineTheOldOneCut) {
    h.answer("1.5\r\n3.45");
    w.TelnetConnected();
    h.receive("KISS-488 ready\r\n");
    h.answer("4.5\r\n");
    EXPECT_EQ(w.State.SampleCount, 2);
    EXPECT_DOUBLE_EQ(w.State.LastValue1, 4.5);
}

// ---- text nobody asked for

struct UnaskedCase {
    const char* name;
    int greeted;
    int awaiting;
    const char* text;
};

class TextNobodyAskedFor : public WhatIsASample, public ::testing::WithParamInterface<UnaskedCase> {};

TEST_P(TextNobodyAskedFor, IsShownAndLoggedButIsNoSample) {
    const UnaskedCase& c = GetParam();
    w.State.greetedOnLink = c.greeted;
    w.State.PollBusy = c.awaiting;
    w.State.AwaitingReply = c.awaiting;
    h.receive(std::string(c.text) + "\r\n");
    EXPECT_EQ(w.MeasuredBox.text(), c.text);
    EXPECT_EQ(ReadFile("Results.txt"), "{" + std::string(c.text) + "\r\r\n}");
    EXPECT_EQ(w.State.SampleCount, 0);
    EXPECT_FALSE(FileExists("Data.txt"));
    EXPECT_EQ(w.State.AwaitingReply, c.awaiting) << "a reply still awaited stays awaited";
    EXPECT_EQ(w.State.PollBusy, c.awaiting);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextNobodyAskedFor,
    ::testing::Values(UnaskedCase{"ABannerBeforeTheGreeting", 0, 0, "Bench LAN port 3, line discipline 8N1"},
                      UnaskedCase{"ABannerBeforeTheGreetingWhileAPollWaits", 0, 1, "Bench LAN port 3"},
                      UnaskedCase{"ANumberBeforeTheGreeting", 0, 1, "+1.2345E+00"},
                      UnaskedCase{"ANoticeBetweenTwoPolls", 1, 0, "STATUS 00012 OK"},
                      UnaskedCase{"ANumberBetweenTwoPolls", 1, 0, "+1.2345E+00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WhatIsASample, TheFurtherLinesOfABurstBetweenPollsAreNoSamples) {
    h.answer("1.5\r\n");
    h.receive("2.5\r\n");
    h.receive("3.5\r\n");
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_EQ(w.MeasuredBox.text(), "3.5");
}

TEST_F(WhatIsASample, ABannerOnANewLinkIsNoSampleAlthoughTheOldLinkHadGreeted) {
    h.receive("KISS-488 ready\r\n");
    w.TelnetConnected();
    w.State.PollBusy = 1;
    w.State.AwaitingReply = 1;
    h.receive("Bench LAN port 3\r\n");
    EXPECT_EQ(w.State.SampleCount, 0);
    h.receive("KISS-488 ready\r\n");
    EXPECT_EQ(w.State.DataEvents, 2);
}

// ---- the greeting

struct GreetingCase {
    const char* name;
    std::vector<std::string> chunks;
};

class AGreeting : public WhatIsASample, public ::testing::WithParamInterface<GreetingCase> {};

TEST_P(AGreeting, IsAnyReceivedTextHoldingKiss) {
    for (const std::string& chunk : GetParam().chunks) h.receive(chunk);
    EXPECT_EQ(w.State.DataEvents, 1);
    EXPECT_TRUE(w.Timer1.enabled());
    EXPECT_EQ(w.State.greetedOnLink, 1);
    EXPECT_EQ(w.State.ReceiveLength, 0);
    EXPECT_EQ(w.State.SampleCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Greetings, AGreeting,
    ::testing::Values(GreetingCase{"WithALineEnd", {"KISS-488 ready\r\n"}},
                      GreetingCase{"APromptWithoutALineEnd", {"KISS-488> "}},
                      GreetingCase{"APromptInPieces", {"KI", "SS-488> "}},
                      GreetingCase{"BehindABannerInOneChunk", {"Bench LAN port 3\r\nKISS-488 ready\r\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

// On a live link: the logger polls after a prompt greeting, and a reply
// after it is a sample.
TEST_F(WhatIsASample, APromptGreetingStartsThePolls) {
    h.vp.telnet.greeting = "KISS-488> ";
    w.FormCreate();
    w.StartButton.Click();
    h.advance(5000);
    EXPECT_GE(h.vp.telnet.commands().size(), 2u);
    EXPECT_GE(w.State.SampleCount, 2);
}

// ---- the echo of a command

struct EchoCase {
    const char* name;
    bool separateChunks;
};

class TheEcho : public WhatIsASample, public ::testing::WithParamInterface<EchoCase> {};

TEST_P(TheEcho, OfTheCommandJustSentIsShownAndLoggedButIsNoSample) {
    const bool separate = GetParam().separateChunks;
    w.FormCreate();
    w.RadioButton1.setChecked(true);
    h.vp.telnet.reply = [this, separate](const std::string& command) -> std::optional<std::string> {
        if (!separate) return command + "\r\n+1.25E+00\r\n";
        h.vp.telnet.deliver(command + "\r\n");
        return std::string("+1.25E+00\r\n");
    };
    w.StartButton.Click();
    h.advance(10000);
    w.ResetButton.Click();
    ASSERT_GE(w.State.SampleCount, 3);
    EXPECT_EQ(w.State.SampleCount, static_cast<int>(h.vp.telnet.commands().size()));
    for (int i = 0; i < h.series(1).Count(); ++i) EXPECT_DOUBLE_EQ(h.series(1).YValue(i), 1.25) << i;
    EXPECT_NE(ReadFile("Results.txt").find("{" + w.CommandBox.text() + "\r\r\n"), std::string::npos);
    EXPECT_EQ(ReadFile("Data.txt").find(w.CommandBox.text()), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Echoes, TheEcho,
                         ::testing::Values(EchoCase{"InItsOwnChunk", true}, EchoCase{"WithTheReplyInOneChunk", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WhatIsASample, ALineEqualToTheCommandIsAnEchoOnlyOnce) {
    w.State.lastCommand = "READ?";
    h.answer("READ?\r\n");
    EXPECT_EQ(w.State.SampleCount, 0);
    EXPECT_EQ(w.State.AwaitingReply, 1) << "the reply is still to come";
    h.answer("READ?\r\n");
    EXPECT_EQ(w.State.SampleCount, 1);
}

// ---- the pure rules

TEST(ReplyLines, EndsInsideALineWhenBytesFollowTheLastLineEnd) {
    struct Case {
        const char* text;
        bool inside;
    } cases[] = {{"1.5\r\n", false}, {"1.5\r\n2.", true}, {"1.5", false},        {"1.5\r\n> ", false},
                 {"1.5\r\nKISS", false}, {"1.5\r\n  ", true}, {"1.5\r\n2.5\r", false}};
    for (const Case& c : cases) EXPECT_EQ(EndsInsideALine(c.text), c.inside) << c.text;
}

TEST(ReplyLines, TheRestOfACutLineRunsThroughItsLineEnds) {
    struct Case {
        const char* chunk;
        std::size_t length;
        bool ended;
    } cases[] = {{"67\r\n4.5\r\n", 4, true}, {"67", 2, false}, {"\r\n1", 2, true}, {"", 0, false}};
    for (const Case& c : cases) {
        const std::string chunk = c.chunk;
        const CutLineRest rest = RestOfCutLine(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size());
        EXPECT_EQ(rest.length, c.length) << c.chunk;
        EXPECT_EQ(rest.lineEnded, c.ended) << c.chunk;
    }
}

TEST(ReplyLines, AnEchoIsAWholeFirstLineEqualToTheCommand) {
    EXPECT_TRUE(IsEchoOf("READ?\r\n", "READ?"));
    EXPECT_TRUE(IsEchoOf("READ?\r\n1.5\r\n", "READ?"));
    EXPECT_FALSE(IsEchoOf("READ?", "READ?")) << "no line end yet";
    EXPECT_FALSE(IsEchoOf("READ?X\r\n", "READ?"));
    EXPECT_FALSE(IsEchoOf("\r\n", ""));
    EXPECT_EQ(AfterFirstLine("READ?\r\n1.5\r\n"), "1.5\r\n");
}

}  // namespace
}  // namespace qs
