#pragma once
#include "core/ChannelRouting.h"
#include "datafile/DataLine.h"

namespace qs {

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

// The channel of a loaded line: the selected command's, and in alternate
// mode the two by turns, the first loaded line (phase 0) command 1's.
int LoadedLineChannel(CommandMode mode, int phase);

// A loaded line's triple, held while its raw value is not kNoHeldValue.
ChannelRoute<LoadedLine> RouteLoadedLine(CommandMode mode, int channel, const LoadedLine& line,
                                         const HeldValues<LoadedLine>& held);

}  // namespace qs
