#include "core/JsonText.h"

#include <charconv>
#include <cmath>

namespace qs {
namespace {

// The length of the well-formed UTF-8 sequence at the start of s, 0 if none
// (overlong forms, surrogates and code points above U+10FFFF are not).
std::size_t utf8Length(std::string_view s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const auto cont = [&](std::size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
    const unsigned char c = b(0);
    if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!cont(1) || !cont(2)) return 0;
        if (c == 0xE0 && b(1) < 0xA0) return 0;  // overlong
        if (c == 0xED && b(1) >= 0xA0) return 0;  // surrogate
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3)) return 0;
        if (c == 0xF0 && b(1) < 0x90) return 0;  // overlong
        if (c == 0xF4 && b(1) >= 0x90) return 0;  // above U+10FFFF
        return 4;
    }
    return 0;
}

void appendEscape(std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

}  // namespace

std::string JsonString(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            appendEscape(out, c);
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (const std::size_t n = utf8Length(bytes.substr(i)); n != 0) {
            out.append(bytes.substr(i, n));
            i += n;
        } else {
            appendEscape(out, c);
            ++i;
        }
    }
    out += '"';
    return out;
}

std::string JsonNumber(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) return "null";
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, *value, std::chars_format::general, 17);
    return std::string(buf, r.ptr);
}

// Keys are the program's own names, plain ASCII: written as they are.
JsonObject& JsonObject::raw(std::string_view key, std::string_view json) {
    text_ += text_.empty() ? "{\"" : ",\"";
    text_ += key;
    text_ += "\":";
    text_ += json;
    return *this;
}

}  // namespace qs
