#include "qt/window/ReadoutColumns.h"

#include <QGridLayout>
#include <QResizeEvent>

#include <algorithm>

namespace qs {

namespace {
constexpr int kSpacing = 8;

int smallestWidth(const QWidget* w) {
    return w == nullptr ? 0 : w->minimumSizeHint().expandedTo(w->minimumSize()).width();
}
}  // namespace

ReadoutColumns::ReadoutColumns(int linesPerGroup, QWidget* parent)
    : QWidget(parent), grid_(new QGridLayout(this)), linesPerGroup_(std::max(1, linesPerGroup)) {
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(kSpacing);
    grid_->setVerticalSpacing(2);
}

void ReadoutColumns::addLine(QWidget* label, QWidget* values) {
    lines_.push_back({label, values});
    place(groups());
}

int ReadoutColumns::groups() const {
    return static_cast<int>((lines_.size() + static_cast<std::size_t>(linesPerGroup_) - 1) /
                            static_cast<std::size_t>(linesPerGroup_));
}

// Each column: its widest label and its widest values, the grid's spacing
// between every two grid columns.
int ReadoutColumns::widthFor(int columns) const {
    const int groupsPerColumn = (groups() + columns - 1) / std::max(1, columns);
    const std::size_t rows = static_cast<std::size_t>(std::max(1, groupsPerColumn * linesPerGroup_));
    int width = 0;
    for (std::size_t first = 0; first < lines_.size(); first += rows) {
        int label = 0, values = 0;
        for (std::size_t i = first; i < std::min(lines_.size(), first + rows); ++i) {
            label = std::max(label, smallestWidth(lines_[i].label));
            values = std::max(values, smallestWidth(lines_[i].values));
        }
        width += (width > 0 ? kSpacing : 0) + label + kSpacing + values;
    }
    const QMargins m = contentsMargins();
    return width + m.left() + m.right();
}

QSize ReadoutColumns::minimumSizeHint() const {
    return {widthFor(1), grid_->minimumSize().height()};
}

void ReadoutColumns::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    int columns = groups();
    while (columns > 1 && widthFor(columns) > event->size().width()) --columns;
    // The new height reaches the parent's layout through the grid's change.
    if (columns != columns_) place(columns);
}

void ReadoutColumns::place(int columns) {
    columns_ = std::max(1, columns);
    const int rows = ((groups() + columns_ - 1) / columns_) * linesPerGroup_;
    for (const Line& line : lines_) {
        if (line.label) grid_->removeWidget(line.label);
        grid_->removeWidget(line.values);
    }
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const int row = static_cast<int>(i) % rows;
        const int column = 2 * (static_cast<int>(i) / rows);
        if (lines_[i].label) grid_->addWidget(lines_[i].label, row, column);
        grid_->addWidget(lines_[i].values, row, column + 1);
    }
    // The values take what width is left, the columns in use alike.
    for (int c = 0; c < groups(); ++c) grid_->setColumnStretch(2 * c + 1, c < columns_ ? 1 : 0);
    updateGeometry();
}

}  // namespace qs
