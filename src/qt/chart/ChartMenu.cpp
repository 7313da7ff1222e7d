#include "qt/chart/ChartMenu.h"

#include <QSignalBlocker>

namespace qs {

namespace {
const QString kSaveAs = QStringLiteral("Save Chart As...");
const QString kCopy = QStringLiteral("Copy Chart");
const QString kShowAll = QStringLiteral("Show All Points");

QAction* addSwitch(QMenu* menu, const QString& text, bool on, std::function<void(bool)> toggled) {
    QAction* action = menu->addAction(text);
    action->setCheckable(true);
    action->setChecked(on);
    QObject::connect(action, &QAction::toggled, menu, std::move(toggled));
    return action;
}
}  // namespace

const QString ChartMenu::kLegend = QStringLiteral("Legend");
const QString ChartMenu::kJoinGaps = QStringLiteral("Join Gaps");

ChartMenu::ChartMenu(QWidget* parent, bool legendShown, bool gapsJoined, Commands commands)
    : menu_(new QMenu(parent)) {
    menu_->setObjectName(QStringLiteral("ChartMenu"));
    // Each command runs from the person's click in the menu, never from a
    // timer or a socket: the save dialog's nested loop is safe there.
    // The keys work without the menu open and the menu shows them: Ctrl+S
    // anywhere in the window, Ctrl+C only while the chart has the focus
    // (elsewhere it copies the text of a box).
    QAction* saveAs = menu_->addAction(kSaveAs);
    saveAs->setShortcut(QKeySequence::Save);
    saveAs->setShortcutContext(Qt::WindowShortcut);
    parent->addAction(saveAs);
    QObject::connect(saveAs, &QAction::triggered, menu_, std::move(commands.saveAs));
    QAction* copy = menu_->addAction(kCopy);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    parent->addAction(copy);
    QObject::connect(copy, &QAction::triggered, menu_, std::move(commands.copy));
    QObject::connect(menu_->addAction(kShowAll), &QAction::triggered, menu_, std::move(commands.showAll));
    menu_->addSeparator();
    addSwitch(menu_, kLegend, legendShown, std::move(commands.legend));
    addSwitch(menu_, kJoinGaps, gapsJoined, std::move(commands.joinGaps));
}

// The menu's commands run from the person's later click, once the mouse
// event that opened it has been handled.
void ChartMenu::popup(QPoint globalPos) {
    if (menu_) menu_->popup(globalPos);
}

void ChartMenu::setSwitch(const QString& text, bool on) {
    if (QAction* a = action(text)) {
        const QSignalBlocker quiet(a);
        a->setChecked(on);
    }
}

QAction* ChartMenu::action(const QString& text) const {
    if (!menu_) return nullptr;
    for (QAction* a : menu_->actions())
        if (a->text() == text) return a;
    return nullptr;
}

}  // namespace qs
