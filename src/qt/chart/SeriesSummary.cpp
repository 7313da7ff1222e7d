#include "qt/chart/SeriesSummary.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qs {

// Blocks are counted from the first point the summary saw; points dropped
// from the front shift a series' indices, not the blocks: a block that lost
// some of its points is never used (its extremes may be those of points that
// are gone) and is dropped once its last point left. The block being filled
// at the end is used only once it is full. Points inserted anywhere but after
// the newest make the summary start over at the next question, in one pass.
//
// The points themselves stay in the graph's container; every question passes
// the container's first point, so that the summary never keeps a pointer
// into storage that moves as it grows.
void SeriesSummary::droppedFirst() {
    if (!known_) return;
    if (--count_ <= 0) {
        cleared();
        return;
    }
    // The block that held the point is dropped with its last point.
    if (++dropped_ % kBlock == 0) {
        blocks_.pop_front();
        ++firstBlock_;
    }
}

void SeriesSummary::cleared() {
    blocks_.clear();
    dropped_ = firstBlock_ = count_ = 0;
    known_ = true;
}

void SeriesSummary::rebuild(const QCPGraphData* points, int count) const {
    blocks_.clear();
    dropped_ = firstBlock_ = count_ = 0;
    for (int i = 0; i < count; ++i) take(points[i].value);
    known_ = true;
}

ValueExtremes SeriesSummary::extremes(const QCPGraphData* points, int count, int first, int last) const {
    // A count that differs means changes the summary was not told of: start over.
    if (!known_ || count_ != count) rebuild(points, count);
    // Values that are not numbers are noted apart; min and max pass them by.
    double lower = std::numeric_limits<double>::infinity(), upper = -lower;
    bool nan = false;
    auto take = [&](double low, double high) {
        nan |= std::isnan(low);
        lower = std::min(lower, low);
        upper = std::max(upper, high);
    };
    auto scan = [&](int from, int to) {
        for (int i = from; i < to; ++i) take(points[i].value, points[i].value);
    };

    // Whole blocks within the stretch, counted from the first point ever held.
    const std::int64_t firstWhole = (dropped_ + first + kBlock - 1) / kBlock;
    const std::int64_t endWhole = (dropped_ + last) / kBlock;
    if (endWhole <= firstWhole) {
        scan(first, last);
    } else {
        scan(first, static_cast<int>(firstWhole * kBlock - dropped_));
        for (auto it = blocks_.cbegin() + (firstWhole - firstBlock_), end = blocks_.cbegin() + (endWhole - firstBlock_);
             it != end; ++it)
            take(it->min, it->max);
        scan(static_cast<int>(endWhole * kBlock - dropped_), last);
    }
    return {lower, upper, nan};
}

}  // namespace qs
