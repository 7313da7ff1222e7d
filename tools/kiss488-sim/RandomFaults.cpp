#include "RandomFaults.h"

namespace qs::sim {

RandomFaults::RandomFaults(int percent, std::uint32_t seed) : percent_(percent), random_(seed ^ 0x9E3779B9u) {}

bool RandomFaults::chance() { return std::uniform_int_distribution<int>(0, 99)(random_) < percent_; }

bool RandomFaults::refuseLink() {
    // Refusals are rarer than reply faults: a logger that cannot get in at
    // all only tells us the same thing again and again.
    return chance() && chance();
}

bool RandomFaults::bannerFirst() { return chance(); }

RandomFaults::Fault RandomFaults::nextReply() {
    Fault fault;
    if (!chance()) return fault;
    auto between = [this](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); };
    fault.kind = static_cast<Kind>(between(static_cast<int>(Kind::Slow), static_cast<int>(Kind::Echo)));
    switch (fault.kind) {
    case Kind::Slow:
        fault.delayMs = between(200, 6000);
        break;
    case Kind::Silent:
        fault.silentReplies = between(1, 4);
        break;
    case Kind::Garbage:
        fault.bytes = static_cast<std::size_t>(between(1, 40));
        break;
    case Kind::Flood:
        fault.bytes = static_cast<std::size_t>(between(100, 200000));
        break;
    case Kind::Burst:
        fault.lines = between(2, 6);
        break;
    default:
        break;
    }
    return fault;
}

const char* RandomFaults::name(Kind kind) {
    switch (kind) {
    case Kind::None: return "none";
    case Kind::Slow: return "slow";
    case Kind::Silent: return "silent";
    case Kind::Garbage: return "garbage";
    case Kind::Stranded: return "stranded";
    case Kind::Cut: return "cut";
    case Kind::Drop: return "drop";
    case Kind::Pieces: return "pieces";
    case Kind::Flood: return "flood";
    case Kind::Burst: return "burst";
    case Kind::Notice: return "notice";
    case Kind::Echo: return "echo";
    }
    return "?";
}

}  // namespace qs::sim
