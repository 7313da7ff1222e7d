#include "stability/PairRegression.h"

#include "stability/SeriesStatistics.h"

namespace qs {

RegressionFigures RegressionOfPairs(std::span<const double> channel1, std::span<const double> channel2) {
    LinearSums sums;
    const long long pairs = AlternatePairCount(static_cast<long long>(channel1.size()),
                                               static_cast<long long>(channel2.size()));
    for (long long k = 0; k < pairs; ++k)
        sums.add(channel2[static_cast<std::size_t>(k)], channel1[static_cast<std::size_t>(k)]);
    return RegressionOf(sums);
}

RegressionFigures PairRegression::figures() const {
    if (sums_.finite()) return RegressionOf(sums_);
    LinearSums fresh;
    for (const auto& [x, y] : pairs_) fresh.add(x, y);
    return RegressionOf(fresh);
}

void PairRegression::append(double channel1, double channel2) {
    pairs_.emplace_back(channel2, channel1);
    sums_.add(channel2, channel1);
}

void PairRegression::dropOldest() {
    if (pairs_.empty()) return;
    sums_.remove(pairs_.front().first, pairs_.front().second);
    pairs_.pop_front();
}

void PairRegression::clear() {
    pairs_.clear();
    sums_.clear();
}

void PairRegression::rebuild() {
    sums_.clear();
    for (const auto& [x, y] : pairs_) sums_.add(x, y);
}

}  // namespace qs
