#pragma once
#include <QSharedPointer>

#include <qcustomplot.h>

#include "qt/chart/SeriesData.h"

namespace qs {

class DrawnLine;

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
//
// Gaps: two neighbouring points further apart in time than the gap width are
// not joined; the line breaks between them (a pause in logging, a lost link,
// two logging runs in one file). Only gaps between pixel columns can be seen,
// so in a view of many points a column a gap inside one column is drawn as
// the column's stroke. A point with a gap on both sides is drawn as a short
// dash, so that it does not vanish.
class SummarizedGraph : public QCPGraph {
    Q_OBJECT
public:
    // The plot takes ownership, as with QCustomPlot::addGraph.
    SummarizedGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, QSharedPointer<SeriesData> data);

    // setters
    // Largest distance in keys (days) that is still drawn as a line; 0 or
    // less joins every point.
    void setGapWidth(double keys) { gapWidth_ = keys; }

    // getters
    double gapWidth() const { return gapWidth_; }

protected:
    void getOptimizedLineData(QVector<QCPGraphData>* lineData, const QCPGraphDataContainer::const_iterator& begin,
                              const QCPGraphDataContainer::const_iterator& end) const override;

private:
    // Whether the line breaks between point i - 1 and point i.
    bool breaksBefore(int i) const;
    void appendColumns(DrawnLine& line, int first, int last, int columns) const;
    void appendColumn(DrawnLine& line, int first, int last) const;
    void appendPoints(DrawnLine& line, int first, int last) const;
    // The first point from from + 1 on whose key is not below key (last if
    // none), searched from from + guess outwards.
    int firstAtOrAfter(int from, int last, double key, int guess) const;

    // members
    QSharedPointer<SeriesData> points_;
    double gapWidth_ = 0.0;
};

}  // namespace qs
