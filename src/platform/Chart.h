#pragma once
#include <string>

namespace qs {

// One line series of the chart: the store of past samples. Points are kept in
// ascending x, whatever the order they were added in (a point of an x that
// is already there goes after the equal ones at the newest end, before them
// elsewhere); index 0 has the smallest x, the oldest time.
class ISeries {
public:
    virtual ~ISeries() = default;

    // store
    virtual void AddPoint(double x, double y) = 0;
    // Room for this many points in all, ahead of a load that will add about
    // as many: a hint, which a store may take (and make the room once, not
    // grow into it by copying as the points arrive) or leave.
    virtual void Reserve(int points) { (void)points; }
    virtual void Clear() = 0;
    virtual int Count() const = 0;
    virtual void DeleteFirst() = 0;
    virtual double XValue(int index) const = 0;
    virtual double YValue(int index) const = 0;
    // Largest and smallest y; 0 for an empty series.
    virtual double MaxY() const = 0;
    virtual double MinY() const = 0;
    // The y values of the points first to last - 1 added up from the lowest
    // index, in double precision. A store overrides it to walk its points
    // without a call per point, and to answer for all of its points from a
    // sum kept as they arrive (RunningSum): a running mean over every point
    // of a long series asks for that at each sample.
    virtual double sumY(int first, int last) const {
        double sum = 0.0;
        for (int i = first; i < last; ++i) sum += YValue(i);
        return sum;
    }

    // display
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
    virtual void SetPenWidth(int pixels) = 0;
    virtual int PenWidth() const = 0;
};

// The chart with its six series, its paging and its printer.
class IChart {
public:
    virtual ~IChart() = default;
    // n from 1 to 6.
    virtual ISeries& Series(int n) = 0;
    // Repaint after a batch of changes; a back end may coalesce repaints.
    virtual void Redraw() = 0;

    // paging: 0 points per page means no paging (all points in one view)
    virtual int GetPointsPerPage() const = 0;
    virtual void SetPointsPerPage(int points) = 0;
    virtual void SetPage(int page) = 0;  // from 1
    virtual int PageCount() const = 0;
    // Prints the chart as it now shows, landscape, on the default printer.
    virtual void PrintLandscape() = 0;
    // The default printer's name; empty when there is none (the pages go to
    // a file) or the chart cannot tell.
    virtual std::string PrinterName() const { return {}; }
};

}  // namespace qs
