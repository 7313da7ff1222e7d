#pragma once
#include <QFont>
#include <QPointer>
#include <QStringList>

#include <array>
#include <vector>

#include <qcustomplot.h>

namespace qs {

// The chart's legend: a row above the plot naming each line that is drawn,
// with its colour and width, command 1's lines (left axis) on the left and
// command 2's (right axis) on the right. It stands outside the axis rect, so
// it never covers the data, and takes no room while it lists nothing or is
// switched off. Its entries go on as many lines as the plot's width needs.
//
// The row belongs to the plot (its layout, or the plot itself while the row
// is out of the layout) and goes with it.
class ChartLegend {
public:
    enum Side { Left = 0, Right = 1 };

    explicit ChartLegend(QCustomPlot& plot);

    // The lines to name on each side, in order. The entries are rebuilt only
    // when the lines change; each entry draws its line's pen as it is now.
    void list(const std::array<std::vector<QCPAbstractPlottable*>, 2>& lines);
    // On or off, whatever it lists.
    void setEnabled(bool enabled);
    // Puts as many entries on a line as fit into width pixels.
    void fitInto(int width);
    void setFont(const QFont& font);

    // getters
    bool enabled() const { return enabled_; }
    bool shown() const { return placed_; }
    QFont font() const;
    // The names of the entries shown on a side, in order; none while hidden.
    QStringList names(Side side) const;
    // The legend of one side (for its entries' look).
    QCPLegend* legendOf(Side side) const { return sides_[side]; }

private:
    void place();
    void setWrap(int entriesPerLine);

    // members
    QCustomPlot& plot_;
    QPointer<QCPLayoutGrid> row_;
    std::array<QCPLegend*, 2> sides_{};
    std::array<std::vector<QCPAbstractPlottable*>, 2> listed_;
    bool enabled_ = true;
    bool placed_ = false;
    int fittedWidth_ = -1;
};

}  // namespace qs
