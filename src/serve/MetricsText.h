#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qs {

// The latest sample of one channel, for its gauges.
struct ChannelFigures {
    int channel = 1;
    std::string command;
    double value = 0.0, mean = 0.0, filter = 0.0;
};

// What /metrics reports, gathered on the event loop from the logger's
// sample and status records.
struct ServeFigures {
    std::vector<ChannelFigures> channels;      // those that have had a sample
    std::uint64_t samples = 0;                 // samples taken since the start
    std::map<std::string, std::uint64_t> rejected;  // replies not taken, by reason
    bool linkUp = false;
    std::uint64_t reconnects = 0;
    std::uint64_t writeFailures = 0;           // samples that did not reach the data file
    std::optional<double> lastSampleSeconds;   // Unix time of the latest sample
    double startSeconds = 0.0;                 // Unix time the process started
};

// The Prometheus text exposition (format 0.0.4) of the figures at Unix time
// now: names prefixed quillstone_, counters ending in _total, every value
// with 17 significant digits so that the value scraped is the value logged.
std::string MetricsText(const ServeFigures& figures, double now);

// A sample value as the exposition writes it: 17 significant digits, NaN,
// +Inf or -Inf.
std::string MetricNumber(double value);

}  // namespace qs
