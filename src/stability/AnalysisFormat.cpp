// How an analysis is written out: text, CSV, JSON.
#include <charconv>
#include <cstdio>
#include <string>

#include "core/JsonText.h"
#include "stability/DataAnalysis.h"

namespace qs {

namespace {

constexpr int kMachineDigits = 17;  // every double reads back as itself
constexpr int kFigureDigits = 12;   // a person's: an 8.5-digit meter's mean and more
constexpr int kTableDigits = 7;

std::string number(double v, int digits) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
    return std::string(buf, r.ptr);
}

std::string integer(long long v) { return std::to_string(v); }

// ---- JSON

std::string jsonRow(const StabilityRow& r) {
    return JsonObject()
        .count("m", r.m)
        .num("tau", r.tau)
        .num("oadev", r.oadev)
        .num("oadev_err", r.oadevError)
        .count("oadev_n", r.oadevTerms)
        .num("mdev", r.mdev)
        .count("mdev_n", r.mdevTerms)
        .num("hdev", r.hdev)
        .count("hdev_n", r.hdevTerms)
        .done();
}

std::string channelJson(const ChannelAnalysis& c) {
    std::string rows = "[";
    for (std::size_t i = 0; i < c.rows.size(); ++i) rows += (i ? "," : "") + jsonRow(c.rows[i]);
    rows += "]";
    JsonObject object;
    object.count("channel", c.channel).count("n", c.figures.n);
    for (const SeriesFigureName& f : kSeriesFigureNames) object.num(f.name, c.figures.*f.figure);
    return object.raw("stability", rows).done();
}

}  // namespace

std::string RegressionJson(const std::optional<RegressionFigures>& t) {
    if (!t) return "null";
    JsonObject object;
    object.count("pairs", t->pairs);
    for (const RegressionFigureName& f : kRegressionFigureNames) object.num(f.name, (*t).*f.figure);
    return object.done();
}

std::string ChannelsJson(const std::vector<ChannelAnalysis>& channels) {
    std::string out = "[";
    for (std::size_t i = 0; i < channels.size(); ++i) out += (i ? "," : "") + channelJson(channels[i]);
    return out + "]";
}

namespace {

std::string json(const DataAnalysis& a) {
    return JsonObject()
               .text("file", a.file)
               .count("lines", a.lines)
               .count("skipped", a.skipped)
               .raw("channels", ChannelsJson(a.channels))
               .raw("tempco", RegressionJson(a.tempco))
               .done() +
           "\n";
}

// ---- CSV

std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string csvNumber(const std::optional<double>& v) { return v ? number(*v, kMachineDigits) : ""; }

std::string csv(const DataAnalysis& a) {
    std::string out = "file,lines,skipped\n" + csvField(a.file) + "," + integer(a.lines) + "," + integer(a.skipped) +
                      "\n\nchannel,n";
    for (const SeriesFigureName& f : kSeriesFigureNames) out += std::string(",") + f.name;
    out += "\n";
    for (const ChannelAnalysis& c : a.channels) {
        out += integer(c.channel) + "," + integer(c.figures.n);
        for (const SeriesFigureName& f : kSeriesFigureNames) out += "," + csvNumber(c.figures.*f.figure);
        out += "\n";
    }
    out += "\nchannel,m,tau,oadev,oadev_err,oadev_n,mdev,mdev_n,hdev,hdev_n\n";
    for (const ChannelAnalysis& c : a.channels)
        for (const StabilityRow& r : c.rows)
            out += integer(c.channel) + "," + integer(r.m) + "," + csvNumber(r.tau) + "," + csvNumber(r.oadev) + "," +
                   csvNumber(r.oadevError) + "," + integer(r.oadevTerms) + "," + csvNumber(r.mdev) + "," +
                   integer(r.mdevTerms) + "," + csvNumber(r.hdev) + "," + integer(r.hdevTerms) + "\n";
    if (a.tempco) {
        std::string names = "pairs", values = integer(a.tempco->pairs);
        for (const RegressionFigureName& f : kRegressionFigureNames) {
            names += std::string(",") + f.name;
            values += "," + csvNumber((*a.tempco).*f.figure);
        }
        out += "\n" + names + "\n" + values + "\n";
    }
    return out;
}

// ---- text

std::string shown(const std::optional<double>& v, int digits = kFigureDigits) {
    return v ? number(*v, digits) : "none";
}

std::string padded(std::string s, std::size_t width) {
    if (s.size() < width) s.insert(0, width - s.size(), ' ');
    return s;
}

std::string figureLine(const char* name, const std::string& value) {
    std::string line = "  ";
    line += name;
    line.append(line.size() < 22 ? 22 - line.size() : 1, ' ');
    return line + value + "\n";
}

std::string withPpm(const std::optional<double>& v, const std::optional<double>& ppm, const char* unit = "") {
    return shown(v) + unit + " (" + shown(ppm, kTableDigits) + " ppm" + unit + ")";
}

std::string textChannel(const ChannelAnalysis& c) {
    const SeriesFigures& f = c.figures;
    std::string out = "\nchannel " + integer(c.channel) + "\n";
    out += figureLine("readings", integer(f.n));
    out += figureLine("mean", shown(f.mean));
    out += figureLine("standard deviation", withPpm(f.stddev, f.stddevPpm));
    out += figureLine("minimum", shown(f.minimum));
    out += figureLine("maximum", shown(f.maximum));
    out += figureLine("peak to peak", withPpm(f.peakToPeak, f.peakToPeakPpm));
    out += figureLine("drift", withPpm(f.driftPerDay, f.driftPpmPerDay, "/day"));
    out += figureLine("drift std. error", shown(f.driftStderrPerDay, kTableDigits) + "/day");
    out += figureLine("tau0", shown(f.tau0) + (f.tau0 ? " s" : ""));
    out += "\n" + padded("m", 10) + padded("tau/s", 14) + padded("OADEV", 15) + padded("+-1 sigma", 15) +
           padded("terms", 10) + padded("MDEV", 15) + padded("terms", 10) + padded("HDEV", 15) + padded("terms", 10) +
           "\n";
    for (const StabilityRow& r : c.rows)
        out += padded(integer(r.m), 10) + padded(shown(r.tau, kTableDigits), 14) +
               padded(shown(r.oadev, kTableDigits), 15) + padded(shown(r.oadevError, kTableDigits), 15) +
               padded(integer(r.oadevTerms), 10) + padded(shown(r.mdev, kTableDigits), 15) +
               padded(integer(r.mdevTerms), 10) + padded(shown(r.hdev, kTableDigits), 15) +
               padded(integer(r.hdevTerms), 10) + "\n";
    return out;
}

std::string text(const DataAnalysis& a) {
    std::string out = "file " + a.file + "\n" + integer(a.lines) + " lines read, " + integer(a.skipped) +
                      " skipped as a load skips them\n";
    for (const ChannelAnalysis& c : a.channels) out += textChannel(c);
    if (a.tempco) {
        const RegressionFigures& t = *a.tempco;
        out += "\nchannel 1 against channel 2 (the k-th reading of each)\n";
        out += figureLine("pairs", integer(t.pairs));
        out += figureLine("slope", shown(t.slope) + " per unit of channel 2");
        out += figureLine("slope std. error", shown(t.slopeStderr, kTableDigits));
        out += figureLine("correlation r", shown(t.correlation, kTableDigits));
        out += figureLine("tempco", shown(t.ppmPerUnit, kTableDigits) + " ppm of |mean 1| per unit of channel 2");
    }
    return out;
}

}  // namespace

std::string FormatAnalysis(const DataAnalysis& analysis, AnalysisFormat format) {
    switch (format) {
    case AnalysisFormat::Csv: return csv(analysis);
    case AnalysisFormat::Json: return json(analysis);
    case AnalysisFormat::Text: break;
    }
    return text(analysis);
}

}  // namespace qs
