#pragma once
#include <cstdint>
#include <string>

namespace qs::chaos {

struct ChaosOptions {
    int seconds = 120;
    std::uint32_t seed = 0;
    // The event loop must answer within this; longer is a hang.
    int hangMs = 2000;
    // Chance, in percent, that a link or a reply of the simulator is faulty.
    int faultPercent = 20;
    std::string self;  // this program, to start the window runs
    bool keep = false;  // keep the work folder even after a clean run
};

// The chaos run: kiss488-sim with random faults, and the real window with a
// chaos person at it (ChaosPerson), run in a child process that is watched
// from here. A crash or a hang ends that child, is counted, and a fresh one
// goes on from the same folder until the time is up; then the last one is
// closed by SIGTERM, as a person's logout would, and must exit with 0.
// Every data file written is checked line by line at the end.
//
// Prints "chaos: N actions, M link faults, C crashes, H hangs, B bad lines
// (seed S)" and returns 0 only when C, H and B are all 0.
int RunChaos(const ChaosOptions& options);

}  // namespace qs::chaos
