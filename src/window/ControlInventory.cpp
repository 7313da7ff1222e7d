#include "window/ControlInventory.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "window/TGPIBTelnet.h"

namespace qs {
namespace {

using G = LayoutGroup;
using K = ControlKind;

// One row of the layout table: everything of an entry but the pointer,
// which only a window can supply.
struct Layout {
    std::string_view name;
    K kind;
    G group;
    int row;
    std::string_view before, after, note;
    bool bold;
};

// The window's layout in reading order. A box that follows a check box on
// its row (MeanBox after "Plot Mean using", FilterPoints after "Plot RC-Filter")
// takes the check box's caption as its label, so it has no label of its own
// in front.
constexpr Layout kLayout[] = {
    {"HostBox", K::Edit, G::ConnectionAndCommands, 0, "", "", "", false},
    {"StartButton", K::Button, G::ConnectionAndCommands, 0, "", "", "", false},
    {"ResetButton", K::Button, G::ConnectionAndCommands, 0, "", "", "", false},
    {"CommandBox", K::Edit, G::ConnectionAndCommands, 1, "Command 1:", "", "", false},
    {"CommandBox2", K::Edit, G::ConnectionAndCommands, 2, "Command 2:", "", "", false},
    {"RadioButton1", K::RadioButton, G::ConnectionAndCommands, 3, "", "", "", false},
    {"RadioButton2", K::RadioButton, G::ConnectionAndCommands, 3, "", "", "", false},
    {"RadioButton3", K::RadioButton, G::ConnectionAndCommands, 3, "", "", "", false},
    {"DeleteFirstCheckBox", K::CheckBox, G::ConnectionAndCommands, 4, "", "", "", false},
    {"MinStringBox", K::Edit, G::ConnectionAndCommands, 5, "Minimum Valid String Length Returned:", "characters.", "",
     false},
    {"MeasuredBox", K::Edit, G::ConnectionAndCommands, 6, "Last Returned Result:", "", "", false},

    {"IntervalBox", K::Edit, G::TimingAndWatchdog, 0, "Interval (seconds):", "", "", false},
    {"TimeOutBox", K::Edit, G::TimingAndWatchdog, 1, "Timeout (seconds):", "", "", false},
    {"AbsoluteCheckBox", K::CheckBox, G::TimingAndWatchdog, 2, "", "", "", false},
    {"AutoReconnect", K::CheckBox, G::TimingAndWatchdog, 3, "", "", "", false},
    {"StrandedCheckBox", K::CheckBox, G::TimingAndWatchdog, 4, "", "", "", false},
    {"CountDown", K::Label, G::TimingAndWatchdog, 5, "Next Measurement in:", "seconds.", "", false},

    {"DateBox", K::Label, G::StatisticsAndCaptions, 0, "Current Time: ", "", "", true},
    {"LastBox", K::Label, G::StatisticsAndCaptions, 1, "Last Read Value:", "", "", true},
    {"UnitsBox", K::Label, G::StatisticsAndCaptions, 1, "", "", "", true},
    {"CountBox", K::Label, G::StatisticsAndCaptions, 2, "Count: ", "", "", true},
    {"MaxBox", K::Label, G::StatisticsAndCaptions, 3, "Maximum:", "", "", false},
    {"MinBox", K::Label, G::StatisticsAndCaptions, 4, "Minimum:", "", "", false},
    {"DiffBox", K::Label, G::StatisticsAndCaptions, 5, "Difference:", "", "", false},
    {"ShowMean", K::Label, G::StatisticsAndCaptions, 6, "Computed Mean:", "", "", false},
    {"FilterValue", K::Label, G::StatisticsAndCaptions, 7, "Computed Filter:", "", "", false},
    {"LinkStatus", K::Label, G::StatisticsAndCaptions, 8, "", "", "", false},

    {"DisplayDataBox", K::CheckBox, G::DisplayOptions, 0, "", "", "", false},
    {"BoldRaw", K::CheckBox, G::DisplayOptions, 0, "", "", "", false},
    {"DisplayMeanBox", K::CheckBox, G::DisplayOptions, 1, "", "", "", false},
    {"MeanBox", K::Edit, G::DisplayOptions, 1, "", "points (zero = all).", "", false},
    {"BoldMean", K::CheckBox, G::DisplayOptions, 1, "", "", "", false},
    {"FilterCheckbox", K::CheckBox, G::DisplayOptions, 2, "", "", "", false},
    {"FilterPoints", K::Edit, G::DisplayOptions, 2, "", "samples (RC time)", "", false},
    {"BoldFilter", K::CheckBox, G::DisplayOptions, 2, "", "", "", false},
    {"ScrollBox", K::Edit, G::DisplayOptions, 3, "Start scrolling after:", "points.", "0 = disabled.", false},
    {"HintBox", K::CheckBox, G::DisplayOptions, 4, "", "", "", false},
    {"SamplesPerPrintedPage", K::Edit, G::DisplayOptions, 5, "Samples per printed page:", "", "", false},
    {"PrintButton", K::Button, G::DisplayOptions, 6, "", "", "", false},

    {"TextFileBox", K::Edit, G::DataFile, 0, "Data File:", "", "", false},
    {"DeleteButton", K::Button, G::DataFile, 1, "", "", "", false},
    {"LoadButton", K::Button, G::DataFile, 1, "", "", "", false},
    {"SaveResultsBox", K::CheckBox, G::DataFile, 2, "", "", "", false},
    {"OpenFolderButton", K::Button, G::DataFile, 3, "", "", "", false},
    {"DataFileStatus", K::Label, G::DataFile, 4, "", "", "", false},
};

constexpr StaticText kTexts[] = {
    {"Bold", G::DisplayOptions, "BoldRaw"},
    {"Data is appended to the text data file in CSV format.", G::DataFile, "TextFileBox"},
};

using E = EventKind;
using W = TGPIBTelnet;

constexpr EventWiring kEvents[] = {
    {"GPIBTelnet", E::Create, "FormCreate", &W::FormCreate},
    {"GPIBTelnet", E::CloseQuery, "FormCloseQuery", nullptr},
    {"StartButton", E::Click, "StartButtonClick", &W::StartButtonClick},
    {"ResetButton", E::Click, "ResetButtonClick", &W::ResetButtonClick},
    {"Telnet", E::Connected, "TelnetConnected", &W::TelnetConnected},
    {"Telnet", E::Disconnected, "TelnetDisconnected", &W::TelnetDisconnected},
    {"Telnet", E::DataAvailable, "OnDataAvailable", nullptr},
    {"Timer1", E::Timer, "Timer1Timer", &W::Timer1Timer},
    {"Timer2", E::Timer, "Timer2Timer", &W::Timer2Timer},
    {"Timer3", E::Timer, "Timer3Timer", &W::Timer3Timer},
    {"WatchdogTimer", E::Timer, "WatchdogTimerTimer", &W::WatchdogTimerTimer},
    {"IntervalBox", E::Exit, "IntervalBoxExit", &W::IntervalBoxExit},
    {"TimeOutBox", E::Exit, "TimeOutBoxExit", &W::TimeOutBoxExit},
    {"LoadButton", E::Click, "LoadButtonClick", &W::LoadButtonClick},
    {"DeleteButton", E::Click, "DeleteButtonClick", &W::DeleteButtonClick},
    {"TextFileBox", E::Exit, "TextFileBoxExit", &W::TextFileBoxExit},
    {"MeanBox", E::Change, "MeanBoxChange", &W::MeanBoxChange},
    {"FilterPoints", E::Change, "FilterPointsChange", &W::FilterPointsChange},
    {"ScrollBox", E::Exit, "ScrollBoxExit", &W::ScrollBoxExit},
    // Leaving the minimum-length box re-applies the scroll window, as the
    // window has always done; it never validates the length itself.
    {"MinStringBox", E::Exit, "ScrollBoxExit", &W::ScrollBoxExit},
    {"DisplayDataBox", E::Click, "DisplayDataBoxClick", &W::DisplayDataBoxClick},
    // Re-applies DisplayDataBox's state: nothing visible changes.
    {"SaveResultsBox", E::Click, "DisplayDataBoxClick", &W::DisplayDataBoxClick},
    {"DisplayMeanBox", E::Click, "DisplayMeanBoxClick", &W::DisplayMeanBoxClick},
    {"FilterCheckbox", E::Click, "FilterCheckboxClick", &W::FilterCheckboxClick},
    {"BoldRaw", E::Click, "BoldRawClick", &W::BoldRawClick},
    {"BoldMean", E::Click, "BoldMeanClick", &W::BoldMeanClick},
    {"BoldFilter", E::Click, "BoldFilterClick", &W::BoldFilterClick},
    {"PrintButton", E::Click, "PrintButtonClick", &W::PrintButtonClick},
    {"SamplesPerPrintedPage", E::Exit, "SamplesPerPrintedPageExit", &W::SamplesPerPrintedPageExit},
    {"HintBox", E::Click, "HintBoxClick", &W::HintBoxClick},
    {"OpenFolderButton", E::Click, "OpenFolderButtonClick", &W::OpenFolderButtonClick},
};

// Every model control of the window, to resolve the layout's names.
std::vector<TControl*> allControls(TGPIBTelnet& w) {
    return {&w.StartButton,
            &w.ResetButton,
            &w.DeleteButton,
            &w.LoadButton,
            &w.OpenFolderButton,
            &w.PrintButton,
            &w.HostBox,
            &w.IntervalBox,
            &w.TimeOutBox,
            &w.CommandBox,
            &w.CommandBox2,
            &w.MeanBox,
            &w.FilterPoints,
            &w.ScrollBox,
            &w.MinStringBox,
            &w.SamplesPerPrintedPage,
            &w.TextFileBox,
            &w.MeasuredBox,
            &w.DisplayDataBox,
            &w.DisplayMeanBox,
            &w.FilterCheckbox,
            &w.BoldRaw,
            &w.BoldMean,
            &w.BoldFilter,
            &w.DeleteFirstCheckBox,
            &w.HintBox,
            &w.AutoReconnect,
            &w.StrandedCheckBox,
            &w.SaveResultsBox,
            &w.AbsoluteCheckBox,
            &w.RadioButton1,
            &w.RadioButton2,
            &w.RadioButton3,
            &w.DateBox,
            &w.LastBox,
            &w.UnitsBox,
            &w.CountBox,
            &w.MaxBox,
            &w.MinBox,
            &w.DiffBox,
            &w.ShowMean,
            &w.FilterValue,
            &w.CountDown,
            &w.LinkStatus,
            &w.DataFileStatus};
}

template <typename T>
T* as(const ControlEntry& e, ControlKind kind) {
    return e.kind == kind ? static_cast<T*>(e.control) : nullptr;
}

}  // namespace

TButton* ControlEntry::button() const { return as<TButton>(*this, K::Button); }
TEdit* ControlEntry::edit() const { return as<TEdit>(*this, K::Edit); }
TCheckBox* ControlEntry::checkBox() const { return as<TCheckBox>(*this, K::CheckBox); }
TRadioButton* ControlEntry::radioButton() const { return as<TRadioButton>(*this, K::RadioButton); }
TLabel* ControlEntry::label() const { return as<TLabel>(*this, K::Label); }

ControlInventory::ControlInventory(TGPIBTelnet& window) {
    const std::vector<TControl*> all = allControls(window);
    controls_.reserve(std::size(kLayout));
    for (const Layout& l : kLayout) {
        auto it = std::find_if(all.begin(), all.end(), [&](TControl* c) { return c->name() == l.name; });
        // The layout and the window are written together; a name without its
        // control is a programming error that must not reach a view.
        if (it == all.end()) throw std::logic_error("control inventory names an unknown control");
        controls_.push_back({l.name, l.kind, l.group, l.row, l.before, l.after, l.note, l.bold, *it});
    }
}

const ControlEntry* ControlInventory::find(std::string_view name) const {
    for (const ControlEntry& e : controls_)
        if (e.name == name) return &e;
    return nullptr;
}

std::span<const StaticText> ControlInventory::texts() { return kTexts; }
std::span<const EventWiring> ControlInventory::events() { return kEvents; }

}  // namespace qs
