#pragma once
#include <QSharedPointer>

#include <qcustomplot.h>

#include "qt/chart/SeriesData.h"

namespace qs {

class DrawnLine;

// A line graph whose drawing costs in proportion to the pixels, not to the
// points, and covers what drawing every point covers; it breaks at gaps.
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
