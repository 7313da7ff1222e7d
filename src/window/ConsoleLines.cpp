#include "window/ConsoleLines.h"

#include <charconv>

#include "platform/Conversions.h"

namespace qs {

namespace {

// The shortest text that reads back as the same double, in any locale.
std::string exact(const std::optional<double>& v) {
    if (!v) return "none";
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, *v);
    return std::string(buf, r.ptr);
}

void add(std::string& line, const std::string& name, const std::optional<double>& v) {
    line += " " + name + "=" + exact(v);
}
void add(std::string& line, const std::string& name, long long v) { line += " " + name + "=" + std::to_string(v); }

}  // namespace

std::string StatsConsoleLine(const ChannelAnalysis& channel, const std::optional<RegressionFigures>& tempco) {
    const SeriesFigures& f = channel.figures;
    std::string line = "stats";
    add(line, "channel", channel.channel);
    add(line, "n", f.n);
    add(line, "mean", f.mean);
    add(line, "stddev", f.stddev);
    add(line, "stddev_ppm", f.stddevPpm);
    add(line, "min", f.minimum);
    add(line, "max", f.maximum);
    add(line, "p2p", f.peakToPeak);
    add(line, "p2p_ppm", f.peakToPeakPpm);
    add(line, "drift_per_day", f.driftPerDay);
    add(line, "drift_ppm_per_day", f.driftPpmPerDay);
    add(line, "drift_stderr", f.driftStderrPerDay);
    add(line, "tau0", f.tau0);
    for (const StabilityRow& r : channel.rows) {
        const std::string m = "_m" + std::to_string(r.m);
        add(line, "oadev" + m, r.oadev);
        add(line, "oadev_err" + m, r.oadevError);
        add(line, "mdev" + m, r.mdev);
        add(line, "hdev" + m, r.hdev);
    }
    if (tempco) {
        add(line, "tempco_pairs", tempco->pairs);
        add(line, "tempco_slope", tempco->slope);
        add(line, "tempco_slope_err", tempco->slopeStderr);
        add(line, "tempco_r", tempco->correlation);
        add(line, "tempco_ppm_per_unit", tempco->ppmPerUnit);
    }
    return line;
}

std::vector<std::string> StatsConsoleLines(const DataAnalysis& analysis) {
    std::vector<std::string> lines;
    for (const ChannelAnalysis& c : analysis.channels)
        if (c.figures.n > 0) lines.push_back(StatsConsoleLine(c, c.channel == 1 ? analysis.tempco : std::nullopt));
    return lines;
}

std::string SampleConsoleLine(const SampleRecord& sample) {
    return "sample count=" + IntToStr(sample.count) + " time=\"" + FormatDateBox(sample.time) +
           "\" value=" + FloatToStr(sample.value) + " mean=" + FloatToStr(sample.mean) +
           " filter=" + FloatToStr(sample.filter);
}

std::optional<ConsoleLine> StatusConsoleLine(const StatusEvent& event) {
    using K = StatusEventKind;
    switch (event.kind) {
        case K::LinkStatus:
            if (event.text.empty()) return std::nullopt;
            return ConsoleLine{ConsoleStream::Out, "link: " + event.text};
        case K::DataFileNotWritable:
        case K::DataFileNote:
            if (event.text.empty()) return std::nullopt;
            return ConsoleLine{ConsoleStream::Err, event.text};
        case K::DataFileRecordingAgain:
            return ConsoleLine{ConsoleStream::Out, "data file: recording again"};
        case K::DataFileNoteCleared:
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace qs
