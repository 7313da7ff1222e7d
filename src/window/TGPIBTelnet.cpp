#include "window/TGPIBTelnet.h"

#include <stdexcept>
#include <string_view>
#include <utility>

#include "chart/SeriesStyle.h"
#include "link/PollArithmetic.h"
#include "platform/Conversions.h"
#include "platform/Exception.h"
#include "window/ControlInventory.h"

namespace qs {
namespace {

// The window's timers by name, for the event table's rows.
constexpr std::pair<std::string_view, Timer TGPIBTelnet::*> kTimers[] = {{"Timer1", &TGPIBTelnet::Timer1},
                                                                       {"Timer2", &TGPIBTelnet::Timer2},
                                                                       {"Timer3", &TGPIBTelnet::Timer3},
                                                                       {"WatchdogTimer", &TGPIBTelnet::WatchdogTimer}};

// The hook that raises a control's event of that kind; nullptr when the
// control raises no such event.
std::function<void()>* controlHook(const ControlEntry& e, EventKind event) {
    switch (event) {
        case EventKind::Click:
            if (TButton* button = e.button()) return &button->OnClick;
            if (TCheckBox* box = e.checkBox()) return &box->OnClick;
            return nullptr;
        case EventKind::Change:
            return e.edit() ? &e.edit()->OnChange : nullptr;
        case EventKind::Exit:
            return e.edit() ? &e.edit()->OnExit : nullptr;
        default:
            return nullptr;
    }
}

}  // namespace

// The window owns the controls, the Logger state, the six series (through
// the chart), the four timers and the Telnet component, and every event
// handler is one of its methods. The handlers live beside it, one file per
// subsystem (window/ReplyHandlers.cpp, window/LinkHandlers.cpp, ...), and
// leave what they decide to the pure rules of that subsystem's folder
// (core/, link/, datafile/, chart/); the header lists them all.
//
// Threading: everything runs on the window's event loop. The platform back
// end delivers timer ticks, link events and user input one at a time, so a
// handler never runs inside another except through the explicit waits
// (IEventLoop::sleepAndPump) of Start, Stop and the recoveries.
TGPIBTelnet::TGPIBTelnet(const Platform& p)
    : platform(p),
      Telnet(p.telnet),
      Chart1(p.chart),
      Series1(p.chart.Series(1)),
      Series2(p.chart.Series(2)),
      Series3(p.chart.Series(3)),
      Series4(p.chart.Series(4)),
      Series5(p.chart.Series(5)),
      Series6(p.chart.Series(6)),
      Timer1(p.scheduler, 100, false),
      Timer2(p.scheduler, 100, true),
      Timer3(p.scheduler, 30000, false),
      WatchdogTimer(p.scheduler, 5000, false) {
    MeasuredBox.setReadOnly(true);
    TRadioButton::group({&RadioButton1, &RadioButton2, &RadioButton3});
    // The chart's design: command 1's raw line starts bold, everything shown.
    for (int n = 1; n <= 6; ++n) Chart1.Series(n).SetPenWidth(SeriesStyleOf(n).initialPenWidth);
    // The controls, the timers and the Telnet component run what the event table says.
    wireEvents();
}

TGPIBTelnet::~TGPIBTelnet() { Telnet.setEvents({}); }

// Every handler runs where a row of the event table says, and nowhere else.
void TGPIBTelnet::wireEvents() {
    const ControlInventory inventory(*this);
    TelnetEvents telnet;
    for (const EventWiring& row : ControlInventory::events()) {
        // The form's events are raised by whoever creates and closes the window.
        if (row.event == EventKind::Create || row.event == EventKind::CloseQuery) continue;
        if (row.event == EventKind::DataAvailable) {
            telnet.onDataAvailable = [this, handler = row.receive](const std::uint8_t* data, std::size_t size) {
                (this->*handler)(data, size);
            };
            continue;
        }
        std::function<void()>* hook = nullptr;
        if (row.event == EventKind::Connected) hook = &telnet.onConnected;
        else if (row.event == EventKind::Disconnected) hook = &telnet.onDisconnected;
        else if (row.event == EventKind::Timer) hook = timerHook(row.source);
        else if (const ControlEntry* entry = inventory.find(row.source)) hook = controlHook(*entry, row.event);
        // The table is written with the window: a row whose source has no
        // such event is a programming error that must not reach a person.
        if (!hook || !row.run) throw std::logic_error("event table names an event the window does not raise");
        *hook = [this, handler = row.run] { (this->*handler)(); };
    }
    Telnet.setEvents(std::move(telnet));
}

std::function<void()>* TGPIBTelnet::timerHook(std::string_view name) {
    for (const auto& [timerName, timer] : kTimers)
        if (timerName == name) return &(this->*timer).OnTimer;
    return nullptr;
}

SampleTime TGPIBTelnet::now() const { return SampleTimeFromUtc(platform.clock.nowUtc()); }

int TGPIBTelnet::intervalMs() const { return SecondsToMs(StrToFloat(IntervalBox.text())); }

CommandMode TGPIBTelnet::commandMode() const { return CommandModeOf(RadioButton1.checked(), RadioButton2.checked()); }

void TGPIBTelnet::noteDataFileWrite(bool written, const std::string& fileName) {
    const bool wasUnwritable = std::exchange(dataFileUnwritable_, !written);
    if (!written)
        showStatus(DataFileStatus, StatusEventKind::DataFileNotWritable,
                   "Samples are NOT being recorded: cannot write the data file \"" + fileName + "\"");
    else
        showStatus(DataFileStatus,
                   wasUnwritable ? StatusEventKind::DataFileRecordingAgain : StatusEventKind::DataFileNoteCleared,
                   std::string());
}

void TGPIBTelnet::showLinkStatus(const std::string& text) { showStatus(LinkStatus, StatusEventKind::LinkStatus, text); }

void TGPIBTelnet::showDataFileNote(const std::string& text) {
    showStatus(DataFileStatus, StatusEventKind::DataFileNote, text);
}

// Only a change is told: a line set again to the text it shows stays as it is.
void TGPIBTelnet::showStatus(TLabel& line, StatusEventKind kind, const std::string& text) {
    if (line.caption() == text) return;
    line.setCaption(text);
    statusSubscribers.publish({kind, text, now()});
}

void TGPIBTelnet::reportLater(const std::string& message) {
    platform.scheduler.schedule(0, [message] { throw Exception(message); });
}

}  // namespace qs
