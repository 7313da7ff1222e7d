#include "serve/EventBacklog.h"

#include <algorithm>
#include <cstring>

namespace qs {

std::string EventFrame(std::string_view name, std::string_view data) {
    std::string out = "event: " + std::string(name) + "\n";
    // A line end inside the data would end the field: each line is a
    // "data:" line of its own, and the client joins them with line feeds.
    for (;;) {
        const std::size_t lf = data.find('\n');
        out += "data: " + std::string(data.substr(0, lf)) + "\n";
        if (lf == std::string_view::npos) break;
        data.remove_prefix(lf + 1);
    }
    return out + "\n";
}

bool EventBacklog::push(std::string_view frame) {
    if (dropped_) return false;
    if (held() + frame.size() > limit_) {
        dropped_ = true;
        std::string().swap(bytes_);
        taken_ = 0;
        return false;
    }
    // What was taken leaves once it is most of the buffer, so that the
    // buffer never holds more than twice the backlog.
    if (taken_ > 0 && taken_ >= bytes_.size() / 2) {
        bytes_.erase(0, taken_);
        taken_ = 0;
    }
    bytes_.append(frame);
    return true;
}

std::size_t EventBacklog::take(char* out, std::size_t max) {
    const std::size_t n = std::min(max, held());
    std::memcpy(out, bytes_.data() + taken_, n);
    taken_ += n;
    if (taken_ == bytes_.size()) {
        bytes_.clear();
        taken_ = 0;
    }
    return n;
}

}  // namespace qs
