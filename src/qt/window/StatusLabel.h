#pragma once
#include <QLabel>

namespace qs {

// A text of the status bar. It takes the room its text needs while the
// window has it; in a narrower window it ends in "..." rather than holding
// the window wider than the screen. text() stays the whole text.
class StatusLabel : public QLabel {
public:
    explicit StatusLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qs
