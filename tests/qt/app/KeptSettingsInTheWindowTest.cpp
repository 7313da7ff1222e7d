// What a person sets beyond config.txt's 23 lines is there again at the
// next start: the command mode, the chart menu's Legend and Join Gaps, the
// window's size and place.
#include <QAction>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ConfigLines.h"
#include "TempWorkDir.h"
#include "WindowTestSupport.h"
#include "qt/app/LoggerApp.h"
#include "qt/app/ProgramOptions.h"

namespace qs::test {
namespace {

// One run of the window in the working directory: created and shown, then
// closed as the person closes it.
struct WindowRun {
    std::unique_ptr<LoggerApp> app = std::make_unique<LoggerApp>();
    WindowRun() {
        app->create();
        app->window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&app->window));
    }
    ~WindowRun() {
        app->window.close();
        app.reset();
    }
    QRadioButton* radio(const char* name) { return qobject_cast<QRadioButton*>(app->window.widgetOf(name)); }
    bool ticked(const char* action) { return app->chart.menuAction(QString::fromLatin1(action))->isChecked(); }
};

struct KeptCase {
    const char* name;
    const char* radio;
    bool legend, joinGaps;
    QRect place;
};

class KeptAcrossRuns : public ::testing::TestWithParam<KeptCase> {
protected:
    TempWorkDir dir;
};

TEST_P(KeptAcrossRuns, TheNextRunStartsAsThePersonLeftItAndConfigKeepsItsLines) {
    const KeptCase& c = GetParam();
    {
        WindowRun first;
        // The defaults of a first start.
        EXPECT_TRUE(first.radio("RadioButton1")->isChecked());
        EXPECT_TRUE(first.ticked("Legend"));
        EXPECT_FALSE(first.ticked("Join Gaps"));
        QTest::mouseClick(first.radio(c.radio), Qt::LeftButton);
        if (!c.legend) first.app->chart.menuAction(QStringLiteral("Legend"))->trigger();
        if (c.joinGaps) first.app->chart.menuAction(QStringLiteral("Join Gaps"))->trigger();
        first.app->window.setGeometry(c.place);
        QTest::qWait(20);
    }
    EXPECT_EQ(ReadLines("config.txt").size(), 23u);
    const std::string conf = ReadFile(kOptionsFileName);
    EXPECT_NE(conf.find("legend = " + std::string(c.legend ? "yes" : "no") + "\n"), std::string::npos) << conf;

    WindowRun second;
    EXPECT_TRUE(second.radio(c.radio)->isChecked());
    EXPECT_TRUE(second.app->logger.RadioButton1.checked() == (std::string(c.radio) == "RadioButton1"));
    EXPECT_EQ(second.app->chart.legendShown(), c.legend);
    EXPECT_EQ(second.ticked("Legend"), c.legend);
    EXPECT_EQ(second.app->chart.gapsJoined(), c.joinGaps);
    EXPECT_EQ(second.ticked("Join Gaps"), c.joinGaps);
    EXPECT_EQ(second.app->window.size(), c.place.size());
    EXPECT_EQ(second.app->window.geometry().topLeft(), c.place.topLeft());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, KeptAcrossRuns,
    ::testing::Values(KeptCase{"alternate_legend_off", "RadioButton3", false, false, QRect(40, 30, 1400, 800)},
                      KeptCase{"command_2_gaps_joined", "RadioButton2", true, true, QRect(20, 50, 1450, 850)},
                      KeptCase{"command_1_both_switched", "RadioButton1", false, true, QRect(100, 60, 1500, 900)}),
    [](const ::testing::TestParamInfo<KeptCase>& info) { return std::string(info.param.name); });

TEST(KeptSettingsFile, APersonsLinesInQuillstoneConfStayAsTheyWere) {
    TempWorkDir dir;
    {
        std::ofstream out(kOptionsFileName, std::ios::binary);
        out << "# the bench logger\nname = bench7\n";
    }
    { WindowRun run; }
    const std::string conf = ReadFile(kOptionsFileName);
    EXPECT_EQ(conf.rfind("# the bench logger\nname = bench7\n", 0), 0u) << conf;
    EXPECT_NE(conf.find("command-mode = command-1\n"), std::string::npos) << conf;
}

TEST(KeptSettingsFile, ARefusedValueIsReportedAndTheDefaultsServe) {
    const ProgramOptions o = ProgramOptions::parse({}, std::string("command-mode = both\n"));
    EXPECT_EQ(o.fileError.value_or(""),
              "quillstone.conf: command-mode = both: the value is not command-1, command-2 or alternate");
    EXPECT_EQ(o.kept, KeptSettings{});
    // The kept keys go in the file, not on the command line.
    EXPECT_EQ(ProgramOptions::parse({"--legend"}).mode, ProgramOptions::Mode::Error);
    EXPECT_EQ(ProgramOptions::parse({"--headless"}, std::string("command-mode = alternate\nlegend = no\n")).kept,
              (KeptSettings{CommandMode::Alternate, false, false, {}}));
}

}  // namespace
}  // namespace qs::test
