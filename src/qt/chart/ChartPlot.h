#pragma once
#include <QSharedPointer>

#include <memory>
#include <optional>

#include <qcustomplot.h>

#include "qt/chart/ChartLegend.h"
#include "qt/chart/DaysDateTimeTicker.h"

namespace qs {

// The chart's QCustomPlot with its time axis and its legend row, laid out so
// that both fit whatever size it is drawn at: the window, a saved picture or
// a printed page.
//
// The time axis chooses its ticks while the plot lays itself out, before
// the margins and so its final width are known; when the axis ended up wider
// or narrower than the ticks were chosen for, the layout runs once more
// (that costs no drawing, and happens only when the axis' width changed).
// Beside the axis rect there is always room for half a time label, so that
// the labels of ticks at the very ends of the axis fit as well.
class ChartPlot : public QCustomPlot {
    Q_OBJECT
public:
    ChartPlot();
    ~ChartPlot() override;

    // getters
    DaysDateTimeTicker& timeTicker() const { return *timeTicker_; }
    ChartLegend& lineLegend() const { return *lineLegend_; }

protected:
    void updateLayout() override;

private:
    void keepRoomForEndLabels();

    QSharedPointer<DaysDateTimeTicker> timeTicker_;
    std::unique_ptr<ChartLegend> lineLegend_;
    std::optional<QFont> marginsFontFor_;  // the time labels' font the margins were set for
};

}  // namespace qs
