#pragma once
#include <QSharedPointer>

#include <memory>
#include <optional>

#include <qcustomplot.h>

#include "qt/chart/ChartLegend.h"
#include "qt/chart/DaysDateTimeTicker.h"

namespace qs {

// The chart's QCustomPlot with its time axis and its legend row, laid out to
// fit whatever size it is drawn at: the window, a picture, a printed page.
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

    // members
    QSharedPointer<DaysDateTimeTicker> timeTicker_;
    std::unique_ptr<ChartLegend> lineLegend_;
    std::optional<QFont> marginsFontFor_;  // the time labels' font the margins were set for
};

}  // namespace qs
