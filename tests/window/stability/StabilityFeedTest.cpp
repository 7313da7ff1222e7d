// The stability feed on the virtual clock: how often it refreshes while
// samples arrive, what a load, an Empty or a new mean's window do, and the
// read-out it keeps in StdDevBox.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "WindowHarness.h"
#include "stability/SeriesStatistics.h"
#include "window/StabilityFeed.h"

namespace qs {
namespace {

struct Refresh {
    std::int64_t atMs;
    DataAnalysis figures;
};

struct FeedFixture {
    test::WindowHarness h;
    std::vector<Refresh> refreshes;
    std::vector<double> values;

    explicit FeedFixture(int periodMs = 1000, int firstDelayMs = 0) : feed(h.w, h.vp.time, periodMs, firstDelayMs) {
        h.w.MinStringBox.setText("1");
        h.w.MeanBox.setText("0");
        h.w.MeanBoxChange();
        feed.setListener([this](const DataAnalysis& a) { refreshes.push_back({h.vp.time.nowMs(), a}); });
    }
    // A sample every stepMs for count samples.
    void samples(int count, int stepMs) {
        for (int i = 0; i < count; ++i) {
            const double v = 10.0 + 1e-6 * ((i * 7919) % 13) + 1e-9 * static_cast<double>(values.size());
            char text[40];
            std::snprintf(text, sizeof text, "%.12f", v);
            values.push_back(std::strtod(text, nullptr));
            h.answer(std::string(text) + "\r\n");
            h.advance(stepMs);
        }
    }

    StabilityFeed feed;
};

TEST(StabilityFeed, RefreshesAtMostOnceASecondHoweverFastSamplesArrive) {
    FeedFixture f;
    f.samples(100, 50);  // 20 a second for 5 s
    f.h.advance(1000);
    ASSERT_GE(f.refreshes.size(), 5u);
    EXPECT_LE(f.refreshes.size(), 6u);
    for (std::size_t i = 1; i < f.refreshes.size(); ++i)
        EXPECT_GE(f.refreshes[i].atMs - f.refreshes[i - 1].atMs, 1000) << "refresh " << i;
    // The last refresh has every sample.
    EXPECT_EQ(f.refreshes.back().figures.channels.at(0).figures.n, 100);
}

TEST(StabilityFeed, HeadlessCadenceIsAMinuteAndTheEndFlushesWhatWaits) {
    FeedFixture f(60000, 60000);
    f.samples(330, 1000);  // five and a half minutes
    ASSERT_EQ(f.refreshes.size(), 5u);
    EXPECT_EQ(f.refreshes.front().atMs, 60000);
    for (std::size_t i = 1; i < f.refreshes.size(); ++i)
        EXPECT_EQ(f.refreshes[i].atMs - f.refreshes[i - 1].atMs, 60000) << "refresh " << i;
    f.feed.flush();
    ASSERT_EQ(f.refreshes.size(), 6u);
    EXPECT_EQ(f.refreshes.back().figures.channels.at(0).figures.n, 330);
}

TEST(StabilityFeed, ShowsTheRulesStandardDeviationInPpmInStdDevBox) {
    FeedFixture f;
    EXPECT_EQ(f.h.w.StdDevBox.caption(), "none");
    f.samples(40, 1000);
    f.h.advance(1000);
    std::vector<double> t;
    for (std::size_t i = 0; i < f.values.size(); ++i) t.push_back(static_cast<double>(i));
    const SeriesFigures rule = SeriesFiguresOf(t, f.values);
    const std::optional<double> shown = f.refreshes.back().figures.channels.at(0).figures.stddevPpm;
    ASSERT_TRUE(rule.stddevPpm && shown);
    EXPECT_NEAR(*shown, *rule.stddevPpm, 1e-9 * *rule.stddevPpm);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%.4g", *rule.stddevPpm);
    EXPECT_EQ(f.h.w.StdDevBox.caption(), expected);
}

TEST(StabilityFeed, ALoadAnEmptyAndANewMeanWindowRefreshWithoutASample) {
    FeedFixture f;
    f.samples(30, 1000);
    f.h.advance(2000);
    const std::size_t before = f.refreshes.size();

    f.h.w.MeanBox.setText("10");
    f.h.w.MeanBoxChange();
    f.h.advance(1000);
    ASSERT_EQ(f.refreshes.size(), before + 1);
    EXPECT_EQ(f.refreshes.back().figures.channels.at(0).figures.n, 10);

    f.h.w.MeanBox.setText("0");
    f.h.w.MeanBoxChange();
    f.h.w.LoadButtonClick();
    f.h.advance(1000);
    ASSERT_EQ(f.refreshes.size(), before + 2);
    EXPECT_EQ(f.refreshes.back().figures.channels.at(0).figures.n, 30);

    f.h.vp.dialogs.answers.push_back(MsgResult::Yes);
    f.h.w.DeleteButtonClick();
    f.h.advance(1000);
    ASSERT_EQ(f.refreshes.size(), before + 3);
    EXPECT_EQ(f.refreshes.back().figures.channels.at(0).figures.n, 0);
    EXPECT_EQ(f.h.w.StdDevBox.caption(), "none");
}

TEST(StabilityFeed, ASampleOnlyAsksTheFiguresAreWorkedOutAtTheRefresh) {
    FeedFixture f;
    f.samples(3, 100);
    const long long runs = f.feed.throttle().runs();
    f.h.w.MinStringBox.setText("1");
    f.h.answer("10.5\r\n");
    // Within the second after a refresh: asked, not run.
    EXPECT_EQ(f.feed.throttle().runs(), runs);
    EXPECT_TRUE(f.feed.throttle().due());
}

TEST(StabilityFeed, InAlternateCommandsGivesTheRegressionOfChannelOneOnChannelTwo) {
    test::WindowHarness h;
    StabilityFeed feed(h.w, h.vp.time, 1000, 0);
    h.w.MinStringBox.setText("1");
    h.w.MeanBox.setText("0");
    h.w.MeanBoxChange();
    h.w.RadioButton3.setChecked(true);
    // Channel 1 = 10 + 2e-6 * (channel 2 - 25), channel 2 a temperature.
    const double temperatures[] = {24.0, 24.5, 25.0, 25.5, 26.0, 26.5, 25.0, 24.0};
    for (double temperature : temperatures) {
        char one[40], two[40];
        std::snprintf(one, sizeof one, "%.15f", 10.0 + 2e-6 * (temperature - 25.0));
        std::snprintf(two, sizeof two, "%.15f", temperature);
        h.w.State.ReplyPhase = 1;
        h.answer(std::string(one) + "\r\n");
        h.advance(1000);
        h.w.State.ReplyPhase = 0;
        h.answer(std::string(two) + "\r\n");
        h.advance(1000);
    }
    const DataAnalysis a = feed.analysis();
    ASSERT_EQ(a.channels.size(), 2u);
    EXPECT_EQ(a.channels[0].figures.n, 8);
    EXPECT_EQ(a.channels[1].figures.n, 8);
    ASSERT_TRUE(a.tempco);
    EXPECT_EQ(a.tempco->pairs, 8);
    ASSERT_TRUE(a.tempco->slope);
    EXPECT_NEAR(*a.tempco->slope, 2e-6, 1e-12);
    ASSERT_TRUE(a.tempco->ppmPerUnit);
    EXPECT_NEAR(*a.tempco->ppmPerUnit, 0.2, 1e-6);
    // Both channels' ppm in the read-out.
    h.advance(1000);
    EXPECT_NE(h.w.StdDevBox.caption().find(" / "), std::string::npos) << h.w.StdDevBox.caption();
}

}  // namespace
}  // namespace qs
