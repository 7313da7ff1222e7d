#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qs {

// The single-byte form of a command typed into CommandBox or CommandBox2
// (UTF-8 text): one byte per character, each character from U+0001 to U+00FF
// becoming the byte of the same value (Latin-1, the mapping of the C
// runtime's default locale). nullopt when the text is empty, is not valid
// UTF-8, or holds a character outside that range (a NUL, or anything from
// U+0100 up such as the euro sign): such a command cannot go out one byte per
// character, and sending part of it would put a different command on the bus.
std::optional<std::string> CommandToBytes(std::string_view utf8Text);

// Why CommandToBytes refuses the text, naming the first character (or byte)
// it cannot send, for a person to mend; empty when the text can be sent.
std::string UnsendableReason(std::string_view utf8Text);

}  // namespace qs
