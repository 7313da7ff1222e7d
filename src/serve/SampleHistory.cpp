#include "serve/SampleHistory.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "chart/GapWidth.h"
#include "platform/DayCount.h"
#include "serve/ServeRoutes.h"

namespace qs {

namespace {

// A column of at most this many samples is sent sample by sample: its
// summary would take as many rows.
constexpr std::size_t kPointsSentAsTheyAre = 4;

using Points = std::deque<SampleHistory::Point>;

void appendNumber(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    // The shortest text that reads back as the same double: the chart needs
    // no more, and a week's summary stays small.
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// The rows of one channel's line, in time order, with null where it breaks.
class ReducedLine {
public:
    explicit ReducedLine(std::string& out) : out_(out) {}

    void row(double seconds, double value, double mean, double filter) {
        separate();
        out_ += '[';
        out_ += std::to_string(std::llround(seconds * 1000.0));
        for (double v : {value, mean, filter}) {
            out_ += ',';
            appendNumber(out_, v);
        }
        out_ += ']';
        broken_ = false;
    }
    void row(const SampleHistory::Point& p) { row(p.seconds, p.value, p.mean, p.filter); }
    void breakHere() {
        if (broken_) return;  // never two breaks running, nor one at the start
        separate();
        out_ += "null";
        broken_ = true;
    }

private:
    void separate() {
        if (!first_) out_ += ',';
        first_ = false;
    }
    std::string& out_;
    bool first_ = true;
    bool broken_ = true;
};

bool anyNan(const SampleHistory::Point& p) {
    return std::isnan(p.value) || std::isnan(p.mean) || std::isnan(p.filter);
}

// The column of a sample of samples first to last - 1 (last - first more
// than kPointsSentAsTheyAre): the first sample, each series' smallest and
// largest value, the last sample, as the window's chart draws a pixel
// column: the smallest first where the series rises, the largest where it
// falls, a third of the column apart. A column with a value that is no
// number is sent sample by sample, so that the break stands where it is.
void appendColumn(ReducedLine& line, const Points& points, std::size_t first, std::size_t last) {
    double lower[3], upper[3];
    for (int s = 0; s < 3; ++s) lower[s] = std::numeric_limits<double>::infinity(), upper[s] = -lower[s];
    bool nan = false;
    for (std::size_t i = first; i < last; ++i) {
        const SampleHistory::Point& p = points[i];
        nan |= anyNan(p);
        const double v[3] = {p.value, p.mean, p.filter};
        for (int s = 0; s < 3; ++s) lower[s] = std::min(lower[s], v[s]), upper[s] = std::max(upper[s], v[s]);
    }
    if (nan || last - first <= kPointsSentAsTheyAre) {
        for (std::size_t i = first; i < last; ++i) line.row(points[i]);
        return;
    }
    const SampleHistory::Point& a = points[first];
    const SampleHistory::Point& z = points[last - 1];
    const double av[3] = {a.value, a.mean, a.filter}, zv[3] = {z.value, z.mean, z.filter};
    double second[3], third[3];
    for (int s = 0; s < 3; ++s) {
        const bool rising = av[s] <= zv[s];
        second[s] = rising ? lower[s] : upper[s];
        third[s] = rising ? upper[s] : lower[s];
    }
    const double step = (z.seconds - a.seconds) / 3.0;
    line.row(a);
    line.row(a.seconds + step, second[0], second[1], second[2]);
    line.row(z.seconds - step, third[0], third[1], third[2]);
    line.row(z);
}

std::size_t firstAtOrAfter(const Points& points, double seconds) {
    return static_cast<std::size_t>(
        std::lower_bound(points.begin(), points.end(), seconds,
                         [](const SampleHistory::Point& p, double s) { return p.seconds < s; }) -
        points.begin());
}

}  // namespace

void SampleHistory::add(int channel, const Point& point, std::uint64_t seq) {
    lastSeq_ = std::max(lastSeq_, seq);
    if (channel < 1 || channel > kChannels || capacity_ == 0) return;
    Points& points = channels_[static_cast<std::size_t>(channel - 1)];
    if (points.size() == capacity_) points.pop_front();
    // A clock set back puts a sample among those before it, in time order,
    // as the window's chart takes it.
    if (points.empty() || !(point.seconds < points.back().seconds)) {
        points.push_back(point);
        return;
    }
    const auto at = std::upper_bound(points.begin(), points.end(), point.seconds,
                                     [](double s, const Point& p) { return s < p.seconds; });
    points.insert(at, point);
}

std::size_t SampleHistory::size(int channel) const {
    if (channel < 1 || channel > kChannels) return 0;
    return channels_[static_cast<std::size_t>(channel - 1)].size();
}

double SampleHistory::gapSeconds(int channel) const {
    const Points& points = channels_[static_cast<std::size_t>(std::clamp(channel, 1, kChannels) - 1)];
    const double typical = TypicalStepSeconds(static_cast<int>(points.size()), [&points](int i) {
        return points[static_cast<std::size_t>(i)].seconds / static_cast<double>(kSecondsPerDay);
    });
    return GapWidthDays(GapSeconds(typical)) * static_cast<double>(kSecondsPerDay);
}

// The columns span from the oldest sample asked for to the newest, the same
// for both channels so that their lines share the time axis. Only steps
// between columns can be seen as gaps: within a column of many samples a
// gap is drawn as the column's stroke, as on the window's chart.
std::string SampleHistory::reducedJson(const Window& window) const {
    double from = std::numeric_limits<double>::infinity(), to = -from;
    for (const Points& points : channels_)
        if (!points.empty()) from = std::min(from, points.front().seconds), to = std::max(to, points.back().seconds);
    if (window.from) from = *window.from;
    if (window.to) to = *window.to;
    const bool any = from <= to;
    const int width = std::max(window.width, 1);
    const double span = to - from;
    const auto column = [&](double seconds) {
        if (!(span > 0.0)) return 0.0;
        return std::clamp(std::floor((seconds - from) / span * width), 0.0, static_cast<double>(width - 1));
    };

    std::string out = "{\"seq\":" + std::to_string(lastSeq_);
    out += ",\"from\":";
    out += any ? std::to_string(std::llround(from * 1000.0)) : "null";
    out += ",\"to\":";
    out += any ? std::to_string(std::llround(to * 1000.0)) : "null";
    out += ",\"width\":" + std::to_string(width) + ",\"channels\":[";
    for (int c = 1; c <= kChannels; ++c) {
        const Points& points = channels_[static_cast<std::size_t>(c - 1)];
        const double gap = gapSeconds(c);
        if (c > 1) out += ',';
        out += "{\"channel\":" + std::to_string(c) + ",\"held\":" + std::to_string(points.size()) + ",\"gap\":";
        appendNumber(out, gap);
        out += ",\"points\":[";
        // The samples within the window and one on each side of it, so that
        // a zoomed view's lines run on to its edges.
        std::size_t first = any ? firstAtOrAfter(points, from) : points.size();
        std::size_t last = any ? firstAtOrAfter(points, std::nextafter(to, std::numeric_limits<double>::infinity()))
                               : points.size();
        if (any && first > 0) --first;
        if (any && last < points.size()) ++last;
        ReducedLine line(out);
        const auto breaksBefore = [&](std::size_t i) { return points[i].seconds - points[i - 1].seconds > gap; };
        if (last - first <= 2 * static_cast<std::size_t>(width) + 2) {
            for (std::size_t i = first; i < last; ++i) {
                if (i > first && breaksBefore(i)) line.breakHere();
                line.row(points[i]);
            }
        } else {
            for (std::size_t i = first; i < last;) {
                const double here = column(points[i].seconds);
                std::size_t next = i + 1;
                while (next < last && column(points[next].seconds) == here) ++next;
                if (i > first && breaksBefore(i)) line.breakHere();
                appendColumn(line, points, i, next);
                i = next;
            }
        }
        out += "]}";
    }
    return out + "]}";
}

std::optional<SampleHistory::Window> ParseHistoryQuery(std::optional<std::string_view> width,
                                                       std::optional<std::string_view> from,
                                                       std::optional<std::string_view> to) {
    SampleHistory::Window window;
    if (width) {
        const auto n = ParseWholeNumber(*width);
        if (!n || *n < 1 || *n > static_cast<std::uint64_t>(kMaxHistoryWidth)) return std::nullopt;
        window.width = static_cast<int>(*n);
    }
    for (auto [text, into] : {std::pair{from, &window.from}, std::pair{to, &window.to}}) {
        if (!text) continue;
        const auto ms = ParseWholeNumber(*text);
        if (!ms) return std::nullopt;
        *into = static_cast<double>(*ms) / 1000.0;
    }
    if (window.from && window.to && *window.to < *window.from) return std::nullopt;
    return window;
}

}  // namespace qs
