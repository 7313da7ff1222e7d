#include <algorithm>
#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SumDifferential.h"
#include "WindowHarness.h"
#include "core/CNumbers.h"
#include "core/ChannelRouting.h"
#include "core/Statistics.h"
#include "platform/BoundedSeries.h"
#include "platform/MemoryChart.h"
#include "platform/MemorySeries.h"

namespace qs {
namespace {

using test::ReadFile;

// ---- the value of a reply: sign, digits, an optional point and an optional
//      exponent; nothing else is a number

constexpr double kInf = std::numeric_limits<double>::infinity();

struct ValueCase {
    const char* text;
    double value;
};

class ReplyValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ReplyValue, IsTheDecimalNumberAtTheStartOfTheText) {
    EXPECT_EQ(CAtof(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyValue,
    ::testing::Values(ValueCase{"+1.2345E+00", 1.2345}, ValueCase{"1,5", 1.0}, ValueCase{" \t-2.5e3 V", -2500.0},
                      ValueCase{".5", 0.5}, ValueCase{"5.", 5.0}, ValueCase{"-.5e-1x", -0.05},
                      // an exponent mark without digits is no part of the number
                      ValueCase{"1e", 1.0}, ValueCase{"2E+", 2.0}, ValueCase{"3e-V", 3.0},
                      // no hexadecimal, no infinities, no NaN: they read as their leading 0 or as nothing
                      ValueCase{"0x1A", 0.0}, ValueCase{"-0x1p3", 0.0}, ValueCase{"INF", 0.0},
                      ValueCase{"-inf", 0.0}, ValueCase{"INFINITY", 0.0}, ValueCase{"nan", 0.0},
                      ValueCase{"-NAN(1)", 0.0}, ValueCase{"ABC", 0.0}, ValueCase{".", 0.0}, ValueCase{"-", 0.0},
                      ValueCase{"+.e1", 0.0}, ValueCase{"", 0.0},
                      // beyond the range of a double: an infinity of its sign; below it, zero
                      ValueCase{"1E999", kInf}, ValueCase{"-1e400", -kInf}, ValueCase{"1e-400", 0.0},
                      ValueCase{"4.9e-324", 4.9e-324}));

// A German desktop reads "1,5" as one and a half and stops "1.2345" at the
// point; a reply's value never follows it.
TEST(ReplyValue, DoesNotFollowADecimalCommaLocale) {
    test::WindowHarness h;
    h.w.MinStringBox.setText("1");
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "make deps generates the locale de_DE.UTF-8";
    h.answer("+1.2345E+00\r\n");
    h.answer("1,5\r\n");
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(h.series(1).YValue(0), 1.2345);
    EXPECT_EQ(h.series(1).YValue(1), 1.0);
    EXPECT_EQ(h.w.LastBox.caption(), "1");
    const std::string lines = ReadFile("Data.txt");
    EXPECT_EQ(lines.find("2024-03-05 14:07:09, +1.2345E+00, 1.23450000E+00, 1.2344"), 0u) << lines;
    EXPECT_NE(lines.find("\n2024-03-05 14:07:09, 1,5, 1.11725000E+00, 1.2"), std::string::npos) << lines;
}

// ---- the RC filter, against values computed by hand from
//      S(k) = S(k-1) (1 - 1/N) + x(k), output S(k)/N

struct FilterCase {
    std::vector<double> inputs;
    int n;
    std::vector<double> outputs;
    double tolerance;
};

class RcFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(RcFilter, FollowsTheRecurrenceAfterItsWarmUp) {
    const FilterCase& c = GetParam();
    double state = 0.0;
    for (std::size_t i = 0; i < c.inputs.size(); ++i)
        EXPECT_NEAR(FilterStep(state, c.inputs[i], c.n), c.outputs[i], c.tolerance) << "sample " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RcFilter,
    ::testing::Values(
        // 153 warm-up updates and one more: 1 - 0.9^154
        FilterCase{{1.0, 2.0}, 10, {1.0 - std::pow(0.9, 154), 0.9 * (1.0 - std::pow(0.9, 154)) + 0.2}, 1e-12},
        FilterCase{{-2.0, -2.0}, 10, {-0.38, -0.542}, 1e-12},   // a single warm-up update
        FilterCase{{3.5, -1.25, 7.0}, 1, {3.5, -1.25, 7.0}, 0.0},  // N 1 passes the value through
        // warm-up capped at 1000 updates, then one more: 1 - 0.99^1001
        FilterCase{{1.0}, 100, {1.0 - std::pow(0.99, 1001)}, 1e-12}));

TEST(RcFilterWarmUp, CountsTheUpdatesTheFirstSampleNeeds) {
    // The warm-up stops once S/N is within 1e-7 below x: 0.9^153 < 1e-7 < 0.9^152.
    double state = 0.0;
    double out = FilterStep(state, 1.0, 10);
    EXPECT_NEAR(out, 0.99999991, 5e-9);
    EXPECT_GT(std::pow(0.9, 152), 1e-7);
    EXPECT_LT(std::pow(0.9, 153), 1e-7);
    EXPECT_NEAR(FilterStep(state, 2.0, 10), 1.0999999, 1e-7);
    state = 0.0;
    EXPECT_NEAR(FilterStep(state, 1.0, 100), 0.9999573, 1e-7);
}

TEST(RunningMean, AveragesTheLatestPointsOrAllOfThem) {
    MemorySeries s;
    for (double y : {1.0, 2.0, 3.0, 4.0}) s.AddPoint(0, y);
    EXPECT_DOUBLE_EQ(RunningMean(s, 10), 10.0 / 4);
    for (double y : {5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 11.0, 12.0}) s.AddPoint(0, y);
    EXPECT_DOUBLE_EQ(RunningMean(s, 10), (3.0 + 12.0) * 10 / 2 / 10);
    EXPECT_DOUBLE_EQ(RunningMean(s, 0), 78.0 / 12);
}

TEST(RunningMean, EveryMeanIsThePlainSumOfItsPointsBitForBitThroughScrollingModesAndLoads) {
    for (unsigned seed : {7u, 8u, 9u}) test::CheckWindowMeans<MemoryChart>(seed, 1500);
}

// ---- where a value goes: its channel, the held values of alternate mode,
//      and the extremes

TEST(ReplyChannel, FollowsTheRadioButtonsAndInAlternateModeThePhase) {
    EXPECT_EQ(CommandModeOf(true, false), CommandMode::Command1);
    EXPECT_EQ(CommandModeOf(false, true), CommandMode::Command2);
    EXPECT_EQ(CommandModeOf(false, false), CommandMode::Alternate);
    for (int phase : {0, 1}) {
        EXPECT_EQ(ReplyChannel(CommandMode::Command1, phase), 1);
        EXPECT_EQ(ReplyChannel(CommandMode::Command2, phase), 2);
    }
    EXPECT_EQ(ReplyChannel(CommandMode::Alternate, 1), 1);
    EXPECT_EQ(ReplyChannel(CommandMode::Alternate, 0), 2);
}

constexpr double kNone = kNoHeldValue;

struct RouteCase {
    CommandMode mode;
    int channel;
    double value;
    HeldValues<double> before;
    std::optional<double> otherHeld;
    HeldValues<double> after;
};

class SampleRoute : public ::testing::TestWithParam<RouteCase> {};

TEST_P(SampleRoute, RepeatsTheOtherChannelsHeldValueAndHoldsItsOwnInAlternateModeOnly) {
    const RouteCase& c = GetParam();
    const ChannelRoute<double> route = RouteSample(c.mode, c.channel, c.value, c.before);
    EXPECT_EQ(route.otherHeld, c.otherHeld);
    EXPECT_EQ(route.held.channel1, c.after.channel1);
    EXPECT_EQ(route.held.channel2, c.after.channel2);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, SampleRoute,
    ::testing::Values(RouteCase{CommandMode::Command1, 1, 2.0, {kNone, 4.0}, std::nullopt, {kNone, 4.0}},
                      RouteCase{CommandMode::Command2, 2, 3.0, {1.0, kNone}, std::nullopt, {1.0, kNone}},
                      RouteCase{CommandMode::Alternate, 1, 2.0, {kNone, kNone}, std::nullopt, {2.0, kNone}},
                      RouteCase{CommandMode::Alternate, 2, 3.0, {2.0, kNone}, 2.0, {2.0, 3.0}},
                      RouteCase{CommandMode::Alternate, 1, 5.0, {2.0, 3.0}, 3.0, {5.0, 3.0}},
                      // a value of exactly -9999 is held, but as none
                      RouteCase{CommandMode::Alternate, 1, kNone, {2.0, kNone}, std::nullopt, {kNone, kNone}},
                      RouteCase{CommandMode::Alternate, 2, 1.0, {kNone, 7.0}, std::nullopt, {kNone, 1.0}}));

struct ExtremesCase {
    Extremes before;
    double value;
    Extremes after;
    bool newMinimum, newMaximum;
};

class ExtremesOfSamples : public ::testing::TestWithParam<ExtremesCase> {};

TEST_P(ExtremesOfSamples, MoveOnlyForAValueStrictlyBeyondThem) {
    const ExtremesCase& c = GetParam();
    const ExtremesUpdate update = UpdateExtremes(c.before, c.value);
    EXPECT_EQ(update.extremes.minimum, c.after.minimum);
    EXPECT_EQ(update.extremes.maximum, c.after.maximum);
    EXPECT_EQ(update.newMinimum, c.newMinimum);
    EXPECT_EQ(update.newMaximum, c.newMaximum);
}

INSTANTIATE_TEST_SUITE_P(Samples, ExtremesOfSamples,
                         ::testing::Values(ExtremesCase{{}, 5.0, {5.0, 5.0}, true, true},
                                           ExtremesCase{{1.0, 3.0}, 2.0, {1.0, 3.0}, false, false},
                                           ExtremesCase{{1.0, 3.0}, 1.0, {1.0, 3.0}, false, false},
                                           ExtremesCase{{1.0, 3.0}, 0.5, {0.5, 3.0}, true, false},
                                           ExtremesCase{{1.0, 3.0}, 3.5, {1.0, 3.5}, false, true},
                                           // beyond the start values the first sample moves one of them only
                                           ExtremesCase{{}, 2e15, {kMinimumStart, 2e15}, false, true}));

TEST(ExtremesOfASeries, AreItsSmallestAndLargestYOrTheStartValuesWhenEmpty) {
    MemorySeries s;
    EXPECT_EQ(ExtremesOf(s).minimum, kMinimumStart);
    EXPECT_EQ(ExtremesOf(s).maximum, kMaximumStart);
    for (double y : {2.0, -1.5, 4.0, 0.0}) s.AddPoint(0, y);
    EXPECT_EQ(ExtremesOf(s).minimum, -1.5);
    EXPECT_EQ(ExtremesOf(s).maximum, 4.0);
}

// ---- the whole evaluation through the reply handler

struct Evaluation : ::testing::Test {
    test::WindowHarness h;
    TGPIBTelnet& w = h.w;

    Evaluation() { w.MinStringBox.setText("1"); }
    void reply(const std::string& text) { h.answer(text + "\r\n"); }
    int count(int series) { return h.series(series).Count(); }
};

TEST_F(Evaluation, TheFirstSampleSetsTheExtremesAndEqualValuesChangeNothing) {
    reply("2.5");
    EXPECT_EQ(w.MinBox.caption(), "2.5");
    EXPECT_EQ(w.MaxBox.caption(), "2.5");
    EXPECT_EQ(w.DiffBox.caption(), "0");
    w.MinBox.setCaption("untouched");
    reply("2.5");
    EXPECT_EQ(w.MinBox.caption(), "untouched");
    reply("1");
    EXPECT_EQ(w.MinBox.caption(), "1");
    EXPECT_EQ(w.DiffBox.caption(), "1.5");
    EXPECT_EQ(w.CountBox.caption(), "3");
    EXPECT_EQ(w.LastBox.caption(), "1");
}

TEST_F(Evaluation, TheMeanCoversAllPointsUntilMeanBoxChanges) {
    // MeanPoints starts at 0 whatever MeanBox shows.
    for (int i = 1; i <= 12; ++i) reply(std::to_string(i));
    EXPECT_EQ(w.ShowMean.caption(), "6.5");
    w.State.MeanPoints = 10;
    reply("13");
    EXPECT_EQ(w.ShowMean.caption(), "8.5");  // (4 + ... + 13) / 10
    EXPECT_EQ(count(2), 13);
    EXPECT_EQ(count(3), 13);
}

TEST_F(Evaluation, AReplyThatIsNoNumberIsASampleOfZeroAndKeepsItsTextInTheDataFile) {
    w.MinStringBox.setText("3");
    reply("ABC");
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_EQ(w.LastBox.caption(), "0");
    EXPECT_EQ(ReadFile("Data.txt"), "2024-03-05 14:07:09, ABC, 0.00000000E+00, 0.00000000E+00\r\n");
}

// Whatever the replies, every number the statistics keep, every point and
// every mean and filter column is finite, and logging goes on.
TEST_F(Evaluation, NoReplyEverPutsAnInfinityOrNaNIntoTheStatisticsOrTheDataFile) {
    const std::vector<std::string> replies{"INF", "nan", "0x1A", "1E999", "-1e400", "+1.7E+308", "1E298",
                                           "-1E298", "+1.0E+00", "-INFINITY"};
    w.RadioButton3.setChecked(true);
    for (int round = 0; round < 2; ++round)
        for (const std::string& text : replies) {
            w.State.ReplyPhase = round;
            reply(text);
        }
    const LoggerState& s = w.State;
    for (double v : {s.Minimum, s.Maximum, s.Difference, s.FilterState1, s.FilterState2, s.LastValue1, s.LastValue2,
                     s.HeldValue1, s.HeldValue2})
        EXPECT_TRUE(std::isfinite(v)) << v;
    for (int n = 1; n <= 6; ++n)
        for (int i = 0; i < count(n); ++i) EXPECT_TRUE(std::isfinite(h.series(n).YValue(i))) << n << " " << i;
    // Three replies beyond the range of a sample in each round are no samples.
    EXPECT_EQ(s.SampleCount, 14);
    // Both columns are numbers as "%.8E" writes finite ones (no "INF", no "-NAN").
    const std::regex column(R"(-?\d\.\d{8}E[+-]\d{2,3})");
    std::istringstream lines(ReadFile("Data.txt"));
    int written = 0;
    for (std::string line; std::getline(lines, line, '\n'); ++written) {
        line.pop_back();  // the CR
        const std::size_t filter = line.rfind(", "), mean = line.rfind(", ", filter - 1);
        EXPECT_TRUE(std::regex_match(line.substr(mean + 2, filter - mean - 2), column)) << line;
        EXPECT_TRUE(std::regex_match(line.substr(filter + 2), column)) << line;
    }
    EXPECT_EQ(written, 14);
}

// A clock stepped back puts the sample before the points it already has,
// as on the chart: the running mean, which averages the latest points in
// time, does not hold it, and a scroll window drops it at once.
TEST_F(Evaluation, ASampleEarlierThanTheLastTakesItsPlaceInTimeOrder) {
    w.State.MeanPoints = 2;
    for (int s : {10, 11, 12}) w.EvaluateSample(std::to_string(s), SampleTime{2024, 1, 1, 0, 0, s});
    w.EvaluateSample("5", SampleTime{2024, 1, 1, 0, 0, 5});
    ASSERT_EQ(count(1), 4);
    EXPECT_EQ(h.series(1).YValue(0), 5.0);
    EXPECT_EQ(w.ShowMean.caption(), "11.5");
    EXPECT_EQ(h.series(2).YValue(0), 11.5) << "the mean point stands at the sample's time";
    EXPECT_EQ(w.State.Minimum, 5.0);

    w.State.ScrollPoints = 3;
    w.EvaluateSample("4", SampleTime{2024, 1, 1, 0, 0, 4});
    ASSERT_EQ(count(1), 4);
    EXPECT_EQ(h.series(1).YValue(0), 5.0) << "the new point was the oldest, and the window dropped it";
    EXPECT_EQ(w.ShowMean.caption(), "11.5");
}

TEST_F(Evaluation, ACommaEndsTheNumber) {
    reply("1,5");
    EXPECT_EQ(w.LastBox.caption(), "1");
}

TEST_F(Evaluation, WritesOneDataLinePerSampleWithTheTimeOfItsEvent) {
    h.advance(61000);
    reply("+1.00000000E+00");
    EXPECT_EQ(ReadFile("Data.txt"), "2024-03-05 14:08:10, +1.00000000E+00, 1.00000000E+00, 9.99999910E-01\r\n");
    EXPECT_EQ(w.DateBox.caption(), "2024-03-05 14:08:10 UTC");
    EXPECT_EQ(w.FilterValue.caption(), "0.999999910185501");
}

TEST_F(Evaluation, EndsByFreeingThePollAndRestartingTheCountdown) {
    w.State.PollBusy = 1;
    w.State.AwaitingReply = 1;
    w.Timer1.setEnabled(true);
    w.IntervalBox.setText("2.5");
    reply("1.0");
    EXPECT_EQ(w.State.PollBusy, 0);
    EXPECT_EQ(w.State.AwaitingReply, 0);
    EXPECT_FALSE(w.Timer1.enabled());
    EXPECT_EQ(w.State.CountdownMs, 2500);
}

TEST_F(Evaluation, ScrollingSettlesRawSeriesOneBelowTheWindowAndTheOthersAtIt) {
    w.State.ScrollPoints = 5;
    for (int i = 0; i < 20; ++i) reply("1.5");
    EXPECT_EQ(count(1), 4);
    EXPECT_EQ(count(2), 5);
    EXPECT_EQ(count(3), 5);
    EXPECT_EQ(count(4), 0);
}

TEST_F(Evaluation, AScrollWindowOfOneEmptiesTheRawSeriesAndTheMeanIsTheValue) {
    w.State.ScrollPoints = 1;
    reply("4.0");
    reply("6.0");
    EXPECT_EQ(count(1), 0);
    EXPECT_EQ(w.ShowMean.caption(), "6");
    EXPECT_NE(ReadFile("Data.txt").find(", 6.0, 6.00000000E+00, "), std::string::npos);
}

TEST_F(Evaluation, AlternateModeHoldsTheOtherChannelsValue) {
    w.RadioButton3.setChecked(true);
    w.State.ReplyPhase = 1;  // a reply to command 1
    reply("1.0");
    EXPECT_EQ(count(1), 1);
    EXPECT_EQ(count(4), 0) << "nothing held for channel 2 yet";
    w.State.ReplyPhase = 0;  // a reply to command 2
    reply("5.0");
    EXPECT_EQ(count(1), 2);
    EXPECT_DOUBLE_EQ(h.series(1).YValue(1), 1.0);
    EXPECT_EQ(count(4), 1);
    EXPECT_EQ(count(6), 1) << "only the sample's own channel gets a mean";
    EXPECT_EQ(count(5), 1);
    EXPECT_EQ(count(2), 1);
    w.State.ReplyPhase = 1;
    reply("2.0");
    EXPECT_EQ(count(1), 3);
    EXPECT_EQ(count(4), 2);
    EXPECT_DOUBLE_EQ(h.series(4).YValue(1), 5.0);
    // The held point counts in channel 1's mean: (1 + 1 + 2) / 3.
    EXPECT_EQ(w.ShowMean.caption(), "1.33333333333333");
}

TEST_F(Evaluation, AHeldValueOfExactlyMinus9999CountsAsNone) {
    w.RadioButton3.setChecked(true);
    w.State.ReplyPhase = 0;
    reply("-9999.0");
    w.State.ReplyPhase = 1;
    reply("1.0");
    EXPECT_EQ(count(4), 1) << "no held point added for channel 2";
}

TEST_F(Evaluation, ChannelTwoUsesItsOwnSeriesAndFilter) {
    w.RadioButton2.setChecked(true);
    reply("-2.0");
    reply("-2.0");
    EXPECT_EQ(count(1), 0);
    EXPECT_EQ(count(4), 2);
    EXPECT_EQ(count(6), 2);
    EXPECT_EQ(count(5), 2);
    EXPECT_EQ(w.FilterValue.caption(), "-0.542");
    EXPECT_DOUBLE_EQ(w.State.FilterState1, 0.0);
}

TEST_F(Evaluation, AFilterRestartRunsTheWarmUpAgain) {
    reply("1.0");
    reply("2.0");
    w.State.RestartFilters();
    reply("1.0");
    EXPECT_EQ(w.FilterValue.caption(), "0.999999910185501");
}

TEST_F(Evaluation, ABadFilterTextIsReportedButTheSampleReachesTheDataFile) {
    // Typed while logging runs; the box's own change handler has its say
    // elsewhere, the sample evaluation reads the text as it stands.
    w.FilterPoints.OnChange = nullptr;
    w.FilterPoints.setText("ten");
    w.State.PollBusy = 1;
    reply("1.0");
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_EQ(count(3), 1);
    EXPECT_EQ(w.State.PollBusy, 0);
    EXPECT_NE(ReadFile("Data.txt").find(", 1.0, 1.00000000E+00, 1.00000000E+00"), std::string::npos)
        << "with no good time constant yet, the filter passes the value through";
    ASSERT_EQ(h.vp.dialogs.errors.size(), 1u);
    EXPECT_EQ(h.vp.dialogs.errors[0], "'ten' is not a valid integer value");
}

TEST_F(Evaluation, AnEmptyFilterTextMeansOneSample) {
    w.FilterPoints.setText("");
    reply("3.25");
    EXPECT_EQ(w.FilterValue.caption(), "3.25");
    EXPECT_EQ(w.State.FilterSamples, 1);
}

TEST_F(Evaluation, AnUnwritableDataFileIsShownInTheStatusLineUntilTheNextGoodWrite) {
    w.TextFileBox.setText("no-such-folder/Data.txt");
    reply("1.0");
    EXPECT_EQ(w.State.SampleCount, 1);
    EXPECT_NE(w.DataFileStatus.caption().find("NOT being recorded"), std::string::npos);
    w.TextFileBox.setText("Data.txt");
    reply("1.0");
    EXPECT_EQ(w.DataFileStatus.caption(), "");
}

// ---- a logger nobody watches holds its series in bounded stores: every
//      sample's statistics are those of the full store, bit for bit, also
//      after the clock was set back, while no store holds more points than
//      the mean and the scroll window need, or than the last hour brought.

struct BoundedCase {
    const char* name;
    int mode;  // 1: Send Command 1, 2: Send Command 2, 3: alternate
    int meanPoints, scrollPoints;
    int stepBack = 0;  // seconds the clock is set back by, at sample 250
};

// How many of a store's points lie within the bounded store's reorder span
// of its newest one.
int PointsOfTheLastHour(const ISeries& s) {
    const int n = s.Count();
    int recent = 0;
    while (recent < n && s.XValue(n - 1 - recent) >= s.XValue(n - 1) - BoundedSeries::kReorderSpan) ++recent;
    return recent;
}

class BoundedStore : public ::testing::TestWithParam<BoundedCase> {};

TEST_P(BoundedStore, GivesEverySampleTheFullStoresStatisticsHoldingOnlyWhatTheyNeed) {
    const BoundedCase c = GetParam();
    test::StoreWindow<MemoryChart> full;
    test::StoreWindow<MemoryChartOf<BoundedSeries>> bounded;
    const int held = PointsTheMeanNeeds(c.meanPoints, c.scrollPoints);
    for (int n = 1; n <= 6; ++n) bounded.chart.store(n).setHeld(held);
    for (TGPIBTelnet* w : {&full.w, &bounded.w}) {
        w->RadioButton1.setChecked(c.mode == 1);
        w->RadioButton2.setChecked(c.mode == 2);
        w->RadioButton3.setChecked(c.mode == 3);
        w->MeanBox.setText(std::to_string(c.meanPoints));
        w->MeanBoxChange();
        w->ScrollBox.setText(std::to_string(c.scrollPoints));
        w->ScrollBoxExit();
    }
    std::mt19937_64 rng(c.meanPoints * 100 + c.scrollPoints * 10 + c.mode);
    std::time_t now = 1704067200;
    for (int sample = 0; sample < 400; ++sample) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", test::RoughValue(rng));
        // A sample every 30 s, so that the run outlasts the reorder span;
        // now and then two samples share their second.
        if (rng() % 8 != 0) now += 30;
        if (sample == 250) now -= c.stepBack;
        for (TGPIBTelnet* w : {&full.w, &bounded.w}) {
            w->EvaluateSample(text, SampleTimeFromUtc(now));
            if (c.mode == 3) w->State.ReplyPhase = w->State.ReplyPhase == 0 ? 1 : 0;
        }
        for (int s = 1; s <= 6; ++s) {
            const ISeries& f = full.chart.Series(s);
            const BoundedSeries& b = bounded.chart.store(s);
            ASSERT_EQ(b.Count(), f.Count()) << "Series" << s << ", sample " << sample;
            // Whole runs of one second leave together: a few samples may share it.
            ASSERT_LE(b.pointsHeld(), std::max(held + 3, PointsOfTheLastHour(f))) << "Series" << s << ", sample " << sample;
            if (f.Count() > 0) {
                ASSERT_EQ(test::Bits(b.YValue(b.Count() - 1)), test::Bits(f.YValue(f.Count() - 1)))
                    << "Series" << s << ", sample " << sample;
            }
        }
        for (auto label : {&TGPIBTelnet::CountBox, &TGPIBTelnet::LastBox, &TGPIBTelnet::MaxBox, &TGPIBTelnet::MinBox,
                           &TGPIBTelnet::DiffBox, &TGPIBTelnet::ShowMean, &TGPIBTelnet::FilterValue})
            ASSERT_EQ((bounded.w.*label).caption(), (full.w.*label).caption())
                << (full.w.*label).name() << ", sample " << sample;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Logging, BoundedStore,
    ::testing::Values(BoundedCase{"MeanOfAllCommand1", 1, 0, 0}, BoundedCase{"MeanOfAllAlternate", 3, 0, 0},
                      BoundedCase{"MeanOf7Command2", 2, 7, 0}, BoundedCase{"MeanOf7Alternate", 3, 7, 0},
                      BoundedCase{"MeanOf1Command1", 1, 1, 0}, BoundedCase{"MeanOfAllScroll20", 1, 0, 20},
                      BoundedCase{"MeanOf30Scroll20Alternate", 3, 30, 20},
                      BoundedCase{"MeanOf5Scroll20Alternate", 3, 5, 20},
                      BoundedCase{"MeanOfAllClockSetBack10Minutes", 1, 0, 0, 600},
                      BoundedCase{"MeanOfAllAlternateClockSetBack50Minutes", 3, 0, 0, 3000},
                      BoundedCase{"MeanOf7ClockSetBack20Minutes", 2, 7, 0, 1200},
                      BoundedCase{"MeanOf5Scroll20ClockSetBack10Minutes", 3, 5, 20, 600}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs
