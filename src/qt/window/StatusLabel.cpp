#include "qt/window/StatusLabel.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace qs {

namespace {
// What a squeezed text keeps at least: a few characters and the "...".
constexpr int kShortestCharacters = 8;
}  // namespace

StatusLabel::StatusLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

QSize StatusLabel::minimumSizeHint() const {
    const QSize whole = QLabel::minimumSizeHint();
    const int shortest = fontMetrics().averageCharWidth() * kShortestCharacters;
    return {std::min(whole.width(), shortest), whole.height()};
}

void StatusLabel::paintEvent(QPaintEvent* event) {
    const QRect room = contentsRect();
    if (fontMetrics().horizontalAdvance(text()) <= room.width()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
    style()->drawItemText(&painter, room, static_cast<int>(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

}  // namespace qs
