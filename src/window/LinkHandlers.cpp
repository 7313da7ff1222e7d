// Opening and closing the link to the adapter, keeping the window's controls
// in step with it, and the recovery after a failed send.
#include <exception>
#include <utility>

#include "link/LinkCodecTable.h"
#include "link/LinkMessages.h"
#include "link/LinkTarget.h"
#include "link/PollArithmetic.h"
#include "link/ResultsLog.h"
#include "platform/Conversions.h"
#include "platform/Exception.h"
#include "window/DeferredError.h"
#include "window/FlagScope.h"
#include "window/TGPIBTelnet.h"

namespace qs {
namespace {

// Both directions are tried this often, with this wait (and a message pump)
// after each try: the link event must arrive within the wait.
constexpr int kLinkAttempts = 30;
constexpr int kAttemptWaitMs = 500;

}  // namespace

// The buttons are a person's: a recovery runs startLink and stopLink itself.
void TGPIBTelnet::StartButtonClick() {
    // A host box that names no link is refused before anything changes: one
    // box says what is wrong and lists the forms, and nothing is connected.
    try {
        ParseLinkTarget(HostBox.text());
    } catch (const Exception& e) {
        platform.dialogs.messageBox(e.what(), kErrorCaption, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    startLink(false);
}

void TGPIBTelnet::ResetButtonClick() {
    // A person's Stop ends a recovery the logger runs by itself, also between
    // its tries or inside its waits, when there is no link to close.
    const bool wasRecovering = std::exchange(State.recovering, 0) != 0;
    stopLink(false);
    if (wasRecovering && State.Connected == 0) {
        // An attempt of the recovery's Start may still be under way.
        abandonAttempt(false);
        showLoggingControls(false);
        showLinkStatus(StoppedStatus());
    }
}

void TGPIBTelnet::startLink(bool unattended) {
    // The kind of link comes from the host box; a text that names none ends
    // the Start here, before anything has changed.
    const std::string host = HostBox.text();
    State.link = ParseLinkTarget(host);
    if (!unattended) {
        // A person's Start takes over from a reconnect the watchdog has
        // pending: run inside Start's waits, that recovery would make its
        // own 30 attempts (and more) on top of these. A recovery under way
        // goes on after them, should they give up.
        State.reconnectPending = 0;
        State.closedByPeer = 0;
        WatchdogTimer.setEnabled(false);
    } else if (State.recovering == 0) {
        // The recovery was over before its Start: a person pressed Stop, or
        // a person's Start brought the link up, inside its waits.
        return;
    }
    // A person's Start begins a fresh transcript; a recovery's keeps the
    // conversation that led to it.
    if (SaveResultsBox.checked() && State.Restarting == 0) DeleteResultsLog();

    int timeoutSeconds = StrToInt(TimeOutBox.text());
    if (timeoutSeconds <= 0) timeoutSeconds = 1;
    WatchdogTimer.setInterval(SecondsToMs(timeoutSeconds));

    Telnet.setHost(host);
    Telnet.setReplyTimeoutMs(WatchdogTimer.interval());

    for (int attempt = 0; attempt < kLinkAttempts && State.Connected != 0; ++attempt) {
        stopLink(unattended);
        platform.loop.sleepAndPump(kAttemptWaitMs);
    }
    if (State.Connected != 0) {
        reportLinkFailure(kStartClearFailure, unattended);
        return;
    }

    showLinkStatus(ConnectingStatus(host));
    // A recovery's attempts end when a person's Stop ends the recovery.
    auto goOn = [this, unattended] { return State.Connected == 0 && (!unattended || State.recovering != 0); };
    for (int attempt = 0; attempt < kLinkAttempts && goOn(); ++attempt) {
        // Whatever the Telnet layer raises is one failed attempt.
        try {
            Telnet.Connect();
            platform.loop.sleepAndPump(kAttemptWaitMs);
        } catch (...) {
            platform.loop.sleepAndPump(kAttemptWaitMs);
        }
    }
    if (State.Connected != 0 || (unattended && State.recovering == 0)) return;
    abandonAttempt(unattended);
    reportLinkFailure(kConnectFailure, unattended);
    if (!unattended && State.recovering != 0) {
        // The person was told; the recovery they pressed Start in goes on.
        showLinkStatus(RecoveryFailedStatus(kConnectFailure, AutoReconnect.checked(), WatchdogTimer.interval()));
        armReconnectRetry();
    }
}

void TGPIBTelnet::abandonAttempt(bool unattended) {
    // A Start that gives up leaves no attempt running: one that got through
    // later would take the window online after it said it could not.
    State.stopRequested = unattended ? StopRequest::ByRecovery : StopRequest::ByPerson;
    try {
        Telnet.Disconnect(false);
    } catch (...) {
    }
    if (State.Connected == 0) State.stopRequested = StopRequest::None;
}

void TGPIBTelnet::stopLink(bool unattended) {
    WatchdogTimer.setEnabled(false);
    // A person who stops the logger wants it to stay stopped.
    if (!unattended) {
        State.reconnectPending = 0;
        State.closedByPeer = 0;
    }

    for (int attempt = 0; attempt < kLinkAttempts && State.Connected != 0; ++attempt) {
        State.stopRequested = unattended ? StopRequest::ByRecovery : StopRequest::ByPerson;
        try {
            Telnet.Disconnect(true);
            platform.loop.sleepAndPump(kAttemptWaitMs);
        } catch (...) {
            platform.loop.sleepAndPump(kAttemptWaitMs);
        }
    }
    if (State.Connected != 0) reportLinkFailure(kStopFailure, unattended);
    State.ReplyPhase = 0;
}

void TGPIBTelnet::reportLinkFailure(const char* message, bool unattended) {
    if (unattended) {
        // Nobody may be there to close a modal box, and the recovery must go
        // on to its next try: the status line keeps the news instead.
        showLinkStatus(RecoveryFailedStatus(message, AutoReconnect.checked(), WatchdogTimer.interval()));
        return;
    }
    showLinkStatus(State.Connected != 0 ? DisconnectFailedStatus() : ConnectFailedStatus());
    platform.dialogs.messageBox(message, kErrorCaption, MsgButtons::Ok, MsgIcon::None);
}

void TGPIBTelnet::showLoggingControls(bool on) {
    // In this order, so that the focus of the button disabled goes to the
    // one enabled.
    if (on) {
        StartButton.setEnabled(false);
        IntervalBox.setEnabled(false);
        ResetButton.setEnabled(true);
        TextFileBox.setEnabled(false);
    } else {
        StartButton.setEnabled(true);
        IntervalBox.setEnabled(true);
        ResetButton.setEnabled(false);
        TextFileBox.setEnabled(true);
    }
}

void TGPIBTelnet::beginRecovery() {
    State.recovering = 1;
    showLoggingControls(true);
}

void TGPIBTelnet::endRecovery() {
    State.recovering = 0;
    State.reconnectPending = 0;
    if (State.Connected == 0) showLoggingControls(false);
}

void TGPIBTelnet::TelnetConnected() {
    showLoggingControls(true);
    State.Connected = 1;
    State.recovering = 0;
    State.ReplyPhase = 0;
    State.ticksSinceReply = 0;
    State.greetingPending = 1;
    State.closedByPeer = 0;
    // Whatever the old link left half-said, the new one starts afresh.
    State.greetedOnLink = 0;
    State.insideCutLine = 0;
    State.lastCommand.clear();

    State.stopRequested = StopRequest::None;
    State.reconnectPending = 0;
    // A new link gets a whole time-out for its greeting: a watchdog period
    // left running from the old link (armed by a tick pumped inside Stop's
    // wait, or the retry period of a lost link) would cut it short. The
    // first overdue tick arms the watchdog afresh.
    WatchdogTimer.setEnabled(false);
    showLinkStatus(linkUpStatus());

    const LinkCodecKind& kind = linkKind();
    // The link's own opening went out before anything else on it (the
    // controller's set-up): the transcript keeps it as the bytes sent.
    if (SaveResultsBox.checked())
        for (char byte : kind.make(State.link, WatchdogTimer.interval())->opening()) LogCommandByte(byte);
    // An instrument on a raw socket says nothing first: the link is ready.
    if (kind.readiness == LinkReadiness::Connected) {
        DeferredError deferred;
        linkReady(false, deferred);
        deferred.rethrow();
    }
}

void TGPIBTelnet::linkReady(bool restarted, DeferredError& deferred) {
    // The first poll of a link counts from its greeting.
    State.ticksSinceReply = 0;
    if (std::exchange(State.greetingPending, 0) == 2) showLinkStatus(linkUpStatus());
    if (!restarted) deferred.run([&] { State.CountdownMs = intervalMs(); });
    Timer1.setEnabled(true);
    State.PollBusy = 0;
    State.DataEvents += 1;
    State.greetedOnLink = 1;
}

const LinkCodecKind& TGPIBTelnet::linkKind() const { return FindLinkKind(ProgramLinkCodecs(), State.link.kind); }

std::string TGPIBTelnet::linkUpStatus() const { return LinkUpStatus(LinkLabel(ProgramLinkCodecs(), State.link)); }

void TGPIBTelnet::TelnetDisconnected() {
    if (State.Closing != 0) return;
    const StopRequest requestedBy = std::exchange(State.stopRequested, StopRequest::None);
    // The adapter or the network closed the link: with AutoReconnect ticked
    // the logger reconnects by itself, and logging stays on meanwhile. A
    // recovery's own Stop leaves it as it is.
    if (requestedBy == StopRequest::None) State.recovering = AutoReconnect.checked() ? 1 : 0;
    else if (requestedBy == StopRequest::ByPerson) State.recovering = 0;
    showLoggingControls(State.recovering != 0);
    State.Connected = 0;
    State.AwaitingReply = 0;
    State.greetingPending = 0;
    CountDown.setCaption("Offline");

    if (requestedBy == StopRequest::ByPerson) {
        showLinkStatus(StoppedStatus());
    } else if (requestedBy == StopRequest::None) {
        // The countdown stands still while offline, so it can never arm the
        // watchdog: arm it here, one time-out from now, when the user asked
        // for reconnects.
        const bool autoReconnect = AutoReconnect.checked();
        if (autoReconnect) {
            State.reconnectPending = 1;
            State.closedByPeer = 1;
            WatchdogTimer.setEnabled(false);
            WatchdogTimer.setEnabled(true);
        }
        showLinkStatus(LinkLostStatus(autoReconnect, WatchdogTimer.interval()));
    }
    // A recovery's own Stop leaves its "Reconnecting" status standing.
}

void TGPIBTelnet::SendFailureRecovery() {
    if (SaveResultsBox.checked()) LogResetMarker();
    beginRecovery();
    // PollBusy stays set throughout, so the ticks pumped in the waits start
    // no poll; it is cleared however the recovery ends, so that polling
    // resumes on a link that is up.
    runRecovery([this] {
        stopLink(true);
        platform.loop.sleepAndPump(kAttemptWaitMs);
        State.AwaitingReply = 0;
        {
            FlagScope restarting(State.Restarting);
            startLink(true);
        }
        platform.loop.sleepAndPump(kAttemptWaitMs);
    });
    State.PollBusy = 0;
}

void TGPIBTelnet::runRecovery(const std::function<void()>& steps) {
    try {
        steps();
    } catch (const std::exception& e) {
        // Typically a TimeOutBox text that does not convert, met by Start.
        // The default error report may be a modal box, which would hold the
        // recovery up for nobody: the status line shows it instead, and the
        // watchdog tries again.
        showLinkStatus(RecoveryFailedStatus(e.what(), AutoReconnect.checked(), WatchdogTimer.interval()));
    }
    armReconnectRetry();
}

void TGPIBTelnet::armReconnectRetry() {
    if (State.Closing != 0) return;
    if (State.Connected != 0) {
        // Up again, or still up after a Stop that could not close it (the
        // watchdog acts on it again): no retry of this recovery.
        State.recovering = 0;
        return;
    }
    // A person's Stop ended the recovery, or nobody asked for reconnects.
    if (State.recovering == 0 || !AutoReconnect.checked()) {
        endRecovery();
        return;
    }
    // Offline, the countdown never arms the watchdog; a fresh period gives
    // the next try one time-out from now.
    State.reconnectPending = 1;
    WatchdogTimer.setEnabled(false);
    WatchdogTimer.setEnabled(true);
}

}  // namespace qs
