#pragma once
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QWidget;

namespace qs {

// The chart menu (a right click without moving the mouse, or the menu key):
// "Save Chart As...", "Copy Chart", "Show All Points", and the switches
// "Legend" and "Join Gaps". It only calls back; the chart does the work.
class ChartMenu {
public:
    struct Commands {
        std::function<void()> saveAs;
        std::function<void()> copy;
        std::function<void()> showAll;
        std::function<void(bool)> legend;
        std::function<void(bool)> joinGaps;
    };

    // The menu becomes parent's child; the switches start as given.
    ChartMenu(QWidget* parent, bool legendShown, bool gapsJoined, Commands commands);

    // The switches' texts.
    static const QString kLegend;
    static const QString kJoinGaps;

    // Ticks or unticks a switch without calling back.
    void setSwitch(const QString& text, bool on);
    // Opens without a nested loop.
    void popup(QPoint globalPos);

    // getters
    QMenu* menu() const { return menu_; }
    // The action of the given text, or null.
    QAction* action(const QString& text) const;

private:
    QPointer<QMenu> menu_;  // parent's child
};

}  // namespace qs
