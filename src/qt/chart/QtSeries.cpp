#include "qt/chart/QtSeries.h"

#include <qcustomplot.h>

#include "qt/chart/SummarizedGraph.h"

#include <cmath>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

namespace qs {

QtSeries::QtSeries(QCPAxis* keyAxis, QCPAxis* valueAxis, std::function<void()> changed)
    : data_(new SeriesData), graph_(new SummarizedGraph(keyAxis, valueAxis, data_)), changed_(std::move(changed)) {}

void QtSeries::AddPoint(double x, double y) {
    if (data_->addPoint(x, y)) sum_.appended(y);
    else sum_.forget();
    if (rangeKnown_) widenRange(y);
    // One request per repaint is enough: a load adds millions of points.
    if (!additionReported_) {
        additionReported_ = true;
        changed_();
    }
}

void QtSeries::Clear() {
    data_->clearPoints();
    sum_.cleared();
    rangeKnown_ = true;
    haveRange_ = false;
    changed_();
}

void QtSeries::Reserve(int points) {
    // A hint: without the room the points grow into it as they come.
    try {
        data_->reserveRoom(points);
    } catch (const std::bad_alloc&) {
    }
}

int QtSeries::Count() const { return data_->size(); }

void QtSeries::DeleteFirst() {
    if (data_->isEmpty()) return;
    const double y = data_->constBegin()->value;
    data_->dropFirst();
    sum_.forget();
    if (data_->isEmpty()) {
        rangeKnown_ = true;
        haveRange_ = false;
    } else if (rangeKnown_ && haveRange_ && (y == min_ || y == max_)) {
        rangeKnown_ = false;
    }
    changed_();
}

void QtSeries::checkIndex(int index) const {
    if (index < 0 || index >= data_->size())
        throw std::out_of_range("point index " + std::to_string(index) + " out of range");
}

double QtSeries::XValue(int index) const {
    checkIndex(index);
    return data_->at(index)->key;
}

double QtSeries::YValue(int index) const {
    checkIndex(index);
    return data_->at(index)->value;
}

double QtSeries::sumY(int first, int last) const {
    if (first >= last) return 0.0;
    checkIndex(first);
    checkIndex(last - 1);
    auto add = [this, first, last] {
        double sum = 0.0;
        for (auto it = data_->constBegin() + first, end = data_->constBegin() + last; it != end; ++it) sum += it->value;
        return sum;
    };
    // Every point: the kept sum, which is the same number.
    if (first == 0 && last == data_->size()) return sum_.total(add);
    return add();
}

// The smallest and largest y are kept as points arrive, and only searched
// again after the point that held one of them has been dropped, so the chart
// can scale its axes at every frame without walking a million points. The sum
// of all y is kept the same way, for a running mean over every point.
void QtSeries::rescan() const {
    haveRange_ = false;
    for (auto it = data_->constBegin(); it != data_->constEnd(); ++it) widenRange(it->value);
    rangeKnown_ = true;
}

bool QtSeries::valueRange(double& lower, double& upper) const {
    if (!rangeKnown_) rescan();
    if (!haveRange_) return false;
    lower = min_;
    upper = max_;
    return true;
}

bool QtSeries::valueRangeIn(const QCPRange& keys, double& lower, double& upper) const {
    bool found = false;
    const QCPRange range = data_->valueRange(found, QCP::sdBoth, keys);
    if (!found) return false;
    lower = range.lower;
    upper = range.upper;
    return true;
}

double QtSeries::MaxY() const {
    double lower = 0.0, upper = 0.0;
    return valueRange(lower, upper) ? upper : 0.0;
}

double QtSeries::MinY() const {
    double lower = 0.0, upper = 0.0;
    return valueRange(lower, upper) ? lower : 0.0;
}

void QtSeries::SetVisible(bool visible) {
    graph_->setVisible(visible);
    changed_();
}

bool QtSeries::Visible() const { return graph_->visible(); }

void QtSeries::SetPenWidth(int pixels) {
    QPen pen = graph_->pen();
    pen.setWidth(pixels);
    graph_->setPen(pen);
    changed_();
}

int QtSeries::PenWidth() const { return graph_->pen().width(); }

QCPGraph* QtSeries::graph() const { return graph_; }

void QtSeries::setGapWidth(double days) { graph_->setGapWidth(days); }

}  // namespace qs
