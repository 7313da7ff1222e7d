#include "datafile/DataLine.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/CLocale.h"

namespace qs {

std::string FormatE8(double value) {
    if (!std::isfinite(value)) {
        CLocaleScope c;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.8E", value);
        return buf;
    }
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 8);
    std::string s(buf, end);
    for (char& ch : s)
        if (ch == 'e') ch = 'E';
    return s;
}

std::string FormatDataLine(const SampleTime& t, std::string_view replyText, double mean, double filter) {
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d, ", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    std::string line = stamp;
    line.reserve(line.size() + replyText.size() + 40);
    line.append(replyText);
    line += ", ";
    line += FormatE8(mean);
    line += ", ";
    line += FormatE8(filter);
    line += "\r\n";
    return line;
}

namespace {

// A hand-made scanner with the C library's rules for the loader's pattern:
// sscanf is far too slow for files of millions of lines, and it follows the
// locale. Each step reports whether it matched, found the end of the input,
// or failed to match, which is what the count of assigned fields depends on.
enum class Step { Ok, EndOfInput, Mismatch };

bool isCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c | 0x20) : c; }

bool startsWithNoCase(const char* p, const char* word) {
    for (; *word; ++p, ++word)
        if (lower(*p) != *word) return false;
    return true;
}

void skipSpace(const char*& p) {
    while (isCSpace(*p)) ++p;
}

// "%0<width>d": white space, then at most width characters of sign and digits.
Step scanInt(const char*& p, int width, int& out) {
    skipSpace(p);
    if (*p == 0) return Step::EndOfInput;
    int used = 0;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
        ++used;
    }
    int value = 0, digits = 0;
    while (used < width && isDigit(*p)) {
        value = value * 10 + (*p++ - '0');
        ++used;
        ++digits;
    }
    if (digits == 0) return Step::Mismatch;
    out = negative ? -value : value;
    return Step::Ok;
}

// The conversion of a token the scanner has already delimited, as strtod does.
double convert(const char* begin, const char* end) {
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec == std::errc()) return value;
    std::string token(begin, end);
    return strtod_l(token.c_str(), nullptr, CLocale());
}

// "%lf": white space, a sign, then "nan", "inf"/"infinity" or a decimal
// number. Like the C library, an exponent mark (and its sign) without digits
// is consumed and leaves the mantissa's value. Unlike it, a hexadecimal
// number is not read: as by the value rule of the live samples, "0x1A" is
// its leading 0, and the "x" stops the matching there.
Step scanDouble(const char*& p, double& out) {
    skipSpace(p);
    if (*p == 0) return Step::EndOfInput;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    double value;
    if (lower(*p) == 'n') {
        if (!startsWithNoCase(p, "nan")) return Step::Mismatch;
        p += 3;
        value = std::numeric_limits<double>::quiet_NaN();
    } else if (lower(*p) == 'i') {
        if (!startsWithNoCase(p, "inf")) return Step::Mismatch;
        p += 3;
        if (lower(*p) == 'i') {
            if (!startsWithNoCase(p, "inity")) return Step::Mismatch;
            p += 5;
        }
        value = std::numeric_limits<double>::infinity();
    } else {
        const char* begin = p;
        int digits = 0;
        while (isDigit(*p)) ++p, ++digits;
        if (*p == '.') ++p;
        while (isDigit(*p)) ++p, ++digits;
        if (digits == 0) return Step::Mismatch;
        if (lower(*p) == 'e') {
            ++p;
            if (*p == '+' || *p == '-') ++p;
            while (isDigit(*p)) ++p;
        }
        value = convert(begin, p);
    }
    out = negative ? -value : value;
    return Step::Ok;
}

// Walks the pattern; each directive returns false once matching has stopped.
class PatternScan {
public:
    explicit PatternScan(const char* line) : p_(line) {}

    bool integer(int width, int& out) { return field(scanInt(p_, width, out)); }
    bool real(double& out) { return field(scanDouble(p_, out)); }
    bool space() {
        skipSpace(p_);
        return true;
    }
    bool literal(char c) {
        if (*p_ == c) {
            ++p_;
            return true;
        }
        end_ = *p_ == 0;
        return false;
    }
    // The count of assigned fields, or -1 when the input ended before the first.
    int result() const { return end_ && assigned_ == 0 ? -1 : assigned_; }

private:
    bool field(Step s) {
        if (s == Step::Ok) {
            ++assigned_;
            return true;
        }
        end_ = s == Step::EndOfInput;
        return false;
    }

    const char* p_;
    int assigned_ = 0;
    bool end_ = false;
};

}  // namespace

int ScanDataLine(const char* line, DataLineFields& f) {
    PatternScan scan(line);
    (void)(scan.integer(4, f.year) && scan.literal('-') && scan.integer(2, f.month) && scan.literal('-') &&
           scan.integer(2, f.day) && scan.space() && scan.integer(2, f.hour) && scan.literal(':') &&
           scan.integer(2, f.minute) && scan.literal(':') && scan.integer(2, f.second) && scan.literal(',') &&
           scan.real(f.raw) && scan.literal(',') && scan.real(f.mean) && scan.literal(',') && scan.real(f.filter) &&
           scan.literal(',') && scan.real(f.fourth));
    return scan.result();
}

}  // namespace qs
