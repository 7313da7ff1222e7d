#include "stability/SampleSpacing.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/LargeArrays.h"

namespace qs {

namespace {

// Beyond any time span a double of seconds holds to the millisecond.
constexpr double kLargestKey = 9e18;

double keySeconds(long long key) { return static_cast<double>(key) / 1000.0; }

}  // namespace

long long SpacingKey(double seconds) {
    const double ms = std::round(seconds * 1000.0);
    if (!(ms < kLargestKey)) return static_cast<long long>(kLargestKey);
    if (!(ms > -kLargestKey)) return static_cast<long long>(-kLargestKey);
    return static_cast<long long>(ms);
}

std::optional<double> Tau0(std::optional<double> medianSpacing, double first, double last, long long n) {
    if (medianSpacing && *medianSpacing > 0.0) return medianSpacing;
    if (n < 2) return std::nullopt;
    const double mean = (last - first) / static_cast<double>(n - 1);
    if (std::isfinite(mean) && mean > 0.0) return mean;
    return std::nullopt;
}

std::optional<double> MedianSpacing(std::span<const double> seconds) {
    if (seconds.size() < 2) return std::nullopt;
    std::vector<long long> keys = LargeVector<long long>(seconds.size() - 1);
    for (std::size_t i = 0; i + 1 < seconds.size(); ++i) keys[i] = SpacingKey(seconds[i + 1] - seconds[i]);
    const std::size_t half = keys.size() / 2;
    std::nth_element(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(half), keys.end());
    const long long upper = keys[half];
    if (keys.size() % 2 == 1) return keySeconds(upper);
    const long long lower = *std::max_element(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(half));
    return (keySeconds(lower) + keySeconds(upper)) / 2.0;
}

void SpacingCounts::add(double spacing) {
    ++counts_[SpacingKey(spacing)];
    ++n_;
}

void SpacingCounts::remove(double spacing) {
    const auto it = counts_.find(SpacingKey(spacing));
    if (it == counts_.end()) return;
    if (--it->second == 0) counts_.erase(it);
    --n_;
}

void SpacingCounts::clear() {
    counts_.clear();
    n_ = 0;
}

std::optional<double> SpacingCounts::median() const {
    if (n_ == 0) return std::nullopt;
    // The middle one (odd count), or the two middle ones (even count):
    // ranks (n - 1) / 2 and n / 2 from 0.
    const long long lowRank = (n_ - 1) / 2, highRank = n_ / 2;
    std::optional<long long> low, high;
    long long seen = 0;
    for (const auto& [key, count] : counts_) {
        seen += count;
        if (!low && seen > lowRank) low = key;
        if (seen > highRank) {
            high = key;
            break;
        }
    }
    return (keySeconds(*low) + keySeconds(*high)) / 2.0;
}

}  // namespace qs
