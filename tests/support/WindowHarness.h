#pragma once
#include <cstdint>
#include <string>

#include "TempWorkDir.h"
#include "platform/virtual/VirtualPlatform.h"
#include "window/TGPIBTelnet.h"

namespace qs::test {

// A window on the virtual back end, in a fresh working directory: the
// starting point of every scenario test.
struct WindowHarness {
    TempWorkDir dir;
    VirtualPlatform vp;
    TGPIBTelnet w{vp.platform};

    // A chunk as the Telnet component delivers it, dispatched like a real
    // event: an error escaping it reaches the recorded error report.
    void receive(const std::string& bytes) {
        vp.time.schedule(0, [this, bytes] {
            w.OnDataAvailable(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        });
        vp.time.advance(0);
    }
    // A chunk that answers a command: the adapter has greeted on this link
    // and a poll awaits its reply, as after a Timer1 tick on a live link.
    void answer(const std::string& bytes) {
        w.State.greetedOnLink = 1;
        w.State.PollBusy = 1;
        w.State.AwaitingReply = 1;
        receive(bytes);
    }
    void advance(std::int64_t ms) { vp.time.advance(ms); }
    ISeries& series(int n) { return vp.chart.Series(n); }
};

}  // namespace qs::test
