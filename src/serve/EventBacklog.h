#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace qs {

// One Server-Sent Events message: "event: NAME", a "data: " line per line
// of the data, and the empty line that ends it.
std::string EventFrame(std::string_view name, std::string_view data);

// The bytes one /events client has yet to take. Bounded: a client that
// falls limit bytes behind is dropped (its backlog freed for good), so that
// a reader that stalls never grows the logger's memory.
class EventBacklog {
public:
    explicit EventBacklog(std::size_t limit) : limit_(limit) {}

    // Queues the frame; false once the client is dropped (now or before).
    bool push(std::string_view frame);
    // Moves up to max queued bytes to out; returns how many.
    std::size_t take(char* out, std::size_t max);

    bool empty() const { return held() == 0; }
    bool dropped() const { return dropped_; }
    std::size_t held() const { return bytes_.size() - taken_; }

private:
    std::size_t limit_;
    std::string bytes_;
    std::size_t taken_ = 0;  // bytes_ before this have been taken
    bool dropped_ = false;
};

}  // namespace qs
