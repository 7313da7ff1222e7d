#pragma once
#include <array>
#include <span>

#include "chart/SeriesStyle.h"
#include "platform/Chart.h"

namespace qs {

// The six series joined with what SeriesStyles() says each one shows (its
// command and role): code that treats all six loops over all(), code that
// wants one asks for its channel and role.
class SeriesTable {
public:
    // series: Series1 ... Series6, in that order.
    explicit SeriesTable(const std::array<ISeries*, 6>& series);

    // Series1 ... Series6.
    std::span<ISeries* const> all() const { return series_; }
    // channel 1 or 2; std::out_of_range for another.
    ISeries& of(int channel, SeriesRole role) const;

private:
    std::array<ISeries*, 6> series_;
    std::array<std::array<ISeries*, 3>, 2> byChannel_{};  // [channel - 1][role]
};

}  // namespace qs
