// The stability sums at ten million points (a week and a half at ten
// readings a second): the cost of a reading with the live sums on, growing
// and scrolling; the cost of a look at every figure and the octave table;
// the memory a point costs; a one-pass rebuild; and `quillstone --analyze`
// of a ten-million-line data file, the real program as a child process.
// Times are CPU time, medians of a few runs: the machine is shared.
#include <sys/resource.h>
#include <sys/time.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchLine.h"
#include "BenchSupport.h"
#include "TempWorkDir.h"
#include "stability/StabilityAccumulator.h"

namespace qs::bench {
namespace {

constexpr long long kWeekPoints = 10000000;
constexpr double kReadingTargetUs = 10.0;
constexpr double kLookTargetMs = 5.0;
constexpr double kBytesPerPointTarget = 32.0;
constexpr double kAnalyzeTargetSeconds = 3.0;
constexpr int kRuns = 5;

// A reading of a 10 V reference: noise of a few microvolts, a slow drift.
double reading(long long i) {
    const double noise = static_cast<double>((i * 7919) % 1000) * 1e-9;
    return 10.0 + 2e-12 * static_cast<double>(i) + noise;
}

double seconds(long long i) { return 1.7e9 + static_cast<double>(i); }

// CPU microseconds a reading costs, appended (and with scroll the oldest
// dropped), the median of batches of readings; the sums take in what
// arrived every few thousand readings, which the batches include.
double perReadingUs(StabilityAccumulator& a, long long& next, bool scroll) {
    constexpr int kPerBatch = 40000;
    std::vector<double> batches;
    for (int b = 0; b < kRuns; ++b) {
        const double start = processCpuSeconds();
        for (int i = 0; i < kPerBatch; ++i, ++next) {
            a.append(seconds(next), reading(next));
            if (scroll) a.dropOldest();
        }
        a.figures();  // takes in what is still waiting
        batches.push_back((processCpuSeconds() - start) * 1e6 / kPerBatch);
    }
    return median(batches);
}

// A look as a refresh once a second makes it: ten new readings, then every
// figure and the octave table.
double lookMs(StabilityAccumulator& a, long long& next) {
    std::vector<double> looks;
    for (int r = 0; r < 20; ++r) {
        for (int i = 0; i < 10; ++i, ++next) {
            a.append(seconds(next), reading(next));
            a.dropOldest();
        }
        const double start = processCpuSeconds();
        const SeriesFigures f = a.figures();
        const std::vector<StabilityRow> rows = a.octaveTable();
        looks.push_back((processCpuSeconds() - start) * 1e3);
        if (f.n != kWeekPoints || rows.empty()) std::fprintf(stderr, "the look went astray: n=%lld\n", f.n);
    }
    return median(looks);
}

void live(BenchLine& out) {
    const double rss0 = residentBytes(), heap0 = heapBytes();
    auto a = std::make_unique<StabilityAccumulator>();
    const double fill0 = processCpuSeconds();
    long long next = 0;
    for (; next < kWeekPoints; ++next) a->append(seconds(next), reading(next));
    a->figures();
    const double fill = processCpuSeconds() - fill0;
    const double points = static_cast<double>(kWeekPoints);
    out.report("stability.memory.per_point.rss.points_10000000", (residentBytes() - rss0) / points, "bytes",
               Bound::AtMost, kBytesPerPointTarget, 1);
    out.report("stability.memory.per_point.heap.points_10000000", (heapBytes() - heap0) / points, "bytes",
               Bound::AtMost, kBytesPerPointTarget, 1);
    char note[200];
    std::snprintf(note, sizeof note, "stability: 10^7 readings appended one by one in %.2f s of CPU, %zu octave rows",
                  fill, a->octaveTable().size());
    BenchLine::note(note);

    // Ten million and growing, then a scroll window of ten million.
    out.report("stability.reading.growing.points_10000000", perReadingUs(*a, next, false), "us", Bound::AtMost,
               kReadingTargetUs, 2);
    while (a->count() > kWeekPoints) a->dropOldest();
    out.report("stability.reading.scrolling.points_10000000", perReadingUs(*a, next, true), "us", Bound::AtMost,
               kReadingTargetUs, 2);
    out.report("stability.look.points_10000000", lookMs(*a, next), "ms", Bound::AtMost, kLookTargetMs, 3);

    // A load, an Empty or a change of MeanPoints: every sum afresh.
    std::vector<double> t(static_cast<std::size_t>(kWeekPoints)), y(static_cast<std::size_t>(kWeekPoints));
    for (long long i = 0; i < kWeekPoints; ++i) {
        t[static_cast<std::size_t>(i)] = seconds(i);
        y[static_cast<std::size_t>(i)] = reading(i);
    }
    std::vector<double> rebuilds;
    for (int r = 0; r < 3; ++r) {
        const double start = processCpuSeconds();
        a->assign(t, y);
        rebuilds.push_back(processCpuSeconds() - start);
    }
    std::snprintf(note, sizeof note, "stability.rebuild.points_10000000: %.2f s of CPU (assign, one pass)",
                  median(rebuilds));
    BenchLine::note(note);
}

double childCpuSeconds() {
    struct rusage u {};
    ::getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// `quillstone --analyze` of ten million lines in the page cache: the whole
// program, from its start to its exit.
void analyze(BenchLine& out) {
    test::TempWorkDir dir;
    if (!writeDataFile("Data.txt", kWeekPoints)) {
        std::fprintf(stderr, "cannot write the data file\n");
        out.report("analyze.1e7_lines.cpu", 1e9, "s", Bound::AtMost, kAnalyzeTargetSeconds);
        return;
    }
    const std::string command = std::string(QUILLSTONE_BINARY) + " --analyze Data.txt --format json";
    std::vector<double> cpu, wall;
    bool ok = true;
    for (int r = 0; r < 3; ++r) {
        const double c0 = childCpuSeconds(), w0 = wallSeconds();
        std::string json;
        if (std::FILE* p = ::popen(command.c_str(), "r")) {
            char buf[4096];
            while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) json.append(buf, n);
            ok = ::pclose(p) == 0 && ok;
        } else {
            ok = false;
        }
        cpu.push_back(childCpuSeconds() - c0);
        wall.push_back(wallSeconds() - w0);
        ok = ok && json.find("\"n\":10000000,") != std::string::npos;
    }
    if (!ok) std::fprintf(stderr, "quillstone --analyze failed or read another number of lines\n");
    char note[200];
    std::snprintf(note, sizeof note, "analyze.1e7_lines: wall %.2f s", median(wall));
    BenchLine::note(note);
    out.report("analyze.1e7_lines.cpu", ok ? median(cpu) : 1e9, "s", Bound::AtMost, kAnalyzeTargetSeconds, 2);
}

}  // namespace
}  // namespace qs::bench

int main() {
    using namespace qs::bench;
    BenchLine out;
    live(out);
    analyze(out);
    return out.exitStatus();
}
