#include "platform/Conversions.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/CLocale.h"
#include "platform/Exception.h"

namespace qs {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void notValid(std::string_view text, const char* what) {
    throw EConvertError("'" + std::string(text) + "' is not a valid " + what + " value");
}

}  // namespace

int StrToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) notValid(text, "integer");
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i])) notValid(text, "integer");
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) notValid(text, "integer");
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) notValid(text, "integer");
    return static_cast<int>(value);
}

double StrToFloat(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    std::string_view body = text.substr(begin, end - begin);

    // Validate the shape first: from_chars alone would accept "inf", "nan"
    // and hexadecimal forms that no box should take.
    std::size_t i = 0;
    bool negative = false;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) negative = body[i++] == '-';
    std::size_t mantissaStart = i, digits = 0;
    while (i < body.size() && isDigit(body[i])) ++i, ++digits;
    if (i < body.size() && body[i] == '.') {
        ++i;
        while (i < body.size() && isDigit(body[i])) ++i, ++digits;
    }
    if (digits == 0) notValid(text, "floating point");
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        ++i;
        if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < body.size() && isDigit(body[i])) ++i, ++expDigits;
        if (expDigits == 0) notValid(text, "floating point");
    }
    if (i != body.size()) notValid(text, "floating point");

    double value = 0.0;
    std::string_view unsignedPart = body.substr(mantissaStart);
    auto [ptr, ec] = std::from_chars(unsignedPart.data(), unsignedPart.data() + unsignedPart.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Underflow to zero is harmless; overflow is not a usable number.
        std::string copy(unsignedPart);
        if (std::isinf(strtod_l(copy.c_str(), nullptr, CLocale()))) notValid(text, "floating point");
        value = 0.0;
    } else if (ec != std::errc() || ptr != unsignedPart.data() + unsignedPart.size()) {
        notValid(text, "floating point");
    }
    return negative ? -value : value;
}

std::string FloatToStr(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0.0) return "0";

    // 15 significant digits: d.dddddddddddddde±x, then strip and re-place.
    // to_chars writes what printf's "%.14e" writes, without its cost (every
    // sample shows four of these) and whatever the locale.
    char buf[64];
    const std::to_chars_result digits = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    std::string s(buf, digits.ptr);
    bool negative = s[0] == '-';
    if (negative) s.erase(0, 1);
    std::size_t ePos = s.find('e');
    int exponent = std::atoi(s.c_str() + ePos + 1);
    std::string mantissa = s.substr(0, 1) + s.substr(2, ePos - 2);  // 15 digits, no point
    while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        out += mantissa[0];
        if (mantissa.size() > 1) out += "." + mantissa.substr(1);
        out += "E" + std::to_string(exponent);
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
    } else {
        std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
        if (mantissa.size() <= intDigits) {
            out += mantissa + std::string(intDigits - mantissa.size(), '0');
        } else {
            out += mantissa.substr(0, intDigits) + "." + mantissa.substr(intDigits);
        }
    }
    return out;
}

std::string IntToStr(long long value) { return std::to_string(value); }

}  // namespace qs
