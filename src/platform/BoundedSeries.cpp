#include "platform/BoundedSeries.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace qs {

void BoundedSeries::setHeld(int points) {
    held_ = std::max(points, 1);
    dropBeyondHeld();
}

void BoundedSeries::dropBeyondHeld() {
    if (static_cast<int>(points_.size()) <= held_) return;
    // Once a point goes, the kept sum is all that is left of it: it must be
    // known before (a forgotten sum is only ever left while all are held).
    sum_.total([this] {
        double sum = 0.0;
        for (const Point& p : points_) sum += p.y;
        return sum;
    });
    while (static_cast<int>(points_.size()) > held_) points_.pop_front();
}

void BoundedSeries::AddPoint(double x, double y) {
    ++count_;
    if (points_.empty() || !(x < points_.back().x)) {
        points_.push_back({x, y});
        sum_.appended(y);
    } else {
        // As the full store orders them, among the points still held.
        const auto at = std::lower_bound(points_.begin(), points_.end(), x,
                                         [](const Point& p, double key) { return p.x < key; });
        points_.insert(at, {x, y});
        // All points can be added up afresh only while all are held.
        if (count_ == static_cast<int>(points_.size())) sum_.forget();
        else sum_.appended(y);
    }
    dropBeyondHeld();
}

void BoundedSeries::Clear() {
    points_.clear();
    count_ = 0;
    sum_.cleared();
}

void BoundedSeries::DeleteFirst() {
    if (count_ == 0) return;
    if (count_ != static_cast<int>(points_.size()))
        throw std::out_of_range("the first point of a bounded series is no longer held");
    --count_;
    points_.pop_front();
    sum_.forget();
}

const BoundedSeries::Point& BoundedSeries::at(int index) const {
    const int first = count_ - static_cast<int>(points_.size());
    if (index < first || index >= count_)
        throw std::out_of_range("point " + std::to_string(index) + " of a bounded series is not held");
    return points_[static_cast<std::size_t>(index - first)];
}

double BoundedSeries::XValue(int index) const { return at(index).x; }
double BoundedSeries::YValue(int index) const { return at(index).y; }

double BoundedSeries::sumY(int first, int last) const {
    if (first >= last) return 0.0;
    auto add = [this, first, last] {
        double sum = 0.0;
        for (int i = first; i < last; ++i) sum += at(i).y;
        return sum;
    };
    if (first == 0 && last == count_) return sum_.total(add);
    return add();
}

double BoundedSeries::MaxY() const {
    if (points_.empty()) return 0.0;
    return std::max_element(points_.begin(), points_.end(), [](auto a, auto b) { return a.y < b.y; })->y;
}

double BoundedSeries::MinY() const {
    if (points_.empty()) return 0.0;
    return std::min_element(points_.begin(), points_.end(), [](auto a, auto b) { return a.y < b.y; })->y;
}

}  // namespace qs
