#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qs::chaos {

// The data files the chaos person switches between; the missing folder makes
// every write fail, which the status bar must say.
inline const std::vector<std::string>& DataFileNames() {
    static const std::vector<std::string> names = {"Data.txt", "Data2.txt", "run 3.txt", "missing/Data4.txt"};
    return names;
}

// Whether one line of a data file, its CR LF included, is as the logger
// writes it: "YYYY-MM-DD hh:mm:ss, TEXT, MEAN, FILTER" with the last two in
// C's %.8E form and finite, and TEXT a reply to a command: not the
// simulator's banner or notice, nor the tail of a reading cut in two.
bool WellFormedDataLine(std::string_view line);

// The complete lines (each with its line end) of a file; a last line without
// its end is not among them. Empty when the file cannot be read.
std::vector<std::string> CompleteLines(const std::string& file);

}  // namespace qs::chaos
