#include "datafile/DataLine.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
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
    std::string line = FormatStamp(t);
    line.reserve(line.size() + replyText.size() + 42);
    line += ", ";
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

// digits times ten to the power, when one multiplication or division gives
// the correctly rounded double: digits up to 2^53 and powers of ten up to
// 10^22 are exact doubles, and one IEEE operation on exact operands rounds
// once, so the result is the one strtod gives. That covers every number the
// logger writes itself, and spares the general conversion for millions of
// lines.
bool scaledExactly(std::uint64_t digits, long long power, double& out) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (digits > (std::uint64_t{1} << 53) || power < -22 || power > 22) return false;
    const double d = static_cast<double>(digits);
    out = power < 0 ? d / kPowers[-power] : d * kPowers[power];
    return true;
}

// The digits of a decimal number the scanner has delimited (an integer part
// and a fraction, either may be empty) times ten to the exponent, when
// scaledExactly gives it: at most 19 digits, so that they fit.
bool exactDecimal(const char* whole, const char* wholeEnd, const char* fraction, const char* fractionEnd,
                  int exponent, double& out) {
    if ((wholeEnd - whole) + (fractionEnd - fraction) > 19) return false;
    std::uint64_t digits = 0;
    for (const char* c = whole; c != wholeEnd; ++c) digits = digits * 10 + static_cast<std::uint64_t>(*c - '0');
    for (const char* c = fraction; c != fractionEnd; ++c) digits = digits * 10 + static_cast<std::uint64_t>(*c - '0');
    return scaledExactly(digits, static_cast<long long>(exponent) - (fractionEnd - fraction), out);
}

// The value of eight decimal digits, all eight at once (the bytes of a
// little-endian word, first digit lowest): pairs, then fours, then eight.
// The caller has checked that they are digits, so the read stays within the
// line.
std::uint64_t eightDigits(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if constexpr (std::endian::native != std::endian::little) word = __builtin_bswap64(word);
    word -= 0x3030303030303030;
    word = (word * 10 + (word >> 8)) & 0x00FF00FF00FF00FF;
    word = (word * 100 + (word >> 16)) & 0x0000FFFF0000FFFF;
    return (word * 10000 + (word >> 32)) & 0xFFFFFFFF;
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
        while (isDigit(*p)) ++p;
        const char* wholeEnd = p;
        if (*p == '.') ++p;
        const char* fraction = p;
        while (isDigit(*p)) ++p;
        if (wholeEnd == begin && p == fraction) return Step::Mismatch;
        const char* fractionEnd = p;
        int exponent = 0;
        if (lower(*p) == 'e') {
            ++p;
            const bool negativeExponent = *p == '-';
            if (*p == '+' || *p == '-') ++p;
            // Capped where no double reaches either way: the fallback reads it whole.
            for (; isDigit(*p); ++p)
                if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
            if (negativeExponent) exponent = -exponent;
        }
        if (!exactDecimal(begin, wholeEnd, fraction, fractionEnd, exponent, value)) value = convert(begin, p);
    }
    out = negative ? -value : value;
    return Step::Ok;
}

// Walks the pattern; each directive returns false once matching has stopped.
class PatternScan {
public:
    explicit PatternScan(const char* line) : p_(line) {}

    bool integer(int width, int& out) { return field(scanInt(p_, width, out)); }
    bool real(double& out) { return field(writtenNumber(out) ? Step::Ok : scanDouble(p_, out)); }

    // The date and time as the logger writes them, "YYYY-MM-DD hh:mm:ss,"
    // with every digit in place, read by position: what the pattern's
    // directives up to the comma after the seconds read from such a line.
    // False, having read nothing, for anything else.
    bool writtenStamp(DataLineFields& f) {
        const char* p = p_;
        const auto digits = [p](std::initializer_list<int> at) {
            for (int i : at)
                if (!isDigit(p[i])) return false;
            return true;
        };
        // Each test stops at the first character that differs, so none reads past the line's end.
        if (!(digits({0, 1, 2, 3}) && p[4] == '-' && digits({5, 6}) && p[7] == '-' && digits({8, 9}) &&
              p[10] == ' ' && digits({11, 12}) && p[13] == ':' && digits({14, 15}) && p[16] == ':' &&
              digits({17, 18}) && p[19] == ','))
            return false;
        const auto number = [p](int at, int width) {
            int v = 0;
            for (int i = at; i < at + width; ++i) v = v * 10 + (p[i] - '0');
            return v;
        };
        f.year = number(0, 4);
        f.month = number(5, 2);
        f.day = number(8, 2);
        f.hour = number(11, 2);
        f.minute = number(14, 2);
        f.second = number(17, 2);
        assigned_ += 6;
        p_ += 20;
        return true;
    }
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

    // A number as the logger writes it (" +1.00000000E+00": one space, a sign
    // or none, one digit, eight decimals, an exponent of two digits), read by
    // position into what "%lf" reads from it. False, having read nothing, for
    // anything else.
    bool writtenNumber(double& out) {
        const char* p = p_;
        if (*p++ != ' ') return false;
        const bool negative = *p == '-';
        if (*p == '+' || *p == '-') ++p;
        if (!isDigit(p[0]) || p[1] != '.') return false;
        for (int i = 2; i < 10; ++i)
            if (!isDigit(p[i])) return false;
        if (p[10] != 'E' || (p[11] != '+' && p[11] != '-') || !isDigit(p[12]) || !isDigit(p[13]) || isDigit(p[14]))
            return false;
        const int exponent = (p[12] - '0') * 10 + (p[13] - '0');
        const std::uint64_t digits = static_cast<std::uint64_t>(p[0] - '0') * 100000000 + eightDigits(p + 2);
        double value;
        if (!scaledExactly(digits, (p[11] == '-' ? -exponent : exponent) - 8, value)) value = convert(p, p + 14);
        out = negative ? -value : value;
        p_ = p + 14;
        return true;
    }

    const char* p_;
    int assigned_ = 0;
    bool end_ = false;
};

}  // namespace

int ScanDataLine(const char* line, DataLineFields& f) {
    PatternScan scan(line);
    (void)((scan.writtenStamp(f) ||
            (scan.integer(4, f.year) && scan.literal('-') && scan.integer(2, f.month) && scan.literal('-') &&
             scan.integer(2, f.day) && scan.space() && scan.integer(2, f.hour) && scan.literal(':') &&
             scan.integer(2, f.minute) && scan.literal(':') && scan.integer(2, f.second) && scan.literal(','))) &&
           scan.real(f.raw) && scan.literal(',') && scan.real(f.mean) && scan.literal(',') && scan.real(f.filter) &&
           scan.literal(',') && scan.real(f.fourth));
    return scan.result();
}

namespace {
// Bytes asked of the file at a time.
constexpr std::size_t kReadBlock = 1 << 20;
}  // namespace

LineReader::LineReader(std::FILE* file, int limit)
    : file_(file), limit_(static_cast<std::size_t>(limit > 1 ? limit : 2)), buffer_(kReadBlock + limit_ + 1) {}

const char* LineReader::next() {
    if (cut_ < end_) buffer_[cut_] = cutByte_;
    const std::size_t most = limit_ - 1;
    for (;;) {
        const std::size_t held = end_ - begin_;
        const std::size_t looked = held < most ? held : most;
        const void* newline = std::memchr(buffer_.data() + begin_, '\n', looked);
        std::size_t length = 0;
        if (newline) length = static_cast<std::size_t>(static_cast<const char*>(newline) - (buffer_.data() + begin_)) + 1;
        else if (held >= most) length = most;
        else if (atEnd_ && held > 0) length = held;
        if (length > 0) {
            char* line = buffer_.data() + begin_;
            begin_ += length;
            cut_ = begin_;
            cutByte_ = buffer_[cut_];
            buffer_[cut_] = 0;
            return line;
        }
        if (atEnd_) return nullptr;
        // Too little held for a whole line: move it to the front and read on.
        std::memmove(buffer_.data(), buffer_.data() + begin_, held);
        begin_ = 0;
        end_ = held;
        cut_ = buffer_.size();
        const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - 1 - end_, file_);
        end_ += got;
        if (got == 0) atEnd_ = true;
    }
}

}  // namespace qs
