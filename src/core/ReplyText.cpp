#include "core/ReplyText.h"

#include <algorithm>

namespace qs {

std::string RawText(const std::uint8_t* buffer, int length) {
    int n = std::min(length, kMaxReplyLength);
    int end = 0;
    while (end < n && buffer[end] != 0) ++end;
    return std::string(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(end));
}

std::string_view CleanText(std::string_view raw) {
    std::size_t n = 0;
    while (n < raw.size() && static_cast<unsigned char>(raw[n]) >= 32 && static_cast<unsigned char>(raw[n]) <= 122) ++n;
    return raw.substr(0, n);
}

}  // namespace qs
