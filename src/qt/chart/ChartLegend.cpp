#include "qt/chart/ChartLegend.h"

#include <algorithm>

namespace qs {

namespace {
// The layer QCustomPlot draws legends on, above the graphs.
const QString kLegendLayer = QStringLiteral("legend");
constexpr int kMostEntriesPerLine = 3;

QCPLegend* makeSide(QCPLayoutGrid& row, int column) {
    auto* legend = new QCPLegend;
    row.addElement(0, column, legend);
    legend->setLayer(kLegendLayer);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setSizeConstraintRect(QCPLayoutElement::scrOuterRect);
    legend->setMargins(QMargins(5, 2, 5, 2));
    legend->setColumnSpacing(10);
    legend->setRowSpacing(0);
    legend->setIconSize(20, 10);
    legend->setIconTextPadding(4);
    legend->setBorderPen(QPen(QColor(160, 160, 160)));
    legend->setBrush(QColor(255, 255, 255, 230));
    legend->setSelectableParts(QCPLegend::spNone);
    return legend;
}

}  // namespace

ChartLegend::ChartLegend(QCustomPlot& plot) : plot_(plot), row_(new QCPLayoutGrid) {
    // Room for the row at the top; it is taken out again while empty.
    plot_.plotLayout()->insertRow(0);
    plot_.plotLayout()->addElement(0, 0, row_);
    placed_ = true;
    row_->setMargins(QMargins(4, 4, 4, 0));
    sides_[Left] = makeSide(*row_, 0);
    // Between the two sides, an element that draws nothing takes the rest of the width.
    row_->addElement(0, 1, new QCPLayoutElement);
    sides_[Right] = makeSide(*row_, 2);
    row_->setColumnStretchFactors({0.001, 1.0, 0.001});
    place();
}

QFont ChartLegend::font() const { return sides_[Left]->font(); }

void ChartLegend::setFont(const QFont& font) {
    for (QCPLegend* side : sides_) side->setFont(font);
    fittedWidth_ = -1;
}

void ChartLegend::setEnabled(bool enabled) {
    enabled_ = enabled;
    place();
}

void ChartLegend::list(const std::array<std::vector<QCPAbstractPlottable*>, 2>& lines) {
    if (lines == listed_) return;
    listed_ = lines;
    for (int side : {Left, Right}) {
        QCPLegend* legend = sides_[side];
        legend->clearItems();
        for (QCPAbstractPlottable* line : listed_[side]) {
            auto* entry = new QCPPlottableLegendItem(legend, line);
            entry->setSelectable(false);
            legend->addItem(entry);
        }
    }
    fittedWidth_ = -1;
    place();
}

// The row stands in the plot's layout only while it has something to show.
void ChartLegend::place() {
    if (!row_) return;
    const bool wanted = enabled_ && (!listed_[Left].empty() || !listed_[Right].empty());
    // A legend out of the layout would still be drawn where it last stood,
    // over the plot that took its room; a side without lines draws no empty
    // frame.
    for (int side : {Left, Right}) sides_[side]->setVisible(wanted && !listed_[side].empty());
    if (wanted == placed_) return;
    QCPLayoutGrid* layout = plot_.plotLayout();
    if (wanted) {
        layout->insertRow(0);
        layout->addElement(0, 0, row_);
    } else {
        layout->take(row_);
        layout->simplify();
    }
    placed_ = wanted;
    if (placed_) layout->setRowStretchFactor(0, 0.001);
    fittedWidth_ = -1;
}

void ChartLegend::setWrap(int entriesPerLine) {
    for (QCPLegend* side : sides_) {
        side->setWrap(entriesPerLine);
        side->setFillOrder(QCPLayoutGrid::foColumnsFirst, true);
        side->simplify();
    }
}

void ChartLegend::fitInto(int width) {
    if (!placed_ || width == fittedWidth_) return;
    fittedWidth_ = width;
    const QMargins m = row_->margins();
    for (int perLine = kMostEntriesPerLine; perLine >= 1; --perLine) {
        setWrap(perLine);
        int needed = m.left() + m.right() + 2 * row_->columnSpacing();
        for (QCPLegend* side : sides_) needed += side->minimumOuterSizeHint().width();
        if (needed <= width) break;
    }
    for (QCPLegend* side : sides_) side->setMaximumSize(side->minimumOuterSizeHint());
}

QStringList ChartLegend::names(Side side) const {
    QStringList names;
    if (!placed_) return names;
    const QCPLegend* legend = sides_[side];
    for (int i = 0; i < legend->itemCount(); ++i)
        if (auto* entry = qobject_cast<QCPPlottableLegendItem*>(legend->item(i))) names << entry->plottable()->name();
    return names;
}

}  // namespace qs
