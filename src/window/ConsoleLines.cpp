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
    std::string line = "stats";
    add(line, "channel", channel.channel);
    add(line, "n", channel.figures.n);
    for (const SeriesFigureName& f : kSeriesFigureNames) add(line, f.name, channel.figures.*f.figure);
    for (const StabilityRow& r : channel.rows) {
        const std::string m = "_m" + std::to_string(r.m);
        add(line, "oadev" + m, r.oadev);
        add(line, "oadev_err" + m, r.oadevError);
        add(line, "mdev" + m, r.mdev);
        add(line, "hdev" + m, r.hdev);
    }
    if (tempco) {
        add(line, "tempco_pairs", tempco->pairs);
        for (const RegressionFigureName& f : kRegressionFigureNames)
            add(line, std::string("tempco_") + f.name, (*tempco).*f.figure);
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
