#include "platform/MemoryChart.h"

#include <algorithm>
#include <cstdint>

namespace qs {

int PageCountFor(int longestSeries, int pointsPerPage) {
    if (pointsPerPage <= 0 || longestSeries <= pointsPerPage) return 1;
    // In 64 bits: longest + pointsPerPage - 1 overflows an int for page
    // sizes near its limit. The result is at most longestSeries.
    const std::int64_t longest = longestSeries;
    return static_cast<int>((longest + pointsPerPage - 1) / pointsPerPage);
}

void MemoryChart::SetPointsPerPage(int points) {
    pointsPerPage_ = points;
    page_ = 1;
}

int MemoryChart::PageCount() const {
    int longest = 0;
    for (const auto& s : series_) longest = std::max(longest, s.Count());
    return PageCountFor(longest, pointsPerPage_);
}

}  // namespace qs
