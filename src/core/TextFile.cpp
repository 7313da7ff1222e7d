#include "core/TextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace qs {

// The system's own calls, as fopen "ab", fwrite and fclose make them, less
// the stream's buffer set-up and its seek to the end (the file's append mode
// writes there anyway): this runs at every sample, and five system calls
// cost half as much again as three.
// The length is asked once, by the one added call the undo needs: a sample
// never pays for more than that.
bool AppendToFile(const std::string& fileName, std::string_view bytes, WriteCall write) {
    return AppendReporting(fileName, bytes, write) == AppendOutcome::Written;
}

AppendOutcome AppendReporting(const std::string& fileName, std::string_view bytes, WriteCall write,
                              TruncateCall truncate) {
    if (fileName.empty()) return AppendOutcome::NotWritten;
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) return AppendOutcome::NotWritten;
    const off_t before = ::lseek(fd, 0, SEEK_END);
    const bool ok = WriteAll(fd, bytes, write);
    // What a failed write left of the bytes is taken back; a file that
    // cannot be cut keeps it, which the caller is told of.
    bool torn = false;
    if (!ok) {
        const off_t reached = ::lseek(fd, 0, SEEK_END);
        torn = reached != before && (before < 0 || truncate(fd, before) != 0);
    }
    const bool closed = ::close(fd) == 0;
    if (torn) return AppendOutcome::TornTail;
    return closed && ok ? AppendOutcome::Written : AppendOutcome::NotWritten;
}

bool WriteAll(int fd, std::string_view bytes, WriteCall write) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string ToTextMode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 2);
    for (char c : bytes) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace qs
