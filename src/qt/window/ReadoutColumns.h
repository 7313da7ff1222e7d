#pragma once
#include <QWidget>

#include <vector>

class QGridLayout;

namespace qs {

// The read-outs of the latest sample: lines of a label and its values, read
// down the columns, then across. The lines come in groups that stay together
// in one column (time, value and count; the extremes; mean, filter and
// deviation), and as many columns stand side by side as the width has room
// for: a narrow window stacks the groups instead of pushing the chart out
// of the window.
class ReadoutColumns : public QWidget {
public:
    explicit ReadoutColumns(int linesPerGroup, QWidget* parent = nullptr);

    // A line: its label (nullptr for none) and its values, in reading order.
    void addLine(QWidget* label, QWidget* values);

    // getters
    // How many columns the lines stand in now.
    int columns() const { return columns_; }
    // The width the lines need in that many columns.
    int widthFor(int columns) const;
    // Narrow enough for one column; as tall as the columns now shown.
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Line {
        QWidget* label;
        QWidget* values;
    };
    int groups() const;
    void place(int columns);

    // members
    QGridLayout* grid_;
    const int linesPerGroup_;
    std::vector<Line> lines_;
    int columns_ = 0;
};

}  // namespace qs
