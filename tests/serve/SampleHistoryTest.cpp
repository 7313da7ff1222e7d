// The history the live page opens with: what is held, and its reduction to
// the page's pixel columns as the window's chart draws them (first sample,
// extremes, last sample of a column; breaks at gaps), and the query that
// asks for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "JsonValue.h"
#include "serve/SampleHistory.h"

namespace qs {
namespace {

using test::JsonReader;
using test::JsonValue;
using Point = SampleHistory::Point;

constexpr double kStart = 1765238400.0;  // 2025-12-09 00:00:00 UTC

// A row of the reduced JSON, or a break.
struct Row {
    bool isBreak = false;
    double ms = 0, value = 0, mean = 0, filter = 0;
};

JsonValue reduced(const SampleHistory& history, SampleHistory::Window window) {
    const std::string json = history.reducedJson(window);
    const auto parsed = JsonReader::parse(json);
    EXPECT_TRUE(parsed) << json.substr(0, 400);
    return parsed ? *parsed : JsonValue{};
}

std::vector<Row> rowsOf(const JsonValue& reply, int channel) {
    std::vector<Row> rows;
    for (const JsonValue& p : reply["channels"][static_cast<std::size_t>(channel - 1)]["points"].items) {
        if (p.isNull()) rows.push_back({true});
        else rows.push_back({false, p[0].number, p[1].number, p[2].number, p[3].number});
    }
    return rows;
}

// Samples every step seconds from kStart on, value i, mean 2i, filter -i.
SampleHistory steady(int count, double step, int channel = 1) {
    SampleHistory history;
    for (int i = 0; i < count; ++i)
        history.add(channel, {kStart + i * step, double(i), 2.0 * i, -double(i)}, static_cast<std::uint64_t>(i + 1));
    return history;
}

TEST(SampleHistory, FewSamplesForTheWidthAreSentEachAsItIs) {
    const SampleHistory history = steady(10, 1.0);
    const JsonValue reply = reduced(history, {1000, {}, {}});
    const std::vector<Row> rows = rowsOf(reply, 1);
    ASSERT_EQ(rows.size(), 10u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].ms, (kStart + double(i)) * 1000.0);
        EXPECT_EQ(rows[i].value, double(i));
        EXPECT_EQ(rows[i].mean, 2.0 * double(i));
        EXPECT_EQ(rows[i].filter, -double(i));
    }
    EXPECT_EQ(reply["channels"][0]["held"].number, 10);
    EXPECT_EQ(reply["channels"][1]["held"].number, 0);
    EXPECT_TRUE(reply["channels"][1]["points"].items.empty());
    EXPECT_EQ(reply["seq"].number, 10);
    EXPECT_EQ(reply["from"].number, kStart * 1000.0);
    EXPECT_EQ(reply["to"].number, (kStart + 9.0) * 1000.0);
}

TEST(SampleHistory, AnEmptyHistoryHasNoWindowAndNoPoints) {
    const JsonValue reply = reduced(SampleHistory(), {});
    EXPECT_TRUE(reply["from"].isNull());
    EXPECT_TRUE(reply["to"].isNull());
    ASSERT_EQ(reply["channels"].items.size(), 2u);
    EXPECT_EQ(reply["seq"].number, 0);
}

TEST(SampleHistory, APauseLongerThanTheGapTimeBreaksTheLineAndAShorterOneDoesNot) {
    struct Case {
        double pauseSeconds;  // between sample 5 and 6 of samples 1 s apart
        bool breaks;
    };
    // The gap time of a 1 s series: five steps, the shortest gap being 3 s.
    const Case cases[] = {{2.0, false}, {5.0, false}, {5.5, true}, {60.0, true}};
    for (const Case& c : cases) {
        SampleHistory history;
        for (int i = 0; i < 12; ++i)
            history.add(1, {kStart + i + (i >= 6 ? c.pauseSeconds - 1.0 : 0.0), double(i), 0, 0}, i + 1u);
        const std::vector<Row> rows = rowsOf(reduced(history, {1000, {}, {}}), 1);
        const auto breaks = std::count_if(rows.begin(), rows.end(), [](const Row& r) { return r.isBreak; });
        EXPECT_EQ(breaks, c.breaks ? 1 : 0) << c.pauseSeconds;
        if (c.breaks) {
            ASSERT_EQ(rows.size(), 13u);
            EXPECT_TRUE(rows[6].isBreak);
        }
    }
}

TEST(SampleHistory, TheGapTimeIsFiveTypicalStepsAndNeverLessThanThreeSeconds) {
    EXPECT_NEAR(steady(100, 10.0).gapSeconds(1), 50.0, 0.01);
    EXPECT_NEAR(steady(100, 0.2).gapSeconds(1), 3.0, 0.01);
    EXPECT_NEAR(SampleHistory().gapSeconds(1), 3.0, 0.01);
}

TEST(SampleHistory, AFullColumnIsItsFirstItsExtremesAndItsLastInTheOrderTheSeriesTakes) {
    // 100 samples in one column: a rising raw series with a dip and a peak
    // inside, a falling mean.
    SampleHistory history;
    for (int i = 0; i < 100; ++i) {
        const double value = i == 30 ? -50.0 : i == 60 ? 500.0 : double(i);
        history.add(1, {kStart + i, value, 100.0 - i, 7.0}, i + 1u);
    }
    const std::vector<Row> rows = rowsOf(reduced(history, {1, {}, {}}), 1);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].value, 0.0);
    EXPECT_EQ(rows[1].value, -50.0);  // rising: the smallest first
    EXPECT_EQ(rows[2].value, 500.0);
    EXPECT_EQ(rows[3].value, 99.0);
    EXPECT_EQ(rows[0].mean, 100.0);
    EXPECT_EQ(rows[1].mean, 100.0);  // falling: the largest first
    EXPECT_EQ(rows[2].mean, 1.0);
    EXPECT_EQ(rows[3].mean, 1.0);
    EXPECT_EQ(rows[1].filter, 7.0);
    // The extremes stand a third of the column apart, between its first and last.
    EXPECT_EQ(rows[1].ms, (kStart + 33.0) * 1000.0);
    EXPECT_EQ(rows[2].ms, (kStart + 66.0) * 1000.0);
}

TEST(SampleHistory, TheReductionKeepsEveryColumnsExtremesAndStaysWithinFourRowsAColumn) {
    std::mt19937 random(20261209);
    std::normal_distribution<double> noise(0.0, 1.0);
    SampleHistory history;
    std::vector<double> values;
    constexpr int kCount = 200000, kWidth = 640;
    for (int i = 0; i < kCount; ++i) {
        values.push_back(1.0 + 1e-6 * noise(random));
        history.add(1, {kStart + 0.2 * i, values.back(), 1.0, 1.0}, i + 1u);
    }
    const std::vector<Row> rows = rowsOf(reduced(history, {kWidth, {}, {}}), 1);
    EXPECT_LE(rows.size(), 4u * kWidth);
    EXPECT_GE(rows.size(), 2u * kWidth);
    EXPECT_TRUE(std::none_of(rows.begin(), rows.end(), [](const Row& r) { return r.isBreak; }));
    double lowest = INFINITY, highest = -INFINITY;
    for (const Row& r : rows) lowest = std::min(lowest, r.value), highest = std::max(highest, r.value);
    EXPECT_EQ(lowest, *std::min_element(values.begin(), values.end()));
    EXPECT_EQ(highest, *std::max_element(values.begin(), values.end()));
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.ms < b.ms; }));
}

TEST(SampleHistory, BothChannelsShareTheColumnsOfTheWholeTime) {
    SampleHistory history;
    for (int i = 0; i < 10; ++i) history.add(1, {kStart + i, 1, 1, 1}, 2u * i + 1);
    for (int i = 0; i < 10; ++i) history.add(2, {kStart + 100 + i, 2, 2, 2}, 2u * i + 2);
    const JsonValue reply = reduced(history, {1000, {}, {}});
    EXPECT_EQ(reply["from"].number, kStart * 1000.0);
    EXPECT_EQ(reply["to"].number, (kStart + 109.0) * 1000.0);
    EXPECT_EQ(rowsOf(reply, 2).front().value, 2.0);
    EXPECT_EQ(reply["channels"][1]["held"].number, 10);
    EXPECT_EQ(reply["seq"].number, 20);
}

TEST(SampleHistory, AWindowSendsItsSamplesAndOneOnEachSide) {
    const SampleHistory history = steady(100, 1.0);
    const std::vector<Row> rows =
        rowsOf(reduced(history, {1000, kStart + 40.0, kStart + 49.5}), 1);
    ASSERT_EQ(rows.size(), 12u);  // 40 to 49, with 39 and 50
    EXPECT_EQ(rows.front().value, 39.0);
    EXPECT_EQ(rows.back().value, 50.0);
}

TEST(SampleHistory, TheOldestSampleLeavesOnceTheBoundIsHeld) {
    SampleHistory history(3);
    for (int i = 0; i < 5; ++i) history.add(1, {kStart + i, double(i), 0, 0}, i + 1u);
    ASSERT_EQ(history.size(1), 3u);
    const std::vector<Row> rows = rowsOf(reduced(history, {}), 1);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows.front().value, 2.0);
}

TEST(SampleHistory, ASampleFromAClockSetBackTakesItsPlaceInTimeOrder) {
    SampleHistory history;
    for (double t : {10.0, 20.0, 30.0, 15.0}) history.add(1, {kStart + t, t, 0, 0}, 1);
    const std::vector<Row> rows = rowsOf(reduced(history, {}), 1);
    std::vector<double> values;
    for (const Row& r : rows)
        if (!r.isBreak) values.push_back(r.value);
    EXPECT_EQ(values, (std::vector<double>{10.0, 15.0, 20.0, 30.0}));
}

TEST(SampleHistory, AValueThatIsNoNumberIsNullInItsRowAndKeepsTheOthers) {
    SampleHistory history;
    history.add(1, {kStart, 1.0, NAN, 3.0}, 1);
    const JsonValue reply = reduced(history, {});
    const JsonValue& row = reply["channels"][0]["points"][0];
    EXPECT_EQ(row[1].number, 1.0);
    EXPECT_TRUE(row[2].isNull());
    EXPECT_EQ(row[3].number, 3.0);
}

TEST(SampleHistory, SamplesOfNoChannelOfTheChartAreNotKept) {
    SampleHistory history;
    history.add(3, {kStart, 1, 1, 1}, 1);
    history.add(0, {kStart, 1, 1, 1}, 2);
    EXPECT_EQ(history.size(1) + history.size(2), 0u);
    EXPECT_EQ(history.lastSeq(), 2u);
}

TEST(SampleHistory, ValuesReadBackExactly) {
    SampleHistory history;
    const double value = 1.0000000000000002, mean = 0.1, filter = -1234567.8901234567;
    history.add(1, {kStart, value, mean, filter}, 1);
    const std::vector<Row> rows = rowsOf(reduced(history, {}), 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value, value);
    EXPECT_EQ(rows[0].mean, mean);
    EXPECT_EQ(rows[0].filter, filter);
}

TEST(ParseHistoryQuery, TakesAWidthAndAWindowInMillisecondsAndRefusesTheRest) {
    using W = std::optional<std::string_view>;
    struct Case {
        W width, from, to;
        bool taken;
        int wantWidth;
    };
    const Case cases[] = {
        {{}, {}, {}, true, 1000},
        {"1366", {}, {}, true, 1366},
        {"1", "1000", "2000", true, 1},
        {"10000", {}, {}, true, 10000},
        {"0", {}, {}, false, 0},
        {"10001", {}, {}, false, 0},
        {"12px", {}, {}, false, 0},
        {"-5", {}, {}, false, 0},
        {"", {}, {}, false, 0},
        {"800", "abc", {}, false, 0},
        {"800", "2000", "1000", false, 0},  // ends before it begins
    };
    for (const Case& c : cases) {
        const auto window = ParseHistoryQuery(c.width, c.from, c.to);
        EXPECT_EQ(window.has_value(), c.taken) << c.width.value_or("(none)");
        if (window) {
            EXPECT_EQ(window->width, c.wantWidth);
        }
    }
    const auto window = ParseHistoryQuery("10", "1500", "2500");
    ASSERT_TRUE(window);
    EXPECT_EQ(window->from, 1.5);
    EXPECT_EQ(window->to, 2.5);
}

}  // namespace
}  // namespace qs
