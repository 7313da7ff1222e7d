#include "link/ControllerCodec.h"

#include <algorithm>

namespace qs {

namespace {

constexpr char kEsc = 27;
// The largest read time-out the controller takes, and the margin kept to
// the logger's own time-out, so that the controller gives up first.
constexpr int kMaxReadTimeoutMs = 3000;
constexpr int kTimeoutMarginMs = 500;
constexpr int kMinReadTimeoutMs = 1;

}  // namespace

int ControllerCodec::ReadTimeoutMs(int replyTimeoutMs) {
    return std::max(kMinReadTimeoutMs, std::min(kMaxReadTimeoutMs, replyTimeoutMs - kTimeoutMarginMs));
}

std::string ControllerCodec::encode(std::string_view data) {
    std::string wire;
    wire.reserve(data.size() * 2);
    for (char c : data) {
        if (c == '\r' || c == '\n' || c == kEsc || c == '+') wire.push_back(kEsc);
        wire.push_back(c);
    }
    return wire;
}

// The controller keeps what it is told until it is told otherwise, and may
// have been set up by another program: every setting the logger relies on
// is sent on every link. Saving to its memory is switched off first, so
// that these lines never wear it out.
std::string ControllerCodec::opening() {
    return "++savecfg 0\n"
           "++mode 1\n"
           "++auto 1\n"
           "++eoi 1\n"
           "++eos 2\n"
           "++read_tmo_ms " + std::to_string(ReadTimeoutMs(replyTimeoutMs_)) + "\n"
           "++addr " + std::to_string(gpibAddress_) + "\n"
           "++ver\n";
}

}  // namespace qs
