#include "platform/MemorySeries.h"

#include <algorithm>

namespace qs {

void MemorySeries::AddPoint(double x, double y) { points_.push_back({x, y}); }
void MemorySeries::Clear() { points_.clear(); }
int MemorySeries::Count() const { return static_cast<int>(points_.size()); }

void MemorySeries::DeleteFirst() {
    if (!points_.empty()) points_.pop_front();
}

double MemorySeries::XValue(int index) const { return points_.at(static_cast<std::size_t>(index)).x; }
double MemorySeries::YValue(int index) const { return points_.at(static_cast<std::size_t>(index)).y; }

double MemorySeries::MaxY() const {
    if (points_.empty()) return 0.0;
    return std::max_element(points_.begin(), points_.end(), [](auto a, auto b) { return a.y < b.y; })->y;
}

double MemorySeries::MinY() const {
    if (points_.empty()) return 0.0;
    return std::min_element(points_.begin(), points_.end(), [](auto a, auto b) { return a.y < b.y; })->y;
}

}  // namespace qs
