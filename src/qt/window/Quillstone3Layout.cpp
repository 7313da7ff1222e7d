// The window's panel of controls, built by walking the control inventory.
#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "qt/window/Quillstone3.h"
#include "window/TGPIBTelnet.h"

namespace qs {

namespace {

QString toQt(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A label in front of a control goes into the group's label column when it
// is short enough to line up with the others; a long one stays inline.
constexpr int kLabelColumnMaxWidth = 150;
// Numbers need little room; addresses, commands and file names get the rest.
constexpr int kNumberBoxWidth = 72;

QString groupTitle(LayoutGroup group) {
    switch (group) {
        case LayoutGroup::ConnectionAndCommands: return QStringLiteral("KISS-488 adapter and commands");
        case LayoutGroup::TimingAndWatchdog: return QStringLiteral("Timing and watchdog");
        case LayoutGroup::StatisticsAndCaptions: return QStringLiteral("Latest sample and statistics");
        case LayoutGroup::DisplayOptions: return QStringLiteral("Chart display and printing");
        case LayoutGroup::DataFile: return QStringLiteral("Data file");
    }
    return {};
}

// An edit box meant for a number: its design text is a plain number.
bool holdsNumber(const std::string& text) {
    if (text.empty()) return false;
    if (std::count(text.begin(), text.end(), '.') > 1) return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-'; });
}

// A check box without a caption stands in the group's last column, under a
// heading ("Bold").
bool isColumnCheckBox(const ControlEntry& e) {
    return e.kind == ControlKind::CheckBox && e.checkBox() && e.checkBox()->caption().empty();
}

// The status labels live in the status bar, not in the panel.
bool inStatusBar(const ControlEntry& e) { return e.place == ControlPlace::StatusBar; }

constexpr LayoutGroup kGroups[] = {LayoutGroup::ConnectionAndCommands, LayoutGroup::TimingAndWatchdog,
                                   LayoutGroup::StatisticsAndCaptions, LayoutGroup::DisplayOptions,
                                   LayoutGroup::DataFile};

}  // namespace

QWidget* Quillstone3::buildPanel() {
    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(6);
    for (LayoutGroup group : kGroups)
        if (!isReadoutGroup(group)) column->addWidget(buildGroup(group));
    column->addStretch(1);
    return panel;
}

bool Quillstone3::isReadoutGroup(LayoutGroup group) const {
    bool any = false;
    for (const ControlEntry& e : inventory_.controls()) {
        if (e.group != group || inStatusBar(e)) continue;
        if (e.kind != ControlKind::Label) return false;
        any = true;
    }
    return any;
}

QWidget* Quillstone3::buildReadouts() {
    auto* strip = new QWidget;
    auto* line = new QHBoxLayout(strip);
    line->setContentsMargins(0, 0, 0, 0);
    for (LayoutGroup group : kGroups)
        if (isReadoutGroup(group)) line->addWidget(buildReadoutGroup(group), 1);
    return strip;
}

QGroupBox* Quillstone3::buildReadoutGroup(LayoutGroup group) {
    auto* box = new QGroupBox(groupTitle(group));
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    // The inventory's lines fill columns of this many rows, left to right:
    // time, value and count first, then the extremes, then mean and filter.
    constexpr int kRowsPerColumn = 3;
    int line = -1;
    int previousRow = -1;
    QHBoxLayout* values = nullptr;
    for (const ControlEntry& e : inventory_.controls()) {
        if (e.group != group || inStatusBar(e)) continue;
        if (e.row != previousRow) {
            previousRow = e.row;
            ++line;
            values = new QHBoxLayout;
            values->setSpacing(4);
            const int column = 2 * (line / kRowsPerColumn);
            grid->addLayout(values, line % kRowsPerColumn, column + 1);
            grid->setColumnStretch(column + 1, 1);
            if (!e.before.empty()) {
                QLabel* before = makeLabel(e.before);
                grid->addWidget(before, line % kRowsPerColumn, column);
                labels_[std::string(e.name)].before = before;
            }
        }
        QWidget* widget = makeWidget(e);
        // Room for a full-length number, so the strip does not jump as values change.
        if (values->count() == 0)
            widget->setMinimumWidth(QFontMetrics(widget->font()).horizontalAdvance(QStringLiteral("-0.00000000000000E-000")));
        values->addWidget(widget);
        Labels& labels = labels_[std::string(e.name)];
        if (!e.after.empty()) values->addWidget(labels.after = makeLabel(e.after));
        if (!e.note.empty()) values->addWidget(labels.note = makeLabel(e.note));
    }
    return box;
}

QLabel* Quillstone3::makeLabel(std::string_view text, bool bold) {
    auto* label = new QLabel(toQt(text));
    label->setTextFormat(Qt::PlainText);
    if (bold) {
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
    }
    return label;
}

QWidget* Quillstone3::makeWidget(const ControlEntry& e) {
    QWidget* widget = nullptr;
    switch (e.kind) {
        case ControlKind::Button: {
            auto* b = new QPushButton(toQt(e.button()->caption()));
            // Enter on a focused button presses that button, as on any desktop.
            b->setAutoDefault(true);
            binder_.bind(*e.button(), b);
            if (e.control == &window_.StartButton) startButton_ = b;
            widget = b;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit;
            if (holdsNumber(e.edit()->text())) edit->setFixedWidth(kNumberBoxWidth);
            else edit->setMinimumWidth(140);
            binder_.bind(*e.edit(), edit);
            widget = edit;
            break;
        }
        case ControlKind::CheckBox: {
            auto* c = new QCheckBox(toQt(e.checkBox()->caption()));
            binder_.bind(*e.checkBox(), c);
            widget = c;
            break;
        }
        case ControlKind::RadioButton: {
            auto* r = new QRadioButton(toQt(e.radioButton()->caption()));
            binder_.bind(*e.radioButton(), r);
            widget = r;
            break;
        }
        case ControlKind::Label: {
            QLabel* l = makeLabel({}, e.bold);
            l->setTextInteractionFlags(Qt::TextSelectableByMouse);
            binder_.bind(*e.label(), l);
            widget = l;
            break;
        }
    }
    widget->setObjectName(toQt(e.name));
    widgets_.emplace(std::string(e.name), widget);
    return widget;
}

QGroupBox* Quillstone3::buildGroup(LayoutGroup group) {
    auto* box = new QGroupBox(groupTitle(group));
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(1, 1);

    std::vector<std::vector<const ControlEntry*>> rows;
    for (const ControlEntry& e : inventory_.controls()) {
        if (e.group != group || inStatusBar(e)) continue;
        if (rows.empty() || rows.back().front()->row != e.row) rows.emplace_back();
        rows.back().push_back(&e);
    }

    int gridRow = 0;
    for (const auto& row : rows) {
        // Texts that stand directly above a control of this row.
        for (const StaticText& t : ControlInventory::texts()) {
            if (t.group != group) continue;
            const auto named = std::find_if(row.begin(), row.end(), [&](const ControlEntry* e) { return e->name == t.above; });
            if (named == row.end()) continue;
            QLabel* heading = makeLabel(t.text);
            staticTexts_.emplace(std::string(t.text), heading);
            if (isColumnCheckBox(**named)) grid->addWidget(heading, gridRow, 2, Qt::AlignHCenter);
            else grid->addWidget(heading, gridRow, 0, 1, 2);
            ++gridRow;
        }

        auto* line = new QHBoxLayout;
        line->setSpacing(6);
        bool labelColumn = false;
        bool stretches = false;
        for (const ControlEntry* e : row) {
            Labels labels;
            if (!e->before.empty()) {
                labels.before = makeLabel(e->before);
                const bool first = e == row.front();
                if (first && QFontMetrics(labels.before->font()).horizontalAdvance(labels.before->text()) <=
                                 kLabelColumnMaxWidth) {
                    grid->addWidget(labels.before, gridRow, 0);
                    labelColumn = true;
                } else {
                    line->addWidget(labels.before);
                }
            }
            QWidget* widget = makeWidget(*e);
            if (isColumnCheckBox(*e)) {
                grid->addWidget(widget, gridRow, 2, Qt::AlignHCenter);
            } else {
                line->addWidget(widget);
                if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && edit->maximumWidth() > kNumberBoxWidth)
                    stretches = true;
            }
            if (!e->after.empty()) line->addWidget(labels.after = makeLabel(e->after));
            if (!e->note.empty()) line->addWidget(labels.note = makeLabel(e->note));
            if (labels.before && labels.before->buddy() == nullptr) labels.before->setBuddy(widget);
            labels_.emplace(std::string(e->name), labels);
        }
        if (!stretches) line->addStretch(1);
        if (labelColumn) grid->addLayout(line, gridRow, 1);
        else grid->addLayout(line, gridRow, 0, 1, 2);
        ++gridRow;
    }
    return box;
}

}  // namespace qs
