#pragma once
#include <cstddef>
#include <cstdint>
#include <random>

namespace qs::sim {

// The faults of --chaos: each link and each reply is faulty with a given
// chance, and a faulty one gets a fault drawn at random. The draws come from
// their own generator, so one seed gives one sequence of faults.
class RandomFaults {
public:
    enum class Kind {
        None,
        Slow,      // the reply comes late
        Silent,    // no reply at all, for this and a few more commands
        Garbage,   // random bytes (0x00 and 0xFF among them) before the reading
        Stranded,  // the reading without its line end
        Cut,       // the first half of the reading, then the link closes
        Drop,      // the whole reply, then the link closes
        Pieces,    // the reply in one-byte pieces
        Flood,     // digits without a line end
        Burst,     // more readings than asked for in one go, the last cut
                   // across two pieces of data
        Notice,    // the reading, then a status line nobody asked for
        Echo,      // the command sent back before the reading
    };
    struct Fault {
        Kind kind = Kind::None;
        int delayMs = 0;          // Slow
        std::size_t bytes = 0;    // Garbage, Flood
        int silentReplies = 0;    // Silent: how many commands go unanswered
        int lines = 0;            // Burst: how many readings
    };

    RandomFaults(int percent, std::uint32_t seed);

    // Whether the next link is refused at once.
    bool refuseLink();
    // Whether the next link prints a banner line before its greeting.
    bool bannerFirst();
    // The fault of the next reply.
    Fault nextReply();

    static const char* name(Kind kind);

private:
    bool chance();

    int percent_;
    std::mt19937 random_;
};

}  // namespace qs::sim
