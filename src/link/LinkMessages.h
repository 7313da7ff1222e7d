#pragma once
#include <string>

namespace qs {

// The link's modal messages, shown with the caption "ERROR", an OK button and
// no icon when a person pressed Start or Stop.
inline constexpr const char* kErrorCaption = "ERROR";
inline constexpr const char* kStartClearFailure =
    "Could not forcibly disconnect from the KISS-488 via Telnet. Retried 30 times to no avail. Something is stuck.";
inline constexpr const char* kConnectFailure =
    "Could not connect to KISS-488 via Telnet. Retried 30 times to no avail. Something is stuck.";
inline constexpr const char* kStopFailure =
    "Could not forcibly disconnect from the KISS-488 via Telnet. Retried 30 times to no avail. Something is stuck "
    "during reset.";

// What the window's status line (LinkStatus) says about the link, so that a
// person coming back to an unattended logger can tell what happened.
// retryMs is the watchdog's period: the time until the next automatic try.
std::string ConnectingStatus(const std::string& host);
// link: the link's name (LinkLabel), empty for the adapter.
std::string LinkUpStatus(const std::string& link = {});
// The link is up and the adapter has not greeted within one time-out; the
// watchdog waits for the greeting up to waitMs from the connection.
std::string GreetingWaitStatus(int waitMs);
std::string StoppedStatus();
// The adapter or the network closed the link without a Stop.
std::string LinkLostStatus(bool autoReconnect, int retryMs);
std::string ReconnectingStatus(const std::string& reason);
// A recovery nobody started could not do its Start or Stop.
std::string RecoveryFailedStatus(const std::string& message, bool autoReconnect, int retryMs);
// A recovery between its tries ends, AutoReconnect unticked meanwhile.
std::string RecoveryOffStatus();
// A Start or Stop a person pressed gave up (the modal box says why).
std::string ConnectFailedStatus();
std::string DisconnectFailedStatus();

// A poll found Command 1 or 2 impossible to send; reason from
// UnsendableReason.
std::string UnsendableCommandStatus(int command, const std::string& reason);

// Reasons given with ReconnectingStatus.
std::string NoDataReason(int timeoutMs);
std::string NoGreetingReason(int waitMs);
std::string LinkLostReason();
std::string SendFailedReason(const std::string& error);

}  // namespace qs
