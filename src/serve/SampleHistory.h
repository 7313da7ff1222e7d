#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace qs {

// The samples the page's chart opens with: per channel, the time and the
// three series (value, mean, filter) of every sample taken, up to a bound,
// so that a page opened after a week still shows the week. Lives on the
// event loop with the logger.
class SampleHistory {
public:
    // A week at 0.3 s a channel; 32 bytes a sample, taken only as samples come.
    static constexpr std::size_t kHeldSamples = std::size_t{1} << 21;
    static constexpr int kChannels = 2;

    struct Point {
        double seconds;  // Unix time
        double value, mean, filter;
    };
    // What part of the history is asked for, as /api/history's query says.
    struct Window {
        int width = 1000;             // pixel columns the page draws
        std::optional<double> from;   // Unix seconds; the oldest held when none
        std::optional<double> to;     // Unix seconds; the newest held when none
    };

    explicit SampleHistory(std::size_t capacity = kHeldSamples) : capacity_(capacity) {}

    // channel: 1 or 2 (others are not kept); the oldest of the channel
    // leaves once capacity are held.
    void add(int channel, const Point& point, std::uint64_t seq);

    std::size_t size(int channel) const;
    std::uint64_t lastSeq() const { return lastSeq_; }
    // The seconds above which two neighbouring samples of the channel are
    // drawn apart: the window chart's gap rule, from the channel's own spacing.
    double gapSeconds(int channel) const;

    // The held history reduced to what width pixel columns show, as JSON:
    // {"seq", "from", "to", "width", "channels": [{"channel", "held", "gap",
    // "points": [[ms, value, mean, filter], ..., null, ...]}]}. A column of
    // many samples is its first, its extremes and its last; null breaks the
    // line (a gap); a value that is no number is null in its row.
    std::string reducedJson(const Window& window) const;

private:
    std::size_t capacity_;
    std::array<std::deque<Point>, kChannels> channels_;
    std::uint64_t lastSeq_ = 0;
};

// /api/history?width=N&from=MS&to=MS (Unix milliseconds); nullopt for a
// value that is no whole number or a width outside 1 to kMaxWidth.
inline constexpr int kMaxHistoryWidth = 10000;
std::optional<SampleHistory::Window> ParseHistoryQuery(std::optional<std::string_view> width,
                                                       std::optional<std::string_view> from,
                                                       std::optional<std::string_view> to);

}  // namespace qs
