#include "core/CNumbers.h"

#include <cstdlib>
#include <string>

#include "platform/CLocale.h"

namespace qs {
namespace {

bool isCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The number at text[start...] by the value rule: an optional sign, digits
// with an optional point (at least one digit in all), and an optional
// exponent, an "e" or "E" with an optional sign and at least one digit.
// Returns its length, 0 when there is none.
std::size_t numberLength(std::string_view text, std::size_t start) {
    auto digitsFrom = [&](std::size_t at) {
        std::size_t end = at;
        while (end < text.size() && isDigit(text[end])) ++end;
        return end - at;
    };
    std::size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t whole = digitsFrom(i);
    i += whole;
    std::size_t fraction = 0;
    if (i < text.size() && text[i] == '.') {
        fraction = digitsFrom(i + 1);
        i += 1 + fraction;
    }
    // A point without a digit beside it ("." or "+.e1") is no number.
    if (whole + fraction == 0) return 0;
    // An exponent mark without digits after it is no part of the number.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t at = i + 1;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (const std::size_t exponent = digitsFrom(at); exponent > 0) i = at + exponent;
    }
    return i - start;
}

}  // namespace

double CAtof(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && isCSpace(text[start])) ++start;
    const std::size_t length = numberLength(text, start);
    if (length == 0) return 0.0;
    // The token is plain decimal by now, so strtod reads exactly it; in the
    // "C" locale its point is the decimal separator whatever the desktop's.
    const std::string token(text.substr(start, length));
    return strtod_l(token.c_str(), nullptr, CLocale());
}

long CAtol(std::string_view text) {
    std::string s(text);
    return strtol_l(s.c_str(), nullptr, 10, CLocale());
}

}  // namespace qs
