#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qs {

// How the lines of a received text relate to the replies the logger takes.
// A reply is everything buffered when a chunk brings a line end, and only its
// first line counts; these rules tell which bytes can be no reply at all.

// Whether a received text is the adapter's greeting: it contains "KISS"
// (case sensitive) anywhere, in any of its lines, with or without a line end
// behind it.
bool IsGreeting(std::string_view text);

// Whether taking the buffer as a reply cuts a line in two: bytes follow its
// last line end, so the next chunk brings the rest of that line. A tail that
// names the adapter or ends in ">" is a prompt waiting for a command, which
// no further bytes complete.
bool EndsInsideALine(std::string_view buffered);

// How many leading bytes of a chunk finish a line cut off before it: up to
// and including the first run of line ends. lineEnded is false when the
// whole chunk is still inside that line.
struct CutLineRest {
    std::size_t length = 0;
    bool lineEnded = false;
};
CutLineRest RestOfCutLine(const std::uint8_t* chunk, std::size_t size);

// Whether the first line of a raw text (the bytes before its first line end)
// is exactly the command that went out last: a device in local echo sending
// it back. An empty command has no echo.
bool IsEchoOf(std::string_view rawText, std::string_view command);

// The bytes of a raw text behind its first line and that line's line ends.
std::string_view AfterFirstLine(std::string_view rawText);

}  // namespace qs
