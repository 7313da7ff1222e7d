// The window as config.txt leaves it at start-up.
#include <gtest/gtest.h>

#include "WindowFixture.h"

namespace qs::test {
namespace {

struct StartupWithSettingsTest : WindowFixture {
    void prepare() override {
        ConfigLines config;
        config[ConfigLines::Host] = "10.0.0.7";
        config[ConfigLines::Hints] = "0";
        config[ConfigLines::Scroll] = "100";
        config.write();
    }
};

TEST_F(StartupWithSettingsTest, SettingsReadAtStartAreWhatTheWindowShows) {
    EXPECT_EQ(edit("HostBox")->text(), "10.0.0.7");
    EXPECT_EQ(edit("ScrollBox")->text(), "100");
    EXPECT_FALSE(view<QCheckBox>("HintBox")->isChecked());
    // Hints are off from the start, the window's own included.
    EXPECT_TRUE(window().hintArea()->toolTip().isEmpty());
    EXPECT_TRUE(edit("HostBox")->toolTip().isEmpty());
}

struct StartupWithBadSettingsTest : WindowFixture {
    std::unique_ptr<BoxAnswerer> answerer;
    void prepare() override {
        ConfigLines config;
        config[ConfigLines::Interval] = "two";
        config.write();
        answerer = std::make_unique<BoxAnswerer>();
    }
};

TEST_F(StartupWithBadSettingsTest, AnErrorWhileCreatingIsReportedAndTheWindowOpensAllTheSame) {
    ASSERT_EQ(answerer->boxes().size(), 1u);
    EXPECT_FALSE(answerer->boxes()[0].text.isEmpty());
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(edit("IntervalBox")->text(), "two");
    // The window works: a click runs its handler.
    click("BoldMean");
    EXPECT_EQ(app->chart.Series(2).PenWidth(), 2);
}

}  // namespace
}  // namespace qs::test
