#include "publish/SampleSpool.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/TextFile.h"

namespace qs {
namespace {

constexpr const char* kAcknowledgedName = "acknowledged";
constexpr const char* kSegmentSuffix = ".spool";

// "00000012.spool" gives 12; anything else is no segment.
std::optional<std::uint32_t> segmentNumber(const char* name) {
    unsigned number = 0;
    int used = 0;
    if (std::sscanf(name, "%8u%n", &number, &used) != 1 || used != 8) return std::nullopt;
    if (std::strcmp(name + used, kSegmentSuffix) != 0) return std::nullopt;
    return number;
}

std::uint64_t fileSize(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

}  // namespace

SampleSpool::SampleSpool(std::string folder) : SampleSpool(std::move(folder), Limits{}) {}

SampleSpool::SampleSpool(std::string folder, Limits limits) : folder_(std::move(folder)), limits_(limits) {}

SampleSpool::~SampleSpool() {
    flush();
    if (ackFd_ >= 0) ::close(ackFd_);
    if (writeFd_ >= 0) ::close(writeFd_);
    if (readFd_ >= 0) ::close(readFd_);
}

std::string SampleSpool::segmentPath(std::uint32_t number) const {
    char name[32];
    std::snprintf(name, sizeof name, "%08u%s", number, kSegmentSuffix);
    return folder_ + "/" + name;
}

bool SampleSpool::open(std::string& error) {
    if (::mkdir(folder_.c_str(), 0777) != 0 && errno != EEXIST) {
        error = "cannot make the folder \"" + folder_ + "\": " + std::strerror(errno);
        return false;
    }
    DIR* dir = ::opendir(folder_.c_str());
    if (dir == nullptr) {
        error = "cannot read the folder \"" + folder_ + "\": " + std::strerror(errno);
        return false;
    }
    std::vector<std::uint32_t> numbers;
    while (const dirent* entry = ::readdir(dir))
        if (const auto n = segmentNumber(entry->d_name)) numbers.push_back(*n);
    ::closedir(dir);
    std::sort(numbers.begin(), numbers.end());

    Position saved;
    bool haveSaved = false;
    if (FileHandle f{std::fopen((folder_ + "/" + kAcknowledgedName).c_str(), "r")}) {
        unsigned segment = 0;
        unsigned long long offset = 0;
        if (std::fscanf(f.get(), "%u %llu", &segment, &offset) == 2) {
            saved = {segment, offset};
            haveSaved = true;
        }
    }
    // Segments before the saved one were wholly acknowledged: their deletion
    // was cut short by an end of the program.
    for (const std::uint32_t n : numbers) {
        if (haveSaved && n < saved.segment) {
            ::unlink(segmentPath(n).c_str());
            continue;
        }
        segments_.push_back({n, fileSize(segmentPath(n))});
    }
    if (segments_.empty()) segments_.push_back({haveSaved ? saved.segment : 1, 0});
    acknowledged_ = {segments_.front().number, 0};
    if (haveSaved && saved.segment == segments_.front().number)
        acknowledged_.offset = std::min(saved.offset, segments_.front().bytes);
    read_ = acknowledged_;

    // A crash in the middle of an append leaves part of a line at the end.
    Segment& last = segments_.back();
    if (last.bytes > 0) {
        const std::string path = segmentPath(last.number);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            std::uint64_t end = last.bytes;
            char c = 0;
            while (end > 0 && ::pread(fd, &c, 1, static_cast<off_t>(end - 1)) == 1 && c != '\n') --end;
            ::close(fd);
            if (end != last.bytes && ::truncate(path.c_str(), static_cast<off_t>(end)) == 0) last.bytes = end;
        }
    }
    if (!openWriteSegment(last.number)) {
        error = "cannot write \"" + segmentPath(last.number) + "\": " + std::strerror(errno);
        return false;
    }

    // What waits is counted once, by its line ends.
    Position at = acknowledged_;
    std::string line;
    while (readLine(at, line)) ++waiting_;
    return true;
}

bool SampleSpool::openWriteSegment(std::uint32_t number) {
    if (writeFd_ >= 0) ::close(writeFd_);
    writeFd_ = ::open(segmentPath(number).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    return writeFd_ >= 0;
}

std::uint64_t SampleSpool::bytesOnDisk() const {
    std::uint64_t total = 0;
    for (const Segment& s : segments_) total += s.bytes;
    return total;
}

bool SampleSpool::append(std::string_view record) {
    if (writeFd_ < 0) {
        ++dropped_;
        return false;
    }
    const std::uint64_t size = record.size() + 1;
    if (bytesOnDisk() + size > limits_.maxBytes) {
        ++dropped_;
        return false;
    }
    if (segments_.back().bytes >= limits_.segmentBytes) {
        const std::uint32_t number = segments_.back().number + 1;
        if (!openWriteSegment(number)) {
            ++dropped_;
            return false;
        }
        segments_.push_back({number, 0});
        dropAcknowledgedSegments();
    }
    std::string line(record);
    line += '\n';
    Segment& last = segments_.back();
    if (!WriteAll(writeFd_, line)) {
        // Part of a line would be glued to the next one: take it back.
        (void)::ftruncate(writeFd_, static_cast<off_t>(last.bytes));
        ++dropped_;
        return false;
    }
    if (recent_.size() == kRecentRecords) recent_.pop_front();
    recent_.push_back({{last.number, last.bytes}, {last.number, last.bytes + size}, std::string(record)});
    last.bytes += size;
    ++waiting_;
    return true;
}

bool SampleSpool::readLine(Position& at, std::string& line) {
    for (;;) {
        const auto segment = std::find_if(segments_.begin(), segments_.end(),
                                          [&](const Segment& s) { return s.number == at.segment; });
        if (segment == segments_.end()) return false;
        if (at.offset >= segment->bytes) {
            if (std::next(segment) == segments_.end()) return false;
            at = {std::next(segment)->number, 0};
            continue;
        }
        if (readFd_ < 0 || readFdSegment_ != at.segment) {
            if (readFd_ >= 0) ::close(readFd_);
            readFd_ = ::open(segmentPath(at.segment).c_str(), O_RDONLY | O_CLOEXEC);
            readFdSegment_ = at.segment;
            if (readFd_ < 0) return false;
        }
        line.clear();
        char buf[1024];
        std::uint64_t offset = at.offset;
        while (offset < segment->bytes) {
            const ssize_t n = ::pread(readFd_, buf, sizeof buf, static_cast<off_t>(offset));
            if (n <= 0) return false;
            const char* end = static_cast<const char*>(std::memchr(buf, '\n', static_cast<std::size_t>(n)));
            if (end != nullptr) {
                line.append(buf, static_cast<std::size_t>(end - buf));
                at.offset = offset + static_cast<std::uint64_t>(end - buf) + 1;
                return true;
            }
            line.append(buf, static_cast<std::size_t>(n));
            offset += static_cast<std::uint64_t>(n);
        }
        return false;  // no line end yet: not a whole record
    }
}

std::optional<SpoolEntry> SampleSpool::next() {
    SpoolEntry entry;
    while (!recent_.empty() && recent_.front().at < read_) recent_.pop_front();
    if (!recent_.empty() && recent_.front().at == read_) {
        entry.text = std::move(recent_.front().text);
        read_ = recent_.front().end;
        recent_.pop_front();
    } else {
        Position at = read_;
        if (!readLine(at, entry.text)) return std::nullopt;
        read_ = at;
    }
    const Position at = read_;
    entry.id = nextId_++;
    handedOut_.push_back({entry.id, at, false});
    return entry;
}

void SampleSpool::acknowledge(std::uint64_t id) {
    const auto it = std::find_if(handedOut_.begin(), handedOut_.end(),
                                 [&](const HandedOut& h) { return h.id == id; });
    if (it == handedOut_.end() || it->acknowledged) return;
    it->acknowledged = true;
    while (!handedOut_.empty() && handedOut_.front().acknowledged) {
        advanceAcknowledged(handedOut_.front().end);
        handedOut_.pop_front();
        --waiting_;
    }
}

void SampleSpool::advanceAcknowledged(Position to) {
    acknowledged_ = to;
    unsaved_ = true;
    dropAcknowledgedSegments();
}

void SampleSpool::rewind() {
    handedOut_.clear();
    read_ = acknowledged_;
}

// A segment the acknowledgements have passed is deleted, once the saved
// position says so; the segment taking the appends stays.
void SampleSpool::dropAcknowledgedSegments() {
    if (segments_.size() < 2 || acknowledged_.segment != segments_.front().number ||
        acknowledged_.offset < segments_.front().bytes)
        return;
    const std::uint32_t gone = segments_.front().number;
    segments_.pop_front();
    acknowledged_ = {segments_.front().number, 0};
    if (read_.segment == gone) read_ = acknowledged_;
    saveAcknowledged();
    ::unlink(segmentPath(gone).c_str());
}

void SampleSpool::flush() {
    if (unsaved_) saveAcknowledged();
}

// One write in place of a fixed-width line on a file kept open: a kill
// cannot tear it, and a line that does not read (a power cut) counts as
// no line, which only sends again what was sent.
void SampleSpool::saveAcknowledged() {
    if (ackFd_ < 0) {
        ackFd_ = ::open((folder_ + "/" + kAcknowledgedName).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (ackFd_ < 0) return;
    }
    char text[48];
    const int n = std::snprintf(text, sizeof text, "%010u %020llu\n", acknowledged_.segment,
                                static_cast<unsigned long long>(acknowledged_.offset));
    if (::pwrite(ackFd_, text, static_cast<std::size_t>(n), 0) == n) unsaved_ = false;
}

}  // namespace qs
