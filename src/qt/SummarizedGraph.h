#pragma once
#include <QSharedPointer>

#include <qcustomplot.h>

#include "qt/SeriesData.h"

namespace qs {

// A line graph whose drawing costs in proportion to the pixels, not to the
// points: where a pixel column covers many points, the column is drawn from
// its first point, the smallest and largest value among its points (from the
// container's level-of-detail summary) and its last point. Every point's line
// stays within its column, so this covers the pixels that drawing every point
// covers: the same extremes in each column, the same lines from one column to
// the next, the same first and last point at the edges.
//
// Where the points average fewer than two per pixel column (a view zoomed
// into a few hundred points) every point is drawn. Everything else (pens,
// visibility, line style, printing) is the plain QCPGraph's.
class SummarizedGraph : public QCPGraph {
    Q_OBJECT
public:
    // The plot takes ownership, as with QCustomPlot::addGraph.
    SummarizedGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, QSharedPointer<SeriesData> data);

protected:
    void getOptimizedLineData(QVector<QCPGraphData>* lineData, const QCPGraphDataContainer::const_iterator& begin,
                              const QCPGraphDataContainer::const_iterator& end) const override;

private:
    // The end of the unbroken line that starts at point first, at most last.
    int runEnd(int first, int last) const;
    void appendRun(QVector<QCPGraphData>& lineData, int first, int last) const;
    void appendColumn(QVector<QCPGraphData>& lineData, int first, int last) const;
    void appendPoints(QVector<QCPGraphData>& lineData, int first, int last) const;
    // The first point from from + 1 on whose key is not below key (last if
    // none), searched from from + guess outwards.
    int firstAtOrAfter(int from, int last, double key, int guess) const;

    // members
    QSharedPointer<SeriesData> points_;
};

}  // namespace qs
