#include "window/LinkDownWatch.h"

#include <algorithm>

#include "window/LoggerState.h"

namespace qs {

// Start gave up, or the link was lost with Auto-Reconnect unticked.
bool NothingReopensTheLink(const LoggerState& state, bool starting) {
    return !starting && state.Connected == 0 && state.reconnectPending == 0 && state.WatchdogActive == 0 &&
           state.Restarting == 0;
}

// The count stops at kDownLooks: a watch left running after the end never
// overflows it.
bool LinkDownWatch::look(const LoggerState& state, bool starting) {
    downLooks_ = NothingReopensTheLink(state, starting) ? std::min(downLooks_ + 1, kDownLooks) : 0;
    return downLooks_ >= kDownLooks;
}

}  // namespace qs
