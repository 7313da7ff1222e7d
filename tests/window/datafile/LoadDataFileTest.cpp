// Loading the data file into the chart.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "StoreWindow.h"
#include "WindowHarness.h"
#include "core/SampleTime.h"
#include "datafile/LoadedLine.h"
#include "platform/Exception.h"
#include "platform/MemoryChart.h"

namespace qs {
namespace {

using test::WindowHarness;
using Points = std::vector<std::pair<double, double>>;

// x of 2024-01-01 00:00:0s, by hand: 2024-01-01 is day 45292 after 1899-12-30.
double at(int s) { return 45292.0 + s / 86400.0; }

Points points(ISeries& series) {
    Points p;
    for (int i = 0; i < series.Count(); ++i) p.emplace_back(series.XValue(i), series.YValue(i));
    return p;
}

void expectPoints(ISeries& series, const Points& expected, const char* what) {
    const Points actual = points(series);
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i].first, expected[i].first, 1e-9) << what << " point " << i;
        EXPECT_DOUBLE_EQ(actual[i].second, expected[i].second) << what << " point " << i;
    }
}

const std::string kThreeLines =
    "2024-01-01 00:00:01, +1.50000000E+00, 1.50000000E+00, 1.50000000E+00\r\n"
    "2024-01-01 00:00:02, +2.50000000E+00, 2.00000000E+00, 1.60000000E+00\r\n"
    "2024-01-01 00:00:03, -5.00000000E-01, 1.16666667E+00, 1.39000000E+00\r\n";

class LoadDataFile : public ::testing::Test {
protected:
    WindowHarness h;

    void selectMode(int radio) {
        if (radio == 1) h.w.RadioButton1.setChecked(true);
        if (radio == 2) h.w.RadioButton2.setChecked(true);
        if (radio == 3) h.w.RadioButton3.setChecked(true);
    }
    void load(const std::string& bytes, int radio = 1, const char* scroll = "0") {
        test::WriteFile("Data.txt", bytes);
        selectMode(radio);
        h.w.ScrollBox.setText(scroll);
        h.w.LoadButton.Click();
    }
    void putOldPoints() {
        for (int n = 1; n <= 6; ++n) h.series(n).AddPoint(40000.0, 99.0);
        h.w.CountBox.setCaption("42");
    }
};

TEST_F(LoadDataFile, EmptyFileEmptiesTheChart) {
    putOldPoints();
    h.w.State.ReplyPhase = 1;
    load("");
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(h.series(n).Count(), 0) << n;
    EXPECT_EQ(h.w.CountBox.caption(), "0");
    EXPECT_EQ(h.w.State.SampleCount, 0);
    EXPECT_EQ(h.w.State.ReplyPhase, 0);
}

TEST_F(LoadDataFile, Command1PutsEachLineOnTheFirstThreeSeries) {
    h.w.State.FilterState1 = 4.0;
    h.w.State.FilterState2 = 4.0;
    h.w.State.Difference = 77.0;
    load(kThreeLines, 1);
    expectPoints(h.series(1), {{at(1), 1.5}, {at(2), 2.5}, {at(3), -0.5}}, "raw");
    expectPoints(h.series(2), {{at(1), 1.5}, {at(2), 2.0}, {at(3), 1.16666667}}, "mean");
    expectPoints(h.series(3), {{at(1), 1.5}, {at(2), 1.6}, {at(3), 1.39}}, "filter");
    for (int n = 4; n <= 6; ++n) EXPECT_EQ(h.series(n).Count(), 0) << n;
    EXPECT_EQ(h.w.CountBox.caption(), "3");
    EXPECT_EQ(h.w.State.SampleCount, 3);
    EXPECT_EQ(h.w.State.Minimum, -0.5);
    EXPECT_EQ(h.w.State.Maximum, 2.5);
    EXPECT_EQ(h.w.MinBox.caption(), "-0.5");
    EXPECT_EQ(h.w.MaxBox.caption(), "2.5");
    EXPECT_EQ(h.w.DiffBox.caption(), "3");
    EXPECT_EQ(h.w.State.Difference, 77.0);
    EXPECT_EQ(h.w.State.ReplyPhase, 0);
    EXPECT_EQ(h.w.State.FilterState1, 0.0);
    EXPECT_EQ(h.w.State.FilterState2, 0.0);
}

TEST_F(LoadDataFile, LoneLineFeedsReadLikeCarriageReturnLineFeeds) {
    std::string lf = kThreeLines;
    for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;) lf.erase(p, 1);
    load(lf, 1);
    expectPoints(h.series(3), {{at(1), 1.5}, {at(2), 1.6}, {at(3), 1.39}}, "filter");
}

TEST_F(LoadDataFile, ScrollWindowOfTwoKeepsTheLastTwoLinesButCountsAll) {
    load(kThreeLines, 1, "2");
    expectPoints(h.series(1), {{at(2), 2.5}, {at(3), -0.5}}, "raw");
    expectPoints(h.series(2), {{at(2), 2.0}, {at(3), 1.16666667}}, "mean");
    EXPECT_EQ(h.w.CountBox.caption(), "3");
    EXPECT_EQ(h.w.State.ScrollPoints, 2);
    EXPECT_EQ(h.w.MinBox.caption(), "-0.5");
    EXPECT_EQ(h.w.MaxBox.caption(), "2.5");
    h.w.ScrollBox.setText("1");
    h.w.LoadButtonClick();
    EXPECT_EQ(h.w.MaxBox.caption(), "-0.5");
}

TEST_F(LoadDataFile, AlternateModeRepeatsTheOtherCommandsLatestTriple) {
    load(kThreeLines, 3);
    expectPoints(h.series(1), {{at(1), 1.5}, {at(2), 1.5}, {at(3), -0.5}}, "raw 1");
    expectPoints(h.series(2), {{at(1), 1.5}, {at(2), 1.5}, {at(3), 1.16666667}}, "mean 1");
    expectPoints(h.series(3), {{at(1), 1.5}, {at(2), 1.5}, {at(3), 1.39}}, "filter 1");
    expectPoints(h.series(4), {{at(2), 2.5}, {at(3), 2.5}}, "raw 2");
    expectPoints(h.series(6), {{at(2), 2.0}, {at(3), 2.0}}, "mean 2");
    expectPoints(h.series(5), {{at(2), 1.6}, {at(3), 1.6}}, "filter 2");
    EXPECT_EQ(h.w.State.ReplyPhase, 0);
    EXPECT_EQ(h.w.CountBox.caption(), "3");
    // The load's held triples are its own: the live held values stay.
    EXPECT_EQ(h.w.State.HeldValue1, -9999.0);
    EXPECT_EQ(h.w.State.HeldValue2, -9999.0);
}

TEST_F(LoadDataFile, Command2PutsRawMeanFilterOnSeries4Then6Then5AndIsNeverTrimmed) {
    load(kThreeLines, 2, "2");
    expectPoints(h.series(4), {{at(1), 1.5}, {at(2), 2.5}, {at(3), -0.5}}, "raw");
    expectPoints(h.series(6), {{at(1), 1.5}, {at(2), 2.0}, {at(3), 1.16666667}}, "mean");
    expectPoints(h.series(5), {{at(1), 1.5}, {at(2), 1.6}, {at(3), 1.39}}, "filter");
    for (int n = 1; n <= 3; ++n) EXPECT_EQ(h.series(n).Count(), 0) << n;
}

// Without a command-1 point the extremes start over as in a fresh window, so
// that the next sample is both minimum and maximum; the captions read 0.
TEST_F(LoadDataFile, NoCommand1PointLetsTheNextSampleSetBothExtremes) {
    load(kThreeLines, 2);
    EXPECT_EQ(h.w.MinBox.caption(), "0");
    EXPECT_EQ(h.w.MaxBox.caption(), "0");
    EXPECT_EQ(h.w.DiffBox.caption(), "0");
    h.w.EvaluateSample("7.25", SampleTime{2024, 1, 1, 0, 0, 4});
    EXPECT_EQ(h.w.State.Minimum, 7.25);
    EXPECT_EQ(h.w.State.Maximum, 7.25);
    EXPECT_EQ(h.w.MinBox.caption(), "7.25");
}

class SkippedLine : public LoadDataFile, public ::testing::WithParamInterface<const char*> {};

// Between two good lines in alternate mode: a skipped line neither adds nor
// counts nor turns the phase, so the second good line is command 2's.
TEST_P(SkippedLine, AddsNothingCountsNothingAndKeepsThePhase) {
    load("2024-01-01 00:00:01, 1.5, 1.5, 1.5\n" + std::string(GetParam()) + "\n2024-01-01 00:00:02, 2.5, 2.0, 1.6\n",
         3);
    expectPoints(h.series(1), {{at(1), 1.5}, {at(2), 1.5}}, "raw 1");
    expectPoints(h.series(4), {{at(2), 2.5}}, "raw 2");
    EXPECT_EQ(h.w.CountBox.caption(), "2");
    EXPECT_EQ(h.w.State.ReplyPhase, 0);
}

INSTANTIATE_TEST_SUITE_P(Review, SkippedLine,
                         ::testing::Values("1899-12-31 12:00:00, 9.0, 9.0, 9.0", "2101-01-01 00:00:00, 9.0, 9.0, 9.0",
                                           "2024-01-01 24:00:00, 9.0, 9.0, 9.0", "2024-01-01 00:60:00, 9.0, 9.0, 9.0",
                                           "2024-01-01 00:00:60, 9.0, 9.0, 9.0", "2024-13-01 00:00:00, 9.0, 9.0, 9.0",
                                           "2024-01-00 00:00:00, 9.0, 9.0, 9.0", "2024-01-32 00:00:00, 9.0, 9.0, 9.0",
                                           // Days that do not exist: skipped like the others, the load goes on.
                                           "2023-02-30 00:00:00, 9.0, 9.0, 9.0", "2023-02-29 00:00:00, 9.0, 9.0, 9.0",
                                           "2024-04-31 00:00:00, 9.0, 9.0, 9.0",
                                           // Numbers the chart and the statistics cannot hold: an
                                           // overflowing one, an infinity or NaN as the C library
                                           // writes them, or a raw value beyond any sample's.
                                           "2024-01-01 00:00:05, 1E999, 9.0, 9.0",
                                           "2024-01-01 00:00:05, 9.0, -1e400, 9.0",
                                           "2024-01-01 00:00:05, 9.0, 9.0, 1e999",
                                           "2024-01-01 00:00:05, INF, INF, -NAN",
                                           "2024-01-01 00:00:05, +2.00000000E+00, INF, -NAN",
                                           "2024-01-01 00:00:05, nan, 9.0, 9.0",
                                           "2024-01-01 00:00:05, +1.7E+308, 9.0, 9.0"));

TEST_F(LoadDataFile, ImpossibleDateDoesNotCutTheLoadShort) {
    load(kThreeLines + "2023-02-30 10:00:00, 9.0, 9.0, 9.0\r\n2024-01-01 00:00:04, 4.0, 4.0, 4.0\r\n", 1, "3");
    expectPoints(h.series(1), {{at(2), 2.5}, {at(3), -0.5}, {at(4), 4.0}}, "raw");
    EXPECT_EQ(h.w.CountBox.caption(), "4");
    EXPECT_EQ(h.w.MaxBox.caption(), "4");
    EXPECT_EQ(h.w.State.ReplyPhase, 0);
    EXPECT_TRUE(h.vp.dialogs.errors.empty());
}

TEST_F(LoadDataFile, LeapDayOfALeapYearIsLoaded) {
    load("2024-02-29 00:00:00, 1.0, 1.0, 1.0\n", 1);
    expectPoints(h.series(1), {{45351.0, 1.0}}, "raw");
}

TEST_F(LoadDataFile, EachLinesTimeIsItsEncodedDateTimeExactlyAcrossDaysMonthsAndYears) {
    const SampleTime times[] = {{1999, 12, 31, 23, 59, 59}, {2000, 1, 1, 0, 0, 0},   {2000, 1, 1, 12, 0, 1},
                                {2000, 2, 1, 0, 0, 1},      {2024, 2, 28, 23, 0, 0}, {2024, 2, 29, 0, 0, 0},
                                {2024, 3, 1, 0, 0, 0},      {2024, 3, 1, 23, 59, 59}};
    std::string file;
    for (const SampleTime& t : times) file += FormatDateBox(t).substr(0, 19) + ", 1.0, 1.0, 1.0\r\n";
    load(file, 1);
    ASSERT_EQ(h.series(1).Count(), 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(h.series(1).XValue(i), EncodeDateTime(times[i])) << FormatDateBox(times[i]);
}

TEST_F(LoadDataFile, UnreadableLinesRepeatThePreviousLine) {
    load("2024-01-01 00:00:01, 1.5, 1.25, 1.125\n\nnot a data line\n2024-01-01 00:00:02, 2.5, 2.0, 1.6\n", 1);
    expectPoints(h.series(1), {{at(1), 1.5}, {at(1), 1.5}, {at(1), 1.5}, {at(2), 2.5}}, "raw");
    expectPoints(h.series(3), {{at(1), 1.125}, {at(1), 1.125}, {at(1), 1.125}, {at(2), 1.6}}, "filter");
    EXPECT_EQ(h.w.CountBox.caption(), "4");
}

TEST_F(LoadDataFile, UnreadableLinesBeforeTheFirstReadableOneAreSkipped) {
    load("garbage\n\n2024-01-01 00:00:01, 1.5, 1.5, 1.5\n", 1);
    expectPoints(h.series(1), {{at(1), 1.5}}, "raw");
    EXPECT_EQ(h.w.CountBox.caption(), "1");
}

TEST_F(LoadDataFile, ReplyWithAUnitGivesOnlyItsRawValue) {
    load("2024-01-01 00:00:01, 1.5, 1.25, 1.125\n2024-01-01 00:00:02, 3.5 V, 8.0, 8.0\n", 1);
    expectPoints(h.series(1), {{at(1), 1.5}, {at(2), 3.5}}, "raw");
    expectPoints(h.series(2), {{at(1), 1.25}, {at(2), 1.25}}, "mean");
    expectPoints(h.series(3), {{at(1), 1.125}, {at(2), 1.125}}, "filter");
}

// The value rule knows no hexadecimal: "0x1A" is its leading 0, like a
// number followed by a unit.
TEST_F(LoadDataFile, AHexadecimalReplyGivesItsLeadingZeroOnly) {
    load("2024-01-01 00:00:01, 1.5, 1.25, 1.125\n2024-01-01 00:00:02, 0x1A, 8.0, 8.0\n", 1);
    expectPoints(h.series(1), {{at(1), 1.5}, {at(2), 0.0}}, "raw");
    expectPoints(h.series(2), {{at(1), 1.25}, {at(2), 1.25}}, "mean");
}

// Lines out of time order take their places on the chart by time, and the
// scroll window keeps the latest times, whatever the order of the lines.
TEST_F(LoadDataFile, LinesOutOfTimeOrderAreTrimmedToTheLatestTimes) {
    load("2024-01-01 00:00:03, 3.0, 3.0, 3.0\n2024-01-01 00:00:01, 1.0, 1.0, 1.0\n"
         "2024-01-01 00:00:05, 5.0, 5.0, 5.0\n2024-01-01 00:00:02, 2.0, 2.0, 2.0\n"
         "2024-01-01 00:00:04, 4.0, 4.0, 4.0\n",
         1, "2");
    expectPoints(h.series(1), {{at(4), 4.0}, {at(5), 5.0}}, "raw");
    expectPoints(h.series(3), {{at(4), 4.0}, {at(5), 5.0}}, "filter");
    EXPECT_EQ(h.w.CountBox.caption(), "5");
    EXPECT_EQ(h.w.MinBox.caption(), "4");
    EXPECT_EQ(h.w.MaxBox.caption(), "5");
}

TEST_F(LoadDataFile, NegativeScrollWindowIsWrittenBackAsZeroAndAllIsLoaded) {
    load(kThreeLines, 1, "-5");
    EXPECT_EQ(h.w.ScrollBox.text(), "0");
    EXPECT_EQ(h.w.State.ScrollPoints, 0);
    EXPECT_EQ(h.series(1).Count(), 3);
}

TEST_F(LoadDataFile, EmptyScrollBoxKeepsTheScrollWindow) {
    h.w.State.ScrollPoints = 2;
    load(kThreeLines, 1, "");
    EXPECT_EQ(h.w.State.ScrollPoints, 2);
    EXPECT_EQ(h.series(1).Count(), 2);
}

TEST_F(LoadDataFile, ScrollBoxThatIsNoIntegerRaisesBeforeAnythingIsCleared) {
    putOldPoints();
    test::WriteFile("Data.txt", kThreeLines);
    h.w.ScrollBox.setText("two");
    EXPECT_THROW(h.w.LoadButtonClick(), EConvertError);
    EXPECT_EQ(h.series(1).Count(), 1);
    EXPECT_EQ(h.w.CountBox.caption(), "42");
}

TEST_F(LoadDataFile, FileThatCannotBeOpenedKeepsTheChart) {
    putOldPoints();
    h.w.State.SampleCount = 42;
    h.w.State.ReplyPhase = 1;
    h.w.ScrollBox.setText("-5");
    h.w.TextFileBox.setText("missing.txt");
    h.w.LoadButton.Click();
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(h.series(n).Count(), 1) << n;
    EXPECT_EQ(h.w.CountBox.caption(), "42");
    EXPECT_EQ(h.w.State.SampleCount, 42);
    EXPECT_EQ(h.w.State.ReplyPhase, 1);
    EXPECT_EQ(h.w.ScrollBox.text(), "-5");
    EXPECT_TRUE(h.vp.dialogs.boxes.empty());
    EXPECT_TRUE(h.vp.dialogs.errors.empty());
}

TEST_F(LoadDataFile, AFolderOfThatNameKeepsTheChart) {
    putOldPoints();
    std::filesystem::create_directory("runs");
    h.w.TextFileBox.setText("runs");
    h.w.LoadButtonClick();
    EXPECT_EQ(h.series(1).Count(), 1);
    EXPECT_EQ(h.w.CountBox.caption(), "42");
}

TEST_F(LoadDataFile, LoadingLeavesTheFileAsItWas) {
    load(kThreeLines, 3);
    EXPECT_EQ(test::ReadFile("Data.txt"), kThreeLines);
}

// A line is read with at most 19,999 characters; a longer one comes in
// pieces, and its rest is read as a line of its own (here a blank one, which
// repeats the line before).
struct LongLineCase {
    const char* name;
    std::size_t charactersBeforeLineFeed;
    int count;
};

class LongLine : public LoadDataFile, public ::testing::WithParamInterface<LongLineCase> {};

TEST_P(LongLine, IsReadInPiecesOf19999Characters) {
    std::string line = "2024-01-01 00:00:01, 1.5, 1.5, 1.5";
    line.resize(GetParam().charactersBeforeLineFeed, ' ');
    load(line + "\n2024-01-01 00:00:02, 2.5, 2.0, 1.6\n", 1);
    EXPECT_EQ(h.w.State.SampleCount, GetParam().count);
    EXPECT_DOUBLE_EQ(h.series(1).YValue(h.series(1).Count() - 1), 2.5);
}

INSTANTIATE_TEST_SUITE_P(Review, LongLine,
                         ::testing::Values(LongLineCase{"FitsWithItsLineFeed", 19998, 2},
                                           LongLineCase{"LineFeedSpillsIntoASecondPiece", 19999, 3},
                                           LongLineCase{"ThreePieces", 40000, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

// Load makes room ahead in the series its lines go to, for about as many
// points as the file's size suggests lines (a hint the chart's series take),
// and in no other series; then the lines come in as ever.
struct RoomRecordingSeries : MemorySeries {
    int reserved = -1;
    void Reserve(int points) override { reserved = points; }
};

struct RoomCase {
    const char* name;
    int radio;
    std::array<int, 6> points;  // Series1 .. Series6: the points loaded, room made where there are any
};

void PrintTo(const RoomCase& c, std::ostream* os) { *os << c.name; }

class RoomAheadOfALoad : public ::testing::TestWithParam<RoomCase> {};

TEST_P(RoomAheadOfALoad, IsMadeInTheSeriesTheLinesGoTo) {
    test::StoreWindow<MemoryChartOf<RoomRecordingSeries>> b;
    std::string bytes;
    for (int i = 0; i < 300; ++i) bytes += kThreeLines;
    test::WriteFile("Data.txt", bytes);
    b.w.TextFileBox.setText("Data.txt");
    (GetParam().radio == 1 ? b.w.RadioButton1 : GetParam().radio == 2 ? b.w.RadioButton2 : b.w.RadioButton3)
        .setChecked(true);
    b.w.LoadButtonClick();
    const int expected = static_cast<int>(ExpectedDataLines(static_cast<long long>(bytes.size())));
    EXPECT_GE(expected, 900);  // errs high: the logger's lines are 70 bytes or more
    for (int n = 1; n <= 6; ++n) {
        const int points = GetParam().points[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(b.chart.store(n).reserved, points > 0 ? expected : -1) << "Series" << n;
        EXPECT_EQ(b.chart.store(n).Count(), points) << "Series" << n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RoomAheadOfALoad,
    // In Alternate Commands channel 2 has nothing to repeat before its first line.
    ::testing::Values(RoomCase{"SendCommand1", 1, {900, 900, 900, 0, 0, 0}},
                      RoomCase{"SendCommand2", 2, {0, 0, 0, 900, 900, 900}},
                      RoomCase{"AlternateCommands", 3, {900, 900, 900, 899, 899, 899}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs
