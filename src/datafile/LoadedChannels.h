#pragma once
#include <optional>
#include <string>
#include <vector>

namespace qs {

// One channel's readings of a data file, oldest first: the raw values and
// their times in seconds (the day count of the logger's time axis times
// 86400, whole seconds as the file has them).
struct ChannelReadings {
    std::vector<double> seconds, values;
};

// The readings of a whole data file, read as Load reads it: the same line
// reader, the same scan and the same lines skipped (a damaged, torn or
// out-of-range line, see LoadSkipsLine), every loaded line channel 1, or in
// alternate mode command 1's and command 2's lines by turns from the
// first, as Load puts them in "Alternate Commands". Only a channel's own
// readings are here, not the other's held value that the chart repeats.
struct LoadedChannels {
    long long lines = 0;    // every line read (a line beyond the reader's buffer counts in pieces)
    long long skipped = 0;  // lines Load skips
    ChannelReadings channel1, channel2;
};

// nullopt with error set to one line ("cannot read NAME: REASON") when the
// file cannot be opened or read, or is a folder.
std::optional<LoadedChannels> ReadLoadedChannels(const std::string& fileName, bool alternate, std::string& error);

}  // namespace qs
