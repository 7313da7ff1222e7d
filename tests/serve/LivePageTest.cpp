// The live page as the program holds it (built in, with the chart library
// inside, needing nothing from the internet, in the window's words and
// colours), its history route with the table's access rules, and what the
// served state keeps for it from a logger logging in virtual time.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "JsonValue.h"
#include "WindowHarness.h"
#include "chart/SeriesStyle.h"
#include "serve/LivePage.h"
#include "serve/ServeRoutes.h"
#include "serve/ServedState.h"
#include "window/ControlInventory.h"
#include "window/StabilityFeed.h"

namespace qs {
namespace {

using test::JsonReader;

bool holds(std::string_view page, std::string_view text) { return page.find(text) != std::string_view::npos; }

TEST(LivePage, HoldsTheChartLibraryItselfAndNoMarkLeftToFillIn) {
    const std::string_view page = LivePageHtml();
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>"));
    EXPECT_TRUE(holds(page, "dygraphs/blob/v"));  // the library's licence line
    EXPECT_TRUE(holds(page, ".dygraph-legend"));  // and its style
    EXPECT_FALSE(holds(page, "@CHART_JS@"));
    EXPECT_FALSE(holds(page, "@CHART_CSS@"));
    EXPECT_FALSE(holds(page, "sourceMappingURL"));
    EXPECT_GT(page.size(), 100000u);
}

TEST(LivePage, LoadsNothingFromAnotherPlaceSoThatItWorksOffline) {
    const std::string page(LivePageHtml());
    // No script, style, image or frame named by an address (but data: ones,
    // which are in the page): everything is in the page, and the page reads
    // the logger's routes only.
    const std::regex fetched(R"re(<(script|link|img|iframe)[^>]*(src|href)\s*=\s*(?!["']?data:))re", std::regex::icase);
    EXPECT_FALSE(std::regex_search(page, fetched));
    const std::regex imported(R"re(@import|url\(\s*['"]?(https?:)?//)re", std::regex::icase);
    EXPECT_FALSE(std::regex_search(page, imported));
}

TEST(LivePage, ReadsOnlyRoutesOfTheTable) {
    const std::string page(LivePageHtml());
    const std::regex asked(R"re(route\("(/[^"]*)")re");
    std::vector<std::string> paths;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), asked); it != std::sregex_iterator(); ++it)
        paths.push_back((*it)[1]);
    ASSERT_GE(paths.size(), 3u);
    for (const std::string& path : paths) {
        const ServeDecision d = DecideRequest({"GET", path, "", ""}, "");
        EXPECT_EQ(d.status, 200) << path;
    }
    for (const char* needed : {"/api/status", "/api/history", "/events"})
        EXPECT_NE(std::find(paths.begin(), paths.end(), needed), paths.end()) << needed;
}

TEST(LivePage, DrawsTheSixSeriesInTheWindowsColours) {
    const std::string_view page = LivePageHtml();
    for (const SeriesStyle& s : SeriesStyles()) {
        char colour[32];
        std::snprintf(colour, sizeof colour, "\"rgb(%d,%d,%d)\"", s.colour.r, s.colour.g, s.colour.b);
        EXPECT_TRUE(holds(page, colour)) << s.name << " " << colour;
    }
    for (const char* legend : {"\"Raw 1\"", "\"Mean 1\"", "\"Filter 1\"", "\"Raw 2\"", "\"Mean 2\"", "\"Filter 2\""})
        EXPECT_TRUE(holds(page, legend)) << legend;
    EXPECT_TRUE(holds(page, std::string("\"") + std::string(kBottomAxisTitle) + "\""));
}

TEST(LivePage, NamesTheReadOutsAsTheWindowDoes) {
    test::WindowHarness h;
    const ControlInventory inventory(h.w);
    const std::string_view page = LivePageHtml();
    int named = 0;
    for (const ControlEntry& c : inventory.controls()) {
        if (c.group != LayoutGroup::StatisticsAndCaptions || c.before.empty()) continue;
        std::string label(c.before);
        while (!label.empty() && label.back() == ' ') label.pop_back();
        EXPECT_TRUE(holds(page, "<dt>" + label + "</dt>")) << c.name << ": " << label;
        ++named;
    }
    EXPECT_EQ(named, 9);
}

TEST(HistoryRoute, IsInTheTableWithItsAccessRules) {
    struct Case {
        const char* method;
        const char* authorization;
        const char* token;
        int status;
    };
    const Case cases[] = {
        {"GET", "", "", 200},
        {"HEAD", "", "", 200},
        {"POST", "", "", 405},
        {"GET", "", "s3cret", 401},
        {"GET", "Bearer s3cret", "s3cret", 200},
    };
    for (const Case& c : cases) {
        const ServeDecision d = DecideRequest({c.method, "/api/history", c.authorization, ""}, c.token);
        EXPECT_EQ(d.status, c.status) << c.method << " " << c.authorization;
        if (d.route) {
            EXPECT_EQ(d.route->route, ServeRoute::History);
            EXPECT_EQ(d.route->contentType, "application/json");
        }
    }
    EXPECT_EQ(DecideRequest({"GET", "/api/history/", "", ""}, "").status, 404);
}

struct ServedForThePage : ::testing::Test {
    test::WindowHarness h;
    ServedState state{h.w, {"00000000000000ab", "9.9", 1000.0}, 5, 1000};
    std::vector<std::pair<std::string, std::string>> told;

    void SetUp() override {
        state.follow();
        state.setEventListener(
            [this](std::string_view name, const std::string& json) { told.emplace_back(std::string(name), json); });
        h.w.FormCreate();
        h.vp.telnet.reply = [n = 0](const std::string&) mutable -> std::optional<std::string> {
            return "+" + std::to_string(++n) + ".5E+00\r\n";
        };
        h.w.StartButton.Click();
    }
};

TEST_F(ServedForThePage, TheHistoryHoldsEverySampleTakenBeyondWhatPollingClientsGet) {
    h.advance(30000);
    const auto status = JsonReader::parse(state.statusJson());
    const double count = (*status)["count"].number;
    ASSERT_GE(count, 7);  // more than the five records held for polling
    const auto history = JsonReader::parse(state.historyJson({1000, {}, {}}));
    ASSERT_TRUE(history);
    EXPECT_EQ((*history)["seq"].number, count);
    EXPECT_EQ((*history)["channels"][0]["held"].number, count);
    const auto& points = (*history)["channels"][0]["points"].items;
    ASSERT_EQ(points.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(points.front()[1].number, 1.5);
    EXPECT_EQ(points.back()[1].number, count + 0.5);
    EXPECT_EQ(points.back()[0].number, (*history)["to"].number);
}

TEST_F(ServedForThePage, EachSampleIsFollowedByItsReadOuts) {
    h.advance(10000);
    ASSERT_GE(told.size(), 4u);
    int samples = 0;
    for (std::size_t i = 0; i < told.size(); ++i) {
        if (told[i].first != "sample") continue;
        ++samples;
        ASSERT_LT(i + 1, told.size());
        ASSERT_EQ(told[i + 1].first, "readouts");
        const auto sample = JsonReader::parse(told[i].second);
        const auto readouts = JsonReader::parse(told[i + 1].second);
        ASSERT_TRUE(readouts) << told[i + 1].second;
        EXPECT_EQ((*readouts)["seq"].number, (*sample)["seq"].number);
        // The replies climb by one: the first is the minimum, the latest the maximum.
        EXPECT_EQ((*readouts)["minimum"].number, 1.5);
        EXPECT_EQ((*readouts)["maximum"].number, (*sample)["value"].number);
        EXPECT_EQ((*readouts)["difference"].number, (*sample)["value"].number - 1.5);
    }
    EXPECT_GE(samples, 2);
    const auto status = JsonReader::parse(state.statusJson());
    EXPECT_EQ((*status)["readouts"]["maximum"].number, (*status)["latest"]["value"].number);
    // The standard deviation in StdDevBox's words, from the window's live sums.
    EXPECT_EQ((*status)["readouts"]["std_dev_ppm"].text, StdDevCaption(h.w.Stability.analysis(false)));
    EXPECT_NE((*status)["readouts"]["std_dev_ppm"].text, "none");
}

TEST_F(ServedForThePage, BeforeTheFirstSampleTheReadOutsAreNull) {
    EXPECT_TRUE((*JsonReader::parse(state.statusJson()))["readouts"].isNull());
}

}  // namespace
}  // namespace qs
