// The logger's window: its widgets, built by walking the control inventory,
// beside the chart, and the person's close and keys.
#include "qt/window/Quillstone3.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "qt/chart/QtChart.h"
#include "qt/runtime/QtDialogs.h"
#include "qt/runtime/QtRuntime.h"
#include "qt/window/ReadoutColumns.h"
#include "qt/window/StatusLabel.h"
#include "window/TGPIBTelnet.h"

namespace qs {

namespace {
// The narrowest the chart gets (see the constructor).
constexpr int kChartMinimumWidth = 560;
// How long a notice (a finished print job) stays in the status line.
constexpr int kNoticeMs = 30000;
// The Stability window's button beside the print button and its chart menu entry.
const QString kStabilityCaption = QStringLiteral("Stability...");
constexpr const char* kStabilityHint =
    "Opens the Stability window: standard deviation, drift and the Allan, modified Allan and Hadamard deviations "
    "of the readings, as a table and a chart against averaging time.";
}  // namespace

Quillstone3::Quillstone3(TGPIBTelnet& window, QtRuntime& runtime, QtDialogs& dialogs, QtChart& chart,
                         QWidget* parent)
    : QMainWindow(parent),
      window_(window),
      runtime_(runtime),
      dialogs_(dialogs),
      chart_(chart),
      inventory_(window),
      binder_(runtime) {
    setObjectName(QString::fromStdString(window.Form.name()));

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setChildrenCollapsible(false);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QWidget* panel = buildPanel();
    scroll->setWidget(panel);
    scroll->setMinimumWidth(panel->sizeHint().width() + 20);
    splitter->addWidget(scroll);

    QCustomPlot* plot = chart.widget();
    plot->setObjectName(QStringLiteral("Chart1"));
    // However narrow the window, the chart keeps room for two time labels
    // over days and for the title line of a saved chart.
    plot->setMinimumWidth(std::max(plot->minimumWidth(), kChartMinimumWidth));
    auto* right = new QWidget;
    auto* rightColumn = new QVBoxLayout(right);
    rightColumn->setContentsMargins(0, 6, 6, 0);
    rightColumn->addWidget(buildReadouts());
    rightColumn->addWidget(plot, 1);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    widgets_.emplace("Chart1", plot);
    binder_.addHint(plot, std::string(kChartHint));
    setCentralWidget(splitter);

    buildStatusBar();
    // The window's own hint shows where no control is under the mouse.
    binder_.bindForm(window.Form, this, splitter);

    if (QMenu* menu = chart.menu()) {
        menu->addSeparator();
        connect(menu->addAction(kStabilityCaption), &QAction::triggered, this, &Quillstone3::stabilityAsked);
    }

    // Whether the chart follows new samples, beside the link's and the data
    // file's status: a chart that a zoom stopped never looks like one that
    // nothing new reaches.
    auto* following = new StatusLabel;
    following->setObjectName(QStringLiteral("FollowingStatus"));
    statusBar()->addPermanentWidget(following);
    chart.setFollowingNotice(
        [following](const std::string& text) { following->setText(QString::fromStdString(text)); });
    chart.setNotice([this](const std::string& text) {
        statusBar()->showMessage(QString::fromStdString(text), kNoticeMs);
    });
    // A notice stands for its time; then the working folder is said again.
    // Queued: the status bar is still clearing its message when it says so.
    connect(
        statusBar(), &QStatusBar::messageChanged, this,
        [this](const QString& message) {
            if (message.isEmpty() && statusBar()->currentMessage().isEmpty() && !workingFolder_.isEmpty())
                statusBar()->showMessage(workingFolder_);
        },
        Qt::QueuedConnection);
    // The value axes are titled with the commands they plot.
    chart.setCommands([&w = window_] { return std::pair(w.CommandBox.text(), w.CommandBox2.text()); });
    for (const char* name : {"CommandBox", "CommandBox2"})
        if (auto* box = qobject_cast<QLineEdit*>(widgetOf(name)))
            connect(box, &QLineEdit::textChanged, this, [this] { chart_.Redraw(); });
    // Printed pages and saved charts are titled with the data file's name.
    chart.setDataFileName([&w = window_] { return w.TextFileBox.text(); });
    // Saved charts go next to the data, named in the "Data File:" box.
    chart.setSaveFolder([&w = window_] {
        return QFileInfo(QDir::current(), QString::fromStdString(w.TextFileBox.text())).absolutePath();
    });

    addKeys();

    QSize size(1400, 900);
    if (const QScreen* s = screen()) size = size.boundedTo(s->availableSize() * 0.95);
    resize(size);
}

Quillstone3::~Quillstone3() {
    chart_.setNotice(nullptr);
    chart_.setFollowingNotice(nullptr);
    chart_.setDataFileName(nullptr);
    chart_.setCommands(nullptr);
    chart_.setSaveFolder(nullptr);
    // The chart widget belongs to the chart object, which outlives this window.
    if (QWidget* plot = widgetOf("Chart1")) plot->setParent(nullptr);
}

void Quillstone3::buildStatusBar() {
    for (const ControlEntry& e : inventory_.controls()) {
        TLabel* model = e.label();
        if (e.place != ControlPlace::StatusBar || !model) continue;
        auto* label = new StatusLabel;
        label->setObjectName(QString::fromStdString(model->name()));
        if (model == &window_.DataFileStatus) label->setStyleSheet(QStringLiteral("QLabel { color: #b00000; }"));
        binder_.bind(*model, label);
        statusBar()->addPermanentWidget(label);
        widgets_.emplace(model->name(), label);
    }
}

void Quillstone3::showPublishing(const std::string& text) { showAtRight(QStringLiteral("PublishingStatus"), text); }

void Quillstone3::showServing(const std::string& text) { showAtRight(QStringLiteral("ServingStatus"), text); }

void Quillstone3::showWorkingFolder(const std::string& text) {
    workingFolder_ = QString::fromStdString(text);
    statusBar()->showMessage(workingFolder_);
}

void Quillstone3::showAtRight(const QString& name, const std::string& text) {
    auto* label = findChild<QLabel*>(name);
    if (label == nullptr) {
        label = new StatusLabel;
        label->setObjectName(name);
        statusBar()->addPermanentWidget(label);
    }
    label->setText(QString::fromStdString(text));
}

QWidget* Quillstone3::widgetOf(std::string_view name) const {
    auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

Quillstone3::Labels Quillstone3::labelsOf(std::string_view name) const {
    auto it = labels_.find(name);
    return it == labels_.end() ? Labels{} : it->second;
}

QLabel* Quillstone3::staticTextLabel(std::string_view text) const {
    auto it = staticTexts_.find(text);
    return it == staticTexts_.end() ? nullptr : it->second;
}

void Quillstone3::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    bool canClose = true;
    runtime_.dispatch([this, &canClose] { window_.FormCloseQuery(canClose); });
    if (!canClose) {
        event->ignore();
        return;
    }
    closed_ = true;
    // Handlers may still be on the stack inside their waits (Start's
    // attempts, the watchdog's recovery): every wait ends now, nothing new
    // starts, and a box they would still raise finds nobody to answer it.
    binder_.setActive(false);
    dialogs_.setSilent(true);
    runtime_.shutDown();
    event->accept();
    emit closed();
}

// Ctrl+Q closes the window as its close button does; F1 opens the README's
// section on the window, or says where the manual is when there is none.
void Quillstone3::addKeys() {
    // Spelled out: the platform's standard Quit and Help keys are empty
    // without a desktop theme (offscreen, a bare X server).
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this, [this] {
        const QString dir = QCoreApplication::applicationDirPath();
        for (const QString& readme : {dir + QStringLiteral("/../share/doc/quillstone/README.md"),
                                      dir + QStringLiteral("/../README.md")}) {
            if (!QFileInfo::exists(readme)) continue;
            QUrl url = QUrl::fromLocalFile(QFileInfo(readme).canonicalFilePath());
            url.setFragment(QStringLiteral("the-window"));
            if (QDesktopServices::openUrl(url)) return;
        }
        statusBar()->showMessage(QStringLiteral("No program here opens the README: see \"man quillstone\"."),
                                 kNoticeMs);
    });
}

void Quillstone3::keyPressEvent(QKeyEvent* event) {
    // Start is the window's default button: Enter presses it while it is
    // enabled and does nothing while it is not.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (startButton_ && startButton_->isEnabled()) startButton_->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ---- the panel of controls, built by walking the control inventory


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
    auto* frame = new QVBoxLayout(box);
    // The inventory's lines in groups of this many, a group to a column as
    // far as the width allows: time, value and count first, then the
    // extremes, then mean, filter and deviation.
    constexpr int kLinesPerGroup = 3;
    auto* columns = new ReadoutColumns(kLinesPerGroup);
    columns->setObjectName(QStringLiteral("Readouts"));
    frame->addWidget(columns);
    int previousRow = -1;
    QHBoxLayout* values = nullptr;
    for (const ControlEntry& e : inventory_.controls()) {
        if (e.group != group || inStatusBar(e)) continue;
        if (e.row != previousRow) {
            previousRow = e.row;
            auto* line = new QWidget;
            values = new QHBoxLayout(line);
            values->setContentsMargins(0, 0, 0, 0);
            values->setSpacing(4);
            QLabel* before = nullptr;
            if (!e.before.empty()) {
                before = makeLabel(e.before);
                labels_[std::string(e.name)].before = before;
            }
            columns->addLine(before, line);
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
            if (e->control == &window_.PrintButton) {
                stabilityButton_ = new QPushButton(kStabilityCaption);
                stabilityButton_->setObjectName(QStringLiteral("StabilityButton"));
                binder_.addHint(stabilityButton_, kStabilityHint);
                connect(stabilityButton_, &QPushButton::clicked, this, &Quillstone3::stabilityAsked);
                line->addWidget(stabilityButton_);
            }
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
