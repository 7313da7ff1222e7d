// The tally of every fault case. Each case (every other test of this
// executable) runs in a child process of its own, so that a crash or a hang
// of the logger is seen from outside instead of taking the tally with it.
//
// The tally, printed as one line:
// - faults injected: the cases run (a case skipped on this machine is not
//   counted, and says why on stderr);
// - crashes: cases whose process died by a signal, left before the case had
//   finished, or hung and was killed at the bound;
// - samples lost: summed over the cases, (a) samples the logger counted
//   while its data file was writable that have no line in the data file,
//   plus (b) replies the simulator sent whole (a reading with its line end,
//   on a link and at a moment without fault) that became no sample. Each
//   case presses Stop right after a sample, when no command is outstanding,
//   so (b) never counts a reply cut off by the end of the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>

#include "ChildCases.h"

namespace qs::test {
namespace {

// Two cases at a time keep the whole run well within its bound on two
// cores; each case waits mostly on the logger's timers.
constexpr int kParallelCases = 2;
constexpr int kCaseBoundMs = 60000;

const char* EndName(ChildOutcome::End end) {
    switch (end) {
    case ChildOutcome::End::Passed: return "passed";
    case ChildOutcome::End::Failed: return "failed";
    case ChildOutcome::End::Crashed: return "crashed";
    case ChildOutcome::End::Hung: return "hung";
    }
    return "?";
}

TEST(FaultInjection, EveryCaseLeavesTheLoggerRunningWithNoSampleLost) {
    if (FaultReportPath()) GTEST_SKIP() << "a child runs one fault case, not the tally";
    const std::vector<std::string> cases = TestNamesExcept("FaultInjection");
    ASSERT_FALSE(cases.empty());

    int injected = 0, crashes = 0, lost = 0;
    for (const ChildOutcome& o : RunInChildren(cases, kParallelCases, kCaseBoundMs)) {
        if (o.report.skipped && o.end == ChildOutcome::End::Passed) {
            std::cerr << "not run here: " << o.name << ": " << o.report.skipReason << "\n";
            continue;
        }
        ++injected;
        lost += o.report.samplesLost;
        if (o.end == ChildOutcome::End::Crashed || o.end == ChildOutcome::End::Hung) ++crashes;
        if (o.end != ChildOutcome::End::Passed)
            ADD_FAILURE() << o.name << " " << EndName(o.end) << "; its output:\n" << o.output;
    }
    std::printf("faults injected %d, crashes %d, samples lost %d\n", injected, crashes, lost);
    std::fflush(stdout);
    EXPECT_EQ(crashes, 0);
    EXPECT_EQ(lost, 0);
}

}  // namespace
}  // namespace qs::test
