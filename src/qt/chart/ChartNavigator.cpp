#include "qt/chart/ChartNavigator.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QRubberBand>

#include <cstdlib>

#include <utility>

namespace qs {

namespace {
// A press that moves less than this is a click, not a drag.
constexpr int kDragThreshold = 4;
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
