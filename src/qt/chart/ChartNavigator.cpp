#include "qt/chart/ChartNavigator.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <utility>

#include "chart/ChartFollowing.h"

namespace qs {

namespace {
// A press that moves less than this is a click, not a drag.
constexpr int kDragThreshold = 4;
// The wheel's delta of one notch.
constexpr double kEighthsPerNotch = 120.0;
// How far the wheel zooms a time axis in days: in to a millisecond, out to
// a century.
constexpr double kLeastKeySpan = 1e-3 / 86400.0;
constexpr double kMostKeySpan = 36525.0;
// A value axis, relative to the magnitude of its values.
constexpr double kLeastRelativeValueSpan = 1e-12;
constexpr double kMostValueSpan = 1e300;

void zoomAround(QCPAxis* axis, double pixel, double notches, double least, double most) {
    const QCPRange r = axis->range();
    const AxisSpan z = WheelZoomed({r.lower, r.upper}, axis->pixelToCoord(pixel), notches, least, most);
    axis->setRange(z.lower, z.upper);
}
}  // namespace

ChartNavigator::ChartNavigator(QCustomPlot* plot, std::function<void()> onUserView, std::function<void()> onAutoView,
                               std::function<void(QPoint)> onMenu)
    : QObject(plot),
      plot_(plot),
      onUserView_(std::move(onUserView)),
      onAutoView_(std::move(onAutoView)),
      onMenu_(std::move(onMenu)),
      band_(new QRubberBand(QRubberBand::Rectangle, plot)) {
    plot_->installEventFilter(this);
}

bool ChartNavigator::eventFilter(QObject* watched, QEvent* event) {
    if (watched != plot_) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() == Qt::LeftButton) beginZoom(e->position().toPoint());
            else if (e->button() == Qt::RightButton) beginPan(e->position().toPoint());
            else return false;
            return true;
        }
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (zooming_) band_->setGeometry(QRect(origin_, e->position().toPoint()).normalized());
            else if (panning_) pan(e->position().toPoint());
            else return false;
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (zooming_ && e->button() == Qt::LeftButton) endZoom(e->position().toPoint());
            else if (panning_ && e->button() == Qt::RightButton) endPan(e->position().toPoint(), e->globalPosition().toPoint());
            else return false;
            return true;
        }
        case QEvent::Wheel: {
            wheel(*static_cast<QWheelEvent*>(event));
            return true;
        }
        case QEvent::ContextMenu: {
            // The right button's click is told apart from its drag on release;
            // only the keyboard's menu key opens the menu from here.
            auto* e = static_cast<QContextMenuEvent*>(event);
            if (e->reason() == QContextMenuEvent::Keyboard && onMenu_)
                onMenu_(plot_->mapToGlobal(plot_->rect().center()));
            return true;
        }
        default:
            return false;
    }
}

// The wheel zooms the time axis around the pointer; with Shift the value
// axes, each around the value under the pointer.
void ChartNavigator::wheel(const QWheelEvent& e) {
    // With Shift some platforms turn the vertical wheel into a horizontal one.
    const QPoint delta = e.angleDelta();
    const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / kEighthsPerNotch;
    if (notches == 0.0) return;
    const QPointF at = e.position();
    if (e.modifiers() & Qt::ShiftModifier) {
        for (QCPAxis* axis : {plot_->yAxis, plot_->yAxis2}) {
            const double magnitude = std::max(std::abs(axis->range().lower), std::abs(axis->range().upper));
            zoomAround(axis, at.y(), notches, std::max(magnitude * kLeastRelativeValueSpan, 1e-300), kMostValueSpan);
        }
    } else {
        zoomAround(plot_->xAxis, at.x(), notches, kLeastKeySpan, kMostKeySpan);
    }
    onUserView_();
}

void ChartNavigator::beginZoom(QPoint at) {
    zooming_ = true;
    origin_ = at;
    band_->setGeometry(QRect(at, QSize()));
    band_->show();
}

void ChartNavigator::endZoom(QPoint at) {
    zooming_ = false;
    band_->hide();
    const QPoint d = at - origin_;
    if (std::abs(d.x()) < kDragThreshold && std::abs(d.y()) < kDragThreshold) return;
    if (d.x() < 0 || d.y() < 0) {
        onAutoView_();
        return;
    }
    const QRect r = QRect(origin_, at).normalized().intersected(plot_->axisRect()->rect());
    if (r.width() < kDragThreshold || r.height() < kDragThreshold) return;
    plot_->xAxis->setRange(plot_->xAxis->pixelToCoord(r.left()), plot_->xAxis->pixelToCoord(r.right()));
    for (QCPAxis* axis : {plot_->yAxis, plot_->yAxis2})
        axis->setRange(axis->pixelToCoord(r.bottom()), axis->pixelToCoord(r.top()));
    onUserView_();
}

void ChartNavigator::beginPan(QPoint at) {
    panning_ = true;
    panMoved_ = false;
    origin_ = at;
    panKeys_ = plot_->xAxis->range();
    panLeft_ = plot_->yAxis->range();
    panRight_ = plot_->yAxis2->range();
}

void ChartNavigator::pan(QPoint at) {
    // A hand that shakes a little while clicking does not pan.
    const QPoint d = at - origin_;
    if (!panMoved_ && std::abs(d.x()) < kDragThreshold && std::abs(d.y()) < kDragThreshold) return;
    panMoved_ = true;
    // Shift each range by the distance the mouse moved, in that axis' units,
    // measured against the ranges at the press so that rounding never adds up.
    auto shifted = [](QCPAxis* axis, const QCPRange& start, double fromPixel, double toPixel) {
        axis->setRange(start);
        const double delta = axis->pixelToCoord(fromPixel) - axis->pixelToCoord(toPixel);
        axis->setRange(start.lower + delta, start.upper + delta);
    };
    shifted(plot_->xAxis, panKeys_, origin_.x(), at.x());
    shifted(plot_->yAxis, panLeft_, origin_.y(), at.y());
    shifted(plot_->yAxis2, panRight_, origin_.y(), at.y());
    onUserView_();
}

void ChartNavigator::endPan(QPoint at, QPoint globalAt) {
    pan(at);
    panning_ = false;
    if (!panMoved_ && onMenu_) onMenu_(globalAt);
}

}  // namespace qs
