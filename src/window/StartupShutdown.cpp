// The two ends of the window's life: creation and the close query.
#include "link/PollArithmetic.h"
#include "platform/Conversions.h"
#include "platform/Exception.h"
#include "window/TGPIBTelnet.h"

namespace qs {
namespace {

// An integer setting as its box shows it; a text that is empty or does not
// convert keeps the start value quietly (leaving the box will report it).
int boxValueOr(const TEdit& box, int startValue, int lowest) {
    if (box.text().empty()) return startValue;
    try {
        const int value = StrToInt(box.text());
        return value < lowest ? lowest : value;
    } catch (const EConvertError&) {
        return startValue;
    }
}

}  // namespace

// An error ends this at its step (the caller reports it, see ProgramEntry.h);
// what was set up before it stays.
void TGPIBTelnet::FormCreate() {
    // 1. The Logger state's start values; the countdown and the reply phase
    //    are set last, after the settings.
    const int countdownMs = State.CountdownMs;
    const int replyPhase = State.ReplyPhase;
    State = LoggerState{};
    State.CountdownMs = countdownMs;
    State.ReplyPhase = replyPhase;
    // 2-4. The poll intervals from the design text; the absolute schedule off.
    Timer1.setInterval(intervalMs());
    Timer3.setInterval(intervalMs());
    Timer3.setEnabled(false);
    // 5. No points.
    for (ISeries* s : seriesTable_.all()) s->Clear();
    // The mean window, the scroll window and the page size follow their
    // boxes from the start: otherwise a window whose boxes show 10, 100 and
    // 1000 would average (and work out the stability figures) over all
    // points, never scroll and print 500 a page until each box had been
    // edited or left once. A line that fails below
    // ends the steps after it, but not this: the window logs all the same.
    auto followBoxes = [this] {
        State.MeanPoints = boxValueOr(MeanBox, State.MeanPoints, 0);
        Stability.setMeanPoints(State.MeanPoints);
        State.ScrollPoints = boxValueOr(ScrollBox, State.ScrollPoints, 0);
        State.SamplesPerPage = boxValueOr(SamplesPerPrintedPage, State.SamplesPerPage, 100);
    };
    try {
        // 6. The saved settings, with the intervals derived from them.
        LoadSettings();
        // 7. The watchdog's time-out, whether or not settings were read.
        WatchdogTimer.setInterval(SecondsToMs(StrToInt(TimeOutBox.text())));
    } catch (...) {
        followBoxes();
        throw;
    }
    // 8.
    State.CountdownMs = 0;
    State.ReplyPhase = 0;
    followBoxes();
}

// Closing is never refused: canClose stays as it came.
void TGPIBTelnet::FormCloseQuery(bool& /*canClose*/) {
    // From here on the link's going down leaves the controls alone.
    State.Closing = 1;
    // One attempt, no wait, no message: whatever the link says now no
    // longer matters.
    try {
        Telnet.Disconnect(true);
    } catch (...) {
    }
    SaveSettings();
}

}  // namespace qs
