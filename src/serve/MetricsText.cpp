#include "serve/MetricsText.h"

#include <cmath>
#include <cstdio>

namespace qs {

namespace {

// A label value: backslash, double quote and line feed escaped.
std::string labelValue(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '"') out += "\\\"";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

void family(std::string& out, const char* name, const char* type, const char* help) {
    out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
}

void sample(std::string& out, const char* name, const std::string& labels, double value) {
    out += name;
    if (!labels.empty()) out += "{" + labels + "}";
    out += " " + MetricNumber(value) + "\n";
}

}  // namespace

std::string MetricNumber(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "+Inf" : "-Inf";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", value);
    return buf;
}

std::string MetricsText(const ServeFigures& f, double now) {
    std::string out;
    struct Gauge {
        const char* name;
        const char* help;
        double ChannelFigures::*field;
    };
    static constexpr Gauge kGauges[] = {
        {"quillstone_value", "The latest reading of the channel.", &ChannelFigures::value},
        {"quillstone_mean", "The running mean of the channel after its latest reading.", &ChannelFigures::mean},
        {"quillstone_filter", "The RC filter output of the channel after its latest reading.",
         &ChannelFigures::filter},
    };
    for (const Gauge& g : kGauges) {
        family(out, g.name, "gauge", g.help);
        for (const ChannelFigures& c : f.channels)
            sample(out, g.name,
                   "channel=\"" + std::to_string(c.channel) + "\",command=\"" + labelValue(c.command) + "\"",
                   c.*g.field);
    }
    family(out, "quillstone_samples_total", "counter", "Samples taken since the logger started.");
    sample(out, "quillstone_samples_total", "", static_cast<double>(f.samples));
    family(out, "quillstone_replies_rejected_total", "counter", "Replies not taken as a sample, by reason.");
    for (const auto& [reason, count] : f.rejected)
        sample(out, "quillstone_replies_rejected_total", "reason=\"" + labelValue(reason) + "\"",
               static_cast<double>(count));
    family(out, "quillstone_link_up", "gauge", "1 while the link to the adapter is up, else 0.");
    sample(out, "quillstone_link_up", "", f.linkUp ? 1.0 : 0.0);
    family(out, "quillstone_reconnects_total", "counter", "Times the link came up again after it was up.");
    sample(out, "quillstone_reconnects_total", "", static_cast<double>(f.reconnects));
    family(out, "quillstone_data_file_write_failures_total", "counter",
           "Samples whose line did not reach the data file.");
    sample(out, "quillstone_data_file_write_failures_total", "", static_cast<double>(f.writeFailures));
    if (f.lastSampleSeconds) {
        family(out, "quillstone_seconds_since_last_sample", "gauge", "Seconds since the latest sample was taken.");
        sample(out, "quillstone_seconds_since_last_sample", "", now - *f.lastSampleSeconds);
    }
    family(out, "quillstone_process_start_time_seconds", "gauge", "Unix time the logger started.");
    sample(out, "quillstone_process_start_time_seconds", "", f.startSeconds);
    return out;
}

}  // namespace qs
