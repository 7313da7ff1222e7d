// The settings file and the window's controls.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "WindowHarness.h"
#include "platform/Exception.h"
#include "window/ControlInventory.h"
#include "window/Settings.h"

namespace qs {
namespace {

using test::WindowHarness;

// The file a window with every control at its design value writes, by hand.
const std::string kDefaultFile =
    "192.168.1.88\r\n2\r\nMEAS:VOLT:DC? 5,0.00001\r\nMEAS:VOLT:DC? 5,0.00001\r\n1\r\n1\r\n10\r\n0\r\n0\r\n1\r\n1\r\n"
    "10\r\n1\r\n0\r\n0\r\n500\r\nData.txt\r\n1\r\n5\r\n0\r\n5\r\n1\r\n0\r\n";

std::vector<std::string> lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find("\r\n", pos);
        out.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

std::string withLine(std::string bytes, std::size_t line, const std::string& value) {
    std::vector<std::string> all = lines(bytes);
    all[line - 1] = value;
    std::string out;
    for (const std::string& l : all) out += l + "\r\n";
    return out;
}

TEST(SaveSettings, DesignValuesGiveTheDefaultFileByteForByte) {
    WindowHarness h;
    h.w.SaveSettings();
    EXPECT_EQ(test::ReadFile("config.txt"), kDefaultFile);
}

TEST(SaveSettings, TheCommandModeIsNotKept) {
    WindowHarness h;
    h.w.RadioButton3.setChecked(true);
    h.w.SaveSettings();
    EXPECT_EQ(test::ReadFile("config.txt"), kDefaultFile);
}

// Every one of the 23 controls is changed away from its design value, saved,
// and read back into a fresh window.
TEST(SettingsRoundTrip, EveryControlComesBackAsItWasSaved) {
    std::string saved;
    std::vector<std::string> texts;
    std::vector<bool> flags;
    {
        WindowHarness h;
        ControlInventory inventory(h.w);
        int n = 0;
        for (const SettingSlot& slot : SettingSlots()) {
            const ControlEntry* e = inventory.find(slot.control);
            if (slot.kind == SettingKind::Flag) {
                e->checkBox()->click();
                flags.push_back(e->checkBox()->checked());
            } else {
                // Numbers where a handler converts, something else elsewhere.
                const std::string value = slot.control == "HostBox"       ? "10.1.2.3"
                                          : slot.control == "CommandBox"  ? "READ?"
                                          : slot.control == "CommandBox2" ? ":FETC?"
                                          : slot.control == "TextFileBox" ? "bench 4.csv"
                                                                          : std::to_string(21 + n);
                e->edit()->setText(value);
                texts.push_back(e->edit()->text());
            }
            ++n;
        }
        h.w.SaveSettings();
        saved = test::ReadFile("config.txt");
    }
    WindowHarness h;
    test::WriteFile("config.txt", saved);
    h.w.LoadSettings();
    ControlInventory inventory(h.w);
    std::size_t t = 0, f = 0;
    for (const SettingSlot& slot : SettingSlots()) {
        const ControlEntry* e = inventory.find(slot.control);
        if (slot.kind == SettingKind::Flag)
            EXPECT_EQ(e->checkBox()->checked(), flags[f++]) << slot.control;
        else
            EXPECT_EQ(e->edit()->text(), texts[t++]) << slot.control;
    }
    // The flipped display boxes reached the series through their handlers.
    EXPECT_FALSE(h.series(1).Visible());
    EXPECT_EQ(h.series(2).PenWidth(), 2);
    EXPECT_EQ(h.w.Timer1.interval(), 22000);
    EXPECT_EQ(h.w.State.IntervalSeconds, 22.0);
}

TEST(LoadSettings, FlagTwoChecksItsBoxAndIsSavedAsOne) {
    WindowHarness h;
    test::WriteFile("config.txt", withLine(kDefaultFile, 9, "2"));
    h.w.LoadSettings();
    EXPECT_TRUE(h.w.DeleteFirstCheckBox.checked());
    h.w.SaveSettings();
    EXPECT_EQ(lines(test::ReadFile("config.txt"))[8], "1");
}

TEST(LoadSettings, ExtraLinesAreIgnoredAndTheNextSaveWritesTwentyThree) {
    WindowHarness h;
    test::WriteFile("config.txt", kDefaultFile + "surplus\r\n0\r\n");
    h.w.LoadSettings();
    h.w.SaveSettings();
    EXPECT_EQ(test::ReadFile("config.txt"), kDefaultFile);
}

TEST(LoadSettings, MissingFileChangesNothing) {
    WindowHarness h;
    h.w.IntervalBox.setText("4");
    h.w.LoadSettings();
    EXPECT_EQ(h.w.IntervalBox.text(), "4");
    EXPECT_EQ(h.w.Timer1.interval(), 100);
    EXPECT_EQ(h.w.State.IntervalSeconds, 2.0);
}

// Only a text that differs from the box's runs its change handler.
struct MeanLineCase {
    const char* line;
    int handlerRuns;
    const char* shown;
};

class MeanBoxLine : public ::testing::TestWithParam<MeanLineCase> {};

TEST_P(MeanBoxLine, RunsMeanBoxChangeOnlyWhenTheTextDiffers) {
    WindowHarness h;
    int runs = 0;
    auto handler = h.w.MeanBox.OnChange;
    h.w.MeanBox.OnChange = [&] {
        ++runs;
        handler();
    };
    test::WriteFile("config.txt", withLine(kDefaultFile, 7, GetParam().line));
    h.w.LoadSettings();
    EXPECT_EQ(runs, GetParam().handlerRuns);
    EXPECT_EQ(h.w.MeanBox.text(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Settings, MeanBoxLine,
                         ::testing::Values(MeanLineCase{"10", 0, "10"}, MeanLineCase{"20", 1, "20"},
                                           MeanLineCase{"020", 2, "20"}));

TEST(LoadSettings, AnUncheckedHintBoxTurnsTheWindowsHintsOff) {
    WindowHarness h;
    test::WriteFile("config.txt", withLine(kDefaultFile, 18, "0"));
    h.w.LoadSettings();
    EXPECT_FALSE(h.w.HintBox.checked());
    EXPECT_FALSE(h.w.Form.showHint());
}

TEST(LoadSettings, ExitHandlersDoNotRunSoValuesAreNotRangeChecked) {
    WindowHarness h;
    std::string file = withLine(kDefaultFile, 8, "-100");
    file = withLine(file, 16, "20");
    test::WriteFile("config.txt", file);
    h.w.LoadSettings();
    EXPECT_EQ(h.w.ScrollBox.text(), "-100");
    EXPECT_EQ(h.w.SamplesPerPrintedPage.text(), "20");
    EXPECT_EQ(h.w.State.ScrollPoints, 0);
    EXPECT_EQ(h.w.State.SamplesPerPage, 500);
}

TEST(LoadSettings, IntervalBoxGivesBothPollTimersAndTheIntervalSeconds) {
    WindowHarness h;
    test::WriteFile("config.txt", withLine(kDefaultFile, 2, "2.5"));
    h.w.LoadSettings();
    EXPECT_EQ(h.w.Timer1.interval(), 2500);
    EXPECT_EQ(h.w.Timer3.interval(), 2500);
    EXPECT_EQ(h.w.State.IntervalSeconds, 2.5);
    EXPECT_FALSE(h.w.Timer1.enabled());
    EXPECT_FALSE(h.w.Timer3.enabled());
}

// A file cut short keeps the controls whose lines are missing.
TEST(LoadSettings, AShortFileKeepsTheControlsOfTheMissingLines) {
    WindowHarness h;
    h.w.TextFileBox.setText("mine.txt");
    h.w.BoldMean.setChecked(true);
    test::WriteFile("config.txt", "10.9.8.7\r\n3\r\nREAD?\r\n");
    h.w.LoadSettings();
    EXPECT_EQ(h.w.HostBox.text(), "10.9.8.7");
    EXPECT_EQ(h.w.CommandBox.text(), "READ?");
    EXPECT_EQ(h.w.CommandBox2.text(), "MEAS:VOLT:DC? 5,0.00001");
    EXPECT_EQ(h.w.TextFileBox.text(), "mine.txt");
    EXPECT_TRUE(h.w.BoldMean.checked());
    EXPECT_TRUE(h.w.DisplayDataBox.checked());
    EXPECT_EQ(h.w.Timer1.interval(), 3000);
}

TEST(LoadSettings, AnIntervalThatIsNoNumberRaisesAfterAllLinesAreIn) {
    WindowHarness h;
    std::string file = withLine(kDefaultFile, 2, "two");
    file = withLine(file, 23, "1");
    test::WriteFile("config.txt", file);
    EXPECT_THROW(h.w.LoadSettings(), EConvertError);
    EXPECT_EQ(h.w.IntervalBox.text(), "two");
    EXPECT_TRUE(h.w.AbsoluteCheckBox.checked());
    EXPECT_EQ(h.w.Timer1.interval(), 100);
    EXPECT_EQ(h.w.State.IntervalSeconds, 2.0);
}

TEST(LoadSettings, AMeanBoxThatIsNoNumberStopsTheLinesAfterIt) {
    WindowHarness h;
    std::string file = withLine(kDefaultFile, 1, "10.0.0.1");
    file = withLine(file, 6, "0");
    file = withLine(file, 7, "ten");
    file = withLine(file, 8, "50");
    file = withLine(file, 17, "other.txt");
    test::WriteFile("config.txt", file);
    EXPECT_THROW(h.w.LoadSettings(), EConvertError);
    EXPECT_EQ(h.w.HostBox.text(), "10.0.0.1");
    EXPECT_FALSE(h.w.DisplayMeanBox.checked());
    EXPECT_EQ(h.w.MeanBox.text(), "ten");
    EXPECT_EQ(h.w.ScrollBox.text(), "0");
    EXPECT_EQ(h.w.TextFileBox.text(), "Data.txt");
}

// Where the temporary of the safe save cannot be made, the settings are
// still saved, written over the old file; a "config.txt" that is a folder
// cannot be written at all and stays as it was.
TEST(SaveSettings, WhereNoTemporaryCanBeMadeTheFileIsWrittenInPlace) {
    WindowHarness h;
    test::WriteFile("config.txt", withLine(kDefaultFile, 1, "10.0.0.1"));
    std::filesystem::create_directory(TemporaryFileFor("config.txt"));
    h.w.SaveSettings();
    EXPECT_EQ(lines(test::ReadFile("config.txt"))[0], "192.168.1.88");
    std::filesystem::remove("config.txt");
    std::filesystem::create_directory("config.txt");
    h.w.SaveSettings();
    EXPECT_TRUE(std::filesystem::is_directory("config.txt"));
    EXPECT_TRUE(std::filesystem::is_empty("config.txt"));
}

}  // namespace
}  // namespace qs
