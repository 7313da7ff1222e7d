// Loading the data file: a million lines written by the logger's own line
// writer, loaded by LoadButtonClick into the QCustomPlot series store and
// into the memory store, in "Send Command 1" and in "Alternate Commands";
// and ten million lines (a week and a half at ten samples a second) into the
// QCustomPlot store in "Send Command 1".
//
// The targets are the program's, with the QCustomPlot store; the memory
// store's figures are shown beside them for comparison.
//
// Each run is a process of its own, so that the first load meets the memory
// of a program just started, as when a person starts the logger and loads;
// the same process then loads the file once more into the filled chart.
// Times are the process's CPU time: the machine is shared, and a load runs
// on one thread.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchLine.h"
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "QtBenchApp.h"
#include "platform/MemoryChart.h"
#include "qt/chart/QtChart.h"

namespace qs::bench {
namespace {

constexpr long long kLines = 1000000;
constexpr int kRuns = 5;
constexpr double kTargetSeconds = 0.5;
constexpr long long kWeekLines = 10000000;
constexpr double kWeekTargetSeconds = 2.0;

struct Cost {
    double cpu = 1e9, wall = 1e9;
};

struct Mode {
    int radio;
    const char* name;
};

template <class ChartT>
Cost loadInto(BenchWindow<ChartT>& b, long long lines) {
    const double cpu = processCpuSeconds(), wall = wallSeconds();
    b.w.LoadButtonClick();
    Cost c{processCpuSeconds() - cpu, wallSeconds() - wall};
    if (b.w.State.SampleCount != lines || b.w.Series1.Count() != lines) {
        std::fprintf(stderr, "load read %d lines, Series1 holds %d points\n", b.w.State.SampleCount,
                     b.w.Series1.Count());
        c = Cost{};
    }
    return c;
}

// One run: a first load into an empty chart, then (unless once) a second one
// over it.
template <class ChartT>
void child(const std::string& file, int radio, long long lines, bool once) {
    auto b = std::make_unique<BenchWindow<ChartT>>();
    b->selectMode(radio);
    b->w.TextFileBox.setText(file);
    const Cost first = loadInto(*b, lines);
    const Cost again = once ? Cost{0.0, 0.0} : loadInto(*b, lines);
    std::printf("%.6f %.6f %.6f %.6f\n", first.cpu, first.wall, again.cpu, again.wall);
}

std::string selfPath() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

struct Runs {
    std::vector<double> firstCpu, firstWall, againCpu, againWall;
};

// kRuns processes, each loading the file (once, or twice).
Runs run(const std::string& file, const char* store, int radio, long long lines, bool once) {
    Runs r;
    const std::string command = selfPath() + " --child '" + file + "' " + std::to_string(radio) + " " + store + " " +
                                std::to_string(lines) + (once ? " once" : " twice");
    for (int i = 0; i < kRuns; ++i) {
        Cost first, again;
        if (std::FILE* p = ::popen(command.c_str(), "r")) {
            if (std::fscanf(p, "%lf %lf %lf %lf", &first.cpu, &first.wall, &again.cpu, &again.wall) != 4)
                first = again = Cost{};
            ::pclose(p);
        }
        r.firstCpu.push_back(first.cpu);
        r.firstWall.push_back(first.wall);
        r.againCpu.push_back(again.cpu);
        r.againWall.push_back(again.wall);
    }
    return r;
}

void measure(BenchLine& out, const std::string& file, const char* store, const Mode& mode) {
    const Runs r = run(file, store, mode.radio, kLines, false);
    const auto& [firstCpu, firstWall, againCpu, againWall] = r;
    const std::string name = std::string("load.") + mode.name + "." + store;
    char note[200];
    std::snprintf(note, sizeof note, "%s: first load %.0f lines/s of CPU time, wall %.3f s; again: wall %.3f s",
                  name.c_str(), static_cast<double>(kLines) / median(firstCpu), median(firstWall),
                  median(againWall));
    BenchLine::note(note);
    if (std::strcmp(store, "qtchart") == 0) {
        out.report(name + ".first.cpu", median(firstCpu), "s", Bound::AtMost, kTargetSeconds);
        out.report(name + ".again.cpu", median(againCpu), "s", Bound::AtMost, kTargetSeconds);
    } else {
        BenchLine::compare(name + ".first.cpu", median(firstCpu), "s");
        BenchLine::compare(name + ".again.cpu", median(againCpu), "s");
    }
}

// Ten million lines in "Send Command 1", each run a fresh process's first load.
void measureWeek(BenchLine& out, const std::string& file) {
    const Runs r = run(file, "qtchart", 1, kWeekLines, true);
    char note[200];
    std::snprintf(note, sizeof note, "load.command1.qtchart.1e7_lines: first load %.0f lines/s of CPU time, wall %.3f s",
                  static_cast<double>(kWeekLines) / median(r.firstCpu), median(r.firstWall));
    BenchLine::note(note);
    out.report("load.command1.qtchart.1e7_lines.cpu", median(r.firstCpu), "s", Bound::AtMost, kWeekTargetSeconds);
}

// The reading and scanning alone, for the breakdown in the notes.
double scanOnly(const std::string& file, long long lines) {
    std::FILE* f = std::fopen(file.c_str(), "r");
    if (!f) return 0.0;
    DataLineFields fields;
    const double start = processCpuSeconds();
    long long n = 0;
    LineReader reader(f, 20000);
    while (const char* line = reader.next()) {
        ScanDataLine(line, fields);
        ++n;
    }
    const double seconds = processCpuSeconds() - start;
    std::fclose(f);
    return n == lines ? seconds : 1e9;
}

// A data file of `lines` lines in dir, noted with its size and what reading
// and scanning it alone costs; empty when it cannot be written.
std::string dataFile(const qs::test::TempWorkDir& dir, const char* name, long long lines) {
    const std::string file = (dir.path() / name).string();
    if (!writeDataFile(file, lines)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return {};
    }
    char note[200];
    std::snprintf(note, sizeof note, "data file: %lld lines, %.0f MB, in the page cache; reading and scanning alone: %.3f s",
                  lines, static_cast<double>(std::filesystem::file_size(file)) / 1e6,
                  median({scanOnly(file, lines), scanOnly(file, lines), scanOnly(file, lines)}));
    BenchLine::note(note);
    return file;
}

}  // namespace
}  // namespace qs::bench

// Without arguments: writes the files and runs every figure. With
// "--child FILE RADIO STORE LINES once|twice": one run, for the parent or for
// a profiler.
int main(int argc, char** argv) {
    using namespace qs::bench;
    QtBenchApp app(argc, argv);
    if (argc == 7 && std::strcmp(argv[1], "--child") == 0) {
        const int radio = std::atoi(argv[3]);
        const long long lines = std::atoll(argv[5]);
        const bool once = std::strcmp(argv[6], "once") == 0;
        if (std::strcmp(argv[4], "qtchart") == 0)
            child<qs::QtChart>(argv[2], radio, lines, once);
        else
            child<qs::MemoryChart>(argv[2], radio, lines, once);
        return 0;
    }

    qs::test::TempWorkDir dataDir;
    const std::string file = dataFile(dataDir, "Data.txt", kLines);
    if (file.empty()) return 2;
    BenchLine out;
    for (const Mode& mode : {Mode{1, "command1"}, Mode{3, "alternate"}}) {
        measure(out, file, "qtchart", mode);
        measure(out, file, "memorychart", mode);
    }
    std::filesystem::remove(file);
    const std::string week = dataFile(dataDir, "Week.txt", kWeekLines);
    if (week.empty()) return 2;
    measureWeek(out, week);
    return out.exitStatus();
}
