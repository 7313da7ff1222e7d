#include "platform/MemoryChart.h"

#include <algorithm>

namespace qs {

int PageCountFor(int longestSeries, int pointsPerPage) {
    if (pointsPerPage <= 0 || longestSeries <= 0) return 1;
    return (longestSeries + pointsPerPage - 1) / pointsPerPage;
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
