#pragma once
#include <fstream>
#include <string>
#include <vector>

namespace qs::test {

// The 23 lines of "config.txt", every one at its form default; tests change
// the lines they need before writing it.
struct ConfigLines {
    std::vector<std::string> lines{"192.168.1.88", "2", "MEAS:VOLT:DC? 5,0.00001", "MEAS:VOLT:DC? 5,0.00001",
                                   "1", "1", "10", "0", "0", "1", "1", "10", "1", "0", "0", "500", "Data.txt",
                                   "1", "5", "0", "5", "1", "0"};
    enum Line { Host = 1, Interval = 2, Mean = 7, Scroll = 8, AutoReconnect = 10, DataFile = 17, Hints = 18, MinString = 19,
                TimeOut = 21, Stranded = 22 };
    std::string& operator[](Line line) { return lines.at(static_cast<std::size_t>(line - 1)); }

    void write(const std::string& path = "config.txt") const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (const auto& l : lines) out << l << "\r\n";
    }
};

// The lines of a text file, without their line ends.
inline std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace qs::test
