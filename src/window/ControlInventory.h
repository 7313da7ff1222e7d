#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/Controls.h"

namespace qs {

class TGPIBTelnet;

// The window's controls as data, for a view that builds its widgets by
// walking them (the layout rules it follows: ControlInventory.cpp) and for
// tests that check the window against it.

// ---- layout groups, in layout order
enum class LayoutGroup {
    ConnectionAndCommands,  // address, Start/Stop, commands, command mode, reply handling
    TimingAndWatchdog,      // interval, time-out, schedule, recovery options, countdown
    StatisticsAndCaptions,  // the display labels of the latest sample and its statistics
    DisplayOptions,         // series shown and bold, mean and filter windows, scrolling, hints, printing
    DataFile,               // data file name and its buttons, the raw results log
};

enum class ControlKind { Button, Edit, CheckBox, RadioButton, Label };

// Where a view shows a control: in its group of the panel, or in the status
// bar (labels only: the status lines, in the order of controls()).
enum class ControlPlace { Panel, StatusBar };

// One control of the window with the texts that stand around it.
struct ControlEntry {
    std::string_view name;  // the control's name, e.g. "IntervalBox"
    ControlKind kind;
    LayoutGroup group;
    int row;                  // line within the group, from 0
    std::string_view before;  // label left of it, e.g. "Interval (seconds):"
    std::string_view after;   // label right of it, e.g. "points."
    std::string_view note;    // a second label right of it, e.g. "0 = disabled."
    bool bold;                // a display label shown in a bold font
    TControl* control;        // the model control inside the window (never null)
    ControlPlace place;

    // typed access: the control when it is of that kind, else nullptr
    TButton* button() const;
    TEdit* edit() const;
    TCheckBox* checkBox() const;
    TRadioButton* radioButton() const;
    TLabel* label() const;
};

// A label that belongs to no single control: a column heading or a sentence.
struct StaticText {
    std::string_view text;
    LayoutGroup group;
    std::string_view above;  // name of the control it stands directly above
};

// ---- event wiring
enum class EventKind {
    Create,         // the window is created
    CloseQuery,     // the window is asked to close
    Click,          // TButton::OnClick, TCheckBox::OnClick (any change of the checked state)
    Change,         // TEdit::OnChange (any change of the text)
    Exit,           // TEdit::OnExit (the focus leaves the box)
    Timer,          // a timer's period ran out
    Connected,      // Telnet: the link is up
    Disconnected,   // Telnet: the link is down
    DataAvailable,  // Telnet: a chunk arrived
};

// One row of the window's event table: which event of which source runs
// which handler. Form and Telnet events name the sources "GPIBTelnet" and
// "Telnet"; timers and controls go by their own names.
struct EventWiring {
    std::string_view source;
    EventKind event;
    std::string_view handler;    // the handler's name, e.g. "ScrollBoxExit"
    void (TGPIBTelnet::*run)();  // the handler; nullptr for those taking arguments
                                 // (FormCloseQuery, OnDataAvailable)
    // The handler of a DataAvailable row, which takes the chunk; nullptr elsewhere.
    void (TGPIBTelnet::*receive)(const std::uint8_t* chunk, std::size_t size) = nullptr;
};

// The hint of the chart Chart1.
inline constexpr std::string_view kChartHint =
    "Left mouse drag upper-left to lower-right to ZOOM-IN. Right-mouse to pan. Left drag lower-right to upper-left "
    "to ZOOM-OUT.";

// The inventory of one window. It holds pointers into the window, so it must
// not outlive it.
class ControlInventory {
public:
    explicit ControlInventory(TGPIBTelnet& window);

    // getters
    const std::vector<ControlEntry>& controls() const { return controls_; }
    // The entry of the control with that name; nullptr when there is none.
    const ControlEntry* find(std::string_view name) const;

    // The labels that name no single control.
    static std::span<const StaticText> texts();
    // Every event of the window with its handler.
    static std::span<const EventWiring> events();

private:
    std::vector<ControlEntry> controls_;
};

}  // namespace qs
