// The data-file line reader against the C library: ScanDataLine promises
// sscanf's result for the loader's pattern in the C locale, hexadecimal
// numbers aside, so any input on which the two differ (count of fields, or
// any field's bits) is a fault. The value rule reads no hexadecimal: sscanf
// gets the line with every "x" made a "z", which stops a number where the
// value rule does ("0z1A" is 0) and is no more a part of the pattern.
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "datafile/DataLine.h"

namespace {

// Values no scan produces by accident, so a field that one side assigned and
// the other left alone shows up.
qs::DataLineFields untouched() {
    qs::DataLineFields f;
    f.year = f.month = f.day = f.hour = f.minute = f.second = -77777;
    f.raw = f.mean = f.filter = f.fourth = -7.77e77;
    return f;
}

// Bit for bit, except that any NaN equals any NaN: the payload and sign of a
// NaN carry nothing for the loader.
bool sameDouble(double a, double b) {
    if (std::isnan(a) && std::isnan(b)) return true;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameFields(const qs::DataLineFields& a, const qs::DataLineFields& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second && sameDouble(a.raw, b.raw) && sameDouble(a.mean, b.mean) &&
           sameDouble(a.filter, b.filter) && sameDouble(a.fourth, b.fourth);
}

void print(const char* who, int count, const qs::DataLineFields& f) {
    std::fprintf(stderr, "%s: %d fields: %d-%d-%d %d:%d:%d, %a, %a, %a, %a\n", who, count, f.year, f.month, f.day,
                 f.hour, f.minute, f.second, f.raw, f.mean, f.filter, f.fourth);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::setlocale(LC_ALL, "C");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A line is a C string to both readers: it ends at the first NUL byte.
    const std::string line(reinterpret_cast<const char*>(data), size);

    qs::DataLineFields ours = untouched();
    const int ourCount = qs::ScanDataLine(line.c_str(), ours);

    std::string decimal = line;
    for (char& c : decimal)
        if (c == 'x' || c == 'X') c = 'z';
    qs::DataLineFields theirs = untouched();
    const int theirCount =
        std::sscanf(decimal.c_str(), "%04d-%02d-%02d %02d:%02d:%02d, %lf, %lf, %lf, %lf", &theirs.year, &theirs.month,
                    &theirs.day, &theirs.hour, &theirs.minute, &theirs.second, &theirs.raw, &theirs.mean,
                    &theirs.filter, &theirs.fourth);

    if (ourCount != theirCount || !sameFields(ours, theirs)) {
        std::fprintf(stderr, "ScanDataLine differs from sscanf on \"%s\"\n", line.c_str());
        print("ScanDataLine", ourCount, ours);
        print("sscanf      ", theirCount, theirs);
        std::abort();
    }
    return 0;
}
