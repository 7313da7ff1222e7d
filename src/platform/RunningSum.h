#pragma once

namespace qs {

// The sum of all of a series' y values, added up from the oldest point, kept
// as points arrive so that a running mean over every point costs the same
// however many are held.
//
// Adding each appended y to the sum of the points before it performs the very
// additions, in the very order, that adding the points up one by one from
// index 0 performs, so the kept sum is that sum to the last bit. Anything else
// changes which additions that sum consists of: when points leave the front,
// or a point lands anywhere but after the newest, the kept sum is dropped and
// the next request adds the points up afresh, in one pass.
class RunningSum {
public:
    // A point was added after the newest one.
    void appended(double y) {
        if (known_) total_ += y;
    }
    // Points left the front, or one was inserted before the newest.
    void forget() { known_ = false; }
    // The series is empty.
    void cleared() {
        total_ = 0.0;
        known_ = true;
    }
    // The sum of all points; addAll adds them up from index 0 when the kept
    // sum was forgotten.
    template <class AddAll>
    double total(AddAll addAll) {
        if (!known_) {
            total_ = addAll();
            known_ = true;
        }
        return total_;
    }

private:
    double total_ = 0.0;
    bool known_ = true;
};

}  // namespace qs
