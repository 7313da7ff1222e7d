#pragma once
#include <string>
#include <string_view>

#include "link/LineCodec.h"
#include "link/LinkCodec.h"

namespace qs {

// A GPIB-Ethernet controller taking "++" commands, with the instrument at
// one GPIB address behind it. On every link the codec first sets the
// controller up (its opening), then sends the commands escaped, so that no
// command can ever reconfigure the controller: CR, LF, ESC and "+" inside a
// command each go out behind an ESC, and the command ends with a bare LF.
// What comes back is the instrument's reply as a raw socket's (LineCodec).
class ControllerCodec final : public LinkCodec {
public:
    // gpibAddress 0-30; replyTimeoutMs: how long the logger waits for a
    // reply, which the controller's own read time-out stays below.
    ControllerCodec(int gpibAddress, int replyTimeoutMs) : gpibAddress_(gpibAddress), replyTimeoutMs_(replyTimeoutMs) {}

    void reset() override { replies_.reset(); }
    std::string encode(std::string_view data) override;
    std::string encodeEnd() override { return "\n"; }
    std::string opening() override;
    Received receive(std::string_view wire) override { return replies_.receive(wire); }

    // The controller's read time-out for a logger's time-out: at most the
    // controller's 3000 ms, and half a second inside the logger's.
    static int ReadTimeoutMs(int replyTimeoutMs);

private:
    int gpibAddress_;
    int replyTimeoutMs_;
    LineCodec replies_;
};

}  // namespace qs
