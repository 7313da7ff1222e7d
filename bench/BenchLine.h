#pragma once
#include <cstdio>
#include <string>

namespace qs::bench {

// Whether a figure must stay below or above its target.
enum class Bound { AtMost, AtLeast };

// Prints one figure as the line a script reads:
//   NAME: VALUE UNIT (target <= TARGET UNIT) ok
// ending in MISSED instead of ok when the target is not met. Remembers a
// miss, so that the program can end with a failing exit status.
class BenchLine {
public:
    // decimals: digits after the point for the value and the target.
    bool report(const std::string& name, double value, const std::string& unit, Bound bound, double target,
                int decimals = 3) {
        const bool met = bound == Bound::AtMost ? value <= target : value >= target;
        if (!met) missed_ = true;
        std::printf("%s: %.*f %s (target %s %.*f %s) %s\n", name.c_str(), decimals, value, unit.c_str(),
                    bound == Bound::AtMost ? "<=" : ">=", decimals, target, unit.c_str(), met ? "ok" : "MISSED");
        std::fflush(stdout);
        return met;
    }

    // A note for the reader of the log, kept apart from the figures: it
    // starts with "#", so that no line without a figure ends in ok or MISSED.
    static void note(const std::string& text) {
        std::printf("# %s\n", text.c_str());
        std::fflush(stdout);
    }

    // A figure of the memory store that the tests use, shown beside the real
    // chart's for comparison: a note, since the targets are the program's.
    static void compare(const std::string& name, double value, const std::string& unit, int decimals = 3) {
        std::printf("# %s: %.*f %s (memory store, for comparison)\n", name.c_str(), decimals, value, unit.c_str());
        std::fflush(stdout);
    }

    bool anyMissed() const { return missed_; }
    int exitStatus() const { return missed_ ? 1 : 0; }

private:
    bool missed_ = false;
};

}  // namespace qs::bench
