#include "platform/MemoryChart.h"

#include <cstdint>

namespace qs {

int PageCountFor(int longestSeries, int pointsPerPage) {
    if (pointsPerPage <= 0 || longestSeries <= pointsPerPage) return 1;
    // In 64 bits: longest + pointsPerPage - 1 overflows an int for page
    // sizes near its limit. The result is at most longestSeries.
    const std::int64_t longest = longestSeries;
    return static_cast<int>((longest + pointsPerPage - 1) / pointsPerPage);
}

}  // namespace qs
