#include "window/SeriesTable.h"

#include <stdexcept>

namespace qs {
namespace {

constexpr std::size_t roleIndex(SeriesRole role) { return static_cast<std::size_t>(role); }

}  // namespace

SeriesTable::SeriesTable(const std::array<ISeries*, 6>& series) : series_(series) {
    for (const SeriesStyle& style : SeriesStyles())
        byChannel_.at(static_cast<std::size_t>(style.command - 1)).at(roleIndex(style.role)) =
            series_.at(static_cast<std::size_t>(style.series - 1));
}

ISeries& SeriesTable::of(int channel, SeriesRole role) const {
    if (channel != 1 && channel != 2) throw std::out_of_range("channel outside 1 and 2");
    return *byChannel_[static_cast<std::size_t>(channel - 1)][roleIndex(role)];
}

}  // namespace qs
