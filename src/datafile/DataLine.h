#pragma once
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/SampleTime.h"

namespace qs {

// C "%.8E" of a double, whatever the locale: 5.00000000E-01, -1.25000000E+01.
std::string FormatE8(double value);

// One line of the data file, CR LF included:
// "YYYY-MM-DD hh:mm:ss, <reply>, <mean %.8E>, <filter %.8E>\r\n".
std::string FormatDataLine(const SampleTime& time, std::string_view replyText, double mean, double filter);

// The fields the loader scans from a line. A scan overwrites only the fields
// it matched: the others keep what an earlier line left in them.
struct DataLineFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    double raw = 0.0, mean = 0.0, filter = 0.0, fourth = 0.0;
};

// Matches a line against "%04d-%02d-%02d %02d:%02d:%02d, %lf, %lf, %lf, %lf"
// with the C scanning rules, always with a point as decimal separator, except
// that a hexadecimal number reads as its leading 0 (the value rule of the
// samples knows no hexadecimal). "inf" and "nan" read as the C library reads
// them, so that the loader can tell such a line and skip it.
// Returns the number of fields assigned (0 to 10), or -1 for an empty input.
int ScanDataLine(const char* line, DataLineFields& fields);

// Reads an open file line by line as fgets into a buffer of `limit` bytes
// does, from large blocks: each line with its line end, a line of limit
// bytes or more in pieces of limit - 1. The loader reads millions of lines.
class LineReader {
public:
    LineReader(std::FILE* file, int limit);
    // The next line, NUL-terminated and valid until the next call (a NUL byte
    // in the file ends it early, as with fgets); null at the end of the file
    // or at a read error.
    const char* next();

private:
    std::FILE* file_;
    std::size_t limit_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;  // the bytes read and not yet handed out
    std::size_t cut_ = 0;              // where the last line's NUL stands in for a byte
    char cutByte_ = 0;
    bool atEnd_ = false;
};

}  // namespace qs
