#include "link/CommandBytes.h"

#include <cstdint>
#include <cstdio>

namespace qs {
namespace {

// Decodes one UTF-8 sequence at text[i]; returns false for a malformed,
// overlong or truncated one. Only code points up to U+00FF can be accepted
// afterwards, but the whole sequence is still checked so that a bad byte is
// never mistaken for a character.
bool decodeOne(std::string_view text, std::size_t& i, std::uint32_t& codePoint) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    int length = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        ++i;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return false;
    }
    if (i + static_cast<std::size_t>(length) > text.size()) return false;
    for (int k = 1; k < length; ++k) {
        const std::uint8_t next = byte(i + static_cast<std::size_t>(k));
        if ((next & 0xC0) != 0x80) return false;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(length);
    return true;
}

}  // namespace

std::string UnsendableReason(std::string_view utf8Text) {
    if (utf8Text.empty()) return "it is empty";
    std::size_t i = 0;
    while (i < utf8Text.size()) {
        const std::size_t start = i;
        std::uint32_t codePoint = 0;
        if (!decodeOne(utf8Text, i, codePoint)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(static_cast<std::uint8_t>(utf8Text[start])));
            return std::string("it holds the byte ") + hex + ", which is not UTF-8 text";
        }
        if (codePoint == 0 || codePoint > 0xFF) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(codePoint));
            const std::string shown = codePoint == 0 ? std::string() : "\"" + std::string(utf8Text.substr(start, i - start)) + "\" ";
            return "it holds the character " + shown + "(" + code + "), which has no single byte to go out as";
        }
    }
    return {};
}

std::optional<std::string> CommandToBytes(std::string_view utf8Text) {
    if (utf8Text.empty()) return std::nullopt;
    std::string bytes;
    bytes.reserve(utf8Text.size());
    std::size_t i = 0;
    while (i < utf8Text.size()) {
        std::uint32_t codePoint = 0;
        if (!decodeOne(utf8Text, i, codePoint)) return std::nullopt;
        if (codePoint == 0 || codePoint > 0xFF) return std::nullopt;
        bytes += static_cast<char>(static_cast<unsigned char>(codePoint));
    }
    return bytes;
}

}  // namespace qs
