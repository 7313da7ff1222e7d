#pragma once
#include <string>

#include "window/StatusEvent.h"
#include "window/TGPIBTelnet.h"

namespace qs {

// The link as other programs read it, on each change of LinkStatus: up,
// the status line's text, its time, and the settings the logger polls
// with (host, mode, commands, interval and time-out in seconds).
std::string LinkJson(const TGPIBTelnet& logger, const StatusEvent& event);

// The settings the logger polls with, alone: {"host", "mode", "commands",
// "interval", "timeout"}, as LinkJson writes them.
std::string PollSettingsJson(const TGPIBTelnet& logger);

}  // namespace qs
