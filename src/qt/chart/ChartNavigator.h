#pragma once
#include <QObject>
#include <QPoint>

#include <functional>

#include <qcustomplot.h>

class QRubberBand;
class QWheelEvent;

namespace qs {

// The chart's mouse, as its hint tells the user: a left drag from upper-left
// to lower-right zooms into the dragged rectangle, a left drag the other way
// zooms back out to all points, a right drag pans. A right click that does
// not move (or the menu key) opens the chart menu. The wheel zooms the time
// axis around the pointer, with Shift the value axes.
class ChartNavigator : public QObject {
    Q_OBJECT
public:
    // onUserView runs when the user has set the visible ranges himself,
    // onAutoView when he asked for the whole data again, onMenu with the
    // screen position where the chart menu is to open.
    ChartNavigator(QCustomPlot* plot, std::function<void()> onUserView, std::function<void()> onAutoView,
                   std::function<void(QPoint)> onMenu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wheel(const QWheelEvent& event);
    void beginZoom(QPoint at);
    void endZoom(QPoint at);
    void beginPan(QPoint at);
    void pan(QPoint at);
    void endPan(QPoint at, QPoint globalAt);

    // members
    QCustomPlot* plot_;
    std::function<void()> onUserView_;
    std::function<void()> onAutoView_;
    std::function<void(QPoint)> onMenu_;
    QRubberBand* band_;
    QPoint origin_;
    bool zooming_ = false;
    bool panning_ = false;
    bool panMoved_ = false;  // the right button moved past a click since its press
    QCPRange panKeys_, panLeft_, panRight_;
};

}  // namespace qs
