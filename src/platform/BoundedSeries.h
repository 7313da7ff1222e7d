#pragma once
#include "platform/Chart.h"
#include "platform/MemorySeries.h"
#include "platform/RunningSum.h"

namespace qs {

// A series that holds only its newest points, for a logger that nobody
// watches: nothing draws it, and the statistics read back no more than the
// last points of a running mean, or for a mean over all points the sum kept
// as they arrive. Count() is every point the series has taken, so that the
// running mean's arithmetic is that of a full store; asking for a point it
// no longer holds raises std::out_of_range.
//
// With at least as many points held as the scroll window and the mean's
// window ask for, every mean is the full store's to the last bit: a mean of
// the last N adds the same held values, a mean over all reads the kept sum,
// and a point scrolled out of the front is one it holds. Points that arrive
// out of time order are placed among the held ones, and the kept sum then
// goes on adding in the order they came.
class BoundedSeries : public ISeries {
public:
    // How many of the newest points to hold, at least 1.
    void setHeld(int points);
    int held() const { return held_; }
    // How many points it holds now: never more than held().
    int pointsHeld() const { return points_.Count(); }

    void AddPoint(double x, double y) override;
    void Clear() override;
    int Count() const override { return count_; }
    void DeleteFirst() override;
    double XValue(int index) const override { return points_.XValue(heldIndex(index)); }
    double YValue(int index) const override { return points_.YValue(heldIndex(index)); }
    // Over the points held.
    double MaxY() const override { return points_.MaxY(); }
    double MinY() const override { return points_.MinY(); }
    double sumY(int first, int last) const override;

    void SetVisible(bool visible) override { points_.SetVisible(visible); }
    bool Visible() const override { return points_.Visible(); }
    void SetPenWidth(int pixels) override { points_.SetPenWidth(pixels); }
    int PenWidth() const override { return points_.PenWidth(); }

private:
    // Where the point of this index stands among those held.
    int heldIndex(int index) const;
    void dropBeyondHeld();

    MemorySeries points_;  // the newest min(count_, held_) points, in the full store's order
    int count_ = 0;
    int held_ = 1;
    mutable RunningSum sum_;  // of every point taken, oldest first
};

}  // namespace qs
