#include "link/LineCodec.h"

namespace qs {

LinkCodec::Received LineCodec::receive(std::string_view wire) {
    Received out;
    out.data.reserve(wire.size() + 1);
    if (heldCr_ && !wire.empty()) {
        heldCr_ = false;
        if (wire.front() != '\n') out.data.push_back('\r');
    }
    for (std::size_t i = 0; i < wire.size(); ++i) {
        const char c = wire[i];
        if (c != '\r') {
            out.data.push_back(c);
        } else if (i + 1 == wire.size()) {
            heldCr_ = true;
        } else if (wire[i + 1] != '\n') {
            out.data.push_back(c);
        }
    }
    return out;
}

}  // namespace qs
