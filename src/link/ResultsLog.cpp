#include "link/ResultsLog.h"

#include <cstdio>

#include "core/TextFile.h"

namespace qs {

void LogCommandByte(char byte) { AppendToFile(kResultsFileName, std::string_view(&byte, 1)); }

void LogReply(std::string_view rawText) {
    AppendToFile(kResultsFileName, ToTextMode("{" + std::string(rawText) + "}"));
}

void LogTimedOutReply(std::string_view rawText) {
    AppendToFile(kResultsFileName, ToTextMode("[Timed-Out Retrieved-Data:{" + std::string(rawText) + "}]"));
}

void LogResetMarker() { AppendToFile(kResultsFileName, "*** Software Exception Occurred - Resetting ***\n"); }

void DeleteResultsLog() { std::remove(kResultsFileName); }

}  // namespace qs
