// The headless logger's memory on a long run: a million samples at "Plot
// Mean using 0 points" (the mean of every point), through the very objects
// `quillstone --headless` runs, each sample written to the data file. The
// figure is the whole process's resident memory, Qt's libraries included.
#include <QCoreApplication>

#include <cstdio>
#include <string>

#include "BenchLine.h"
#include "BenchSupport.h"
#include "TempWorkDir.h"
#include "qt/app/ProgramParts.h"
#include "qt/headless/HeadlessLogger.h"

namespace qs::bench {
namespace {

constexpr long long kSamples = 1000000;
constexpr double kTargetMiB = 64.0;

void headlessRun(BenchLine& out) {
    test::TempWorkDir dir;
    // The demo's settings with the mean over all points, on an adapter
    // nobody connects to: the samples come straight from here.
    test::WriteFile("config.txt", "127.0.0.1:9\r\n1\r\nMEAS:VOLT:DC? 5,0.00001\r\nMEAS:VOLT:DC? 5,0.00001\r\n1\r\n"
                                  "1\r\n0\r\n0\r\n0\r\n1\r\n1\r\n10\r\n1\r\n0\r\n0\r\n500\r\nData.txt\r\n1\r\n5\r\n0\r\n"
                                  "5\r\n1\r\n0\r\n");
    ProgramParts<HeadlessFace> parts;
    HeadlessLogger headless(parts.logger, parts.runtime, parts.face.console, parts.face.chart, parts.stability, true);
    if (!headless.create()) {
        BenchLine::note("the headless logger did not take its settings");
        out.report("memory.headless.rss_1e6_samples.mean_all", 1e9, "MiB", Bound::AtMost, kTargetMiB, 1);
        return;
    }
    TGPIBTelnet& w = parts.logger;
    const double cpu0 = processCpuSeconds();
    char text[32];
    for (long long i = 0; i < kSamples; ++i) {
        std::snprintf(text, sizeof text, "%+.8E", benchValue(i));
        w.EvaluateSample(text, benchTime(i));
    }
    const double cpu = processCpuSeconds() - cpu0;
    char note[200];
    std::snprintf(note, sizeof note, "headless run: %lld samples in %.1f s of CPU, Series1 counts %d, mean %s",
                  kSamples, cpu, w.Series1.Count(), w.ShowMean.caption().c_str());
    BenchLine::note(note);
    out.report("memory.headless.rss_1e6_samples.mean_all", residentBytes() / (1024.0 * 1024.0), "MiB", Bound::AtMost,
               kTargetMiB, 1);
}

}  // namespace
}  // namespace qs::bench

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qs::bench::BenchLine out;
    qs::bench::headlessRun(out);
    return out.exitStatus();
}
