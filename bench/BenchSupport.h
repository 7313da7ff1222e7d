#pragma once
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "core/SampleTime.h"
#include "datafile/DataLine.h"
#include "platform/Chart.h"

namespace qs::bench {

// Wall-clock seconds from an arbitrary origin.
inline double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// CPU seconds this process has used, all threads together.
inline double processCpuSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Resident set size of this process, in bytes.
inline double residentBytes() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

// Bytes the heap has handed out (small blocks and mmapped ones).
inline double heapBytes() {
    const struct mallinfo2 m = ::mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd);
}

// The machine is shared: the median of a few runs resists a neighbour's burst.
inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0.0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0);
}

// A UTC time `seconds` after 2024-01-01 00:00:00.
inline SampleTime benchTime(long long seconds) {
    return SampleTimeFromUtc(static_cast<std::time_t>(1704067200LL + seconds));
}

// A value that looks like a voltmeter's: a slow sine with a little noise,
// so that the chart has real shape to draw.
inline double benchValue(long long i) {
    const double noise = static_cast<double>((i * 7919) % 1000) * 1e-6;
    return 1.0 + 0.25 * std::sin(static_cast<double>(i) * 1e-4) + noise;
}

// Writes `lines` data lines as logging writes them, one second apart.
inline bool writeDataFile(const std::string& name, long long lines) {
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (!f) return false;
    bool ok = true;
    for (long long i = 0; i < lines && ok; ++i) {
        const double v = benchValue(i);
        const std::string reply = (v < 0 ? "" : "+") + FormatE8(v);
        const std::string line = FormatDataLine(benchTime(i), reply, v * 0.999, v * 1.001);
        ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    }
    return std::fclose(f) == 0 && ok;
}

// Puts `points` points on each of the six series, one second apart, ending
// before benchTime(0) so that samples taken from benchTime(0) on append.
inline void fillSeries(IChart& chart, long long points) {
    const double second = 1.0 / 86400.0;
    const double end = EncodeDateTime(benchTime(0));
    for (int n = 1; n <= 6; ++n) {
        ISeries& s = chart.Series(n);
        for (long long i = 0; i < points; ++i)
            s.AddPoint(end - static_cast<double>(points - i) * second, benchValue(i) + 0.01 * n);
    }
}

}  // namespace qs::bench
