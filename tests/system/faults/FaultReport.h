#pragma once
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace qs::test {

// A fault case runs in a child process (see FaultInjectionTest.cpp); this
// environment variable names the file in which it leaves its report. A case
// started without it is skipped.
inline constexpr const char* kFaultReportVariable = "QUILLSTONE_FAULT_REPORT";

inline std::optional<std::string> FaultReportPath() {
    const char* path = std::getenv(kFaultReportVariable);
    if (!path || !*path) return std::nullopt;
    return std::string(path);
}

// What a case tells the tally besides how its process ended.
struct FaultReport {
    bool finished = false;  // the case reached its end (its TearDown)
    bool skipped = false;
    std::string skipReason;
    int samplesLost = 0;
};

inline void WriteFaultReport(const std::string& path, const FaultReport& report) {
    std::ofstream out(path, std::ios::trunc);
    out << "samples-lost " << report.samplesLost << "\n";
    if (report.skipped) out << "skipped " << report.skipReason << "\n";
    out << "finished\n";
}

inline FaultReport ReadFaultReport(const std::string& path) {
    FaultReport report;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("samples-lost ", 0) == 0) report.samplesLost = std::atoi(line.c_str() + 13);
        if (line.rfind("skipped ", 0) == 0) {
            report.skipped = true;
            report.skipReason = line.substr(8);
        }
        if (line == "finished") report.finished = true;
    }
    return report;
}

}  // namespace qs::test
