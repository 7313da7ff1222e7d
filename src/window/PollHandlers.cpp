// The poll scheduler: when the next command goes out, which one, and the
// countdown shown until then.
#include <climits>
#include <exception>
#include <optional>
#include <utility>

#include "link/CommandBytes.h"
#include "link/LinkMessages.h"
#include "link/PollArithmetic.h"
#include "link/ResultsLog.h"
#include "platform/Conversions.h"
#include "platform/Exception.h"
#include "window/TGPIBTelnet.h"

namespace qs {
namespace {

constexpr int kTickMs = 100;

// The interval for a poll attempt; nullopt when IntervalBox is empty or does
// not hold a number. The box is disabled while the link is up, so a bad text
// can only be met by a Timer1 tick while offline; the box's own exit handler
// reports it, and the attempt simply does nothing.
std::optional<double> pollInterval(const std::string& text) {
    if (text.empty()) return std::nullopt;
    try {
        return StrToFloat(text);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

}  // namespace

void TGPIBTelnet::Timer2Timer() {
    // Offline and while connecting the countdown stands still. (The buttons
    // do not tell: a recovery shows logging on while the link is down.)
    if (State.Connected == 0) return;

    if (State.ticksSinceReply < INT_MAX) State.ticksSinceReply += 1;
    const bool holdWatchdog = awaitGreeting();
    const long long next = static_cast<long long>(State.CountdownMs) - kTickMs;
    if (next < 0) {
        State.CountdownMs = 0;
        // Enabling a running watchdog leaves its period alone: it runs from
        // the first overdue tick.
        if (!holdWatchdog) WatchdogTimer.setEnabled(true);
        if (State.OverdueTicks < INT_MAX) State.OverdueTicks += 1;
    } else {
        State.CountdownMs = static_cast<int>(next);
        WatchdogTimer.setEnabled(false);
        State.OverdueTicks = 0;
    }

    const float seconds = static_cast<float>(State.CountdownMs) / 1000.0f;
    if (State.AwaitingReply == 0) CountDown.setCaption(CountdownCaption(State.CountdownMs));

    if (seconds <= 0.0f || State.AbsoluteTick != 0) {
        // The absolute tick is used up by this attempt whether or not a poll
        // starts: a tick that finds a reply still awaited is a skipped step.
        try {
            Timer1Timer();
        } catch (...) {
            State.AbsoluteTick = 0;
            throw;
        }
        State.AbsoluteTick = 0;
    }
}

bool TGPIBTelnet::awaitGreeting() {
    if (State.greetingPending == 0) return false;
    // ticksSinceReply counts from the connection until the greeting comes.
    const int timeoutMs = WatchdogTimer.interval();
    const int waitMs = GreetingWaitMs(timeoutMs);
    const long long sinceUpMs = static_cast<long long>(State.ticksSinceReply) * kTickMs;
    if (State.greetingPending == 1 && waitMs > timeoutMs && sinceUpMs >= timeoutMs) {
        State.greetingPending = 2;
        showLinkStatus(GreetingWaitStatus(waitMs));
    }
    // The watchdog's own period runs last: armed one time-out before the
    // greeting wait ends, it fires when the wait is over.
    return sinceUpMs + timeoutMs < waitMs;
}

void TGPIBTelnet::Timer1Timer() {
    // Nothing goes out before the adapter's first greeting, nor while the
    // link is down: Stop leaves Timer1 running, and a poll on a closed link
    // would make the send-failure recovery reopen a link the user closed.
    if (State.PollBusy != 0 || State.DataEvents < 1 || State.Connected == 0) return;
    // DataEvents counts the greetings of every link so far; a controller
    // reopened is not ready before it has answered its set-up again. (The
    // adapter's reopened link keeps its old rule.)
    if (linkKind().readiness != LinkReadiness::Greeting && State.greetedOnLink == 0) return;
    const std::optional<double> interval = pollInterval(IntervalBox.text());
    if (!interval || !(*interval > 0.0)) return;

    const bool alternate = !RadioButton1.checked() && !RadioButton2.checked();
    const bool commandOne = RadioButton1.checked() || (alternate && State.nextLineChannel == 1);
    // A command that cannot go out one byte per character is not sent at
    // all, and no reply is awaited: the status line says once what is
    // wrong, and the countdown tries again one interval later, so that the
    // watchdog never mistakes the mistyped command for a silent adapter.
    const std::string& command = commandOne ? CommandBox.text() : CommandBox2.text();
    const std::optional<std::string> bytes = CommandToBytes(command);
    if (!bytes) {
        showLinkStatus(UnsendableCommandStatus(commandOne ? 1 : 2, UnsendableReason(command)));
        State.unsendableShown = 1;
        State.CountdownMs = SecondsToMs(*interval);
        return;
    }

    State.PollBusy = 1;
    State.AwaitingReply = 1;
    CountDown.setCaption("Waiting");

    if (AbsoluteCheckBox.checked()) {
        // Same period and an already running timer: the schedule's phase
        // stays where the first absolute poll put it.
        Timer3.setInterval(SecondsToMs(*interval));
        Timer3.setEnabled(true);
    } else {
        Timer3.setEnabled(false);
    }

    std::optional<std::string> failure;
    try {
        SendCommand(*bytes);
        if (alternate) State.ReplyPhase = commandOne ? 1 : 0;
        // The mended command went out: the complaint is over.
        if (std::exchange(State.unsendableShown, 0) != 0) showLinkStatus(linkUpStatus());
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "unknown error";
    }
    if (failure) {
        showLinkStatus(ReconnectingStatus(SendFailedReason(*failure)));
        SendFailureRecovery();
    }
}

void TGPIBTelnet::SendCommand(const std::string& commandBytes) {
    State.lastCommand = commandBytes.substr(0, commandBytes.find('\0'));
    // One character per call of the Telnet layer, each mirrored to the
    // transcript right after it was handed over, so that a send that fails
    // part-way leaves exactly the bytes that went out in the file.
    for (char byte : commandBytes) {
        if (byte == '\0') break;
        Telnet.SendCh(byte);
        if (SaveResultsBox.checked()) LogCommandByte(byte);
    }
    Telnet.SendLineEnd();
    if (SaveResultsBox.checked()) LogCommandByte(linkKind().commandEnd);
}

void TGPIBTelnet::Timer3Timer() { State.AbsoluteTick = AbsoluteCheckBox.checked() ? 1 : 0; }

void TGPIBTelnet::IntervalBoxExit() {
    const std::string text = IntervalBox.text();
    if (text.empty()) return;
    const double interval = StrToFloat(text);
    // Timer1 and the watchdog's write-back keep the interval in single
    // precision (2.1 becomes 2.0999999046325684 s, a period of 2099 ms),
    // while the countdown takes the full value (2100 ms).
    const float single = ToSingle(interval);
    if (single > 0.0f) {
        Timer1.setInterval(SecondsToMs(static_cast<double>(single)));
        State.IntervalSeconds = static_cast<double>(single);
    }
    State.CountdownMs = SecondsToMs(interval);
    TimeOutBoxExit();
}

void TGPIBTelnet::TimeOutBoxExit() {
    float interval = 1.0f;
    if (IntervalBox.text().empty()) IntervalBox.setText("1");
    else interval = ToSingle(StrToFloat(IntervalBox.text()));

    // The time-out is never shorter than the interval rounded half up.
    const int minimum = MinimumTimeoutSeconds(interval);
    if (TimeOutBox.text().empty()) {
        const long long suggested = static_cast<long long>(minimum) * 10;
        TimeOutBox.setText(IntToStr(suggested > INT_MAX ? INT_MAX : suggested));
    }
    int timeout = StrToInt(TimeOutBox.text());
    if (timeout <= minimum) timeout = minimum;
    TimeOutBox.setText(IntToStr(timeout));
    WatchdogTimer.setInterval(SecondsToMs(timeout));
}

}  // namespace qs
