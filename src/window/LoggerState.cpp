#include "window/LoggerState.h"

namespace qs {

void LoggerState::ResetStatistics() {
    SampleCount = 0;
    Minimum = kMinimumStart;
    Maximum = kMaximumStart;
    RestartFilters();
    LastValue1 = 0.0;
    LastValue2 = 0.0;
}

void LoggerState::RestartFilters() {
    FilterState1 = 0.0;
    FilterState2 = 0.0;
}

}  // namespace qs
