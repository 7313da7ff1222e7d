#pragma once
#include <string>
#include <string_view>

namespace qs {

// The raw transcript "Results.txt" in the working directory. Each record is
// one open, write and close; a file that cannot be opened skips the record.
inline constexpr const char* kResultsFileName = "Results.txt";

// One byte of a command, or its final CR, stored as it is ("ab").
void LogCommandByte(char byte);
// A complete reply, "{raw}", in text mode: every LF stored as CR LF ("at").
void LogReply(std::string_view rawText);
// Stranded data that the watchdog handed over: "[Timed-Out Retrieved-Data:{raw}]" ("at").
void LogTimedOutReply(std::string_view rawText);
// The marker of a failed send, ended by a lone LF ("ab").
void LogResetMarker();
// Start's fresh transcript; a missing file is no error.
void DeleteResultsLog();

}  // namespace qs
