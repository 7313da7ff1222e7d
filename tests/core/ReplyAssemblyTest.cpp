#include <string>

#include <gtest/gtest.h>

#include "WindowHarness.h"

namespace qs {
namespace {

using test::FileExists;
using test::ReadFile;

struct ReplyAssembly : ::testing::Test {
    test::WindowHarness h;
    TGPIBTelnet& w = h.w;

    ReplyAssembly() {
        w.FilterPoints.setText("10");
        w.TextFileBox.setText("Data.txt");
    }
    void poll() {
        w.State.PollBusy = 1;
        w.State.AwaitingReply = 1;
    }
};

TEST_F(ReplyAssembly, ReplySplitOverTwoChunksBecomesOneReply) {
    h.answer("+1.23");
    EXPECT_EQ(w.State.SampleCount, 0);
    EXPECT_EQ(w.MeasuredBox.text(), "");
    h.answer("45E+00\r\n");
    EXPECT_EQ(w.MeasuredBox.text(), "+1.2345E+00");
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_DOUBLE_EQ(h.series(1).YValue(0), 1.2345);
}

TEST_F(ReplyAssembly, TwoLinesInOneChunkAreOneReplyAndTheSecondNumberIsLost) {
    w.MinStringBox.setText("1");
    h.answer("1.5\r\n2.5\r\n");
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_EQ(w.MeasuredBox.text(), "1.5");
    EXPECT_EQ(w.State.ReceiveLength, 0);
}

TEST_F(ReplyAssembly, DeleteFirstDropsTheUnitPrefixButNeverTheOnlyCharacter) {
    w.DeleteFirstCheckBox.setChecked(true);
    h.answer("F+10.001\r\n");
    EXPECT_DOUBLE_EQ(h.series(1).YValue(0), 10.001);
    EXPECT_NE(ReadFile("Data.txt").find(", +10.001, "), std::string::npos);

    w.MinStringBox.setText("1");
    h.answer("5\r\n");
    EXPECT_EQ(w.State.SampleCount, 2);
    EXPECT_DOUBLE_EQ(h.series(1).YValue(1), 5.0);
}

TEST_F(ReplyAssembly, RepliesShorterThanTheMinimumAreRejectedAndFreeThePoll) {
    poll();
    h.answer("1.23\r\n");
    EXPECT_EQ(w.State.SampleCount, 0);
    EXPECT_EQ(w.State.PollBusy, 0);
    EXPECT_EQ(w.State.AwaitingReply, 0);
    EXPECT_EQ(w.MeasuredBox.text(), "1.23");
    h.answer("12.345\r\n");
    EXPECT_EQ(w.State.SampleCount, 1);
}

TEST_F(ReplyAssembly, AMinimumBelowOneBecomesFive) {
    for (const char* text : {"0", "-3"}) {
        w.MinStringBox.setText(text);
        h.answer("1.23\r\n");
        EXPECT_EQ(w.MinStringBox.text(), "5") << text;
    }
    EXPECT_EQ(w.State.SampleCount, 0);
}

// The greeting is looked for before the first character is deleted, so a
// greeting that begins with "KISS" is one with the box ticked too.
TEST_F(ReplyAssembly, AGreetingIsRecognisedWhateverItsLengthAndYieldsNoSample) {
    w.MinStringBox.setText("50");
    w.DeleteFirstCheckBox.setChecked(true);
    int greetings = 0;
    for (const std::string greeting : {"xKISS", "KISS-488 ready"}) {
        w.State.PollBusy = 1;
        w.State.AwaitingReply = 1;
        w.Timer1.setEnabled(false);
        h.answer(greeting + "\r\n");
        EXPECT_EQ(w.State.DataEvents, ++greetings) << greeting;
        EXPECT_EQ(w.State.PollBusy, 0) << greeting;
        EXPECT_EQ(w.State.AwaitingReply, 1) << "a greeting leaves AwaitingReply alone";
        EXPECT_TRUE(w.Timer1.enabled()) << greeting;
        EXPECT_EQ(w.State.SampleCount, 0) << greeting;
        EXPECT_EQ(w.MeasuredBox.text(), greeting);
    }
}

TEST_F(ReplyAssembly, EveryChunkRestartsTheCountdownEvenWithoutALineEnd) {
    w.IntervalBox.setText("2.25");
    for (const std::string& chunk : {std::string("+1.2"), std::string()}) {
        w.State.CountdownMs = 0;
        h.answer(chunk);
        EXPECT_EQ(w.State.CountdownMs, 2250);
        EXPECT_EQ(w.State.SampleCount, 0);
    }
    EXPECT_EQ(w.State.ReceiveLength, 4);
}

TEST_F(ReplyAssembly, ALoneLineFeedAfterACarriageReturnIsAnEmptyRejectedReply) {
    h.answer("1.2345\r");
    EXPECT_EQ(w.State.SampleCount, 1);
    poll();
    h.answer("\n");
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_EQ(w.MeasuredBox.text(), "");
    EXPECT_EQ(w.State.PollBusy, 0);
}

TEST_F(ReplyAssembly, StrandedBytesReplayedByTheWatchdogBecomeATimedOutSample) {
    w.SaveResultsBox.setChecked(true);
    h.answer("1.2345");
    w.State.StrandedReplay = 1;
    w.OnDataAvailable(nullptr, 0);
    w.State.StrandedReplay = 0;
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_EQ(ReadFile("Results.txt"), "[Timed-Out Retrieved-Data:{1.2345}]");
}

TEST_F(ReplyAssembly, BytesLeftBeforeAGreetingAreShownInFrontOfItAndItIsStillAGreeting) {
    h.answer("VDC +1.2");
    h.answer("KISS-488 ready\r\n");
    EXPECT_EQ(w.MeasuredBox.text(), "VDC +1.2KISS-488 ready");
    EXPECT_EQ(w.State.DataEvents, 1);
}

TEST_F(ReplyAssembly, CompleteRepliesAreLoggedInBracesInTextMode) {
    w.SaveResultsBox.setChecked(true);
    h.answer("KISS\r\n");
    h.answer("1.2\r\n");
    h.answer("+1.00000E+00\r");
    h.answer(std::string("a\0b\r\n", 5));
    EXPECT_EQ(ReadFile("Results.txt"), "{KISS\r\r\n}{1.2\r\r\n}{+1.00000E+00\r}{a}");
}

TEST_F(ReplyAssembly, NothingIsLoggedWhileSaveResultsIsOff) {
    h.answer("1.2345\r\n");
    EXPECT_FALSE(FileExists("Results.txt"));
}

// ---- limits: nothing is ever written past the buffers

// A reply whose number is not the one the instrument meant: cut by the
// working buffer, or beyond the range a sample may have (overflowing the
// double range, or so large that the mean or the filter would). It is shown
// and logged, frees the poll, and is no sample; the status line says why
// until the next sample is recorded.
struct NoSampleCase {
    const char* name;
    std::string reply;
    const char* why;
};

class ReplyThatIsNoSample : public ReplyAssembly, public ::testing::WithParamInterface<NoSampleCase> {};

TEST_P(ReplyThatIsNoSample, IsShownAndLoggedButNotCountedAndTheStatusSaysWhy) {
    const NoSampleCase& c = GetParam();
    w.SaveResultsBox.setChecked(true);
    poll();
    h.answer(c.reply + "\r\n");
    EXPECT_EQ(w.MeasuredBox.text(), c.reply.substr(0, 9999));
    EXPECT_EQ(ReadFile("Results.txt").find("{" + c.reply.substr(0, 9)), 0u);
    EXPECT_EQ(w.State.SampleCount, 0);
    EXPECT_EQ(h.series(1).Count(), 0);
    EXPECT_EQ(w.State.PollBusy, 0);
    EXPECT_EQ(w.State.AwaitingReply, 0);
    EXPECT_EQ(w.DataFileStatus.caption(), std::string("Reply not taken as a sample: ") + c.why);
    EXPECT_FALSE(FileExists("Data.txt"));

    h.answer("+1.5000\r\n");
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_EQ(w.State.Maximum, 1.5);
    EXPECT_EQ(w.DataFileStatus.caption(), "");
}

const char* const kBeyondRange = "its number lies outside -1E298 to 1E298";

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyThatIsNoSample,
    ::testing::Values(NoSampleCase{"CutByTheWorkingBuffer", "1" + std::string(20000, '0'),
                                   "it was cut at 9999 characters"},
                      NoSampleCase{"Overflowing", "1E999", kBeyondRange},
                      NoSampleCase{"OverflowingNegative", "-1e400", kBeyondRange},
                      NoSampleCase{"TooLargeForTheFilter", "+1.7E+308", kBeyondRange},
                      NoSampleCase{"JustBeyondTheLimit", "-1.0000001E298", kBeyondRange}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReplyAssembly, AReplyEndedWithinTheWorkingBufferCountsWhateverFollowsItInTheChunk) {
    h.answer("+1.2345\r\n" + std::string(20000, 'x'));
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_DOUBLE_EQ(w.State.LastValue1, 1.2345);
}

TEST_F(ReplyAssembly, AStrandedFloodReplayedByTheWatchdogIsNoSample) {
    poll();
    const std::string digits(64 * 1024, '7');
    for (int i = 0; i < 2; ++i) h.answer(digits);
    w.State.StrandedReplay = 1;
    w.OnDataAvailable(nullptr, 0);
    w.State.StrandedReplay = 0;
    EXPECT_EQ(w.State.SampleCount, 0);
    EXPECT_EQ(w.State.ReceiveLength, 0);
    EXPECT_EQ(w.State.PollBusy, 0);
}

TEST_F(ReplyAssembly, AMegabyteWithoutALineEndLeavesTheLoggerWorking) {
    const std::string flood(64 * 1024, 'x');
    for (int i = 0; i < 16; ++i) h.answer(flood);
    EXPECT_LT(w.State.ReceiveLength, kReceiveBufferSize);
    EXPECT_EQ(w.State.ReceiveBuffer[w.State.ReceiveLength], 0);
    h.answer("1.2345\r\n");  // ends the flooded reply, cut by the buffer: no sample
    EXPECT_EQ(w.State.ReceiveLength, 0);
    EXPECT_EQ(w.State.SampleCount, 0);
    h.answer("2.5000\r\n");
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_EQ(w.MeasuredBox.text(), "2.5000");
    EXPECT_DOUBLE_EQ(w.State.LastValue1, 2.5);
}

// ---- a bad setting text is reported but costs no received bytes

TEST_F(ReplyAssembly, ABadMinimumLengthTextIsReportedButTheReplyStillCounts) {
    w.MinStringBox.setText("abc");
    w.SaveResultsBox.setChecked(true);
    h.answer("+1.23");
    h.answer("45E+00\r\n");
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_DOUBLE_EQ(w.State.LastValue1, 1.2345);
    EXPECT_EQ(ReadFile("Results.txt"), "{+1.2345E+00\r\r\n}");
    EXPECT_EQ(h.vp.dialogs.errors.size(), 2u);
    EXPECT_EQ(h.vp.dialogs.errors.at(0), "'abc' is not a valid integer value");
}

TEST_F(ReplyAssembly, ABadIntervalTextIsReportedButTheReplyStillCounts) {
    w.IntervalBox.setText("two");
    h.answer("1.2345\r\n");
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_EQ(w.State.PollBusy, 0);
    EXPECT_FALSE(h.vp.dialogs.errors.empty());
}

}  // namespace
}  // namespace qs
