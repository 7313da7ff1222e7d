#include "platform/MemorySeries.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace qs {

// The chart's store (QCustomPlot's data container) in every case, ties
// included: a point whose x is not below the newest one's goes to the end,
// after any of equal x; one below the oldest goes to the front; one between
// goes in front of the first point whose x is not below its own, so before
// the points of equal x there.
void MemorySeries::AddPoint(double x, double y) {
    if (points_.empty() || !(x < points_.back().x)) {
        points_.push_back({x, y});
        sum_.appended(y);
        return;
    }
    if (x < points_.front().x) {
        points_.push_front({x, y});
    } else {
        const auto at = std::lower_bound(points_.begin(), points_.end(), x,
                                         [](const Point& p, double key) { return p.x < key; });
        points_.insert(at, {x, y});
    }
    sum_.forget();
}

void MemorySeries::Clear() {
    points_.clear();
    sum_.cleared();
}

int MemorySeries::Count() const { return static_cast<int>(points_.size()); }

// The point with the smallest x (the first of equal ones), as on the chart.
void MemorySeries::DeleteFirst() {
    if (points_.empty()) return;
    points_.pop_front();
    sum_.forget();
}

double MemorySeries::XValue(int index) const { return points_.at(static_cast<std::size_t>(index)).x; }
double MemorySeries::YValue(int index) const { return points_.at(static_cast<std::size_t>(index)).y; }

double MemorySeries::sumY(int first, int last) const {
    if (first >= last) return 0.0;
    if (first < 0 || static_cast<std::size_t>(last) > points_.size())
        throw std::out_of_range("point range " + std::to_string(first) + " to " + std::to_string(last) + " out of range");
    auto add = [this, first, last] {
        double sum = 0.0;
        for (auto it = points_.begin() + first, end = points_.begin() + last; it != end; ++it) sum += it->y;
        return sum;
    };
    // Every point: the kept sum, which is the same number.
    if (first == 0 && static_cast<std::size_t>(last) == points_.size()) return sum_.total(add);
    return add();
}

double MemorySeries::MaxY() const {
    if (points_.empty()) return 0.0;
    return std::max_element(points_.begin(), points_.end(), [](auto a, auto b) { return a.y < b.y; })->y;
}

double MemorySeries::MinY() const {
    if (points_.empty()) return 0.0;
    return std::min_element(points_.begin(), points_.end(), [](auto a, auto b) { return a.y < b.y; })->y;
}

}  // namespace qs
