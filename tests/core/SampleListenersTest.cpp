// The listeners of the logger: each is told every sample and every change of
// the status lines, in order, with what the window and the data file got;
// none of them can change what the logger does.
#include <cstddef>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WindowHarness.h"
#include "core/Statistics.h"
#include "datafile/DataLine.h"
#include "link/LinkMessages.h"
#include "platform/Conversions.h"
#include "window/ConsoleLines.h"

namespace qs {
namespace {

using test::ReadFile;

constexpr const char* kCommand1 = "MEAS:VOLT:DC? 5,0.00001";  // CommandBox's design text
constexpr const char* kCommand2 = "READ?";

// A logging run in virtual time with the commands in turn: command 1's
// replies are positive and command 2's negative, so that a sample's sign
// tells which command it answered.
void startAlternating(test::WindowHarness& h) {
    h.w.FormCreate();
    h.w.RadioButton3.setChecked(true);
    h.w.CommandBox2.setText(kCommand2);
    h.vp.telnet.reply = [n = 0](const std::string& command) mutable -> std::optional<std::string> {
        ++n;
        return std::string(command == kCommand2 ? "-" : "+") + std::to_string(n) + ".25E+00\r\n";
    };
    h.w.StartButton.Click();
}

void logAlternating(test::WindowHarness& h, int ms) {
    startAlternating(h);
    h.advance(ms);
    h.w.ResetButton.Click();
}

// The data file's lines, CR LF included.
std::vector<std::string> dataFileLines() {
    std::istringstream file(ReadFile("Data.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line + "\n");
    return lines;
}

// ---- samples

TEST(SampleListeners, EachIsToldEverySampleInOrderWithTheFieldsOfItsDataFileLine) {
    test::WindowHarness h;
    std::vector<SampleRecord> first, second;
    h.w.sampleSubscribers.add([&](const SampleRecord& s) { first.push_back(s); });
    h.w.sampleSubscribers.add([&](const SampleRecord& s) { second.push_back(s); });
    logAlternating(h, 30000);

    const std::vector<std::string> lines = dataFileLines();
    ASSERT_GE(lines.size(), 10u);
    ASSERT_EQ(first.size(), lines.size());
    EXPECT_EQ(second, first);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const SampleRecord& s = first[i];
        SCOPED_TRACE(lines[i]);
        EXPECT_EQ(s.dataLine, lines[i]);
        EXPECT_TRUE(s.written);
        DataLineFields f;
        ASSERT_EQ(ScanDataLine(lines[i].c_str(), f), 9);
        EXPECT_EQ((SampleTime{f.year, f.month, f.day, f.hour, f.minute, f.second}), s.time);
        EXPECT_EQ(lines[i].substr(0, 21 + s.cleanText.size()), FormatStamp(s.time) + ", " + s.cleanText);
        EXPECT_EQ(f.raw, s.value);
        EXPECT_EQ(FormatE8(f.mean), FormatE8(s.mean));
        EXPECT_EQ(FormatE8(f.filter), FormatE8(s.filter));
        EXPECT_EQ(s.channel, s.value > 0 ? 1 : 2);
        EXPECT_EQ(s.command, s.channel == 1 ? kCommand1 : kCommand2);
        EXPECT_EQ(s.count, static_cast<int>(i + 1));
        EXPECT_EQ(s.seq, i + 1);
    }
    // The last sample's record says what the captions still show.
    const SampleRecord& last = first.back();
    const std::pair<std::string, const TLabel&> captions[] = {
        {IntToStr(last.count), h.w.CountBox},         {FormatDateBox(last.time), h.w.DateBox},
        {FloatToStr(last.value), h.w.LastBox},        {FloatToStr(last.mean), h.w.ShowMean},
        {FloatToStr(last.filter), h.w.FilterValue},   {FloatToStr(last.minimum), h.w.MinBox},
        {FloatToStr(last.maximum), h.w.MaxBox},       {FloatToStr(last.difference), h.w.DiffBox}};
    for (const auto& [text, label] : captions) EXPECT_EQ(text, label.caption()) << label.name();
}

// A listener that throws, wherever it stands among the others and whatever it
// throws: the data file, the captions, the other listeners and the samples
// after it are those of a run without it, and each throw is reported once.
struct ThrowingCase {
    const char* name;
    std::size_t position;  // among three listeners
    std::function<void()> raise;
    const char* report;
};

class ThrowingListener : public ::testing::TestWithParam<ThrowingCase> {};

struct RunOutcome {
    std::string dataFile;
    std::vector<std::string> captions;
    std::vector<SampleRecord> told;  // what the listeners that do not throw were told, in turn
    std::vector<std::string> errors;
};

RunOutcome runWithListeners(const std::function<void()>* raise, std::size_t position) {
    test::WindowHarness h;
    RunOutcome out;
    for (std::size_t i = 0; i < 3; ++i) {
        if (raise && i == position) h.w.sampleSubscribers.add([raise](const SampleRecord&) { (*raise)(); });
        else h.w.sampleSubscribers.add([&out](const SampleRecord& s) { out.told.push_back(s); });
    }
    logAlternating(h, 20000);
    out.dataFile = ReadFile("Data.txt");
    for (const TLabel* l : {&h.w.CountBox, &h.w.DateBox, &h.w.LastBox, &h.w.ShowMean, &h.w.FilterValue,
                            &h.w.MinBox, &h.w.MaxBox, &h.w.DiffBox, &h.w.LinkStatus, &h.w.DataFileStatus})
        out.captions.push_back(l->caption());
    out.errors = h.vp.dialogs.errors;
    return out;
}

TEST_P(ThrowingListener, ChangesNothingElseAndIsReportedOnceForEachSample) {
    const ThrowingCase& c = GetParam();
    const RunOutcome quiet = runWithListeners(nullptr, 0);
    const RunOutcome loud = runWithListeners(&c.raise, c.position);
    ASSERT_FALSE(quiet.told.empty());
    EXPECT_TRUE(quiet.errors.empty());
    EXPECT_EQ(loud.dataFile, quiet.dataFile);
    EXPECT_EQ(loud.captions, quiet.captions);
    // Two of three listeners told of every sample, in the same order.
    EXPECT_EQ(loud.told.size(), quiet.told.size() * 2 / 3);
    std::vector<SampleRecord> firstOfEachPair;
    for (std::size_t i = 0; i < quiet.told.size(); i += 3) firstOfEachPair.push_back(quiet.told[i]);
    for (std::size_t i = 0; i < loud.told.size(); ++i) EXPECT_EQ(loud.told[i], firstOfEachPair[i / 2]) << i;
    EXPECT_EQ(loud.errors, std::vector<std::string>(quiet.told.size() / 3, c.report));
}

INSTANTIATE_TEST_SUITE_P(
    Listeners, ThrowingListener,
    ::testing::Values(
        ThrowingCase{"StdExceptionFirst", 0, [] { throw std::runtime_error("listener broke"); }, "listener broke"},
        ThrowingCase{"LogicErrorLast", 2, [] { throw std::logic_error("listener broke"); }, "listener broke"},
        ThrowingCase{"AnythingElseInTheMiddle", 1, [] { throw 42; }, "a listener failed with an unknown error"}),
    [](const ::testing::TestParamInfo<ThrowingCase>& info) { return std::string(info.param.name); });

// seq never repeats while the program runs, whatever starts the samples'
// count afresh in between.
struct RestartCase {
    const char* name;
    std::function<void(TGPIBTelnet&)> between;
};

class SampleSeq : public ::testing::TestWithParam<RestartCase> {};

TEST_P(SampleSeq, RisesByOneFromOneAcrossARestartOfTheCount) {
    test::WindowHarness h;
    std::vector<SampleRecord> told;
    h.w.sampleSubscribers.add([&](const SampleRecord& s) { told.push_back(s); });
    logAlternating(h, 10000);
    const std::size_t before = told.size();
    GetParam().between(h.w);
    h.w.StartButton.Click();
    h.advance(10000);
    ASSERT_GT(before, 0u);
    ASSERT_GT(told.size(), before);
    EXPECT_EQ(told[before].count, 1) << "the count starts afresh";
    for (std::size_t i = 0; i < told.size(); ++i) EXPECT_EQ(told[i].seq, i + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Restarts, SampleSeq,
    ::testing::Values(RestartCase{"EmptyTheDataFile", [](TGPIBTelnet& w) { w.DeleteButton.Click(); }},
                      RestartCase{"FormCreateAgain", [](TGPIBTelnet& w) { w.FormCreate(); }},
                      RestartCase{"AnotherDataFile",
                                  [](TGPIBTelnet& w) {
                                      w.TextFileBox.setText("Other.txt");
                                      w.TextFileBox.exit();
                                  }}),
    [](const ::testing::TestParamInfo<RestartCase>& info) { return std::string(info.param.name); });

TEST(SampleListeners, AListenerAddedWhileOneIsToldIsRefusedAndReported) {
    test::WindowHarness h;
    h.w.MinStringBox.setText("1");
    int told = 0;
    h.w.sampleSubscribers.add([&](const SampleRecord&) {
        ++told;
        h.w.sampleSubscribers.add([](const SampleRecord&) {});
    });
    h.answer("1.5\r\n");
    h.answer("2.5\r\n");
    EXPECT_EQ(told, 2);
    EXPECT_EQ(h.w.sampleSubscribers.size(), 1u);
    ASSERT_EQ(h.vp.dialogs.errors.size(), 2u);
    EXPECT_EQ(h.vp.dialogs.errors[0], "a listener was added while a record was being published");
}

// What the program without a window prints for a sample is what its
// captions showed when the record was told.
TEST(HeadlessConsoleLines, ASampleLineFromTheRecordIsTheLineOfTheCaptions) {
    test::WindowHarness h;
    h.w.MinStringBox.setText("1");
    TGPIBTelnet& w = h.w;
    int compared = 0;
    w.sampleSubscribers.add([&](const SampleRecord& s) {
        ++compared;
        EXPECT_EQ(SampleConsoleLine(s), "sample count=" + w.CountBox.caption() + " time=\"" + w.DateBox.caption() +
                                            "\" value=" + w.LastBox.caption() + " mean=" + w.ShowMean.caption() +
                                            " filter=" + w.FilterValue.caption());
    });
    for (const char* reply : {"+1.23456789012E+00", "-0.000001", "1e290", "7", "  3.5 V", "+9.99999999999999E-01"})
        h.answer(std::string(reply) + "\r\n");
    EXPECT_EQ(compared, 6);
}

// ---- status lines

TEST(StatusListeners, AreToldEachChangeOfTheStatusLinesAsTheyShowIt) {
    test::WindowHarness h;
    using K = StatusEventKind;
    std::vector<std::pair<K, std::string>> told;
    h.w.statusSubscribers.add([&](const StatusEvent& e) {
        told.emplace_back(e.kind, e.text);
        const TLabel& line = e.kind == K::LinkStatus ? h.w.LinkStatus : h.w.DataFileStatus;
        EXPECT_EQ(e.text, line.caption()) << "told after the line shows it";
    });
    h.w.FormCreate();
    h.w.StartButton.Click();
    h.advance(3000);
    h.w.ResetButton.Click();
    // Replies straight into the handler: a data file that cannot be written
    // twice, then again one that can, and a reply that is no sample.
    h.w.MinStringBox.setText("1");
    const std::string unwritable = "no-such-folder/Data.txt";
    h.w.TextFileBox.setText(unwritable);
    h.answer("1.0\r\n");
    h.answer("2.0\r\n");
    h.w.TextFileBox.setText("Data.txt");
    h.answer("3.0\r\n");
    h.answer("1E999\r\n");
    h.answer("4.0\r\n");

    const std::vector<std::pair<K, std::string>> expected = {
        {K::LinkStatus, ConnectingStatus(h.w.HostBox.text())},
        {K::LinkStatus, LinkUpStatus()},
        {K::LinkStatus, StoppedStatus()},
        {K::DataFileNotWritable, "Samples are NOT being recorded: cannot write the data file \"" + unwritable + "\""},
        {K::DataFileRecordingAgain, ""},
        {K::DataFileNote, "Reply not taken as a sample: its number lies outside " + FloatToStr(-kLargestSample) +
                              " to " + FloatToStr(kLargestSample)},
        {K::DataFileNoteCleared, ""}};
    EXPECT_EQ(told, expected);
}

struct ConsoleCase {
    StatusEventKind kind;
    const char* text;
    std::optional<ConsoleStream> stream;  // nullopt: no line
    const char* line;
};

class HeadlessStatusLine : public ::testing::TestWithParam<ConsoleCase> {};

TEST_P(HeadlessStatusLine, SaysWhatTheStatusLineSaysOnTheStreamItBelongsTo) {
    const ConsoleCase& c = GetParam();
    const std::optional<ConsoleLine> line = StatusConsoleLine({c.kind, c.text, {}});
    ASSERT_EQ(line.has_value(), c.stream.has_value());
    if (!line) return;
    EXPECT_EQ(line->stream, *c.stream);
    EXPECT_EQ(line->text, c.line);
}

using K = StatusEventKind;
using S = ConsoleStream;
INSTANTIATE_TEST_SUITE_P(
    Changes, HeadlessStatusLine,
    ::testing::Values(ConsoleCase{K::LinkStatus, "Link up", S::Out, "link: Link up"},
                      ConsoleCase{K::LinkStatus, "", std::nullopt, ""},
                      ConsoleCase{K::DataFileNotWritable, "Samples are NOT being recorded", S::Err,
                                  "Samples are NOT being recorded"},
                      ConsoleCase{K::DataFileNote, "Reply not taken as a sample", S::Err, "Reply not taken as a sample"},
                      ConsoleCase{K::DataFileRecordingAgain, "", S::Out, "data file: recording again"},
                      ConsoleCase{K::DataFileNoteCleared, "", std::nullopt, ""}),
    [](const ::testing::TestParamInfo<ConsoleCase>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace qs
