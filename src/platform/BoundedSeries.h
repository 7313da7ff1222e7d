#pragma once
#include <deque>

#include "platform/Chart.h"
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
    int pointsHeld() const { return static_cast<int>(points_.size()); }

    void AddPoint(double x, double y) override;
    void Clear() override;
    int Count() const override { return count_; }
    void DeleteFirst() override;
    double XValue(int index) const override;
    double YValue(int index) const override;
    // Over the points held.
    double MaxY() const override;
    double MinY() const override;
    double sumY(int first, int last) const override;

    void SetVisible(bool visible) override { visible_ = visible; }
    bool Visible() const override { return visible_; }
    void SetPenWidth(int pixels) override { penWidth_ = pixels; }
    int PenWidth() const override { return penWidth_; }

private:
    struct Point {
        double x, y;
    };
    const Point& at(int index) const;
    void dropBeyondHeld();

    std::deque<Point> points_;  // the newest min(count_, held_) points
    int count_ = 0;
    int held_ = 1;
    mutable RunningSum sum_;
    bool visible_ = true;
    int penWidth_ = 1;
};

}  // namespace qs
