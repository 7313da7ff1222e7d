#include "platform/BoundedSeries.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace qs {

// Nothing draws the series, and the statistics read back no more than the
// last points of a running mean, or for a mean over all points the sum kept
// as they arrive. Count() counts every point taken, so that the running
// mean's arithmetic is that of a full store.
//
// With at least as many points held as the scroll window and the mean's
// window ask for, every mean is the full store's to the last bit: a mean of
// the last N adds the same held values, a mean over all reads the kept sum,
// and a point scrolled out of the front is one it holds. Points that arrive
// out of time order are placed among the held ones, and the kept sum then
// goes on adding in the order they came.
void BoundedSeries::setHeld(int points) {
    held_ = std::max(points, 1);
    dropBeyondHeld();
}

void BoundedSeries::dropBeyondHeld() {
    if (points_.Count() <= held_) return;
    // Once a point goes, the kept sum is all that is left of it: it must be
    // known before (a forgotten sum is only ever left while all are held).
    sum_.total([this] { return points_.sumY(0, points_.Count()); });
    while (points_.Count() > held_) points_.DeleteFirst();
}

void BoundedSeries::AddPoint(double x, double y) {
    const bool newest = points_.Count() == 0 || !(x < points_.XValue(points_.Count() - 1));
    ++count_;
    points_.AddPoint(x, y);
    // A point placed among the others changes the order of the additions;
    // they can be made afresh only while every point is held.
    if (!newest && count_ == points_.Count()) sum_.forget();
    else sum_.appended(y);
    dropBeyondHeld();
}

void BoundedSeries::Clear() {
    points_.Clear();
    count_ = 0;
    sum_.cleared();
}

void BoundedSeries::DeleteFirst() {
    if (count_ == 0) return;
    if (count_ != points_.Count()) throw std::out_of_range("the first point of a bounded series is no longer held");
    --count_;
    points_.DeleteFirst();
    sum_.forget();
}

int BoundedSeries::heldIndex(int index) const {
    const int first = count_ - points_.Count();
    if (index < first || index >= count_)
        throw std::out_of_range("point " + std::to_string(index) + " of a bounded series is not held");
    return index - first;
}

double BoundedSeries::sumY(int first, int last) const {
    if (first >= last) return 0.0;
    auto add = [this, first, last] { return points_.sumY(heldIndex(first), heldIndex(last - 1) + 1); };
    if (first == 0 && last == count_) return sum_.total(add);
    return add();
}

}  // namespace qs
