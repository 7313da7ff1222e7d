#include "core/ReplyLines.h"

namespace qs {
namespace {

bool isLineEnd(unsigned char b) { return b == 13 || b == 10; }

std::size_t firstLineEnd(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && !isLineEnd(static_cast<unsigned char>(text[i]))) ++i;
    return i;
}

}  // namespace

bool IsGreeting(std::string_view text) { return text.find("KISS") != std::string_view::npos; }

bool EndsInsideALine(std::string_view buffered) {
    std::size_t last = buffered.size();
    while (last > 0 && !isLineEnd(static_cast<unsigned char>(buffered[last - 1]))) --last;
    if (last == 0 || last == buffered.size()) return false;
    std::string_view tail = buffered.substr(last);
    if (IsGreeting(tail)) return false;
    while (!tail.empty() && tail.back() == ' ') tail.remove_suffix(1);
    return tail.empty() || tail.back() != '>';
}

CutLineRest RestOfCutLine(const std::uint8_t* chunk, std::size_t size) {
    CutLineRest rest;
    while (rest.length < size && !isLineEnd(chunk[rest.length])) ++rest.length;
    while (rest.length < size && isLineEnd(chunk[rest.length])) {
        ++rest.length;
        rest.lineEnded = true;
    }
    return rest;
}

bool IsEchoOf(std::string_view rawText, std::string_view command) {
    if (command.empty()) return false;
    const std::size_t end = firstLineEnd(rawText);
    return end < rawText.size() && rawText.substr(0, end) == command;
}

std::string_view AfterFirstLine(std::string_view rawText) {
    std::size_t i = firstLineEnd(rawText);
    while (i < rawText.size() && isLineEnd(static_cast<unsigned char>(rawText[i]))) ++i;
    return rawText.substr(i);
}

}  // namespace qs
