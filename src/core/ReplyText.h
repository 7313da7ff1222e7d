#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qs {

// A complete reply holds at most this many bytes (working buffers of 10000).
inline constexpr int kMaxReplyLength = 9999;

// The raw text of a reply: the buffered bytes up to the first NUL, at most
// kMaxReplyLength of them (longer replies are cut).
std::string RawText(const std::uint8_t* buffer, int length);

// The clean text: the leading run of characters from space (32) to 'z' (122).
std::string_view CleanText(std::string_view raw);

}  // namespace qs
