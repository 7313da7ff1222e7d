#pragma once
#include <QSharedPointer>

#include <cmath>
#include <functional>

#include "platform/Chart.h"
#include "platform/RunningSum.h"
#include "qt/chart/SeriesData.h"

class QCPGraph;
class QCPRange;
class QCPAxis;

namespace qs {

class SummarizedGraph;

// One line series stored in its graph: the graph's data container is the
// only copy of the points. Points stay in ascending x (a point of an x that is
// already there goes after its equals at the newest end, before them
// elsewhere); appending in order and dropping the oldest are constant time.
class QtSeries : public ISeries {
public:
    // Creates the series' graph on the given axes of their plot, which owns
    // it. changed runs after every change of the points or the look (the
    // chart coalesces the repaints); for added points, only after the first
    // one since the chart last repainted.
    QtSeries(QCPAxis* keyAxis, QCPAxis* valueAxis, std::function<void()> changed);

    // store
    void AddPoint(double x, double y) override;
    void Clear() override;
    void Reserve(int points) override;
    int Count() const override;
    void DeleteFirst() override;
    double XValue(int index) const override;
    double YValue(int index) const override;
    double MaxY() const override;
    double MinY() const override;
    double sumY(int first, int last) const override;

    // display
    void SetVisible(bool visible) override;
    bool Visible() const override;
    void SetPenWidth(int pixels) override;
    int PenWidth() const override;

    // for the chart
    // Smallest and largest y (NaN ignored); false when there is none.
    bool valueRange(double& lower, double& upper) const;
    // The same over the points whose x lies within keys (a page of the chart).
    bool valueRangeIn(const QCPRange& keys, double& lower, double& upper) const;
    QCPGraph* graph() const;
    // Neighbouring points further apart than this many days are drawn
    // unjoined; 0 joins them all.
    void setGapWidth(double days);
    // The chart has repainted: the next point added asks for a repaint again.
    void changesShown() { additionReported_ = false; }
    const SeriesData& data() const { return *data_; }

private:
    void checkIndex(int index) const;
    void rescan() const;
    // Takes y into min_/max_; NaN takes no part. Inline: a load adds tens of
    // millions of points.
    void widenRange(double y) const {
        if (std::isnan(y)) return;
        if (!haveRange_) {
            min_ = max_ = y;
            haveRange_ = true;
            return;
        }
        if (y < min_) min_ = y;
        if (y > max_) max_ = y;
    }

    // members
    QSharedPointer<SeriesData> data_;
    SummarizedGraph* graph_;
    std::function<void()> changed_;
    mutable RunningSum sum_;
    bool additionReported_ = false;  // a point was added since the last repaint, and said so
    mutable bool rangeKnown_ = true;  // min_/max_ hold the extremes of the points
    mutable bool haveRange_ = false;  // at least one point with a y that is a number
    mutable double min_ = 0.0;
    mutable double max_ = 0.0;
};

}  // namespace qs
