#pragma once
#include <deque>
#include <span>
#include <utility>

#include "stability/LinearSums.h"
#include "stability/StabilityFigures.h"

namespace qs {

// In Alternate Commands the k-th reading of channel 1 is paired with the
// k-th of channel 2, the one taken next to it (command 2 follows command 1
// in each round of the poll): the number of pairs of n1 and n2 readings.
inline long long AlternatePairCount(long long channel1, long long channel2) {
    return channel1 < channel2 ? channel1 : channel2;
}

// The regression of channel 1 (y) on channel 2 (x) over such pairs, in one
// pass; the pairs beyond the shorter channel are left out.
RegressionFigures RegressionOfPairs(std::span<const double> channel1, std::span<const double> channel2);

// The same regression kept up to date as pairs arrive and the oldest leave.
class PairRegression {
public:
    // ---- getters
    long long count() const { return static_cast<long long>(pairs_.size()); }
    RegressionFigures figures() const;

    // ---- setters
    void append(double channel1, double channel2);
    void dropOldest();
    void clear();
    // Every sum afresh from the pairs held, in one pass.
    void rebuild();

private:
    std::deque<std::pair<double, double>> pairs_;  // (channel 2, channel 1): x, y
    LinearSums sums_;
};

}  // namespace qs
