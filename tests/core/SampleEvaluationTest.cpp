#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SumDifferential.h"
#include "WindowHarness.h"
#include "core/Statistics.h"
#include "platform/MemoryChart.h"
#include "platform/MemorySeries.h"

namespace qs {
namespace {

using test::ReadFile;

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

// ---- the whole evaluation through the reply handler

struct Evaluation : ::testing::Test {
    test::WindowHarness h;
    TGPIBTelnet& w = h.w;

    Evaluation() { w.MinStringBox.setText("1"); }
    void reply(const std::string& text) { h.receive(text + "\r\n"); }
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

}  // namespace
}  // namespace qs
