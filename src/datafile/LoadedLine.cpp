#include "datafile/LoadedLine.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "core/SampleTime.h"
#include "core/Statistics.h"

namespace qs {

bool IsLoadableLine(const DataLineFields& f) {
    if (f.year < 1900 || f.year > 2100 || f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31) return false;
    if (f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 59) return false;
    if (!IsValidDate(f.year, f.month, f.day)) return false;
    return IsSampleValue(f.raw) && std::isfinite(f.mean) && std::isfinite(f.filter);
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "YYYY-MM-DD hh:mm:ss" at p, whose bytes the caller knows to be there.
bool isStamp(const char* p) {
    static constexpr char kShape[] = "dddd-dd-dd dd:dd:dd";
    for (int i = 0; kShape[i] != 0; ++i) {
        if (kShape[i] == 'd' ? !isDigit(p[i]) : p[i] != kShape[i]) return false;
    }
    return true;
}

}  // namespace

// A stamp's first colon stands 13 bytes after its start; looking for colons
// keeps this to one pass over a line. A stamp anywhere but at the start
// counts, also one inside the line's own torn stamp.
bool HoldsASecondStamp(const char* line) {
    constexpr std::size_t kStamp = 19, kFirstColon = 13;  // a stamp's length, its first colon
    const std::size_t length = std::strlen(line);
    if (length < kStamp + 1) return false;
    // A line holds two or three colons of its own: memchr jumps between them.
    const char* from = line + kFirstColon + 1;
    const char* const last = line + (length - (kStamp - kFirstColon));  // the last place a stamp's colon can be
    while (from <= last) {
        const char* colon = static_cast<const char*>(std::memchr(from, ':', static_cast<std::size_t>(last - from) + 1));
        if (!colon) return false;
        if (isStamp(colon - kFirstColon)) return true;
        from = colon + 1;
    }
    return false;
}

}  // namespace qs
