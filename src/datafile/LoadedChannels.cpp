#include "datafile/LoadedChannels.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/ChannelRouting.h"
#include "core/SampleTime.h"
#include "core/TextFile.h"
#include "datafile/DataLine.h"
#include "datafile/LoadedLine.h"
#include "platform/DayCount.h"
#include "platform/LargeArrays.h"

namespace qs {

std::optional<LoadedChannels> ReadLoadedChannels(const std::string& fileName, bool alternate, std::string& error) {
    errno = 0;
    FileHandle file(std::fopen(fileName.c_str(), "r"));
    if (!file) {
        error = "cannot read " + fileName + ": " + std::strerror(errno ? errno : ENOENT);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(::fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = "cannot read " + fileName + ": " + std::strerror(EISDIR);
        return std::nullopt;
    }
    const CommandMode mode = alternate ? CommandMode::Alternate : CommandMode::Command1;
    LoadedChannels out;
    // Room for the lines, so that ten million readings are not copied over
    // and over as they grow.
    const auto expected = static_cast<std::size_t>(ExpectedDataLines(info.st_size) / (alternate ? 2 : 1));
    for (ChannelReadings* c : {&out.channel1, &out.channel2}) {
        ReserveLarge(c->seconds, expected);
        ReserveLarge(c->values, expected);
        if (!alternate) break;
    }
    int phase = 0;
    // As in Load, the scan fields live for the whole file: a line that does
    // not supply a field repeats the previous line's.
    DataLineFields f;
    LineReader lines(file.get(), kLoadLineBuffer);
    DateTimeEncoder encode;
    while (const char* line = lines.next()) {
        ++out.lines;
        ScanDataLine(line, f);
        if (LoadSkipsLine(line, f)) {
            ++out.skipped;
            continue;
        }
        const double seconds = SecondsOfDayCount(encode(f.year, f.month, f.day, f.hour, f.minute, f.second));
        ChannelReadings& to = LoadedLineChannel(mode, phase) == 1 ? out.channel1 : out.channel2;
        to.seconds.push_back(seconds);
        to.values.push_back(f.raw);
        phase = phase == 0 ? 1 : 0;
    }
    if (std::ferror(file.get())) {
        error = "cannot read " + fileName + ": " + std::strerror(EIO);
        return std::nullopt;
    }
    return out;
}

}  // namespace qs
