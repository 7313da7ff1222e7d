#include "link/LinkMessages.h"

#include "platform/Conversions.h"

namespace qs {
namespace {

std::string seconds(int ms) { return FloatToStr(ms / 1000.0) + " s"; }

}  // namespace

std::string ConnectingStatus(const std::string& host) { return "Connecting to " + host + " ..."; }

std::string LinkUpStatus(const std::string& link) { return link.empty() ? "Link up" : "Link up (" + link + ")"; }

std::string GreetingWaitStatus(int waitMs) {
    return "Link up: waiting for the adapter's greeting (up to " + seconds(waitMs) + ")";
}

std::string StoppedStatus() { return "Link down: stopped"; }

std::string LinkLostStatus(bool autoReconnect, int retryMs) {
    std::string text = "Link down: closed by the adapter or the network";
    if (autoReconnect) text += "; reconnecting in " + seconds(retryMs);
    return text;
}

std::string ReconnectingStatus(const std::string& reason) { return "Reconnecting: " + reason; }

std::string RecoveryFailedStatus(const std::string& message, bool autoReconnect, int retryMs) {
    std::string text = "Reconnect failed: " + message;
    // The framework's conversion errors end without a full stop ("'x' is not
    // a valid integer value"); the link's own messages end with one.
    if (!text.empty() && text.back() != '.') text += '.';
    if (autoReconnect) text += " Trying again in " + seconds(retryMs) + ".";
    return text;
}

std::string RecoveryOffStatus() { return "Link down: Auto-Reconnect unticked, not reconnecting"; }

std::string ConnectFailedStatus() { return "Link down: could not connect"; }

std::string DisconnectFailedStatus() { return "Link up: could not disconnect"; }

std::string UnsendableCommandStatus(int command, const std::string& reason) {
    return "Command " + std::to_string(command) + " not sent: " + reason;
}

std::string NoDataReason(int timeoutMs) { return "no data from the adapter for " + seconds(timeoutMs); }

std::string NoGreetingReason(int waitMs) { return "no greeting from the adapter for " + seconds(waitMs); }

std::string LinkLostReason() { return "the link was lost"; }

std::string SendFailedReason(const std::string& error) { return "sending a command failed (" + error + ")"; }

}  // namespace qs
