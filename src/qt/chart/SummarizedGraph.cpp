#include "qt/chart/SummarizedGraph.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace qs {

namespace {
// A column of at most this many points is drawn point by point: its summary
// would take as many points to draw.
constexpr int kPointsDrawnAsTheyAre = 4;
// Half the length, in pixels, of the dash that shows a point with a gap on
// both sides.
constexpr double kDashHalfPixels = 1.5;
}  // namespace

// The points of the drawn line, in order, with its breaks: a point without a
// value between two runs makes QCustomPlot stop the line there. A run of a
// single point would draw nothing; it becomes a short horizontal dash.
class DrawnLine {
public:
    DrawnLine(QVector<QCPGraphData>& points, double dashHalfWidth) : points_(points), dash_(dashHalfWidth) {}

    void add(const QCPGraphData& p) { points_.append(p); }
    void breakAfter(double key) {
        closeRun();
        points_.append(QCPGraphData(key, qQNaN()));
        runStart_ = points_.size();
    }
    void finish() {
        if (runStart_ > 0) closeRun();
    }
    QVector<QCPGraphData>& points() { return points_; }

private:
    void closeRun() {
        if (points_.size() - runStart_ != 1) return;
        QCPGraphData& p = points_.last();
        const QCPGraphData right(p.key + dash_, p.value);
        p.key -= dash_;
        points_.append(right);
    }

    QVector<QCPGraphData>& points_;
    double dash_;
    qsizetype runStart_ = 0;
};

SummarizedGraph::SummarizedGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, QSharedPointer<SeriesData> data)
    : QCPGraph(keyAxis, valueAxis), points_(std::move(data)) {
    setData(points_.staticCast<QCPGraphDataContainer>());
}

// Where a pixel column covers many points, the column is drawn from its
// first point, the smallest and largest value among its points (from the
// container's level-of-detail summary) and its last point. Every point's line
// stays within its column, so this covers the pixels that drawing every point
// covers: the same extremes in each column, the same lines from one column to
// the next, the same first and last point at the edges.
//
// Where the points average fewer than two per pixel column (a view zoomed
// into a few hundred points) every point is drawn. Everything else (pens,
// visibility, line style, printing) is the plain QCPGraph's.
void SummarizedGraph::getOptimizedLineData(QVector<QCPGraphData>* lineData,
                                           const QCPGraphDataContainer::const_iterator& begin,
                                           const QCPGraphDataContainer::const_iterator& end) const {
    const QCPAxis* keyAxis = mKeyAxis.data();
    // Pixel columns are walked along the chart's kind of key axis: horizontal,
    // linear, left to right. Anything else is QCPGraph's own business.
    if (!lineData || !keyAxis || !mAdaptiveSampling || mDataContainer.data() != points_.data() ||
        keyAxis->orientation() != Qt::Horizontal || keyAxis->scaleType() != QCPAxis::stLinear ||
        keyAxis->rangeReversed()) {
        QCPGraph::getOptimizedLineData(lineData, begin, end);
        return;
    }
    lineData->clear();
    const int first = static_cast<int>(begin - points_->constBegin());
    const int last = static_cast<int>(end - points_->constBegin());
    const int columns = std::max(1, keyAxis->axisRect()->width());
    DrawnLine line(*lineData, keyAxis->range().size() / columns * kDashHalfPixels);
    // Fewer than two points a column on average: each point is drawn.
    if (last - first <= 2 * columns + 2) appendPoints(line, first, last);
    else appendColumns(line, first, last, columns);
    line.finish();
}

// Gaps: two neighbouring points further apart in time than the gap width are
// not joined; the line breaks between them (a pause in logging, a lost link,
// two logging runs in one file). Only gaps between pixel columns can be seen,
// so in a view of many points a column a gap inside one column is drawn as
// the column's stroke. A point with a gap on both sides is drawn as a short
// dash, so that it does not vanish.
bool SummarizedGraph::breaksBefore(int i) const {
    if (gapWidth_ <= 0.0) return false;
    const QCPGraphDataContainer::const_iterator points = points_->constBegin();
    return points[i].key - points[i - 1].key > gapWidth_;
}

void SummarizedGraph::appendColumns(DrawnLine& line, int first, int last, int columns) const {
    const QCPAxis* keyAxis = mKeyAxis.data();
    const QCPGraphDataContainer::const_iterator points = points_->constBegin();
    line.points().reserve(line.points().size() + 4 * (columns + 2));
    int perColumn = (last - first) / columns;
    for (int i = first; i < last;) {
        // The points from i on that fall into the same pixel column.
        const double column = std::floor(keyAxis->coordToPixel(points[i].key));
        const int next = firstAtOrAfter(i, last, keyAxis->pixelToCoord(column + 1.0), perColumn);
        if (i > first && breaksBefore(i)) line.breakAfter(points[i - 1].key);
        appendColumn(line, i, next);
        perColumn = next - i;
        i = next;
    }
}

// Points logged at a steady rate fill each column about as full as the one
// before, so the search starts there and widens step by step: it reads
// memory next to where it lands instead of halving its way across millions
// of points, each step a miss in the processor's caches.
int SummarizedGraph::firstAtOrAfter(int from, int last, double key, int guess) const {
    const QCPGraphDataContainer::const_iterator points = points_->constBegin();
    const auto below = [&](int i) { return i < last && points[i].key < key; };
    const int start = std::clamp(from + guess, from + 1, last);
    // The answer lies in [low, high].
    int low = from + 1, high = last;
    if (below(start)) {
        low = start + 1;
        for (int step = 1;; step *= 2) {
            const int i = start + step;
            if (i >= last) break;
            if (!below(i)) {
                high = i;
                break;
            }
            low = i + 1;
        }
    } else {
        high = start;
        for (int step = 1;; step *= 2) {
            const int i = start - step;
            if (i <= from) break;
            if (below(i)) {
                low = i + 1;
                break;
            }
            high = i;
        }
    }
    const auto keyBelow = [](const QCPGraphData& point, double k) { return point.key < k; };
    return static_cast<int>(std::lower_bound(points + low, points + high, key, keyBelow) - points);
}

void SummarizedGraph::appendColumn(DrawnLine& line, int first, int last) const {
    const QCPGraphDataContainer::const_iterator points = points_->constBegin();
    if (last - first > kPointsDrawnAsTheyAre) {
        const ValueExtremes e = points_->extremes(first, last);
        // A value that is not a number breaks the line where it stands: such
        // a column is drawn point by point.
        if (!e.nan) {
            const QCPGraphData& a = points[first];
            const QCPGraphData& z = points[last - 1];
            // Within the column, from the first point over both extremes to
            // the last: the smallest first where the column rises, the
            // largest where it falls.
            const double third = (z.key - a.key) / 3.0;
            const bool rising = a.value <= z.value;
            line.add(a);
            line.add(QCPGraphData(a.key + third, rising ? e.min : e.max));
            line.add(QCPGraphData(z.key - third, rising ? e.max : e.min));
            line.add(z);
            return;
        }
    }
    for (int i = first; i < last; ++i) line.add(points[i]);
}

void SummarizedGraph::appendPoints(DrawnLine& line, int first, int last) const {
    const QCPGraphDataContainer::const_iterator points = points_->constBegin();
    for (int i = first; i < last; ++i) {
        if (i > first && breaksBefore(i)) line.breakAfter(points[i - 1].key);
        line.add(points[i]);
    }
}

}  // namespace qs
