// The window's controls against the table of what each one is, says and
// shows beside it, written out here by hand from the window's design.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "WindowHarness.h"
#include "window/ControlInventory.h"

namespace qs {
namespace {

using K = ControlKind;
using G = LayoutGroup;

struct Expected {
    const char* name;
    K kind;
    G group;
    const char* text;  // caption of a button, check box, radio button or label; default text of a box
    bool state;        // enabled (button), checked (check box, radio button); unused otherwise
    const char* hint;
    const char* before;
    const char* after;
    const char* note;
};

const Expected kExpected[] = {
    {"StartButton", K::Button, G::ConnectionAndCommands, "Start", true,
     "Initiate communications to the GPIB telnet device (like via the Hx Engineering's KISS-488).", "", "", ""},
    {"ResetButton", K::Button, G::ConnectionAndCommands, "Stop", false, "Stop communications via GPIB.", "", "", ""},
    {"DeleteButton", K::Button, G::DataFile, "Empty the Data File", true,
     "This PERMANENTLY ERASES/DELETES the Data File and lets you start over from scratch.", "", "", ""},
    {"LoadButton", K::Button, G::DataFile, "Load Data File", true,
     "This loads all of the data from the Data File into the chart. Only the last number of points specified by "
     "\"Start scrolling after\" will be displayed.",
     "", "", ""},
    {"OpenFolderButton", K::Button, G::DataFile, "Open Data Folder", true,
     "Click here to open the folder where the Data File is located.", "", "", ""},
    {"PrintButton", K::Button, G::DisplayOptions, "Print to Default Printer", true,
     "Clicking this will print the chart out using the default printer. Make sure your printer is on.", "", "", ""},

    {"HostBox", K::Edit, G::ConnectionAndCommands, "192.168.1.88", false,
     "Specify the IP address of the GPIB telnet interface (such as on Hx Engineering's KISS-488 interface). Uses "
     "standard telnet port 23.",
     "", "", ""},
    {"IntervalBox", K::Edit, G::TimingAndWatchdog, "2", false,
     "You can use decimal values. For example, 2.5 is 2.5 seconds. 0.5 is half a second.", "Interval (seconds):", "",
     ""},
    {"TimeOutBox", K::Edit, G::TimingAndWatchdog, "5", false,
     "If no response is seen from the KISS within this time, the connection is forcefully disconnected and "
     "reconnected. Make sure this time intervals is longer than the Interval box.",
     "Timeout (seconds):", "", ""},
    {"CommandBox", K::Edit, G::ConnectionAndCommands, "MEAS:VOLT:DC? 5,0.00001", false,
     "Specify the command to send via Telnet to the interface.", "Command 1:", "", ""},
    {"CommandBox2", K::Edit, G::ConnectionAndCommands, "MEAS:VOLT:DC? 5,0.00001", false,
     "Specify the second command to send via Telnet to the interface.", "Command 2:", "", ""},
    {"MeanBox", K::Edit, G::DisplayOptions, "10", false,
     "This specifies how many of the most recent data points are used to compute the running mean.", "",
     "points (zero = all).", ""},
    {"FilterPoints", K::Edit, G::DisplayOptions, "10", false,
     "This controls the RC time-constant of the RC filter, measured in samples.", "", "samples (RC time)", ""},
    {"ScrollBox", K::Edit, G::DisplayOptions, "0", false,
     "Zero causes ALL data to be displayed. Non-zero causes the chart to start scrolling to the left after the "
     "number of samples given here is recorded.",
     "Start scrolling after:", "points.", "0 = disabled."},
    {"MinStringBox", K::Edit, G::ConnectionAndCommands, "5", false,
     "Must be greater than zero. Indicates the minimum valid number of characters returned via GPIB. ",
     "Minimum Valid String Length Returned:", "characters.", ""},
    {"SamplesPerPrintedPage", K::Edit, G::DisplayOptions, "500", false,
     "When printing charts, this number specifies how many samples to print per page. If you have 1000 samples and "
     "specify 500 here, two pages will be printed.",
     "Samples per printed page:", "", ""},
    {"TextFileBox", K::Edit, G::DataFile, "Data.txt", false,
     "Specify the Data File to use for the storage of GPIB data.", "Data File:", "", ""},
    {"MeasuredBox", K::Edit, G::ConnectionAndCommands, "", false, "The last returned RAW measurement is shown here.",
     "Last Returned Result:", "", ""},

    {"DisplayDataBox", K::CheckBox, G::DisplayOptions, "Plot Raw Data", true, "Plot the raw data.", "", "", ""},
    {"DisplayMeanBox", K::CheckBox, G::DisplayOptions, "Plot Mean using", true, "Display the computed running mean.",
     "", "", ""},
    {"FilterCheckbox", K::CheckBox, G::DisplayOptions, "Plot RC-Filter", true,
     "Enabling this plots the equivalent of a 1st order RC filter on the raw data.", "", "", ""},
    {"BoldRaw", K::CheckBox, G::DisplayOptions, "", true, "Make the raw data bold.", "", "", ""},
    {"BoldMean", K::CheckBox, G::DisplayOptions, "", false, "Make the computed running mean(s) bold.", "", "", ""},
    {"BoldFilter", K::CheckBox, G::DisplayOptions, "", false, "Make the RC Filter plot line(s) bold.", "", "", ""},
    {"DeleteFirstCheckBox", K::CheckBox, G::ConnectionAndCommands, "Delete first character of results", false,
     "The output of some devices are preceded by non-digits. Ex. F+10.001 from a frequency counter. This strips off "
     "the leading character.",
     "", "", ""},
    {"HintBox", K::CheckBox, G::DisplayOptions, "Display Hints", true,
     "Uncheck this box to stop the hints while hovering your mouse over options.", "", "", ""},
    {"AutoReconnect", K::CheckBox, G::TimingAndWatchdog, "Auto-Reconnect if data flow stops unexpectedly.", true,
     "If the telnet connection crashes, enabling this will cause the software to disconnect and then reconnect 5 "
     "seconds after the failure of data to be received.",
     "", "", ""},
    {"StrandedCheckBox", K::CheckBox, G::TimingAndWatchdog, "During time-outs, attempt to use stranded data.", true,
     "Sometimes, measurement data may be received without terminating characters, causing a time-out to occur. "
     "Checking this box causes any stranded data in the buffer to be processed.",
     "", "", ""},
    {"SaveResultsBox", K::CheckBox, G::DataFile, "Save Raw GPIB Results", false,
     "Save returned results to the file 'Results.txt' in the Data Folder (see button below). This overwrites "
     "existing results when the Start button is clicked. Raw data is placed within braces { } in the Results.txt "
     "file.",
     "", "", ""},
    {"AbsoluteCheckBox", K::CheckBox, G::TimingAndWatchdog, "Absolute Timer", false,
     "Check this box to receive data at specific set Intervals. Unchecking this box causes the software to wait "
     "Interval seconds after the last received data before commencing the next attempt at receiving new data. Be "
     "careful that your Interval is long enough. The system may time-out or behave incorrectly if responses aren't "
     "seen quickly enough to meet the absolute Interval when this box is checked.",
     "", "", ""},

    {"RadioButton1", K::RadioButton, G::ConnectionAndCommands, "Send Command 1", true, "Send only the first command.",
     "", "", ""},
    {"RadioButton2", K::RadioButton, G::ConnectionAndCommands, "Send Command 2", false, "Send only the second command.",
     "", "", ""},
    {"RadioButton3", K::RadioButton, G::ConnectionAndCommands, "Alternate Commands", false,
     "Send the first command. Then on the next interval, send the second command. Then on the next interval, send "
     "the first command and alternate between commands.",
     "", "", ""},

    {"DateBox", K::Label, G::StatisticsAndCaptions, "", false, "", "Current Time: ", "", ""},
    {"LastBox", K::Label, G::StatisticsAndCaptions, "", false, "", "Last Read Value:", "", ""},
    {"UnitsBox", K::Label, G::StatisticsAndCaptions, "   ", false, "", "", "", ""},
    {"CountBox", K::Label, G::StatisticsAndCaptions, "0", false, "", "Count: ", "", ""},
    {"MaxBox", K::Label, G::StatisticsAndCaptions, "0", false, "", "Maximum:", "", ""},
    {"MinBox", K::Label, G::StatisticsAndCaptions, "0", false, "", "Minimum:", "", ""},
    {"DiffBox", K::Label, G::StatisticsAndCaptions, "0", false, "", "Difference:", "", ""},
    {"ShowMean", K::Label, G::StatisticsAndCaptions, "0", false, "", "Computed Mean:", "", ""},
    {"FilterValue", K::Label, G::StatisticsAndCaptions, "0", false, "", "Computed Filter:", "", ""},
    {"StdDevBox", K::Label, G::StatisticsAndCaptions, "none", false, "", "Std. Deviation (ppm):", "", ""},
    {"CountDown", K::Label, G::TimingAndWatchdog, "", false, "", "Next Measurement in:", "seconds.", ""},
    {"LinkStatus", K::Label, G::StatisticsAndCaptions, "", false, "", "", "", ""},
    {"DataFileStatus", K::Label, G::DataFile, "", false, "", "", "", ""},
};

void PrintTo(const Expected& x, std::ostream* os) { *os << x.name; }

class ControlTexts : public ::testing::TestWithParam<Expected> {
protected:
    test::WindowHarness h;
    ControlInventory inventory{h.w};
};

TEST_P(ControlTexts, ControlShowsItsDesignTextsAndLabels) {
    const Expected& x = GetParam();
    const ControlEntry* e = inventory.find(x.name);
    ASSERT_NE(e, nullptr) << x.name;
    EXPECT_EQ(e->control->name(), x.name);
    EXPECT_EQ(e->kind, x.kind);
    EXPECT_EQ(e->group, x.group);
    EXPECT_EQ(e->control->hint(), x.hint);
    EXPECT_EQ(e->before, x.before);
    EXPECT_EQ(e->after, x.after);
    EXPECT_EQ(e->note, x.note);
    switch (x.kind) {
        case K::Button:
            EXPECT_EQ(e->button()->caption(), x.text);
            EXPECT_EQ(e->button()->enabled(), x.state);
            break;
        case K::Edit:
            EXPECT_EQ(e->edit()->text(), x.text);
            EXPECT_EQ(e->edit()->readOnly(), std::string(x.name) == "MeasuredBox");
            break;
        case K::CheckBox:
            EXPECT_EQ(e->checkBox()->caption(), x.text);
            EXPECT_EQ(e->checkBox()->checked(), x.state);
            break;
        case K::RadioButton:
            EXPECT_EQ(e->radioButton()->caption(), x.text);
            EXPECT_EQ(e->radioButton()->checked(), x.state);
            break;
        case K::Label:
            EXPECT_EQ(e->label()->caption(), x.text);
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(Window, ControlTexts, ::testing::ValuesIn(kExpected),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ControlInventory, ListsEveryControlOnceAndNothingElse) {
    test::WindowHarness h;
    ControlInventory inventory(h.w);
    std::set<std::string> expected, listed;
    for (const Expected& x : kExpected) expected.insert(x.name);
    for (const ControlEntry& e : inventory.controls()) {
        EXPECT_TRUE(listed.insert(std::string(e.name)).second) << e.name << " listed twice";
        EXPECT_NE(e.control, nullptr);
    }
    EXPECT_EQ(listed, expected);
}

TEST(ControlInventory, TypedAccessMatchesTheKindOnly) {
    test::WindowHarness h;
    ControlInventory inventory(h.w);
    const ControlEntry* box = inventory.find("ScrollBox");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->edit(), &h.w.ScrollBox);
    EXPECT_EQ(box->button(), nullptr);
    EXPECT_EQ(box->checkBox(), nullptr);
    EXPECT_EQ(inventory.find("BoldRaw")->checkBox(), &h.w.BoldRaw);
    EXPECT_EQ(inventory.find("BoldRaw")->label(), nullptr);
    EXPECT_EQ(inventory.find("NoSuchBox"), nullptr);
}

TEST(ControlInventory, DisplayLabelsOfTheLatestSampleAreBold) {
    test::WindowHarness h;
    ControlInventory inventory(h.w);
    std::set<std::string> bold;
    for (const ControlEntry& e : inventory.controls())
        if (e.bold) bold.insert(std::string(e.name));
    EXPECT_EQ(bold, (std::set<std::string>{"DateBox", "LastBox", "UnitsBox", "CountBox"}));
}

TEST(ControlInventory, StandaloneTextsStandAboveTheirControls) {
    test::WindowHarness h;
    ControlInventory inventory(h.w);
    ASSERT_EQ(ControlInventory::texts().size(), 2u);
    const StaticText& bold = ControlInventory::texts()[0];
    EXPECT_EQ(bold.text, "Bold");
    EXPECT_EQ(bold.above, "BoldRaw");
    const StaticText& sentence = ControlInventory::texts()[1];
    EXPECT_EQ(sentence.text, "Data is appended to the text data file in CSV format.");
    EXPECT_EQ(sentence.above, "TextFileBox");
    for (const StaticText& t : ControlInventory::texts()) {
        const ControlEntry* below = inventory.find(t.above);
        ASSERT_NE(below, nullptr) << t.text;
        EXPECT_EQ(below->group, t.group);
    }
}

// A box that follows a check box on its row reads that check box's caption
// as its label: the pairing "Plot Mean using" [MeanBox] "points (zero = all)."
TEST(ControlInventory, MeanAndFilterBoxesFollowTheirCheckBoxesOnOneRow) {
    test::WindowHarness h;
    ControlInventory inventory(h.w);
    const auto& all = inventory.controls();
    for (auto [box, check] : {std::pair{"MeanBox", "DisplayMeanBox"}, std::pair{"FilterPoints", "FilterCheckbox"}}) {
        auto at = [&](std::string_view name) {
            for (std::size_t i = 0; i < all.size(); ++i)
                if (all[i].name == name) return i;
            return all.size();
        };
        const std::size_t b = at(box), c = at(check);
        ASSERT_LT(b, all.size());
        ASSERT_EQ(c + 1, b) << box << " must stand right after " << check;
        EXPECT_EQ(all[b].row, all[c].row);
        EXPECT_EQ(all[b].group, all[c].group);
    }
}

TEST(ControlInventory, RowsRunInReadingOrderWithinEachGroup) {
    test::WindowHarness h;
    ControlInventory inventory(h.w);
    std::set<G> seen;
    G current = G::ConnectionAndCommands;
    int lastRow = -1;
    for (const ControlEntry& e : inventory.controls()) {
        if (seen.empty() || e.group != current) {
            if (!seen.empty()) {
                EXPECT_GT(static_cast<int>(e.group), static_cast<int>(current)) << e.name;
            }
            EXPECT_TRUE(seen.insert(e.group).second) << "group split around " << e.name;
            EXPECT_EQ(e.row, 0) << e.name;
            current = e.group;
            lastRow = 0;
            continue;
        }
        EXPECT_TRUE(e.row == lastRow || e.row == lastRow + 1) << e.name;
        lastRow = e.row;
    }
    EXPECT_EQ(seen.size(), 5u);
}

TEST(ControlInventory, ChartHintTellsHowToZoomAndPan) {
    EXPECT_EQ(kChartHint,
              "Left mouse drag upper-left to lower-right to ZOOM-IN. Right-mouse to pan. Left drag lower-right to "
              "upper-left to ZOOM-OUT.");
}

TEST(ControlInventory, WindowCaptionAndHintAreTheDesignOnes) {
    test::WindowHarness h;
    EXPECT_EQ(h.w.Form.caption(), "KISS-488 GPIB Quillstone Logger v1.10");
    EXPECT_EQ(h.w.Form.hint(), h.w.TimeOutBox.hint());
    EXPECT_TRUE(h.w.Form.showHint());
}

}  // namespace
}  // namespace qs
