// What the server tells of a logger logging in virtual time: the status,
// the samples held for polling, the metrics and the events all follow the
// logger's records; the SSE framing and the bound on a slow client.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JsonValue.h"
#include "WindowHarness.h"
#include "serve/EventBacklog.h"
#include "serve/ServedState.h"

namespace qs {
namespace {

using test::JsonReader;

struct Told {
    std::string name, json;
};

struct Served : ::testing::Test {
    test::WindowHarness h;
    ServedState state{h.w, {"00000000000000ab", "9.9", 1000.0}, 5};
    std::vector<Told> told;

    void SetUp() override {
        state.follow();
        state.setEventListener([this](std::string_view name, const std::string& json) {
            told.push_back({std::string(name), json});
        });
        h.w.FormCreate();
        h.vp.telnet.reply = [n = 0](const std::string&) mutable -> std::optional<std::string> {
            return "+" + std::to_string(++n) + ".5E+00\r\n";
        };
        h.w.StartButton.Click();
    }
};

TEST_F(Served, StatusTellsTheLinkTheDataFileTheSettingsAndTheLatestSample) {
    h.advance(20000);
    const auto status = JsonReader::parse(state.statusJson());
    ASSERT_TRUE(status);
    EXPECT_EQ((*status)["caption"].text, h.w.Form.caption());
    EXPECT_EQ((*status)["version"].text, "9.9");
    EXPECT_TRUE((*status)["link"]["up"].boolean);
    EXPECT_EQ((*status)["link"]["text"].text, h.w.LinkStatus.caption());
    EXPECT_EQ((*status)["data_file"]["name"].text, "Data.txt");
    EXPECT_TRUE((*status)["data_file"]["ok"].boolean);
    EXPECT_EQ((*status)["settings"]["host"].text, h.w.HostBox.text());
    const double count = (*status)["count"].number;
    ASSERT_GE(count, 3);
    EXPECT_EQ((*status)["latest"]["seq"].number, count);
    EXPECT_EQ((*status)["latest"]["run"].text, "00000000000000ab");
    EXPECT_EQ((*status)["latest"]["value"].number, count + 0.5);
}

TEST_F(Served, StatusBeforeTheFirstSampleHasNoLatest) {
    EXPECT_TRUE((*JsonReader::parse(state.statusJson()))["latest"].isNull());
}

TEST_F(Served, SamplesAreTheHeldRecordsAfterSinceOldestFirst) {
    h.advance(30000);
    const double count = (*JsonReader::parse(state.statusJson()))["count"].number;
    ASSERT_GE(count, 7);  // more than the five held
    const auto all = JsonReader::parse(state.samplesJson({0, 1000}));
    ASSERT_TRUE(all);
    ASSERT_EQ(all->items.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ((*all)[i]["seq"].number, count - 4 + static_cast<double>(i));
    const auto after = JsonReader::parse(state.samplesJson({static_cast<std::uint64_t>(count) - 2, 1}));
    ASSERT_EQ(after->items.size(), 1u);
    EXPECT_EQ((*after)[0]["seq"].number, count - 1);
}

TEST_F(Served, EachRecordIsToldAsItsEventInOrder) {
    h.advance(10000);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.front().name, "link");
    double seq = 0;
    for (const Told& t : told) {
        const auto json = JsonReader::parse(t.json);
        ASSERT_TRUE(json) << t.json;
        if (t.name != "sample") continue;
        EXPECT_EQ((*json)["seq"].number, seq + 1);
        seq = (*json)["seq"].number;
    }
    EXPECT_GE(seq, 2);
}

TEST_F(Served, MetricsCountTheSamplesAndTellTheLatestValue) {
    h.advance(10000);
    const std::string text = state.metricsText(2000.0);
    const ServeFigures& f = state.figures();
    ASSERT_GE(f.samples, 2u);
    EXPECT_NE(text.find("quillstone_samples_total " + std::to_string(f.samples) + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("quillstone_link_up 1\n"), std::string::npos);
    EXPECT_NE(text.find("quillstone_value{channel=\"1\",command=\"" + h.w.CommandBox.text() + "\"} " +
                        MetricNumber(f.channels.at(0).value) + "\n"),
              std::string::npos);
    EXPECT_NE(text.find("quillstone_process_start_time_seconds 1000\n"), std::string::npos);
}

TEST(RejectedReplyReason, NamesTheReasonOfEachNoteOfARejectedReply) {
    struct Case {
        const char* note;
        std::optional<std::string> reason;
    };
    const Case cases[] = {
        {"Reply not taken as a sample: it was cut at 4096 characters", "cut"},
        {"Reply not taken as a sample: its number lies outside -1E300 to 1E300", "out_of_range"},
        {"Reply not taken as a sample: something new", "other"},
        {"Data file \"x\" kept with its lines: 3", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(RejectedReplyReason(c.note), c.reason) << c.note;
}

TEST(UnixSeconds, CountsFromTheEpochInUtc) {
    EXPECT_EQ(UnixSeconds({1970, 1, 1, 0, 0, 0}), 0.0);
    EXPECT_EQ(UnixSeconds({2001, 9, 9, 1, 46, 40}), 1000000000.0);  // date -u -d @1000000000
}

TEST(EventFrame, WritesTheEventAndADataLinePerLine) {
    EXPECT_EQ(EventFrame("sample", "{\"seq\":1}"), "event: sample\ndata: {\"seq\":1}\n\n");
    EXPECT_EQ(EventFrame("x", "a\nb"), "event: x\ndata: a\ndata: b\n\n");
}

TEST(EventBacklog, HandsOverWhatWasQueuedInOrderAcrossTakes) {
    EventBacklog backlog(100);
    ASSERT_TRUE(backlog.push("hello "));
    char out[4];
    ASSERT_EQ(backlog.take(out, 4), 4u);
    ASSERT_TRUE(backlog.push("world"));
    std::string rest;
    for (std::size_t n; (n = backlog.take(out, 4)) > 0;) rest.append(out, n);
    EXPECT_EQ(std::string("hell") + rest, "hello world");
    EXPECT_TRUE(backlog.empty());
}

TEST(EventBacklog, AClientThatFallsBehindTheLimitIsDroppedAndHoldsNothing) {
    EventBacklog backlog(10);
    EXPECT_TRUE(backlog.push("12345"));
    EXPECT_TRUE(backlog.push("67890"));
    EXPECT_FALSE(backlog.push("x"));
    EXPECT_TRUE(backlog.dropped());
    EXPECT_EQ(backlog.held(), 0u);
    EXPECT_FALSE(backlog.push("y"));
}

}  // namespace
}  // namespace qs
