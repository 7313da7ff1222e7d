#include "window/ControlInventory.h"

#include <iterator>
#include <variant>

#include "window/TGPIBTelnet.h"

namespace qs {
namespace {

using G = LayoutGroup;
using K = ControlKind;
using W = TGPIBTelnet;

// A control of the window, by its member: a window supplies the object, the
// object its name, and the member's type its kind.
using ControlMember = std::variant<TButton W::*, TEdit W::*, TCheckBox W::*, TRadioButton W::*, TLabel W::*>;

constexpr K kindOf(TButton W::*) { return K::Button; }
constexpr K kindOf(TEdit W::*) { return K::Edit; }
constexpr K kindOf(TCheckBox W::*) { return K::CheckBox; }
constexpr K kindOf(TRadioButton W::*) { return K::RadioButton; }
constexpr K kindOf(TLabel W::*) { return K::Label; }

using P = ControlPlace;

// One row of the layout table: the control and the texts around it.
struct Layout {
    ControlMember control;
    G group;
    int row;
    std::string_view before, after, note;
    bool bold;
    P place = P::Panel;
};

// The model controls themselves (name, caption, design value, hint) live in
// TGPIBTelnet; the inventory adds what a view needs beside them: the kind,
// the label texts that stand around each control, where it belongs in the
// layout, and which event of which source runs which handler.
//
// Layout contract for a view:
//  - groups are laid out in the order of LayoutGroup;
//  - within a group, controls() lists the controls in reading order; the
//    controls of one group that share a row stand on one line, left to right;
//  - a control placed in the status bar stands there and not in its group;
//  - `before` stands left of the control, `after` right of it, `note` right
//    of `after` (all plain texts; empty means no label);
//  - a StaticText stands directly above the control it names in `above`
//    (the "Bold" column heading above BoldRaw, the data-file sentence above
//    TextFileBox).
// A view forwards a click to TButton::Click only while the button is
// enabled, a check-box click to TCheckBox::click, typing to TEdit::setText,
// a loss of focus to TEdit::exit, and mirrors every control through its
// onViewUpdate hook; the model controls run the wired handlers themselves.

// The window's layout in reading order. A box that follows a check box on
// its row (MeanBox after "Plot Mean using", FilterPoints after "Plot RC-Filter")
// takes the check box's caption as its label, so it has no label of its own
// in front.
constexpr Layout kLayout[] = {
    {&W::HostBox, G::ConnectionAndCommands, 0, "", "", "", false},
    {&W::StartButton, G::ConnectionAndCommands, 0, "", "", "", false},
    {&W::ResetButton, G::ConnectionAndCommands, 0, "", "", "", false},
    {&W::CommandBox, G::ConnectionAndCommands, 1, "Command 1:", "", "", false},
    {&W::CommandBox2, G::ConnectionAndCommands, 2, "Command 2:", "", "", false},
    {&W::RadioButton1, G::ConnectionAndCommands, 3, "", "", "", false},
    {&W::RadioButton2, G::ConnectionAndCommands, 3, "", "", "", false},
    {&W::RadioButton3, G::ConnectionAndCommands, 3, "", "", "", false},
    {&W::DeleteFirstCheckBox, G::ConnectionAndCommands, 4, "", "", "", false},
    {&W::MinStringBox, G::ConnectionAndCommands, 5, "Minimum Valid String Length Returned:", "characters.", "",
     false},
    {&W::MeasuredBox, G::ConnectionAndCommands, 6, "Last Returned Result:", "", "", false},

    {&W::IntervalBox, G::TimingAndWatchdog, 0, "Interval (seconds):", "", "", false},
    {&W::TimeOutBox, G::TimingAndWatchdog, 1, "Timeout (seconds):", "", "", false},
    {&W::AbsoluteCheckBox, G::TimingAndWatchdog, 2, "", "", "", false},
    {&W::AutoReconnect, G::TimingAndWatchdog, 3, "", "", "", false},
    {&W::StrandedCheckBox, G::TimingAndWatchdog, 4, "", "", "", false},
    {&W::CountDown, G::TimingAndWatchdog, 5, "Next Measurement in:", "seconds.", "", false},

    {&W::DateBox, G::StatisticsAndCaptions, 0, "Current Time: ", "", "", true},
    {&W::LastBox, G::StatisticsAndCaptions, 1, "Last Read Value:", "", "", true},
    {&W::UnitsBox, G::StatisticsAndCaptions, 1, "", "", "", true},
    {&W::CountBox, G::StatisticsAndCaptions, 2, "Count: ", "", "", true},
    {&W::MaxBox, G::StatisticsAndCaptions, 3, "Maximum:", "", "", false},
    {&W::MinBox, G::StatisticsAndCaptions, 4, "Minimum:", "", "", false},
    {&W::DiffBox, G::StatisticsAndCaptions, 5, "Difference:", "", "", false},
    {&W::ShowMean, G::StatisticsAndCaptions, 6, "Computed Mean:", "", "", false},
    {&W::FilterValue, G::StatisticsAndCaptions, 7, "Computed Filter:", "", "", false},
    {&W::StdDevBox, G::StatisticsAndCaptions, 8, "Std. Deviation (ppm):", "", "", false},
    {&W::LinkStatus, G::StatisticsAndCaptions, 9, "", "", "", false, P::StatusBar},

    {&W::DisplayDataBox, G::DisplayOptions, 0, "", "", "", false},
    {&W::BoldRaw, G::DisplayOptions, 0, "", "", "", false},
    {&W::DisplayMeanBox, G::DisplayOptions, 1, "", "", "", false},
    {&W::MeanBox, G::DisplayOptions, 1, "", "points (zero = all).", "", false},
    {&W::BoldMean, G::DisplayOptions, 1, "", "", "", false},
    {&W::FilterCheckbox, G::DisplayOptions, 2, "", "", "", false},
    {&W::FilterPoints, G::DisplayOptions, 2, "", "samples (RC time)", "", false},
    {&W::BoldFilter, G::DisplayOptions, 2, "", "", "", false},
    {&W::ScrollBox, G::DisplayOptions, 3, "Start scrolling after:", "points.", "0 = disabled.", false},
    {&W::HintBox, G::DisplayOptions, 4, "", "", "", false},
    {&W::SamplesPerPrintedPage, G::DisplayOptions, 5, "Samples per printed page:", "", "", false},
    {&W::PrintButton, G::DisplayOptions, 6, "", "", "", false},

    {&W::TextFileBox, G::DataFile, 0, "Data File:", "", "", false},
    {&W::DeleteButton, G::DataFile, 1, "", "", "", false},
    {&W::LoadButton, G::DataFile, 1, "", "", "", false},
    {&W::SaveResultsBox, G::DataFile, 2, "", "", "", false},
    {&W::OpenFolderButton, G::DataFile, 3, "", "", "", false},
    {&W::DataFileStatus, G::DataFile, 4, "", "", "", false, P::StatusBar},
};

constexpr StaticText kTexts[] = {
    {"Bold", G::DisplayOptions, "BoldRaw"},
    {"Data is appended to the text data file in CSV format.", G::DataFile, "TextFileBox"},
};

using E = EventKind;

// The rows of the event table, by the handler's type: one without arguments
// is run by the event, the data handler takes the chunk, and the close query
// is called by the view itself.
constexpr EventWiring on(std::string_view source, E event, std::string_view name, void (W::*run)()) {
    return {source, event, name, run};
}
constexpr EventWiring on(std::string_view source, E event, std::string_view name,
                         void (W::*receive)(const std::uint8_t*, std::size_t)) {
    return {source, event, name, nullptr, receive};
}
constexpr EventWiring on(std::string_view source, E event, std::string_view name, void (W::*)(bool&)) {
    return {source, event, name, nullptr};
}

// The window wires its controls, timers and Telnet component by walking this
// table, so a handler runs exactly where a row says. The form's two events
// are raised by whoever creates and closes the window (the program's entry,
// the view), which call FormCreate and FormCloseQuery by name.
//
// A handler by its member, named after it: a renamed handler renames its row.
#define HANDLER(member) #member, &W::member

constexpr EventWiring kEvents[] = {
    on("GPIBTelnet", E::Create, HANDLER(FormCreate)),
    on("GPIBTelnet", E::CloseQuery, HANDLER(FormCloseQuery)),
    on("StartButton", E::Click, HANDLER(StartButtonClick)),
    on("ResetButton", E::Click, HANDLER(ResetButtonClick)),
    on("Telnet", E::Connected, HANDLER(TelnetConnected)),
    on("Telnet", E::Disconnected, HANDLER(TelnetDisconnected)),
    on("Telnet", E::DataAvailable, HANDLER(OnDataAvailable)),
    on("Timer1", E::Timer, HANDLER(Timer1Timer)),
    on("Timer2", E::Timer, HANDLER(Timer2Timer)),
    on("Timer3", E::Timer, HANDLER(Timer3Timer)),
    on("WatchdogTimer", E::Timer, HANDLER(WatchdogTimerTimer)),
    on("IntervalBox", E::Exit, HANDLER(IntervalBoxExit)),
    on("TimeOutBox", E::Exit, HANDLER(TimeOutBoxExit)),
    on("LoadButton", E::Click, HANDLER(LoadButtonClick)),
    on("DeleteButton", E::Click, HANDLER(DeleteButtonClick)),
    on("TextFileBox", E::Exit, HANDLER(TextFileBoxExit)),
    on("MeanBox", E::Change, HANDLER(MeanBoxChange)),
    on("FilterPoints", E::Change, HANDLER(FilterPointsChange)),
    on("ScrollBox", E::Exit, HANDLER(ScrollBoxExit)),
    // Leaving the minimum-length box re-applies the scroll window, as the
    // window has always done; it never validates the length itself.
    on("MinStringBox", E::Exit, HANDLER(ScrollBoxExit)),
    on("DisplayDataBox", E::Click, HANDLER(DisplayDataBoxClick)),
    // Re-applies DisplayDataBox's state: nothing visible changes.
    on("SaveResultsBox", E::Click, HANDLER(DisplayDataBoxClick)),
    on("DisplayMeanBox", E::Click, HANDLER(DisplayMeanBoxClick)),
    on("FilterCheckbox", E::Click, HANDLER(FilterCheckboxClick)),
    on("BoldRaw", E::Click, HANDLER(BoldRawClick)),
    on("BoldMean", E::Click, HANDLER(BoldMeanClick)),
    on("BoldFilter", E::Click, HANDLER(BoldFilterClick)),
    on("PrintButton", E::Click, HANDLER(PrintButtonClick)),
    on("SamplesPerPrintedPage", E::Exit, HANDLER(SamplesPerPrintedPageExit)),
    on("HintBox", E::Click, HANDLER(HintBoxClick)),
    on("OpenFolderButton", E::Click, HANDLER(OpenFolderButtonClick)),
};

#undef HANDLER

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
    controls_.reserve(std::size(kLayout));
    for (const Layout& l : kLayout) {
        TControl* control = std::visit([&window](auto member) -> TControl* { return &(window.*member); }, l.control);
        const K kind = std::visit([](auto member) { return kindOf(member); }, l.control);
        controls_.push_back(
            {control->name(), kind, l.group, l.row, l.before, l.after, l.note, l.bold, control, l.place});
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
