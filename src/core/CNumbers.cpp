#include "core/CNumbers.h"

#include <cstdlib>
#include <string>

#include "core/CLocale.h"

namespace qs {
namespace {

bool isCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::size_t CNumberLength(std::string_view text, std::size_t& skipped) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    skipped = i;
    const std::size_t start = i;
    auto digitsFrom = [&](std::size_t at) {
        std::size_t end = at;
        while (end < text.size() && isDigit(text[end])) ++end;
        return end - at;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = digitsFrom(i);
    i += digits;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = digitsFrom(i + 1);
        // A point belongs to the number only beside a digit: "." alone is none.
        if (digits + fraction > 0) i += 1 + fraction;
        digits += fraction;
    }
    if (digits == 0) return 0;
    // An exponent mark without digits after it is not part of the number.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t at = i + 1;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (const std::size_t exponent = digitsFrom(at); exponent > 0) i = at + exponent;
    }
    return i - start;
}

double CAtof(std::string_view text) {
    std::size_t skipped = 0;
    const std::size_t length = CNumberLength(text, skipped);
    if (length == 0) return 0.0;
    // The token is plain decimal by now, so strtod reads exactly it; in the
    // "C" locale its point is the decimal separator whatever the desktop's.
    const std::string token(text.substr(skipped, length));
    return strtod_l(token.c_str(), nullptr, CLocale());
}

long CAtol(std::string_view text) {
    std::string s(text);
    return strtol_l(s.c_str(), nullptr, 10, CLocale());
}

}  // namespace qs
