// The watchdog: a poll overdue for a whole time-out, or a link that was lost,
// is dealt with by replaying stranded data or by reconnecting.
#include <utility>

#include "link/LinkMessages.h"
#include "link/PollArithmetic.h"
#include "link/StrandedData.h"
#include "platform/Conversions.h"
#include "window/FlagScope.h"
#include "window/TGPIBTelnet.h"

namespace qs {

void TGPIBTelnet::WatchdogTimerTimer() {
    // A window that is closing has let its link go for good.
    const bool linkLost = State.reconnectPending != 0 && State.Closing == 0;
    if (linkLost && !AutoReconnect.checked() && State.WatchdogActive == 0) {
        // Unticked while the link was down between tries: nothing will
        // reopen it, and the window shows logging off again.
        endRecovery();
        showLinkStatus(RecoveryOffStatus());
        return;
    }
    if ((State.OverdueTicks == 0 && !linkLost) || !AutoReconnect.checked() || State.WatchdogActive != 0) return;

    // The box shows the interval the schedule keeps, unless a person is
    // typing into it: their text stays, for its exit to take in.
    if (!IntervalBox.focused()) IntervalBox.setText(FloatToStr(State.IntervalSeconds));
    FlagScope active(State.WatchdogActive);

    // Bytes a lost link left without their line end are most likely a reply
    // it cut off: they are no sample. They stay in the buffer, in front of
    // what the next link brings, as after any reconnect.
    if (linkLost) {
        // A link the adapter or the network closed went a whole time-out
        // ago: nothing to wait for. A retry after a failed reconnect keeps
        // the waits, as its own Stop may just have closed something.
        watchdogReconnect(LinkLostReason(), std::exchange(State.closedByPeer, 0) == 0);
        return;
    }
    if (StrandedCheckBox.checked() && IsStrandedNumber(State.ReceiveBuffer, State.ReceiveLength)) {
        FlagScope replaying(State.StrandedReplay);
        OnDataAvailable(nullptr, 0);
    } else {
        const int timeoutMs = WatchdogTimer.interval();
        watchdogReconnect(State.greetingPending != 0 ? NoGreetingReason(GreetingWaitMs(timeoutMs))
                                                     : NoDataReason(timeoutMs),
                          true);
    }
}

void TGPIBTelnet::watchdogReconnect(const std::string& reason, bool settle) {
    beginRecovery();
    showLinkStatus(ReconnectingStatus(reason));
    // Stop and Start as the buttons run them, but unattended: their failures
    // go to the status line, since nobody may be there to close a box.
    runRecovery([this, settle] {
        stopLink(true);
        // The waits give the adapter time to let the link this Stop closed
        // go.
        if (settle) {
            platform.loop.sleepAndPump(1000);
            platform.loop.sleepAndPump(500);
            platform.loop.sleep(500);
        }
        FlagScope restarting(State.Restarting);
        startLink(true);
    });
}

}  // namespace qs
