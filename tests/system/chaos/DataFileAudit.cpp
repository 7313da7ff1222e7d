#include "DataFileAudit.h"

#include <cctype>
#include <fstream>
#include <iterator>

namespace qs::chaos {

namespace {

bool digits(std::string_view s, std::size_t from, std::size_t n) {
    if (s.size() < from + n) return false;
    for (std::size_t i = from; i < from + n; ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

// "%.8E" of a finite double: [-]d.ddddddddE+dd, with three exponent digits
// below 1E-99 and above 9E+99. "INF" and "NAN" are not.
bool scientific(std::string_view s) {
    if (!s.empty() && s[0] == '-') s.remove_prefix(1);
    if (s.size() != 14 && s.size() != 15) return false;
    return digits(s, 0, 1) && s[1] == '.' && digits(s, 2, 8) && s[10] == 'E' && (s[11] == '+' || s[11] == '-') &&
           digits(s, 12, s.size() - 12);
}

// A reply text that the simulator's chaos sends but that answers no command:
// its banner, its notice, the tail of a reading cut in two by a burst
// ("6789E+00": digits and an exponent, no sign and no point).
bool answersNoCommand(std::string_view text) {
    if (text.rfind("Bench LAN", 0) == 0 || text.rfind("STATUS ", 0) == 0) return true;
    const std::size_t e = text.find('E');
    if (e == 0 || e == std::string_view::npos || !digits(text, 0, e)) return false;
    if (text.size() < e + 3 || (text[e + 1] != '+' && text[e + 1] != '-')) return false;
    return digits(text, e + 2, text.size() - e - 2);
}

}  // namespace

bool WellFormedDataLine(std::string_view line) {
    if (line.size() < 2 || line.substr(line.size() - 2) != "\r\n") return false;
    line.remove_suffix(2);
    // "YYYY-MM-DD hh:mm:ss, "
    const bool stamp = digits(line, 0, 4) && line[4] == '-' && digits(line, 5, 2) && line[7] == '-' &&
                       digits(line, 8, 2) && line[10] == ' ' && digits(line, 11, 2) && line[13] == ':' &&
                       digits(line, 14, 2) && line[16] == ':' && digits(line, 17, 2) && line.substr(19, 2) == ", ";
    if (!stamp) return false;
    const std::size_t filter = line.rfind(", ");
    const std::size_t mean = filter > 21 ? line.rfind(", ", filter - 1) : std::string_view::npos;
    if (mean == std::string_view::npos || mean <= 21) return false;
    // The reply text is its clean text: characters from space to 'z'.
    for (char c : line.substr(21, mean - 21))
        if (c < ' ' || c > 'z') return false;
    if (answersNoCommand(line.substr(21, mean - 21))) return false;
    return scientific(line.substr(mean + 2, filter - mean - 2)) && scientific(line.substr(filter + 2));
}

std::vector<std::string> CompleteLines(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end + 1 - start));
    return lines;
}

}  // namespace qs::chaos
