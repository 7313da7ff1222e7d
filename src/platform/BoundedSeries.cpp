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
// and a point scrolled out of the front is one it holds.
//
// A point that arrives out of time order (the clock was set back) goes where
// the full store puts it. Points leave the front in whole runs of equal x,
// so one of an x above the newest dropped one goes among the held points at
// the full store's place; the sum of all is then made afresh as the full
// store makes it, the dropped points' sum (their additions from the oldest,
// in order) followed by the held ones. Only a point of a clock set back by
// more than kReorderSpan, below every point held, is counted among the
// dropped ones and added to their sum out of turn.
void BoundedSeries::setHeld(int points) {
    held_ = std::max(points, 1);
    dropBeyondHeld();
}

void BoundedSeries::dropBeyondHeld() {
    const int held = points_.Count();
    if (held <= held_) return;
    const double keepFrom = points_.XValue(held - 1) - kReorderSpan;
    // Each point that goes is added to the dropped ones' sum: the kept sum of
    // all is made from it whenever it was forgotten.
    while (points_.Count() > held_ && points_.XValue(0) < keepFrom) {
        const double x = points_.XValue(0);
        int run = 1;
        while (run < points_.Count() && points_.XValue(run) == x) ++run;
        if (points_.Count() - run < held_) break;
        for (int i = 0; i < run; ++i) {
            dropped_ += points_.YValue(0);
            points_.DeleteFirst();
        }
        newestDroppedX_ = x;
    }
}

void BoundedSeries::AddPoint(double x, double y) {
    const int held = points_.Count();
    const bool newest = held == 0 || !(x < points_.XValue(held - 1));
    ++count_;
    if (count_ - 1 > held && !(x > newestDroppedX_)) {
        // Its place is among the points no longer held.
        dropped_ += y;
        sum_.forget();
        return;
    }
    points_.AddPoint(x, y);
    if (newest) sum_.appended(y);
    else sum_.forget();
    dropBeyondHeld();
}

void BoundedSeries::Clear() {
    points_.Clear();
    count_ = 0;
    dropped_ = 0.0;
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

double BoundedSeries::sumOfAll() const {
    double sum = dropped_;
    for (int i = 0, n = points_.Count(); i < n; ++i) sum += points_.YValue(i);
    return sum;
}

double BoundedSeries::sumY(int first, int last) const {
    if (first >= last) return 0.0;
    if (first == 0 && last == count_) {
        // Bounds checked as for any other range.
        heldIndex(last - 1);
        return sum_.total([this] { return sumOfAll(); });
    }
    return points_.sumY(heldIndex(first), heldIndex(last - 1) + 1);
}

}  // namespace qs
