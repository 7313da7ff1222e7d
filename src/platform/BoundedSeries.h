#pragma once
#include "platform/Chart.h"
#include "platform/MemorySeries.h"
#include "platform/RunningSum.h"

namespace qs {

// A series that holds only its newest points, for a logger that nobody
// watches. Count() is every point it has taken; asking for a point it no
// longer holds raises std::out_of_range.
class BoundedSeries : public ISeries {
public:
    // Besides the newest held() points, every point this close in x to the
    // newest one is held, so that a point of a clock set back by up to this
    // much takes its place among them as in a full store: an hour, in the
    // days of the time axis.
    static constexpr double kReorderSpan = 1.0 / 24.0;

    // How many of the newest points to hold at least, at least 1.
    void setHeld(int points);
    int held() const { return held_; }
    // How many points it holds now: held() or more, while it has taken them.
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
    double sumOfAll() const;

    // members
    MemorySeries points_;  // the newest points, in the full store's order
    int count_ = 0;
    int held_ = 1;
    double dropped_ = 0.0;         // the points no longer held, added up from the oldest
    double newestDroppedX_ = 0.0;  // meaningful while count_ > points_.Count()
    mutable RunningSum sum_;       // of every point taken, oldest first
};

}  // namespace qs
