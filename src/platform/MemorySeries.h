#pragma once
#include <deque>

#include "platform/Chart.h"
#include "platform/RunningSum.h"

namespace qs {

// A series kept in memory: the chart-less store used by tests and benches.
// It orders its points as the chart's store does (ascending x, ties as
// QCustomPlot places them), so that what the logic does with times out of
// order shows in the tests as it would on the chart.
class MemorySeries : public ISeries {
public:
    void AddPoint(double x, double y) override;
    void Clear() override;
    int Count() const override;
    void DeleteFirst() override;
    double XValue(int index) const override;
    double YValue(int index) const override;
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
    std::deque<Point> points_;
    // The sum of every y, for a running mean over all points (see sumY).
    mutable RunningSum sum_;
    bool visible_ = true;
    int penWidth_ = 1;
};

}  // namespace qs
