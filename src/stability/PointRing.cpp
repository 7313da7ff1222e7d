#include "stability/PointRing.h"

#include <algorithm>

namespace qs {

void PointRing::push(double time, double value) {
    const long long p = front_ + size_;
    if (p == static_cast<long long>(chunks_.size() - first_) * kChunkPoints) {
        // Not value-initialised: the arrays are written point by point.
        chunks_.push_back(std::unique_ptr<Chunk>(new Chunk));
        chunks_.back()->range = {value, value};
        chunks_.back()->stale = false;
    }
    Chunk& c = *chunks_.back();
    const int slot = static_cast<int>(p % kChunkPoints);
    c.t[slot] = time;
    c.y[slot] = value;
    c.range.minimum = std::min(c.range.minimum, value);
    c.range.maximum = std::max(c.range.maximum, value);
    ++size_;
}

void PointRing::pop() {
    if (size_ == 0) return;
    Chunk& c = *chunks_[first_];
    const double v = c.y[front_];
    if (v == c.range.minimum || v == c.range.maximum) c.stale = true;
    ++front_;
    --size_;
    if (size_ == 0) {
        clear();
        return;
    }
    if (front_ == kChunkPoints) {
        chunks_[first_++].reset();
        front_ = 0;
        if (first_ >= 64 && 2 * first_ >= chunks_.size()) {
            chunks_.erase(chunks_.begin(), chunks_.begin() + static_cast<std::ptrdiff_t>(first_));
            first_ = 0;
        }
    }
}

void PointRing::clear() {
    chunks_.clear();
    first_ = 0;
    front_ = 0;
    size_ = 0;
}

std::optional<ValueRange> PointRing::range() const {
    if (size_ == 0) return std::nullopt;
    // Only the first chunk ever loses points, so at most it is stale.
    Chunk& first = *chunks_[first_];
    if (first.stale) {
        const long long end = std::min<long long>(kChunkPoints, front_ + size_);
        first.range = {first.y[front_], first.y[front_]};
        for (long long s = front_; s < end; ++s) {
            first.range.minimum = std::min(first.range.minimum, first.y[s]);
            first.range.maximum = std::max(first.range.maximum, first.y[s]);
        }
        first.stale = false;
    }
    ValueRange r = first.range;
    for (std::size_t i = first_ + 1; i < chunks_.size(); ++i) {
        r.minimum = std::min(r.minimum, chunks_[i]->range.minimum);
        r.maximum = std::max(r.maximum, chunks_[i]->range.maximum);
    }
    return r;
}

}  // namespace qs
