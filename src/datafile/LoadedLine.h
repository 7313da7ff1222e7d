#pragma once
#include "core/ChannelRouting.h"
#include "datafile/DataLine.h"

namespace qs {

// A line is loaded with at most this many characters less one; a longer line
// comes in pieces, and each piece is taken as a line of its own.
inline constexpr int kLoadLineBuffer = 20000;

// About how many lines a data file of this many bytes holds, for making
// room for them before a load: the logger's lines are some 70 bytes, so
// this errs high (most room that is never written is never backed by
// memory). At most 2^26, whatever the file.
inline long long ExpectedDataLines(long long fileBytes) {
    constexpr long long kShortLine = 64, kMost = 1LL << 26;
    const long long lines = fileBytes > 0 ? fileBytes / kShortLine : 0;
    return lines < kMost ? lines : kMost;
}

// The raw value, mean and filter output of one loaded line: the y of the
// three points it adds to its channel's series.
struct LoadedLine {
    double raw = kNoHeldValue, mean = kNoHeldValue, filter = kNoHeldValue;
};

// Whether a scanned line is loaded: its date lies in 1900-2100 and exists
// (no 30 February), its time is a time of day, and its numbers can be
// plotted and counted: finite, and the raw value one that a live sample
// could have, since the loaded raw values take part in the next running
// means. One damaged line is skipped; it never cuts a load short.
bool IsLoadableLine(const DataLineFields& f);

// Whether a line holds the date and time stamp of a further line behind its
// own: a line torn by a full disk with the next sample glued onto it. Its
// fields belong to two samples, so it is none of them.
bool HoldsASecondStamp(const char* line);

// Whether Load skips a line just scanned into f: every reader of a data
// file that reads it as Load does asks this.
inline bool LoadSkipsLine(const char* line, const DataLineFields& f) {
    return !IsLoadableLine(f) || HoldsASecondStamp(line);
}

// The channel of a loaded line: the selected command's, and in alternate
// mode the two by turns, the first loaded line (phase 0) command 1's.
inline int LoadedLineChannel(CommandMode mode, int phase) {
    if (mode == CommandMode::Command1) return 1;
    if (mode == CommandMode::Command2) return 2;
    return phase == 0 ? 1 : 2;
}

// A loaded line's triple, held while its raw value is not kNoHeldValue.
// Both are inline: a load runs them for every one of millions of lines.
inline ChannelRoute<LoadedLine> RouteLoadedLine(CommandMode mode, int channel, const LoadedLine& line,
                                                const HeldValues<LoadedLine>& held) {
    return RouteToChannel(mode, channel, line, held, [](const LoadedLine& l) { return l.raw != kNoHeldValue; });
}

}  // namespace qs
