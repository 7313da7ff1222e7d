#include "qt/chart/ChartPlot.h"

#include <QFontMetrics>

#include "chart/AxisLabels.h"

namespace qs {

namespace {
// Layouts run at most this often in one go; the second one settles it.
constexpr int kMostLayoutPasses = 3;
}  // namespace

ChartPlot::ChartPlot()
    : timeTicker_(new DaysDateTimeTicker(xAxis)), lineLegend_(std::make_unique<ChartLegend>(*this)) {
    xAxis->setTicker(timeTicker_);
}

ChartPlot::~ChartPlot() = default;

// The time axis chooses its ticks while the plot lays itself out, before
// the margins and so its final width are known; when the axis ended up wider
// or narrower than the ticks were chosen for, the layout runs once more
// (that costs no drawing, and happens only when the axis' width changed).
void ChartPlot::updateLayout() {
    keepRoomForEndLabels();
    lineLegend_->fitInto(viewport().width());
    for (int pass = 0; pass < kMostLayoutPasses; ++pass) {
        QCustomPlot::updateLayout();
        if (timeTicker_->placedFor()) break;
    }
}

// Beside the axis rect there is always room for half a time label, so that
// the labels of ticks at the very ends of the axis fit as well.
void ChartPlot::keepRoomForEndLabels() {
    if (xAxis->tickLabelFont() == marginsFontFor_) return;
    marginsFontFor_ = xAxis->tickLabelFont();
    const QFontMetrics time(*marginsFontFor_);
    const QString widest = QString::fromStdString(FormatAxisDateTime(0.0));
    const int half = time.boundingRect(0, 0, 0, 0, Qt::TextDontClip, widest).width() / 2 + 2;
    // Above, half the top value label.
    const int top = QFontMetrics(yAxis->tickLabelFont()).height() / 2 + 2;
    axisRect()->setMinimumMargins(QMargins(half, top, half, 0));
}

}  // namespace qs
