// The event table of the inventory against the window's actual wiring: for
// every control event in the table, raising the event has exactly the effect
// of calling the handler the table names, and no control event outside the
// table runs anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "WindowHarness.h"
#include "window/ControlInventory.h"

namespace qs {

void PrintTo(const EventWiring& row, std::ostream* os) { *os << row.source << " -> " << row.handler; }

namespace {

using test::WindowHarness;

// Everything a handler could change, as text. Paths of the working
// directory are replaced, since each window lives in a directory of its own.
std::string snapshot(WindowHarness& h) {
    std::ostringstream out;
    ControlInventory inventory(h.w);
    for (const ControlEntry& e : inventory.controls()) {
        out << e.name << " enabled=" << e.control->enabled();
        if (auto* b = e.edit()) out << " text=" << b->text();
        if (auto* c = e.checkBox()) out << " checked=" << c->checked();
        if (auto* r = e.radioButton()) out << " checked=" << r->checked();
        if (auto* l = e.label()) out << " caption=" << l->caption();
        out << '\n';
    }
    out << "showHint=" << h.w.Form.showHint() << '\n';
    const LoggerState& s = h.w.State;
    out << "state " << s.PollBusy << ' ' << s.Connected << ' ' << s.Closing << ' ' << s.MeanPoints << ' '
        << s.AbsoluteTick << ' ' << s.DataEvents << ' ' << s.ScrollPoints << ' ' << s.OverdueTicks << ' '
        << s.FilterSamples << ' ' << s.SamplesPerPage << ' ' << s.AwaitingReply << ' ' << s.ReplyPhase << ' '
        << s.WatchdogActive << ' ' << s.Restarting << ' ' << s.SampleCount << ' ' << s.CountdownMs << ' ' << s.Minimum
        << ' ' << s.Maximum << ' ' << s.Difference << ' ' << s.IntervalSeconds << ' ' << s.FilterState1 << ' '
        << s.FilterState2 << ' ' << s.LastValue1 << ' ' << s.LastValue2 << '\n';
    for (int n = 1; n <= 6; ++n) {
        ISeries& series = h.series(n);
        out << "Series" << n << " count=" << series.Count() << " visible=" << series.Visible()
            << " pen=" << series.PenWidth() << '\n';
    }
    out << "printed=" << h.vp.chart.printed().size() << " perPage=" << h.vp.chart.GetPointsPerPage() << '\n';
    for (const auto& box : h.vp.dialogs.boxes) out << "box " << box.caption << '\n';
    for (const auto& error : h.vp.dialogs.errors) out << "error " << error << '\n';
    const std::string cwd = h.dir.path().string();
    for (std::string opened : h.vp.desktop.opened) {
        if (opened.starts_with(cwd)) opened.replace(0, cwd.size(), "<cwd>");
        out << "opened " << opened << '\n';
    }
    out << "telnet " << h.vp.telnet.connectCalls() << ' ' << h.vp.telnet.disconnectCalls() << '\n';
    for (const Timer* t : {&h.w.Timer1, &h.w.Timer2, &h.w.Timer3, &h.w.WatchdogTimer})
        out << "timer " << t->interval() << ' ' << t->enabled() << '\n';
    std::map<std::string, std::string> files;
    for (const auto& f : std::filesystem::directory_iterator(h.dir.path()))
        files[f.path().filename().string()] = test::ReadFile(f.path().string());
    for (const auto& [name, bytes] : files) out << "file " << name << ' ' << bytes.size() << '\n';
    return out.str();
}

// A situation in which the handler of the row has something to do.
void prepare(WindowHarness& h, const EventWiring& row) {
    test::WriteFile("Data.txt",
                    "2024-01-01 00:00:01, 1.5, 1.5, 1.5\r\n"
                    "2024-01-01 00:00:02, 2.5, 2.0, 1.6\r\n"
                    "2024-01-01 00:00:03, 0.5, 1.5, 1.4\r\n");
    for (int i = 0; i < 8; ++i)
        for (int n = 1; n <= 3; ++n) h.series(n).AddPoint(45000.0 + i, i);
    h.w.State.FilterState1 = 5.0;
    h.w.ScrollBox.setText("3");
    h.w.SamplesPerPrintedPage.setText("150");
    h.w.IntervalBox.setText("3");
    h.w.TimeOutBox.setText("7");
    // Out of step with their check boxes, so that re-applying shows.
    if (row.source == "SaveResultsBox") h.series(1).SetVisible(false);
}

// What the event changes in the control itself, before any handler.
std::function<void()> rawChange(WindowHarness& h, const ControlEntry& e) {
    if (auto* c = e.checkBox()) return [c] { c->setChecked(!c->checked()); };
    if (e.name == "MeanBox") return [&h] { h.w.MeanBox.setText("007"); };
    if (e.name == "FilterPoints") return [&h] { h.w.FilterPoints.setText("-4"); };
    return [] {};
}

enum class Way { RaiseEvent, CallHandler, RawChangeOnly };

std::string runScene(const EventWiring& row, Way way) {
    WindowHarness h;
    ControlInventory inventory(h.w);
    const ControlEntry* e = inventory.find(row.source);
    prepare(h, row);
    if (way == Way::RaiseEvent) {
        switch (row.event) {
            case EventKind::Click:
                if (auto* b = e->button()) b->Click();
                if (auto* c = e->checkBox()) c->click();
                break;
            case EventKind::Change:
            case EventKind::Exit:
                if (row.event == EventKind::Change)
                    rawChange(h, *e)();
                else
                    e->edit()->exit();
                break;
            default:
                ADD_FAILURE() << "not a control event";
        }
    } else {
        // The control changes as the event would change it, with its own
        // events silenced, and then the named handler runs (or nothing).
        std::function<void()> saved;
        std::function<void()>* slot = nullptr;
        if (auto* c = e->checkBox()) slot = &c->OnClick;
        if (auto* b = e->edit(); b && row.event == EventKind::Change) slot = &b->OnChange;
        if (slot) saved = std::exchange(*slot, nullptr);
        rawChange(h, *e)();
        if (slot) *slot = saved;
        if (way == Way::CallHandler) (h.w.*row.run)();
    }
    return snapshot(h);
}

bool isControlEvent(const EventWiring& row) {
    return row.event == EventKind::Click || row.event == EventKind::Change || row.event == EventKind::Exit;
}

std::vector<EventWiring> controlRows() {
    std::vector<EventWiring> rows;
    for (const EventWiring& row : ControlInventory::events())
        if (isControlEvent(row)) rows.push_back(row);
    return rows;
}

class EventWiringRow : public ::testing::TestWithParam<EventWiring> {};

TEST_P(EventWiringRow, RaisingTheEventRunsExactlyTheNamedHandler) {
    const EventWiring& row = GetParam();
    ASSERT_NE(row.run, nullptr);
    const std::string raised = runScene(row, Way::RaiseEvent);
    EXPECT_EQ(raised, runScene(row, Way::CallHandler));
    // Handlers of the link are built elsewhere and judged by their own
    // tests; every other handler has something to show in its scene.
    static const std::set<std::string_view> kLinkHandlers{"StartButtonClick", "ResetButtonClick", "IntervalBoxExit",
                                                          "TimeOutBoxExit"};
    if (!kLinkHandlers.contains(row.handler)) {
        EXPECT_NE(raised, runScene(row, Way::RawChangeOnly));
    }
}

INSTANTIATE_TEST_SUITE_P(Window, EventWiringRow, ::testing::ValuesIn(controlRows()), [](const auto& info) {
    return std::string(info.param.source) + "_" + std::string(info.param.handler);
});

bool listed(std::string_view source, EventKind event) {
    for (const EventWiring& row : ControlInventory::events())
        if (row.source == source && row.event == event) return true;
    return false;
}

TEST(EventWiring, NoControlEventOutsideTheTableRunsAnything) {
    WindowHarness h;
    ControlInventory inventory(h.w);
    for (const ControlEntry& e : inventory.controls()) {
        if (auto* b = e.button()) {
            EXPECT_EQ(static_cast<bool>(b->OnClick), listed(e.name, EventKind::Click)) << e.name;
        }
        if (auto* c = e.checkBox()) {
            EXPECT_EQ(static_cast<bool>(c->OnClick), listed(e.name, EventKind::Click)) << e.name;
        }
        if (auto* b = e.edit()) {
            EXPECT_EQ(static_cast<bool>(b->OnChange), listed(e.name, EventKind::Change)) << e.name;
            EXPECT_EQ(static_cast<bool>(b->OnExit), listed(e.name, EventKind::Exit)) << e.name;
        }
    }
}

TEST(EventWiring, TableNamesEveryHandlerOfTheWindowOnce) {
    std::multiset<std::string> handlers;
    for (const EventWiring& row : ControlInventory::events()) handlers.insert(std::string(row.handler));
    const std::multiset<std::string> expected{"FormCreate",
                                              "FormCloseQuery",
                                              "StartButtonClick",
                                              "ResetButtonClick",
                                              "TelnetConnected",
                                              "TelnetDisconnected",
                                              "OnDataAvailable",
                                              "Timer1Timer",
                                              "Timer2Timer",
                                              "Timer3Timer",
                                              "WatchdogTimerTimer",
                                              "IntervalBoxExit",
                                              "TimeOutBoxExit",
                                              "LoadButtonClick",
                                              "DeleteButtonClick",
                                              "TextFileBoxExit",
                                              "MeanBoxChange",
                                              "FilterPointsChange",
                                              "ScrollBoxExit",
                                              "ScrollBoxExit",
                                              "DisplayDataBoxClick",
                                              "DisplayDataBoxClick",
                                              "DisplayMeanBoxClick",
                                              "FilterCheckboxClick",
                                              "BoldRawClick",
                                              "BoldMeanClick",
                                              "BoldFilterClick",
                                              "PrintButtonClick",
                                              "SamplesPerPrintedPageExit",
                                              "HintBoxClick",
                                              "OpenFolderButtonClick"};
    EXPECT_EQ(handlers, expected);
    for (const EventWiring& row : ControlInventory::events()) {
        const bool takesArguments = row.handler == "FormCloseQuery" || row.handler == "OnDataAvailable";
        EXPECT_EQ(row.run == nullptr, takesArguments) << row.handler;
    }
}

// Leaving MinStringBox re-applies the scroll window; SaveResultsBox re-applies
// DisplayDataBox: the two shared handlers of the window.
TEST(EventWiring, SharedHandlersAreSharedByTheRightControls) {
    std::map<std::string, std::string> sourceToHandler;
    for (const EventWiring& row : ControlInventory::events())
        sourceToHandler[std::string(row.source)] = std::string(row.handler);
    EXPECT_EQ(sourceToHandler["MinStringBox"], "ScrollBoxExit");
    EXPECT_EQ(sourceToHandler["SaveResultsBox"], "DisplayDataBoxClick");
}

}  // namespace
}  // namespace qs
